// The UOP containers of later clients ("MYP" files such as map0LegacyMUL.uop and
// artLegacyMUL.uop): a header, a chain of tables of 34-byte entry records, and each entry's data
// somewhere in the file. Entries are found by the 64-bit hash of their name.
#pragma once

#include "util/File.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lw {

inline constexpr std::uint32_t kUopMagic = 0x0050594D; // "MYP\0"
inline constexpr std::uint32_t kUopVersion = 5;        // what the clients write
inline constexpr std::uint64_t kUopRecordSize = 34;
// Where in a record its data hash lies: after offset, three lengths and the name hash.
inline constexpr std::uint64_t kUopRecordDataHashAt = 8 + 4 + 4 + 4 + 8;

// The name hash of the containers: Bob Jenkins' lookup3 hashlittle2 over the name's bytes with
// both seeds 0, as (b << 32) | c.
std::uint64_t UopNameHash(std::string_view name);

// The data hash the writers of the field store: Adler-32, continued from `running` (1 to start).
std::uint32_t UopDataHash(const void* data, std::size_t length, std::uint32_t running = 1);
// The data hash of two runs of bytes one after the other, from the hash of each.
std::uint32_t UopDataHashOfJoined(std::uint32_t first, std::uint32_t second,
                                  std::uint64_t secondLength);

struct UopEntry {
    std::uint64_t record = 0; // file position of its 34-byte record
    std::uint64_t offset = 0; // of the entry's own header; its data follows that
    std::uint32_t headerLength = 0;
    std::uint32_t compressedLength = 0;
    std::uint32_t decompressedLength = 0;
    std::uint64_t nameHash = 0;
    std::uint32_t dataHash = 0;
    std::uint16_t flag = 0; // 0 stored, 1 compressed

    std::uint64_t dataStart() const { return offset + headerLength; }
    bool stored() const { return flag == 0 && compressedLength == decompressedLength; }
};

struct UopContainer {
    std::uint32_t version = 0;
    std::uint64_t fileSize = 0;
    std::vector<UopEntry> entries; // the used ones (offset not 0), in table order

    // The entry of that name hash; null when there is none.
    const UopEntry* find(std::uint64_t nameHash) const;

private:
    friend UopContainer ReadUopContainer(File& file, const std::string& path);
    std::unordered_map<std::uint64_t, std::size_t> byHash_;
};

// Reads and checks the header and every table: magic, a known version (4 or 5), tables and
// entry data inside the file, no table visited twice. Anything else is refused naming the file.
UopContainer ReadUopContainer(File& file, const std::string& path);

// "The container X is damaged: what. Nothing was changed."
[[noreturn]] void RefuseDamagedContainer(const std::string& path, const std::string& what);

} // namespace lw
