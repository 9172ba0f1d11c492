#include "mapedit/MapOverview.h"

#include "mapedit/MapCells.h"
#include "util/Errors.h"
#include "util/OperationFiles.h"
#include "world/FileRoles.h"
#include "world/WorldOfFiles.h"

#include <algorithm>
#include <optional>

namespace lw {
namespace {

// The map is read this many tile columns at a time: eight block columns lie one after another
// in the file, about 800 KB of a classic map.
constexpr int kStripTiles = 64;

int CeilDiv(int a, int b) {
    return (a + b - 1) / b;
}

void Put(std::uint8_t* out, Rgb colour) {
    out[0] = colour.R;
    out[1] = colour.G;
    out[2] = colour.B;
}

// The map declared for reading, held in files.
void DeclareMap(std::optional<OperationFiles>& files, const std::string& mapPath) {
    files.emplace(std::vector<DeclaredFile>{{kMapFileRole, mapPath, FileUse::Read}}, DiscardLog);
}

} // namespace

int FitScale(const TileRect& region, int width, int height) {
    return std::max({1, CeilDiv(region.Width, std::max(1, width)),
                     CeilDiv(region.Height, std::max(1, height))});
}

bool MapOverview::draw(const OverviewRequest& request, std::stop_token stop) {
    std::optional<OperationFiles> files;
    if (!request.MapDeclared)
        DeclareMap(files, request.MapPath);
    const TileRect& region = request.Region;
    const WorldSize world = MapWorld(request.MapPath);
    CheckRange(request.Scale, 1, std::max(world.width(), world.height()));
    CheckRange(region.Width, 1, world.width());
    CheckRange(region.Height, 1, world.height());
    CheckRange(region.Left, 0, world.width() - region.Width);
    CheckRange(region.Top, 0, world.height() - region.Height);

    complete_ = false;
    request_ = request;
    colours_.refresh(request.ImageFolder);
    // Taken before the first read: a change while it reads makes the picture out of date.
    mapStamp_ = StampOf(request.MapPath);
    image_.Width = CeilDiv(region.Width, request.Scale);
    image_.Height = CeilDiv(region.Height, request.Scale);
    image_.Bytes.assign(
        static_cast<std::size_t>(image_.Width) * static_cast<std::size_t>(image_.Height) * 3, 0);
    drawPixels(0, 0, image_.Width, image_.Height, stop);
    complete_ = !stop.stop_requested();
    return complete_;
}

void MapOverview::redrawCells(std::span<const CellPos> cells) {
    if (image_.Bytes.empty())
        return;
    const TileRect& region = request_.Region;
    int left = image_.Width, top = image_.Height, right = 0, bottom = 0;
    for (const CellPos cell : cells) {
        if (cell.X < region.Left || cell.X >= region.Left + region.Width || cell.Y < region.Top ||
            cell.Y >= region.Top + region.Height)
            continue;
        const CellPos pixel = pixelOf(cell.X, cell.Y);
        left = std::min(left, pixel.X);
        top = std::min(top, pixel.Y);
        right = std::max(right, pixel.X + 1);
        bottom = std::max(bottom, pixel.Y + 1);
    }
    if (left >= right)
        return;
    std::optional<OperationFiles> files;
    DeclareMap(files, request_.MapPath);
    drawPixels(left, top, right, bottom, {});
    // What changed the file was the paint these cells are from.
    mapStamp_ = StampOf(request_.MapPath);
}

bool MapOverview::isCurrent() const {
    return complete_ && StampOf(request_.MapPath) == mapStamp_ && colours_.version() &&
           CurrentImageFiles(request_.ImageFolder) == *colours_.version();
}

CellPos MapOverview::pixelOf(int x, int y) const {
    return {(x - request_.Region.Left) / request_.Scale,
            (y - request_.Region.Top) / request_.Scale};
}

CellPos MapOverview::tileAt(int pixelX, int pixelY) const {
    return {request_.Region.Left + pixelX * request_.Scale,
            request_.Region.Top + pixelY * request_.Scale};
}

void MapOverview::drawPixels(int left, int top, int right, int bottom,
                             const std::stop_token& stop) {
    const TileRect& region = request_.Region;
    const int n = request_.Scale;
    const int tileTop = region.Top + top * n;
    const int tileBottom = std::min(region.Top + bottom * n, region.Top + region.Height);
    const int stripPixels = std::max(1, kStripTiles / n);
    MapFile map = MapFile::OpenRead(request_.MapPath);
    std::vector<std::uint32_t> sums;
    for (int stripLeft = left; stripLeft < right; stripLeft += stripPixels) {
        if (stop.stop_requested())
            return;
        const int stripRight = std::min(right, stripLeft + stripPixels);
        const int tileLeft = region.Left + stripLeft * n;
        const int width =
            std::min(region.Left + stripRight * n, region.Left + region.Width) - tileLeft;
        const std::vector<TMapCell> cells =
            ReadMapCellArea(map, tileLeft, tileTop, width, tileBottom - tileTop);
        const auto row = [&](int tileRow) {
            return cells.data() +
                   static_cast<std::size_t>(tileRow) * static_cast<std::size_t>(width);
        };
        for (int y = top; y < bottom; ++y) {
            std::uint8_t* out = image_.Bytes.data() + (static_cast<std::size_t>(y) *
                                                           static_cast<std::size_t>(image_.Width) +
                                                       static_cast<std::size_t>(stripLeft)) *
                                                          3;
            const int firstRow = (y - top) * n;
            if (n == 1) {
                const TMapCell* cell = row(firstRow);
                for (int x = 0; x < width; ++x)
                    Put(out + x * 3, colours_.cellColour(cell[x]));
                continue;
            }
            const int pixels = stripRight - stripLeft;
            sums.assign(static_cast<std::size_t>(pixels) * 3, 0);
            const int lastRow = std::min(firstRow + n, tileBottom - tileTop);
            for (int r = firstRow; r < lastRow; ++r) {
                const TMapCell* cell = row(r);
                for (int p = 0; p < pixels; ++p) {
                    std::uint32_t* sum = sums.data() + static_cast<std::size_t>(p) * 3;
                    for (int x = p * n; x < std::min(width, (p + 1) * n); ++x) {
                        const Rgb colour = colours_.cellColour(cell[x]);
                        sum[0] += colour.R;
                        sum[1] += colour.G;
                        sum[2] += colour.B;
                    }
                }
            }
            for (int p = 0; p < pixels; ++p) {
                const auto count = static_cast<std::uint32_t>(
                    (std::min(width, (p + 1) * n) - p * n) * (lastRow - firstRow));
                for (int k = 0; k < 3; ++k) {
                    const std::uint32_t sum = sums[static_cast<std::size_t>(p * 3 + k)];
                    out[p * 3 + k] = static_cast<std::uint8_t>((sum + count / 2) / count);
                }
            }
        }
    }
}

} // namespace lw
