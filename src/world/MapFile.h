// The one reader and writer of a map's bytes: a plain map (mapN.mul) or one in a UOP container
// (mapNLegacyMUL.uop, by its name) gives exactly the bytes the .mul has, and every operation that
// reads or writes a map goes through here.
#pragma once

#include "util/File.h"
#include "util/SafeReplace.h"
#include "world/UopMap.h"
#include "world/WorldSize.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lw {

class MapFile {
public:
    // For reading only (originals may be read-only); a container is checked as it is opened.
    static MapFile OpenRead(const std::string& path);
    // For writing cells in place; the file is neither created nor truncated.
    static MapFile OpenReadWrite(const std::string& path);

    // The map's bytes: the file's size, or what the container's pieces hold.
    std::uint64_t length() const { return length_; }
    // The facet the name gives (a container without a facet name: that of its pieces), else 0.
    int facet() const { return facet_; }
    // The world the map's length gives among its facet's sizes (WorldOfMapLength).
    WorldSize world() const;
    bool isContainer() const { return layout_.has_value(); }
    const std::string& path() const { return file_.path(); }

    // Exactly n map bytes from position; a map that ends first is error 100.
    void read(std::uint64_t position, void* buffer, std::size_t n);
    // Up to n map bytes; fewer only at the end of the map.
    std::size_t readSome(std::uint64_t position, void* buffer, std::size_t n);
    // Writes map bytes in place; the map must already hold them. In a container every piece
    // written to keeps a valid data hash: one the writers of the field compute is computed anew.
    void write(std::uint64_t position, const void* data, std::size_t n);
    void close() { file_.close(); }

    // From now on the data hash (Adler-32) of each container piece is computed as reads go
    // through it from its start to its end, so that a rewrite of the whole map need not read
    // the old pieces again to see what their hashes were (StagedMap::finish).
    void trackPieceHashes();
    // The hash of the old bytes of piece k, once reads have passed all of them in order.
    std::optional<std::uint32_t> pieceHash(std::size_t k) const;
    const UopMapLayout* layout() const { return layout_ ? &*layout_ : nullptr; }

private:
    MapFile(File file, const std::string& path);
    void track(std::size_t piece, std::uint64_t inPiece, const char* bytes, std::size_t n);

    File file_;
    std::optional<UopMapLayout> layout_;
    std::uint64_t length_ = 0;
    int facet_ = 0;
    std::vector<std::uint64_t> hashedUpTo_; // by piece, while tracking
    std::vector<std::uint32_t> hashes_;
};

// The map's bytes through one window, for passes that read a map a block column at a time.
class MapPieceReader {
public:
    explicit MapPieceReader(MapFile& map, std::size_t windowSize = std::size_t{1} << 20);
    // The bytes [position, position + length), valid until the next call; error 100 past the end.
    const char* read(std::uint64_t position, std::size_t length);

private:
    MapFile& map_;
    std::size_t windowSize_;
    std::vector<char> window_;
    std::uint64_t start_ = 0;
    std::size_t filled_ = 0;
};

// The new content of an existing map, written beside it to be put in place by a replacement
// (ReplacementSet): all of its bytes, in order, through write(). For a container the new file is
// the old one with only the map's bytes changed: every entry, table, hash, flag and other byte
// stays, and a piece's data hash is computed anew where it was one the writers of the field
// compute (Adler-32 of the data, or of header and data), kept as it was otherwise.
class StagedMap {
public:
    explicit StagedMap(const std::string& mapPath);
    StagedMap(const StagedMap&) = delete;
    StagedMap& operator=(const StagedMap&) = delete;

    // The map's bytes from the start; a container takes exactly its map's length.
    void write(const void* data, std::size_t n);
    std::uint64_t position() const { return written_; }
    // Completes the new file and syncs it; nothing is in place yet. `old`, when given, is the
    // same map opened for reading and read whole with trackPieceHashes() on: its hashes of the
    // old pieces spare reading them again.
    void finish(const MapFile* old = nullptr);
    ReplacementFile* replacement() { return staged_.get(); }
    // A hint that what is written so far may go to disk now (File::startWriteback).
    void startWriteback() noexcept { staged_->file().startWriteback(); }

private:
    void copyOtherBytes(File& old);
    void setDataHashes(File& old, const MapFile* tracked);

    std::string path_;
    std::optional<UopMapLayout> layout_;
    std::unique_ptr<ReplacementFile> staged_;
    std::uint64_t written_ = 0;
    std::vector<std::uint32_t> newHashes_; // Adler-32 of each piece's new data so far
};

} // namespace lw
