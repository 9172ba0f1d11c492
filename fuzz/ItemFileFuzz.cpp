// Feeds arbitrary text as an item file to every routine that reads one: the highest-number scan,
// the selection in both modes with the rewrite of what stays, the extraction of every block the
// selection names, and the appender. Each either works or refuses with an Error.
#include "FuzzFiles.h"
#include "items/AppendItems.h"
#include "items/ExtractBlockItems.h"
#include "items/ItemLines.h"
#include "items/NormalisedCopy.h"
#include "items/ScanHighestNumbers.h"
#include "items/SelectItems.h"
#include "util/Errors.h"
#include "util/File.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <set>
#include <utility>

namespace {

using namespace lw;

// The IDs an "auto" freeze takes here: a spread that the seeds' items hit.
const AutoSelectIDs& AutoIds() {
    static const AutoSelectIDs ids = [] {
        AutoSelectIDs set;
        for (std::size_t id = 0; id < set.size(); id += 7)
            set.set(id);
        return set;
    }();
    return ids;
}

void ExtractEveryBlock(std::string_view text, const ItemSelection& selection) {
    std::set<std::pair<int, int>> blocks;
    for (const SelectedItem& item : selection.Items)
        blocks.insert({item.BlockX, item.BlockY});
    BlockItemExtraction extraction(text, selection);
    auto block = std::make_unique<TStaticBlock>();
    for (const auto& [blockX, blockY] : blocks) {
        try {
            extraction.extract(blockX, blockY, *block);
        } catch (const Error&) {
        }
    }
}

void Select(std::string_view text, SelectionMode mode) {
    const LogSink quiet = [](const std::string&) {};
    File out = File::Create(fuzz::ScratchFile("remaining.txt"));
    TextWriter writer(out);
    RemainingItemsWriter remaining(writer);
    ItemSelection selection;
    try {
        selection = SelectItems(text, mode, AutoIds(), quiet, remaining);
    } catch (const Error&) {
        return;
    }
    remaining.finish();
    writer.flush();
    out.close();
    ExtractEveryBlock(text, selection);
}

// The normalised copy of the text, and whether it ended inside a body.
std::pair<std::string, bool> NormalisedText(std::string_view text) {
    const std::string path = fuzz::ScratchFile("copy.txt");
    File out = File::Create(path);
    TextWriter writer(out);
    NormalisedCopy copy(writer);
    ItemLineReader lines(text);
    for (std::string_view line; lines.next(line);)
        copy.copy(line);
    writer.flush();
    out.close();
    return {fuzz::ReadBytes(path), copy.insideBody()};
}

// Copying a copy changes nothing, unless the text ends inside an unclosed body.
void CheckNormalisedCopy(std::string_view text) {
    const auto [once, open] = NormalisedText(text);
    if (!open && NormalisedText(once).first != once)
        std::abort();
}

void Append(std::string_view text) {
    const std::string path = fuzz::ScratchFile("items.wsc");
    fuzz::WriteBytes(path, text);
    auto block = std::make_unique<TStaticBlock>();
    block->Count = 2;
    block->Recs[0] = {0x0EED, 1, 2, -5, 0};
    block->Recs[1] = {0xFFFF, 7, 7, 127, 0xFFFF};
    const LogSink quiet = [](const std::string&) {};
    try {
        ItemAppender appender(path, text.size() % 2 ? ItemFileStyle::Pol : ItemFileStyle::Uox3);
        appender.add(*block, 767, 511, quiet);
        appender.add(*block, 0, 0, quiet);
        appender.stage(); // the staged file is dropped uncommitted
    } catch (const Error&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::AsText(data, size);
    try {
        ScanHighestNumbers(text);
    } catch (const Error&) {
    }
    Select(text, SelectionMode::Type255);
    Select(text, SelectionMode::Auto);
    CheckNormalisedCopy(text);
    Append(text);
    return 0;
}
