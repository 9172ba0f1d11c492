// restore: lists the restore points of folders, or puts the files of one back (keeping the files
// it replaces as a restore point of its own).
#include "cli/Command.h"
#include "cli/RestorePointOptions.h"
#include "restore/Restore.h"

#include <memory>
#include <optional>

namespace lw::cli {

void AddRestoreCommand(CLI::App& app) {
    struct Options {
        bool list = false;
        std::vector<std::string> arguments;
    };
    auto options = std::make_shared<Options>();
    CLI::App* cmd = app.add_subcommand(
        "restore", "List the restore points of folders (--list DIR...), or put the files of "
                   "restore point N back (N DIR..., every folder it wrote)");
    cmd->add_flag("--list", options->list, "list the restore points of the folders");
    cmd->add_option("ARGS", options->arguments, "N DIR..., or DIR... with --list")->required();
    const auto restore = AddRestorePointOptions(*cmd);
    cmd->callback([options, restore] {
        std::vector<std::string> folders = options->arguments;
        if (options->list) {
            for (const std::string& line : RestoreListLines(ListRestorePoints(folders)))
                PrintLine(line);
            return;
        }
        const std::string number = folders.front();
        folders.erase(folders.begin());
        if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos ||
            number.size() > 18 || number == "0")
            throw CLI::ValidationError("N", "\"" + number + "\" is no restore point number");
        if (folders.empty())
            throw CLI::ValidationError("DIR", "name the folders of restore point " + number);
        const CommandRestorePoint point("restore", *restore);
        RestoreFiles(std::stoull(number), folders, PrintLine);
    });
}

} // namespace lw::cli
