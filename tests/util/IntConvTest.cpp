#include "util/IntConv.h"

#include "util/Errors.h"

#include <gtest/gtest.h>

namespace lw {
namespace {

TEST(StrToInt, AcceptsDecimalAndHexForms) {
    const struct {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {"0", 0},
        {"  42", 42},
        {"-17", -17},
        {"+8", 8},
        {"$ff", 255},
        {"x1A", 26},
        {"X1a", 26},
        {"0x10", 16},
        {"0X10", 16},
        {"-$10", -16},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"$FFFFFFFF", -1},
        {"0x80000000", -2147483647 - 1},
        {"007", 7},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
}

TEST(StrToInt, RejectsWhatIsNoInteger) {
    for (const char* text : {"", " ", "12 ", "1a", "$", "0x", "$123456789", "2147483648",
                             "-2147483649", "99999999999999999999", "- 1", "\t5"}) {
        try {
            StrToInt(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const ConvertError& e) {
            EXPECT_EQ(e.what(), "'" + std::string(text) + "' ist kein gültiger Integerwert");
        }
    }
}

TEST(StrToInt, RangeCheckedFieldsReportTheRangeError) {
    EXPECT_EQ(StrToIntInRange("65535", 0, 65535), 65535);
    EXPECT_THROW(StrToIntInRange("65536", 0, 65535), RangeError);
    EXPECT_THROW(StrToIntInRange("-1", 0, 65535), RangeError);
    EXPECT_STREQ(RangeError().what(), "Fehler bei Bereichsprüfung");
}

TEST(Errors, IoErrorsCarryTheRuntimeTexts) {
    EXPECT_STREQ(IoError(2).what(), "Datei nicht gefunden");
    EXPECT_STREQ(IoError(5).what(), "Dateizugriff verweigert");
    EXPECT_STREQ(IoError(100).what(), "Versuch hinter dem Dateiende zu lesen");
    EXPECT_STREQ(IoError(112).what(), "E/A-Fehler 112");
    EXPECT_STREQ(OverflowError().what(), "Integerüberlauf");
}

} // namespace
} // namespace lw
