#include "items/StaticBlockReader.h"

#include "world/Blocks.h"

namespace lw {

void StaticBlockReader::read(const StaticPointer& entry, TStaticBlock& block) {
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

} // namespace lw
