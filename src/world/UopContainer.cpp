#include "world/UopContainer.h"

#include "util/Errors.h"

#include <algorithm>
#include <cstring>
#include <set>
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lw {
namespace {

constexpr std::uint64_t kHeaderSize = 4 + 4 + 4 + 8 + 4 + 4;
constexpr std::uint64_t kTableHeaderSize = 4 + 8;

constexpr std::uint32_t Rotate(std::uint32_t x, int k) {
    return (x << k) | (x >> (32 - k));
}

void Mix(std::uint32_t& a, std::uint32_t& b, std::uint32_t& c) {
    a -= c;
    a ^= Rotate(c, 4);
    c += b;
    b -= a;
    b ^= Rotate(a, 6);
    a += c;
    c -= b;
    c ^= Rotate(b, 8);
    b += a;
    a -= c;
    a ^= Rotate(c, 16);
    c += b;
    b -= a;
    b ^= Rotate(a, 19);
    a += c;
    c -= b;
    c ^= Rotate(b, 4);
    b += a;
}

void Final(std::uint32_t& a, std::uint32_t& b, std::uint32_t& c) {
    c ^= b;
    c -= Rotate(b, 14);
    a ^= c;
    a -= Rotate(c, 11);
    b ^= a;
    b -= Rotate(a, 25);
    c ^= b;
    c -= Rotate(b, 16);
    a ^= c;
    a -= Rotate(c, 4);
    b ^= a;
    b -= Rotate(a, 14);
    c ^= b;
    c -= Rotate(b, 24);
}

// Up to four bytes as a little-endian word, the missing ones zero.
std::uint32_t Word(const unsigned char* bytes, std::size_t count) {
    std::uint32_t word = 0;
    for (std::size_t i = 0; i < count && i < 4; ++i)
        word |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    return word;
}

template <typename T> T Field(const unsigned char* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

UopEntry ParseRecord(const unsigned char* at, std::uint64_t position) {
    UopEntry e;
    e.record = position;
    e.offset = Field<std::uint64_t>(at);
    e.headerLength = Field<std::uint32_t>(at + 8);
    e.compressedLength = Field<std::uint32_t>(at + 12);
    e.decompressedLength = Field<std::uint32_t>(at + 16);
    e.nameHash = Field<std::uint64_t>(at + 20);
    e.dataHash = Field<std::uint32_t>(at + kUopRecordDataHashAt);
    e.flag = Field<std::uint16_t>(at + 32);
    return e;
}

// Lengths and offsets are signed in the format: a value with the top bit set is none that a
// sound file holds.
void CheckEntry(const UopEntry& e, std::uint64_t fileSize, const std::string& path) {
    const auto bad = [](std::uint32_t length) { return length > 0x7FFFFFFFu; };
    if (e.offset > fileSize || bad(e.headerLength) || bad(e.compressedLength) ||
        bad(e.decompressedLength) ||
        e.dataStart() + (e.flag == 0 ? e.decompressedLength : e.compressedLength) > fileSize)
        RefuseDamagedContainer(path, "the entry recorded at position " + std::to_string(e.record) +
                                         " lies outside the file");
}

struct GroupSums {
    std::uint64_t plain = 0;    // of all bytes
    std::uint64_t weighted = 0; // byte i of a run of n counted n - i times

    // The sums of this run followed by another of `length` bytes.
    void append(const GroupSums& next, std::uint64_t length) {
        weighted += plain * length + next.weighted;
        plain += next.plain;
    }
};

GroupSums SumGroupsPlainly(const unsigned char* bytes, std::size_t groups) {
    GroupSums sums;
    for (std::size_t g = 0; g < groups; ++g) {
        GroupSums group;
        for (std::size_t i = 0; i < 16; ++i) {
            group.plain += bytes[16 * g + i];
            group.weighted += (16 - i) * bytes[16 * g + i];
        }
        sums.append(group, 16);
    }
    return sums;
}

#if defined(__SSE2__)
std::uint64_t LaneSum(__m128i lanes) {
    std::uint32_t words[4];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(words), lanes);
    return std::uint64_t{words[0]} + words[1] + words[2] + words[3];
}

GroupSums SumGroupsSse2(const unsigned char* bytes, std::size_t groups) {
    const __m128i zero = _mm_setzero_si128();
    // Within a group byte i weighs 16 - i; _mm_set_epi16 lists the highest lane first.
    const __m128i firstWeights = _mm_set_epi16(9, 10, 11, 12, 13, 14, 15, 16);
    const __m128i lastWeights = _mm_set_epi16(1, 2, 3, 4, 5, 6, 7, 8);
    __m128i plain = zero, earlier = zero, weighted = zero;
    for (std::size_t g = 0; g < groups; ++g) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * g));
        earlier = _mm_add_epi32(earlier, plain); // every earlier group's bytes, once more
        plain = _mm_add_epi32(plain, _mm_sad_epu8(v, zero));
        weighted = _mm_add_epi32(
            weighted, _mm_add_epi32(_mm_madd_epi16(_mm_unpacklo_epi8(v, zero), firstWeights),
                                    _mm_madd_epi16(_mm_unpackhi_epi8(v, zero), lastWeights)));
    }
    weighted = _mm_add_epi32(weighted, _mm_slli_epi32(earlier, 4));
    return {LaneSum(plain), LaneSum(weighted)};
}
#endif

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define LW_ADLER_AVX2 1
// Where the processor has AVX2, 32 bytes a step: twice the pace again.
__attribute__((target("avx2"))) GroupSums SumGroupsAvx2(const unsigned char* bytes,
                                                        std::size_t groups) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i weights =
        _mm256_set_epi8(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21,
                        22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32);
    const __m256i ones = _mm256_set1_epi16(1);
    __m256i plain = zero, earlier = zero, weighted = zero;
    const std::size_t pairs = groups / 2;
    for (std::size_t p = 0; p < pairs; ++p) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + 32 * p));
        earlier = _mm256_add_epi32(earlier, plain);
        plain = _mm256_add_epi32(plain, _mm256_sad_epu8(v, zero));
        weighted =
            _mm256_add_epi32(weighted, _mm256_madd_epi16(_mm256_maddubs_epi16(v, weights), ones));
    }
    weighted = _mm256_add_epi32(weighted, _mm256_slli_epi32(earlier, 5));
    // Unaligned stores: some compilers do not align the stack for 32-byte variables.
    std::uint32_t words[8];
    GroupSums sums;
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(words), plain);
    for (const std::uint32_t w : words)
        sums.plain += w;
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(words), weighted);
    for (const std::uint32_t w : words)
        sums.weighted += w;
    if (groups % 2 != 0)
        sums.append(SumGroupsPlainly(bytes + 32 * pairs, 1), 16);
    return sums;
}
#endif

// The sums over `groups` runs of 16 bytes, at most 5552 bytes in all: map pieces are hashed
// whenever a container is written, so the sums take 16 or 32 bytes at a time where they can.
GroupSums SumGroups(const unsigned char* bytes, std::size_t groups) {
#if defined(LW_ADLER_AVX2)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2)
        return SumGroupsAvx2(bytes, groups);
#endif
#if defined(__SSE2__)
    return SumGroupsSse2(bytes, groups);
#else
    return SumGroupsPlainly(bytes, groups);
#endif
}

} // namespace

std::uint64_t UopNameHash(std::string_view name) {
    const auto* k = reinterpret_cast<const unsigned char*>(name.data());
    std::size_t n = name.size();
    std::uint32_t a = 0xDEADBEEFu + static_cast<std::uint32_t>(n);
    std::uint32_t b = a, c = a;
    while (n > 12) {
        a += Word(k, 4);
        b += Word(k + 4, 4);
        c += Word(k + 8, 4);
        Mix(a, b, c);
        n -= 12;
        k += 12;
    }
    if (n > 0) {
        a += Word(k, n);
        if (n > 4)
            b += Word(k + 4, n - 4);
        if (n > 8)
            c += Word(k + 8, n - 8);
        Final(a, b, c);
    }
    return static_cast<std::uint64_t>(b) << 32 | c;
}

std::uint32_t UopDataHash(const void* data, std::size_t length, std::uint32_t running) {
    constexpr std::uint64_t kModulus = 65521;
    // The most bytes whose sums cannot overflow 32 bits before they are reduced; whole groups.
    constexpr std::size_t kMostBeforeReducing = 5552;
    static_assert(kMostBeforeReducing % 16 == 0);
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::uint64_t a = running & 0xFFFF, b = running >> 16;
    while (length > 0) {
        const std::size_t n = std::min(length, kMostBeforeReducing);
        const std::size_t grouped = n - n % 16;
        // Groups of 16 bytes add to b what byte-by-byte steps would: a once for each byte, and
        // each byte once for itself and every byte after it.
        const GroupSums sums = SumGroups(bytes, grouped / 16);
        b += a * grouped + sums.weighted;
        a += sums.plain;
        for (std::size_t i = grouped; i < n; ++i) {
            a += bytes[i];
            b += a;
        }
        a %= kModulus;
        b %= kModulus;
        bytes += n;
        length -= n;
    }
    return static_cast<std::uint32_t>(b << 16 | a);
}

std::uint32_t UopDataHashOfJoined(std::uint32_t first, std::uint32_t second,
                                  std::uint64_t secondLength) {
    constexpr std::uint64_t kModulus = 65521;
    const std::uint64_t a1 = first & 0xFFFF, b1 = first >> 16;
    const std::uint64_t a2 = second & 0xFFFF, b2 = second >> 16;
    // Every byte of the second run adds the first run's sum once more to b.
    const std::uint64_t a = (a1 + a2 + kModulus - 1) % kModulus;
    const std::uint64_t b =
        (b1 + b2 + secondLength % kModulus * ((a1 + kModulus - 1) % kModulus)) % kModulus;
    return static_cast<std::uint32_t>(b << 16 | a);
}

const UopEntry* UopContainer::find(std::uint64_t nameHash) const {
    const auto found = byHash_.find(nameHash);
    return found == byHash_.end() ? nullptr : &entries[found->second];
}

void RefuseDamagedContainer(const std::string& path, const std::string& what) {
    throw Error("The container " + path + " is damaged: " + what + ". Nothing was changed.");
}

UopContainer ReadUopContainer(File& file, const std::string& path) {
    UopContainer container;
    container.fileSize = file.size();
    if (container.fileSize < kHeaderSize)
        RefuseDamagedContainer(path, "it is shorter than a container's header");
    unsigned char header[kHeaderSize];
    file.seek(0);
    file.readExact(header, sizeof header);
    if (Field<std::uint32_t>(header) != kUopMagic)
        throw Error("The file " + path +
                    " is no UOP container: it does not begin with \"MYP\". "
                    "Nothing was changed.");
    container.version = Field<std::uint32_t>(header + 4);
    if (container.version != 4 && container.version != 5)
        throw Error("The container " + path + " is of version " +
                    std::to_string(container.version) +
                    ", which Loamwright cannot read or write back exactly (it knows versions 4 "
                    "and 5). Nothing was changed.");

    std::set<std::uint64_t> visited;
    std::vector<unsigned char> table;
    for (std::uint64_t at = Field<std::uint64_t>(header + 12); at != 0;) {
        if (!visited.insert(at).second)
            RefuseDamagedContainer(path, "its tables run in a circle");
        if (at > container.fileSize || container.fileSize - at < kTableHeaderSize)
            RefuseDamagedContainer(path, "a table at position " + std::to_string(at) +
                                             " lies outside the file");
        unsigned char tableHeader[kTableHeaderSize];
        file.seek(at);
        file.readExact(tableHeader, sizeof tableHeader);
        const auto count = Field<std::uint32_t>(tableHeader);
        const auto next = Field<std::uint64_t>(tableHeader + 4);
        const std::uint64_t recordsStart = at + kTableHeaderSize;
        if (count > (container.fileSize - recordsStart) / kUopRecordSize)
            RefuseDamagedContainer(path, "the table at position " + std::to_string(at) +
                                             " has more entries than the file holds");
        table.resize(count * kUopRecordSize);
        file.readExact(table.data(), table.size());
        for (std::uint32_t i = 0; i < count; ++i) {
            const UopEntry entry =
                ParseRecord(table.data() + i * kUopRecordSize, recordsStart + i * kUopRecordSize);
            if (entry.offset == 0)
                continue; // an unused slot
            CheckEntry(entry, container.fileSize, path);
            if (!container.byHash_.emplace(entry.nameHash, container.entries.size()).second)
                RefuseDamagedContainer(path, "two of its entries have one name");
            container.entries.push_back(entry);
        }
        at = next;
    }
    return container;
}

} // namespace lw
