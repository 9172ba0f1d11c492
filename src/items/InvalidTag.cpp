#include "items/InvalidTag.h"

#include "items/ItemLines.h"

#include <string>

namespace lw {
namespace {

std::string MessageFor(CurrentSection currentSection) {
    if (currentSection == kNoSection)
        return "Invalid tag in a character section!";
    return "Invalid tag after \"SECTION WORLDITEM " + std::to_string(currentSection) + "\"";
}

} // namespace

InvalidTag::InvalidTag(CurrentSection currentSection) : Error(MessageFor(currentSection)) {}

std::int32_t TagValueInRange(std::string_view value, std::int32_t lo, std::int32_t hi,
                             CurrentSection currentSection) {
    const std::int32_t number = TagInt(value);
    if (number < lo || number > hi)
        throw InvalidTag(currentSection);
    return number;
}

} // namespace lw
