// loamwright-cli: the operations of the desktop program, for scripts. stdout holds the lines the
// operation logs or lists; a failure's message is the last line of stderr with status 1; usage
// errors exit with 2.
#include "cli/Command.h"

#include <algorithm>
#include <exception>

int main(int argc, char** argv) {
    CLI::App app{"Loamwright: statics, item files and world diffs of UO worlds, for scripts.",
                 "loamwright-cli"};
    app.require_subcommand(1);
    lw::cli::AddListBlockCommand(app);
    lw::cli::AddDemoWorldCommand(app);
    lw::cli::AddMeltCommand(app);
    lw::cli::AddFreezeCommand(app);
    lw::cli::AddDiffCommands(app);
    lw::cli::AddTilePictureCommand(app);
    lw::cli::AddFillClearCommand(app);

    // CLI11 would only say that a command is required.
    if (argc > 1 && argv[1][0] != '-') {
        const std::string name = argv[1];
        const auto commands = app.get_subcommands([](const CLI::App*) { return true; });
        if (std::none_of(commands.begin(), commands.end(),
                         [&](const CLI::App* command) { return command->get_name() == name; })) {
            std::cerr << "unknown command '" << name << "'; run loamwright-cli --help" << std::endl;
            return 2;
        }
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? 0 : 2;
    } catch (const std::exception& e) {
        std::cout.flush();
        if (const auto* io = dynamic_cast<const lw::IoError*>(&e); io && !io->path().empty())
            std::cerr << lw::cli::FileLine(app, *io) << '\n';
        std::cerr << e.what() << std::endl;
        return 1;
    }
    return 0;
}
