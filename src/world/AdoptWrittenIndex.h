// After an operation wrote a whole index file: the program-wide index takes the table written
// when it was loaded from that file, so that a later melt or freeze does not write the old one
// back.
#pragma once

#include "world/ProgramState.h"

#include <memory>
#include <string>

namespace lw {

// Takes written (and leaves it null) when staidxPath is the file state's index came from;
// returns whether it did.
bool AdoptWrittenIndex(ProgramState& state, const std::string& staidxPath,
                       std::unique_ptr<StaticIndexTable>& written);

} // namespace lw
