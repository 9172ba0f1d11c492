#include "world/Compaction.h"

#include "util/Errors.h"
#include "util/File.h"
#include "util/FilePieces.h"
#include "util/OperationFiles.h"
#include "util/ReplacementSet.h"
#include "util/SafeReplace.h"
#include "world/FileRoles.h"
#include "world/KnownWorldSizes.h"
#include "world/StaticRuns.h"

#include <cstring>
#include <unordered_map>

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

// Where each block's run goes, worked out from the entries alone.
struct Layout {
    std::vector<StaticPointer> entries;
    std::vector<int> copied; // the entries whose runs are written, in order
    std::uint64_t size = 0;
};

[[noreturn]] void RefuseEntry(const std::string& staidxPath, const std::string& staticsPath,
                              std::size_t entryCount, int n, const StaticPointer& e,
                              std::uint64_t staticsSize) {
    const auto world = WorldSizeOfIndex(entryCount * kIndexEntrySize, FacetOfWorldFile(staidxPath));
    throw Error("The index entry of " + world.value_or(kClassicWorld).blockName(n) + " (offset " +
                to_string(e.Offset) + ", length " + to_string(e.Length) + ") points outside " +
                NameOf(staticsPath) + " (" + to_string(staticsSize) +
                " bytes), so its statics cannot be kept. Nothing was changed.");
}

Layout LayOut(const IndexFile& index, std::uint64_t staticsSize, const std::string& staidxPath,
              const std::string& staticsPath) {
    Layout layout;
    layout.entries = index.entries;
    // Blocks pointing at the very same run: the run is written once.
    std::unordered_map<std::uint64_t, std::int32_t> placed;
    placed.reserve(index.entries.size());
    for (int n = 0; n < static_cast<int>(index.entries.size()); ++n) {
        const StaticPointer& e = index.entries[n];
        StaticPointer& moved = layout.entries[n];
        if (e.Offset == kNoStatics)
            continue;
        if (e.Length == 0) {
            moved = PlaceStaticRun(layout.size, 0, e.Extra);
            continue;
        }
        if (e.Offset < 0 || static_cast<std::uint64_t>(e.Offset) + e.Length > staticsSize)
            RefuseEntry(staidxPath, staticsPath, index.entries.size(), n, e, staticsSize);
        const std::uint64_t run = static_cast<std::uint64_t>(e.Offset) << 32 | e.Length;
        const auto [at, fresh] = placed.try_emplace(run, 0);
        if (!fresh) {
            moved.Offset = at->second;
            continue;
        }
        moved = PlaceStaticRun(layout.size, e.Length, e.Extra);
        at->second = moved.Offset;
        layout.copied.push_back(n);
        layout.size += e.Length;
    }
    return layout;
}

bool SameLayout(const IndexFile& index, const Layout& layout, std::uint64_t staticsSize) {
    return layout.size == staticsSize &&
           (index.entries.empty() || std::memcmp(index.entries.data(), layout.entries.data(),
                                                 index.entries.size() * kIndexEntrySize) == 0);
}

void CopyRuns(const IndexFile& index, const Layout& layout, const std::string& staticsPath,
              File& out, Progress& progress) {
    File old = File::OpenRead(staticsPath);
    PieceReader reader(old);
    PieceWriter writer(out);
    int reported = -1;
    for (std::size_t i = 0; i < layout.copied.size(); ++i) {
        const StaticPointer& e = index.entries[layout.copied[i]];
        writer.write(reader.read(static_cast<std::uint32_t>(e.Offset), e.Length), e.Length);
        const int percent = static_cast<int>(i * 90 / layout.copied.size());
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
void WriteIndex(const IndexFile& index, const Layout& layout, File& out, Progress& progress) {
    constexpr std::size_t kPieces = 10;
    const std::size_t count = layout.entries.size();
    for (std::size_t piece = 0; piece < kPieces; ++piece) {
        const std::size_t first = count * piece / kPieces, last = count * (piece + 1) / kPieces;
        out.write(layout.entries.data() + first, (last - first) * kIndexEntrySize);
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
    const IndexFile index = ReadIndexFile(staidxPath);
    report.OldStaticsSize = FileSizeOf(staticsPath);
    const Layout layout = LayOut(index, report.OldStaticsSize, staidxPath, staticsPath);
    report.NewStaticsSize = layout.size;
    report.RunsWritten = static_cast<long long>(layout.copied.size());
    if (SameLayout(index, layout, report.OldStaticsSize)) {
        progress.report(100);
        return report;
    }

    ReplacementFile statics(staticsPath);
    CopyRuns(index, layout, staticsPath, statics.file(), progress);
    ReplacementFile staidx(staidxPath);
    WriteIndex(index, layout, staidx.file(), progress);
    ReplacementSet replacements;
    replacements.add(&statics);
    replacements.add(&staidx);
    replacements.commit();
    report.Changed = true;
    if (layout.entries.size() >= static_cast<std::size_t>(kBlockCount)) {
        report.WrittenIndex = std::make_unique<StaticIndexTable>();
        std::memcpy(report.WrittenIndex->data(), layout.entries.data(), kIndexFileSize);
    }
    progress.report(100);
    return report;
}

bool TakeCompactedIndex(ProgramState& state, const std::string& staidxPath,
                        CompactionReport& report) {
    if (!report.WrittenIndex || !state.StaticIndexLoaded ||
        !IsSameFile(state.StaticIndexPath, staidxPath))
        return false;
    state.StaticIndex = std::move(*report.WrittenIndex);
    report.WrittenIndex.reset();
    NoteIndexWritten(state, staidxPath);
    return true;
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
