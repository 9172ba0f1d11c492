#include "cli/DemoImages.h"

#include "fillclear/NamedTiles.h"
#include "mapedit/ImageFiles.h"
#include "mapedit/PaletteLine.h"
#include "util/File.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace lw::cli {
namespace {

constexpr int kSide = 64;

enum class Look {
    Grass,
    Field,
    Sand,
    Dirt,
    Stones,
    Path,
    Water,
    Jungle,
    Forest,
    Snow,
    Lava,
    Stars,
    Rock,
    Cave,
    Cobbles,
    Marble
};

struct Material {
    Look look;
    double r, g, b; // 0-255
};

// The look of each id the demo world or the palette uses; nothing for the others.
bool MaterialOf(int id, Material& m) {
    const auto in = [id](int first, int last) { return id >= first && id <= last; };
    if (in(0x03, 0x08))
        m = {Look::Grass, 70, 140, 50};
    else if (in(0x09, 0x15))
        m = {Look::Field, 120, 90, 50};
    else if (in(0x16, 0x19))
        m = {Look::Sand, 220, 200, 140};
    else if (in(0x71, 0x74))
        m = {Look::Stones, 120, 95, 70};
    else if (in(0x75, 0x78))
        m = {Look::Dirt, 130, 100, 70};
    else if (in(0x79, 0x8C) || in(0x16D, 0x170) || in(0x367, 0x37E))
        m = {Look::Path, 150, 120, 80};
    else if (in(0xA8, 0xAB))
        m = {Look::Water, 30, 70, 160};
    else if (in(0xAC, 0xAF))
        m = {Look::Jungle, 40, 120, 40};
    else if (in(0xC4, 0xC7))
        m = {Look::Forest, 40, 95, 35};
    else if (in(0x11A, 0x11D))
        m = {Look::Snow, 235, 240, 250};
    else if (in(0x1F4, 0x1F7))
        m = {Look::Lava, 200, 60, 10};
    else if (in(0x1FA, 0x1FF))
        m = {Look::Stars, 5, 5, 20};
    else if (in(0x22C, 0x22F))
        m = {Look::Rock, 120, 115, 105};
    else if (in(0x245, 0x249))
        m = {Look::Cave, 70, 55, 45};
    else if (in(0x3E9, 0x3EC))
        m = {Look::Cobbles, 140, 140, 135};
    else if (in(0x486, 0x489))
        m = {Look::Marble, 225, 225, 220};
    else
        return false;
    return true;
}

// The path pieces of the palette exist only as art, as on a client where they lack textures.
bool HasTexture(int id) {
    return !(id >= 0x16D && id <= 0x170) && !(id >= 0x367 && id <= 0x37E);
}

double Hash(int x, int y, int salt) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u +
                      static_cast<std::uint32_t>(y) * 668265263u +
                      static_cast<std::uint32_t>(salt) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFF) / 65536.0;
}

// Value noise that repeats every period pixels, so neighbouring cells meet without a seam.
double TiledNoise(double x, double y, int period, int salt) {
    const int cells = kSide / period;
    const double fx = x / period, fy = y / period;
    const int x0 = static_cast<int>(std::floor(fx)), y0 = static_cast<int>(std::floor(fy));
    const double tx = fx - x0, ty = fy - y0;
    const double sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
    const auto at = [&](int gx, int gy) {
        return Hash(((gx % cells) + cells) % cells, ((gy % cells) + cells) % cells, salt);
    };
    const double top = at(x0, y0) * (1 - sx) + at(x0 + 1, y0) * sx;
    const double bottom = at(x0, y0 + 1) * (1 - sx) + at(x0 + 1, y0 + 1) * sx;
    return top * (1 - sy) + bottom * sy;
}

std::uint16_t Rgb555(double r, double g, double b) {
    const auto channel = [](double v) {
        return static_cast<std::uint16_t>(std::clamp(static_cast<int>(v / 8.23), 0, 31));
    };
    return static_cast<std::uint16_t>(channel(r) << 10 | channel(g) << 5 | channel(b));
}

std::uint16_t PixelOf(const Material& m, int id, double x, double y) {
    const double n = TiledNoise(x, y, 16, id) * 0.6 + TiledNoise(x, y, 4, id + 7) * 0.4;
    double shade = 0.8 + 0.4 * n;
    double r = m.r, g = m.g, b = m.b;
    switch (m.look) {
    case Look::Field: // furrows across brown earth
        shade *= 0.75 + 0.35 * (std::sin(y * 0.8 + id) > 0 ? 1 : 0);
        break;
    case Look::Path: { // a dirt track over grass, its direction changing from piece to piece
        const double across = (id % 2 == 0 ? x : y) - kSide / 2.0 + (n - 0.5) * 10;
        if (std::abs(across) > 14) {
            r = 70;
            g = 140;
            b = 50;
        }
        break;
    }
    case Look::Water:
        shade = 0.85 + 0.25 * std::sin((x + y) * 0.3 + n * 4);
        break;
    case Look::Stones:
    case Look::Cobbles: { // rounded stones with dark joints
        const double gx = std::fmod(x + (static_cast<int>(y / 16) % 2) * 8, 16) - 8;
        const double gy = std::fmod(y, 16) - 8;
        if (gx * gx + gy * gy > (m.look == Look::Cobbles ? 50 : 30))
            shade *= 0.55;
        break;
    }
    case Look::Forest:
    case Look::Jungle:
        if (Hash(static_cast<int>(x) / 3, static_cast<int>(y) / 3, id) > 0.8)
            shade *= 0.6;
        break;
    case Look::Lava:
        g += 120 * std::pow(n, 3);
        break;
    case Look::Stars:
        if (Hash(static_cast<int>(x), static_cast<int>(y), id) > 0.985)
            r = g = b = 250;
        shade = 1;
        break;
    case Look::Marble:
        if (static_cast<int>(x) % 32 == 0 || static_cast<int>(y) % 32 == 0)
            shade *= 0.7;
        break;
    default:
        break;
    }
    return Rgb555(r * shade, g * shade, b * shade);
}

std::vector<std::uint16_t> Texture(const Material& m, int id) {
    std::vector<std::uint16_t> pixels(kSide * kSide);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            pixels[static_cast<std::size_t>(y * kSide + x)] = PixelOf(m, id, x, y);
    return pixels;
}

// The 1012 art values in stored order: run r covers the square's diagonal x + y = 2r + 1 from its
// bottom-left end, the order in which the client's diamond turns into the grid's square.
std::vector<std::uint16_t> Art(const Material& m, int id) {
    std::vector<std::uint16_t> values;
    values.reserve(2048 / 2);
    for (int d = 1; d <= 87; d += 2)
        for (int x = std::max(0, d - 44); x <= std::min(d, 44); ++x)
            values.push_back(PixelOf(m, id, x * kSide / 45.0, (d - x) * kSide / 45.0));
    values.resize(2048 / 2, 0); // the client's entries carry 20 unused bytes
    return values;
}

// Every id of the named tile groups and of the built-in palette lines gets a picture.
std::vector<int> PictureIds() {
    std::vector<int> ids;
    for (const TNamedTile& group : NamedTiles)
        for (int k = 0; k < group.TileCount; ++k)
            ids.push_back(group.BaseTile + k);
    for (const char* text : kBuiltInPaletteLines) {
        const PaletteLine line = ParsePaletteLine(text);
        for (int i = 0; i < line.rowCount() * line.columnCount(); ++i) {
            const std::int32_t id = SelectionCellTile(line, i / line.columnCount(),
                                                      i % line.columnCount(), line.columnCount());
            if (id >= 0)
                ids.push_back(id);
        }
    }
    std::ranges::sort(ids);
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

void WritePair(const std::string& folder, const char* indexName, const char* dataName,
               const std::vector<ImageIndexEntry>& index, const std::vector<std::uint16_t>& data) {
    File indexFile = File::Create(ImageFilePath(folder, indexName));
    indexFile.write(index.data(), index.size() * sizeof(ImageIndexEntry));
    indexFile.close();
    File dataFile = File::Create(ImageFilePath(folder, dataName));
    dataFile.write(data.data(), data.size() * sizeof(std::uint16_t));
    dataFile.close();
}

} // namespace

void WriteDemoImages(const std::string& folder) {
    std::vector<ImageIndexEntry> textureIndex(kImageIdCount, ImageIndexEntry{-1, -1, 0});
    std::vector<ImageIndexEntry> artIndex = textureIndex;
    std::vector<std::uint16_t> textures, art;
    const auto append = [](std::vector<std::uint16_t>& data, const std::vector<std::uint16_t>& add,
                           ImageIndexEntry& entry) {
        entry = {static_cast<std::int32_t>(data.size() * 2),
                 static_cast<std::int32_t>(add.size() * 2), 0};
        data.insert(data.end(), add.begin(), add.end());
    };
    for (int id : PictureIds()) {
        Material m{};
        if (!MaterialOf(id, m))
            continue;
        const auto slot = static_cast<std::size_t>(id);
        if (HasTexture(id))
            append(textures, Texture(m, id), textureIndex[slot]);
        append(art, Art(m, id), artIndex[slot]);
    }
    WritePair(folder, kTexIdxName, kTexMapsName, textureIndex, textures);
    WritePair(folder, kArtIdxName, kArtName, artIndex, art);
}

} // namespace lw::cli
