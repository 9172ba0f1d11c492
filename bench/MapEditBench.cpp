// The map editor's core on a full-size world with pictures for every tile id: the overview of the
// whole world (first drawing, with every tile's colour still to make, and again with the colours
// kept), its update after a 100-cell stroke, and the undo of that stroke; each beside plain reads
// and writes of the same bytes.
#include "Harness.h"
#include "SyntheticWorld.h"
#include "mapedit/ImageFiles.h"
#include "mapedit/MapOverview.h"
#include "mapedit/Stroke.h"
#include "mapedit/UndoHistory.h"
#include "world/Records.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace lw::bench {
namespace {

template <class Body> double Timed(Body&& body) {
    const auto start = std::chrono::steady_clock::now();
    body();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

// Terrain of tile ids below 4096 (all of them with pictures) at altitudes -20 to 80.
void MakeMap(const std::string& path, std::mt19937& random) {
    std::vector<TMapBlock> blocks(kBlockCount);
    for (TMapBlock& block : blocks) {
        block.Header = 0;
        for (TMapCell& cell : block.Cells)
            cell = {static_cast<std::uint16_t>(random() % kImageIdCount),
                    static_cast<std::int8_t>(random() % 101 - 20)};
    }
    WriteAll(path, blocks.data(), blocks.size() * sizeof(TMapBlock));
}

// Textures for a quarter of the ids (a tenth of them 128 x 128), art for every id, as the
// client's files have both.
void MakeImages(const std::string& folder, std::mt19937& random) {
    std::vector<ImageIndexEntry> texIdx(kImageIdCount, {-1, -1, 0}), artIdx(kImageIdCount);
    std::vector<std::uint16_t> texMaps, art;
    for (int id = 0; id < kImageIdCount; ++id) {
        if (id % 4 == 0) {
            const int side = id % 40 == 0 ? 128 : 64;
            texIdx[id] = {static_cast<std::int32_t>(texMaps.size() * 2), side * side * 2, 0};
            for (int i = 0; i < side * side; ++i)
                texMaps.push_back(static_cast<std::uint16_t>(random() & 0x7FFF));
        }
        artIdx[id] = {static_cast<std::int32_t>(art.size() * 2), 2048, 0};
        for (int i = 0; i < 1024; ++i)
            art.push_back(static_cast<std::uint16_t>(random() & 0x7FFF));
    }
    WriteAll(folder + "/" + kTexIdxName, texIdx.data(), texIdx.size() * sizeof(ImageIndexEntry));
    WriteAll(folder + "/" + kTexMapsName, texMaps.data(), texMaps.size() * 2);
    WriteAll(folder + "/" + kArtIdxName, artIdx.data(), artIdx.size() * sizeof(ImageIndexEntry));
    WriteAll(folder + "/" + kArtName, art.data(), art.size() * 2);
}

void RawReadWhole(const std::string& path, std::vector<char>& buffer) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    while (::read(fd, buffer.data(), buffer.size()) > 0) {
    }
    ::close(fd);
}

// The cells read and written back in place, one after another, through one open file.
void RawCellWrites(const std::string& map, const std::vector<CellPos>& cells) {
    const int fd = ::open(map.c_str(), O_RDWR);
    for (const CellPos cell : cells) {
        TMapCell bytes{};
        const auto at = static_cast<off_t>(MapCellOffset(cell.X, cell.Y));
        if (::pread(fd, &bytes, sizeof bytes, at) != sizeof bytes ||
            ::pwrite(fd, &bytes, sizeof bytes, at) != sizeof bytes)
            std::abort();
    }
    ::close(fd);
}

// The blocks the cells lie in, each read once, plainly: what redrawing them costs at the least.
void RawBlockReads(const std::string& map, const std::vector<CellPos>& cells) {
    std::vector<std::uint64_t> offsets;
    for (const CellPos cell : cells)
        offsets.push_back(MapBlockOffset(cell.X / 8, cell.Y / 8));
    std::sort(offsets.begin(), offsets.end());
    offsets.erase(std::unique(offsets.begin(), offsets.end()), offsets.end());
    const int fd = ::open(map.c_str(), O_RDONLY);
    TMapBlock block{};
    for (const std::uint64_t offset : offsets)
        if (::pread(fd, &block, sizeof block, static_cast<off_t>(offset)) != sizeof block)
            std::abort();
    ::close(fd);
}

} // namespace

LW_BENCHMARK("Map editor core") {
    const std::string folder = ScratchFolder() + "/mapedit";
    ::mkdir(folder.c_str(), 0755);
    const std::string map = folder + "/map0.mul";
    std::mt19937 random(21);
    MakeMap(map, random);
    MakeImages(folder, random);
    const OverviewRequest whole{map, folder, WholeMap(), 1};

    std::vector<char> buffer(1 << 20);
    const auto rawReads = [&] {
        RawReadWhole(map, buffer);
        for (const char* name : {kTexIdxName, kTexMapsName, kArtIdxName, kArtName})
            RawReadWhole(folder + "/" + name, buffer);
    };
    const double raw = MedianSeconds(rawReads, 5);
    const double first = MedianSeconds([&] { MapOverview().draw(whole); }, 5);
    Report("overview, first drawing (<= 2 s)", first, raw, 2.0 / raw);
    MapOverview overview;
    const double again = MedianSeconds([&] { overview.draw(whole); }, 5);
    const double rawMap = MedianSeconds([&] { RawReadWhole(map, buffer); }, 5);
    Report("overview, colours kept, vs raw map read", again, rawMap, 50);
    MapOverview fitted;
    const OverviewRequest small{map, folder, WholeMap(), FitScale(WholeMap(), 1536, 1024)};
    fitted.draw(small);
    Report("overview 1536 x 1024, colours kept", MedianSeconds([&] { fitted.draw(small); }, 5),
           rawMap, 50);

    // A stroke of 100 cells: the 9 x 9 brush, then one more row of 19, on the coast of a town.
    Brush brush;
    brush.chooseListEntry(kFirstGroupListIndex + 6);
    brush.Size = 9;
    std::uint32_t seed = 1;
    Stroke stroke(map);
    std::vector<CellPos> cells = stroke.paint(brush, 2600, 2700, seed);
    brush.Size = 1;
    for (int x = 2596; x <= 2614; ++x) {
        const auto more = stroke.paint(brush, x, 2705, seed);
        cells.insert(cells.end(), more.begin(), more.end());
    }
    std::printf("stroke of %zu cells\n", cells.size());
    const double rawBlocks = MedianSeconds([&] { RawBlockReads(map, cells); }, 21);
    Report("overview update after the stroke",
           MedianSeconds([&] { overview.redrawCells(cells); }, 21), rawBlocks, 20);

    UndoHistory history;
    history.add(stroke.take());
    std::vector<double> undos, redos;
    for (int run = 0; run < 21; ++run) {
        undos.push_back(Timed([&] { history.undo(); }));
        redos.push_back(Timed([&] { history.redo(); }));
    }
    const double rawCells = MedianSeconds([&] { RawCellWrites(map, cells); }, 21);
    Report("undo of the 100-cell stroke", Median(undos), rawCells, 10);
    Report("redo of the 100-cell stroke", Median(redos), rawCells, 10);
    std::printf("  undo: %.3f ms (target <= 16 ms)\n", Median(undos) * 1000);
}

} // namespace lw::bench
