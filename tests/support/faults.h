#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>

#include <linux/capability.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

// Real obstacles to a write, each in place while it lives: nothing is simulated.
namespace faults {

// A folder under /proc refuses every new file, even to root; "" where this machine's does not.
inline QString folderRefusingNewFiles()
{
    const QString folder = QStringLiteral("/proc/self/fdinfo");
    QFile probe(folder + QStringLiteral("/quorbel-probe"));
    return QDir(folder).exists() && !probe.open(QIODevice::WriteOnly) ? folder : QString();
}

// A folder whose permission bits refuse new files (0555) while the files in it stay writable, as
// an installed program's folder is to its user. Root meets the bits too: meanwhile this thread
// works without the capability that overrides them. holds is false where a file still gets in.
struct ClosedFolder
{
    explicit ClosedFolder(const QString &folder) : folder(folder)
    {
        syscall(SYS_capget, &header, saved);
        __user_cap_data_struct reduced[2] = {saved[0], saved[1]};
        reduced[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
        syscall(SYS_capset, &header, reduced);
        ::chmod(QFile::encodeName(folder).constData(), 0555);
        QFile probe(folder + QStringLiteral("/quorbel-probe"));
        holds = !probe.open(QIODevice::WriteOnly);
        probe.remove();
    }
    ~ClosedFolder()
    {
        ::chmod(QFile::encodeName(folder).constData(), 0700);
        syscall(SYS_capset, &header, saved);
    }
    QString folder;
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved[2]{};
    bool holds = false;
};

// An immutable file (chattr +i) refuses every change, even from root; holds is false where the
// flag cannot be set or does not refuse a write.
struct ImmutableFile
{
    explicit ImmutableFile(const QString &path) : path(path)
    {
        QFile file(path);
        holds = chattr("+i") && !file.open(QIODevice::WriteOnly | QIODevice::Append);
    }
    ~ImmutableFile() { chattr("-i"); } // else the temporary folder could not be removed
    bool chattr(const char *flag) const
    {
        return QProcess::execute(QStringLiteral("chattr"), {QString::fromLatin1(flag), path}) == 0;
    }
    QString path;
    bool holds = false;
};

// A tmpfs this small mounted over a folder, so that writing there really runs out of space.
// Mounting needs root; holds is false where it is refused.
struct SmallVolume
{
    SmallVolume(const QString &folder, int kibibytes)
        : folder(QFile::encodeName(folder))
        , holds(::mount("tmpfs", this->folder.constData(), "tmpfs", 0,
                        ("size=" + QByteArray::number(kibibytes) + "k").constData())
                == 0)
    {
    }
    ~SmallVolume()
    {
        if (holds)
            ::umount2(folder.constData(), MNT_DETACH);
    }
    QByteArray folder;
    bool holds;
};

// The process may map only this much more memory while it lives, so that an allocation larger
// than the 64 MiB a thread's heap can hold really fails. AddressSanitizer reserves terabytes of
// address space for itself: there it cannot hold.
struct MemoryCap
{
    explicit MemoryCap(long long headroom)
    {
        getrlimit(RLIMIT_AS, &previous);
        QFile statm(QStringLiteral("/proc/self/statm")); // the first field: pages mapped now
        const long long pages =
            statm.open(QIODevice::ReadOnly) ? statm.readAll().split(' ').value(0).toLongLong() : 0;
        const rlimit cap{rlim_t(pages * sysconf(_SC_PAGESIZE) + headroom), previous.rlim_max};
#if !defined(__SANITIZE_ADDRESS__)
        holds = pages > 0 && setrlimit(RLIMIT_AS, &cap) == 0;
#endif
    }
    ~MemoryCap()
    {
        setrlimit(RLIMIT_AS, &previous);
    }
    rlimit previous{};
    bool holds = false;
};

} // namespace faults
