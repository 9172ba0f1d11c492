// freeze: the selected items of the item file become statics, optionally also patch file items.
#include "cli/Command.h"
#include "cli/RestorePointOptions.h"
#include "items/FreezeItems.h"

#include <memory>

namespace lw::cli {

void AddFreezeCommand(CLI::App& app) {
    struct Options {
        std::string staidx, statics, items, autoSelect, patch;
        bool uox3 = false;
    };
    auto options = std::make_shared<Options>();
    CLI::App* cmd =
        app.add_subcommand("freeze", "Move the selected items of the item file into the statics");
    cmd->add_option("--staidx", options->staidx, "staidx0.mul")->required();
    cmd->add_option("--statics", options->statics, "statics0.mul")->required();
    cmd->add_option("--items", options->items, "the emulator item file")->required();
    cmd->add_flag("--uox3", options->uox3, "UOX3 style item files (end with EOF); POL otherwise");
    cmd->add_option("--auto", options->autoSelect,
                    "select \"auto\" with this AutoSelect.txt; otherwise \"type 255\"");
    cmd->add_option("--pat", options->patch,
                    "also write the frozen items to this patch file (appended to if it exists)");
    const auto restore = AddRestorePointOptions(*cmd);
    cmd->callback([options, restore] {
        const CommandRestorePoint point("freeze", *restore);
        auto state = std::make_unique<ProgramState>();
        NullProgress progress;
        LoadStaticIndex(*state, options->staidx, progress, PrintLine);
        FreezeRequest request;
        request.staidx = options->staidx;
        request.statics = options->statics;
        request.itemFile = options->items;
        request.style = options->uox3 ? ItemFileStyle::Uox3 : ItemFileStyle::Pol;
        request.selection =
            options->autoSelect.empty() ? SelectionMode::Type255 : SelectionMode::Auto;
        request.autoSelectFile = options->autoSelect;
        request.writePat = !options->patch.empty();
        request.patchFile = options->patch;
        FreezeWorld(*state, request, PrintLine, progress);
    });
}

} // namespace lw::cli
