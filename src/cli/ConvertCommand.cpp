// convert: a map from mapN.mul into the container mapNLegacyMUL.uop, or back.
#include "cli/Command.h"
#include "cli/RestorePointOptions.h"
#include "world/MapConversion.h"

#include <memory>

namespace lw::cli {

void AddConvertCommand(CLI::App& app) {
    struct Options {
        std::string to, in, out;
    };
    auto options = std::make_shared<Options>();
    CLI::App* cmd = app.add_subcommand(
        "convert", "Convert a map between mapN.mul and the container mapNLegacyMUL.uop");
    cmd->add_option("--to", options->to, "the form to write: uop or mul")
        ->required()
        ->check(CLI::IsMember({"uop", "mul"}));
    cmd->add_option("IN", options->in, "the map to read, either form")->required();
    cmd->add_option("OUT", options->out, "the map to write (replaced when it exists)")->required();
    const auto restore = AddRestorePointOptions(*cmd);
    cmd->callback([options, restore] {
        const CommandRestorePoint point("convert", *restore);
        ConvertMap(options->in, options->out, options->to == "uop", PrintLine);
    });
}

} // namespace lw::cli
