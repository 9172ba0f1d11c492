#include "util/ReplacementSet.h"

#include "util/File.h"

#include <string>
#include <unistd.h>

namespace lw {
namespace {

struct Step {
    ReplacementFile* file;
    std::string aside; // a second name of the old target; empty when there was none
    bool inPlace = false;
};

void RenameQuietly(const std::string& from, const std::string& to) noexcept {
    try {
        RenameFile(from, to);
    } catch (...) {
    }
}

// Back to how it was: each replaced target gets its old content back in one rename; a target
// that did not exist before goes back to its temporary name, which the ReplacementFile removes;
// a target not yet replaced only loses its second name.
void Undo(std::vector<Step>& steps) noexcept {
    for (auto it = steps.rbegin(); it != steps.rend(); ++it) {
        if (it->inPlace && !it->aside.empty())
            RenameQuietly(it->aside, it->file->target());
        else if (it->inPlace)
            RenameQuietly(it->file->target(), it->file->temporaryPath());
        else if (!it->aside.empty())
            RemoveFileQuietly(it->aside);
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
                LinkFile(file->target(), aside);
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
