#include "items/StagedWrites.h"

#include <vector>

namespace lw {
namespace {

// Copies what the old index holds past the table (the index of a wider map).
void CopyIndexTail(const std::string& path, File& out) {
    if (!FileExists(path))
        return;
    File old = File::OpenRead(path);
    if (old.size() <= kIndexFileSize)
        return;
    old.seek(kIndexFileSize);
    std::vector<char> buffer(1 << 20);
    while (const std::size_t got = old.readSome(buffer.data(), buffer.size()))
        out.write(buffer.data(), got);
    old.close();
}

} // namespace

std::unique_ptr<ReplacementFile>
StageStaticIndex(const std::string& path, const StaticIndexTable& table, Progress& progress) {
    auto replacement = std::make_unique<ReplacementFile>(path);
    File& out = replacement->file();
    for (int blockX = 0; blockX < kBlockColumns; ++blockX) {
        out.write(&table.at(blockX, 0), kIndexColumnSize);
        progress.report(90 + blockX * 10 / kBlockColumns);
        progress.yield();
    }
    CopyIndexTail(path, out);
    replacement->finish();
    return replacement;
}

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
