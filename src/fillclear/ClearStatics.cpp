#include "fillclear/ClearStatics.h"

#include "world/Blocks.h"
#include "world/StaticRuns.h"

#include <cstring>

namespace lw {
namespace {

bool IsInside(const FillClearRequest& r, int tileX, int tileY) {
    return r.Left <= tileX && tileX <= r.Right && r.Top <= tileY && tileY <= r.Bottom;
}

StaticPointer RewriteBlock(const FillClearRequest& request, int blockX, int blockY,
                           const StaticPointer& entry, PieceReader& statics, PieceWriter& out,
                           std::vector<TStaticRec>& records) {
    const std::string_view read = ReadStaticRecords(statics, entry);
    records.resize(read.size() / kStaticRecSize);
    if (!read.empty())
        std::memcpy(records.data(), read.data(), read.size());
    const int kept = RemoveRecordsInside(request, blockX, blockY, records.data(),
                                         static_cast<int>(records.size()));
    return AppendStaticRecords(
        out, {reinterpret_cast<const char*>(records.data()), kept * kStaticRecSize}, entry.Extra);
}

} // namespace

int RemoveRecordsInside(const FillClearRequest& request, int blockX, int blockY,
                        TStaticRec* records, int count) {
    for (int i = 0; i < count;) {
        if (IsInside(request, blockX * kTilesPerBlockSide + records[i].X,
                     blockY * kTilesPerBlockSide + records[i].Y))
            records[i] = records[--count];
        else
            ++i;
    }
    return count;
}

std::unique_ptr<StaticIndexTable> ClearStatics(const FillClearRequest& request,
                                               const WorldSize& world, StaticsAppend& appended,
                                               Progress& progress) {
    auto table = std::make_unique<StaticIndexTable>(world);
    NullProgress quiet;
    ReadStaticIndex(request.StaIdxPath, *table, quiet);
    File staticsIn = File::OpenRead(request.StaticsPath);
    PieceReader statics(staticsIn);
    PieceWriter out(appended.appendFile());
    std::vector<TStaticRec> records;
    for (int blockX = 0; blockX < world.BlockColumns; ++blockX) {
        for (int blockY = 0; blockY < world.BlockRows; ++blockY) {
            StaticPointer& entry = table->at(blockX, blockY);
            switch (ClassifyBlock(request.Left, request.Top, request.Right, request.Bottom, blockX,
                                  blockY)) {
            case BlockCover::Inside:
                entry = {kNoStatics, 0xFFFFFFFFu, 0};
                break;
            case BlockCover::Partly:
                entry = RewriteBlock(request, blockX, blockY, entry, statics, out, records);
                break;
            default:
                break;
            }
        }
        progress.report(blockX * 100 / (world.BlockColumns - 1));
        progress.yield();
    }
    out.flush();
    if (out.position() > appended.oldSize())
        appended.sync();
    staticsIn.close();
    return table;
}

} // namespace lw
