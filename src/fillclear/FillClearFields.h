// The fill/clear fields' texts as a request: the one place their conversion rules live, for the
// window and the command line alike.
#pragma once

#include "fillclear/FillClear.h"

#include <functional>
#include <string>
#include <string_view>

namespace lw {

struct FillClearFieldTexts {
    // The whole classic world; for a world of another size its width and height go into Right
    // and Bottom (FillClearWorld).
    std::string Top = "0", Left = "0", Right = "6144", Bottom = "4096";
    std::string Tile; // a group name or a tile id in spaced hex
    std::string Altitude = "0";
};

// Completes a request that holds the paths and the two choices. Reads the borders top, left,
// right, bottom, each an integer 0-65535; then, when the terrain is to be filled and a tile of
// the world lies inside, the altitude (-128..127) and the tile (a group name, any letter case,
// or four hex digits: "Input not SpacedHex"). The first text that fails raises its error, so
// nothing is written.
// The world is asked for only when it matters, after the borders: FillClearWorld for the request.
FillClearRequest ReadFillClearFields(FillClearRequest request, const FillClearFieldTexts& texts,
                                     const std::function<WorldSize()>& world);
// The same in the classic world.
FillClearRequest ReadFillClearFields(FillClearRequest request, const FillClearFieldTexts& texts);

// The tile of a tile text, as ReadFillClearFields resolves it.
FillTile ResolveFillTile(std::string_view text);

// The altitude text as the field shows it after leaving it: a value above 127 becomes "127",
// one below -128 "-128", anything else stays as typed; text that is no integer fails.
std::string ClampAltitudeText(const std::string& text);

} // namespace lw
