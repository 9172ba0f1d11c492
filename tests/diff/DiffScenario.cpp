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

} // namespace lw::test
