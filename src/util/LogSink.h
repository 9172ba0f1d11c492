// Where operations put the lines the main window shows in its log list (and the CLI prints).
#pragma once

#include <functional>
#include <string>

namespace lw {

using LogSink = std::function<void(const std::string&)>;

// For callers with no log to show lines in.
inline void DiscardLog(const std::string&) {}

} // namespace lw
