// render for a build without libpng (the Windows cross build): the command is there and says why
// it cannot run, so scripts and help texts stay the same.
#include "cli/Command.h"
#include "util/Errors.h"

#include <CLI/CLI.hpp>

namespace lw::cli {

void AddRenderCommand(CLI::App& app) {
    CLI::App* cmd = app.add_subcommand(
        "render", "Not in this build: it was made without libpng, which writes PNG files");
    cmd->allow_extras();
    cmd->callback([] { throw Error("This build of loamwright-cli cannot write PNG files."); });
}

} // namespace lw::cli
