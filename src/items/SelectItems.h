// Choosing the items a freeze takes: world items (CONT -1) marked TYPE 255, or in the "auto"
// mode also TYPE 0 items named "#" whose ID the AutoSelect list holds.
#pragma once

#include "items/ItemFileStyle.h"
#include "util/LogSink.h"

#include <bitset>
#include <cstdint>
#include <string_view>
#include <vector>

namespace lw {

// Which items a freeze takes: "type 255" takes the world items marked TYPE 255; "auto" also
// the TYPE 0 items named "#" whose ID the AutoSelect list holds.
enum class SelectionMode { Type255 = 0, Auto = 1 };

// One flag per item ID, filled from "AutoSelect.txt".
using AutoSelectIDs = std::bitset<65536>;

// One taken item. Header tells it apart from other sections with the same number: the count of
// "SECTION WORLDITEM" headers before its own in the file; Offset is where its header line starts
// in the text.
struct SelectedItem {
    std::int32_t Number;
    std::int64_t Header;
    std::size_t Offset;
    std::uint16_t BlockX;
    std::uint16_t BlockY;
};

struct ItemSelection {
    std::vector<SelectedItem> Items; // in file order
    // For the extraction, which refuses every section number outside 0-2,147,483,647: where the
    // first such header starts (npos: none) and the section before it.
    std::size_t BadHeaderOffset = std::string_view::npos;
    std::int64_t SectionBeforeBadHeader = 0; // a CurrentSection
};

// Sees every line the scan reads and hears when the world item whose "}" was just read is taken,
// so that a freeze can write the item file without the taken items in the same pass.
class SelectionListener {
public:
    virtual ~SelectionListener() = default;
    virtual void line(std::string_view line) = 0;
    virtual void taken() = 0;
};

// Scans item file text; logs "Selecting item for export: " and the number of each item taken.
ItemSelection SelectItems(std::string_view itemFileText, SelectionMode mode,
                          const AutoSelectIDs& autoIds, const LogSink& log);
ItemSelection SelectItems(std::string_view itemFileText, SelectionMode mode,
                          const AutoSelectIDs& autoIds, const LogSink& log,
                          SelectionListener& listener);

} // namespace lw
