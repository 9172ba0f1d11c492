// What every loamwright-cli command shares: its registration and its output contract.
#pragma once

#include "util/Errors.h"
#include "util/Progress.h"

#include <CLI/CLI.hpp>
#include <array>
#include <iostream>
#include <string>

namespace lw::cli {

// One line of what the desktop program would put in its log or list.
inline void PrintLine(const std::string& line) {
    std::cout << line << '\n';
}

// A line about the files rather than the result (a repair of an interrupted operation), for
// commands whose output is a listing that scripts read.
inline void PrintNote(const std::string& line) {
    std::cerr << line << '\n';
}

// The four tile coordinates X1 X2 Y1 Y2 of a block range, kept as texts: they are converted
// exactly as the block fields are.
using BlockFieldTexts = std::array<std::string, 4>;
inline void AddBlockRangeArguments(CLI::App& cmd, BlockFieldTexts& texts) {
    static constexpr const char* kNames[] = {"X1", "X2", "Y1", "Y2"};
    static constexpr const char* kHelp[] = {"first tile X", "last tile X", "first tile Y",
                                            "last tile Y"};
    for (std::size_t i = 0; i < texts.size(); ++i)
        cmd.add_option(kNames[i], texts[i], kHelp[i])->required();
}

// The line before an I/O error's text: the command, the option that named the file, the path
// and the system's reason, e.g. "melt: --statics /x/statics0.mul: No such file or directory".
std::string FileLine(const CLI::App& app, const IoError& error);

void AddListBlockCommand(CLI::App& app);
void AddDemoWorldCommand(CLI::App& app);
void AddMeltCommand(CLI::App& app);
void AddFreezeCommand(CLI::App& app);
// index-crc, diff-generate, diff-apply.
void AddDiffCommands(CLI::App& app);
void AddTilePictureCommand(CLI::App& app);
void AddFillClearCommand(CLI::App& app);
void AddRenderCommand(CLI::App& app);
void AddCheckCommand(CLI::App& app);
void AddCompactCommand(CLI::App& app);
void AddDiffInfoCommand(CLI::App& app);
void AddConvertCommand(CLI::App& app);
void AddRecoverCommand(CLI::App& app);
void AddRestoreCommand(CLI::App& app);

} // namespace lw::cli
