// The two parts of the world files that the diff and the fill/clear windows work on, each chosen
// with a check box, one of them always chosen.
#pragma once

namespace lw {

enum class WorldPart { Statics, Map };

struct WorldParts {
    bool statics = true;
    bool map = true;
};

// The parts after a click on `clicked` left them as `now`: a click that left neither chosen
// chooses the other part again.
WorldParts KeepOnePart(WorldParts now, WorldPart clicked);

} // namespace lw
