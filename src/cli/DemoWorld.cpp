#include "cli/DemoWorld.h"

#include "cli/Command.h"
#include "cli/DemoImages.h"
#include "fillclear/NamedTiles.h"
#include "mapedit/ImageFiles.h"
#include "util/Errors.h"
#include "util/File.h"
#include "util/SafeReplace.h"
#include "util/Text.h"
#include "world/StaticIndex.h"
#include "world/UopMap.h"
#include "world/WorldFileNames.h"
#include "world/WorldSizes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace lw::cli {
namespace {

// Deterministic hash of a lattice point, in [0, 1).
double LatticeValue(int x, int y, std::uint32_t salt) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u +
                      static_cast<std::uint32_t>(y) * 668265263u + salt * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / double(0x1000000);
}

double SmoothNoise(double x, double y, std::uint32_t salt) {
    const int x0 = static_cast<int>(std::floor(x));
    const int y0 = static_cast<int>(std::floor(y));
    const double fx = x - x0, fy = y - y0;
    const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const double top = LatticeValue(x0, y0, salt) * (1 - sx) + LatticeValue(x0 + 1, y0, salt) * sx;
    const double bottom =
        LatticeValue(x0, y0 + 1, salt) * (1 - sx) + LatticeValue(x0 + 1, y0 + 1, salt) * sx;
    return top * (1 - sy) + bottom * sy;
}

double Fractal(double x, double y, std::uint32_t salt) {
    return 0.55 * SmoothNoise(x / 700, y / 700, salt) +
           0.3 * SmoothNoise(x / 180, y / 180, salt + 1) +
           0.15 * SmoothNoise(x / 40, y / 40, salt + 2);
}

enum class Ground { Sea, Coast, Grass, Forest, Desert, Snow, Mountain, Road };

struct Town {
    int x, y;
};
// In the classic world; a world of another size has them at the same share of its width and
// height.
constexpr Town kClassicTowns[] = {{1500, 1600}, {3300, 1200}, {2600, 2700}, {4300, 2300}};

// The classic world's landscape, stretched over a world of any size.
struct Geography {
    explicit Geography(const WorldSize& size) : world(size) {
        for (std::size_t i = 0; i < towns.size(); ++i)
            towns[i] = {kClassicTowns[i].x * world.width() / kClassicWorld.width(),
                        kClassicTowns[i].y * world.height() / kClassicWorld.height()};
    }
    // A share of the height, given as a height of the classic world.
    double rowOf(double classicY) const {
        return world.height() * (classicY / kClassicWorld.height());
    }
    WorldSize world;
    std::array<Town, std::size(kClassicTowns)> towns{};
};

// Roads run from each town to the next, first along X, then along Y.
bool OnRoad(const Geography& g, int x, int y) {
    for (std::size_t i = 0; i + 1 < g.towns.size(); ++i) {
        const Town a = g.towns[i], b = g.towns[i + 1];
        if (std::abs(y - a.y) <= 1 && x >= std::min(a.x, b.x) && x <= std::max(a.x, b.x))
            return true;
        if (std::abs(x - b.x) <= 1 && y >= std::min(a.y, b.y) && y <= std::max(a.y, b.y))
            return true;
    }
    return false;
}

struct Land {
    Ground ground;
    int altitude;
};

Land LandAt(const Geography& g, int x, int y) {
    const double centreX = g.world.width() / 2.0, centreY = g.world.height() / 2.0;
    const double dx = (x - centreX) / centreX, dy = (y - centreY) / centreY;
    const double edge = std::max(0.0, std::sqrt(dx * dx + dy * dy) - 0.55);
    const double height = Fractal(x, y, 7) - edge * 0.9;
    if (height < 0.36)
        return {Ground::Sea, -5};
    const int altitude = static_cast<int>((height - 0.36) * 140);
    if (height < 0.39)
        return {Ground::Coast, 0};
    if (OnRoad(g, x, y))
        return {Ground::Road, std::min(altitude, 20)};
    if (height > 0.64)
        return {height > 0.72 ? Ground::Snow : Ground::Mountain, std::min(altitude, 100)};
    const double moisture = Fractal(x, y, 91) + (y - centreY) / 16000.0;
    const int a = std::min(altitude, 20);
    const double wobble = SmoothNoise(x / 90.0, y / 90.0, 5) * 300;
    if (y + wobble > g.rowOf(3100) && moisture < 0.56)
        return {Ground::Desert, a};
    if (y - wobble < g.rowOf(800))
        return {Ground::Snow, a};
    if (moisture > 0.55)
        return {Ground::Forest, a};
    return {Ground::Grass, a};
}

const char* GroupOf(Ground g) {
    switch (g) {
    case Ground::Sea:
        return "Random water";
    case Ground::Coast:
    case Ground::Desert:
        return "Random desert";
    case Ground::Grass:
        return "Random grass";
    case Ground::Forest:
        return "Random forest";
    case Ground::Snow:
        return "Random snow";
    case Ground::Mountain:
        return "Random mountain";
    case Ground::Road:
        return "Random cobblestones";
    }
    return "Random grass";
}

std::uint16_t TileFor(Ground g, int x, int y) {
    static const auto groups = [] {
        std::array<const TNamedTile*, 8> table{};
        for (int k = 0; k < 8; ++k)
            table[static_cast<std::size_t>(k)] = &NamedTiles[static_cast<std::size_t>(
                FindNamedTile(GroupOf(static_cast<Ground>(k))))];
        return table;
    }();
    const TNamedTile& group = *groups[static_cast<std::size_t>(g)];
    const auto pick = static_cast<int>(LatticeValue(x, y, 3) * group.TileCount);
    return static_cast<std::uint16_t>(group.BaseTile + pick);
}

constexpr std::uint16_t kTrees[] = {0x0CCA, 0x0CCD, 0x0CD0, 0x0CD3, 0x0CD6, 0x0CD8, 0x0CDA};
constexpr std::uint16_t kRocks[] = {0x1363, 0x1364, 0x1367, 0x136A, 0x136D};
constexpr std::uint16_t kWall = 0x0009, kFloor = 0x0519, kSign = 0x0BD2, kBarrel = 0x0E77;

TStaticRec Rec(std::uint16_t id, int x, int y, int z, std::uint16_t color = 0) {
    return {id, static_cast<std::uint8_t>(x & 7), static_cast<std::uint8_t>(y & 7),
            static_cast<std::int8_t>(z), color};
}

// A few stone houses beside each town's crossroads.
void AddTownStatics(const Geography& g, int blockX, int blockY, std::vector<TStaticRec>& out) {
    for (const Town& town : g.towns) {
        const int bx = blockX * 8 - town.x, by = blockY * 8 - town.y;
        if (bx < -8 || bx > 32 || by < -8 || by > 32)
            continue;
        for (int house = 0; house < 4; ++house) {
            const int left = town.x + 4 + (house % 2) * 12, top = town.y + 4 + (house / 2) * 12;
            for (int y = top; y < top + 8; ++y)
                for (int x = left; x < left + 8; ++x) {
                    if (x / 8 != blockX || y / 8 != blockY)
                        continue;
                    const bool wall = x == left || x == left + 7 || y == top || y == top + 7;
                    const bool door = y == top + 7 && (x == left + 3 || x == left + 4);
                    if (wall && !door)
                        out.push_back(Rec(kWall, x, y, 20));
                    else
                        out.push_back(Rec(kFloor, x, y, 20));
                    if (x == left + 1 && y == top + 1)
                        out.push_back(Rec(kBarrel, x, y, 21));
                    if (door && x == left + 3)
                        out.push_back(Rec(kSign, x, y + 1, 20));
                }
        }
    }
}

bool InTown(const Geography& g, int x, int y) {
    for (const Town& town : g.towns)
        if (x >= town.x + 2 && x < town.x + 30 && y >= town.y + 2 && y < town.y + 30)
            return true;
    return false;
}

void AddNatureStatics(const Geography& g, int x, int y, const Land& land,
                      std::vector<TStaticRec>& out) {
    if (InTown(g, x, y))
        return;
    const double chance = LatticeValue(x, y, 17);
    const auto pick = [&](const auto& ids) {
        return ids[static_cast<std::size_t>(LatticeValue(x, y, 23) *
                                            static_cast<double>(std::size(ids)))];
    };
    const int z = std::clamp(land.altitude, -128, 127);
    if ((land.ground == Ground::Forest && chance < 0.22) ||
        (land.ground == Ground::Grass && chance < 0.015))
        out.push_back(Rec(pick(kTrees), x, y, z));
    else if ((land.ground == Ground::Mountain && chance < 0.06) ||
             (land.ground == Ground::Desert && chance < 0.004))
        out.push_back(Rec(pick(kRocks), x, y, z));
}

// The map's bytes go to a plain map or into a container as they are made, a column at a time.
class MapOutput {
public:
    MapOutput(const std::string& folder, const DemoWorldOptions& options)
        : file_(File::Create(JoinPath(
              folder, WorldFileName(WorldFileKind::Map, options.facet, options.container)))) {
        if (options.container)
            container_.emplace(file_, options.facet, options.size.mapLength());
    }
    void write(const void* data, std::size_t n) {
        if (container_)
            container_->write(data, n);
        else
            file_.write(data, n);
    }
    void close() {
        if (container_)
            container_->finish();
        file_.close();
    }

private:
    File file_;
    std::optional<UopMapWriter> container_;
};

void WriteWorldFiles(const std::string& folder, const DemoWorldOptions& options) {
    const Geography g(options.size);
    const WorldSize& world = options.size;
    MapOutput map(folder, options);
    File statics =
        File::Create(JoinPath(folder, WorldFileName(WorldFileKind::Statics, options.facet)));
    auto index = std::make_unique<StaticIndexTable>(world);
    std::vector<TMapBlock> column(static_cast<std::size_t>(world.BlockRows));
    std::vector<TStaticRec> staticsColumn, blockStatics;
    std::uint64_t staticsSize = 0;
    for (int blockX = 0; blockX < world.BlockColumns; ++blockX) {
        staticsColumn.clear();
        for (int blockY = 0; blockY < world.BlockRows; ++blockY) {
            TMapBlock& block = column[static_cast<std::size_t>(blockY)];
            block.Header = 0;
            blockStatics.clear();
            for (int cy = 0; cy < kTilesPerBlockSide; ++cy)
                for (int cx = 0; cx < kTilesPerBlockSide; ++cx) {
                    const int x = blockX * 8 + cx, y = blockY * 8 + cy;
                    const Land land = LandAt(g, x, y);
                    TMapCell& cell = block.Cells[CellIndex(x, y)];
                    cell.Tile =
                        InTown(g, x, y) ? TileFor(Ground::Road, x, y) : TileFor(land.ground, x, y);
                    cell.Altitude = static_cast<std::int8_t>(InTown(g, x, y) ? 20 : land.altitude);
                    AddNatureStatics(g, x, y, land, blockStatics);
                }
            AddTownStatics(g, blockX, blockY, blockStatics);
            StaticPointer& entry = index->at(blockX, blockY);
            entry = {kNoStatics, 0, 0};
            if (!blockStatics.empty()) {
                entry.Offset = static_cast<std::int32_t>(staticsSize);
                entry.Length = static_cast<std::uint32_t>(blockStatics.size() * kStaticRecSize);
                staticsSize += entry.Length;
                staticsColumn.insert(staticsColumn.end(), blockStatics.begin(), blockStatics.end());
            }
        }
        map.write(column.data(), column.size() * sizeof(TMapBlock));
        statics.write(staticsColumn.data(), staticsColumn.size() * kStaticRecSize);
    }
    map.close();
    statics.close();
    File indexFile =
        File::Create(JoinPath(folder, WorldFileName(WorldFileKind::StaticsIndex, options.facet)));
    indexFile.write(index->data(), index->byteSize());
    indexFile.close();
}

struct SampleItem {
    int id, x, y, z, color, type;
    const char* name;
    int cont;
};

// Items lying near the first town: most marked for freezing (TYPE 255), one decoration that
// "AutoSelect.txt" picks up, and one in a container that stays where it is.
constexpr SampleItem kSampleItems[] = {
    {0x0E77, 1530, 1630, 20, 0, 255, "#", -1},      {0x0E7F, 1531, 1630, 20, 0, 255, "#", -1},
    {0x0B4A, 1533, 1631, 20, 0x0481, 255, "#", -1}, {0x1363, 1470, 1570, 5, 0, 255, "#", -1},
    {0x0CCA, 1476, 1578, 5, 0, 255, "#", -1},       {0x0A28, 1520, 1610, 20, 0, 0, "#", -1},
    {0x0EED, 2, 3, 0, 0, 255, "gold", 0x40000003},
};

// The sample items lie where the first town is in that world.
std::string ItemFileText(const Geography& g, bool uox3) {
    const int shiftX = g.towns[0].x - kClassicTowns[0].x,
              shiftY = g.towns[0].y - kClassicTowns[0].y;
    std::string text;
    const auto line = [&](const std::string& s) { text += s + "\r\n"; };
    int number = 1;
    for (const SampleItem& item : kSampleItems) {
        line("SECTION WORLDITEM " + std::to_string(number));
        line("{");
        line("\tSERIAL " + std::to_string(0x40000000 + number));
        line(std::string("\tNAME ") + item.name);
        line("\tID " + std::to_string(item.id));
        const bool inWorld = item.cont == -1;
        line("\tX " + std::to_string(item.x + (inWorld ? shiftX : 0)));
        line("\tY " + std::to_string(item.y + (inWorld ? shiftY : 0)));
        line("\tZ " + std::to_string(item.z));
        line("\tCOLOR " + std::to_string(item.color));
        line("\tCONT " + std::to_string(item.cont));
        line("\tTYPE " + std::to_string(item.type));
        line("}");
        line("");
        ++number;
    }
    if (uox3)
        line("EOF");
    return text;
}

void WriteText(const std::string& path, const std::string& text) {
    ReplaceFile(path, [&](File& f) { f.write(text.data(), text.size()); });
}

constexpr const char* kAutoSelect =
    "# Items that \"auto\" freezes when they are TYPE 0 and named \"#\".\r\n"
    "# One item ID per line as two-byte spaced hex, then free text.\r\n"
    "0A 28 hanging lantern\r\n"
    "0E ED gold coins\r\n";

} // namespace

void WriteDemoWorld(const std::string& folder, const DemoWorldOptions& options) {
    WriteWorldFiles(folder, options);
    const Geography g(options.size);
    WriteText(JoinPath(folder, "statics.cfg"), ItemFileText(g, false));
    WriteText(JoinPath(folder, "items.wsc"), ItemFileText(g, true));
    WriteText(JoinPath(folder, "AutoSelect.txt"), kAutoSelect);
    WriteDemoImages(folder);
}

// Run in a game folder by mistake, the demo world would replace the user's world.
void RefuseFilledFolder(const std::string& folder, const DemoWorldOptions& options) {
    std::vector<std::string> present;
    for (const std::string& name :
         {WorldFileName(WorldFileKind::Map, options.facet, options.container),
          WorldFileName(WorldFileKind::StaticsIndex, options.facet),
          WorldFileName(WorldFileKind::Statics, options.facet), std::string("statics.cfg"),
          std::string("items.wsc"), std::string("AutoSelect.txt")})
        if (FileExists(JoinPath(folder, name)))
            present.push_back(JoinPath(folder, name));
    for (const char* name : {kTexIdxName, kTexMapsName, kArtIdxName, kArtName})
        if (const std::string path = ImageFilePath(folder, name); FileExists(path))
            present.push_back(path);
    if (present.empty())
        return;
    std::string listed;
    for (const std::string& path : present)
        listed += (listed.empty() ? "" : ", ") + path;
    throw Error("The folder " + folder + " already holds files the demo world would overwrite: " +
                listed + ". Choose an empty folder, or add --force to overwrite them.");
}

// "7168x4096" among the sizes of the facet.
WorldSize ParseDemoSize(const std::string& text, int facet) {
    std::string sizes;
    for (const WorldSize& size : FacetSizes(facet)) {
        const std::string name = std::to_string(size.width()) + "x" + std::to_string(size.height());
        if (UpperCase(text) == UpperCase(name))
            return size;
        sizes += (sizes.empty() ? "" : ", ") + name;
    }
    throw Error("--size " + text + " is no size of facet " + std::to_string(facet) +
                "; its sizes: " + sizes);
}

void AddDemoWorldCommand(CLI::App& app) {
    struct Options {
        std::string folder, size;
        bool force = false;
        DemoWorldOptions world;
    };
    auto options = std::make_shared<Options>();
    CLI::App* cmd = app.add_subcommand("demo-world", "Write a synthetic demo world into DIR");
    cmd->add_option("DIR", options->folder, "folder to write into (created if missing)")
        ->required();
    cmd->add_flag("--force", options->force, "overwrite the files of an earlier demo world in DIR");
    cmd->add_option("--facet", options->world.facet, "the facet 0-5 whose files to write")
        ->check(CLI::Range(0, kFacetCount - 1))
        ->capture_default_str();
    cmd->add_option("--size", options->size,
                    "the world's size in tiles, WxH, one of the facet's: 6144x4096 or 7168x4096 "
                    "for facets 0 and 1 (the first by default), 2304x1600, 2560x2048, 1448x1448 "
                    "and 1280x4096 for facets 2 to 5");
    cmd->add_flag("--uop", options->world.container,
                  "write the map into a container, mapNLegacyMUL.uop, as later clients ship it");
    cmd->callback([options] {
        DemoWorldOptions world = options->world;
        world.size = options->size.empty() ? FacetSizes(world.facet).front()
                                           : ParseDemoSize(options->size, world.facet);
        if (!options->force)
            RefuseFilledFolder(options->folder, world);
        // The name is UTF-8, as every path here; a narrow std::filesystem::path would read it in
        // the C runtime's code page on Windows.
        std::filesystem::create_directories(
            std::filesystem::path(std::u8string(options->folder.begin(), options->folder.end())));
        WriteDemoWorld(options->folder, world);
    });
}

} // namespace lw::cli
