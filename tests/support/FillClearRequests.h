// The fill/clear that the safety tests run on their small worlds.
#pragma once

#include "fillclear/FillClear.h"

#include <string>

namespace lw::test {

// Tiles 17-40 x 40-60 with tile group 6: block (2, 5) lies partly inside, so its run is appended
// anew and the old one stays as dead space.
FillClearRequest SmallRectangle(const std::string& staidx, const std::string& statics,
                                const std::string& map);

} // namespace lw::test
