// Readable failure messages for the map editor's small types.
#pragma once

#include "mapedit/CellPos.h"

#include <ostream>

namespace lw {

inline void PrintTo(const CellPos& cell, std::ostream* out) {
    *out << "(" << cell.X << ", " << cell.Y << ")";
}

} // namespace lw
