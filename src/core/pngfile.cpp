#include "core/pngfile.h"

#include "core/picture.h"
#include "core/runtimeerror.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <functional>
#include <new>
#include <vector>

namespace quorbel {

namespace {

// No frame comes near these, as for bitmaps: a header claiming more is refused before anything
// is allocated.
constexpr png_uint_32 MaxSide = 32767;
constexpr qint64 MaxPixels = qint64(1) << 25;

struct Input
{
    QByteArrayView file;
    qsizetype at = 0;
};

void readBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto *input = static_cast<Input *>(png_get_io_ptr(png));
    if (qsizetype(length) > input->file.size() - input->at)
        png_error(png, "cut short");
    std::memcpy(data, input->file.data() + input->at, length);
    input->at += qsizetype(length);
}

// libpng's own handlers print to standard error, where every line must be quorbel-sheet's own:
// warnings are dropped, and an error only jumps back to the setjmp frame, which turns it into
// the program's error.
void quiet(png_structp, png_const_charp) { }
[[noreturn]] void silentError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

// Reads the headers and sets the transformations to 8-bit blue, green, red and alpha. With rows,
// reads the pixels into them too; false for anything libpng refuses.
bool readPng(png_structp png, png_infop info, QSize &size, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_user_limits(png, MaxSide, MaxSide);
    // Each chunk's CRC already guards the compressed pixels; zlib's checksum of the same pixels
    // once more cost a tenth of a packed PNG sheet's time.
    png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (qint64(width) * height > MaxPixels)
        return false;
    size = QSize(int(width), int(height));
    if (!rows)
        return true;
    png_set_expand(png);
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != png_size_t(width) * 4)
        return false;
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    return true;
}

// The frame's size, and with rows its pixels; 481 for a file that is no PNG Quorbel reads.
QSize readPngFile(QByteArrayView file, const std::function<png_bytepp(QSize)> &rowsFor)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, silentError, quiet);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        raise(err::OutOfMemory);
    }
    Input input{file};
    png_set_read_fn(png, &input, readBytes);
    QSize size;
    bool read = file.startsWith("\x89PNG\r\n\x1a\n") && readPng(png, info, size, nullptr);
    png_bytepp rows = nullptr;
    if (read && rowsFor) {
        try {
            rows = rowsFor(size);
        } catch (...) {
            png_destroy_read_struct(&png, &info, nullptr);
            throw;
        }
        // The headers again, now with the pixels: a second struct costs less than keeping
        // libpng's state across the allocation.
        png_destroy_read_struct(&png, &info, nullptr);
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, silentError, quiet);
        info = png ? png_create_info_struct(png) : nullptr;
        input.at = 0;
        read = info != nullptr;
        if (read) {
            png_set_read_fn(png, &input, readBytes);
            read = readPng(png, info, size, rows);
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    if (!read)
        raise(err::InvalidPicture);
    return size;
}

} // namespace

QSize pngSize(QByteArrayView file)
{
    return readPngFile(file, {});
}

void decodePng(QByteArrayView file, uchar *first, qsizetype stride)
{
    std::vector<png_bytep> rows;
    readPngFile(file, [&](QSize size) {
        for (int y = 0; y < size.height(); ++y)
            rows.push_back(first + y * stride);
        return rows.data();
    });
}

void decodePng(QByteArrayView file, Picture &picture)
{
    std::vector<png_bytep> rows;
    readPngFile(file, [&](QSize size) {
        if (picture.size() != size || picture.format() != Picture::Format::Bgra32
            || !picture.isDetached()) {
            picture = Picture();
            try {
                picture = Picture(size, Picture::Format::Bgra32);
            } catch (const std::bad_alloc &) {
                raise(err::OutOfMemory);
            }
        }
        for (int y = 0; y < size.height(); ++y)
            rows.push_back(picture.scanLine(y));
        return rows.data();
    });
}

} // namespace quorbel
