#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <functional>

// The few calls Quorbel makes of the operating system itself, where Qt's own file classes fall
// short of what the reader and the writers need. One source file a system implements them
// (system_posix.cpp); nothing else calls the system directly.
namespace quorbel::sys {

// Reads a regular file whole into the buffer, which grows as needed and is reused; returns the
// bytes read, or -1 without reading when the file holds more than maxBytes. Opening never waits:
// a named pipe or a device is not read at all. Raises the file's error: 76 for a missing folder,
// 53 for a missing file, 70 for a folder or an unreadable file, 75 for anything else.
qint64 readRegularFile(const QString &path, QByteArray &buffer, qint64 maxBytes);

enum class EntryKind { File, Folder };
// The visible entries of a folder that name a regular file, or a folder, symbolic links
// followed, in the file system's order; hidden ones (on POSIX, a leading full stop) left out, and
// nothing for a folder that cannot be read. Only those names are decoded: a folder of thousands
// of frames is listed for its few subfolders too.
void listFolder(const QString &folder, EntryKind kind,
                const std::function<void(const QString &name)> &found);

// A new file beside another, under a name of its own, to take that file's place once it is
// whole. It is removed unless moved into place.
class FileBeside
{
public:
    // Raises what opening the target for writing would: 76, 70 or 75.
    explicit FileBeside(const QString &target);
    ~FileBeside();
    FileBeside(const FileBeside &) = delete;
    FileBeside &operator=(const FileBeside &) = delete;

    QString name() const { return m_name; }
    // The target's permissions, where it exists.
    void keepPermissionsOf(const QString &target);
    // Claims room for size bytes, so a full disk shows before anything is written: 61.
    void reserve(qint64 size);
    // Appends the pieces in as few calls as the system allows: 61 or 75 when that fails.
    void write(const QList<QByteArrayView> &pieces);
    // Closes the file, once every byte is written: 61 or 75 when the system reports a failure.
    void close();
    // Closes the file if it is open and moves it over the target in one step; raises what
    // opening the target for writing would.
    void replace(const QString &target);

private:
    QString m_name;
    int m_handle = -1;
    bool m_placed = false;
};

} // namespace quorbel::sys
