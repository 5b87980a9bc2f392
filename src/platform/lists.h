#pragma once

#include <QComboBox>
#include <QMap>
#include <QListView>
#include <QListWidget>

#include <functional>

class QStringListModel;

// The drive, directory and file lists of the Navigator. Setting a property by code raises the
// change notification synchronously, and only when the value really changes.
namespace platform {

// The volumes the drive list offers, root "/" (or the system drive) first; tests supply their own.
using VolumeLister = std::function<QStringList()>;
void setVolumeLister(VolumeLister lister);

class DriveListBox : public QComboBox
{
public:
    explicit DriveListBox(QWidget *parent);

    // The current volume, read as the folder last shown on it (its root until then), the way a
    // drive letter stands for that drive's current folder. So moving to it again, or leaving a
    // volume mounted inside another, keeps the user's folder instead of jumping to a root.
    QString drive() const;
    // Selects the volume that holds the given path and remembers the path as its folder.
    void setDrive(const QString &path);

    std::function<void()> onChange;

protected:
    void showPopup() override;

private:
    void refreshVolumes();
    QString volumeOf(const QString &path) const;
    void select(const QString &root);
    void userPicked(int index);

    QString m_drive;
    // A QMap, not a QHash: there are few volumes, and hashing strings leaves the thread's vector
    // state slow for the folder's listing that follows (see core/vectorstate.h).
    QMap<QString, QString> m_folders;
};

class DirListBox : public QListWidget
{
public:
    explicit DirListBox(QWidget *parent);

    // The absolute current folder, without a trailing separator except at a root.
    QString path() const { return m_path; }
    // Moves to the folder; a folder that does not exist is error 76.
    void setPath(const QString &path);

    std::function<void()> onChange;

private:
    void fill();

    QString m_path;
};

class FileListBox : public QListView
{
public:
    explicit FileListBox(QWidget *parent);

    QString path() const { return m_path; }
    void setPath(const QString &path);
    QString pattern() const { return m_pattern; }
    void setPattern(const QString &pattern);

    // The number of entries, a 16-bit figure.
    qint16 listCount() const;
    // Makes the entry the selected one; an index without an entry is error 381.
    void setSelected(int index);
    // The name of the selected entry, or "" when none is selected.
    QString fileName() const;

private:
    void fill();

    QStringListModel *m_model;
    QString m_path;
    QString m_pattern;
};

} // namespace platform
