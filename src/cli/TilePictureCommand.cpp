// tile-picture: the picture the grids show for one tile id, as an unscaled PNG file.
#include "cli/Command.h"
#include "cli/ImageFolder.h"
#include "cli/PngFile.h"
#include "mapedit/TileColours.h"
#include "mapedit/TilePictures.h"
#include "util/Errors.h"
#include "util/IntConv.h"
#include "util/OperationFiles.h"
#include "util/SafeReplace.h"

#include <memory>
#include <vector>

namespace lw::cli {
namespace {

RgbImage Rgb888(const TileImage& image) {
    RgbImage rgb{image.Width, image.Height, {}};
    rgb.Bytes.reserve(image.Pixels.size() * 3);
    for (const std::uint16_t pixel : image.Pixels) {
        const Rgb colour = PixelColour(pixel);
        rgb.Bytes.insert(rgb.Bytes.end(), {colour.R, colour.G, colour.B});
    }
    return rgb;
}

} // namespace

void AddTilePictureCommand(CLI::App& app) {
    struct Options {
        std::string images, id, out;
    };
    auto options = std::make_shared<Options>();
    CLI::App* cmd = app.add_subcommand(
        "tile-picture", "Write the picture of a terrain tile id as a PNG file, unscaled");
    cmd->add_option("--images", options->images,
                    "folder of texidx.mul, texmaps.mul and artidx.mul with art.mul (or "
                    "artLegacyMUL.uop)")
        ->required();
    cmd->add_option("ID", options->id, "tile id, decimal or hex ($, x or 0x)")->required();
    cmd->add_option("--out", options->out, "PNG file to write")->required();
    cmd->callback([options] {
        const auto id = static_cast<std::uint16_t>(CheckRange(StrToInt(options->id), 0, 0xFFFF));
        const ImageFiles images = FindImageFilesOrFail(options->images);
        // The picture goes beside the files it comes from, never over one of them.
        std::vector<DeclaredFile> declared;
        DeclareImageFiles(images, declared);
        declared.push_back({kPictureRole, options->out, FileUse::Write});
        const OperationFiles files(declared, PrintLine);
        const std::vector<std::uint8_t> png = EncodePng(Rgb888(MakeTileImage(images, id)));
        ReplaceFile(files.path(kPictureRole), [&](File& f) { f.write(png.data(), png.size()); });
    });
}

} // namespace lw::cli
