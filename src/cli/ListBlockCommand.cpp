// list-block: the items of a block range, as the block listing shows them.
#include "cli/Command.h"
#include "world/BlockListing.h"
#include "world/ProgramState.h"
#include "world/WorldFileNames.h"

#include <memory>

namespace lw::cli {

void AddListBlockCommand(CLI::App& app) {
    struct Options {
        std::string staidx, statics;
        BlockFieldTexts range;
    };
    auto options = std::make_shared<Options>();
    CLI::App* cmd = app.add_subcommand("list-block", "List the static items of a block range");
    cmd->add_option("--staidx", options->staidx, "staidx0.mul")->required();
    cmd->add_option("--statics", options->statics, "statics0.mul")->required();
    AddBlockRangeArguments(*cmd, options->range);
    cmd->callback([options] {
        FacetOfFiles({options->staidx, options->statics});
        auto state = std::make_unique<ProgramState>();
        NullProgress progress;
        LoadStaticIndex(*state, options->staidx, progress);
        const BlockRange range = ParseBlockRange(options->range);
        ListStaticBlocks(options->statics, state->StaticIndex, range, PrintLine);
    });
}

} // namespace lw::cli
