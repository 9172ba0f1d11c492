// Listing the restore points of folders, and putting the files of one back: an operation like
// any other, through the same file layer, whose own restore point (when a RestorePointKeeper is
// in scope) keeps the files it replaces, so that a restore can be undone too.
#pragma once

#include "restore/RestorePoints.h"
#include "util/LogSink.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lw {

struct FolderPoints {
    std::string folder;
    std::vector<StoredPoint> points;
};
std::vector<FolderPoints> ListRestorePoints(const std::vector<std::string>& folders);

// "statics index  staidx0.mul  92160 bytes before, 92160 after  (replaced)".
std::string RestoreFileLine(const RestoreFile& file);

// The lines "restore --list" prints for them.
std::vector<std::string> RestoreListLines(const std::vector<FolderPoints>& listed);

// Puts the files of restore point number back in every folder given, all or nothing. Refuses,
// before anything is written, a number missing in a folder, a damaged entry, a point that also
// wrote a folder not given, and a file changed since its last operation wrote it (another
// program's save would be lost), naming it.
void RestoreFiles(std::uint64_t number, const std::vector<std::string>& folders,
                  const LogSink& log);

} // namespace lw
