// loamwright-cli: the operations of the desktop program, for scripts. stdout holds the lines the
// operation logs or lists; a failure's message is the last line of stderr with status 1; usage
// errors exit with 2.
#include "cli/Command.h"
#include "cli/RestorePointOptions.h"

#include <algorithm>
#include <exception>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    // Lines end in LF as everywhere else, so that a script sees the same bytes on every system
    // (the C runtime's text mode would add a CR to each).
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    CLI::App app{"Loamwright: statics, item files and world diffs of UO worlds, for scripts.",
                 "loamwright-cli"};
    app.require_subcommand(1);
    // CLI11 would take "/x" for an option on Windows, where a path may start with a slash too;
    // subcommands inherit the setting, so it comes before them.
    app.allow_windows_style_options(false);
    lw::cli::AddListBlockCommand(app);
    lw::cli::AddDemoWorldCommand(app);
    lw::cli::AddMeltCommand(app);
    lw::cli::AddFreezeCommand(app);
    lw::cli::AddDiffCommands(app);
    lw::cli::AddTilePictureCommand(app);
    lw::cli::AddFillClearCommand(app);
    lw::cli::AddRenderCommand(app);
    lw::cli::AddCheckCommand(app);
    lw::cli::AddCompactCommand(app);
    lw::cli::AddDiffInfoCommand(app);
    lw::cli::AddConvertCommand(app);
    lw::cli::AddRecoverCommand(app);
    lw::cli::AddRestoreCommand(app);
    lw::cli::SetCommandLine(argc, argv);

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
