// Feeds patched diff files to the check an application runs before it writes anything. The
// property: whatever the check accepts, every piece an application then reads lies inside the
// file, so reading them never fails.
#include "FuzzFiles.h"
#include "PatchedDiff.h"
#include "diff/DiffContents.h"
#include "diff/DiffPieces.h"
#include "util/Errors.h"
#include "util/File.h"

#include <cstdint>

namespace {

using namespace lw;

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = fuzz::ScratchFile("world.lw2");
    static const std::string sound = fuzz::SoundDiff(0);
    fuzz::WriteBytes(path, fuzz::Patched(sound, data, size));

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
