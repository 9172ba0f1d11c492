#include "items/AutoSelect.h"

#include "items/ItemLines.h"
#include "util/Errors.h"
#include "util/SpacedHex.h"
#include "util/Text.h"

namespace lw {
namespace {
constexpr std::size_t kIdColumns = 5;
}

void LoadAutoSelect(const std::string& path, AutoSelectIDs& ids) {
    ids.reset();
    const std::string text = ReadItemFile(path);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        const std::string_view line = Trim(std::string_view(text).substr(start, end - start));
        start = end + 1;
        if (line.empty() || line.front() == '#')
            continue;
        if (line.size() < kIdColumns)
            throw RangeError();
        ids.set(SpacedHexToInt(Trim(line.substr(0, kIdColumns)), 2));
    }
}

} // namespace lw
