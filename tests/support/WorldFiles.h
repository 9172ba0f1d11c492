// Cheap full-size world files for tests: sparse files of the right size plus the few blocks
// a test needs.
#pragma once

#include "world/Records.h"
#include "world/StaticIndex.h"
#include "world/WorldSize.h"

#include <string>
#include <vector>

namespace lw::test {

// A map0.mul of full size, all zeros (sparse); of another world's size when given.
void MakeSparseMap(const std::string& path, const WorldSize& world = kClassicWorld);

// An index file of full size whose every entry is empty (Offset -1), plus a statics file.
void MakeEmptyStatics(const std::string& staidxPath, const std::string& staticsPath,
                      const WorldSize& world = kClassicWorld);

// Appends records as the run of block (blockX, blockY) and points its index entry there.
void PutStaticBlock(const std::string& staidxPath, const std::string& staticsPath, int blockX,
                    int blockY, const std::vector<TStaticRec>& records,
                    const WorldSize& world = kClassicWorld);

StaticIndexTable ReadIndexFile(const std::string& staidxPath,
                               const WorldSize& world = kClassicWorld);
std::vector<TStaticRec> ReadBlockRecords(const std::string& staidxPath,
                                         const std::string& staticsPath, int blockX, int blockY,
                                         const WorldSize& world = kClassicWorld);

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& content);

} // namespace lw::test
