#include "items/OperationPaths.h"

#include "util/Errors.h"
#include "util/File.h"
#include "util/Text.h"
#include "world/WorldFileNames.h"

namespace lw {
namespace {

bool IsStaticsFile(const std::string& staIdxPath, const std::string& staticsPath,
                   const std::string& path) {
    return IsSameFile(path, staIdxPath) || IsSameFile(path, staticsPath);
}

} // namespace

void CheckItemFilePath(const std::string& staIdxPath, const std::string& staticsPath,
                       const std::string& itemFilePath) {
    if (IsStaticsFile(staIdxPath, staticsPath, itemFilePath))
        throw Error("The WSC file cannot be the StaIdx or the Statics file!");
}

void CheckPatchFilePath(const std::string& staIdxPath, const std::string& staticsPath,
                        const std::string& itemFilePath, const std::string& patchFilePath) {
    if (UpperCase(patchFilePath) == UpperCase(itemFilePath) ||
        SameFile(patchFilePath, itemFilePath))
        throw Error("The WSC and the PAT file cannot be the same!");
    if (IsStaticsFile(staIdxPath, staticsPath, patchFilePath))
        throw Error("The PAT file cannot be the StaIdx or the Statics file!");
}

void RequireItemText(const OperationFiles& files, std::string_view role) {
    const std::string& path = files.path(role);
    if (HasWorldFileName(path))
        throw Error("The " + std::string(role) + " " + path + " is a world file, not a text file.");
    files.requireText(role);
}

} // namespace lw
