// The pieces of an open diff file: changed static blocks and map blocks, and the two index
// sections that locate them.
#pragma once

#include "diff/DiffFormat.h"
#include "diff/DiffProgress.h"
#include "util/FilePieces.h"

#include <cstdint>
#include <string_view>

namespace lw {

// Appends a block's records (7 bytes each) at the end of the diff; the entry that locates them.
StaticsDiffEntry AppendDiffStatics(PieceWriter& diff, std::string_view records);
// The records a changed entry locates: Length / 7 of them (a remainder is ignored); more than a
// block holds is a RangeError.
std::string_view ReadDiffStatics(PieceReader& diff, const StaticsDiffEntry& entry);

// Appends a 196-byte map block at the end of the diff; its position.
std::uint32_t AppendDiffMapBlock(PieceWriter& diff, const void* block);
// The 196 bytes at a position of the diff.
const char* ReadDiffMapBlock(PieceReader& diff, std::uint32_t position);

// The index sections of a world, in block order, with the progress window's bar after each
// column.
void WriteStaticsDiffIndex(PieceWriter& diff, const StaticsDiffIndex& index, const WorldSize& world,
                           DiffProgress& progress);
void WriteMapDiffIndex(PieceWriter& diff, const MapDiffIndex& index, const WorldSize& world,
                       DiffProgress& progress);
StaticsDiffIndex ReadStaticsDiffIndex(File& diff, std::uint32_t position, const WorldSize& world);
MapDiffIndex ReadMapDiffIndex(File& diff, std::uint32_t position, const WorldSize& world);

// The progress window's bar for a column of a pass: column x 100 / the world's columns (768 in
// the classic world), then the window system.
void ColumnDone(const WorldSize& world, int blockX, DiffProgress& progress);

} // namespace lw
