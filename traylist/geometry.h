// Window and row geometry from settings that may hold any int: the sums are
// worked out in 64 bits and saturated to the int range, so that extreme
// paddings or icon sizes give an extreme but well-defined rectangle instead
// of an overflow.
#pragma once

#include <climits>

using Wide = long long;

constexpr int ClampToInt(Wide value) {
    return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}
