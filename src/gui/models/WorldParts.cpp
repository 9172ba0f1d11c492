#include "gui/models/WorldParts.h"

namespace lw {

WorldParts KeepOnePart(WorldParts now, WorldPart clicked) {
    if (!now.statics && !now.map) {
        if (clicked == WorldPart::Statics)
            now.map = true;
        else
            now.statics = true;
    }
    return now;
}

} // namespace lw
