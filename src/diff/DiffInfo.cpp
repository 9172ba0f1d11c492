#include "diff/DiffInfo.h"

#include "diff/Checksums.h"
#include "diff/DiffContents.h"
#include "diff/DiffMessages.h"
#include "diff/DiffTrailer.h"
#include "diff/DiffWorld.h"
#include "util/ContentDigest.h"
#include "util/Errors.h"
#include "util/File.h"
#include "util/OperationFiles.h"
#include "world/FileRoles.h"
#include "world/MapFile.h"
#include "world/StaticIndex.h"
#include "world/WorldSizes.h"

#include <memory>

namespace lw {
namespace {

using std::to_string;

std::vector<DeclaredFile> InfoFiles(const std::string& diffPath,
                                    const std::optional<WorldFileSet>& originals) {
    std::vector<DeclaredFile> files{{kDiffFileRole, diffPath, FileUse::Read}};
    if (originals) {
        files.push_back({kOriginalStaticsIndexRole, originals->staidx, FileUse::Read});
        files.push_back({kOriginalStaticsFileRole, originals->statics, FileUse::Read});
        files.push_back({kOriginalMapFileRole, originals->map, FileUse::Read});
    }
    return files;
}

int Records(std::uint32_t length) {
    return static_cast<int>(length / kStaticRecSize);
}

void CountParts(const DiffContents& contents, DiffInfo& info) {
    const DiffHeader& h = contents.header;
    info.HasStatics = contents.statics.has_value();
    info.HasMap = contents.map.has_value();
    const WorldSize& world = contents.world;
    std::uint64_t end = kDiffHeaderSize;
    if (contents.statics) {
        info.StaticsDataBytes = h.StaticsIndexOffset - kDiffHeaderSize;
        end = h.StaticsIndexOffset + StaticsDiffIndexSize(world);
        for (int n = 0; n < world.blockCount(); ++n) {
            const StaticsDiffEntry& e = (*contents.statics)[n];
            if (IsEmptied(e)) {
                ++info.StaticsEmptied;
            } else if (!IsUnchanged(e)) {
                ++info.StaticsChanged;
                info.Changes[n] |= kStaticsChange;
            }
        }
    }
    if (contents.map) {
        info.MapDataBytes = h.MapIndexOffset - end;
        for (int n = 0; n < world.blockCount(); ++n)
            if ((*contents.map)[n] != kDiffAbsent) {
                ++info.MapChanged;
                info.Changes[n] |= kMapChange;
            }
    }
}

// Before and after for every block whose statics the diff changes; a block it empties changes
// only when it held statics.
void CompareStatics(const StaticIndexTable& original, const DiffContents& contents,
                    DiffInfo& info) {
    if (!contents.statics)
        return;
    for (int n = 0; n < contents.world.blockCount(); ++n) {
        const StaticsDiffEntry& d = (*contents.statics)[n];
        const StaticPointer& o = original[n];
        const int before = IsEmptyBlock(o) ? 0 : Records(o.Length);
        if (IsUnchanged(d) || (IsEmptied(d) && before == 0))
            continue;
        const int after = IsEmptied(d) ? 0 : Records(d.Length);
        info.Changes[n] |= kStaticsChange;
        info.StaticsChanges.push_back({n, before, after});
    }
}

std::optional<BlockBounds> BoundsOf(const WorldSize& world,
                                    const std::vector<std::uint8_t>& changes) {
    std::optional<BlockBounds> bounds;
    for (int n = 0; n < static_cast<int>(changes.size()); ++n) {
        if (!changes[n])
            continue;
        const int x = world.blockXOf(n), y = world.blockYOf(n);
        if (!bounds)
            bounds = BlockBounds{x, y, x, y};
        bounds->FirstY = std::min(bounds->FirstY, y);
        bounds->LastX = x;
        bounds->LastY = std::max(bounds->LastY, y);
    }
    return bounds;
}

std::string Parts(const DiffInfo& info) {
    if (info.HasStatics && info.HasMap)
        return "statics and map";
    return info.HasStatics ? "statics" : info.HasMap ? "map" : "none";
}

std::string TrailerLine(const DiffInfo& info) {
    if (info.Sealed)
        return "trailer: " + std::string(kDiffTrailerAlgorithm) + " checksum " +
               DigestText(info.TrailerDigest) + ", matches the diff";
    if (info.TrailerBytes == 0)
        return "trailer: none";
    return "trailer: none; " + to_string(info.TrailerBytes) +
           " bytes after the last part, not read";
}

std::string BlockText(int x, int y) {
    // Appended in turn: GCC 12 at -O3 takes "(" + a temporary for an overlapping copy.
    std::string text = "(";
    text += to_string(x);
    text += ", ";
    text += to_string(y);
    text += ')';
    return text;
}

// The application reads every block of the original map for the map part.
bool MapFits(const DiffInfo& info) {
    return !info.HasMap || info.OriginalMapSize >= info.World.mapLength();
}

// The application's refusal of originals of another world than the diff's, or nothing.
std::string WorldMisfitOf(const DiffContents& contents, const WorldFileSet& originals) {
    try {
        RequireApplicationWorld(contents.world, originals, originals, contents.statics.has_value(),
                                contents.map.has_value());
        return {};
    } catch (const IoError&) {
        throw;
    } catch (const Error& e) {
        return e.what();
    }
}

std::uint64_t MapBytesOf(const std::string& path) {
    MapFile map = MapFile::OpenRead(path);
    const std::uint64_t length = map.length();
    map.close();
    return length;
}

void AddOriginalsLines(const DiffInfo& info, std::vector<std::string>& lines) {
    const DiffHeader& h = *info.Header;
    lines.push_back(std::string("fits the originals: ") + (info.Fits ? "yes" : "no"));
    if (!info.WorldMisfit.empty()) {
        lines.push_back("originals: " + info.WorldMisfit);
        return;
    }
    const bool crcFits = !info.HasStatics || info.OriginalIndexChecksum == h.OriginalIndexChecksum;
    const bool mapFits = MapFits(info);
    if (info.HasStatics) {
        lines.push_back(
            "originals' CRC value: " + ChecksumText(info.OriginalIndexChecksum) +
            (crcFits ? ", the one the diff was made from"
                     : ", but the diff was made from " + ChecksumText(h.OriginalIndexChecksum)));
        lines.push_back(
            "originals' statics size: " + to_string(info.OriginalStaticsSize) + " bytes" +
            (info.OriginalStaticsSize == h.OriginalStaticsSize
                 ? ", as when the diff was made"
                 : ", the diff was made from one of " + to_string(h.OriginalStaticsSize)));
    }
    if (info.HasMap)
        lines.push_back("originals' map size: " + to_string(info.OriginalMapSize) + " bytes" +
                        (mapFits ? ""
                                 : ", shorter than the " + to_string(info.World.mapLength()) +
                                       " bytes the map part reads"));
    for (const StaticsChange& change : info.StaticsChanges)
        lines.push_back(BlockName(info.World, change.Block) + ": statics " +
                        to_string(change.Before) + " before, " + to_string(change.After) +
                        " after");
}

} // namespace

DiffInfo ReadDiffInfo(const std::string& diffPath, const std::optional<WorldFileSet>& originals,
                      Progress& progress, const LogSink& log) {
    const OperationFiles files(InfoFiles(diffPath, originals), log);
    DiffInfo info;
    info.DiffPath = diffPath;
    File diff = File::OpenRead(diffPath);
    info.FileSize = diff.size();
    if (info.FileSize >= kDiffHeaderSize) {
        info.Header.emplace();
        diff.readExact(&*info.Header, sizeof(DiffHeader));
    }
    std::optional<DiffContents> contents;
    try {
        contents = ReadDiffContents(diff);
        const DiffSeal seal = CheckDiffTrailer(diff, DiffPartsEnd(*contents));
        info.TrailerBytes = seal.bytesAfterParts;
        info.Sealed = seal.sealed;
        info.TrailerDigest = seal.digest;
    } catch (const IoError&) {
        throw;
    } catch (const Error& e) {
        info.Damage = e.what();
        contents.reset(); // a trailer that does not match: nothing of it can be trusted
    }
    diff.close();
    if (contents)
        info.World = contents->world;
    info.Changes.assign(static_cast<std::size_t>(info.World.blockCount()), 0);
    if (contents)
        CountParts(*contents, info);
    if (originals) {
        info.HaveOriginals = true;
        if (contents)
            info.WorldMisfit = WorldMisfitOf(*contents, *originals);
        if (contents && info.WorldMisfit.empty()) {
            auto original = std::make_unique<StaticIndexTable>(info.World);
            ReadStaticIndex(originals->staidx, *original, progress);
            info.OriginalIndexChecksum = IndexChecksum(*original);
            info.OriginalStaticsSize = FileSizeOf(originals->statics);
            info.OriginalMapSize = MapBytesOf(originals->map);
            info.Fits = (!contents->statics ||
                         info.OriginalIndexChecksum == contents->header.OriginalIndexChecksum) &&
                        MapFits(info);
            CompareStatics(*original, *contents, info);
        }
    }
    info.Bounds = BoundsOf(info.World, info.Changes);
    progress.report(100);
    return info;
}

std::vector<std::string> DiffInfoLines(const DiffInfo& info) {
    std::vector<std::string> lines{"diff file: " + NameOf(info.DiffPath) + ", " +
                                   to_string(info.FileSize) + " bytes"};
    if (info.Header) {
        const DiffHeader& h = *info.Header;
        lines.push_back("version: " + to_string(h.Version));
        if (info.Damage.empty()) {
            lines.push_back("parts: " + Parts(info));
            if (info.HasStatics) {
                lines.push_back("original CRC value: " + ChecksumText(h.OriginalIndexChecksum));
                lines.push_back("original statics size: " + to_string(h.OriginalStaticsSize) +
                                " bytes");
                lines.push_back("modified CRC value: " + ChecksumText(h.ModifiedIndexChecksum));
                lines.push_back("modified statics size: " + to_string(h.ModifiedStaticsSize) +
                                " bytes");
                lines.push_back("statics: " + to_string(info.StaticsChanged) + " changed blocks (" +
                                to_string(info.StaticsDataBytes) + " bytes of records), " +
                                to_string(info.StaticsEmptied) +
                                " blocks empty in the modified world");
            }
            if (info.HasMap)
                lines.push_back("map: " + to_string(info.MapChanged) + " changed blocks");
            lines.push_back(TrailerLine(info));
        }
    }
    if (!info.Damage.empty())
        lines.push_back("damaged: " + info.Damage);
    if (info.Damage.empty()) {
        if (const auto& b = info.Bounds)
            lines.push_back(
                "changes: blocks " + BlockText(b->FirstX, b->FirstY) + " to " +
                BlockText(b->LastX, b->LastY) + ", tiles " +
                BlockText(b->FirstX * kTilesPerBlockSide, b->FirstY * kTilesPerBlockSide) + " to " +
                BlockText(b->LastX * kTilesPerBlockSide + kTilesPerBlockSide - 1,
                          b->LastY * kTilesPerBlockSide + kTilesPerBlockSide - 1));
        else
            lines.push_back("changes: none");
        if (!info.HaveOriginals && info.StaticsEmptied > 0)
            lines.push_back("note: without the originals, the blocks the diff empties are not "
                            "known to change and not counted");
    }
    if (info.HaveOriginals && info.Header && info.Damage.empty())
        AddOriginalsLines(info, lines);
    return lines;
}

std::string MisfitMessage(const DiffInfo& info) {
    if (!info.HaveOriginals || !info.Header || !info.Damage.empty() || info.Fits)
        return {};
    if (!info.WorldMisfit.empty())
        return info.WorldMisfit;
    if (info.HasStatics && info.OriginalIndexChecksum != info.Header->OriginalIndexChecksum)
        return CrcErrorMessage(info.OriginalIndexChecksum, info.Header->OriginalIndexChecksum);
    return "The original map0.mul is " + to_string(info.OriginalMapSize) +
           " bytes long, shorter than the " + to_string(info.World.mapLength()) +
           " bytes the map part of the diff reads.";
}

} // namespace lw
