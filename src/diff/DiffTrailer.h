// The checksum trailer after the last section of a .lw2 file: a short magic text, the name of
// the digest and the digest of every byte before it, so that a diff damaged on its way to a player
// is refused before anything is written. Readers go by the header's positions and never reach
// it; a diff from a writer that adds none is applied as it is.
#pragma once

#include "util/File.h"

#include <cstddef>
#include <string_view>

namespace lw {

// "LW2SUM XXH64 " + 16 hex digits + "\n"
inline constexpr std::string_view kDiffTrailerMagic = "LW2SUM ";
inline constexpr std::size_t kDiffTrailerSize = 30;

// Appends the trailer to a diff that is complete: its digest covers the whole file so far.
void AppendDiffTrailer(File& diff);
// When the diff ends in a trailer, its digest must match the bytes before it; a damaged trailer,
// a digest this version does not know or a mismatch is an Error saying so. A diff without a
// trailer passes.
void RequireSoundDiffTrailer(File& diff);

} // namespace lw
