#include "diff/Checksums.h"

#include "util/Errors.h"
#include "util/File.h"
#include "util/SpacedHex.h"
#include "world/MapFile.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace lw {
namespace {

std::uint32_t XorWords(const void* data, std::size_t wordCount) {
    // Eight bytes at a time in four independent lanes, so that the loads need not wait for each
    // other; the two halves of the 64-bit sum are the sums of the even and the odd words.
    const auto* bytes = static_cast<const char*>(data);
    std::uint64_t lanes[4] = {0, 0, 0, 0};
    const std::size_t pairs = wordCount / 2;
    std::size_t i = 0;
    for (; i + 4 <= pairs; i += 4)
        for (std::size_t lane = 0; lane < 4; ++lane) {
            std::uint64_t two;
            std::memcpy(&two, bytes + (i + lane) * 8, 8);
            lanes[lane] ^= two;
        }
    for (; i < pairs; ++i) {
        std::uint64_t two;
        std::memcpy(&two, bytes + i * 8, 8);
        lanes[0] ^= two;
    }
    const std::uint64_t wide = lanes[0] ^ lanes[1] ^ lanes[2] ^ lanes[3];
    auto sum = static_cast<std::uint32_t>(wide ^ (wide >> 32));
    if (wordCount % 2 != 0) {
        std::uint32_t last;
        std::memcpy(&last, bytes + pairs * 8, sizeof last);
        sum ^= last;
    }
    return sum;
}

} // namespace

std::uint32_t IndexChecksum(const StaticIndexTable& table) {
    static_assert(kIndexEntrySize % 4 == 0);
    return XorWords(table.data(), table.byteSize() / 4);
}

std::uint32_t MapChecksum(const std::string& mapPath, Progress& progress) {
    return MapChecksum(mapPath, kClassicWorld, progress);
}

std::uint32_t MapChecksum(const std::string& mapPath, const WorldSize& world, Progress& progress) {
    static_assert(kMapBlockSize % 4 == 0);
    constexpr int kBlocksPerPiece = 4096;
    const int count = world.blockCount();
    progress.report(0);
    MapFile map = MapFile::OpenRead(mapPath);
    std::vector<char> piece(kBlocksPerPiece * kMapBlockSize);
    std::uint32_t sum = 0;
    std::uint64_t position = 0;
    for (int first = 0; first < count; first += kBlocksPerPiece) {
        const int wanted = std::min(kBlocksPerPiece, count - first);
        const std::size_t got = map.readSome(position, piece.data(), wanted * kMapBlockSize);
        position += got;
        const int blocks = static_cast<int>(got / kMapBlockSize);
        // Whole blocks are whole words, so the piece's sum is the sum of its blocks.
        sum ^= XorWords(piece.data(), blocks * kMapBlockSize / 4);
        for (int done = first + 1; done <= first + blocks; ++done)
            progress.report(static_cast<int>(static_cast<std::uint64_t>(done) * 100 / count));
        progress.yield();
        if (blocks < wanted)
            throw IoError(kIoReadPastEnd);
    }
    map.close();
    progress.report(100);
    return sum;
}

std::string ChecksumText(std::uint32_t checksum) {
    return IntToSpacedHex(checksum, 4);
}

} // namespace lw
