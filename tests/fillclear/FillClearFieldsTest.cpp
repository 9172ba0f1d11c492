// The fill/clear fields as a request: conversions, the order in which bad texts are reported,
// when the tile and altitude are looked at, and the altitude field's clamp.
#include "fillclear/FillClearFields.h"

#include "util/Errors.h"

#include <gtest/gtest.h>

namespace lw {
namespace {

FillClearRequest Read(const FillClearFieldTexts& texts, bool fillTerrain = true) {
    FillClearRequest request;
    request.FillTerrain = fillTerrain;
    return ReadFillClearFields(request, texts);
}

std::string ErrorOf(const FillClearFieldTexts& texts, bool fillTerrain = true) {
    try {
        Read(texts, fillTerrain);
    } catch (const Error& e) {
        return e.what();
    }
    return "";
}

FillClearFieldTexts Texts(std::string tile, std::string altitude = "0") {
    FillClearFieldTexts texts;
    texts.Tile = std::move(tile);
    texts.Altitude = std::move(altitude);
    return texts;
}

TEST(FillClearFields, TileTexts) {
    struct Case {
        const char* text;
        int group;
        int id;
    };
    for (const Case& c :
         {Case{"Random water", 13, 0}, Case{"random WATER", 13, 0}, Case{"0003", -1, 3},
          Case{"00 03", -1, 3}, Case{" 0e12 ", -1, 0x0E12}, Case{"FFFF", -1, 65535}}) {
        const FillTile tile = Read(Texts(c.text)).Tile;
        EXPECT_EQ(tile.Group, c.group) << c.text;
        EXPECT_EQ(tile.Id, c.id) << c.text;
    }
    for (const char* bad : {"3", "", "Random water ", "12345", "0G 12"})
        EXPECT_EQ(ErrorOf(Texts(bad)), "Input not SpacedHex") << bad;
}

TEST(FillClearFields, BordersAndAltitude) {
    FillClearFieldTexts texts = Texts("0003", "-128");
    texts.Top = "$10";
    texts.Left = " 3";
    texts.Right = "65535";
    texts.Bottom = "20";
    const FillClearRequest r = Read(texts);
    EXPECT_EQ(r.Top, 16);
    EXPECT_EQ(r.Left, 3);
    EXPECT_EQ(r.Right, 65535);
    EXPECT_EQ(r.Bottom, 20);
    EXPECT_EQ(r.Altitude, -128);
    EXPECT_EQ(Read(Texts("0003", "127")).Altitude, 127);
    EXPECT_EQ(ErrorOf(Texts("0003", "128")), "Fehler bei Bereichsprüfung");
    EXPECT_EQ(ErrorOf(Texts("0003", "1.5")), "'1.5' ist kein gültiger Integerwert");
    texts.Bottom = "65536";
    EXPECT_EQ(ErrorOf(texts), "Fehler bei Bereichsprüfung");
    texts.Bottom = "-1";
    EXPECT_EQ(ErrorOf(texts), "Fehler bei Bereichsprüfung");
}

TEST(FillClearFields, FirstBadTextIsReported) {
    // Borders top, left, right, bottom; then the altitude, which a cell takes before its tile.
    FillClearFieldTexts texts = Texts("3", "x");
    texts.Left = "left";
    texts.Bottom = "bottom";
    EXPECT_EQ(ErrorOf(texts), "'left' ist kein gültiger Integerwert");
    texts.Left = "0";
    EXPECT_EQ(ErrorOf(texts), "'bottom' ist kein gültiger Integerwert");
    texts.Bottom = "10";
    EXPECT_EQ(ErrorOf(texts), "'x' ist kein gültiger Integerwert");
    texts.Altitude = "0";
    EXPECT_EQ(ErrorOf(texts), "Input not SpacedHex");
}

TEST(FillClearFields, TileAndAltitudeCountOnlyWhenACellIsFilled) {
    const FillClearFieldTexts bad = Texts("", "x");
    EXPECT_EQ(ErrorOf(bad, false), "");
    for (const auto& [left, right, top, bottom] : {std::array<const char*, 4>{"11", "10", "0", "0"},
                                                   {"0", "0", "5", "4"},
                                                   {"6144", "7000", "0", "0"},
                                                   {"0", "0", "4096", "5000"}}) {
        FillClearFieldTexts texts = bad;
        texts.Left = left;
        texts.Right = right;
        texts.Top = top;
        texts.Bottom = bottom;
        EXPECT_EQ(ErrorOf(texts), "") << left << " " << right << " " << top << " " << bottom;
    }
    FillClearFieldTexts corner = bad;
    corner.Left = corner.Right = "6143";
    corner.Top = corner.Bottom = "4095";
    EXPECT_EQ(ErrorOf(corner), "'x' ist kein gültiger Integerwert");
}

TEST(FillClearFields, AltitudeFieldIsClampedOnLeaving) {
    EXPECT_EQ(ClampAltitudeText("200"), "127");
    EXPECT_EQ(ClampAltitudeText("-129"), "-128");
    EXPECT_EQ(ClampAltitudeText("127"), "127");
    EXPECT_EQ(ClampAltitudeText("-128"), "-128");
    EXPECT_EQ(ClampAltitudeText(" $10"), " $10");
    EXPECT_THROW(ClampAltitudeText("high"), ConvertError);
}

} // namespace
} // namespace lw
