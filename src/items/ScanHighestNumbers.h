// The highest section number and serial of an item file, after which new items are numbered.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lw {

struct HighestNumbers {
    std::int32_t Number = -1;
    std::int32_t Serial = 0x40000000;
};

HighestNumbers ScanHighestNumbers(std::string_view itemFileText);
HighestNumbers ScanHighestNumbers(const std::string& itemFilePath);

} // namespace lw
