#pragma once

#include "platform/checkedmath.h"

// Frames in each row of the sheet: the frame count shared out over the rows, rounded half to
// even, so 5 frames in 2 rows give 2 a row and 7 frames give 4.
inline platform::Int16 framesPerRow(platform::Int16 frames, platform::Int16 rows)
{
    return platform::toInt16(double(frames) / double(rows));
}
