// tile-picture: the picture the grids show for one tile id, as an unscaled PNG file.
#include "cli/Command.h"
#include "mapedit/TilePictures.h"
#include "util/Errors.h"
#include "util/IntConv.h"
#include "util/SafeReplace.h"

#include <memory>
#include <png.h>
#include <vector>

namespace lw::cli {
namespace {

// Widens a 5-bit channel so that 0 stays 0 and 31 becomes 255.
std::uint8_t Widen(unsigned channel) {
    return static_cast<std::uint8_t>((channel << 3) | (channel >> 2));
}

std::vector<std::uint8_t> Rgb888(const TileImage& image) {
    std::vector<std::uint8_t> rgb;
    rgb.reserve(image.Pixels.size() * 3);
    for (const std::uint16_t pixel : image.Pixels) {
        rgb.push_back(Widen(pixel >> 10 & 31));
        rgb.push_back(Widen(pixel >> 5 & 31));
        rgb.push_back(Widen(pixel & 31));
    }
    return rgb;
}

std::vector<std::uint8_t> EncodePng(const TileImage& image) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.Width);
    png.height = static_cast<png_uint_32>(image.Height);
    png.format = PNG_FORMAT_RGB;
    const std::vector<std::uint8_t> rgb = Rgb888(image);
    png_alloc_size_t size = 0;
    if (png_image_write_get_memory_size(png, size, 0, rgb.data(), 0, nullptr)) {
        std::vector<std::uint8_t> encoded(size);
        if (png_image_write_to_memory(&png, encoded.data(), &size, 0, rgb.data(), 0, nullptr)) {
            encoded.resize(size);
            return encoded;
        }
    }
    const std::string message = png.message;
    png_image_free(&png);
    throw Error("PNG: " + message);
}

ImageFiles FindImageFilesOrFail(const std::string& folder) {
    if (auto files = FindImageFiles(folder))
        return *files;
    throw IoError(kIoFileNotFound);
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
                    "folder of texidx.mul, texmaps.mul, artidx.mul and art.mul")
        ->required();
    cmd->add_option("ID", options->id, "tile id, decimal or hex ($, x or 0x)")->required();
    cmd->add_option("--out", options->out, "PNG file to write")->required();
    cmd->callback([options] {
        const auto id = static_cast<std::uint16_t>(CheckRange(StrToInt(options->id), 0, 0xFFFF));
        const TileImage image = MakeTileImage(FindImageFilesOrFail(options->images), id);
        const std::vector<std::uint8_t> png = EncodePng(image);
        ReplaceFile(options->out, [&](File& f) { f.write(png.data(), png.size()); });
    });
}

} // namespace lw::cli
