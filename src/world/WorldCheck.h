// The world check: reads a world's files through and reports what the game client, the servers
// or this program's own operations would trip over, and the space a compaction would reclaim.
#pragma once

#include "util/Progress.h"
#include "world/WorldSize.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace lw {

enum class FindingKind {
    FileSize,            // a file's length fits no world size, or the files fit different ones
    MapContainer,        // a map container that cannot be read (damaged, or compressed pieces)
    EntryOutsideStatics, // an index entry points outside statics0.mul
    LengthNotMultiple,   // an index entry's length is no multiple of 7
    TooManyRecords,      // more than 2048 records: no block list holds them
    AboveClientLimit,    // more than 1024: the most used client drops the rest
    OddRecords,          // records whose in-block X or Y is above 7
    DeadBytes,           // statics0.mul bytes that no entry references (a note, no fault)
    MapPastEnd,          // blocks of the world past the end of map0.mul
    RefusedSection,      // an item file section a scan of melt or freeze refuses
    ItemOutsideWorld,    // a TYPE 255 item in the world, outside it, which a freeze refuses
    DuplicateSerial,     // a serial that an earlier section has too
    LeftoverFile,        // a file a killed run left beside a file read (a note, no fault)
};
inline constexpr int kFindingKinds = static_cast<int>(FindingKind::LeftoverFile) + 1;

// A stable name for scripts: "entry-outside-statics", ...
const char* FindingKindName(FindingKind kind);
// False for the notes of dead bytes and of left files: the world is sound with them.
bool IsFault(FindingKind kind);

struct CheckFinding {
    FindingKind Kind = FindingKind::FileSize;
    std::string File;   // the path it is about
    int Block = -1;     // block number, or -1
    int BlockX = -1;    // with Block
    int BlockY = -1;    // with Block
    long long Line = 0; // in an item file, from 1; 0 when none
    std::string Text;   // the line the check shows
};

// Counts and sizes of what was read.
struct CheckFigures {
    std::uint64_t IndexBytes = 0;
    std::uint64_t StaticsBytes = 0;
    std::uint64_t MapBytes = 0; // with a map: its bytes, as a container holds them too
    long long BlocksWithStatics = 0;
    long long Statics = 0; // records in readable blocks
    std::uint64_t DeadBytes = 0;
    long long DeadStretches = 0;
    long long ItemSections = 0;   // "SECTION WORLDITEM" sections of an item file
    long long FreezableItems = 0; // TYPE 255 items lying in the world (CONT -1)
};

struct WorldCheckReport {
    WorldSize World = kClassicWorld;                         // the size the files were checked as
    std::string StaIdxPath, StaticsPath, MapPath, ItemsPath; // empty: not checked
    CheckFigures Figures;
    // In the order found; of each kind only the first kListedPerKind, the rest only counted.
    std::vector<CheckFinding> Findings;
    std::array<long long, kFindingKinds> Counts{};

    static constexpr long long kListedPerKind = 100;
    void add(CheckFinding finding);
    long long count(FindingKind kind) const { return Counts[static_cast<int>(kind)]; }
    long long faults() const;
    bool sound() const { return faults() == 0; }
};

struct WorldCheckRequest {
    std::string StaIdxPath;
    std::string StaticsPath;
    std::string MapPath;   // optional
    std::string ItemsPath; // optional
};

// The world files of the request into the report: their sizes against the known world sizes,
// every index entry and the records it points to, the dead space of statics0.mul, the length of
// the map (of a container: of the map it holds, read through its tables). Only reads; the caller
// holds the files (OperationFiles) while it runs. Progress 0-90. A file that cannot be read is an
// IoError.
void CheckWorldFiles(const WorldCheckRequest& request, WorldCheckReport& report,
                     Progress& progress);

// The lines the check shows: what was checked, then the findings kind by kind ("fault: ..." or
// "note: ..."), each kind's unlisted ones counted in one more line.
std::vector<std::string> WorldCheckLines(const WorldCheckReport& report);
// "The world is sound." or "The check found 3 faults."
std::string WorldCheckResult(const WorldCheckReport& report);

} // namespace lw
