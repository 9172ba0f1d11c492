// Feeds arbitrary text as a palette line and looks up every cell of the grid it describes (and
// one row and column past it).
#include "FuzzFiles.h"
#include "mapedit/PaletteLine.h"
#include "util/Errors.h"

#include <algorithm>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const lw::PaletteLine line = lw::ParsePaletteLine(lw::fuzz::AsText(data, size));
    const int rows = std::clamp(line.rowCount(), 0, lw::kMaxPaletteSide);
    const int columns = std::clamp(line.columnCount(), 0, lw::kMaxPaletteSide);
    for (int row = 0; row <= rows; ++row)
        for (int column = 0; column <= columns; ++column)
            lw::SelectionCellTile(line, row, column, columns);
    return 0;
}
