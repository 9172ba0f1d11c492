// Fill and clear: removes the static items standing in a tile rectangle and overwrites its
// terrain cells with one tile, or random tiles of a named group, at one altitude.
#pragma once

#include "util/LogSink.h"
#include "util/Progress.h"
#include "world/ProgramState.h"
#include "world/Records.h"

#include <cstdint>
#include <functional>
#include <string>

namespace lw {

// What a filled cell gets: a random tile of NamedTiles[Group] when Group >= 0, else Id.
struct FillTile {
    int Group = -1;
    std::uint16_t Id = 0;
};

struct FillClearRequest {
    std::string StaIdxPath, StaticsPath, MapPath;
    // Tile coordinates, inclusive on all sides, each 0-65535; borders past the world's edge
    // take in everything up to the edge (the defaults: the whole classic world).
    int Top = 0, Left = 0, Right = kWorldWidth, Bottom = kWorldHeight;
    bool ClearStatics = true;
    bool FillTerrain = true;
    FillTile Tile;
    std::int8_t Altitude = 0;
    // When set, asked for the altitude anew for every filled cell (a window whose altitude field
    // may change while the pass yields); Altitude is then only the value checked beforehand.
    std::function<std::int8_t()> AltitudeSource;
};

// True when some tile of the world lies inside the request's rectangle.
bool HoldsWorldTile(const FillClearRequest& request, const WorldSize& world);
bool HoldsWorldTile(const FillClearRequest& request); // the classic world

// The world the request works on: its map's when the terrain is filled (the index then fitting
// it), else its statics index's (WorldOfFiles). Refuses files of two facets.
WorldSize FillClearWorld(const FillClearRequest& request);
// The same for a caller that needs the world before the operation (its whole-world borders): the
// files are declared for reading first, as every read of them is (OperationFiles: what a killed
// run left is repaired, saying so through log; a missing file is "Datei nicht gefunden").
WorldSize ReadFillClearWorld(const FillClearRequest& request, const LogSink& log = DiscardLog);

// Clears the statics of the rectangle (wholly covered blocks become (-1, -1, 0), partly covered
// ones are written anew at the end of statics0.mul without the records inside) and fills its
// terrain cells, blocks in file order with progress after each block column of each pass, over
// the world FillClearWorld gives; the map may be a container, which is replaced whole.
// All or nothing: the new index and map are written beside the old ones and put in place
// together, and appended runs are cut off again on failure. The picks advance
// state.RandomSeed; when the index is the one state.StaticIndex was loaded from, the table
// takes the entries written. What the check of its files repairs first goes to log.
void FillClear(ProgramState& state, const FillClearRequest& request, Progress& progress,
               const LogSink& log = DiscardLog);

} // namespace lw
