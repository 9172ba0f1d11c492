#include "support/UopFiles.h"

#include "support/WorldFiles.h"
#include "util/File.h"
#include "world/UopContainer.h"
#include "world/UopMap.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace lw::test {
namespace {

constexpr std::uint64_t kPiece = 4096 * 196;
constexpr std::uint64_t kFirstTable = 0x200;

template <typename T> void Put(std::vector<char>& bytes, std::uint64_t at, T value) {
    std::memcpy(bytes.data() + at, &value, sizeof value);
}

struct Entry {
    std::uint64_t hash;
    std::uint64_t mapStart; // for a piece
    std::uint64_t length;
    std::string ownData; // for the extra entry
    bool piece;
    std::uint16_t flag;
};

} // namespace

UopFixture MakeUopMap(const std::string& mulPath, const std::string& uopPath,
                      const UopLayoutChoice& choice) {
    File mul = File::OpenRead(mulPath);
    const std::uint64_t length = mul.size();
    std::vector<Entry> entries;
    for (std::uint64_t k = 0; k * kPiece < length; ++k)
        entries.push_back(
            {UopNameHash(UopMapPieceName(choice.facet, k)),
             k * kPiece,
             std::min(kPiece, length - k * kPiece),
             {},
             true,
             static_cast<std::uint16_t>(static_cast<int>(k) == choice.compressedPiece)});
    const std::size_t pieces = entries.size();
    if (choice.piecesReversed)
        std::reverse(entries.begin(), entries.end());
    if (choice.extraEntry) {
        const std::string data = "data of another entry, kept as it is";
        entries.insert(entries.begin() + static_cast<long>(entries.size() / 2),
                       {UopNameHash("build/notamap/00000000.bin"), 0, data.size(), data, false, 0});
    }

    const std::uint64_t tables =
        (entries.size() + choice.recordsPerTable - 1) / choice.recordsPerTable;
    const std::uint64_t tableSize = 12 + choice.recordsPerTable * kUopRecordSize;
    std::vector<char> head(kFirstTable + tables * tableSize, '\0');
    Put(head, 0, kUopMagic);
    Put(head, 4, choice.version);
    Put(head, 8, std::uint32_t{0xFD23EC43});
    Put(head, 12, kFirstTable);
    Put(head, 20, choice.recordsPerTable);
    Put(head, 24, static_cast<std::uint32_t>(entries.size()));

    UopFixture fixture;
    fixture.pieceData.resize(pieces);
    fixture.pieceLength.resize(pieces);
    fixture.hashFields.resize(pieces);
    File out = File::Create(uopPath);
    std::vector<char> buffer(std::size_t{1} << 20);
    const std::vector<char> zeros(buffer.size(), '\0');
    std::uint64_t at = head.size();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        const std::uint64_t table = kFirstTable + (i / choice.recordsPerTable) * tableSize;
        const std::uint64_t record = table + 12 + (i % choice.recordsPerTable) * kUopRecordSize;
        Put(head, table,
            static_cast<std::uint32_t>(std::min<std::uint64_t>(
                choice.recordsPerTable,
                entries.size() - i / choice.recordsPerTable * choice.recordsPerTable)));
        if (i % choice.recordsPerTable == 0 && table + tableSize < head.size())
            Put(head, table + 4, table + tableSize);
        // The entry's own header, then its data.
        const std::string header(choice.headerLength, '\xAB');
        out.seek(at);
        out.write(header.data(), header.size());
        std::uint32_t adler = 1;
        if (e.piece) {
            for (std::uint64_t done = 0; done < e.length;) {
                const auto n = static_cast<std::size_t>(
                    std::min<std::uint64_t>(buffer.size(), e.length - done));
                mul.seek(e.mapStart + done);
                mul.readExact(buffer.data(), n);
                adler = UopDataHash(buffer.data(), n, adler);
                if (std::memcmp(buffer.data(), zeros.data(), n) != 0) {
                    out.seek(at + header.size() + done);
                    out.write(buffer.data(), n);
                }
                done += n;
            }
            fixture.pieceData[e.mapStart / kPiece] = at + header.size();
            fixture.pieceLength[e.mapStart / kPiece] = e.length;
            fixture.hashFields[e.mapStart / kPiece] = record + kUopRecordDataHashAt;
        } else {
            out.write(e.ownData.data(), e.ownData.size());
            adler = UopDataHash(e.ownData.data(), e.ownData.size());
        }
        std::uint32_t hash = adler;
        if (e.piece && choice.hash == PieceHash::AdlerWithHeader)
            hash = UopDataHashOfJoined(UopDataHash(header.data(), header.size()), adler, e.length);
        else if (e.piece && choice.hash == PieceHash::Zero)
            hash = 0;
        else if (e.piece && choice.hash == PieceHash::Other)
            hash = kOtherPieceHash;
        Put(head, record, at);
        Put(head, record + 8, choice.headerLength);
        Put(head, record + 12, static_cast<std::uint32_t>(e.length));
        Put(head, record + 16, static_cast<std::uint32_t>(e.length));
        Put(head, record + 20, e.hash);
        Put(head, record + kUopRecordDataHashAt, hash);
        Put(head, record + 32, e.flag);
        at += header.size() + e.length;
    }
    out.truncate(at);
    out.seek(0);
    out.write(head.data(), head.size());
    out.close();
    mul.close();
    return fixture;
}

void WriteUopEntries(const std::string& path, const std::vector<UopTestEntry>& entries) {
    const std::uint64_t dataStart = kFirstTable + 12 + entries.size() * kUopRecordSize;
    std::vector<char> bytes(dataStart, '\0');
    Put(bytes, 0, kUopMagic);
    Put(bytes, 4, std::uint32_t{5});
    Put(bytes, 12, kFirstTable);
    Put(bytes, 20, static_cast<std::uint32_t>(entries.size()));
    Put(bytes, 24, static_cast<std::uint32_t>(entries.size()));
    Put(bytes, kFirstTable, static_cast<std::uint32_t>(entries.size()));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::uint64_t record = kFirstTable + 12 + i * kUopRecordSize;
        const UopTestEntry& e = entries[i];
        Put(bytes, record, static_cast<std::uint64_t>(bytes.size()));
        Put(bytes, record + 12, static_cast<std::uint32_t>(e.data.size()));
        Put(bytes, record + 16, static_cast<std::uint32_t>(e.data.size()));
        Put(bytes, record + 20, UopNameHash(e.name));
        Put(bytes, record + kUopRecordDataHashAt, UopDataHash(e.data.data(), e.data.size()));
        Put(bytes, record + 32, e.flag);
        bytes.insert(bytes.end(), e.data.begin(), e.data.end());
    }
    File out = File::Create(path);
    out.write(bytes.data(), bytes.size());
    out.close();
}

std::string OutsideMapData(const std::string& uopPath, const UopFixture& fixture) {
    File file = File::OpenRead(uopPath);
    std::string bytes(file.size(), '\0');
    file.readExact(bytes.data(), bytes.size());
    for (std::size_t k = 0; k < fixture.pieceData.size(); ++k) {
        std::fill_n(bytes.begin() + static_cast<long>(fixture.pieceData[k]), fixture.pieceLength[k],
                    '\0');
        std::fill_n(bytes.begin() + static_cast<long>(fixture.hashFields[k]), 4, '\0');
    }
    return bytes;
}

std::uint32_t RecordedHash(const std::string& uopPath, const UopFixture& fixture, std::size_t k) {
    File file = File::OpenRead(uopPath);
    file.seek(fixture.hashFields[k]);
    std::uint32_t hash = 0;
    file.readExact(&hash, sizeof hash);
    return hash;
}

std::uint32_t AdlerOfPiece(const std::string& uopPath, const UopFixture& fixture, std::size_t k) {
    File file = File::OpenRead(uopPath);
    std::vector<char> data(fixture.pieceLength[k]);
    file.seek(fixture.pieceData[k]);
    file.readExact(data.data(), data.size());
    return UopDataHash(data.data(), data.size());
}

MapInBothForms MakeMapInBothForms(const std::string& folder, const WorldSize& world, int facet) {
    std::filesystem::create_directories(folder);
    const std::string n = std::to_string(facet);
    MapInBothForms maps{
        folder + "/map" + n + ".mul", folder + "/map" + n + "LegacyMUL.uop", {}, {}};
    MakeSparseMap(maps.plain, world);
    maps.fixture = MakeUopMap(maps.plain, maps.container, {.facet = facet});
    maps.outside = OutsideMapData(maps.container, maps.fixture);
    return maps;
}

} // namespace lw::test
