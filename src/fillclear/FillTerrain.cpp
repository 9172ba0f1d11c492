#include "fillclear/FillTerrain.h"

#include "fillclear/NamedTiles.h"
#include "util/Errors.h"
#include "world/Blocks.h"
#include "world/MapFile.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

namespace lw {
namespace {

// 6.4 MB at a time (in the classic world): a whole map is copied, in a dozen large transfers.
constexpr int kColumnsPerPiece = 64;

// Sets cells in place in a column of map blocks. A group's picks are PickNamedTile's, drawn
// inline: the whole world is 25 million cells.
class CellFiller {
public:
    CellFiller(const FillClearRequest& request, std::uint32_t& seed)
        : r_(request), seed_(seed), group_(request.Tile.Group) {
        if (group_ >= 0 && group_ < static_cast<int>(NamedTiles.size())) {
            base_ = NamedTiles[static_cast<std::size_t>(group_)].BaseTile;
            count_ =
                static_cast<std::uint32_t>(NamedTiles[static_cast<std::size_t>(group_)].TileCount);
            CheckRange(base_ + count_ - 1, 0, 65535);
        }
    }

    void fill(char* block, int blockX, int blockY) {
        for (int x = 0; x < kTilesPerBlockSide; ++x) {
            const int tileX = blockX * kTilesPerBlockSide + x;
            if (tileX < r_.Left || tileX > r_.Right)
                continue;
            for (int y = 0; y < kTilesPerBlockSide; ++y) {
                const int tileY = blockY * kTilesPerBlockSide + y;
                if (tileY < r_.Top || tileY > r_.Bottom)
                    continue;
                // The altitude first, as the product reads a cell's two values.
                const std::int8_t z = altitude();
                const TMapCell cell{tile(), z};
                std::memcpy(block + kCellsStart + CellIndex(x, y) * sizeof(TMapCell), &cell,
                            sizeof cell);
            }
        }
    }

    // A wholly covered block at a fixed altitude: the same cells in the same order, without the
    // border tests.
    void fillWhole(char* block) {
        TMapCell cells[kCellsPerBlock];
        for (int x = 0; x < kTilesPerBlockSide; ++x)
            for (int y = 0; y < kTilesPerBlockSide; ++y)
                cells[CellIndex(x, y)] = {tile(), r_.Altitude};
        std::memcpy(block + kCellsStart, cells, sizeof cells);
    }

private:
    static constexpr std::size_t kCellsStart = offsetof(TMapBlock, Cells);

    std::int8_t altitude() const { return r_.AltitudeSource ? r_.AltitudeSource() : r_.Altitude; }
    std::uint16_t tile() {
        if (group_ < 0)
            return r_.Tile.Id;
        if (count_ == 0)
            return PickNamedTile(seed_, group_); // not a group: its range error
        return static_cast<std::uint16_t>(base_ + RandomPick(seed_, count_));
    }

    const FillClearRequest& r_;
    std::uint32_t& seed_;
    int group_;
    std::uint32_t base_ = 0, count_ = 0;
};

void FillColumn(const FillClearRequest& request, const WorldSize& world, CellFiller& filler,
                int blockX, char* column) {
    for (int blockY = 0; blockY < world.BlockRows; ++blockY) {
        char* block = column + blockY * kMapBlockSize;
        const BlockCover cover =
            ClassifyBlock(request.Left, request.Top, request.Right, request.Bottom, blockX, blockY);
        if (cover == BlockCover::Inside && !request.AltitudeSource)
            filler.fillWhole(block);
        else if (cover != BlockCover::Outside)
            filler.fill(block, blockX, blockY);
    }
}

// Whatever lies past the world's blocks (the classic world's part of a wider map) is kept.
void CopyTail(MapFile& map, std::uint64_t from, StagedMap& out, std::vector<char>& buffer) {
    while (const std::size_t got = map.readSome(from, buffer.data(), buffer.size())) {
        out.write(buffer.data(), got);
        from += got;
    }
}

} // namespace

std::unique_ptr<StagedMap> StageFilledMap(const FillClearRequest& request, const WorldSize& world,
                                          std::uint32_t& seed, Progress& progress) {
    MapFile map = MapFile::OpenRead(request.MapPath);
    map.trackPieceHashes(); // the old pieces' hashes, as they are read anyway
    auto staged = std::make_unique<StagedMap>(request.MapPath);
    CellFiller filler(request, seed);
    const std::size_t columnLength = world.mapColumnLength();
    // Each piece is read, filled in place and written whole: no copies beyond the two transfers.
    std::vector<char> piece(kColumnsPerPiece * columnLength);
    for (int first = 0; first < world.BlockColumns; first += kColumnsPerPiece) {
        const int columns = std::min(kColumnsPerPiece, world.BlockColumns - first);
        const std::size_t length = columns * columnLength;
        map.read(world.mapBlockOffset(first, 0), piece.data(), length);
        for (int blockX = first; blockX < first + columns; ++blockX) {
            FillColumn(request, world, filler, blockX,
                       piece.data() + static_cast<std::size_t>(blockX - first) * columnLength);
            progress.report(blockX * 100 / (world.BlockColumns - 1));
            progress.yield();
        }
        staged->write(piece.data(), length);
        // The disk writes while the next pieces are filled, rather than all at the final sync.
        staged->startWriteback();
    }
    CopyTail(map, world.mapLength(), *staged, piece);
    staged->finish(&map);
    map.close();
    return staged;
}

} // namespace lw
