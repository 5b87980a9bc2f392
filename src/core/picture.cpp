#include "core/picture.h"

#include <cstring>

namespace quorbel {

namespace {
constexpr qsizetype PixelBytes = 3;
}

Picture::Picture(QSize size)
{
    if (size.isEmpty())
        return;
    m_size = size;
    m_stride = (qsizetype(size.width()) * PixelBytes + 3) & ~qsizetype(3);
    m_pixels = QByteArray(m_stride * size.height(), '\0');
}

const uchar *Picture::constBits() const
{
    return reinterpret_cast<const uchar *>(m_pixels.constData());
}

uchar *Picture::scanLine(int y)
{
    return reinterpret_cast<uchar *>(m_pixels.data()) + y * m_stride;
}

Picture Picture::copy(QRect area) const
{
    Picture part(area.size());
    copyPicture(*this, part, -area.topLeft());
    return part;
}

QRect copyPicture(const Picture &picture, Picture &target, QPoint at)
{
    const QRect area = QRect(at, picture.size()).intersected(target.rect());
    if (area.isEmpty())
        return area;
    const int sourceTop = area.y() - at.y();
    const size_t skip = size_t(area.x() - at.x()) * PixelBytes;
    const size_t rowBytes = size_t(area.width()) * PixelBytes;
    for (int row = 0; row < area.height(); ++row)
        std::memcpy(target.scanLine(area.y() + row) + area.x() * PixelBytes,
                    picture.constScanLine(sourceTop + row) + skip, rowBytes);
    return area;
}

} // namespace quorbel
