// The settings store: windows share value names, so what one stores another shows; values of
// the wrong type are errors.
#include "gui/SettingsStore.h"

#include "UiFixture.h"

#include <QSettings>
#include <gtest/gtest.h>

namespace lw::test {
namespace {

TEST(SettingsStoreTest, WindowsShareTheValuesTheyStore) {
    PrivateSettings settings;
    const SettingsStore store;
    EXPECT_EQ(store.loadDiffSettings(), SettingsStore::DiffSettings{}); // nothing stored yet

    store.saveMainSettings({"/w/staidx0.mul", "/w/statics0.mul", ""});
    EXPECT_EQ(store.loadFillClearSettings(),
              (SettingsStore::FillClearSettings{"/w/staidx0.mul", "/w/statics0.mul", ""}));

    store.saveFillClearSettings({"/w/staidx0.mul", "/w/statics0.mul", "/w/map0.mul"});
    store.saveDiffSettings({"/o/staidx0.mul", "/o/statics0.mul", "/o/map0.mul", "/w/staidx0.mul",
                            "/w/statics0.mul", "/w/map0.mul"});
    EXPECT_EQ(store.loadMapEditSettings(), (SettingsStore::MapEditSettings{"/w/map0.mul", ""}));
    store.saveMapEditSettings({"/m/map0.mul", "/uo"});
    EXPECT_EQ(store.loadDiffSettings()[5], "/m/map0.mul");
    EXPECT_EQ(settings.get("O-Statics0.mul").toString(), "/o/statics0.mul");
    EXPECT_EQ(settings.get("UOPath").toString(), "/uo");
    EXPECT_EQ(settings.get("UOX3.wsc").toString(), ""); // written as empty text, not removed

    int asked = 0;
    EXPECT_EQ(store.readMode([&] { return ++asked, true; }), 1);
    EXPECT_EQ(store.readMode([&] { return ++asked, false; }), 1);
    EXPECT_EQ(asked, 1);
    store.writeMode(0);
    EXPECT_EQ(store.readMode([] { return true; }), 0);
}

TEST(SettingsStoreTest, AValueOfTheWrongTypeIsAnError) {
    PrivateSettings settings;
    const SettingsStore store;
    for (const char* mode : {"1.5", "x", "", "99999999999"}) {
        settings.put("Mode", mode);
        EXPECT_THROW(store.readMode([] { return true; }), SettingsError) << mode;
    }
    settings.put("Mode", "1");
    EXPECT_EQ(store.readMode([] { return false; }), 1);

    settings.put("Statics0.mul", QStringList{"a", "b"});
    try {
        store.loadMainSettings();
        FAIL() << "no error";
    } catch (const SettingsError& error) {
        EXPECT_STREQ(error.what(), "Ungültiger Datentyp für 'Statics0.mul'");
    }
}

TEST(SettingsStoreTest, ValueNamesAreCaseInsensitiveAndWrittenInTheProductsSpelling) {
    PrivateSettings settings;
    const SettingsStore store;
    settings.put("staidx0.mul", "/w/staidx0.mul");
    settings.put("MODE", 1);
    EXPECT_EQ(store.loadMainSettings()[0], "/w/staidx0.mul");
    EXPECT_EQ(store.readMode([] { return false; }), 1);

    store.saveMainSettings({"/v/staidx0.mul", "/v/statics0.mul", "/v/items.wsc"});
    EXPECT_EQ(settings.get("StaIdx0.mul").toString(), "/v/staidx0.mul");
    EXPECT_FALSE(settings.get("staidx0.mul").isValid()) << "the other spelling is gone";
    EXPECT_EQ(store.loadFillClearSettings()[0], "/v/staidx0.mul");
}

} // namespace
} // namespace lw::test
