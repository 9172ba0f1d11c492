#include "items/InvalidTag.h"

#include "util/IntConv.h"

#include <string>

namespace lw {
namespace {

std::string MessageFor(std::int32_t currentSection) {
    if (currentSection == kNoSection)
        return "Invalid tag in a character section!";
    return "Invalid tag after \"SECTION WORLDITEM " + std::to_string(currentSection) + "\"";
}

} // namespace

InvalidTag::InvalidTag(std::int32_t currentSection) : Error(MessageFor(currentSection)) {}

std::int32_t TagValueInRange(std::string_view value, std::int32_t lo, std::int32_t hi,
                             std::int32_t currentSection) {
    const std::int32_t number = StrToInt(value);
    if (number < lo || number > hi)
        throw InvalidTag(currentSection);
    return number;
}

} // namespace lw
