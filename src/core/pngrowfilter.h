#pragma once

#include <QtGlobal>

namespace quorbel {

// One row of a PNG's pixels filtered for compression with the filter libpng's adaptive heuristic
// picks for it: of none, sub, up, average and Paeth, the one whose bytes, read as signed numbers,
// add up to the least in absolute value. row and above (all zeros above the first row) hold
// `bytes` bytes in the file's channel order; out receives the filter's number and then `bytes`
// filtered bytes.
void filterRow(const uchar *row, const uchar *above, qsizetype bytes, int bytesPerPixel,
               uchar *out);

} // namespace quorbel
