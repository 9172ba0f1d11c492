#include "world/UopMap.h"

#include "util/Errors.h"
#include "world/WorldFileNames.h"
#include "world/WorldSize.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace lw {
namespace {

constexpr std::uint64_t kPieceLength = kUopMapPieceBlocks * kMapBlockSize; // 802,816
// The pieces probed past a missing one: a later piece there means the map has a hole.
constexpr std::uint64_t kProbedPastTheEnd = 64;

constexpr std::uint64_t kFirstTable = 0x200;
constexpr std::uint32_t kTableCapacity = 1000;
constexpr std::uint32_t kFormatStamp = 0xFD23EC43;

std::vector<UopMapPiece> FindPieces(const UopContainer& container, int facet) {
    std::vector<UopMapPiece> pieces;
    for (std::uint64_t k = 0;; ++k) {
        const UopEntry* entry = container.find(UopNameHash(UopMapPieceName(facet, k)));
        if (!entry)
            break;
        pieces.push_back({static_cast<std::size_t>(entry - container.entries.data()), 0,
                          entry->decompressedLength, entry->dataStart()});
    }
    return pieces;
}

void CheckPieces(const UopMapLayout& layout, const std::string& path) {
    const auto& entries = layout.container.entries;
    const std::uint64_t count = layout.pieces.size();
    for (std::uint64_t k = count + 1; k <= count + kProbedPastTheEnd; ++k)
        if (layout.container.find(UopNameHash(UopMapPieceName(layout.facet, k))))
            RefuseDamagedContainer(path, "piece " + std::to_string(count) +
                                             " of its map is missing, but piece " +
                                             std::to_string(k) + " is there");
    for (std::uint64_t k = 0; k < count; ++k) {
        const UopMapPiece& piece = layout.pieces[k];
        if (!entries[piece.entry].stored())
            throw Error("The map container " + path + " holds piece " + std::to_string(k) +
                        " of its map compressed, which Loamwright cannot write back exactly. "
                        "Nothing was changed.");
        const bool last = k + 1 == count;
        if (last ? piece.length == 0 || piece.length > kPieceLength ||
                       piece.length % kMapBlockSize != 0
                 : piece.length != kPieceLength)
            RefuseDamagedContainer(path, "piece " + std::to_string(k) + " of its map holds " +
                                             std::to_string(piece.length) +
                                             " bytes, not 4096 whole blocks");
    }
    std::vector<const UopMapPiece*> byPosition;
    for (const UopMapPiece& piece : layout.pieces)
        byPosition.push_back(&piece);
    std::ranges::sort(byPosition, {}, &UopMapPiece::dataStart);
    for (std::size_t i = 1; i < byPosition.size(); ++i)
        if (byPosition[i - 1]->dataStart + byPosition[i - 1]->length > byPosition[i]->dataStart)
            RefuseDamagedContainer(path, "two pieces of its map overlap");
}

template <typename T> void Put(std::vector<char>& bytes, std::size_t at, T value) {
    std::memcpy(bytes.data() + at, &value, sizeof value);
}

} // namespace

std::string UopMapPieceName(int facet, std::uint64_t piece) {
    char name[64];
    std::snprintf(name, sizeof name, "build/map%dlegacymul/%08llu.dat", facet,
                  static_cast<unsigned long long>(piece));
    return name;
}

const UopMapPiece& UopMapLayout::pieceAt(std::uint64_t position) const {
    return pieces[static_cast<std::size_t>(position / kPieceLength)];
}

UopMapLayout ReadUopMapLayout(File& file, const std::string& path) {
    UopMapLayout layout;
    layout.container = ReadUopContainer(file, path);
    std::vector<int> facets;
    if (const auto named = FacetOfWorldFile(WorldFileKind::Map, path))
        facets.push_back(*named);
    for (int facet = 0; facet < kFacetCount; ++facet)
        facets.push_back(facet);
    for (const int facet : facets) {
        layout.pieces = FindPieces(layout.container, facet);
        if (!layout.pieces.empty()) {
            layout.facet = facet;
            break;
        }
    }
    if (layout.pieces.empty())
        RefuseDamagedContainer(path, "it holds no map");
    CheckPieces(layout, path);
    for (UopMapPiece& piece : layout.pieces) {
        piece.mapStart = layout.mapLength;
        layout.mapLength += piece.length;
    }
    return layout;
}

UopMapWriter::UopMapWriter(File& out, int facet, std::uint64_t mapLength)
    : out_(out), facet_(facet), mapLength_(mapLength) {
    const std::uint64_t pieces = (mapLength + kPieceLength - 1) / kPieceLength;
    if (mapLength == 0 || mapLength % kMapBlockSize != 0 || pieces > kTableCapacity)
        throw Error("A map of " + std::to_string(mapLength) +
                    " bytes cannot go into a container: it must hold whole blocks, at most " +
                    std::to_string(kTableCapacity * kUopMapPieceBlocks) + " of them.");
    hashes_.assign(static_cast<std::size_t>(pieces), 1);
    // Header and table are written last, once the hashes are known; the pieces go behind them.
    out_.seek(kFirstTable + 12 + kTableCapacity * kUopRecordSize);
}

void UopMapWriter::write(const void* data, std::size_t length) {
    if (written_ + length > mapLength_)
        throw Error("The map written into the container is longer than announced");
    const auto* bytes = static_cast<const char*>(data);
    while (length > 0) {
        const std::size_t piece = static_cast<std::size_t>(written_ / kPieceLength);
        const std::size_t part = static_cast<std::size_t>(
            std::min<std::uint64_t>(length, kPieceLength - written_ % kPieceLength));
        hashes_[piece] = UopDataHash(bytes, part, hashes_[piece]);
        bytes += part;
        length -= part;
        written_ += part;
    }
    out_.write(data, static_cast<std::size_t>(bytes - static_cast<const char*>(data)));
}

void UopMapWriter::finish() {
    if (written_ != mapLength_)
        throw Error("The map written into the container is shorter than announced");
    const std::uint64_t dataStart = kFirstTable + 12 + kTableCapacity * kUopRecordSize;
    std::vector<char> head(static_cast<std::size_t>(dataStart), '\0');
    Put(head, 0, kUopMagic);
    Put(head, 4, kUopVersion);
    Put(head, 8, kFormatStamp);
    Put(head, 12, kFirstTable);
    Put(head, 20, kTableCapacity);
    Put(head, 24, static_cast<std::uint32_t>(hashes_.size()));
    Put(head, kFirstTable, static_cast<std::uint32_t>(hashes_.size()));
    Put(head, kFirstTable + 4, std::uint64_t{0}); // no further table
    for (std::size_t k = 0; k < hashes_.size(); ++k) {
        const std::size_t at = kFirstTable + 12 + k * kUopRecordSize;
        const std::uint64_t length = std::min(kPieceLength, mapLength_ - k * kPieceLength);
        Put(head, at, dataStart + k * kPieceLength);
        Put(head, at + 8, std::uint32_t{0}); // no header of its own
        Put(head, at + 12, static_cast<std::uint32_t>(length));
        Put(head, at + 16, static_cast<std::uint32_t>(length));
        Put(head, at + 20, UopNameHash(UopMapPieceName(facet_, k)));
        Put(head, at + kUopRecordDataHashAt, hashes_[k]);
        Put(head, at + 32, std::uint16_t{0});
    }
    out_.seek(0);
    out_.write(head.data(), head.size());
    out_.seek(dataStart + mapLength_);
}

} // namespace lw
