#include "world/WorldCheck.h"

#include "util/File.h"
#include "util/FilePieces.h"
#include "world/CrowdedBlocks.h"
#include "world/MapFile.h"
#include "world/WorldFileNames.h"
#include "world/WorldSizes.h"

#include <algorithm>
#include <cstring>

namespace lw {
namespace {

using std::to_string;

struct KindText {
    const char* name;
    bool fault;
    const char* more; // "23 more ..." for the findings not listed
};

constexpr KindText kKinds[kFindingKinds] = {
    {"file-size", true, "file sizes that fit no world size"},
    {"map-container", true, "map containers that cannot be read"},
    {"entry-outside-statics", true, "blocks whose index entry points outside the statics file"},
    {"length-not-multiple-of-7", true, "blocks whose index entry's length is no multiple of 7"},
    {"too-many-records", true, "blocks holding more than 2048 statics"},
    {"above-client-limit", true, "blocks holding more than 1024 statics"},
    {"odd-records", true, "blocks with statics whose in-block X or Y is above 7"},
    {"dead-bytes", false, "stretches of dead bytes"},
    {"map-past-end", true, "blocks past the end of the map file"},
    {"refused-section", true, "item file sections that melt or freeze refuse"},
    {"item-outside-world", true, "TYPE 255 items outside the world"},
    {"duplicate-serial", true, "serials given twice"},
    {"leftover-file", false, "files left by interrupted operations"},
};

const KindText& TextOf(FindingKind kind) {
    return kKinds[static_cast<int>(kind)];
}

// One index entry that points into statics0.mul with a length above 0.
struct Run {
    std::uint32_t Offset = 0;
    std::uint32_t Length = 0;
    int Block = 0;
    bool Readable = false; // a whole number of records
};

// A block some of whose records have an X or Y above 7.
struct OddBlock {
    int Block = 0;
    int Records = 0;
    int Odd = 0;
    int First = 0; // from 1
    TStaticRec FirstRec{};
};

class FileChecker {
public:
    FileChecker(const WorldCheckRequest& request, WorldCheckReport& report, Progress& progress)
        : request_(request), report_(report), progress_(progress) {}

    void run() {
        report_.StaIdxPath = request_.StaIdxPath;
        report_.StaticsPath = request_.StaticsPath;
        report_.MapPath = request_.MapPath;
        File index = File::OpenRead(request_.StaIdxPath);
        File statics = File::OpenRead(request_.StaticsPath);
        report_.Figures.IndexBytes = index.size();
        report_.Figures.StaticsBytes = statics.size();
        checkSizes();
        checkEntries(readEntries(index));
        sortRuns();
        checkRecords(statics);
        checkDeadSpace();
        statics.close();
    }

private:
    void add(FindingKind kind, const std::string& file, std::string text, int block = -1) {
        CheckFinding finding;
        finding.Kind = kind;
        finding.File = file;
        finding.Text = std::move(text);
        if (block >= 0) {
            finding.Block = block;
            finding.BlockX = world().blockXOf(block);
            finding.BlockY = world().blockYOf(block);
        }
        report_.add(std::move(finding));
    }
    const WorldSize& world() const { return report_.World; }
    std::string blockName(int block) const { return BlockName(world(), block); }

    struct MapBytes {
        bool read = false; // false: a container that cannot be read, which is a finding
        std::uint64_t length = 0;
        std::optional<int> facet;
    };
    // The map's bytes and the facet its name gives; of a container, through its tables (and the
    // facet of its pieces where the name gives none).
    MapBytes readMap() {
        const std::string& path = request_.MapPath;
        if (!IsMapContainerName(path))
            return {true, FileSizeOf(path), FacetOfWorldFileName(path)};
        try {
            MapFile map = MapFile::OpenRead(path);
            const MapBytes found{true, map.length(), map.facet()};
            map.close();
            return found;
        } catch (const IoError&) {
            throw;
        } catch (const Error& e) {
            add(FindingKind::MapContainer, path, e.what());
            return {};
        }
    }

    // The world the files are checked as: the index's size, else the map's, else the classic.
    void checkSizes() {
        const std::string& idxPath = request_.StaIdxPath;
        const std::string idxName = NameOf(idxPath);
        const std::uint64_t idxBytes = report_.Figures.IndexBytes;
        const auto indexSize = WorldSizeOfIndexBytes(FacetOfWorldFileName(idxPath), idxBytes);
        std::optional<WorldSize> mapSize;
        const bool haveMap = !request_.MapPath.empty();
        const bool container = haveMap && IsMapContainerName(request_.MapPath);
        const std::string mapName = haveMap ? NameOf(request_.MapPath) : "";
        const MapBytes map = haveMap ? readMap() : MapBytes{};
        if (map.read) {
            report_.Figures.MapBytes = map.length;
            mapSize = WorldSizeOfMapBytes(map.facet, map.length);
        }
        report_.World = indexSize ? *indexSize : mapSize ? *mapSize : kClassicWorld;
        if (!indexSize)
            add(FindingKind::FileSize, idxPath,
                idxName + " is " + to_string(idxBytes) +
                    " bytes long, which fits no world size (the index of the " + world().text() +
                    " world is " + to_string(world().indexLength()) +
                    " bytes); checked as that world");
        if (!map.read)
            return;
        const std::uint64_t mapBytes = map.length;
        const std::string mapIs =
            container ? mapName + " holds a map of " + to_string(mapBytes) + " bytes"
                      : mapName + " is " + to_string(mapBytes) + " bytes long";
        if (!mapSize)
            add(FindingKind::FileSize, request_.MapPath,
                mapIs + ", which fits no world size (the map of the " + world().text() +
                    " world is " + to_string(world().mapLength()) + " bytes)");
        else if (indexSize && *mapSize != *indexSize)
            add(FindingKind::FileSize, request_.MapPath,
                idxName + " is the index of the " + indexSize->text() + " world, but " + mapName +
                    " the map of the " + mapSize->text() + " world");
        if (mapBytes < world().mapLength()) {
            const int first = static_cast<int>(mapBytes / kMapBlockSize);
            add(FindingKind::MapPastEnd, request_.MapPath,
                to_string(world().blockCount() - first) + " blocks of the world, from " +
                    blockName(first) + " on, lie past the end of " + mapName + " (" +
                    to_string(mapBytes) + " bytes; the map of the " + world().text() +
                    " world is " + to_string(world().mapLength()) + ")",
                first);
        }
    }

    // The world's entries, or as many whole ones as a shorter file holds.
    std::vector<StaticPointer> readEntries(File& index) {
        const std::uint64_t whole = report_.Figures.IndexBytes / kIndexEntrySize;
        std::vector<StaticPointer> entries(
            std::min<std::uint64_t>(whole, static_cast<std::uint64_t>(world().blockCount())));
        index.readExact(entries.data(), entries.size() * kIndexEntrySize);
        index.close();
        return entries;
    }

    void checkEntries(const std::vector<StaticPointer>& entries) {
        const std::string& path = request_.StaticsPath;
        const std::string name = NameOf(path);
        const std::uint64_t size = report_.Figures.StaticsBytes;
        runs_.reserve(entries.size());
        for (int n = 0; n < static_cast<int>(entries.size()); ++n) {
            const StaticPointer& e = entries[n];
            if (IsEmptyBlock(e))
                continue;
            ++report_.Figures.BlocksWithStatics;
            const auto entryText = [&e] {
                return "its index entry (offset " + to_string(e.Offset) + ", length " +
                       to_string(e.Length) + ")";
            };
            if (e.Offset < 0 || static_cast<std::uint64_t>(e.Offset) + e.Length > size) {
                add(FindingKind::EntryOutsideStatics, request_.StaIdxPath,
                    blockName(n) + ": " + entryText() + " points outside " + name + " (" +
                        to_string(size) + " bytes)",
                    n);
                continue;
            }
            Run& run = runs_.emplace_back();
            run.Offset = static_cast<std::uint32_t>(e.Offset);
            run.Length = e.Length;
            run.Block = n;
            if (e.Length % kStaticRecSize != 0) {
                add(FindingKind::LengthNotMultiple, request_.StaIdxPath,
                    blockName(n) + ": " + entryText() + " gives a length that is no multiple of 7",
                    n);
                continue;
            }
            run.Readable = true;
            const std::uint32_t count = e.Length / kStaticRecSize;
            report_.Figures.Statics += count;
            if (count > kMaxStaticsPerBlock)
                add(FindingKind::TooManyRecords, request_.StaIdxPath,
                    blockName(n) + ": " + to_string(count) +
                        " statics, more than the 2048 a block holds: listing, melt and freeze "
                        "refuse the block",
                    n);
            else if (count > kClientStaticsPerBlock)
                add(FindingKind::AboveClientLimit, request_.StaIdxPath,
                    blockName(n) + ": " + to_string(count) +
                        " statics; the most used game client reads only the first 1024 of a "
                        "block and drops the rest",
                    n);
        }
    }

    // In the order of the file, so that statics0.mul is read once from start to end; an
    // installation's runs are in that order already.
    void sortRuns() {
        const auto earlier = [](const Run& a, const Run& b) { return a.Offset < b.Offset; };
        if (!std::is_sorted(runs_.begin(), runs_.end(), earlier))
            std::sort(runs_.begin(), runs_.end(), earlier);
    }

    void checkRecords(File& statics) {
        PieceReader reader(statics);
        std::vector<OddBlock> odd;
        int reported = -1;
        for (std::size_t i = 0; i < runs_.size(); ++i) {
            const Run& run = runs_[i];
            if (run.Readable)
                checkRun(run, reader.read(run.Offset, run.Length), odd);
            const int percent = static_cast<int>((i + 1) * 90 / runs_.size());
            if (percent != reported) {
                progress_.report(percent);
                progress_.yield();
                reported = percent;
            }
        }
        std::sort(odd.begin(), odd.end(),
                  [](const OddBlock& a, const OddBlock& b) { return a.Block < b.Block; });
        for (const OddBlock& b : odd)
            add(FindingKind::OddRecords, request_.StaticsPath,
                blockName(b.Block) + ": " + to_string(b.Odd) + " of its " + to_string(b.Records) +
                    " statics have an in-block X or Y above 7, the first of them number " +
                    to_string(b.First) + " with X " + to_string(b.FirstRec.X) + ", Y " +
                    to_string(b.FirstRec.Y),
                b.Block);
    }

    static void checkRun(const Run& run, const char* records, std::vector<OddBlock>& odd) {
        OddBlock found;
        for (std::uint32_t at = 0; at < run.Length; at += kStaticRecSize) {
            // X and Y are the third and fourth bytes of a record.
            if (((records[at + 2] | records[at + 3]) & ~7) == 0)
                continue;
            if (found.Odd++ == 0) {
                found.First = static_cast<int>(at / kStaticRecSize) + 1;
                std::memcpy(&found.FirstRec, records + at, sizeof found.FirstRec);
            }
        }
        if (found.Odd == 0)
            return;
        found.Block = run.Block;
        found.Records = static_cast<int>(run.Length / kStaticRecSize);
        odd.push_back(found);
    }

    void checkDeadSpace() {
        CheckFigures& f = report_.Figures;
        std::uint64_t reached = 0;
        for (const Run& run : runs_) {
            if (run.Offset > reached) {
                f.DeadBytes += run.Offset - reached;
                ++f.DeadStretches;
            }
            reached = std::max<std::uint64_t>(reached, std::uint64_t{run.Offset} + run.Length);
        }
        if (f.StaticsBytes > reached) {
            f.DeadBytes += f.StaticsBytes - reached;
            ++f.DeadStretches;
        }
        if (f.DeadBytes > 0)
            add(FindingKind::DeadBytes, request_.StaticsPath,
                NameOf(request_.StaticsPath) + " holds " + to_string(f.DeadBytes) +
                    " dead bytes in " + to_string(f.DeadStretches) +
                    (f.DeadStretches == 1 ? " stretch" : " stretches") +
                    " that no index entry references; compact reclaims them");
    }

    const WorldCheckRequest& request_;
    WorldCheckReport& report_;
    Progress& progress_;
    std::vector<Run> runs_; // in block order, then in file order
};

} // namespace

const char* FindingKindName(FindingKind kind) {
    return TextOf(kind).name;
}

bool IsFault(FindingKind kind) {
    return TextOf(kind).fault;
}

void WorldCheckReport::add(CheckFinding finding) {
    long long& counted = Counts[static_cast<int>(finding.Kind)];
    if (counted++ < kListedPerKind)
        Findings.push_back(std::move(finding));
}

long long WorldCheckReport::faults() const {
    long long total = 0;
    for (int kind = 0; kind < kFindingKinds; ++kind)
        if (IsFault(static_cast<FindingKind>(kind)))
            total += Counts[kind];
    return total;
}

void CheckWorldFiles(const WorldCheckRequest& request, WorldCheckReport& report,
                     Progress& progress) {
    progress.report(0);
    FileChecker(request, report, progress).run();
}

std::vector<std::string> WorldCheckLines(const WorldCheckReport& report) {
    const CheckFigures& f = report.Figures;
    std::vector<std::string> lines{
        "Checked as the " + report.World.text() + " world (" +
            to_string(report.World.blockCount()) + " blocks)",
        NameOf(report.StaIdxPath) + ": " + to_string(f.IndexBytes) + " bytes",
        NameOf(report.StaticsPath) + ": " + to_string(f.StaticsBytes) + " bytes, " +
            to_string(f.Statics) + " statics in " + to_string(f.BlocksWithStatics) + " blocks"};
    if (!report.MapPath.empty())
        lines.push_back(
            NameOf(report.MapPath) + ": " + to_string(f.MapBytes) +
            (IsMapContainerName(report.MapPath) ? " bytes of map in the container" : " bytes"));
    if (!report.ItemsPath.empty())
        lines.push_back(NameOf(report.ItemsPath) + ": " + to_string(f.ItemSections) +
                        " world item sections, " + to_string(f.FreezableItems) +
                        " of them TYPE 255 items in the world");
    for (int kind = 0; kind < kFindingKinds; ++kind) {
        const KindText& text = kKinds[kind];
        const std::string prefix = text.fault ? "fault: " : "note: ";
        for (const CheckFinding& finding : report.Findings)
            if (static_cast<int>(finding.Kind) == kind)
                lines.push_back(prefix + finding.Text);
        if (report.Counts[kind] > WorldCheckReport::kListedPerKind)
            lines.push_back(prefix +
                            to_string(report.Counts[kind] - WorldCheckReport::kListedPerKind) +
                            " more " + text.more);
    }
    return lines;
}

std::string WorldCheckResult(const WorldCheckReport& report) {
    const long long faults = report.faults();
    if (faults == 0)
        return "The world is sound.";
    return "The check found " + to_string(faults) + (faults == 1 ? " fault." : " faults.");
}

} // namespace lw
