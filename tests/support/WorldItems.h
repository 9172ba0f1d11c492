// Every item a world holds, wherever it is kept (the statics or an item file), for tests that
// check that an operation killed or repaired part-way lost or doubled none.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace lw::test {

// An item as the world shows it: ID, X, Y, Z, COLOR.
using ItemKey = std::array<int, 5>;
using Items = std::vector<ItemKey>;

// The items of an item file's text (no COLOR counts as colour 0, as it freezes).
void AddItemFile(const std::string& text, Items& items);

// Calls visit(block, records, length) for every block the index gives statics, in block order.
// False, with a test failure, when an entry points past the end of the statics file.
bool ForEachStaticsBlock(const std::string& index, const std::string& statics,
                         const std::function<void(int, const char*, std::size_t)>& visit);

// The statics of the blocks flagged (every block when blocks is empty).
void AddStatics(const std::string& index, const std::string& statics,
                const std::vector<bool>& blocks, Items& items);

// Every item of the statics pair and of the item file (when there is one), sorted.
Items WorldItems(const std::string& staidx, const std::string& statics,
                 const std::string& itemFile = {});

// Each item of before is in after at least as often and at most `most` times as often; a
// failure names the first that is not.
void ExpectNoItemLost(const Items& before, const Items& after, int most = 2);

} // namespace lw::test
