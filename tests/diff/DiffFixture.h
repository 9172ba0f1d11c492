// Three world sets in one temporary folder (original, modified, target) built from sparse
// full-size files plus the few blocks a test needs, and what the diff tests look at.
#pragma once

#include "diff/DiffFormat.h"
#include "diff/DiffProgress.h"
#include "diff/WorldFileSet.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace lw::test {

class DiffWorlds {
public:
    DiffWorlds();

    TempDir dir;
    WorldFileSet original, modified, target;
    std::string diffPath = dir.file("world.lw2");

    // An empty statics pair and an all-zero map.
    void makeSet(const WorldFileSet& set) const;
    void putMapBlock(const WorldFileSet& set, int blockX, int blockY, char fill) const;
    void setEntry(const WorldFileSet& set, int blockX, int blockY, StaticPointer entry) const;
    StaticPointer entry(const WorldFileSet& set, int blockX, int blockY) const;
};

// The file names and contents of a folder and its subfolders, hashed, to see that nothing
// changed and nothing was left behind; keyed by the path inside the folder, spelt with "/".
std::map<std::string, std::size_t> FolderHashes(const std::string& folder);

DiffHeader ReadDiffHeader(const std::string& diffPath);
StaticsDiffEntry ReadStaticsDiffEntry(const std::string& diffPath, int blockNumber);
std::uint32_t ReadMapDiffEntry(const std::string& diffPath, int blockNumber);

std::vector<TStaticRec> Records(std::initializer_list<std::uint16_t> ids);
std::string Bytes(const std::vector<TStaticRec>& records);
std::size_t FileHash(const std::string& path);

// The records of every block of a statics pair, as bytes, in block order.
std::vector<std::string> EveryBlock(const WorldFileSet& set);
// True when the non-empty blocks' runs follow each other in block order from position 0, with
// no gaps, to the end of statics0.mul.
bool CompactInBlockOrder(const WorldFileSet& set);

// Every report, caption and bar value, with runs of equal events counted.
class DiffEventLog : public DiffProgress {
public:
    void report(int percent) override { add("report " + std::to_string(percent)); }
    void stage(const std::string& caption) override { add("stage " + caption); }
    void stageProgress(int percent) override { add("bar " + std::to_string(percent)); }
    void yield() override { ++yields; }

    void add(const std::string& event);
    std::vector<std::pair<std::string, int>> events;
    int yields = 0;

    // What each step reports, to build the expected sequence.
    void indexRead();   // the main bar: 0, then column x 100 / 768 per column, then 100
    void columns();     // the progress window's bar: column x 100 / 768 per column
    void mapChecksum(); // the main bar: 0, then blocks x 100 / 393216 per block, then 100
    void indexWrite();  // the main bar: 90 + column x 10 / 768 per column, then 100
};

} // namespace lw::test
