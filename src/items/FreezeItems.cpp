#include "items/FreezeItems.h"

#include "items/AppendItems.h"
#include "items/AutoSelect.h"
#include "items/ExtractBlockItems.h"
#include "items/ItemLines.h"
#include "items/OperationPaths.h"
#include "util/Errors.h"
#include "util/OperationFiles.h"
#include "util/ReplacementSet.h"
#include "world/Blocks.h"
#include "world/CrowdedBlocks.h"
#include "world/FileRoles.h"
#include "world/IndexRollback.h"
#include "world/StaticRuns.h"
#include "world/WorldFileNames.h"

#include <exception>
#include <memory>
#include <optional>

namespace lw {
namespace {

void CheckPaths(const FreezeRequest& r) {
    CheckItemFilePath(r.staidx, r.statics, r.itemFile);
    FacetOfFiles({r.staidx, r.statics});
    if (r.writePat)
        CheckPatchFilePath(r.staidx, r.statics, r.itemFile, r.patchFile);
}

// The index and item file are replaced, statics0.mul grows in place, the patch file (when
// written) is appended to; each item file must be text.
std::vector<DeclaredFile> FreezeFiles(const FreezeRequest& r) {
    std::vector<DeclaredFile> files{{kStaticsIndexRole, r.staidx, FileUse::Write},
                                    {kStaticsFileRole, r.statics, FileUse::Write},
                                    {kItemFileRole, r.itemFile, FileUse::Write}};
    if (r.writePat)
        files.push_back({kPatchFileRole, r.patchFile, FileUse::Write});
    return files;
}

// The blocks that receive items, in block order; every selected item is checked first.
std::vector<int> FlaggedBlocks(const ItemSelection& selection, const WorldSize& world) {
    std::vector<const SelectedItem*> byNumber;
    for (const SelectedItem& item : selection.Items)
        byNumber.push_back(&item);
    std::stable_sort(
        byNumber.begin(), byNumber.end(),
        [](const SelectedItem* a, const SelectedItem* b) { return a->Number < b->Number; });
    std::vector<bool> flags(static_cast<std::size_t>(world.blockCount()));
    for (const SelectedItem* item : byNumber) {
        if (!world.holdsBlock(item->BlockX, item->BlockY))
            throw Error("Invalid item in patch file! (Item#: " + std::to_string(item->Number) +
                        ")");
        flags[static_cast<std::size_t>(world.blockNumber(item->BlockX, item->BlockY))] = true;
    }
    std::vector<int> blocks;
    for (int number = 0; number < world.blockCount(); ++number)
        if (flags[static_cast<std::size_t>(number)])
            blocks.push_back(number);
    return blocks;
}

std::string BlockLine(int blockX, int blockY) {
    return "Extracting from WSC... XBlock: " + std::to_string(blockX) +
           " YBlock: " + std::to_string(blockY) + "   Appending to Statics...";
}

std::string PatchLine(int blockX, int blockY) {
    return "Appending to PAT-File... XBlock: " + std::to_string(blockX) +
           " YBlock: " + std::to_string(blockY);
}

// The merged runs of all blocks, laid out as AppendStaticBlock would append them one by one.
class NewRuns {
public:
    explicit NewRuns(std::string staticsPath) : path_(std::move(staticsPath)) {}

    void add(StaticPointer& entry, const TStaticBlock& block) {
        if (!append_)
            append_.emplace(path_);
        const std::uint64_t length = block.Count * kStaticRecSize;
        entry = PlaceStaticRun(append_->oldSize() + bytes_.size(), length, entry.Extra);
        bytes_.append(reinterpret_cast<const char*>(block.Recs), length);
    }
    void write() {
        if (append_)
            append_->write(bytes_);
    }
    void keep() {
        if (append_)
            append_->keep();
    }
    // The file they were appended to, for the restore point.
    void note(ReplacementSet& replacements) const {
        if (append_)
            replacements.appended(path_, append_->oldSize());
    }

private:
    std::string path_;
    std::optional<StaticsAppend> append_;
    std::string bytes_;
};

struct ItemFileScan {
    ItemSelection selection;
    std::unique_ptr<ReplacementFile> rewrite; // the item file without the selected items
    std::exception_ptr cannotRewrite;         // matters only once an item has to leave the file
};

// Selects the items and, in the same pass, writes the item file without them beside the old
// one, to be put in place only when the freeze completes.
ItemFileScan SelectAndRewrite(const FreezeRequest& request, std::string_view text,
                              const AutoSelectIDs& autoIds, const LogSink& log) {
    ItemFileScan scan;
    try {
        scan.rewrite = std::make_unique<ReplacementFile>(request.itemFile);
    } catch (const Error&) {
        scan.cannotRewrite = std::current_exception();
        scan.selection = SelectItems(text, request.selection, autoIds, log);
        return scan;
    }
    TextWriter out(scan.rewrite->file());
    RemainingItemsWriter remaining(out);
    scan.selection = SelectItems(text, request.selection, autoIds, log, remaining);
    remaining.finish();
    out.flush();
    return scan;
}

} // namespace

void FreezeItems(ProgramState& state, const FreezeRequest& request, const AutoSelectIDs& autoIds,
                 const LogSink& log, Progress& progress) {
    CheckPaths(request);
    const OperationFiles files(FreezeFiles(request), log);
    RequireItemText(files, kItemFileRole);
    if (request.writePat)
        RequireItemText(files, kPatchFileRole);
    RequireIndexUnchanged(state, request.staidx);
    progress.report(0);
    IndexRollback rollback(state.StaticIndex);
    const bool itemFileExists = FileExists(request.itemFile);
    const std::string text = itemFileExists ? ReadItemFile(request.itemFile) : std::string();
    ItemFileScan scan;
    if (itemFileExists)
        scan = SelectAndRewrite(request, text, autoIds, log);
    else
        log("Nothing to do!");
    const ItemSelection& selection = scan.selection;
    std::unique_ptr<ReplacementFile>& itemFile = scan.rewrite;
    const WorldSize& world = state.StaticIndex.world();
    const std::vector<int> blocks = FlaggedBlocks(selection, world);

    BlockItemExtraction extraction(text, selection);
    StaticRunReader statics(request.statics);
    NewRuns runs(request.statics);
    ItemAppender patch(request.patchFile, request.style);
    auto extracted = std::make_unique<TStaticBlock>();
    auto merged = std::make_unique<TStaticBlock>();
    for (std::size_t done = 0; done < blocks.size(); ++done) {
        const int blockX = world.blockXOf(blocks[done]), blockY = world.blockYOf(blocks[done]);
        log(BlockLine(blockX, blockY));
        if (scan.cannotRewrite)
            std::rethrow_exception(scan.cannotRewrite);
        extraction.extract(blockX, blockY, *extracted);
        StaticPointer& entry = state.StaticIndex.at(blockX, blockY);
        statics.read(entry, *merged);
        MergeStaticBlocks(*merged, *extracted);
        runs.add(entry, *merged);
        if (request.writePat) {
            log(PatchLine(blockX, blockY));
            patch.add(*extracted, blockX, blockY, log);
        }
        progress.report(static_cast<int>((done + 1) * 90 / blocks.size()));
        progress.yield();
    }

    runs.write();
    if (blocks.empty())
        itemFile.reset(); // nothing taken: the item file stays as it is
    else
        itemFile->finish();
    std::unique_ptr<ReplacementFile> patchFile = patch.hasItems() ? patch.stage() : nullptr;
    log("Writing staidx file...");
    auto index = StageStaticIndex(request.staidx, state.StaticIndex, progress);
    // Patch, then index, then item file: killed in between, the frozen items are at worst
    // both statics and items (or twice in the patch after a second freeze), never lost.
    ReplacementSet replacements;
    replacements.add(patchFile.get());
    replacements.add(index.get());
    replacements.add(itemFile.get());
    runs.note(replacements);
    try {
        replacements.commit();
    } catch (const UndoFailedError&) {
        runs.keep(); // the index on disk may point into them
        throw;
    }
    runs.keep();
    rollback.release();
    NoteIndexWritten(state, request.staidx);
    log("Done!");
    progress.report(100);
}

void FreezeWorld(ProgramState& state, const FreezeRequest& request, const LogSink& log,
                 Progress& progress) {
    CheckPaths(request);
    auto autoIds = std::make_unique<AutoSelectIDs>();
    if (request.selection == SelectionMode::Auto)
        LoadAutoSelect(request.autoSelectFile, *autoIds);
    log(kFreezeStartLine);
    const StaticIndexTable before = state.StaticIndex;
    FreezeItems(state, request, *autoIds, log, progress);
    state.FreezeDone = true;
    log(kFreezeDoneLine);
    if (const auto warning = CrowdedBlocksWarning(CrowdedBlocksWritten(before, state.StaticIndex),
                                                  state.StaticIndex.world()))
        log(*warning);
}

} // namespace lw
