// Feeds arbitrary texture and art files to the tile picture decoding: the input holds the four
// files (texidx.mul, texmaps.mul, artidx.mul, art.mul) separated by "|#|". Every picture is
// either decoded with as many pixels as its size says, or refused with an Error.
#include "FuzzFiles.h"
#include "mapedit/ImageFiles.h"
#include "mapedit/TilePictures.h"
#include "util/Errors.h"

#include <cstdint>
#include <cstdlib>

namespace {

using namespace lw;

void Require(bool condition) {
    if (!condition)
        std::abort();
}

void CheckImage(const TileImage& image) {
    Require(image.Width > 0 && image.Height > 0);
    Require(image.Pixels.size() ==
            static_cast<std::size_t>(image.Width) * static_cast<std::size_t>(image.Height));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ImageFiles files{fuzz::ScratchFile(kTexIdxName), fuzz::ScratchFile(kTexMapsName),
                                  fuzz::ScratchFile(kArtIdxName), fuzz::ScratchFile(kArtName)};
    const auto parts = fuzz::SplitInput(fuzz::AsText(data, size), "|#|", 4);
    fuzz::WriteBytes(files.TexIdx, parts[0]);
    fuzz::WriteBytes(files.TexMaps, parts[1]);
    fuzz::WriteBytes(files.ArtIdx, parts[2]);
    fuzz::WriteBytes(files.Art, parts[3]);
    // The ids whose entries the files can hold, and the edge of the id range.
    for (const int id : {0, 1, 2, 3, 4095, 4096, 65535}) {
        try {
            CheckImage(MakeTileImage(files, static_cast<std::uint16_t>(id)));
        } catch (const Error&) {
        }
        TileImage image;
        try {
            if (LoadArtImage(files, static_cast<std::uint16_t>(id), image))
                Require(image.Width == kArtSide && image.Height == kArtSide);
        } catch (const Error&) {
        }
    }
    return 0;
}
