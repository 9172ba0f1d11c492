// Converting a map between its two forms: a plain mapN.mul and the container mapNLegacyMUL.uop.
#pragma once

#include "util/LogSink.h"

#include <string>

namespace lw {

// Writes the map's bytes from `from` (either form) to `to` in the form asked for, which its
// name must give (a container is named ".uop"). A new container is laid out as the clients' are,
// its entries named for the facet the names give. The output appears only when complete, and
// replaces a file of that name then; the input is only read. Converting a plain map to a
// container and back gives its bytes exactly.
void ConvertMap(const std::string& from, const std::string& to, bool toContainer,
                const LogSink& log = DiscardLog);

} // namespace lw
