// Diff files for the fuzz targets: a sound one, and the input read as patches to it, so that the
// fuzzer reaches deep into the checks instead of failing on the header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace lw::fuzz {

// A sound diff with one changed static block (block 0, two records) and one changed map block
// (block 0), made against an index with the given checksum.
std::string SoundDiff(std::uint32_t originalIndexChecksum);

// The input is a list of 8-byte patches: a position and a 32-bit value to put there; a position
// that is 63 modulo 64 cuts the file to the value (modulo its size plus one) instead.
std::string Patched(const std::string& sound, const std::uint8_t* data, std::size_t size);

} // namespace lw::fuzz
