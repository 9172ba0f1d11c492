// A look at a .lw2 diff without applying it: its header, its parts, which blocks it changes and,
// beside the original files, whether it fits them and what each changed block holds before and
// after. For the operator before a diff ships, and for the player before it is applied.
#pragma once

#include "diff/DiffFormat.h"
#include "diff/WorldFileSet.h"
#include "util/LogSink.h"
#include "util/Progress.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lw {

// Bits of DiffInfo::Changes.
inline constexpr std::uint8_t kStaticsChange = 1;
inline constexpr std::uint8_t kMapChange = 2;

struct BlockBounds {
    int FirstX = 0, FirstY = 0, LastX = 0, LastY = 0; // blocks, inclusive
};

struct StaticsChange {
    int Block = 0;
    int Before = 0; // statics in the original block
    int After = 0;  // statics the diff gives it
};

struct DiffInfo {
    std::string DiffPath;
    std::uint64_t FileSize = 0;
    std::optional<DiffHeader> Header; // nothing for a file shorter than a header
    // The world the diff describes: the classic one for version 2, the header's for version 3.
    WorldSize World = kClassicWorld;
    // Why the diff cannot be applied (the application's own refusal); empty for a sound one.
    std::string Damage;

    // Of a sound diff:
    bool HasStatics = false;
    bool HasMap = false;
    long long StaticsChanged = 0; // blocks whose records the diff carries
    long long StaticsEmptied = 0; // blocks empty in the modified world
    long long MapChanged = 0;
    std::uint64_t StaticsDataBytes = 0;
    std::uint64_t MapDataBytes = 0;
    std::uint64_t TrailerBytes = 0; // after the last part
    bool Sealed = false;            // they are a checksum trailer that matches the diff
    std::uint64_t TrailerDigest = 0;
    // Per block of World, kStaticsChange and kMapChange: what applying the diff changes. Without
    // the originals a block the diff empties is not known to change.
    std::vector<std::uint8_t> Changes;
    std::optional<BlockBounds> Bounds; // of the changes; nothing when none

    // With the originals:
    bool HaveOriginals = false;
    // Why they are not files of World (the application's refusal); then nothing below is read.
    std::string WorldMisfit;
    std::uint32_t OriginalIndexChecksum = 0;   // computed from the original staidx0.mul
    bool Fits = false;                         // the diff applies to them
    std::uint64_t OriginalStaticsSize = 0;     // of the original statics0.mul
    std::uint64_t OriginalMapSize = 0;         // the original map's bytes (also in a container)
    std::vector<StaticsChange> StaticsChanges; // every block whose statics change, in block order
};

// Reads the diff (and, for a sound diff, the originals when given) under read locks, after the
// recovery of a killed run that every operation does first, which goes to log. A damaged diff is
// no error: the report says what is wrong, as the application would refuse it (its checksum
// trailer too); nor are originals of another world than the diff's.
// I/O errors are errors. Progress 0-100 while the original index is read.
DiffInfo ReadDiffInfo(const std::string& diffPath, const std::optional<WorldFileSet>& originals,
                      Progress& progress, const LogSink& log = DiscardLog);

// Why the diff does not fit the originals given (the application's refusal); empty when it does
// or when none were given.
std::string MisfitMessage(const DiffInfo& info);

// The lines that show the report: "version: 2", "parts: statics and map", ..., "trailer: none".
std::vector<std::string> DiffInfoLines(const DiffInfo& info);

} // namespace lw
