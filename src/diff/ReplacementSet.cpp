#include "diff/ReplacementSet.h"

#include "util/File.h"

#include <string>
#include <unistd.h>

namespace lw {
namespace {

struct Step {
    ReplacementFile* file;
    std::string aside; // where the old target waits; empty when there was none
    bool inPlace = false;
};

void RenameQuietly(const std::string& from, const std::string& to) noexcept {
    try {
        RenameFile(from, to);
    } catch (...) {
    }
}

// Back to how it was: the new content returns to its temporary name, which the
// ReplacementFile removes, and the old target to its own.
void Undo(std::vector<Step>& steps) noexcept {
    for (auto it = steps.rbegin(); it != steps.rend(); ++it) {
        if (it->inPlace)
            RenameQuietly(it->file->target(), it->file->temporaryPath());
        if (!it->aside.empty())
            RenameQuietly(it->aside, it->file->target());
    }
}

} // namespace

void ReplacementSet::commit() {
    for (ReplacementFile* file : files_)
        file->finish();
    std::vector<Step> steps;
    try {
        for (ReplacementFile* file : files_) {
            Step& step = steps.emplace_back(Step{file, {}});
            if (FileExists(file->target())) {
                const std::string aside = file->target() + ".lw-old-" + std::to_string(::getpid());
                RenameFile(file->target(), aside);
                step.aside = aside;
            }
            RenameFile(file->temporaryPath(), file->target());
            step.inPlace = true;
        }
    } catch (...) {
        Undo(steps);
        throw;
    }
    for (const Step& step : steps)
        if (!step.aside.empty())
            RemoveFileQuietly(step.aside);
}

} // namespace lw
