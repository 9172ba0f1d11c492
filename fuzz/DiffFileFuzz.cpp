// Feeds patched diff files to the check an application runs before it writes anything. The
// property: whatever the check accepts, every piece an application then reads lies inside the
// file, so reading them never fails.
#include "diff/DiffContents.h"
#include "diff/DiffPieces.h"
#include "util/Errors.h"
#include "util/File.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

using namespace lw;

void Put32(std::string& bytes, std::size_t position, std::uint32_t value) {
    std::memcpy(bytes.data() + position, &value, 4);
}

// A sound diff with one changed static block and one changed map block.
std::string SoundDiff() {
    const std::uint32_t staticsIndex = kDiffHeaderSize + 14;
    const std::uint32_t mapBlock = staticsIndex + kStaticsDiffIndexSize;
    const std::uint32_t mapIndex = mapBlock + kMapBlockSize;
    std::string bytes(mapIndex + kMapDiffIndexSize, '\xFF');
    std::memset(bytes.data(), 0, kDiffHeaderSize + 14);
    Put32(bytes, 0, kDiffVersion);
    Put32(bytes, 4, staticsIndex);
    Put32(bytes, 24, mapIndex);
    Put32(bytes, staticsIndex, kDiffHeaderSize);
    Put32(bytes, staticsIndex + 4, 14);
    std::memset(bytes.data() + mapBlock, 'm', kMapBlockSize);
    Put32(bytes, mapIndex, mapBlock);
    return bytes;
}

// The input is a list of 8-byte patches: a position and a 32-bit value to put there; a position
// past the end cuts the file instead.
std::string Patched(const std::uint8_t* data, std::size_t size) {
    static const std::string sound = SoundDiff();
    std::string bytes = sound;
    for (std::size_t i = 0; i + 8 <= size; i += 8) {
        std::uint32_t position, value;
        std::memcpy(&position, data + i, 4);
        std::memcpy(&value, data + i + 4, 4);
        if (position % 64 == 63)
            bytes.resize(value % (bytes.size() + 1));
        else if (position % bytes.size() + 4 <= bytes.size())
            Put32(bytes, position % bytes.size(), value);
    }
    return bytes;
}

void ReadEveryPiece(File& file, const DiffContents& contents) {
    PieceReader diff(file);
    if (contents.statics)
        for (const StaticsDiffEntry& entry : *contents.statics)
            if (!IsUnchanged(entry) && !IsEmptied(entry))
                ReadDiffStatics(diff, entry);
    if (contents.map)
        for (const std::uint32_t position : *contents.map)
            if (position != kDiffAbsent)
                ReadDiffMapBlock(diff, position);
}

std::string ScratchPath() {
    return "/tmp/lw-diff-fuzz-" + std::to_string(::getpid()) + ".lw2";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = [] {
        std::atexit([] { RemoveFileQuietly(ScratchPath()); });
        return ScratchPath();
    }();
    const std::string bytes = Patched(data, size);
    File out = File::Create(path);
    out.write(bytes.data(), bytes.size());
    out.close();

    File file = File::OpenRead(path);
    DiffContents contents;
    try {
        contents = ReadDiffContents(file);
    } catch (const Error&) {
        return 0; // refused: fine, as long as it is an Error with a message
    }
    ReadEveryPiece(file, contents); // an accepted file must read without any error
    return 0;
}
