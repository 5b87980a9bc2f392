// The bitmap reader meets whatever lies in a user's folder. Whatever the bytes, decodeBmp must
// return a picture (blue, green, red rows, no alpha) of exactly the size the header claims, or
// raise error 481 (7 when the image itself cannot be allocated), and the same bytes must give the
// same pixels every time. How much it may allocate, libFuzzer's limits in run.sh decide.

#include "platform/bmpdecoder.h"
#include "platform/runtimeerror.h"
#include "support/bmpkinds.h"

#include <QImage>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *property)
{
    std::fprintf(stderr, "bitmap reader property broken: %s\n", property);
    std::abort();
}

// Every pixel is checked and folded into one value, so a pixel the decoder never wrote is a read
// of uninitialised memory that valgrind and MemorySanitizer report where it happens. Not traced
// for coverage: a frame of 2^25 pixels would otherwise take the fuzzer seconds for nothing new.
__attribute__((no_sanitize("coverage")))
quint64 pixelHash(const QImage &image)
{
    quint64 hash = 14695981039346656037ULL;
    const qsizetype pixelBytes = qsizetype(image.width()) * 3;
    for (int y = 0; y < image.height(); ++y) {
        const uchar *line = image.constScanLine(y);
        for (qsizetype i = 0; i < pixelBytes; ++i)
            hash = (hash ^ line[i]) * 1099511628211ULL;
    }
    return hash;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView file(data, qsizetype(size));
    QImage image;
    try {
        image = platform::decodeBmp(file);
    } catch (const platform::RuntimeError &error) {
        if (error.number() != platform::err::InvalidPicture
            && error.number() != platform::err::OutOfMemory)
            fail("refusals are error 481, or 7 for an image beyond memory");
        return 0;
    }
    if (image.format() != platform::PictureFormat)
        fail("images are pictures in the bitmap row layout");
    const bmpkinds::Claim claim = bmpkinds::claimedSize(file);
    if (image.width() != claim.width || image.height() != claim.height)
        fail("an image has the size its header claims");
    const quint64 first = pixelHash(image);
    image = QImage();
    if (pixelHash(platform::decodeBmp(file)) != first)
        fail("the same bytes decode to the same pixels");
    return 0;
}
