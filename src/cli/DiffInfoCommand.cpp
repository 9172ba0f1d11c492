// diff-info: what a .lw2 diff holds and changes, without applying it; beside the original files
// whether it fits them, and a picture of the changed blocks.
#include "cli/Command.h"
#include "cli/ImageFolder.h"
#include "cli/PngFile.h"
#include "diff/DiffInfo.h"
#include "diff/DiffPicture.h"
#include "util/OperationFiles.h"
#include "util/SafeReplace.h"
#include "world/FileRoles.h"

#include <memory>

namespace lw::cli {
namespace {

// The picture goes beside whatever it is drawn from, never over it.
void WritePicture(const DiffInfo& info, const std::optional<WorldFileSet>& originals,
                  const std::string& imageFolder, const std::string& pngPath) {
    std::vector<DeclaredFile> declared{{kDiffFileRole, info.DiffPath, FileUse::Read},
                                       {kPictureRole, pngPath, FileUse::Write}};
    std::string map, images;
    if (originals) {
        declared.push_back({kOriginalStaticsIndexRole, originals->staidx, FileUse::Read});
        declared.push_back({kOriginalStaticsFileRole, originals->statics, FileUse::Read});
        declared.push_back({kOriginalMapFileRole, originals->map, FileUse::Read});
    }
    if (!imageFolder.empty()) {
        DeclareImageFiles(FindImageFilesOrFail(imageFolder), declared);
        if (originals) {
            map = originals->map;
            images = imageFolder;
        }
    }
    const OperationFiles files(declared, PrintLine);
    const std::vector<std::uint8_t> png = EncodePng(DiffPicture(info, map, images, true));
    ReplaceFile(files.path(kPictureRole), [&](File& f) { f.write(png.data(), png.size()); });
}

} // namespace

void AddDiffInfoCommand(CLI::App& app) {
    struct Options {
        std::string diff, images, png;
        WorldFileSet originals;
    };
    auto options = std::make_shared<Options>();
    CLI::App* cmd = app.add_subcommand(
        "diff-info", "Show what a .lw2 diff holds and changes, and whether it fits the originals");
    cmd->add_option("--diff", options->diff, "the .lw2 file")->required();
    CLI::Option* staidx =
        cmd->add_option("--original-staidx", options->originals.staidx, "original staidx0.mul");
    CLI::Option* statics =
        cmd->add_option("--original-statics", options->originals.statics, "original statics0.mul");
    CLI::Option* map =
        cmd->add_option("--original-map", options->originals.map, "original map0.mul");
    staidx->needs(statics, map);
    statics->needs(staidx, map);
    map->needs(staidx, statics);
    cmd->add_option("--png", options->png,
                    "also write a picture of the world with the changed blocks marked");
    cmd->add_option("--images", options->images,
                    "with --png and the originals: draw the original map on the colours of the "
                    "image files in this folder (texidx.mul, texmaps.mul, artidx.mul with art.mul "
                    "or artLegacyMUL.uop)");
    cmd->callback([options] {
        std::optional<WorldFileSet> originals;
        if (!options->originals.staidx.empty())
            originals = options->originals;
        NullProgress progress;
        const DiffInfo info = ReadDiffInfo(options->diff, originals, progress, PrintLine);
        for (const std::string& line : DiffInfoLines(info))
            PrintLine(line);
        if (!info.Damage.empty())
            throw Error(info.Damage);
        if (!options->png.empty())
            WritePicture(info, originals, options->images, options->png);
        if (const std::string misfit = MisfitMessage(info); !misfit.empty())
            throw Error(misfit);
    });
}

} // namespace lw::cli
