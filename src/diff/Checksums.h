// The two checksums of a diff: the "CRC value" of a static index, which guards an application,
// and the map checksum, which is only written for information.
#pragma once

#include "util/Progress.h"
#include "world/StaticIndex.h"

#include <cstdint>
#include <string>

namespace lw {

// The exclusive-or of the table's 32-bit words: the bytes of staidx0.mul its world holds
// (4,718,592 in the classic world).
std::uint32_t IndexChecksum(const StaticIndexTable& table);

// The exclusive-or of the 32-bit words of the world's blocks of a map (a container's too);
// progress per block. Without a world: the classic world's 393,216 blocks.
std::uint32_t MapChecksum(const std::string& mapPath, const WorldSize& world, Progress& progress);
std::uint32_t MapChecksum(const std::string& mapPath, Progress& progress);

// The checksum as the user sees it: "0D C2 9C 5A".
std::string ChecksumText(std::uint32_t checksum);

} // namespace lw
