// Where operations put the lines the main window shows in its log list (and the CLI prints).
#pragma once

#include <functional>
#include <string>

namespace lw {

using LogSink = std::function<void(const std::string&)>;

// The main window's "Pol" check box: POL files end after their last item, UOX3 files with "EOF".
enum class ItemFileStyle { Pol, Uox3 };

} // namespace lw
