#include "items/ExtractBlockItems.h"

#include "items/InvalidTag.h"
#include "items/ItemLines.h"

#include <algorithm>

namespace lw {
namespace {

// Where the extraction of a section stops: its "}", or a header of any section.
bool EndsExtractedItem(std::string_view line) {
    return line == "}" || HasTag(line, kWorldItemHeader) || HasTag(line, kCharacterHeader) ||
           HasTag(line, kGuildHeader);
}

} // namespace

BlockItemExtraction::BlockItemExtraction(std::string_view itemFileText,
                                         const ItemSelection& selection)
    : text_(itemFileText) {
    for (const SelectedItem& s : selection.Items)
        selectedHeaders_.push_back(s.Header);
    readItems(selection);
    for (std::size_t i = 0; i < items_.size(); ++i)
        byBlock_.push_back(i);
    std::stable_sort(byBlock_.begin(), byBlock_.end(), [this](std::size_t a, std::size_t b) {
        return items_[a].BlockNumber < items_[b].BlockNumber;
    });
}

void BlockItemExtraction::readItems(const ItemSelection& selection) {
    ItemLineReader lines(text_);
    std::string_view line;
    std::int64_t lineNumber = -1, header = -1;
    std::int32_t section = kNoSection;
    auto next = selection.Items.begin();
    Item* item = nullptr;
    const auto keepError = [&](std::exception_ptr error) {
        if (!item->Error) {
            item->Error = error;
            item->ErrorLine = lineNumber;
        }
    };
    while (lines.next(line)) {
        ++lineNumber;
        if (item && EndsExtractedItem(line)) {
            item->CloseLine = lineNumber;
            item = nullptr;
            if (line == "}")
                continue;
        }
        if (HasTag(line, kWorldItemHeader)) {
            ++header;
            try {
                section = TagValueInRange(TagValue(line, kWorldItemHeader), 0, 65535, section);
            } catch (...) {
                if (!headerFailure_.Error)
                    headerFailure_ = {lineNumber, std::current_exception()};
            }
            if (next != selection.Items.end() && next->Header == header) {
                Item selected;
                selected.Number = next->Number;
                selected.BlockNumber = BlockNumber(next->BlockX, next->BlockY);
                items_.push_back(selected);
                item = &items_.back();
                ++next;
            }
            continue;
        }
        if (!item)
            continue;
        const auto value = [&](std::string_view tag, std::int32_t lo, std::int32_t hi) {
            return TagValueInRange(TagValue(line, tag), lo, hi, item->Number);
        };
        try {
            TStaticRec& rec = item->Rec;
            if (HasTag(line, "ID"))
                rec.ID = static_cast<std::uint16_t>(value("ID", 0, 65535));
            else if (HasTag(line, "X"))
                rec.X = static_cast<std::uint8_t>(value("X", 0, 65535) % kTilesPerBlockSide);
            else if (HasTag(line, "Y"))
                rec.Y = static_cast<std::uint8_t>(value("Y", 0, 65535) % kTilesPerBlockSide);
            else if (HasTag(line, "Z"))
                rec.Z = static_cast<std::int8_t>(value("Z", -128, 127));
            else if (HasTag(line, "COLOR"))
                rec.Color = static_cast<std::uint16_t>(value("COLOR", 0, 65535));
        } catch (...) {
            keepError(std::current_exception());
        }
    }
}

BlockItemExtraction::Failure BlockItemExtraction::firstFailureOf(int blockNumber,
                                                                 TStaticBlock& block) const {
    block.Count = 0;
    auto it = std::lower_bound(byBlock_.begin(), byBlock_.end(), blockNumber,
                               [this](std::size_t i, int b) { return items_[i].BlockNumber < b; });
    for (; it != byBlock_.end() && items_[*it].BlockNumber == blockNumber; ++it) {
        const Item& item = items_[*it];
        if (item.Error)
            return {item.ErrorLine, item.Error};
        if (block.Count == kMaxStaticsPerBlock)
            return {item.CloseLine, std::make_exception_ptr(InvalidTag(item.Number))};
        block.Recs[block.Count++] = item.Rec;
    }
    return {};
}

void BlockItemExtraction::extract(int blockX, int blockY, TStaticBlock& block) {
    Failure failure = firstFailureOf(BlockNumber(blockX, blockY), block);
    if (!extractedBefore_ && headerFailure_.Error &&
        (!failure.Error || headerFailure_.Line < failure.Line))
        failure = headerFailure_;
    extractedBefore_ = true;
    if (failure.Error) {
        block.Count = 0;
        std::rethrow_exception(failure.Error);
    }
}

void BlockItemExtraction::writeRemaining(TextWriter& out) const {
    NormalisedCopy copy(out);
    ItemLineReader lines(text_);
    std::string_view line;
    std::int64_t header = -1;
    auto next = selectedHeaders_.begin();
    bool extracting = false;
    while (lines.next(line)) {
        if (extracting && EndsExtractedItem(line)) {
            extracting = false;
            if (line == "}")
                continue;
        }
        if (HasTag(line, kWorldItemHeader)) {
            ++header;
            if (next != selectedHeaders_.end() && *next == header) {
                extracting = true;
                ++next;
            }
        }
        if (!extracting)
            copy.copy(line);
    }
}

} // namespace lw
