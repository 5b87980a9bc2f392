#include "core/pngfile.h"

#include "core/picture.h"
#include "core/runtimeerror.h"

#include <png.h>

#include <csetjmp>
#include <exception>

namespace quorbel {

namespace {

// What libpng writes, gathered into pieces of a megabyte for the sink. libpng is C and reports its
// errors with longjmp, so nothing may be thrown through it: a failure of the sink is kept here
// until libpng has returned.
struct Output
{
    const ByteSink &sink;
    QByteArray pending;
    std::exception_ptr failure;

    void flush()
    {
        sink({pending});
        pending.clear();
    }
};

void writeBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto *output = static_cast<Output *>(png_get_io_ptr(png));
    try {
        output->pending.append(reinterpret_cast<const char *>(data), qsizetype(length));
        if (output->pending.size() >= (1 << 20))
            output->flush();
    } catch (...) {
        output->failure = std::current_exception();
        png_error(png, "write failed");
    }
}

void flushNothing(png_structp) {}

// Only the setjmp frame, with no object that needs destroying, sees libpng's longjmp.
bool writeRows(png_structp png, png_infop info, const Picture &picture, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_IHDR(png, info, png_uint_32(picture.width()), png_uint_32(picture.height()), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png); // a picture's rows are blue, green, red: no copy to turn them round
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    return true;
}

} // namespace

void encodePng(const Picture &picture, const ByteSink &sink)
{
    if (picture.isNull())
        raise(err::InvalidPropertyValue);
    QList<png_bytep> rows;
    rows.reserve(picture.height());
    for (int y = 0; y < picture.height(); ++y)
        rows.append(const_cast<png_bytep>(picture.constScanLine(y)));
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        raise(err::OutOfMemory);
    }
    Output output{sink, {}, {}};
    png_set_write_fn(png, &output, writeBytes, flushNothing);
    const bool written = writeRows(png, info, picture, rows.data());
    png_destroy_write_struct(&png, &info);
    if (output.failure)
        std::rethrow_exception(output.failure);
    if (!written)
        raise(err::OutOfMemory);
    output.flush();
}

} // namespace quorbel
