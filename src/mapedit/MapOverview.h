// The map drawn small: each pixel the colour of the tiles it stands for (their pictures' average
// colours, shaded by altitude), one tile a pixel at the largest. The map is read in large pieces;
// after a paint only the pixels of the changed cells are drawn again. An object holds all its
// state and opens its own files, so it may run on a thread of its own (one thread at a time).
#pragma once

#include "mapedit/CellPos.h"
#include "mapedit/TileColours.h"
#include "util/File.h"
#include "world/WorldSize.h"

#include <cstdint>
#include <optional>
#include <span>
#include <stop_token>
#include <string>
#include <vector>

namespace lw {

struct RgbImage {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Bytes; // R, G, B of each pixel, row by row from the top

    Rgb at(int x, int y) const {
        const std::size_t i =
            (static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) + x) * 3;
        return {Bytes[i], Bytes[i + 1], Bytes[i + 2]};
    }
};

// A rectangle of tiles: Width x Height from (Left, Top).
struct TileRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool operator==(const TileRect&) const = default;
};

// Every tile of the world (of a map: WholeMap(MapWorld(path))).
inline TileRect WholeMap(const WorldSize& world = kClassicWorld) {
    return {0, 0, world.width(), world.height()};
}

// The smallest scale at which region fits into width x height pixels (1 when it fits unscaled).
int FitScale(const TileRect& region, int width, int height);

struct OverviewRequest {
    std::string MapPath;
    std::string ImageFolder;
    TileRect Region = WholeMap();
    // Tiles per pixel side: a pixel shows the average colour of Scale x Scale tiles (fewer at the
    // right and bottom edges when the region is no multiple of it).
    int Scale = 1;
    // The caller holds the map declared (OperationFiles) for the whole draw, as a command that
    // writes the picture beside it does; else the draw declares the map for reading itself.
    bool MapDeclared = false;
};

class MapOverview {
public:
    // Draws the whole picture of request, in the world the map's length gives (a container's map
    // bytes alike), from one moment of the map: it is declared for reading for the whole draw
    // (see MapDeclared), which looks for interrupted operations first. A RangeError for a region
    // that is empty or leaves that world, or a scale below 1 or above its longer side; I/O errors
    // of the map and the image files, and a damaged container, propagate. False when stop was
    // requested before the end: the picture is incomplete.
    bool draw(const OverviewRequest& request, std::stop_token stop = {});

    // After a paint or an undo: draws again, from the map file, the pixels that show these cells
    // (cells outside the region are ignored), with the colours of the last draw. Not while a
    // draw runs. The map is declared for reading while it reads.
    void redrawCells(std::span<const CellPos> cells);

    // False when the picture is incomplete, or the map or the image files are no longer the
    // versions it was drawn from (another program changed them): then draw again.
    bool isCurrent() const;

    const RgbImage& image() const { return image_; }
    const OverviewRequest& request() const { return request_; }

    // The pixel that shows tile (x, y), and the top-left tile a pixel shows: for the editor's
    // outline and for moving the editor to a clicked pixel.
    CellPos pixelOf(int x, int y) const;
    CellPos tileAt(int pixelX, int pixelY) const;

private:
    // Pixels [left, right) x [top, bottom) of the picture.
    void drawPixels(int left, int top, int right, int bottom, const std::stop_token& stop);

    OverviewRequest request_;
    RgbImage image_;
    TileColours colours_;
    std::optional<FileStamp> mapStamp_;
    bool complete_ = false;
};

} // namespace lw
