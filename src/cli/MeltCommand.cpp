// melt: the statics of a block range become TYPE 255 items of the item file.
#include "cli/Command.h"
#include "cli/RestorePointOptions.h"
#include "items/MeltBlocks.h"

#include <memory>

namespace lw::cli {

void AddMeltCommand(CLI::App& app) {
    struct Options {
        std::string staidx, statics, items;
        bool uox3 = false;
        BlockFieldTexts range;
    };
    auto options = std::make_shared<Options>();
    CLI::App* cmd = app.add_subcommand("melt", "Move the statics of a block range into the item "
                                               "file as TYPE 255 items");
    cmd->add_option("--staidx", options->staidx, "staidx0.mul")->required();
    cmd->add_option("--statics", options->statics, "statics0.mul")->required();
    cmd->add_option("--items", options->items, "the emulator item file")->required();
    cmd->add_flag("--uox3", options->uox3, "UOX3 style item file (ends with EOF); POL otherwise");
    AddBlockRangeArguments(*cmd, options->range);
    const auto restore = AddRestorePointOptions(*cmd);
    cmd->callback([options, restore] {
        const CommandRestorePoint point("melt", *restore);
        auto state = std::make_unique<ProgramState>();
        NullProgress progress;
        LoadStaticIndex(*state, options->staidx, progress, PrintLine);
        PrintLine(kMeltStartLine);
        const MeltRequest request{options->staidx, options->statics, options->items,
                                  options->uox3 ? ItemFileStyle::Uox3 : ItemFileStyle::Pol,
                                  ParseBlockRange(options->range)};
        MeltBlocks(*state, request, PrintLine, progress);
        PrintLine(kMeltDoneLine);
    });
}

} // namespace lw::cli
