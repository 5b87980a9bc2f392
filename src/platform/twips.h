#pragma once

#include "core/checkedmath.h"

// Window layouts are in twips, 15 to the pixel, always.
namespace platform {

constexpr int TwipsPerPixel = 15;

// A form's inner unit for the positions and sizes that code gives its controls.
enum class ScaleMode { Twips = 1, Pixels = 3 };

inline int twipsToPixels(double twips)
{
    return quorbel::toInt32(twips / TwipsPerPixel);
}
inline double pixelsToTwips(double pixels)
{
    return pixels * TwipsPerPixel;
}

} // namespace platform
