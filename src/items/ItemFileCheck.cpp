#include "items/ItemFileCheck.h"

#include "items/ExtractBlockItems.h"
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

// Line numbers as an editor shows them: CR LF, LF and CR each end one line.
class LineNumbers {
public:
    explicit LineNumbers(std::string_view text) {
        starts_.push_back(0);
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            if (text[i] == '\r' || text[i] == '\n')
                starts_.push_back(i + 1);
        }
    }
    long long of(std::size_t offset) const {
        return std::upper_bound(starts_.begin(), starts_.end(), offset) - starts_.begin();
    }

private:
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

class ItemFileChecker {
public:
    ItemFileChecker(const std::string& path, WorldCheckReport& report)
        : path_(path), name_(NameOf(path)), report_(report) {}

    void run(std::string_view text) {
        const LineNumbers numbers(text);
        numbers_ = &numbers;
        text_ = text;
        std::size_t start = 0, end = 0;
        ItemLineReader lines(text);
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

private:
    std::size_t offsetOf(std::string_view part) const {
        return static_cast<std::size_t>(part.data() - text_.data());
    }
    void add(FindingKind kind, std::size_t offset, const std::string& text) {
        CheckFinding finding;
        finding.Kind = kind;
        finding.File = path_;
        finding.Line = numbers_->of(offset);
        finding.Text = name_ + " line " + to_string(finding.Line) + ": " + text;
        report_.add(std::move(finding));
    }

    void section(std::size_t start, std::size_t end) {
        const std::string_view text = text_.substr(start, end - start);
        const std::string_view header = text.substr(0, text.find_first_of("\r\n"));
        if (HasTag(header, kWorldItemHeader))
            ++report_.Figures.ItemSections;
        SectionScans::Outcome outcome = scans_.run(text);
        if (outcome.refusal)
            add(FindingKind::RefusedSection, start + scans_.refusedAt(text), *outcome.refusal);
        for (const SelectedItem& item : outcome.selection.Items) {
            ++report_.Figures.FreezableItems;
            if (item.BlockX >= report_.World.blockColumns() ||
                item.BlockY >= report_.World.blockRows())
                add(FindingKind::ItemOutsideWorld, start,
                    "the TYPE 255 item " + to_string(item.Number) + " lies in block (" +
                        to_string(item.BlockX) + ", " + to_string(item.BlockY) + "), outside the " +
                        report_.World.name() +
                        " world: a freeze refuses the file (\"Invalid item in patch file! "
                        "(Item#: " +
                        to_string(item.Number) + ")\")");
        }
        checkSerials(text);
    }

    void checkSerials(std::string_view section) {
        ItemLineReader lines(section);
        std::string_view line;
        while (lines.next(line)) {
            if (!HasTag(line, "SERIAL"))
                continue;
            std::int32_t serial = 0;
            try {
                serial = TagInt(TagValue(line, "SERIAL"));
            } catch (const Error&) {
                continue; // a refused section, found above
            }
            const std::size_t at = offsetOf(line);
            const auto [first, fresh] = serials_.try_emplace(serial, numbers_->of(at));
            if (!fresh)
                add(FindingKind::DuplicateSerial, at,
                    "serial " + to_string(serial) + " (" + IntToSpacedHex(serial, 4) +
                        ") is also the serial at line " + to_string(first->second));
        }
    }

    std::string path_, name_;
    WorldCheckReport& report_;
    std::string_view text_;
    const LineNumbers* numbers_ = nullptr;
    SectionScans scans_;
    std::unordered_map<std::int32_t, long long> serials_;
};

} // namespace

void CheckItemFile(const std::string& path, WorldCheckReport& report) {
    report.ItemsPath = path;
    const std::string text = ReadItemFile(path);
    ItemFileChecker(path, report).run(text);
}

} // namespace lw
