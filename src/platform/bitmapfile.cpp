#include "platform/bitmapfile.h"

#include "platform/bmpdecoder.h"
#include "platform/bmpencoder.h"
#include "platform/fileerrors.h"
#include "platform/runtimeerror.h"

#include <QFile>
#include <QImage>
#include <QSaveFile>

namespace platform {

QImage loadBitmapFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        raise(openForReadingError(path));
    // Read into memory rather than mapped: a frame file cut short by another program while it
    // is decoded would end a mapping reader with a bus error. No frame the decoder accepts needs
    // more than this, so a bigger file is refused before it is read.
    constexpr qint64 MaxFrameFileBytes = qint64(256) << 20;
    if (file.size() > MaxFrameFileBytes)
        raise(err::InvalidPicture);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        raise(err::PathFileAccessError);
    return decodeBmp(bytes);
}

void saveBitmapFile(const QImage &image, const QString &path)
{
    if (image.isNull())
        raise(err::InvalidPropertyValue);
    // QSaveFile writes a temporary beside the target and renames it into place on commit; when
    // anything fails before that, its destructor removes the temporary and the old file stays.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        raise(openForWritingError(path));
    encodeBmp24(image, file);
    if (!file.commit())
        raise(file.error() == QFileDevice::RenameError ? openForWritingError(path)
                                                       : writeError(file));
}

} // namespace platform
