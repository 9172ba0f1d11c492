#include "diff/WorldFileSet.h"

#include "util/File.h"

namespace lw {

bool IsSameFile(const std::string& a, const std::string& b) {
    return a == b || SameFile(a, b);
}

} // namespace lw
