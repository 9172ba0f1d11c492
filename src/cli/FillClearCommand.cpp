// fill-clear: clears the statics and fills the terrain of a tile rectangle, as the "Fill/Clear"
// window's Go! does.
#include "cli/Command.h"
#include "cli/RestorePointOptions.h"
#include "fillclear/FillClearFields.h"
#include "util/IntConv.h"

#include <memory>
#include <optional>

namespace lw::cli {

void AddFillClearCommand(CLI::App& app) {
    struct Options {
        FillClearRequest request;
        FillClearFieldTexts texts;
        bool noStatics = false, noMap = false;
        std::string seed = "0";
    };
    auto options = std::make_shared<Options>();
    CLI::App* cmd = app.add_subcommand(
        "fill-clear", "Remove the statics of a tile rectangle and fill its terrain with one tile "
                      "or a random tile group");
    cmd->add_option("--staidx", options->request.StaIdxPath, "staidx0.mul")->required();
    cmd->add_option("--statics", options->request.StaticsPath, "statics0.mul")->required();
    cmd->add_option("--map", options->request.MapPath, "map0.mul")->required();
    cmd->add_option("--top", options->texts.Top, "top border (tile Y)")->capture_default_str();
    cmd->add_option("--left", options->texts.Left, "left border (tile X)")->capture_default_str();
    CLI::Option* right = cmd->add_option("--right", options->texts.Right,
                                         "right border (tile X); the world's width by default");
    CLI::Option* bottom = cmd->add_option("--bottom", options->texts.Bottom,
                                          "bottom border (tile Y); the world's height by default");
    cmd->add_option("--tile", options->texts.Tile,
                    "a tile group such as \"Random grass\", or a tile id in hex such as \"00 03\"");
    cmd->add_option("--altitude", options->texts.Altitude, "altitude of the filled cells")
        ->capture_default_str();
    CLI::Option* noStatics =
        cmd->add_flag("--no-statics", options->noStatics, "leave staidx0.mul and statics0.mul");
    cmd->add_flag("--no-map", options->noMap, "leave map0.mul")->excludes(noStatics);
    cmd->add_option("--seed", options->seed, "the random generator's state to start from")
        ->capture_default_str();
    const auto restore = AddRestorePointOptions(*cmd);
    cmd->callback([options, restore, right, bottom] {
        const CommandRestorePoint point("fill-clear", *restore);
        FillClearRequest request = options->request;
        request.ClearStatics = !options->noStatics;
        request.FillTerrain = !options->noMap;
        // Read once, when the borders need it.
        std::optional<WorldSize> world;
        const auto worldOfFiles = [&] {
            if (!world)
                world = ReadFillClearWorld(request, PrintLine);
            return *world;
        };
        // As the window's fields after its map was chosen: the whole world.
        FillClearFieldTexts texts = options->texts;
        if (right->count() == 0)
            texts.Right = std::to_string(worldOfFiles().width());
        if (bottom->count() == 0)
            texts.Bottom = std::to_string(worldOfFiles().height());
        request = ReadFillClearFields(request, texts, worldOfFiles);
        auto state = std::make_unique<ProgramState>();
        // Read like every integer of the windows ($7FFFFFFF, -1); the generator keeps 32 bits.
        state->RandomSeed = static_cast<std::uint32_t>(StrToInt(options->seed));
        NullProgress progress;
        FillClear(*state, request, progress, PrintLine);
    });
}

} // namespace lw::cli
