#include "diff/StaticRecords.h"

#include "util/Errors.h"
#include "world/Blocks.h"

#include <limits>

namespace lw {

std::string_view ReadStaticRecords(PieceReader& statics, const StaticPointer& entry) {
    if (entry.Offset == kNoStatics)
        return {};
    const std::size_t length = StaticRecordCount(entry) * kStaticRecSize;
    return {statics.read(static_cast<std::uint32_t>(entry.Offset), length), length};
}

StaticPointer AppendStaticRecords(PieceWriter& statics, std::string_view records,
                                  std::uint32_t extra) {
    const std::uint64_t end = statics.position();
    if (end + records.size() > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()))
        throw Error("statics0.mul would grow beyond 2,147,483,647 bytes; nothing was written");
    statics.write(records.data(), records.size());
    return {static_cast<std::int32_t>(end), static_cast<std::uint32_t>(records.size()), extra};
}

} // namespace lw
