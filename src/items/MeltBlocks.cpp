#include "items/MeltBlocks.h"

#include "items/AppendItems.h"
#include "items/OperationPaths.h"
#include "util/Errors.h"
#include "util/OperationFiles.h"
#include "util/ReplacementSet.h"
#include "world/FileRoles.h"
#include "world/IndexRollback.h"
#include "world/StaticRuns.h"
#include "world/WorldFileNames.h"

#include <memory>

namespace lw {
namespace {

std::string BlockLine(int blockX, int blockY) {
    return "Extracting from Statics... XBlock: " + std::to_string(blockX) +
           " YBlock: " + std::to_string(blockY) + "   Appending to WSC...";
}

} // namespace

void MeltBlocks(ProgramState& state, const MeltRequest& request, const LogSink& log,
                Progress& progress) {
    CheckItemFilePath(request.staidx, request.statics, request.itemFile);
    FacetOfFiles({request.staidx, request.statics});
    const OperationFiles files({{kStaticsIndexRole, request.staidx, FileUse::Write},
                                {kStaticsFileRole, request.statics, FileUse::Read},
                                {kItemFileRole, request.itemFile, FileUse::Write}},
                               log);
    RequireItemText(files, kItemFileRole);
    RequireIndexUnchanged(state, request.staidx);
    progress.report(0);
    IndexRollback rollback(state.StaticIndex);
    StaticRunReader statics(request.statics);
    ItemAppender items(request.itemFile, request.style);
    auto block = std::make_unique<TStaticBlock>();
    const BlockRange& range = request.range;
    for (int blockX = range.FirstX; blockX <= range.LastX; ++blockX)
        for (int blockY = range.FirstY; blockY <= range.LastY; ++blockY) {
            log(BlockLine(blockX, blockY));
            if (!state.StaticIndex.world().holdsBlock(blockX, blockY))
                throw RangeError();
            StaticPointer& entry = state.StaticIndex.at(blockX, blockY);
            statics.read(entry, *block);
            items.add(*block, blockX, blockY, log);
            entry = {kNoStatics, 0, 0};
            progress.yield();
        }

    std::unique_ptr<ReplacementFile> itemFile = items.hasItems() ? items.stage() : nullptr;
    log("Writing StaIdx file...");
    auto index = StageStaticIndex(request.staidx, state.StaticIndex, progress);
    // Items first: killed before the index, the items are in both files, never in neither.
    ReplacementSet replacements;
    replacements.add(itemFile.get());
    replacements.add(index.get());
    replacements.commit();
    rollback.release();
    NoteIndexWritten(state, request.staidx);
    log("Done!");
    progress.report(100);
}

} // namespace lw
