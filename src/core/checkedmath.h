#pragma once

#include "core/runtimeerror.h"

#include <cmath>
#include <cstdint>
#include <limits>

// The 16- and 32-bit figures of the frame set and Draw never wrap: every sum and product is
// checked, and a value out of range is run-time error 6, as the user is told.
namespace quorbel {

using Int16 = std::int16_t;
using Int32 = std::int32_t;

// Nearest integer, ties to the even one (2.5 -> 2, 3.5 -> 4, 0.5 -> 0).
inline double roundHalfEven(double value)
{
    return std::nearbyint(value); // the default floating-point rounding mode is to nearest-even
}

template <typename T>
T toChecked(double value)
{
    const double rounded = roundHalfEven(value);
    if (!std::isfinite(rounded) || rounded < double(std::numeric_limits<T>::min())
        || rounded > double(std::numeric_limits<T>::max()))
        raise(err::Overflow);
    return static_cast<T>(rounded);
}

inline Int16 toInt16(double value)
{
    return toChecked<Int16>(value);
}
inline Int32 toInt32(double value)
{
    return toChecked<Int32>(value);
}

// Both operands fit in 32 bits, so their exact sum and product fit in 64.
template <typename T>
T checkedResult(std::int64_t exact)
{
    if (exact < std::numeric_limits<T>::min() || exact > std::numeric_limits<T>::max())
        raise(err::Overflow);
    return static_cast<T>(exact);
}

template <typename T>
T checkedAdd(T a, T b)
{
    return checkedResult<T>(std::int64_t(a) + std::int64_t(b));
}

template <typename T>
T checkedMul(T a, T b)
{
    return checkedResult<T>(std::int64_t(a) * std::int64_t(b));
}

// A single-precision sum that became infinite or not a number is an overflow too.
inline float checkedAdd(float a, float b)
{
    const float result = a + b;
    if (!std::isfinite(result))
        raise(err::Overflow);
    return result;
}

} // namespace quorbel
