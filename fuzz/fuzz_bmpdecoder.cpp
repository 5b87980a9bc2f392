// The bitmap reader meets whatever lies in a user's folder. Whatever the bytes, decodeBmp must
// return a picture of exactly the size the header claims, or raise error 481 (7 when the picture
// itself cannot be allocated), and the same bytes must give the same pixels every time. How much
// it may allocate, libFuzzer's limits in run.sh decide.

#include "core/bmpdecoder.h"
#include "core/picture.h"
#include "core/runtimeerror.h"
#include "support/bmpkinds.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *property)
{
    std::fprintf(stderr, "bitmap reader property broken: %s\n", property);
    std::abort();
}

// Every byte is read and folded into one value, so that the same bytes must give the same pixels,
// and a pixel that came from memory nobody initialised (pictures start zeroed, so only a fault in
// their allocation could leave one) is reported by valgrind where it is read. Not traced
// for coverage: a frame of 2^25 pixels would otherwise take the fuzzer seconds for nothing new.
__attribute__((no_sanitize("coverage"))) quint64 pixelHash(const quorbel::Picture &picture)
{
    quint64 hash = 14695981039346656037ULL;
    const qsizetype bytes = picture.bytesPerLine() * picture.height();
    for (qsizetype i = 0; i < bytes; ++i)
        hash = (hash ^ picture.constBits()[i]) * 1099511628211ULL;
    return hash;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView file(data, qsizetype(size));
    quorbel::Picture picture;
    try {
        picture = quorbel::decodeBmp(file);
    } catch (const quorbel::RuntimeError &error) {
        if (error.number() != quorbel::err::InvalidPicture
            && error.number() != quorbel::err::OutOfMemory)
            fail("refusals are error 481, or 7 for a picture beyond memory");
        return 0;
    }
    const bmpkinds::Claim claim = bmpkinds::claimedSize(file);
    if (picture.width() != claim.width || picture.height() != claim.height)
        fail("a picture has the size its header claims");
    const quint64 first = pixelHash(picture);
    picture = quorbel::Picture();
    if (pixelHash(quorbel::decodeBmp(file)) != first)
        fail("the same bytes decode to the same pixels");
    return 0;
}
