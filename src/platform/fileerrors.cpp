#include "platform/fileerrors.h"

#include "platform/runtimeerror.h"

#include <QFileDevice>
#include <QFileInfo>

namespace platform {

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
    // Qt reports a full disk as a resource error.
    if (device.error() == QFileDevice::ResourceError)
        return err::DiskFull;
    return err::PathFileAccessError;
}

} // namespace platform
