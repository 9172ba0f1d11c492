// render: the map drawn small, as the editor's overview shows it, written as a PNG file: for a
// shard's website, or to look over a changed map before it is shipped.
#include "cli/Command.h"
#include "cli/PngFile.h"
#include "mapedit/ImageFiles.h"
#include "mapedit/MapOverview.h"
#include "util/Errors.h"
#include "util/IntConv.h"
#include "util/OperationFiles.h"
#include "util/SafeReplace.h"
#include "world/FileRoles.h"

#include <memory>
#include <vector>

namespace lw::cli {
namespace {

constexpr const char* kPictureRole = "picture file";

// X1 X2 Y1 Y2, the first and last tile of each side, as list-block takes them.
TileRect RegionFrom(const std::vector<std::string>& texts, const MapSize& size) {
    if (texts.empty())
        return WholeMap(size);
    const int x1 = StrToInt(texts[0]), x2 = StrToInt(texts[1]);
    const int y1 = StrToInt(texts[2]), y2 = StrToInt(texts[3]);
    CheckRange(x1, 0, size.width() - 1);
    CheckRange(x2, x1, size.width() - 1);
    CheckRange(y1, 0, size.height() - 1);
    CheckRange(y2, y1, size.height() - 1);
    return {x1, y1, x2 - x1 + 1, y2 - y1 + 1};
}

ImageFiles FindImageFilesOrFail(const std::string& folder) {
    if (auto files = FindImageFiles(folder))
        return *files;
    throw IoError(kIoFileNotFound);
}

} // namespace

void AddRenderCommand(CLI::App& app) {
    struct Options {
        std::string map, images, scale = "1", out;
        std::vector<std::string> region;
    };
    auto options = std::make_shared<Options>();
    CLI::App* cmd = app.add_subcommand(
        "render", "Write the map drawn small as a PNG file: each tile the average colour of its "
                  "picture, shaded by altitude");
    cmd->add_option("--map", options->map, "map0.mul")->required();
    cmd->add_option("--images", options->images,
                    "folder of texidx.mul, texmaps.mul, artidx.mul and art.mul")
        ->required();
    cmd->add_option("--region", options->region,
                    "tile rectangle X1 X2 Y1 Y2, first and last tiles included (default: the "
                    "whole map)")
        ->expected(4);
    cmd->add_option("--scale", options->scale,
                    "tiles per pixel side: a pixel shows the average of N x N tiles")
        ->capture_default_str();
    cmd->add_option("--out", options->out, "PNG file to write")->required();
    cmd->callback([options] {
        const MapSize size;
        const TileRect region = RegionFrom(options->region, size);
        const int scale = StrToInt(options->scale);
        const ImageFiles images = FindImageFilesOrFail(options->images);
        const OperationFiles files({{kMapFileRole, options->map, FileUse::Read},
                                    {"texture index", images.TexIdx, FileUse::Read},
                                    {"texture file", images.TexMaps, FileUse::Read},
                                    {"art index", images.ArtIdx, FileUse::Read},
                                    {"art file", images.Art, FileUse::Read},
                                    {kPictureRole, options->out, FileUse::Write}},
                                   PrintLine);
        MapOverview overview(size);
        overview.draw({options->map, options->images, region, scale});
        const std::vector<std::uint8_t> png = EncodePng(overview.image());
        ReplaceFile(files.path(kPictureRole), [&](File& f) { f.write(png.data(), png.size()); });
    });
}

} // namespace lw::cli
