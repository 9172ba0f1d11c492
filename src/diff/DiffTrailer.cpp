#include "diff/DiffTrailer.h"

#include "util/ContentDigest.h"
#include "util/Errors.h"

#include <algorithm>
#include <string>
#include <vector>

namespace lw {
namespace {

constexpr std::string_view kAlgorithm = "XXH64";

std::uint64_t DigestOfFirst(File& diff, std::uint64_t length) {
    diff.seek(0);
    std::vector<char> buffer(std::size_t{1} << 20);
    ContentDigest digest;
    for (std::uint64_t done = 0; done < length;) {
        const std::size_t piece =
            static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), length - done));
        diff.readExact(buffer.data(), piece);
        digest.add(buffer.data(), piece);
        done += piece;
    }
    return digest.value();
}

[[noreturn]] void Refuse(const std::string& what) {
    throw Error("The diff file is damaged: " + what + ". Nothing was changed.");
}

} // namespace

void AppendDiffTrailer(File& diff) {
    const std::uint64_t size = diff.size();
    const std::string trailer = std::string(kDiffTrailerMagic) + std::string(kAlgorithm) + " " +
                                DigestText(DigestOfFirst(diff, size)) + "\n";
    diff.seek(size);
    diff.write(trailer.data(), trailer.size());
}

void RequireSoundDiffTrailer(File& diff) {
    const std::uint64_t size = diff.size();
    if (size < kDiffTrailerSize)
        return;
    std::string trailer(kDiffTrailerSize, '\0');
    diff.seek(size - kDiffTrailerSize);
    diff.readExact(trailer.data(), trailer.size());
    if (!std::string_view(trailer).starts_with(kDiffTrailerMagic))
        return; // written by an earlier version: no checksum to check
    const std::string_view rest = std::string_view(trailer).substr(kDiffTrailerMagic.size());
    const std::size_t blank = rest.find(' ');
    if (blank == std::string_view::npos || rest.back() != '\n')
        Refuse("its checksum trailer is unreadable");
    const std::string_view algorithm = rest.substr(0, blank);
    if (algorithm != kAlgorithm)
        throw Error("The diff file ends in a checksum of the kind \"" + std::string(algorithm) +
                    "\", which this version of Loamwright cannot check. Nothing was changed.");
    std::uint64_t stored = 0;
    if (!ParseDigestText(rest.substr(blank + 1, rest.size() - blank - 2), stored))
        Refuse("its checksum trailer is unreadable");
    if (DigestOfFirst(diff, size - kDiffTrailerSize) != stored)
        Refuse("its content does not match the checksum it was written with, so it was changed "
               "on its way; get the diff file again");
}

} // namespace lw
