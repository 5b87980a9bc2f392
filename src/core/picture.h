#pragma once

#include <QRect>
#include <QSize>

#include <memory>
#include <utility>

namespace quorbel {

// A picture held the way a 24-bit bitmap stores its rows: blue, green, red, each row padded to
// four bytes with zeros, so its bytes depend on its pixels alone. Frames decode straight into this
// layout, most of them straight into their cells of the sheet, and the sheet goes to disk as it
// is. A picture with transparency holds blue, green, red and alpha, the way PNG files are written
// from it. Copies share their pixels until one of them is written to.
class Picture
{
public:
    enum class Format { Bgr24, Bgra32 };

    Picture() = default;
    // All black, and fully transparent where there is alpha; std::bad_alloc when memory is short.
    explicit Picture(QSize size, Format format = Format::Bgr24);
    Picture(const Picture &) = default;
    Picture &operator=(const Picture &) = default;
    // A picture moved from is null, not a size without pixels.
    Picture(Picture &&other) noexcept { swap(other); }
    Picture &operator=(Picture &&other) noexcept
    {
        Picture(std::move(other)).swap(*this);
        return *this;
    }
    void swap(Picture &other) noexcept
    {
        std::swap(m_size, other.m_size);
        std::swap(m_format, other.m_format);
        std::swap(m_stride, other.m_stride);
        m_pixels.swap(other.m_pixels);
    }

    bool isNull() const { return m_size.isEmpty(); }
    QSize size() const { return m_size; }
    int width() const { return m_size.width(); }
    int height() const { return m_size.height(); }
    QRect rect() const { return {QPoint(0, 0), m_size}; }
    Format format() const { return m_format; }
    int bytesPerPixel() const { return m_format == Format::Bgr24 ? 3 : 4; }
    qsizetype bytesPerLine() const { return m_stride; }

    const uchar *constBits() const;
    const uchar *constScanLine(int y) const { return constBits() + y * m_stride; }
    // Writing first gives this copy pixels of its own.
    uchar *scanLine(int y);
    // A picture of its own holding that part of this one.
    Picture copy(QRect area) const;
    // No other copy shares the pixels, so writing them costs no copy.
    bool isDetached() const { return m_pixels.use_count() <= 1; }

    friend bool operator==(const Picture &a, const Picture &b);

private:
    qsizetype byteCount() const { return m_stride * m_size.height(); }

    QSize m_size{0, 0};
    Format m_format = Format::Bgr24;
    qsizetype m_stride = 0;
    std::shared_ptr<uchar> m_pixels;
};

// Copies the picture's pixels, or only those of its `part`, at their natural size with the
// top-left corner at `at` of the target: no blending, and what falls outside the target is cut
// off. Returns the part of the target written. Into a target without transparency a see-through
// pixel goes in over black; a pixel without transparency goes into one with it fully opaque.
QRect copyPicture(const Picture &picture, Picture &target, QPoint at, QRect part);
inline QRect copyPicture(const Picture &picture, Picture &target, QPoint at)
{
    return copyPicture(picture, target, at, picture.rect());
}

// Every pixel of exactly this colour, 0xRRGGBB, becomes fully transparent.
void makeTransparent(Picture &picture, quint32 colour);

} // namespace quorbel
