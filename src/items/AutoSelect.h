// "AutoSelect.txt": the item IDs that the "auto" freeze takes when they are TYPE 0 and named "#".
#pragma once

#include "items/SelectItems.h"

#include <string>

namespace lw {

// Lines are trimmed; empty ones and those starting with "#" are comments; any other holds an ID
// in two-byte spaced hex in its first five characters ('0E ED' or '0EED '), then free text.
void LoadAutoSelect(const std::string& path, AutoSelectIDs& ids);

} // namespace lw
