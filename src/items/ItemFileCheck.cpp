#include "items/ItemFileCheck.h"

#include "items/ExtractBlockItems.h"
#include "items/InvalidTag.h"
#include "items/ItemLines.h"
#include "items/ScanHighestNumbers.h"
#include "items/SelectItems.h"
#include "util/Errors.h"
#include "util/File.h"
#include "util/SpacedHex.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <unordered_map>

namespace lw {
namespace {

using std::to_string;

// An item's block, whatever world it lies in (or outside of): block X, then block Y.
std::uint32_t BlockKey(const SelectedItem& item) {
    return std::uint32_t{item.BlockX} << 16 | item.BlockY;
}

// Line numbers as an editor shows them: CR LF, LF and CR each end one line. Counted only once a
// finding needs one.
class LineNumbers {
public:
    explicit LineNumbers(std::string_view text) : text_(text) {}
    long long of(std::size_t offset) {
        if (starts_.empty()) {
            starts_.push_back(0);
            for (std::size_t i = 0; i < text_.size(); ++i) {
                if (text_[i] == '\r' && i + 1 < text_.size() && text_[i + 1] == '\n')
                    ++i;
                if (text_[i] == '\r' || text_[i] == '\n')
                    starts_.push_back(i + 1);
            }
        }
        return std::upper_bound(starts_.begin(), starts_.end(), offset) - starts_.begin();
    }

private:
    std::string_view text_;
    std::vector<std::size_t> starts_;
};

bool StartsSection(std::string_view line) {
    return HasTag(line, kWorldItemHeader) || HasTag(line, kCharacterHeader) ||
           HasTag(line, kGuildHeader);
}

// The lines of a section as the scans read them, trimmed.
std::vector<std::string_view> LinesOf(std::string_view section) {
    std::vector<std::string_view> read;
    ItemLineReader lines(section);
    std::string_view line;
    while (lines.next(line))
        read.push_back(line);
    return read;
}

// What the scans of melt and freeze make of one section on its own. A section's scan state starts
// afresh at its header, so a section refused here is refused in any file, and the reverse.
class SectionScans {
public:
    struct Outcome {
        std::optional<std::string> refusal;
        ItemSelection selection;
    };

    Outcome run(std::string_view section) {
        Outcome outcome;
        try {
            outcome.selection =
                SelectItems(section, SelectionMode::Type255, noAutoIds_, DiscardLog);
            if (outcome.selection.BadHeaderOffset != std::string_view::npos) {
                outcome.refusal = "a freeze that takes any item refuses the file here: a section "
                                  "number below 0";
                return outcome;
            }
            BlockItemExtraction extraction(section, outcome.selection);
            for (const SelectedItem& item : outcome.selection.Items)
                extraction.extract(item.BlockX, item.BlockY, *block_);
        } catch (const Error& e) {
            outcome.refusal = std::string("a freeze refuses the file here: ") + e.what();
            return outcome;
        }
        try {
            ScanHighestNumbers(section);
        } catch (const Error& e) {
            outcome.refusal = std::string("a melt refuses the file here: ") + e.what();
        }
        return outcome;
    }

    // Where in the section the refusal comes: the scans read top to bottom, so the first prefix
    // of lines that is refused ends with that line.
    std::size_t refusedAt(std::string_view section) {
        const std::vector<std::string_view> lines = LinesOf(section);
        const auto end = [&](std::size_t i) {
            return static_cast<std::size_t>(lines[i].data() + lines[i].size() - section.data());
        };
        std::size_t low = 0, high = lines.size() - 1;
        while (low < high) {
            const std::size_t mid = (low + high) / 2;
            if (run(section.substr(0, end(mid))).refusal)
                high = mid;
            else
                low = mid + 1;
        }
        return static_cast<std::size_t>(lines[low].data() - section.data());
    }

private:
    AutoSelectIDs noAutoIds_;
    std::unique_ptr<TStaticBlock> block_ = std::make_unique<TStaticBlock>();
};

// The whole file through the scans a freeze and a melt make: when none refuses it, no section
// needs a look of its own.
std::optional<ItemSelection> ScanWholeFile(std::string_view text) {
    try {
        const AutoSelectIDs noAutoIds;
        ItemSelection selection = SelectItems(text, SelectionMode::Type255, noAutoIds, DiscardLog);
        if (selection.BadHeaderOffset != std::string_view::npos)
            return std::nullopt;
        ScanHighestNumbers(text);
        std::vector<std::uint32_t> blocks;
        for (const SelectedItem& item : selection.Items)
            blocks.push_back(BlockKey(item));
        std::sort(blocks.begin(), blocks.end());
        blocks.erase(std::unique(blocks.begin(), blocks.end()), blocks.end());
        BlockItemExtraction extraction(text, selection);
        auto block = std::make_unique<TStaticBlock>();
        for (const std::uint32_t key : blocks)
            extraction.extract(static_cast<int>(key >> 16), static_cast<int>(key & 0xFFFF), *block);
        return selection;
    } catch (const Error&) {
        return std::nullopt;
    }
}

class ItemFileChecker {
public:
    ItemFileChecker(const std::string& path, std::string_view text, WorldCheckReport& report)
        : path_(path), name_(NameOf(path)), text_(text), numbers_(text), report_(report) {}

    void run() {
        if (auto whole = ScanWholeFile(text_)) {
            items_ = std::move(whole->Items);
        } else {
            eachSection();
            refuseCrowdedBlocks();
        }
        checkItems();
        checkSerials();
    }

private:
    std::size_t offsetOf(std::string_view part) const {
        return static_cast<std::size_t>(part.data() - text_.data());
    }
    void add(FindingKind kind, std::size_t offset, const std::string& text) {
        CheckFinding finding;
        finding.Kind = kind;
        finding.File = path_;
        finding.Line = numbers_.of(offset);
        finding.Text = name_ + " line " + to_string(finding.Line) + ": " + text;
        report_.add(std::move(finding));
    }

    // Every refusal, each in its section, and the items the freeze takes.
    void eachSection() {
        std::size_t start = 0, end = 0;
        ItemLineReader lines(text_);
        std::string_view line;
        while (lines.next(line)) {
            const std::size_t at = offsetOf(line);
            if (StartsSection(line) && at > start) {
                section(start, end);
                start = at;
            }
            end = at + line.size();
        }
        if (end > start)
            section(start, end);
    }

    void section(std::size_t start, std::size_t end) {
        const std::string_view text = text_.substr(start, end - start);
        SectionScans::Outcome outcome = scans_.run(text);
        if (outcome.refusal)
            add(FindingKind::RefusedSection, start + scans_.refusedAt(text), *outcome.refusal);
        for (SelectedItem& item : outcome.selection.Items) {
            item.Offset += start;
            items_.push_back(item);
        }
    }

    // A block list holds 2048 records: the extraction refuses a 2049th item for one block.
    void refuseCrowdedBlocks() {
        std::unordered_map<std::uint32_t, int> taken;
        for (const SelectedItem& item : items_)
            if (++taken[BlockKey(item)] == kMaxStaticsPerBlock + 1)
                add(FindingKind::RefusedSection, item.Offset,
                    "a freeze refuses the file here: " +
                        std::string(InvalidTag(item.Number).what()) +
                        " (the 2049th item of block (" + to_string(item.BlockX) + ", " +
                        to_string(item.BlockY) + "), which holds at most 2048)");
    }

    void checkItems() {
        report_.Figures.FreezableItems += static_cast<long long>(items_.size());
        for (const SelectedItem& item : items_)
            if (!report_.World.holdsBlock(item.BlockX, item.BlockY))
                add(FindingKind::ItemOutsideWorld, item.Offset,
                    "the TYPE 255 item " + to_string(item.Number) + " lies in block (" +
                        to_string(item.BlockX) + ", " + to_string(item.BlockY) + "), outside the " +
                        report_.World.text() +
                        " world: a freeze refuses the file (\"Invalid item in patch file! "
                        "(Item#: " +
                        to_string(item.Number) + ")\")");
    }

    // Counts the world item sections on the way.
    void checkSerials() {
        std::vector<std::pair<std::int32_t, std::size_t>> serials; // serial, offset
        ItemLineReader lines(text_);
        std::string_view line;
        while (lines.next(line)) {
            if (HasTag(line, kWorldItemHeader))
                ++report_.Figures.ItemSections;
            if (!HasTag(line, "SERIAL"))
                continue;
            try {
                serials.emplace_back(TagInt(TagValue(line, "SERIAL")), offsetOf(line));
            } catch (const Error&) {
                // a refused section, found above
            }
        }
        std::sort(serials.begin(), serials.end());
        struct Twice {
            std::size_t at, first;
            std::int32_t serial;
        };
        std::vector<Twice> twice;
        for (std::size_t i = 1; i < serials.size(); ++i)
            if (serials[i].first == serials[i - 1].first) {
                const bool third = !twice.empty() && twice.back().at == serials[i - 1].second;
                twice.push_back({serials[i].second,
                                 third ? twice.back().first : serials[i - 1].second,
                                 serials[i].first});
            }
        std::sort(twice.begin(), twice.end(),
                  [](const Twice& a, const Twice& b) { return a.at < b.at; });
        for (const Twice& t : twice)
            add(FindingKind::DuplicateSerial, t.at,
                "serial " + to_string(t.serial) + " (" + IntToSpacedHex(t.serial, 4) +
                    ") is also the serial at line " + to_string(numbers_.of(t.first)));
    }

    std::string path_, name_;
    std::string_view text_;
    LineNumbers numbers_;
    WorldCheckReport& report_;
    SectionScans scans_;
    std::vector<SelectedItem> items_; // the items a freeze takes, in file order
};

} // namespace

void CheckItemFile(const std::string& path, WorldCheckReport& report) {
    report.ItemsPath = path;
    const std::string text = ReadItemFile(path);
    ItemFileChecker(path, text, report).run();
}

} // namespace lw
