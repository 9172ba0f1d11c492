// When a generation counts a block as changed.
#pragma once

#include "world/Records.h"

#include <cstring>
#include <string_view>

namespace lw {

// Extra is not compared: it is never carried in a diff.
inline bool IndexEntriesEqual(const StaticPointer& a, const StaticPointer& b) {
    return a.Offset == b.Offset && a.Length == b.Length;
}

// Equal counts and byte-equal records: two cleared block lists compare whole.
inline bool StaticRecordsEqual(std::string_view a, std::string_view b) {
    return a == b;
}

inline bool MapBlocksEqual(const void* a, const void* b) {
    return std::memcmp(a, b, kMapBlockSize) == 0;
}

} // namespace lw
