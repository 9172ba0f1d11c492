// The checksum trailer after the last section of a .lw2 file: a short magic text, the name of
// the digest and the digest of every byte before it, so that a diff damaged on its way to a player
// is refused before anything is written. Readers go by the header's positions and never reach
// it; a diff from a writer that adds none is applied as it is.
#pragma once

#include "util/File.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lw {

// "LW2SUM XXH64 " + 16 hex digits + "\n"
inline constexpr std::string_view kDiffTrailerMagic = "LW2SUM ";
inline constexpr std::string_view kDiffTrailerAlgorithm = "XXH64";
inline constexpr std::size_t kDiffTrailerSize = 30;

// Appends the trailer to a diff that is complete: its digest covers the whole file so far.
void AppendDiffTrailer(File& diff);

// What follows the last part of a diff.
struct DiffSeal {
    std::uint64_t bytesAfterParts = 0; // the trailer among them
    bool sealed = false;               // it ends in a trailer that matches the bytes before it
    std::uint64_t digest = 0;          // the trailer's
};

// Reads what follows partsEnd (DiffPartsEnd): nothing; a trailer, whose digest must match the
// bytes before it; or bytes that hold none, which nothing reads (a diff from a writer that adds
// no trailer). A damaged trailer, a digest this version does not know, a mismatch, or bytes
// after the trailer (the diff was changed after it was written) are an Error saying so.
DiffSeal CheckDiffTrailer(File& diff, std::uint64_t partsEnd);

} // namespace lw
