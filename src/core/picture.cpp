#include "core/picture.h"

#include <cstdlib>
#include <cstring>
#include <new>

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

// Pixels from calloc(): the pages of a large picture come from the system already zero and are
// first touched by whoever paints them, on every core while a sheet is composed, where zeroing
// them here would cost one thread a page fault and a pass over every byte before anything else
// could start.
std::shared_ptr<uchar> allocatePixels(qsizetype bytes, bool zeroed)
{
    void *memory = zeroed ? std::calloc(size_t(bytes), 1) : std::malloc(size_t(bytes));
    if (!memory)
        throw std::bad_alloc();
    return std::shared_ptr<uchar>(static_cast<uchar *>(memory), std::free);
}

} // namespace

Picture::Picture(QSize size, Format format) : m_format(format)
{
    if (size.isEmpty())
        return;
    m_size = size;
    m_stride = (qsizetype(size.width()) * bytesPerPixel() + 3) & ~qsizetype(3);
    m_pixels = allocatePixels(byteCount(), true);
}

const uchar *Picture::constBits() const
{
    static const uchar none = 0;
    return m_pixels ? m_pixels.get() : &none;
}

uchar *Picture::scanLine(int y)
{
    if (m_pixels.use_count() > 1) {
        std::shared_ptr<uchar> own = allocatePixels(byteCount(), false);
        std::memcpy(own.get(), m_pixels.get(), size_t(byteCount()));
        m_pixels = std::move(own);
    }
    return m_pixels.get() + y * m_stride;
}

bool operator==(const Picture &a, const Picture &b)
{
    return a.m_size == b.m_size && a.m_format == b.m_format
        && (a.m_pixels == b.m_pixels
            || std::memcmp(a.constBits(), b.constBits(), size_t(a.byteCount())) == 0);
}

Picture Picture::copy(QRect area) const
{
    Picture part(area.size(), m_format);
    copyPicture(*this, part, -area.topLeft());
    return part;
}

QRect copyPicture(const Picture &picture, Picture &target, QPoint at, QRect part)
{
    const QRect source = part & picture.rect();
    at += source.topLeft() - part.topLeft();
    const QRect area = QRect(at, source.size()).intersected(target.rect());
    if (area.isEmpty())
        return area;
    const int sourceTop = source.y() + area.y() - at.y();
    const size_t skip = size_t(source.x() + area.x() - at.x()) * size_t(picture.bytesPerPixel());
    for (int row = 0; row < area.height(); ++row)
        convertRow(picture.constScanLine(sourceTop + row) + skip, picture.format(),
                   target.scanLine(area.y() + row) + qsizetype(area.x()) * target.bytesPerPixel(),
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
