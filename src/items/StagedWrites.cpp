#include "items/StagedWrites.h"

namespace lw {

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

File& StaticsAppend::appendFile() {
    written_ = true;
    file_.seek(oldSize_);
    return file_;
}

} // namespace lw
