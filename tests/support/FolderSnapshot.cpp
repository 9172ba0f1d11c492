#include "support/FolderSnapshot.h"

#include "support/WorldFiles.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace lw::test {

std::map<std::string, std::string> Snapshot(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files[entry.path().filename().string()] = entry.is_directory() ? "(a folder)"
                                                  : entry.is_regular_file()
                                                      ? ReadWholeFile(entry.path().string())
                                                      : "(neither file nor folder)";
    return files;
}

void ExpectSameFiles(const std::map<std::string, std::string>& actual,
                     const std::map<std::string, std::string>& expected) {
    for (const auto& [name, content] : expected) {
        const auto it = actual.find(name);
        if (it == actual.end()) {
            ADD_FAILURE() << name << " is missing";
        } else if (it->second != content) {
            if (content.size() < 4000 && it->second.size() < 4000)
                EXPECT_EQ(it->second, content) << name;
            else
                ADD_FAILURE() << name << " differs";
        }
    }
    for (const auto& [name, content] : actual)
        if (!expected.count(name))
            ADD_FAILURE() << name << " should not be there";
}

} // namespace lw::test
