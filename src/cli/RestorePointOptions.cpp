#include "cli/RestorePointOptions.h"

#include "cli/Command.h"

namespace lw::cli {
namespace {

std::string gCommandLine;

// A word a shell would read as it is, or in single quotes.
std::string Quoted(const std::string& word) {
    if (!word.empty() && word.find_first_of(" \t\n'\"\\$`*?;&|<>()") == std::string::npos)
        return word;
    std::string quoted = "'";
    for (const char c : word)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

RestoreSettings SettingsOf(const std::string& command, const RestorePointOptions& options) {
    RestoreSettings settings;
    settings.limits.points = options.points;
    settings.limits.bytes = ParseByteSize(options.size);
    settings.operation = command;
    settings.commandLine = gCommandLine;
    return settings;
}

} // namespace

std::shared_ptr<RestorePointOptions> AddRestorePointOptions(CLI::App& cmd) {
    auto options = std::make_shared<RestorePointOptions>();
    cmd.add_option("--restore-points", options->points,
                   "restore points kept per folder, the oldest go first (0: keep none)")
        ->default_val(options->points)
        ->check(CLI::NonNegativeNumber);
    cmd.add_option("--restore-size", options->size,
                   "room the restore points of a folder may take, in bytes or with K, M or G")
        ->default_val(options->size)
        ->check(CLI::Validator(
            [](const std::string& text) {
                try {
                    ParseByteSize(text);
                    return std::string();
                } catch (const Error& e) {
                    return std::string(e.what());
                }
            },
            "BYTES"));
    return options;
}

void SetCommandLine(int argc, char** argv) {
    gCommandLine.clear();
    for (int i = 0; i < argc; ++i)
        gCommandLine += (i ? " " : "") + Quoted(i == 0 ? std::string("loamwright-cli") : argv[i]);
}

CommandRestorePoint::CommandRestorePoint(const std::string& command,
                                         const RestorePointOptions& options)
    : keeper_(SettingsOf(command, options), PrintNote), scope_(keeper_) {}

} // namespace lw::cli
