// list-block: the items of a block range, as the block listing shows them.
#include "cli/Command.h"
#include "world/BlockListing.h"
#include "world/ProgramState.h"

#include <memory>

namespace lw::cli {

void AddListBlockCommand(CLI::App& app) {
    struct Options {
        std::string staidx, statics;
        std::string x1, x2, y1, y2;
    };
    auto options = std::make_shared<Options>();
    CLI::App* cmd = app.add_subcommand("list-block", "List the static items of a block range");
    cmd->add_option("--staidx", options->staidx, "staidx0.mul")->required();
    cmd->add_option("--statics", options->statics, "statics0.mul")->required();
    cmd->add_option("X1", options->x1, "first tile X")->required();
    cmd->add_option("X2", options->x2, "last tile X")->required();
    cmd->add_option("Y1", options->y1, "first tile Y")->required();
    cmd->add_option("Y2", options->y2, "last tile Y")->required();
    cmd->callback([options] {
        auto state = std::make_unique<ProgramState>();
        NullProgress progress;
        LoadStaticIndex(*state, options->staidx, progress);
        const BlockRange range =
            ParseBlockRange({options->x1, options->x2, options->y1, options->y2});
        ListStaticBlocks(options->statics, state->StaticIndex, range, PrintLine);
    });
}

} // namespace lw::cli
