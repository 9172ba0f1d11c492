#include "gui/models/DiffWindowModel.h"

namespace lw {

bool DiffWindowModel::enabled(DiffControl control) const {
    switch (control) {
    case DiffControl::OriginalPaths:
    case DiffControl::ModifiedMap:
        return true;
    case DiffControl::ModifiedStatics:
        return false;
    case DiffControl::StaticsPart:
    case DiffControl::MapPart:
    case DiffControl::Generate:
        // As created until the six fields were first valid together: the parts chosen, not the
        // actions.
        if (!actionsOffered && !allValid())
            return control != DiffControl::Generate;
        // A player in Simple mode can only apply.
        return allValid() && mode != AppModeKind::Simple;
    case DiffControl::Apply:
        // Left enabled beside a red field, it would start a run on a path known to be wrong.
        return allValid();
    case DiffControl::ShowChanges:
        // It only reads: a diff alone says what it holds, and the original row, while it is
        // valid, whether the diff fits it. Players look before applying too.
        return true;
    }
    return false;
}

} // namespace lw
