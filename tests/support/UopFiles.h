// Map containers for tests, written by a second rendering of the format (so the reader is checked
// against something it did not write) in the layouts the field's files come in, runs of zeros
// left as holes so that full-size maps stay cheap.
#pragma once

#include "world/WorldSize.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lw::test {

// How the pieces' data hashes are made: Adler-32 of the data (as the field's writers make it), of
// the entry's header and data, none (0), or some other value.
enum class PieceHash { Adler, AdlerWithHeader, Zero, Other };

struct UopLayoutChoice {
    int facet = 0;
    std::uint32_t version = 5;
    bool piecesReversed = false;          // the last piece first in the file and the tables
    std::uint32_t recordsPerTable = 1000; // fewer spread the records over several tables
    std::uint32_t headerLength = 0;       // bytes of an entry's own header before its data
    PieceHash hash = PieceHash::Adler;
    bool extraEntry = true;   // an entry that is no map piece, with data of its own
    int compressedPiece = -1; // a piece flagged as compressed
};

inline constexpr std::uint32_t kOtherPieceHash = 0x5EED1234; // a hash the writers never make

// Where the container's parts lie.
struct UopFixture {
    std::vector<std::uint64_t> pieceData;   // by piece: the first byte of its data
    std::vector<std::uint64_t> pieceLength; // by piece
    std::vector<std::uint64_t> hashFields;  // by piece: its record's data hash
};

// Writes a container of the plain map's bytes, 4096 blocks a piece.
UopFixture MakeUopMap(const std::string& mulPath, const std::string& uopPath,
                      const UopLayoutChoice& choice = {});

// The container's bytes with every piece's data and data hash zeroed: what a write of map bytes
// must leave exactly as it was.
std::string OutsideMapData(const std::string& uopPath, const UopFixture& fixture);

// One empty map of a world in both forms, in folder (made if need be): the sparse plain mapN.mul
// and the container mapNLegacyMUL.uop of the same bytes, with what lies outside its map data.
struct MapInBothForms {
    std::string plain, container;
    UopFixture fixture;
    std::string outside; // OutsideMapData of the container as made
};
MapInBothForms MakeMapInBothForms(const std::string& folder, const WorldSize& world, int facet = 0);

// The data hash recorded for piece k, and the Adler-32 of its data as the file holds it now.
std::uint32_t RecordedHash(const std::string& uopPath, const UopFixture& fixture, std::size_t k);
std::uint32_t AdlerOfPiece(const std::string& uopPath, const UopFixture& fixture, std::size_t k);

// A small container of named entries, data stored as given; flag 1 marks an entry compressed.
struct UopTestEntry {
    std::string name;
    std::string data;
    std::uint16_t flag = 0;
};
void WriteUopEntries(const std::string& path, const std::vector<UopTestEntry>& entries);

} // namespace lw::test
