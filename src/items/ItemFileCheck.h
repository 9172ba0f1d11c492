// The item file's part of the world check: the sections the scans of melt and freeze refuse,
// TYPE 255 items that would be frozen outside the world, and serials given twice; each with the
// line it is on.
#pragma once

#include "world/WorldCheck.h"

#include <string>

namespace lw {

// Reads the item file at path into the report's findings and figures, against report.World.
// Only reads; the caller holds the file (OperationFiles).
void CheckItemFile(const std::string& path, WorldCheckReport& report);

} // namespace lw
