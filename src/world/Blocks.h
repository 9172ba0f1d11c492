// Reading and writing single blocks of the world files. Each routine opens its file,
// works and closes it before it returns.
#pragma once

#include "world/Records.h"

#include <string>

namespace lw {

// Zeros for a block outside the world (the file is then not opened). The map may be a container.
TMapBlock ReadMapBlock(const std::string& mapPath, const WorldSize& world, int blockX, int blockY);
// Writes the block in place; does nothing for a block outside the world.
void WriteMapBlock(const std::string& mapPath, const WorldSize& world, int blockX, int blockY,
                   const TMapBlock& block);
// The same in the classic world.
TMapBlock ReadMapBlock(const std::string& mapPath, int blockX, int blockY);
void WriteMapBlock(const std::string& mapPath, int blockX, int blockY, const TMapBlock& block);

// The records an index entry points to; refuses a length that is no multiple of 7 or more
// than a block holds before reading anything.
void ReadStaticBlock(const std::string& staticsPath, const StaticPointer& entry,
                     TStaticBlock& block);
// Appends the block's records to the end of statics0.mul and points the entry at them
// (Extra stays). Refuses an append that would end past 2,147,483,647; the entry changes only
// after the records are written.
void AppendStaticBlock(const std::string& staticsPath, StaticPointer& entry,
                       const TStaticBlock& block);

// Appends source's records behind target's; a RangeError, with target's count unchanged,
// when they do not fit.
void MergeStaticBlocks(TStaticBlock& target, const TStaticBlock& source);

enum class BlockCover { Outside, Partly, Inside };

// How the block lies against a tile rectangle inclusive on all sides.
BlockCover ClassifyBlock(int left, int top, int right, int bottom, int blockX, int blockY);

} // namespace lw
