#include "world/StaticRuns.h"

#include "util/Errors.h"

#include <limits>

namespace lw {

int StaticRecordCount(const StaticPointer& entry) {
    if (entry.Length % kStaticRecSize != 0)
        throw Error("StaticPointer.Length is not a multiple of SizeOf(TStaticRec)");
    if (entry.Length > kMaxStaticBlockBytes)
        throw Error("Static block too large: " + std::to_string(entry.Length / kStaticRecSize) +
                    " records (a block holds at most 2048)");
    return static_cast<int>(entry.Length / kStaticRecSize);
}

StaticPointer PlaceStaticRun(std::uint64_t end, std::uint64_t length, std::uint32_t extra) {
    if (end + length > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()))
        throw Error("statics0.mul would grow beyond 2,147,483,647 bytes; nothing was written");
    return {static_cast<std::int32_t>(end), static_cast<std::uint32_t>(length), extra};
}

std::string_view ReadStaticRecords(PieceReader& statics, const StaticPointer& entry) {
    if (entry.Offset == kNoStatics)
        return {};
    const std::size_t length = StaticRecordCount(entry) * kStaticRecSize;
    return {statics.read(static_cast<std::uint32_t>(entry.Offset), length), length};
}

StaticPointer AppendStaticRecords(PieceWriter& statics, std::string_view records,
                                  std::uint32_t extra) {
    const StaticPointer placed = PlaceStaticRun(statics.position(), records.size(), extra);
    statics.write(records.data(), records.size());
    return placed;
}

void StaticRunReader::read(const StaticPointer& entry, TStaticBlock& block) {
    block.Count = 0;
    if (entry.Offset == kNoStatics)
        return;
    if (!file_)
        file_.emplace(File::OpenRead(path_));
    file_->seek(static_cast<std::uint32_t>(entry.Offset));
    const int count = StaticRecordCount(entry);
    file_->readExact(block.Recs, entry.Length);
    block.Count = static_cast<std::uint16_t>(count);
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
        // Only dead space past the last run is left; no index entry on disk points there.
    }
}

File& StaticsAppend::appendFile() {
    written_ = true;
    file_.seek(oldSize_);
    return file_;
}

void StaticsAppend::write(std::string_view runs) {
    written_ = true;
    file_.seek(oldSize_);
    file_.write(runs.data(), runs.size());
    file_.sync();
}

} // namespace lw
