// The checks on the item and patch file paths that melt and freeze make before anything else.
#pragma once

#include "util/OperationFiles.h"

#include <string>
#include <string_view>

namespace lw {

// Refuses an item file that is staidx0.mul or statics0.mul.
void CheckItemFilePath(const std::string& staIdxPath, const std::string& staticsPath,
                       const std::string& itemFilePath);

// Refuses a patch file that is the item file (by name, ignoring letter case, or as the same
// file) or one of the world files. The window calls this before its append question.
void CheckPatchFilePath(const std::string& staIdxPath, const std::string& staticsPath,
                        const std::string& itemFilePath, const std::string& patchFilePath);

// Refuses an item or patch file declared under role that is not text: one named like a world
// file, the same file as another declared file, or one holding a NUL byte.
void RequireItemText(const OperationFiles& files, std::string_view role);

} // namespace lw
