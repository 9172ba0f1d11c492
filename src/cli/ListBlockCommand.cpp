// list-block: the items of a block range, as the block listing shows them.
#include "cli/Command.h"
#include "util/OperationFiles.h"
#include "world/BlockListing.h"
#include "world/FileRoles.h"
#include "world/StaticIndex.h"
#include "world/WorldFileNames.h"
#include "world/WorldOfFiles.h"

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
        // Both files under one look for interrupted operations: the listing never mixes an
        // index and statics of two moments.
        const OperationFiles files({{kStaticsIndexRole, options->staidx, FileUse::Read},
                                    {kStaticsFileRole, options->statics, FileUse::Read}},
                                   PrintNote);
        auto index = std::make_unique<StaticIndexTable>(IndexWorld(options->staidx));
        NullProgress progress;
        ReadStaticIndex(options->staidx, *index, progress);
        const BlockRange range = ParseBlockRange(options->range);
        ListStaticBlocks(options->statics, *index, range, PrintLine);
    });
}

} // namespace lw::cli
