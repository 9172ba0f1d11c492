#include "DiffScenario.h"

namespace lw::test {

void BuildEveryKindOfBlock(const DiffWorlds& w) {
    const WorldFileSet& o = w.original;
    const WorldFileSet& m = w.modified;
    PutStaticBlock(o.staidx, o.statics, 0, 2, Records({10, 11}));
    PutStaticBlock(m.staidx, m.statics, 0, 2, Records({12, 13}));
    PutStaticBlock(o.staidx, o.statics, 0, 1, Records({20}));
    PutStaticBlock(m.staidx, m.statics, 0, 1, Records({20}));
    PutStaticBlock(m.staidx, m.statics, 0, 1, Records({20}));
    w.setEntry(o, 0, 3, {0, 14, 1});
    w.setEntry(m, 0, 3, {0, 14, 2});
    PutStaticBlock(o.staidx, o.statics, 1, 0, Records({40, 41}));
    PutStaticBlock(m.staidx, m.statics, 1, 0, Records({40, 42}));
    PutStaticBlock(o.staidx, o.statics, 1, 1, Records({50}));
    w.setEntry(m, 1, 1, {3, 0, 0});
    PutStaticBlock(o.staidx, o.statics, 1, 2, Records({60}));
    w.setEntry(o, 1, 2, {w.entry(o, 1, 2).Offset, 7, 9});
    PutStaticBlock(m.staidx, m.statics, 2, 0, Records({70, 71, 72}));
    w.setEntry(o, 3, 0, {100, 0, 5});
    w.setEntry(m, 3, 0, {100, 0, 5});
    w.putMapBlock(m, 0, 5, 'a');
    w.putMapBlock(m, 767, 511, 'b');
}

namespace {

std::vector<TStaticRec> RecordsOf(int count, int seed) {
    std::vector<TStaticRec> records;
    for (int i = 0; i < count; ++i)
        records.push_back({static_cast<std::uint16_t>(seed * 7 + i),
                           static_cast<std::uint8_t>(i % 8), static_cast<std::uint8_t>(seed % 8),
                           static_cast<std::int8_t>(i - 10), static_cast<std::uint16_t>(seed)});
    return records;
}

} // namespace

void BuildEditedWorld(const DiffWorlds& w) {
    const WorldFileSet& o = w.original;
    const WorldFileSet& m = w.modified;
    for (int i = 0; i < 3000; ++i) {
        const int n = i * 131;
        PutStaticBlock(o.staidx, o.statics, n / kBlockRows, n % kBlockRows,
                       RecordsOf(1 + i % 20, i));
    }
    WriteWholeFile(m.staidx, ReadWholeFile(o.staidx));
    WriteWholeFile(m.statics, ReadWholeFile(o.statics));
    for (int i = 0; i < 3000; i += 30) {
        const int n = i * 131;
        PutStaticBlock(m.staidx, m.statics, n / kBlockRows, n % kBlockRows, RecordsOf(3, i + 1));
        const int emptied = (i + 1) * 131, added = (i + 2) * 131 + 1;
        if (i % 150 == 0) {
            w.setEntry(m, emptied / kBlockRows, emptied % kBlockRows, {kNoStatics, 0, 0});
            PutStaticBlock(m.staidx, m.statics, added / kBlockRows, added % kBlockRows,
                           RecordsOf(2, i));
        }
    }
    for (int i = 0; i < 60; ++i) {
        const int x = i * 12, y = i * 8 + 3;
        w.putMapBlock(o, x, y, static_cast<char>(i + 1));
        w.putMapBlock(m, x, y, static_cast<char>(i + 1));
    }
    for (int i = 0; i < 40; ++i)
        w.putMapBlock(m, i * 19, i * 12, static_cast<char>(100 + i));
}

} // namespace lw::test
