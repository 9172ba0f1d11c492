#include "cli/PngFile.h"

#include "util/Errors.h"

#include <png.h>
#include <string>

namespace lw::cli {

std::vector<std::uint8_t> EncodePng(const RgbImage& image) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.Width);
    png.height = static_cast<png_uint_32>(image.Height);
    png.format = PNG_FORMAT_RGB;
    // Room for the largest encoding, so that the picture is compressed once, not measured first.
    std::vector<std::uint8_t> encoded(PNG_IMAGE_PNG_SIZE_MAX(png));
    png_alloc_size_t size = encoded.size();
    if (png_image_write_to_memory(&png, encoded.data(), &size, 0, image.Bytes.data(), 0, nullptr)) {
        encoded.resize(size);
        return encoded;
    }
    const std::string message = png.message;
    png_image_free(&png);
    throw Error("PNG: " + message);
}

} // namespace lw::cli
