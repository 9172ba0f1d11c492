// An original and a modified set holding one block of every kind a generation tells apart.
#pragma once

#include "DiffFixture.h"

namespace lw::test {

// (0,0) empty in both; (0,1) moved without change; (0,2) same entry, other records; (0,3)
// entries differing only in Extra; (1,0) changed records; (1,1) emptied to a real offset with
// length 0; (1,2) emptied (Extra 9 in the original); (2,0) new; (3,0) unchanged with length 0
// and Extra 5. Map blocks (0,5) and (767,511) changed.
void BuildEveryKindOfBlock(const DiffWorlds& w);

// A world with statics in 3,000 blocks and 60 drawn map blocks, and an edit of it as a tool
// leaves it: 100 blocks changed (new runs at the end of statics0.mul), 20 emptied, 20 new, 40
// map blocks redrawn.
void BuildEditedWorld(const DiffWorlds& w);

} // namespace lw::test
