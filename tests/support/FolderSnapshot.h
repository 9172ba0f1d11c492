// Every file of a folder with its bytes, to show that a failed or cancelled operation changed
// nothing.
#pragma once

#include <map>
#include <string>

namespace lw::test {

// Every file of the folder by name, with its bytes (a folder or a pipe in it is only named).
std::map<std::string, std::string> Snapshot(const std::string& folder);
// Names the files that differ, without printing megabytes of them.
void ExpectSameFiles(const std::map<std::string, std::string>& actual,
                     const std::map<std::string, std::string>& expected);

} // namespace lw::test
