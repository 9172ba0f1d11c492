// A map in a UOP container (mapNLegacyMUL.uop): the map's bytes, as the .mul has them, cut into
// numbered pieces of 4096 blocks, entry "build/mapNlegacymul/00000000.dat" and on.
#pragma once

#include "util/File.h"
#include "world/UopContainer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lw {

inline constexpr std::uint64_t kUopMapPieceBlocks = 4096;

// The entry name of piece k of facet's map.
std::string UopMapPieceName(int facet, std::uint64_t piece);

struct UopMapPiece {
    std::size_t entry = 0;      // in the container's entries
    std::uint64_t mapStart = 0; // the piece's first byte in the map
    std::uint64_t length = 0;
    std::uint64_t dataStart = 0; // where its bytes lie in the file
};

struct UopMapLayout {
    UopContainer container;
    int facet = 0;
    std::vector<UopMapPiece> pieces; // in map order
    std::uint64_t mapLength = 0;

    // The piece holding map byte `position` (which must lie in the map).
    const UopMapPiece& pieceAt(std::uint64_t position) const;
};

// Reads the container and finds the map's pieces: those of the facet the file name gives, or
// of the first facet whose piece 0 it holds. Refuses, naming the file, a container without map
// pieces, a missing piece, a piece of another length than 4096 blocks (but the last, which holds
// whole blocks), pieces that overlap, and compressed pieces, which could not be written back
// exactly.
UopMapLayout ReadUopMapLayout(File& file, const std::string& path);

// Writes a new container holding a map of mapLength bytes (whole blocks), as the field's tools
// lay one out: a version 5 header, one table of 1000 records, the pieces in order behind it, each
// with its Adler-32. The bytes come from write() calls in map order; finish() completes the
// table.
class UopMapWriter {
public:
    UopMapWriter(File& out, int facet, std::uint64_t mapLength);
    void write(const void* data, std::size_t length);
    void finish();

private:
    File& out_;
    int facet_;
    std::uint64_t mapLength_;
    std::uint64_t written_ = 0;
    std::vector<std::uint32_t> hashes_;
};

} // namespace lw
