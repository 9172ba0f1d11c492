#include "items/SelectItems.h"

#include "items/InvalidTag.h"
#include "items/ItemLines.h"
#include "util/IntConv.h"
#include "util/Text.h"
#include "world/Records.h"

#include <string>

namespace lw {
namespace {

struct ScanState {
    CurrentSection section = kNoSection;
    std::int64_t header = -1;
    std::size_t offset = 0;
    std::int32_t id = 0, x = 0, y = 0, type = 0, cont = 0;
    std::string name;

    void startSection(std::int32_t number) {
        section = number;
        id = x = y = type = cont = 0;
        name.clear();
    }
};

bool IsTaken(const ScanState& s, SelectionMode mode, const AutoSelectIDs& autoIds) {
    if (mode == SelectionMode::Type255)
        return s.type == 255;
    if (mode == SelectionMode::Auto)
        return s.type == 255 ||
               (autoIds[static_cast<std::size_t>(s.id)] && s.type == 0 && s.name == "#");
    return false;
}

// The closing brace of a section: a world item lying in the world may be taken.
void CloseSection(ScanState& s, SelectionMode mode, const AutoSelectIDs& autoIds,
                  const LogSink& log, ItemSelection& selection, SelectionListener& listener) {
    if (s.section != kNoSection && s.cont == -1) {
        if (!IsItemNumber(s.section))
            throw InvalidTag(s.section);
        if (IsTaken(s, mode, autoIds)) {
            log("Selecting item for export: " + std::to_string(s.section));
            selection.Items.push_back({static_cast<std::int32_t>(s.section), s.header, s.offset,
                                       static_cast<std::uint16_t>(s.x / kTilesPerBlockSide),
                                       static_cast<std::uint16_t>(s.y / kTilesPerBlockSide)});
            listener.taken();
        }
    }
    s.section = kNoSection;
}

void noteBadHeader(ItemSelection& selection, const ScanState& s, CurrentSection& lastHeaderNumber) {
    const bool inRange = IsItemNumber(s.section);
    if (!inRange && selection.BadHeaderOffset == std::string_view::npos) {
        selection.BadHeaderOffset = s.offset;
        selection.SectionBeforeBadHeader = lastHeaderNumber;
    }
    if (inRange)
        lastHeaderNumber = s.section;
}

struct NoListener : SelectionListener {
    void line(std::string_view) override {}
    void taken() override {}
};

} // namespace

ItemSelection SelectItems(std::string_view itemFileText, SelectionMode mode,
                          const AutoSelectIDs& autoIds, const LogSink& log) {
    NoListener none;
    return SelectItems(itemFileText, mode, autoIds, log, none);
}

ItemSelection SelectItems(std::string_view itemFileText, SelectionMode mode,
                          const AutoSelectIDs& autoIds, const LogSink& log,
                          SelectionListener& listener) {
    ItemSelection selection;
    ScanState s;
    const auto value = [&s](std::string_view line, std::string_view tag, std::int32_t lo,
                            std::int32_t hi) {
        return TagValueInRange(TagValue(line, tag), lo, hi, s.section);
    };
    // Tags with different first letters never match the same line, so dispatching on the first
    // letter keeps the order in which the tags are tried.
    CurrentSection lastHeaderNumber = kNoSection;
    ItemLineReader lines(itemFileText);
    std::string_view line;
    while (lines.next(line)) {
        listener.line(line);
        switch (UpperCaseLetter(line.front())) {
        case 'S':
            if (HasHeader(line, kCharacterHeader) || HasHeader(line, kGuildHeader)) {
                s.section = kNoSection;
            } else if (HasHeader(line, kWorldItemHeader)) {
                ++s.header;
                s.offset = static_cast<std::size_t>(line.data() - itemFileText.data());
                s.startSection(SectionNumber(line));
                noteBadHeader(selection, s, lastHeaderNumber);
            }
            break;
        case 'N':
            if (HasTag(line, "NAME"))
                s.name = UpperCase(TagValue(line, "NAME"));
            break;
        case 'I':
            if (HasTag(line, "ID"))
                s.id = value(line, "ID", 0, 65535);
            break;
        case 'X':
            if (HasTag(line, "X"))
                s.x = value(line, "X", 0, 65535);
            break;
        case 'Y':
            if (HasTag(line, "Y"))
                s.y = value(line, "Y", 0, 65535);
            break;
        case 'Z':
            if (HasTag(line, "Z"))
                TagInt(TagValue(line, "Z"));
            break;
        case 'C':
            if (HasTag(line, "CONT"))
                s.cont = TagInt(TagValue(line, "CONT"));
            break;
        case 'T':
            if (HasTag(line, "TYPE"))
                s.type = value(line, "TYPE", 0, 65535);
            break;
        case '}':
            if (line.size() == 1)
                CloseSection(s, mode, autoIds, log, selection, listener);
            break;
        default:
            break;
        }
    }
    return selection;
}

} // namespace lw
