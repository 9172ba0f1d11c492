// render: the map drawn small, as the editor's overview shows it, written as a PNG file: for a
// shard's website, or to look over a changed map before it is shipped.
#include "cli/Command.h"
#include "cli/ImageFolder.h"
#include "cli/PngFile.h"
#include "mapedit/MapOverview.h"
#include "util/Errors.h"
#include "util/IntConv.h"
#include "util/OperationFiles.h"
#include "util/SafeReplace.h"
#include "world/FileRoles.h"
#include "world/WorldOfFiles.h"

#include <memory>
#include <vector>

namespace lw::cli {
namespace {

// X1 X2 Y1 Y2, the first and last tile of each side, as list-block takes them, inside the world.
TileRect RegionFrom(const std::vector<std::string>& texts, const WorldSize& world) {
    if (texts.empty())
        return WholeMap(world);
    const int x1 = StrToInt(texts[0]), x2 = StrToInt(texts[1]);
    const int y1 = StrToInt(texts[2]), y2 = StrToInt(texts[3]);
    CheckRange(x1, 0, world.width() - 1);
    CheckRange(x2, x1, world.width() - 1);
    CheckRange(y1, 0, world.height() - 1);
    CheckRange(y2, y1, world.height() - 1);
    return {x1, y1, x2 - x1 + 1, y2 - y1 + 1};
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
    cmd->add_option("--map", options->map, "mapN.mul or mapNLegacyMUL.uop")->required();
    cmd->add_option("--images", options->images,
                    "folder of texidx.mul, texmaps.mul and artidx.mul with art.mul (or "
                    "artLegacyMUL.uop)")
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
        const int scale = StrToInt(options->scale);
        std::vector<DeclaredFile> declared{{kMapFileRole, options->map, FileUse::Read}};
        DeclareImageFiles(FindImageFilesOrFail(options->images), declared);
        declared.push_back({kPictureRole, options->out, FileUse::Write});
        const OperationFiles files(declared, PrintLine);
        // The world the map's length gives, once a killed run's repair has put it right.
        const TileRect region = RegionFrom(options->region, MapWorld(options->map));
        MapOverview overview;
        overview.draw({.MapPath = options->map,
                       .ImageFolder = options->images,
                       .Region = region,
                       .Scale = scale,
                       .MapDeclared = true});
        const std::vector<std::uint8_t> png = EncodePng(overview.image());
        ReplaceFile(files.path(kPictureRole), [&](File& f) { f.write(png.data(), png.size()); });
    });
}

} // namespace lw::cli
