#include "util/ContentDigest.h"

#include "util/File.h"

#include <bit>
#include <cstring>
#include <vector>

namespace lw {
namespace {

constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87ULL;
constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4FULL;
constexpr std::uint64_t kPrime3 = 0x165667B19E3779F9ULL;
constexpr std::uint64_t kPrime4 = 0x85EBCA77C2B2AE63ULL;
constexpr std::uint64_t kPrime5 = 0x27D4EB2F165667C5ULL;

static_assert(std::endian::native == std::endian::little);

std::uint64_t Read64(const unsigned char* p) {
    std::uint64_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

std::uint32_t Read32(const unsigned char* p) {
    std::uint32_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

std::uint64_t Round(std::uint64_t lane, std::uint64_t input) {
    lane += input * kPrime2;
    return std::rotl(lane, 31) * kPrime1;
}

std::uint64_t MergeLane(std::uint64_t hash, std::uint64_t lane) {
    hash ^= Round(0, lane);
    return hash * kPrime1 + kPrime4;
}

} // namespace

ContentDigest::ContentDigest() : lanes_{kPrime1 + kPrime2, kPrime2, 0, 0 - kPrime1} {}

void ContentDigest::add(const void* data, std::size_t length) {
    const auto* p = static_cast<const unsigned char*>(data);
    total_ += length;
    if (pendingSize_ + length < pending_.size()) {
        std::memcpy(pending_.data() + pendingSize_, p, length);
        pendingSize_ += length;
        return;
    }
    if (pendingSize_ > 0) {
        const std::size_t fill = pending_.size() - pendingSize_;
        std::memcpy(pending_.data() + pendingSize_, p, fill);
        for (std::size_t lane = 0; lane < 4; ++lane)
            lanes_[lane] = Round(lanes_[lane], Read64(pending_.data() + lane * 8));
        p += fill;
        length -= fill;
        pendingSize_ = 0;
    }
    // Four independent lanes: the loop runs at memory speed.
    std::uint64_t v1 = lanes_[0], v2 = lanes_[1], v3 = lanes_[2], v4 = lanes_[3];
    for (; length >= 32; p += 32, length -= 32) {
        v1 = Round(v1, Read64(p));
        v2 = Round(v2, Read64(p + 8));
        v3 = Round(v3, Read64(p + 16));
        v4 = Round(v4, Read64(p + 24));
    }
    lanes_ = {v1, v2, v3, v4};
    std::memcpy(pending_.data(), p, length);
    pendingSize_ = length;
}

std::uint64_t ContentDigest::value() const {
    std::uint64_t hash;
    if (total_ >= 32) {
        hash = std::rotl(lanes_[0], 1) + std::rotl(lanes_[1], 7) + std::rotl(lanes_[2], 12) +
               std::rotl(lanes_[3], 18);
        for (const std::uint64_t lane : lanes_)
            hash = MergeLane(hash, lane);
    } else {
        hash = kPrime5;
    }
    hash += total_;
    const unsigned char* p = pending_.data();
    std::size_t left = pendingSize_;
    for (; left >= 8; p += 8, left -= 8)
        hash = std::rotl(hash ^ Round(0, Read64(p)), 27) * kPrime1 + kPrime4;
    if (left >= 4) {
        hash = std::rotl(hash ^ (std::uint64_t{Read32(p)} * kPrime1), 23) * kPrime2 + kPrime3;
        p += 4;
        left -= 4;
    }
    for (; left > 0; ++p, --left)
        hash = std::rotl(hash ^ (*p * kPrime5), 11) * kPrime1;
    hash ^= hash >> 33;
    hash *= kPrime2;
    hash ^= hash >> 29;
    hash *= kPrime3;
    hash ^= hash >> 32;
    return hash;
}

std::uint64_t DigestOf(std::string_view bytes) {
    ContentDigest digest;
    digest.add(bytes.data(), bytes.size());
    return digest.value();
}

std::uint64_t DigestOfFile(const std::string& path) {
    File file = File::OpenRead(path);
    std::vector<char> buffer(std::size_t{1} << 20);
    ContentDigest digest;
    while (const std::size_t got = file.readSome(buffer.data(), buffer.size()))
        digest.add(buffer.data(), got);
    file.close();
    return digest.value();
}

std::string DigestText(std::uint64_t digest) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, digest >>= 4)
        text[static_cast<std::size_t>(i)] = kDigits[digest & 15];
    return text;
}

bool ParseDigestText(std::string_view text, std::uint64_t& digest) {
    if (text.size() != 16)
        return false;
    std::uint64_t value = 0;
    for (const char c : text) {
        int nibble;
        if (c >= '0' && c <= '9')
            nibble = c - '0';
        else if (c >= 'a' && c <= 'f')
            nibble = c - 'a' + 10;
        else
            return false;
        value = value << 4 | static_cast<std::uint64_t>(nibble);
    }
    digest = value;
    return true;
}

} // namespace lw
