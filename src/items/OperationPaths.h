// The checks on the item and patch file paths that melt and freeze make before anything else.
#pragma once

#include <string>

namespace lw {

// Refuses an item file that is staidx0.mul or statics0.mul.
void CheckItemFilePath(const std::string& staIdxPath, const std::string& staticsPath,
                       const std::string& itemFilePath);

// Refuses a patch file that is the item file (by name, ignoring letter case, or as the same
// file) or one of the world files. The window calls this before its append question.
void CheckPatchFilePath(const std::string& staIdxPath, const std::string& staticsPath,
                        const std::string& itemFilePath, const std::string& patchFilePath);

} // namespace lw
