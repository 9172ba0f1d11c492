#include "items/StagedWrites.h"

#include <vector>

namespace lw {

void CommitInOrder(const std::vector<StagedFile>& files) {
    std::size_t committed = 0;
    try {
        for (; committed < files.size(); ++committed)
            if (files[committed].file)
                files[committed].file->commit();
    } catch (...) {
        while (committed-- > 0) {
            if (!files[committed].file)
                continue;
            try {
                files[committed].restore();
            } catch (...) {
                // The first failure is the one to report; items are at worst in two places.
            }
        }
        throw;
    }
}

StaticsAppend::StaticsAppend(const std::string& staticsPath)
    : file_(File::OpenReadWrite(staticsPath)), oldSize_(file_.size()) {}

StaticsAppend::~StaticsAppend() {
    if (kept_ || !written_)
        return;
    try {
        file_.truncate(oldSize_);
        file_.sync();
    } catch (...) {
        // Only dead space past the last run is left; no index entry points there.
    }
}

void StaticsAppend::write(const std::string& runs) {
    written_ = true;
    file_.seek(oldSize_);
    file_.write(runs.data(), runs.size());
    file_.sync();
}

} // namespace lw
