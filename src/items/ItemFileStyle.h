// The two styles of emulator item file: POL files end after their last item, UOX3 files with
// "EOF".
#pragma once

namespace lw {

enum class ItemFileStyle { Pol, Uox3 };

} // namespace lw
