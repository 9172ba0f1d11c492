// Which option of the command that failed named the file an I/O error is about.
#include "cli/Command.h"
#include "util/File.h"

namespace lw::cli {
namespace {

// The error may name the real file behind a link, or the new content written beside a file.
bool NamesFile(const std::string& optionValue, std::string errorPath) {
    for (const char* marker : {".lw-new-", ".lw-old-"})
        if (const auto at = errorPath.rfind(marker); at != std::string::npos)
            errorPath.erase(at);
    return IsSameFile(optionValue, errorPath) || ResolveLinks(optionValue) == errorPath;
}

// A file no option named (a journal, a folder) says what it is to the operation, if it knows.
std::string NamedWithRole(const IoError& error) {
    return error.role().empty() ? error.path() : error.path() + " (" + error.role() + ")";
}

} // namespace

std::string FileLine(const CLI::App& app, const IoError& error) {
    for (const CLI::App* command : app.get_subcommands()) {
        for (const CLI::Option* option : command->get_options()) {
            for (const std::string& value : option->results())
                if (NamesFile(value, error.path()))
                    return command->get_name() + ": " + option->get_name() + " " + value + ": " +
                           error.reason();
        }
        return command->get_name() + ": " + NamedWithRole(error) + ": " + error.reason();
    }
    return NamedWithRole(error) + ": " + error.reason();
}

} // namespace lw::cli
