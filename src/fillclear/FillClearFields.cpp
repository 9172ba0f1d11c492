#include "fillclear/FillClearFields.h"

#include "fillclear/NamedTiles.h"
#include "util/IntConv.h"
#include "util/SpacedHex.h"

namespace lw {
namespace {

constexpr int kLowestAltitude = -128;
constexpr int kHighestAltitude = 127;

} // namespace

FillTile ResolveFillTile(std::string_view text) {
    const int group = FindNamedTile(text);
    if (group >= 0)
        return {group, 0};
    return {-1, static_cast<std::uint16_t>(SpacedHexToInt(text, 2))};
}

FillClearRequest ReadFillClearFields(FillClearRequest request, const FillClearFieldTexts& texts,
                                     const std::function<WorldSize()>& world) {
    request.Top = StrToIntInRange(texts.Top, 0, 65535);
    request.Left = StrToIntInRange(texts.Left, 0, 65535);
    request.Right = StrToIntInRange(texts.Right, 0, 65535);
    request.Bottom = StrToIntInRange(texts.Bottom, 0, 65535);
    if (request.FillTerrain && HoldsWorldTile(request, world())) {
        // A cell takes its altitude before its tile, so a bad altitude is the one reported.
        request.Altitude = static_cast<std::int8_t>(
            StrToIntInRange(texts.Altitude, kLowestAltitude, kHighestAltitude));
        request.Tile = ResolveFillTile(texts.Tile);
    }
    return request;
}

FillClearRequest ReadFillClearFields(FillClearRequest request, const FillClearFieldTexts& texts) {
    return ReadFillClearFields(std::move(request), texts, [] { return kClassicWorld; });
}

std::string ClampAltitudeText(const std::string& text) {
    const std::int32_t value = StrToInt(text);
    if (value > kHighestAltitude)
        return std::to_string(kHighestAltitude);
    if (value < kLowestAltitude)
        return std::to_string(kLowestAltitude);
    return text;
}

} // namespace lw
