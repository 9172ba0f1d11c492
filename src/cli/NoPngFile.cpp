// PNG pictures in a build without libpng: the commands that write one say why they cannot.
#include "cli/PngFile.h"
#include "util/Errors.h"

namespace lw::cli {

std::vector<std::uint8_t> EncodePng(const RgbImage&) {
    throw Error("This build of loamwright-cli cannot write PNG files.");
}

} // namespace lw::cli
