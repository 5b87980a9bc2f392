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
    // Mapping spares a copy of the file; the decoder copies the pixels out before it is unmapped.
    const qint64 size = file.size();
    if (const uchar *mapped = file.map(0, size))
        return decodeBmp(QByteArrayView(mapped, size));
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
