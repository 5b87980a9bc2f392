#include "platform/replacefile.h"

#include "platform/fileerrors.h"
#include "platform/runtimeerror.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QScopeGuard>

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// A name of its own beside the target; O_EXCL makes sure it is new. Mode 0666 lets the user's
// umask decide, as for any file a program creates.
int createBeside(const QString &target, QString &name)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target + QStringLiteral(".%1").arg(QRandomGenerator::global()->generate(), 8, 16,
                                                  QLatin1Char('0'));
        const int fd = ::open(QFile::encodeName(name).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Claims the room for the whole file before the first byte is written: a full disk shows at once
// and leaves nothing half written, and the file system need not find blocks for the data later,
// when the rename would otherwise wait for it. A file system that cannot claim room ahead simply
// finds out while the bytes are written.
void reserve(int fd, qint64 size)
{
    if (size <= 0)
        return;
    if (::fallocate(fd, 0, 0, off_t(size)) == 0 || errno == EOPNOTSUPP || errno == ENOSYS)
        return;
    raise(errno == ENOSPC ? err::DiskFull : err::PathFileAccessError);
}

} // namespace

// QSaveFile does the same, but also waits for every byte to reach the disk before the rename.
// Measured on a 48 MiB sheet on ext4 that wait, or the rename's own wait when the room is not
// claimed ahead, took longer than the rest of the job together: reading every frame, composing
// and writing the sheet. So the old sheet stays whole after any failure the program sees, a full
// disk or a refused write; only a power cut in the seconds before the system has written the new
// sheet out can leave that name without either, as with every program that does not wait. The
// settings file, a line long, still goes through QSaveFile.
void replaceFile(const QString &path, qint64 size,
                 const std::function<void(QFileDevice &)> &write)
{
    const QFileInfo info(path);
    // Like a text editor, a save through a symbolic link replaces the file it points to.
    const QString target = info.isSymLink() ? info.symLinkTarget() : path;
    const QFileInfo existing(target);
    if (existing.isDir() || (existing.exists() && !existing.isWritable()))
        raise(err::PermissionDenied);

    QString temporary;
    const int fd = createBeside(target, temporary);
    if (fd < 0)
        raise(openForWritingError(target));
    auto removeTemporary = qScopeGuard([&] { ::unlink(QFile::encodeName(temporary).constData()); });
    struct stat old {};
    if (::stat(QFile::encodeName(target).constData(), &old) == 0)
        ::fchmod(fd, old.st_mode & 07777); // the replacement keeps the old file's permissions

    QFile file(temporary); // named, so a failed write can be traced to its volume
    if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        raise(err::PathFileAccessError);
    }
    reserve(fd, size);
    write(file);
    if (!file.flush())
        raise(writeError(file));
    file.close();
    if (file.error() != QFileDevice::NoError)
        raise(writeError(file));
    if (std::rename(QFile::encodeName(temporary).constData(),
                    QFile::encodeName(target).constData())
        != 0)
        raise(openForWritingError(target));
    removeTemporary.dismiss();
}

} // namespace platform
