#include "platform/picturecopy.h"

#include "platform/bmpdecoder.h"

#include <cstring>

namespace platform {

QImage blackPicture(QSize size)
{
    QImage image(size, PictureFormat);
    if (!image.isNull())
        std::memset(image.bits(), 0, size_t(image.sizeInBytes()));
    return image;
}

QRect copyPicture(const QImage &picture, QImage &target, int x, int y)
{
    const QRect area = QRect(QPoint(x, y), picture.size()).intersected(target.rect());
    if (area.isEmpty())
        return area;
    constexpr size_t PixelBytes = 3;
    const int sourceLeft = area.x() - x;
    const int sourceTop = area.y() - y;
    const size_t rowBytes = size_t(area.width()) * PixelBytes;
    const qsizetype sourceStride = picture.bytesPerLine();
    const qsizetype targetStride = target.bytesPerLine();
    const uchar *from = picture.constBits() + sourceTop * sourceStride + sourceLeft * PixelBytes;
    uchar *to = target.bits() + area.y() * targetStride + area.x() * PixelBytes;
    for (int row = 0; row < area.height(); ++row, from += sourceStride, to += targetStride)
        std::memcpy(to, from, rowBytes);
    return area;
}

} // namespace platform
