#include "world/Compaction.h"

#include "util/Errors.h"
#include "util/File.h"
#include "util/FilePieces.h"
#include "util/OperationFiles.h"
#include "util/ReplacementSet.h"
#include "util/SafeReplace.h"
#include "world/AdoptWrittenIndex.h"
#include "world/FileRoles.h"
#include "world/StaticRuns.h"
#include "world/WorldFileNames.h"
#include "world/WorldSizes.h"

#include <cstring>
#include <optional>

namespace lw {
namespace {

using std::to_string;

struct IndexFile {
    std::vector<StaticPointer> entries; // every whole entry
    std::string partial;                // the bytes of a partial entry at the end
};

IndexFile ReadIndexFile(const std::string& path) {
    File file = File::OpenRead(path);
    const std::uint64_t size = file.size();
    IndexFile index;
    index.entries.resize(size / kIndexEntrySize);
    index.partial.resize(size % kIndexEntrySize);
    file.readExact(index.entries.data(), index.entries.size() * kIndexEntrySize);
    file.readExact(index.partial.data(), index.partial.size());
    file.close();
    return index;
}

// A stretch of the old statics0.mul that goes over whole: runs that follow each other there as
// they will in the new file.
struct Piece {
    std::uint32_t Offset = 0;
    std::uint32_t Length = 0;
};

// Where each block's run goes, worked out from the entries alone.
struct Layout {
    std::vector<Piece> pieces; // of the old file, in the new file's order
    std::uint64_t size = 0;    // of the new file
    long long runs = 0;
    bool changed = false; // an entry moves
};

[[noreturn]] void RefuseEntry(const std::string& staidxPath, const std::string& staticsPath,
                              std::size_t entryCount, int n, const StaticPointer& e,
                              std::uint64_t staticsSize) {
    const auto world =
        WorldSizeOfIndexBytes(FacetOfWorldFileName(staidxPath), entryCount * kIndexEntrySize);
    throw Error("The index entry of " + BlockName(world.value_or(kClassicWorld), n) + " (offset " +
                to_string(e.Offset) + ", length " + to_string(e.Length) + ") points outside " +
                NameOf(staticsPath) + " (" + to_string(staticsSize) +
                " bytes), so its statics cannot be kept. Nothing was changed.");
}

// The new offset of each run placed so far, by its old offset and length: blocks pointing at the
// very same run keep sharing one. Open addressing in one flat table: a world has a few hundred
// thousand runs, and a node per run would cost more than copying them.
class PlacedRuns {
public:
    explicit PlacedRuns(std::size_t runs) {
        std::size_t capacity = 16;
        while (capacity < 2 * runs)
            capacity *= 2;
        slots_.assign(capacity, {});
        mask_ = capacity - 1;
    }
    // Where the run went, or nothing; place() records it.
    std::optional<std::int32_t> find(const StaticPointer& e) {
        const Slot& slot = slotOf(e);
        return slot.key != 0 ? std::optional(slot.offset) : std::nullopt;
    }
    void place(const StaticPointer& e, std::int32_t offset) { slotOf(e) = {KeyOf(e), offset}; }

private:
    struct Slot {
        std::uint64_t key = 0; // 0: free (a run has a length)
        std::int32_t offset = 0;
    };
    static std::uint64_t KeyOf(const StaticPointer& e) {
        return static_cast<std::uint64_t>(static_cast<std::uint32_t>(e.Offset)) << 32 | e.Length;
    }
    Slot& slotOf(const StaticPointer& e) {
        const std::uint64_t key = KeyOf(e);
        std::size_t at = static_cast<std::size_t>(key * 0x9E3779B97F4A7C15ull >> 32) & mask_;
        while (slots_[at].key != 0 && slots_[at].key != key)
            at = (at + 1) & mask_;
        return slots_[at];
    }

    std::vector<Slot> slots_;
    std::size_t mask_ = 0;
};

bool HasRecords(const StaticPointer& e, std::uint64_t staticsSize) {
    return e.Offset >= 0 && e.Length > 0 &&
           static_cast<std::uint64_t>(e.Offset) + e.Length <= staticsSize;
}

// Whether two runs start at one offset: only then can blocks share a run, and only then are runs
// looked up. One bit per byte of statics0.mul (of one that fits in memory), mostly visited in
// file order.
bool AnyRunsStartTogether(const std::vector<StaticPointer>& entries, std::uint64_t staticsSize) {
    std::vector<std::uint64_t> starts(staticsSize / 64 + 1);
    for (const StaticPointer& e : entries) {
        if (!HasRecords(e, staticsSize))
            continue;
        const auto offset = static_cast<std::uint32_t>(e.Offset);
        std::uint64_t& word = starts[offset / 64];
        const std::uint64_t bit = std::uint64_t{1} << (offset % 64);
        if (word & bit)
            return true;
        word |= bit;
    }
    return false;
}

// Where the old runs are read from. Runs that freezes and fill/clears moved lie far from their
// neighbours in block order, so a file that fits in memory is read whole, in one pass, and a
// larger one run by run.
class OldRuns {
public:
    static constexpr std::uint64_t kWholeFileLimit = std::uint64_t{256} << 20;

    explicit OldRuns(const std::string& path) : file_(File::OpenRead(path)) {
        const std::uint64_t size = file_.size();
        if (size <= kWholeFileLimit) {
            whole_.resize(size);
            file_.readExact(whole_.data(), whole_.size());
        } else {
            reader_.emplace(file_, std::size_t{64} << 10);
        }
    }
    const char* read(const Piece& piece) {
        return reader_ ? reader_->read(piece.Offset, piece.Length) : whole_.data() + piece.Offset;
    }
    void close() { file_.close(); }

private:
    File file_;
    std::vector<char> whole_;
    std::optional<PieceReader> reader_;
};

// A statics file is compacted only beside a whole index: the blocks a cut-off index lacks would
// lose their statics.
void RequireWholeIndex(const std::string& staidxPath, std::uint64_t bytes) {
    const std::optional<int> named = FacetOfWorldFileName(staidxPath);
    std::optional<WorldSize> smallest;
    for (int facet = 0; facet < kFacetCount; ++facet)
        if (!named || facet == *named)
            for (const WorldSize& size : FacetSizes(facet))
                if (!smallest || size.indexLength() < smallest->indexLength())
                    smallest = size;
    if (smallest && bytes < smallest->indexLength())
        throw Error(NameOf(staidxPath) + " is " + to_string(bytes) +
                    " bytes long, shorter than the index of any world it can belong to (the " +
                    smallest->text() + " world's is " + to_string(smallest->indexLength()) +
                    " bytes): the statics of the blocks it lacks would be lost. Nothing was "
                    "changed.");
}

// The table the program loads from the index written (LoadStaticIndex), when it can load one.
std::unique_ptr<StaticIndexTable> LoadableTable(const std::string& staidxPath,
                                                const IndexFile& index) {
    const int facet = FacetOfWorldFile(WorldFileKind::StaticsIndex, staidxPath).value_or(0);
    const auto world =
        IndexLengthWorld(facet, index.entries.size() * kIndexEntrySize + index.partial.size());
    if (!world || index.entries.size() < static_cast<std::size_t>(world->blockCount()))
        return nullptr;
    auto table = std::make_unique<StaticIndexTable>(*world);
    std::memcpy(table->data(), index.entries.data(), table->byteSize());
    return table;
}

// Puts the new offsets into the entries.
Layout LayOut(std::vector<StaticPointer>& entries, std::uint64_t staticsSize,
              const std::string& staidxPath, const std::string& staticsPath) {
    Layout layout;
    std::optional<PlacedRuns> placed;
    if (staticsSize > OldRuns::kWholeFileLimit || AnyRunsStartTogether(entries, staticsSize))
        placed.emplace(entries.size());
    for (int n = 0; n < static_cast<int>(entries.size()); ++n) {
        StaticPointer& e = entries[n];
        const std::int32_t old = e.Offset;
        if (old == kNoStatics)
            continue;
        // Where the next run starts; whether the file fits what an entry can point into is
        // checked once, at the end.
        const auto at = static_cast<std::int32_t>(layout.size);
        if (e.Length == 0) {
            e.Offset = at;
        } else if (const auto shared = placed ? placed->find(e) : std::nullopt) {
            e.Offset = *shared;
        } else {
            if (!HasRecords(e, staticsSize))
                RefuseEntry(staidxPath, staticsPath, entries.size(), n, e, staticsSize);
            if (placed)
                placed->place(e, at);
            Piece* last = layout.pieces.empty() ? nullptr : &layout.pieces.back();
            if (last && static_cast<std::uint64_t>(last->Offset) + last->Length ==
                            static_cast<std::uint32_t>(old))
                last->Length += e.Length;
            else
                layout.pieces.push_back({static_cast<std::uint32_t>(old), e.Length});
            layout.size += e.Length;
            ++layout.runs;
            e.Offset = at;
        }
        layout.changed = layout.changed || e.Offset != old;
    }
    PlaceStaticRun(0, layout.size, 0);
    layout.changed = layout.changed || layout.size != staticsSize;
    return layout;
}

void CopyRuns(const Layout& layout, const std::string& staticsPath, File& out, Progress& progress) {
    OldRuns old(staticsPath);
    PieceWriter writer(out);
    int reported = -1;
    for (std::size_t i = 0; i < layout.pieces.size(); ++i) {
        writer.write(old.read(layout.pieces[i]), layout.pieces[i].Length);
        const int percent = static_cast<int>(i * 90 / layout.pieces.size());
        if (percent != reported) {
            progress.report(percent);
            progress.yield();
            reported = percent;
        }
    }
    writer.flush();
    old.close();
}

// In large pieces, with the main bar's 90-99 after each.
void WriteIndex(const IndexFile& index, File& out, Progress& progress) {
    constexpr std::size_t kPieces = 10;
    const std::size_t count = index.entries.size();
    for (std::size_t piece = 0; piece < kPieces; ++piece) {
        const std::size_t first = count * piece / kPieces, last = count * (piece + 1) / kPieces;
        out.write(index.entries.data() + first, (last - first) * kIndexEntrySize);
        progress.report(90 + static_cast<int>(piece));
        progress.yield();
    }
    if (!index.partial.empty())
        out.write(index.partial.data(), index.partial.size());
}

} // namespace

CompactionReport CompactStatics(const std::string& staidxPath, const std::string& staticsPath,
                                Progress& progress, const LogSink& log) {
    const OperationFiles files({{kStaticsIndexRole, staidxPath, FileUse::Write},
                                {kStaticsFileRole, staticsPath, FileUse::Write}},
                               log);
    progress.report(0);
    CompactionReport report;
    report.StaticsPath = staticsPath;
    IndexFile index = ReadIndexFile(staidxPath);
    RequireWholeIndex(staidxPath, index.entries.size() * kIndexEntrySize + index.partial.size());
    report.OldStaticsSize = FileSizeOf(staticsPath);
    const Layout layout = LayOut(index.entries, report.OldStaticsSize, staidxPath, staticsPath);
    report.NewStaticsSize = layout.size;
    report.RunsWritten = layout.runs;
    if (!layout.changed) {
        progress.report(100);
        return report;
    }

    ReplacementFile statics(staticsPath);
    CopyRuns(layout, staticsPath, statics.file(), progress);
    ReplacementFile staidx(staidxPath);
    WriteIndex(index, staidx.file(), progress);
    ReplacementSet replacements;
    replacements.add(&statics);
    replacements.add(&staidx);
    replacements.commit();
    report.Changed = true;
    report.WrittenIndex = LoadableTable(staidxPath, index);
    progress.report(100);
    return report;
}

bool TakeCompactedIndex(ProgramState& state, const std::string& staidxPath,
                        CompactionReport& report) {
    return AdoptWrittenIndex(state, staidxPath, report.WrittenIndex);
}

std::vector<std::string> CompactionLines(const CompactionReport& report) {
    const std::string name = NameOf(report.StaticsPath);
    if (!report.Changed)
        return {name + " is compact already: every run in block order, no dead bytes. Nothing "
                       "was changed.",
                "Bytes reclaimed: 0"};
    return {name + ": " + to_string(report.OldStaticsSize) + " bytes before, " +
                to_string(report.NewStaticsSize) + " after, " + to_string(report.RunsWritten) +
                " runs in block order",
            "Bytes reclaimed: " + to_string(report.reclaimed())};
}

} // namespace lw
