// The three files of one world: an original set, a modified set or the targets of an application.
#pragma once

#include <string>

namespace lw {

struct WorldFileSet {
    std::string staidx;  // staidx0.mul
    std::string statics; // statics0.mul
    std::string map;     // map0.mul
};

} // namespace lw
