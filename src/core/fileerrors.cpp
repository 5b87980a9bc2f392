#include "core/fileerrors.h"

#include "core/runtimeerror.h"

#include <QFileDevice>
#include <QFileInfo>
#include <QStorageInfo>

namespace quorbel {

namespace {
bool folderExists(const QString &path)
{
    return QFileInfo(QFileInfo(path).absolutePath()).isDir();
}
} // namespace

int openForReadingError(const QString &path)
{
    const QFileInfo info(path);
    if (!folderExists(path))
        return err::PathNotFound;
    if (!info.exists())
        return err::FileNotFound;
    if (info.isDir() || !info.isReadable())
        return err::PermissionDenied;
    return err::PathFileAccessError;
}

int openForWritingError(const QString &path)
{
    const QFileInfo info(path);
    if (!folderExists(path))
        return err::PathNotFound;
    if (info.isDir() || (info.exists() && !info.isWritable()))
        return err::PermissionDenied;
    return err::PathFileAccessError;
}

int writeError(const QFileDevice &device)
{
    // Qt calls a full disk a resource error only when not one byte could be written; a write
    // that the disk cut short is a plain write error, or no error at all. So a failed write on a
    // volume without a free byte is a full disk, whatever Qt calls it.
    if (device.error() == QFileDevice::ResourceError
        || QStorageInfo(QFileInfo(device.fileName()).absolutePath()).bytesAvailable() == 0)
        return err::DiskFull;
    return err::PathFileAccessError;
}

} // namespace quorbel
