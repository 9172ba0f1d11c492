#include "support/FillClearRequests.h"

namespace lw::test {

FillClearRequest SmallRectangle(const std::string& staidx, const std::string& statics,
                                const std::string& map) {
    FillClearRequest r;
    r.StaIdxPath = staidx;
    r.StaticsPath = statics;
    r.MapPath = map;
    r.Left = 17;
    r.Top = 40;
    r.Right = 40;
    r.Bottom = 60;
    r.Tile = {6, 0};
    return r;
}

} // namespace lw::test
