#pragma once
// The growth rule shared by the engine's arrays: 0 -> 11, then doubling.
// An array grows as soon as its count reaches its capacity, so one slot is
// always free.

#include <climits>

namespace TarselUI {

constexpr int kFirstArrayCapacity = 11;

// The capacity after growing from `capacity`; 0 when it would overflow.
constexpr int NextArrayCapacity(int capacity) {
    if (capacity <= 0) return kFirstArrayCapacity;
    return capacity > INT_MAX / 2 ? 0 : capacity * 2;
}

}  // namespace TarselUI
