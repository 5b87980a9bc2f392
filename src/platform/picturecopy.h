#pragma once

#include <QImage>
#include <QRect>

namespace platform {

// A picture of this size in every pixel black, padding bytes zeroed, so that its bytes depend on
// its pixels alone; the null image when memory is short.
QImage blackPicture(QSize size);

// Copies the picture's pixels at their natural size with the top-left corner at (x, y) of the
// target: no blending, and what falls outside the target is cut off. Both are in PictureFormat.
// Returns the part of the target written.
QRect copyPicture(const QImage &picture, QImage &target, int x, int y);

} // namespace platform
