#include "core/picture.h"

#include <cstring>

namespace quorbel {

namespace {

// One row's pixels from one format into another.
void convertRow(const uchar *from, Picture::Format fromFormat, uchar *to, Picture::Format toFormat,
                int pixels)
{
    if (fromFormat == toFormat) {
        std::memcpy(to, from, size_t(pixels) * (toFormat == Picture::Format::Bgr24 ? 3 : 4));
        return;
    }
    if (toFormat == Picture::Format::Bgra32) {
        for (int x = 0; x < pixels; ++x, from += 3, to += 4) {
            std::memcpy(to, from, 3);
            to[3] = 255;
        }
        return;
    }
    for (int x = 0; x < pixels; ++x, from += 4, to += 3) {
        const unsigned alpha = from[3];
        for (int channel = 0; channel < 3; ++channel)
            to[channel] = uchar((from[channel] * alpha + 127) / 255);
    }
}

} // namespace

Picture::Picture(QSize size, Format format) : m_format(format)
{
    if (size.isEmpty())
        return;
    m_size = size;
    m_stride = (qsizetype(size.width()) * bytesPerPixel() + 3) & ~qsizetype(3);
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
    Picture part(area.size(), m_format);
    copyPicture(*this, part, -area.topLeft());
    return part;
}

QRect copyPicture(const Picture &picture, Picture &target, QPoint at)
{
    const QRect area = QRect(at, picture.size()).intersected(target.rect());
    if (area.isEmpty())
        return area;
    const int sourceTop = area.y() - at.y();
    const size_t skip = size_t(area.x() - at.x()) * size_t(picture.bytesPerPixel());
    for (int row = 0; row < area.height(); ++row)
        convertRow(picture.constScanLine(sourceTop + row) + skip, picture.format(),
                   target.scanLine(area.y() + row) + area.x() * target.bytesPerPixel(),
                   target.format(), area.width());
    return area;
}

void makeTransparent(Picture &picture, quint32 colour)
{
    if (picture.format() != Picture::Format::Bgra32)
        return;
    const uchar blue = uchar(colour), green = uchar(colour >> 8), red = uchar(colour >> 16);
    for (int y = 0; y < picture.height(); ++y) {
        uchar *pixel = picture.scanLine(y);
        for (int x = 0; x < picture.width(); ++x, pixel += 4) {
            if (pixel[0] == blue && pixel[1] == green && pixel[2] == red)
                pixel[3] = 0;
        }
    }
}

} // namespace quorbel
