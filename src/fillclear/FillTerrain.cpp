#include "fillclear/FillTerrain.h"

#include "diff/FilePieces.h"
#include "fillclear/NamedTiles.h"
#include "world/Blocks.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace lw {
namespace {

constexpr std::size_t kMapColumnBytes = kBlockRows * kMapBlockSize;
constexpr std::size_t kColumnsPerPiece = 8;

class CellFiller {
public:
    CellFiller(const FillClearRequest& request, std::uint32_t& seed) : r_(request), seed_(seed) {}

    void fill(TMapBlock& block, int blockX, int blockY) {
        for (int x = 0; x < kTilesPerBlockSide; ++x) {
            const int tileX = blockX * kTilesPerBlockSide + x;
            if (tileX < r_.Left || tileX > r_.Right)
                continue;
            for (int y = 0; y < kTilesPerBlockSide; ++y) {
                const int tileY = blockY * kTilesPerBlockSide + y;
                if (tileY < r_.Top || tileY > r_.Bottom)
                    continue;
                TMapCell& cell = block.Cells[CellIndex(x, y)];
                cell.Altitude = r_.AltitudeSource ? r_.AltitudeSource() : r_.Altitude;
                cell.Tile = r_.Tile.Group >= 0 ? PickNamedTile(seed_, r_.Tile.Group) : r_.Tile.Id;
            }
        }
    }

private:
    const FillClearRequest& r_;
    std::uint32_t& seed_;
};

void FillColumn(const FillClearRequest& request, CellFiller& filler, int blockX, char* column) {
    for (int blockY = 0; blockY < kBlockRows; ++blockY) {
        if (ClassifyBlock(request.Left, request.Top, request.Right, request.Bottom, blockX,
                          blockY) == BlockOutside)
            continue;
        char* bytes = column + blockY * kMapBlockSize;
        TMapBlock block;
        std::memcpy(&block, bytes, sizeof block);
        filler.fill(block, blockX, blockY);
        std::memcpy(bytes, &block, sizeof block);
    }
}

void CopyTail(File& map, PieceReader& reader, PieceWriter& out) {
    for (std::uint64_t at = kMapFileSize; at < map.size(); at += kMapColumnBytes) {
        const std::size_t length = std::min<std::uint64_t>(kMapColumnBytes, map.size() - at);
        out.write(reader.read(at, length), length);
    }
}

} // namespace

std::unique_ptr<ReplacementFile> StageFilledMap(const FillClearRequest& request,
                                                std::uint32_t& seed, Progress& progress) {
    File map = File::OpenRead(request.MapPath);
    PieceReader reader(map, kColumnsPerPiece * kMapColumnBytes);
    auto staged = std::make_unique<ReplacementFile>(request.MapPath);
    PieceWriter out(staged->file(), kColumnsPerPiece * kMapColumnBytes);
    CellFiller filler(request, seed);
    std::vector<char> column(kMapColumnBytes);
    for (int blockX = 0; blockX < kBlockColumns; ++blockX) {
        std::memcpy(column.data(), reader.read(MapBlockOffset(blockX, 0), kMapColumnBytes),
                    kMapColumnBytes);
        FillColumn(request, filler, blockX, column.data());
        out.write(column.data(), kMapColumnBytes);
        progress.report(blockX * 100 / (kBlockColumns - 1));
        progress.yield();
    }
    CopyTail(map, reader, out);
    out.flush();
    map.close();
    staged->finish();
    return staged;
}

} // namespace lw
