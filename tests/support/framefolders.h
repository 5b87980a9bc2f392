#pragma once

#include "navigator/frmdynamic.h"
#include "platform/lists.h"
#include "support/bitmaps.h"
#include "support/testapp.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>

#include <sys/mount.h>

// Folders of frames as an artist leaves them, and what the Navigator's lists show of them.
namespace testfolders {

// The one line quorbel.ini holds for a folder.
inline QByteArray settingsLine(const QString &folder)
{
    return folder.toLocal8Bit() + "\r\n";
}

// Starts the program with quorbel.ini naming storedFolder, from workingFolder, and returns the
// Navigator. The drive list offers the given volumes, or the machine's own when none are given.
inline frmDynamic &startWith(TestApp &app, const QString &storedFolder,
                             const QString &workingFolder, const QStringList &volumes = {})
{
    if (!volumes.isEmpty())
        platform::setVolumeLister([volumes] { return volumes; });
    app.writeIni(settingsLine(storedFolder));
    app.start(workingFolder);
    return frmDynamic::instance();
}

// "frame1.bmp" ... "frameN.bmp".
inline QStringList frameNames(int count)
{
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names.append(QStringLiteral("frame%1.bmp").arg(i));
    return names;
}

// Creates the folder (and its parents) and writes one numbered frame per name into it;
// false when anything could not be written.
inline bool writeFrames(const QString &folder, const QStringList &names, int width = 4,
                        int height = 3)
{
    if (!QDir().mkpath(folder))
        return false;
    int frame = 0;
    for (const QString &name : names) {
        if (!testbitmaps::writeFile(QDir(folder).filePath(name),
                                    testbitmaps::numberedFrame(frame++, width, height)))
            return false;
    }
    return true;
}

// The entries of a list box or drop-down list, in the order shown.
inline QStringList entries(const QComboBox &combo)
{
    QStringList texts;
    for (int i = 0; i < combo.count(); ++i)
        texts.append(combo.itemText(i));
    return texts;
}

// The rows list as designed, before any folder has added its run of row counts.
inline QStringList designRows()
{
    return {QStringLiteral("1"),  QStringLiteral("2"),  QStringLiteral("3"),
            QStringLiteral("4"),  QStringLiteral("5"),  QStringLiteral("6"),
            QStringLiteral("7"),  QStringLiteral("8"),  QStringLiteral("9"),
            QStringLiteral("10"), QStringLiteral("11"), QStringLiteral("23")};
}

// The run " 1" ... " n" that a folder of n frames appends to the rows list.
inline QStringList appendedRows(int frames)
{
    QStringList rows;
    for (int i = 1; i <= frames; ++i)
        rows.append(u' ' + QString::number(i));
    return rows;
}

// A folder under /proc that refuses every new file, even to root; empty when this machine's
// /proc lets a file be created there after all.
inline QString folderRefusingNewFiles()
{
    const QString folder = QStringLiteral("/proc/self/fdinfo");
    QFile probe(folder + QStringLiteral("/quorbel-probe"));
    if (!QDir(folder).exists() || probe.open(QIODevice::WriteOnly))
        return {};
    return folder;
}

// Makes a file immutable while it lives (chattr +i), which stops even root from replacing or
// changing it; the flag is always taken off again, or the temporary folder could not be removed.
class ImmutableFile
{
public:
    explicit ImmutableFile(const QString &path)
        : m_path(path)
        , m_set(chattr(QStringLiteral("+i")))
    {
    }
    ~ImmutableFile()
    {
        if (m_set)
            chattr(QStringLiteral("-i"));
    }
    ImmutableFile(const ImmutableFile &) = delete;
    ImmutableFile &operator=(const ImmutableFile &) = delete;

    // True only when the flag is set and really refuses a write.
    bool holds() const
    {
        QFile file(m_path);
        return m_set && !file.open(QIODevice::WriteOnly | QIODevice::Append);
    }

private:
    bool chattr(const QString &flag) const
    {
        QProcess process;
        process.start(QStringLiteral("chattr"), {flag, m_path});
        return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit
            && process.exitCode() == 0;
    }

    QString m_path;
    bool m_set;
};

// A small file system of its own (tmpfs) mounted over a folder while it lives, so that writing
// there really runs out of space. Mounting needs root; holds() is false where it is refused.
class SmallVolume
{
public:
    SmallVolume(const QString &folder, int kibibytes)
        : m_folder(QFile::encodeName(folder))
        , m_mounted(::mount("tmpfs", m_folder.constData(), "tmpfs", 0,
                            ("size=" + QByteArray::number(kibibytes) + "k").constData())
                    == 0)
    {
    }
    ~SmallVolume()
    {
        if (m_mounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
    }
    SmallVolume(const SmallVolume &) = delete;
    SmallVolume &operator=(const SmallVolume &) = delete;

    bool holds() const { return m_mounted; }

private:
    QByteArray m_folder;
    bool m_mounted;
};

} // namespace testfolders
