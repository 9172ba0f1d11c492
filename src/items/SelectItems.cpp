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
    std::int32_t section = kNoSection;
    std::int64_t header = -1;
    std::int32_t id = 0, x = 0, y = 0, type = 0, cont = 0;
    std::string name;

    void startSection(std::int32_t number) {
        section = number;
        id = x = y = type = cont = 0;
        name.clear();
    }
};

bool IsTaken(const ScanState& s, int mode, const AutoSelectIDs& autoIds) {
    if (mode == kSelectType255)
        return s.type == 255;
    if (mode == kSelectAuto)
        return s.type == 255 ||
               (autoIds[static_cast<std::size_t>(s.id)] && s.type == 0 && s.name == "#");
    return false;
}

// The closing brace of a section: a world item lying in the world may be taken.
void CloseSection(ScanState& s, int mode, const AutoSelectIDs& autoIds, const LogSink& log,
                  ItemSelection& selection) {
    if (s.section != kNoSection && s.cont == -1) {
        if (s.section < 0 || s.section > 65535)
            throw InvalidTag(s.section);
        if (IsTaken(s, mode, autoIds)) {
            log("Selecting item for export: " + std::to_string(s.section));
            selection.Items.push_back({s.section, s.header,
                                       static_cast<std::uint16_t>(s.x / kTilesPerBlockSide),
                                       static_cast<std::uint16_t>(s.y / kTilesPerBlockSide)});
        }
    }
    s.section = kNoSection;
}

} // namespace

ItemSelection SelectItems(std::string_view itemFileText, int mode, const AutoSelectIDs& autoIds,
                          const LogSink& log) {
    ItemSelection selection;
    ScanState s;
    const auto value = [&s](std::string_view line, std::string_view tag, std::int32_t lo,
                            std::int32_t hi) {
        return TagValueInRange(TagValue(line, tag), lo, hi, s.section);
    };
    ItemLineReader lines(itemFileText);
    std::string_view line;
    while (lines.next(line)) {
        if (HasTag(line, kCharacterHeader) || HasTag(line, kGuildHeader)) {
            s.section = kNoSection;
        } else if (HasTag(line, kWorldItemHeader)) {
            ++s.header;
            s.startSection(SectionNumber(line));
        } else if (HasTag(line, "NAME")) {
            s.name = UpperCase(TagValue(line, "NAME"));
        } else if (HasTag(line, "ID")) {
            s.id = value(line, "ID", 0, 65535);
        } else if (HasTag(line, "X")) {
            s.x = value(line, "X", 0, 65535);
        } else if (HasTag(line, "Y")) {
            s.y = value(line, "Y", 0, 65535);
        } else if (HasTag(line, "Z")) {
            StrToInt(TagValue(line, "Z"));
        } else if (HasTag(line, "CONT")) {
            s.cont = StrToInt(TagValue(line, "CONT"));
        } else if (HasTag(line, "TYPE")) {
            s.type = value(line, "TYPE", 0, 65535);
        } else if (line == "}") {
            CloseSection(s, mode, autoIds, log, selection);
        }
    }
    return selection;
}

} // namespace lw
