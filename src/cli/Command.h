// What every loamwright-cli command shares: its registration and its output contract.
#pragma once

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

void AddListBlockCommand(CLI::App& app);
void AddDemoWorldCommand(CLI::App& app);
void AddMeltCommand(CLI::App& app);
void AddFreezeCommand(CLI::App& app);
// index-crc, diff-generate, diff-apply.
void AddDiffCommands(CLI::App& app);

} // namespace lw::cli
