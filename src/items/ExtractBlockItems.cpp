#include "items/ExtractBlockItems.h"

#include "items/InvalidTag.h"
#include "items/ItemLines.h"

#include <algorithm>

namespace lw {
namespace {

// Where the extraction of a section stops: its "}", or a header of any section.
bool EndsExtractedItem(std::string_view line) {
    return line == "}" || HasHeader(line, kWorldItemHeader) || HasHeader(line, kCharacterHeader) ||
           HasHeader(line, kGuildHeader);
}

// Orders items block X first, then block Y, in a world of any size.
int BlockKey(int blockX, int blockY) {
    return blockX << 16 | blockY;
}

} // namespace

BlockItemExtraction::BlockItemExtraction(std::string_view itemFileText,
                                         const ItemSelection& selection)
    : text_(itemFileText) {
    for (const SelectedItem& selected : selection.Items) {
        Item item;
        item.Number = selected.Number;
        item.BlockNumber = BlockKey(selected.BlockX, selected.BlockY);
        item.Offset = selected.Offset;
        readItem(item);
        items_.push_back(item);
    }
    if (selection.BadHeaderOffset != std::string_view::npos)
        headerFailure_ = {selection.BadHeaderOffset,
                          std::make_exception_ptr(InvalidTag(selection.SectionBeforeBadHeader))};
    for (std::size_t i = 0; i < items_.size(); ++i)
        byBlock_.push_back(i);
    std::stable_sort(byBlock_.begin(), byBlock_.end(), [this](std::size_t a, std::size_t b) {
        return items_[a].BlockNumber < items_[b].BlockNumber;
    });
}

// The lines from the item's header to its "}": pending values start at zero, the last of a tag
// wins, and the first error is the one the extraction meets.
void BlockItemExtraction::readItem(Item& item) const {
    ItemLineReader lines(text_.substr(item.Offset));
    std::string_view line;
    lines.next(line); // the header
    const auto value = [&](std::string_view tag, std::int32_t lo, std::int32_t hi) {
        return TagValueInRange(TagValue(line, tag), lo, hi, item.Number);
    };
    while (lines.next(line) && !EndsExtractedItem(line)) {
        if (item.Error)
            continue;
        try {
            // Each tag tried has its own first letter, so the first letter picks the only one
            // that can match.
            TStaticRec& rec = item.Rec;
            switch (UpperCaseLetter(line.front())) {
            case 'I':
                if (HasTag(line, "ID"))
                    rec.ID = static_cast<std::uint16_t>(value("ID", 0, 65535));
                break;
            case 'X':
                if (HasTag(line, "X"))
                    rec.X = static_cast<std::uint8_t>(value("X", 0, 65535) % kTilesPerBlockSide);
                break;
            case 'Y':
                if (HasTag(line, "Y"))
                    rec.Y = static_cast<std::uint8_t>(value("Y", 0, 65535) % kTilesPerBlockSide);
                break;
            case 'Z':
                if (HasTag(line, "Z"))
                    rec.Z = static_cast<std::int8_t>(value("Z", -128, 127));
                break;
            case 'C':
                if (HasTag(line, "COLOR"))
                    rec.Color = static_cast<std::uint16_t>(value("COLOR", 0, 65535));
                break;
            default:
                break;
            }
        } catch (...) {
            item.Error = std::current_exception();
            item.ErrorOffset = static_cast<std::size_t>(line.data() - text_.data());
        }
    }
    item.CloseOffset = static_cast<std::size_t>(line.data() - text_.data());
}

BlockItemExtraction::Failure BlockItemExtraction::firstFailureOf(int blockNumber,
                                                                 TStaticBlock& block) const {
    block.Count = 0;
    auto it = std::lower_bound(byBlock_.begin(), byBlock_.end(), blockNumber,
                               [this](std::size_t i, int b) { return items_[i].BlockNumber < b; });
    for (; it != byBlock_.end() && items_[*it].BlockNumber == blockNumber; ++it) {
        const Item& item = items_[*it];
        if (item.Error)
            return {item.ErrorOffset, item.Error};
        if (block.Count == kMaxStaticsPerBlock)
            return {item.CloseOffset, std::make_exception_ptr(InvalidTag(item.Number))};
        block.Recs[block.Count++] = item.Rec;
    }
    return {};
}

void BlockItemExtraction::extract(int blockX, int blockY, TStaticBlock& block) {
    Failure failure = firstFailureOf(BlockKey(blockX, blockY), block);
    if (!extractedBefore_ && headerFailure_.Error &&
        (!failure.Error || headerFailure_.Offset < failure.Offset))
        failure = headerFailure_;
    extractedBefore_ = true;
    if (failure.Error) {
        block.Count = 0;
        std::rethrow_exception(failure.Error);
    }
}

void RemainingItemsWriter::line(std::string_view line) {
    if (closed_)
        release();
    if (HasHeader(line, kWorldItemHeader)) {
        release();
        section_.push_back(line);
    } else if (section_.empty()) {
        copy_.copy(line);
    } else if (HasHeader(line, kCharacterHeader) || HasHeader(line, kGuildHeader)) {
        release();
        copy_.copy(line);
    } else {
        section_.push_back(line);
        closed_ = line == "}";
    }
}

void RemainingItemsWriter::taken() {
    section_.clear();
    closed_ = false;
}

void RemainingItemsWriter::finish() {
    release();
}

void RemainingItemsWriter::release() {
    for (const std::string_view held : section_)
        copy_.copy(held);
    section_.clear();
    closed_ = false;
}

} // namespace lw
