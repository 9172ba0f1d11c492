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

#ifndef _WIN32
// The same, run as another user (65534 is nobody), for what a user without root's rights sees.
ProgramResult RunProgramAs(unsigned user, const std::string& program,
                           const std::vector<std::string>& args);
#endif

} // namespace lw::test
