#include "cli/ImageFolder.h"

#include "util/Errors.h"

namespace lw::cli {

ImageFiles FindImageFilesOrFail(const std::string& folder) {
    if (auto files = FindImageFiles(folder))
        return *files;
    throw IoError(kIoFileNotFound, folder);
}

void DeclareImageFiles(const ImageFiles& files, std::vector<DeclaredFile>& declared) {
    const std::pair<const char*, const std::string*> roles[] = {
        {"texture index", &files.TexIdx},       {"texture file", &files.TexMaps},
        {"art index", &files.ArtIdx},           {"art file", &files.Art},
        {"art container", &files.ArtContainer},
    };
    for (const auto& [role, path] : roles)
        if (!path->empty())
            declared.push_back({role, *path, FileUse::Read});
}

} // namespace lw::cli
