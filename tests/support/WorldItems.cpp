#include "support/WorldItems.h"

#include "support/WorldFiles.h"
#include "util/IntConv.h"
#include "world/Records.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <sstream>

namespace lw::test {

void AddItemFile(const std::string& text, Items& items) {
    std::istringstream lines(text);
    std::string line;
    std::optional<ItemKey> item;
    while (std::getline(lines, line)) {
        while (!line.empty() && static_cast<unsigned char>(line.back()) <= ' ')
            line.pop_back();
        const auto first = line.find_first_not_of(" \t");
        line.erase(0, first == std::string::npos ? line.size() : first);
        if (line == "{") {
            item = ItemKey{-1, -1, -1, -1, 0};
        } else if (line == "}") {
            if (item)
                items.push_back(*item);
            item.reset();
        } else if (item) {
            static const std::pair<const char*, std::size_t> kFields[] = {
                {"ID", 0}, {"X", 1}, {"Y", 2}, {"Z", 3}, {"COLOR", 4}};
            const std::string key = line.substr(0, line.find_first_of(" \t"));
            for (const auto& [name, slot] : kFields)
                if (key == name)
                    (*item)[slot] = StrToInt(line.substr(key.size()));
        }
    }
}

bool ForEachStaticsBlock(const std::string& index, const std::string& statics,
                         const std::function<void(int, const char*, std::size_t)>& visit) {
    for (int block = 0; block < kBlockCount; ++block) {
        StaticPointer entry{};
        std::memcpy(&entry, index.data() + std::size_t(block) * kIndexEntrySize, sizeof entry);
        if (entry.Offset == kNoStatics || entry.Length == 0)
            continue;
        if (std::uint64_t(entry.Offset) + entry.Length > statics.size()) {
            ADD_FAILURE() << "block " << block << " points past the end of the statics file";
            return false;
        }
        visit(block, statics.data() + entry.Offset, entry.Length);
    }
    return true;
}

void AddStatics(const std::string& index, const std::string& statics,
                const std::vector<bool>& blocks, Items& items) {
    ForEachStaticsBlock(index, statics, [&](int block, const char* records, std::size_t length) {
        if (!blocks.empty() && !blocks[std::size_t(block)])
            return;
        const int blockX = block / kBlockRows, blockY = block % kBlockRows;
        for (std::size_t at = 0; at + kStaticRecSize <= length; at += kStaticRecSize) {
            TStaticRec rec{};
            std::memcpy(&rec, records + at, sizeof rec);
            items.push_back({rec.ID, blockX * kTilesPerBlockSide + rec.X,
                             blockY * kTilesPerBlockSide + rec.Y, rec.Z, rec.Color});
        }
    });
}

Items WorldItems(const std::string& staidx, const std::string& statics,
                 const std::string& itemFile) {
    Items items;
    if (!itemFile.empty() && std::filesystem::exists(itemFile))
        AddItemFile(ReadWholeFile(itemFile), items);
    AddStatics(ReadWholeFile(staidx), ReadWholeFile(statics), {}, items);
    std::sort(items.begin(), items.end());
    return items;
}

void ExpectNoItemLost(const Items& before, const Items& after, int most) {
    for (auto it = before.begin(); it != before.end();) {
        const auto range = std::equal_range(after.begin(), after.end(), *it);
        const auto end = std::upper_bound(it, before.end(), *it);
        const auto was = end - it, now = range.second - range.first;
        if (now < was || now > most * was) {
            ADD_FAILURE() << "item ID " << (*it)[0] << " at " << (*it)[1] << "," << (*it)[2] << ","
                          << (*it)[3] << ": " << was << " before, " << now << " after";
            return;
        }
        it = end;
    }
}

} // namespace lw::test
