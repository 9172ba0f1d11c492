#include "diff/Checksums.h"

#include "util/Errors.h"
#include "util/File.h"
#include "util/Tools.h"

#include <cstring>
#include <vector>

namespace lw {
namespace {

std::uint32_t XorWords(const void* data, std::size_t wordCount) {
    const auto* bytes = static_cast<const char*>(data);
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < wordCount; ++i) {
        std::uint32_t word;
        std::memcpy(&word, bytes + i * sizeof word, sizeof word);
        sum ^= word;
    }
    return sum;
}

} // namespace

std::uint32_t IndexChecksum(const StaticIndexTable& table) {
    static_assert(kIndexFileSize % 4 == 0);
    return XorWords(table.data(), kIndexFileSize / 4);
}

std::uint32_t MapChecksum(const std::string& mapPath, Progress& progress) {
    static_assert(kMapBlockSize % 4 == 0);
    constexpr int kBlocksPerPiece = 4096;
    static_assert(kBlockCount % kBlocksPerPiece == 0);
    progress.report(0);
    File file = File::OpenRead(mapPath);
    std::vector<char> piece(kBlocksPerPiece * kMapBlockSize);
    std::uint32_t sum = 0;
    for (int first = 0; first < kBlockCount; first += kBlocksPerPiece) {
        const std::size_t got = file.readSome(piece.data(), piece.size());
        const int blocks = static_cast<int>(got / kMapBlockSize);
        for (int i = 0; i < blocks; ++i) {
            sum ^= XorWords(piece.data() + i * kMapBlockSize, kMapBlockSize / 4);
            const long long done = first + i + 1;
            progress.report(static_cast<int>(done * 100 / kBlockCount));
            progress.yield();
        }
        if (blocks < kBlocksPerPiece)
            throw IoError(kIoReadPastEnd);
    }
    file.close();
    progress.report(100);
    return sum;
}

std::string ChecksumText(std::uint32_t checksum) {
    return IntToSpacedHex(checksum, 4);
}

} // namespace lw
