#include "platform/bitmapfile.h"

#include "platform/bmpdecoder.h"
#include "platform/bmpencoder.h"
#include "platform/fileerrors.h"
#include "platform/replacefile.h"
#include "platform/runtimeerror.h"

#include <QFile>
#include <QImage>
#include <QScopeGuard>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// One buffer serves every frame of a Draw, so reading a frame allocates nothing once it has
// grown to the frame size; one that grew for an unusually big file is given back.
QByteArray &readBuffer(qint64 size)
{
    constexpr qint64 KeptBytes = qint64(16) << 20;
    static QByteArray buffer;
    if (buffer.size() < size || (buffer.size() > KeptBytes && size <= KeptBytes))
        buffer = QByteArray(qMax(size, qint64(1)), Qt::Uninitialized);
    return buffer;
}

// Reads up to size bytes, fewer only at the end of the file (one that shrank since it was
// measured); -1 on a read error.
qint64 readWhole(int fd, char *into, qint64 size)
{
    qint64 done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd, into + done, size_t(size - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

} // namespace

void loadBitmapFile(const QString &path, QImage &image)
{
    // O_NONBLOCK: opening a named pipe for reading would otherwise wait for a writer forever.
    // Only a regular file is read at all.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        raise(openForReadingError(path));
    const auto closer = qScopeGuard([fd] { ::close(fd); });
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        raise(err::PathFileAccessError);
    if (S_ISDIR(info.st_mode))
        raise(err::PermissionDenied);
    if (!S_ISREG(info.st_mode))
        raise(err::PathFileAccessError);
    // Read into memory rather than mapped: a frame file cut short by another program while it
    // is decoded would end a mapping reader with a bus error. No frame the decoder accepts needs
    // more than this, so a bigger file is refused before it is read.
    constexpr qint64 MaxFrameFileBytes = qint64(256) << 20;
    if (info.st_size > MaxFrameFileBytes)
        raise(err::InvalidPicture);
    QByteArray &bytes = readBuffer(info.st_size);
    const qint64 got = readWhole(fd, bytes.data(), info.st_size);
    if (got < 0)
        raise(err::PathFileAccessError);
    decodeBmp(QByteArrayView(bytes.constData(), got), image);
}

QImage loadBitmapFile(const QString &path)
{
    QImage image;
    loadBitmapFile(path, image);
    return image;
}

void saveBitmapFile(const QImage &image, const QString &path)
{
    replaceFile(path, bmp24FileSize(image), [&image](QFileDevice &file) { encodeBmp24(image, file); });
}

} // namespace platform
