#include "fillclear/FillClear.h"

#include "fillclear/ClearStatics.h"
#include "fillclear/FillTerrain.h"
#include "world/IndexRollback.h"
#include "world/StaticRuns.h"
#include "util/Errors.h"
#include "util/File.h"
#include "util/ReplacementSet.h"

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

bool HoldsWorldTile(const FillClearRequest& request) {
    return request.Left <= request.Right && request.Top <= request.Bottom &&
           request.Left < kWorldWidth && request.Top < kWorldHeight;
}

void FillClear(ProgramState& state, const FillClearRequest& request, Progress& progress) {
    CheckBorders(request);
    RefuseSharedFiles(request);
    ReplacementSet replacements;
    std::unique_ptr<StaticsAppend> appended;
    std::unique_ptr<StaticIndexTable> cleared;
    std::unique_ptr<ReplacementFile> index, map;
    if (request.ClearStatics) {
        appended = std::make_unique<StaticsAppend>(request.StaticsPath);
        cleared = ClearStatics(request, *appended, progress);
        YieldOnly quiet(progress);
        index = StageStaticIndex(request.StaIdxPath, *cleared, quiet);
        replacements.add(index.get());
    }
    std::uint32_t seed = state.RandomSeed;
    if (request.FillTerrain) {
        map = StageFilledMap(request, seed, progress);
        replacements.add(map.get());
    }
    replacements.commit();
    if (appended)
        appended->keep();
    state.RandomSeed = seed;
    if (cleared && state.StaticIndexLoaded && SameFile(state.StaticIndexPath, request.StaIdxPath))
        state.StaticIndex = std::move(*cleared);
}

} // namespace lw
