// Runs a program (the built loamwright-cli) and captures what it prints and its exit status.
#pragma once

#include <string>
#include <vector>

namespace lw::test {

struct ProgramResult {
    int exitCode = -1;
    std::string out;
    std::string err;
    std::vector<std::string> outLines() const;
    std::string lastErrLine() const;
};

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args);

} // namespace lw::test
