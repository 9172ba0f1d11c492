#include "fillclear/FillClear.h"

#include "fillclear/ClearStatics.h"
#include "fillclear/FillTerrain.h"
#include "util/Errors.h"
#include "util/File.h"
#include "util/OperationFiles.h"
#include "util/ReplacementSet.h"
#include "world/FileRoles.h"
#include "world/IndexRollback.h"
#include "world/MapFile.h"
#include "world/StaticRuns.h"
#include "world/WorldFileNames.h"
#include "world/WorldOfFiles.h"

#include <memory>

namespace lw {
namespace {

// Staged files replace their targets by name, so two roles on one file would have one
// replacement undo the other.
void RefuseSharedFiles(const FillClearRequest& request) {
    std::vector<const std::string*> used;
    if (request.ClearStatics)
        used = {&request.StaIdxPath, &request.StaticsPath};
    if (request.FillTerrain)
        used.push_back(&request.MapPath);
    for (std::size_t i = 0; i < used.size(); ++i)
        for (std::size_t j = i + 1; j < used.size(); ++j)
            if (*used[i] == *used[j] || SameFile(*used[i], *used[j]))
                throw Error("StaIdx0.mul, Statics0.mul and Map0.mul must be three different "
                            "files!");
}

std::vector<DeclaredFile> FillClearFiles(const FillClearRequest& request) {
    std::vector<DeclaredFile> files;
    if (request.ClearStatics) {
        files.push_back({kStaticsIndexRole, request.StaIdxPath, FileUse::Write});
        files.push_back({kStaticsFileRole, request.StaticsPath, FileUse::Write});
    }
    if (request.FillTerrain)
        files.push_back({kMapFileRole, request.MapPath, FileUse::Write});
    return files;
}

void CheckBorders(const FillClearRequest& request) {
    for (const int border : {request.Top, request.Left, request.Right, request.Bottom})
        CheckRange(border, 0, 65535);
}

// The index is written between the passes; its own 90-99 steps are not this operation's.
class YieldOnly : public Progress {
public:
    explicit YieldOnly(Progress& inner) : inner_(inner) {}
    void report(int) override {}
    void yield() override { inner_.yield(); }

private:
    Progress& inner_;
};

} // namespace

bool HoldsWorldTile(const FillClearRequest& request, const WorldSize& world) {
    return request.Left <= request.Right && request.Top <= request.Bottom &&
           request.Left < world.width() && request.Top < world.height();
}

bool HoldsWorldTile(const FillClearRequest& request) {
    return HoldsWorldTile(request, kClassicWorld);
}

WorldSize FillClearWorld(const FillClearRequest& request) {
    std::vector<std::string> used;
    if (request.ClearStatics)
        used = {request.StaIdxPath, request.StaticsPath};
    if (request.FillTerrain)
        used.push_back(request.MapPath);
    FacetOfFiles(used);
    if (!request.FillTerrain)
        return IndexWorld(request.StaIdxPath);
    return request.ClearStatics ? WorldOfMapAndIndex(request.MapPath, request.StaIdxPath)
                                : MapWorld(request.MapPath);
}

WorldSize ReadFillClearWorld(const FillClearRequest& request, const LogSink& log) {
    std::vector<DeclaredFile> read = FillClearFiles(request);
    for (DeclaredFile& file : read)
        file.use = FileUse::Read;
    const OperationFiles files(std::move(read), log);
    return FillClearWorld(request);
}

void FillClear(ProgramState& state, const FillClearRequest& request, Progress& progress,
               const LogSink& log) {
    CheckBorders(request);
    RefuseSharedFiles(request);
    const OperationFiles files(FillClearFiles(request), log);
    // A container that cannot be written back is refused here, before the first write.
    const WorldSize world = FillClearWorld(request);
    ReplacementSet replacements;
    std::unique_ptr<StaticsAppend> appended;
    std::unique_ptr<StaticIndexTable> cleared;
    std::unique_ptr<ReplacementFile> index;
    std::unique_ptr<StagedMap> map;
    if (request.ClearStatics) {
        appended = std::make_unique<StaticsAppend>(request.StaticsPath);
        cleared = ClearStatics(request, world, *appended, progress);
        YieldOnly quiet(progress);
        index = StageStaticIndex(request.StaIdxPath, *cleared, quiet);
        replacements.add(index.get());
    }
    std::uint32_t seed = state.RandomSeed;
    if (request.FillTerrain) {
        map = StageFilledMap(request, world, seed, progress);
        replacements.add(map->replacement());
    }
    if (appended)
        replacements.appended(request.StaticsPath, appended->oldSize());
    try {
        replacements.commit();
    } catch (const UndoFailedError&) {
        if (appended)
            appended->keep(); // the index on disk may point into the runs
        throw;
    }
    if (appended)
        appended->keep();
    state.RandomSeed = seed;
    if (cleared && state.StaticIndexLoaded && SameFile(state.StaticIndexPath, request.StaIdxPath)) {
        state.StaticIndex = std::move(*cleared);
        NoteIndexWritten(state, request.StaIdxPath);
    }
}

} // namespace lw
