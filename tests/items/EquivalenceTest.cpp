// The one-pass melt and freeze against the block-by-block reference, on generated item files
// with everything the format allows: other section kinds, comments, odd indentation and line
// ends, letter case, hex values, 8-bit names, duplicate numbers, items in containers, "EOF"
// with text after it, and files that end inside an unclosed "{".
#include "OperationRun.h"
#include "ReferenceOperations.h"
#include "support/WorldFiles.h"
#include "util/File.h"

#include <gtest/gtest.h>
#include <random>

namespace lw {
namespace {

using test::ItemWorld;
using test::Outcome;

class ItemFileGenerator {
public:
    explicit ItemFileGenerator(unsigned seed) : rng_(seed) {}

    std::string file(int sections) {
        text_.clear();
        for (int i = 0; i < sections; ++i)
            section();
        switch (pick(4)) {
        case 0:
            line(cased("eof"));
            line("SECTION WORLDITEM 99999");
            line("{");
            line("TYPE 255");
            break;
        case 1:
            line(cased("SECTION WORLDITEM ") + std::to_string(nextNumber_++));
            line("{");
            line(cased("ID ") + "12");
            break;
        default:
            break;
        }
        return text_;
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool chance(int percent) { return pick(100) < percent; }

    std::string cased(std::string text) {
        if (chance(30))
            for (char& c : text)
                if (c >= 'A' && c <= 'Z' && chance(50))
                    c = static_cast<char>(c - 'A' + 'a');
        if (chance(30))
            for (char& c : text)
                if (c >= 'a' && c <= 'z')
                    c = static_cast<char>(c - 'a' + 'A');
        return text;
    }
    std::string pad() {
        static const char* const pads[] = {"", "", "", " ", "\t", "  \t "};
        return pads[pick(6)];
    }
    void line(const std::string& text) {
        static const char* const ends[] = {"\r\n", "\r\n", "\r\n", "\n", "\r"};
        text_ += pad() + text + pad() + ends[pick(5)];
        if (chance(8))
            text_ += pad() + "\r\n";
    }
    std::string number(int value) {
        if (chance(20)) {
            char hex[16];
            std::snprintf(hex, sizeof hex, chance(50) ? "0x%04X" : "$%x", value);
            return hex;
        }
        return std::to_string(value);
    }

    void section() {
        const int kind = pick(100);
        if (kind < 70)
            worldItem();
        else if (kind < 80)
            simpleSection("SECTION CHARACTER 5",
                          {"NAME Bob", "ID 0x190", "X 1234", "Y 567", "Z 0", "CONT 0"});
        else if (kind < 85)
            simpleSection("SECTION GUILD 1", {"NAME Knights of \xC9vora", "TYPE 1"});
        else if (kind < 90)
            simpleSection("SECTION MULTI 3", {"ID 5", "X 20", "Y 44", "TYPE 255"});
        else
            line(chance(50) ? "// placed by hand" : "; comment \xE4\xF6\xFC");
    }

    void simpleSection(const std::string& header, std::vector<std::string> tags) {
        line(cased(header));
        line("{");
        for (const std::string& tag : tags)
            line(cased(tag));
        line("}");
    }

    void worldItem() {
        static const int ids[] = {0x0EED, 0x0A28, 0x1363, 0x0CCA};
        const bool reuse = !usedNumbers_.empty() && chance(12);
        const int n = reuse ? usedNumbers_[static_cast<std::size_t>(
                                  pick(static_cast<int>(usedNumbers_.size())))]
                            : nextNumber_++;
        usedNumbers_.push_back(n);
        const bool inContainer = chance(20);
        line(cased("SECTION WORLDITEM ") + std::to_string(n));
        line("{");
        line(cased("SERIAL ") + number(0x40000000 + pick(5000)));
        static const char* const names[] = {"#", "#", "Gold",
                                            "M\xE4"
                                            "dchen"};
        line(cased("NAME ") + names[pick(4)]);
        line(cased("ID ") + number(ids[pick(4)]));
        if (inContainer) {
            line("X " + number(pick(8)));
            line("Y " + number(pick(8)));
            line("Z " + number(pick(300)));
            line(cased("CONT ") + number(0x40000001 + pick(9)));
        } else {
            line("X " + number(16 + pick(24)));
            line("Y " + number(40 + pick(16)));
            line("Z " + number(pick(256) - 128));
            line(cased("CONT -1"));
        }
        if (chance(70))
            line(cased("COLOR ") + number(pick(3) == 0 ? 0x481 : 0));
        if (chance(20))
            line(cased("AMOUNT 5"));
        static const int types[] = {255, 255, 255, 0, 0, 3};
        line(cased("TYPE ") + number(types[pick(6)]));
        line("}");
    }

    std::mt19937 rng_;
    std::string text_;
    int nextNumber_ = 1;
    std::vector<int> usedNumbers_;
};

// A world whose blocks (2..4, 5..6) hold a few statics, some of them none.
void MakeWorld(const ItemWorld& w, unsigned seed) {
    test::MakeEmptyStatics(w.staidx(), w.statics());
    std::mt19937 rng(seed);
    for (int bx = 2; bx <= 4; ++bx)
        for (int by = 5; by <= 6; ++by) {
            std::vector<TStaticRec> recs(rng() % 4);
            for (TStaticRec& r : recs)
                r = {static_cast<std::uint16_t>(rng() % 0x4000),
                     static_cast<std::uint8_t>(rng() % 8), static_cast<std::uint8_t>(rng() % 8),
                     static_cast<std::int8_t>(rng() % 40), static_cast<std::uint16_t>(rng() % 3)};
            if (!recs.empty() || rng() % 2)
                test::PutStaticBlock(w.staidx(), w.statics(), bx, by, recs);
        }
}

class EquivalenceTest : public ::testing::Test {
protected:
    // Melt and freeze, with each style, selection mode and patch option, on the folder as it is.
    void compareAllOperations(ItemFileStyle style) {
        runPair("melt", [&](const ItemWorld& w, bool fast) -> test::Operation {
            return [w, style, fast](ProgramState& st, const LogSink& log, Progress& p) {
                const MeltRequest r = w.melt(style, 0, 47, 36, 63);
                fast ? MeltBlocks(st, r, log, p) : reference::MeltBlocks(st, r, log, p);
            };
        });
        for (const SelectionMode mode : {SelectionMode::Type255, SelectionMode::Auto})
            for (const bool pat : {false, true})
                runPair("freeze mode " + std::to_string(static_cast<int>(mode)) +
                            (pat ? " with PAT" : ""),
                        [&](const ItemWorld& w, bool fast) -> test::Operation {
                            return [w, style, mode, pat, fast](ProgramState& st, const LogSink& log,
                                                               Progress& p) {
                                AutoSelectIDs ids;
                                ids.set(0x0EED);
                                ids.set(0x1363);
                                const FreezeRequest r = w.freeze(style, mode, pat);
                                fast ? FreezeItems(st, r, ids, log, p)
                                     : reference::FreezeItems(st, r, ids, log, p);
                            };
                        });
    }

    // Runs the one-pass operation in one copy of the folder and the reference in another, and
    // compares everything they produce.
    void runPair(const std::string& what,
                 const std::function<test::Operation(const ItemWorld&, bool)>& make) {
        SCOPED_TRACE(what);
        const auto before = test::Snapshot(original.folder);
        test::TempDir a, b;
        test::CopyFolder(original.folder, a.path());
        test::CopyFolder(original.folder, b.path());
        const Outcome ours =
            test::RunOperation(a.path() + "/staidx0.mul", make(ItemWorld{a.path()}, true));
        const Outcome ref =
            test::RunOperation(b.path() + "/staidx0.mul", make(ItemWorld{b.path()}, false), false);
        EXPECT_EQ(ours.error, ref.error);
        EXPECT_EQ(ours.log, ref.log);
        printf("%s: %s\n", what.c_str(), ours.error.c_str());
        (ours.error.empty() ? completed : failed)++;
        if (ref.error.empty()) {
            EXPECT_EQ(ours.progress, ref.progress);
            test::ExpectSameFiles(test::Snapshot(a.path()), test::Snapshot(b.path()));
        } else {
            SCOPED_TRACE("a failed operation must change no file");
            test::ExpectSameFiles(test::Snapshot(a.path()), before);
        }
    }

    test::TempDir dir;
    ItemWorld original{dir.path()};
    int completed = 0, failed = 0;
};

TEST_F(EquivalenceTest, GeneratedItemFiles) {
    for (unsigned seed = 1; seed <= 16; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        MakeWorld(original, seed);
        ItemFileGenerator items(seed);
        test::WriteWholeFile(original.items(), items.file(30 + static_cast<int>(seed) * 3));
        if (seed % 3 == 0)
            std::remove(original.patch().c_str());
        else
            test::WriteWholeFile(original.patch(), ItemFileGenerator(seed + 100).file(4));
        compareAllOperations(seed % 2 ? ItemFileStyle::Pol : ItemFileStyle::Uox3);
        EXPECT_EQ(failed, 0);
        if (::testing::Test::HasFailure())
            break;
    }
}

std::string Item(int number, int x, int y, const std::string& extra = "", int cont = -1) {
    return "SECTION WORLDITEM " + std::to_string(number) + "\r\n{\r\nID 3821\r\nX " +
           std::to_string(x) + "\r\nY " + std::to_string(y) + "\r\nZ 5\r\nCONT " +
           std::to_string(cont) + "\r\nTYPE 255\r\n" + extra + "}\r\n";
}

TEST_F(EquivalenceTest, FailuresComeAfterTheSameLogWithTheSameMessage) {
    const std::string twoBlocks = Item(1, 19, 47) + Item(2, 27, 47);
    std::string nineMore = twoBlocks;
    for (int i = 0; i < 8; ++i)
        nineMore += Item(10 + i, 24 + i, 40 + i);
    std::string fullBlock;
    for (int i = 0; i < 2049; ++i)
        fullBlock += Item(i, 19, 47);
    const struct {
        const char* what;
        std::string items;
        std::string patch = {}; // "" for none
        int blockRecords = 0;
    } cases[] = {
        {"tag out of range in the second block", twoBlocks + Item(3, 28, 47, "Z 300\r\n")},
        {"colour out of range after a selected item's error",
         twoBlocks + Item(3, 28, 47, "COLOR 70000\r\n") + Item(4, 29, 47, "Z -129\r\n")},
        {"section number out of range after the items",
         twoBlocks + Item(70000, 27, 47, "", 5) + Item(4, 19, 40, "Z 300\r\n")},
        {"item error before a section number out of range",
         Item(5, 19, 47, "Z 300\r\n") + Item(6, 100, 100, "", 5) + Item(70000, 27, 47, "", 5)},
        {"item outside the world", twoBlocks + Item(9, 6200, 47)},
        {"block full after merging", nineMore, "", 2040},
        {"2049 items for one block", fullBlock},
        {"patch file without free numbers", twoBlocks, Item(2147483647, 1, 1)},
        {"patch file with a serial that is no number", twoBlocks,
         "SECTION WORLDITEM 5\r\n{\r\nSERIAL 12abc\r\n}\r\n"},
        {"melt into a file without free serials", "SERIAL 2147483647\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::MakeEmptyStatics(original.staidx(), original.statics());
        test::PutStaticBlock(original.staidx(), original.statics(), 3, 5,
                             std::vector<TStaticRec>(static_cast<std::size_t>(c.blockRecords)));
        test::PutStaticBlock(original.staidx(), original.statics(), 2, 5, {{1, 2, 3, 4, 5}});
        test::WriteWholeFile(original.items(), c.items);
        std::remove(original.patch().c_str());
        if (!c.patch.empty())
            test::WriteWholeFile(original.patch(), c.patch);
        failed = 0;
        compareAllOperations(ItemFileStyle::Uox3);
        EXPECT_GT(failed, 0);
    }
}

TEST_F(EquivalenceTest, MeltFailsAtTheFirstBlockOutsideTheWorldOrWithABadLength) {
    test::MakeEmptyStatics(original.staidx(), original.statics());
    test::PutStaticBlock(original.staidx(), original.statics(), 762, 0, {{1, 2, 3, 4, 5}});
    test::PutStaticBlock(original.staidx(), original.statics(), 2, 6, {{1, 2, 3, 4, 5}});
    test::WriteWholeFile(original.items(), Item(1, 19, 47));
    runPair("outside", [](const ItemWorld& w, bool fast) -> test::Operation {
        return [w, fast](ProgramState& st, const LogSink& log, Progress& p) {
            const MeltRequest r = w.melt(ItemFileStyle::Pol, 6096, 6200, 0, 7);
            fast ? MeltBlocks(st, r, log, p) : reference::MeltBlocks(st, r, log, p);
        };
    });
    File index = File::OpenReadWrite(original.staidx());
    const StaticPointer bad{0, 8, 0};
    index.seek(IndexEntryOffset(3, 5));
    index.write(&bad, sizeof bad);
    index.close();
    runPair("bad length", [](const ItemWorld& w, bool fast) -> test::Operation {
        return [w, fast](ProgramState& st, const LogSink& log, Progress& p) {
            const MeltRequest r = w.melt(ItemFileStyle::Pol, 16, 31, 40, 55);
            fast ? MeltBlocks(st, r, log, p) : reference::MeltBlocks(st, r, log, p);
        };
    });
    EXPECT_EQ(failed, 2);
}

} // namespace
} // namespace lw
