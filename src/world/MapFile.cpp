#include "world/MapFile.h"

#include "util/Errors.h"
#include "world/WorldFileNames.h"
#include "world/WorldSizes.h"

#include <algorithm>
#include <cstring>

namespace lw {
namespace {

// How a piece's data hash was made, judged by the bytes it was made of.
enum class HashForm { OverData, OverHeaderAndData, Other };

std::vector<char> ReadEntryHeader(File& file, const UopEntry& entry) {
    std::vector<char> header(entry.headerLength);
    file.seek(entry.offset);
    file.readExact(header.data(), header.size());
    return header;
}

std::uint32_t HashOfEntryData(File& file, const UopEntry& entry) {
    std::vector<char> data(entry.decompressedLength);
    file.seek(entry.dataStart());
    file.readExact(data.data(), data.size());
    return UopDataHash(data.data(), data.size());
}

// overData: the Adler-32 of the entry's data as it is now.
HashForm FormOf(const UopEntry& entry, std::uint32_t overData, const std::vector<char>& header) {
    // Adler-32 is never 0: a zero there is no hash of the data.
    if (entry.dataHash == 0)
        return HashForm::Other;
    if (entry.dataHash == overData)
        return HashForm::OverData;
    if (!header.empty() &&
        entry.dataHash == UopDataHashOfJoined(UopDataHash(header.data(), header.size()), overData,
                                              entry.decompressedLength))
        return HashForm::OverHeaderAndData;
    return HashForm::Other;
}

std::uint32_t NewHash(HashForm form, const std::vector<char>& header, std::uint32_t overNewData,
                      std::uint64_t dataLength) {
    if (form == HashForm::OverData)
        return overNewData;
    return UopDataHashOfJoined(UopDataHash(header.data(), header.size()), overNewData, dataLength);
}

void WriteDataHash(File& file, const UopEntry& entry, std::uint32_t hash) {
    file.seek(entry.record + kUopRecordDataHashAt);
    file.write(&hash, sizeof hash);
}

} // namespace

// ---- MapFile ---------------------------------------------------------------------------------

MapFile::MapFile(File file, const std::string& path) : file_(std::move(file)) {
    const std::optional<int> named = FacetOfWorldFile(WorldFileKind::Map, path);
    if (IsMapContainerName(path)) {
        layout_ = ReadUopMapLayout(file_, path);
        length_ = layout_->mapLength;
        facet_ = named.value_or(layout_->facet);
    } else {
        length_ = file_.size();
        facet_ = named.value_or(0);
    }
}

MapFile MapFile::OpenRead(const std::string& path) {
    return MapFile(File::OpenRead(path), path);
}

MapFile MapFile::OpenReadWrite(const std::string& path) {
    return MapFile(File::OpenReadWrite(path), path);
}

WorldSize MapFile::world() const {
    return WorldOfMapLength(facet_, length_, path());
}

void MapFile::read(std::uint64_t position, void* buffer, std::size_t n) {
    if (readSome(position, buffer, n) < n)
        throw IoError(kIoReadPastEnd, path());
}

std::size_t MapFile::readSome(std::uint64_t position, void* buffer, std::size_t n) {
    if (!layout_) {
        file_.seek(position);
        return file_.readSome(buffer, n);
    }
    if (position >= length_)
        return 0;
    n = static_cast<std::size_t>(std::min<std::uint64_t>(n, length_ - position));
    auto* out = static_cast<char*>(buffer);
    for (std::size_t done = 0; done < n;) {
        const UopMapPiece& piece = layout_->pieceAt(position + done);
        const std::uint64_t inPiece = position + done - piece.mapStart;
        const auto part =
            static_cast<std::size_t>(std::min<std::uint64_t>(n - done, piece.length - inPiece));
        file_.seek(piece.dataStart + inPiece);
        file_.readExact(out + done, part);
        track(static_cast<std::size_t>(&piece - layout_->pieces.data()), inPiece, out + done, part);
        done += part;
    }
    return n;
}

void MapFile::write(std::uint64_t position, const void* data, std::size_t n) {
    if (!layout_) {
        file_.seek(position);
        file_.write(data, n);
        return;
    }
    if (position > length_ || length_ - position < n)
        throw IoError(kIoReadPastEnd, path());
    const auto* bytes = static_cast<const char*>(data);
    for (std::size_t done = 0; done < n;) {
        const UopMapPiece& piece = layout_->pieceAt(position + done);
        UopEntry& entry = layout_->container.entries[piece.entry];
        const std::uint64_t inPiece = position + done - piece.mapStart;
        const auto part =
            static_cast<std::size_t>(std::min<std::uint64_t>(n - done, piece.length - inPiece));
        const std::vector<char> header = ReadEntryHeader(file_, entry);
        std::vector<char> old(piece.length);
        file_.readExact(old.data(), old.size());
        const HashForm form = FormOf(entry, UopDataHash(old.data(), old.size()), header);
        std::vector<char> changed = old;
        std::memcpy(changed.data() + inPiece, bytes + done, part);
        file_.seek(piece.dataStart + inPiece);
        file_.write(bytes + done, part);
        if (form != HashForm::Other) {
            const std::uint32_t hash =
                NewHash(form, header, UopDataHash(changed.data(), changed.size()), changed.size());
            try {
                WriteDataHash(file_, entry, hash);
            } catch (...) {
                // The piece's bytes go back, so that bytes and hash stay one another's.
                try {
                    file_.seek(piece.dataStart + inPiece);
                    file_.write(old.data() + inPiece, part);
                } catch (...) {
                }
                throw;
            }
            entry.dataHash = hash;
        }
        done += part;
    }
}

void MapFile::trackPieceHashes() {
    if (!layout_)
        return;
    hashedUpTo_.assign(layout_->pieces.size(), 0);
    hashes_.assign(layout_->pieces.size(), 1);
}

void MapFile::track(std::size_t piece, std::uint64_t inPiece, const char* bytes, std::size_t n) {
    if (piece >= hashedUpTo_.size() || hashedUpTo_[piece] != inPiece)
        return;
    hashes_[piece] = UopDataHash(bytes, n, hashes_[piece]);
    hashedUpTo_[piece] += n;
}

std::optional<std::uint32_t> MapFile::pieceHash(std::size_t k) const {
    if (k >= hashedUpTo_.size() || hashedUpTo_[k] != layout_->pieces[k].length)
        return std::nullopt;
    return hashes_[k];
}

// ---- MapPieceReader --------------------------------------------------------------------------

MapPieceReader::MapPieceReader(MapFile& map, std::size_t windowSize)
    : map_(map), windowSize_(windowSize) {}

const char* MapPieceReader::read(std::uint64_t position, std::size_t length) {
    const bool holds = position >= start_ && position - start_ <= filled_ &&
                       filled_ - (position - start_) >= length;
    if (!holds) {
        const std::size_t amount = std::max(length, windowSize_);
        if (window_.size() < amount)
            window_.resize(amount);
        start_ = position;
        filled_ = map_.readSome(position, window_.data(), amount);
        if (filled_ < length)
            throw IoError(kIoReadPastEnd, map_.path());
    }
    return window_.data() + (position - start_);
}

// ---- StagedMap -------------------------------------------------------------------------------

StagedMap::StagedMap(const std::string& mapPath) : path_(mapPath) {
    if (IsMapContainerName(mapPath)) {
        File old = File::OpenRead(mapPath);
        layout_ = ReadUopMapLayout(old, mapPath);
        old.close();
        newHashes_.assign(layout_->pieces.size(), 1);
    }
    staged_ = std::make_unique<ReplacementFile>(mapPath);
}

void StagedMap::write(const void* data, std::size_t n) {
    File& out = staged_->file();
    if (!layout_) {
        out.write(data, n);
        written_ += n;
        return;
    }
    if (written_ + n > layout_->mapLength)
        throw Error("The new map is longer than the map of the container " + path_);
    const auto* bytes = static_cast<const char*>(data);
    while (n > 0) {
        const std::size_t k =
            static_cast<std::size_t>(written_ / (kUopMapPieceBlocks * kMapBlockSize));
        const UopMapPiece& piece = layout_->pieces[k];
        const std::uint64_t inPiece = written_ - piece.mapStart;
        const auto part =
            static_cast<std::size_t>(std::min<std::uint64_t>(n, piece.length - inPiece));
        out.seek(piece.dataStart + inPiece);
        out.write(bytes, part);
        newHashes_[k] = UopDataHash(bytes, part, newHashes_[k]);
        bytes += part;
        n -= part;
        written_ += part;
    }
}

void StagedMap::finish(const MapFile* old) {
    if (layout_) {
        if (written_ != layout_->mapLength)
            throw Error("The new map is shorter than the map of the container " + path_);
        File container = File::OpenRead(path_);
        copyOtherBytes(container);
        const bool sameLayout =
            old && old->layout() &&
            old->layout()->container.fileSize == layout_->container.fileSize &&
            std::ranges::equal(old->layout()->pieces, layout_->pieces,
                               [](const UopMapPiece& a, const UopMapPiece& b) {
                                   return a.dataStart == b.dataStart && a.length == b.length;
                               });
        setDataHashes(container, sameLayout ? old : nullptr);
        container.close();
    }
    staged_->finish();
}

// Everything of the old container that is not map data lands where it was.
void StagedMap::copyOtherBytes(File& old) {
    std::vector<const UopMapPiece*> byPosition;
    for (const UopMapPiece& piece : layout_->pieces)
        byPosition.push_back(&piece);
    std::ranges::sort(byPosition, {}, &UopMapPiece::dataStart);
    File& out = staged_->file();
    std::vector<char> buffer(std::size_t{1} << 20);
    const auto copy = [&](std::uint64_t from, std::uint64_t to) {
        for (std::uint64_t at = from; at < to;) {
            const auto n =
                static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), to - at));
            old.seek(at);
            old.readExact(buffer.data(), n);
            out.seek(at);
            out.write(buffer.data(), n);
            at += n;
        }
    };
    std::uint64_t cursor = 0;
    for (const UopMapPiece* piece : byPosition) {
        copy(cursor, piece->dataStart);
        cursor = piece->dataStart + piece->length;
    }
    copy(cursor, layout_->container.fileSize);
}

void StagedMap::setDataHashes(File& old, const MapFile* tracked) {
    for (std::size_t k = 0; k < layout_->pieces.size(); ++k) {
        const UopEntry& entry = layout_->container.entries[layout_->pieces[k].entry];
        if (entry.dataHash == 0)
            continue; // no hash of the data: kept as it is
        const std::optional<std::uint32_t> known = tracked ? tracked->pieceHash(k) : std::nullopt;
        const std::uint32_t overData = known ? *known : HashOfEntryData(old, entry);
        const std::vector<char> header =
            overData == entry.dataHash ? std::vector<char>() : ReadEntryHeader(old, entry);
        const HashForm form = FormOf(entry, overData, header);
        if (form != HashForm::Other)
            WriteDataHash(staged_->file(), entry,
                          NewHash(form, header, newHashes_[k], entry.decompressedLength));
    }
}

} // namespace lw
