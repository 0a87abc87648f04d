// a * b / c with a 64-bit product, rounded half away from zero; -1 when c is
// 0 or the result does not fit in an int.
#pragma once

#include <climits>
#include <cstdint>

inline int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const int64_t product = static_cast<int64_t>(a) * b;
    const int64_t half = (c > 0 ? c : -static_cast<int64_t>(c)) / 2;
    const bool negative = (product < 0) != (c < 0);
    const int64_t magnitude = ((product < 0 ? -product : product) + half) / (c > 0 ? c : -static_cast<int64_t>(c));
    const int64_t result = negative ? -magnitude : magnitude;
    if (result > INT_MAX || result < INT_MIN)
        return -1;
    return static_cast<int>(result);
}
