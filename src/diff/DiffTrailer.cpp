#include "diff/DiffTrailer.h"

#include "util/ContentDigest.h"
#include "util/Errors.h"

#include <algorithm>
#include <string>
#include <vector>

namespace lw {
namespace {

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

std::string ReadAt(File& diff, std::uint64_t position, std::size_t length) {
    std::string bytes(length, '\0');
    diff.seek(position);
    diff.readExact(bytes.data(), bytes.size());
    return bytes;
}

// The digest of the trailer that ends the file, checked against what is before it.
std::uint64_t CheckedDigest(File& diff, std::string_view trailer, std::uint64_t covered) {
    const std::string_view rest = trailer.substr(kDiffTrailerMagic.size());
    const std::size_t blank = rest.find(' ');
    if (blank == std::string_view::npos || rest.back() != '\n')
        Refuse("its checksum trailer is unreadable");
    const std::string_view algorithm = rest.substr(0, blank);
    if (algorithm != kDiffTrailerAlgorithm)
        throw Error("The diff file ends in a checksum of the kind \"" + std::string(algorithm) +
                    "\", which this version of Loamwright cannot check. Nothing was changed.");
    std::uint64_t stored = 0;
    if (!ParseDigestText(rest.substr(blank + 1, rest.size() - blank - 2), stored))
        Refuse("its checksum trailer is unreadable");
    if (DigestOfFirst(diff, covered) != stored)
        Refuse("its content does not match the checksum it was written with, so it was changed "
               "on its way; get the diff file again");
    return stored;
}

} // namespace

void AppendDiffTrailer(File& diff) {
    const std::uint64_t size = diff.size();
    const std::string trailer = std::string(kDiffTrailerMagic) +
                                std::string(kDiffTrailerAlgorithm) + " " +
                                DigestText(DigestOfFirst(diff, size)) + "\n";
    diff.seek(size);
    diff.write(trailer.data(), trailer.size());
}

DiffSeal CheckDiffTrailer(File& diff, std::uint64_t partsEnd) {
    const std::uint64_t size = diff.size();
    DiffSeal seal;
    seal.bytesAfterParts = size > partsEnd ? size - partsEnd : 0;
    if (seal.bytesAfterParts >= kDiffTrailerSize) {
        const std::string trailer = ReadAt(diff, size - kDiffTrailerSize, kDiffTrailerSize);
        if (trailer.starts_with(kDiffTrailerMagic)) {
            seal.digest = CheckedDigest(diff, trailer, size - kDiffTrailerSize);
            seal.sealed = true;
            return seal;
        }
    }
    // A trailer right after the last part that does not end the file: bytes were added to the
    // diff after it was written, or it was cut inside its trailer.
    if (seal.bytesAfterParts >= kDiffTrailerMagic.size() &&
        ReadAt(diff, partsEnd, kDiffTrailerMagic.size()) == kDiffTrailerMagic)
        Refuse(seal.bytesAfterParts < kDiffTrailerSize
                   ? std::string("its checksum trailer is cut short")
                   : std::to_string(seal.bytesAfterParts - kDiffTrailerSize) +
                         " bytes follow its checksum trailer");
    return seal;
}

} // namespace lw
