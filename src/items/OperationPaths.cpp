#include "items/OperationPaths.h"

#include "util/Errors.h"
#include "util/File.h"
#include "util/Text.h"

namespace lw {
namespace {

bool IsSameFile(const std::string& a, const std::string& b) {
    return a == b || SameFile(a, b);
}

bool IsWorldFile(const std::string& staIdxPath, const std::string& staticsPath,
                 const std::string& path) {
    return IsSameFile(path, staIdxPath) || IsSameFile(path, staticsPath);
}

} // namespace

void CheckItemFilePath(const std::string& staIdxPath, const std::string& staticsPath,
                       const std::string& itemFilePath) {
    if (IsWorldFile(staIdxPath, staticsPath, itemFilePath))
        throw Error("The WSC file cannot be the StaIdx or the Statics file!");
}

void CheckPatchFilePath(const std::string& staIdxPath, const std::string& staticsPath,
                        const std::string& itemFilePath, const std::string& patchFilePath) {
    if (UpperCase(patchFilePath) == UpperCase(itemFilePath) ||
        SameFile(patchFilePath, itemFilePath))
        throw Error("The WSC and the PAT file cannot be the same!");
    if (IsWorldFile(staIdxPath, staticsPath, patchFilePath))
        throw Error("The PAT file cannot be the StaIdx or the Statics file!");
}

} // namespace lw
