#include "gui/models/FillClearWindowModel.h"

namespace lw {

bool FillClearWindowModel::enabled(FillClearControl control) const {
    switch (control) {
    case FillClearControl::Go:
        return allValid();
    case FillClearControl::StaticsNote:
        return parts.statics;
    case FillClearControl::FillChoices:
        return parts.map;
    case FillClearControl::ModifiedStatics:
        return false;
    case FillClearControl::ModifiedMap:
        return true;
    }
    return false;
}

std::optional<std::string> FollowedBorder(std::string_view text, int before, int now) {
    if (text != std::to_string(before))
        return std::nullopt;
    return std::to_string(now);
}

} // namespace lw
