// recover: repairs what an interrupted operation left in the folders of the given files, as any
// operation on them would first; for a folder that readers refuse to read until it is repaired.
#include "cli/Command.h"
#include "util/File.h"
#include "util/Recovery.h"

#include <memory>

namespace lw::cli {

void AddRecoverCommand(CLI::App& app) {
    auto paths = std::make_shared<std::vector<std::string>>();
    CLI::App* cmd = app.add_subcommand(
        "recover", "Complete or undo what an interrupted operation left in the folders of the "
                   "given files (or folders)");
    cmd->add_option("PATH", *paths, "a world or item file, or a folder")->required();
    cmd->callback([paths] {
        std::vector<std::string> folders;
        for (const std::string& path : *paths) {
            const auto status = StatusOf(path);
            folders.push_back(status && status->isFolder() ? path : DirectoryOf(path));
            if (!StatusOf(folders.back()))
                throw IoError(kIoPathNotFound, path, "No such file or directory");
        }
        if (RecoverInterruptedOperations(folders, PrintLine) == 0)
            PrintLine("No interrupted operation was found there.");
    });
}

} // namespace lw::cli
