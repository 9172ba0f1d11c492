// The client's image files of an --images folder, for the commands that draw tiles: found, and
// declared beside a command's other files so that none of them is also an output.
#pragma once

#include "mapedit/ImageFiles.h"
#include "util/OperationFiles.h"

#include <string>
#include <vector>

namespace lw::cli {

// The texture pair with the art pair or the art container; "Datei nicht gefunden" when the
// folder lacks them.
ImageFiles FindImageFilesOrFail(const std::string& folder);

// Appends each file of files that is there, for reading, with its role ("texture index", ...).
void DeclareImageFiles(const ImageFiles& files, std::vector<DeclaredFile>& declared);

} // namespace lw::cli
