#include "mapedit/ImageFilesVersion.h"

namespace lw {

ImageFilesVersion CurrentImageFiles(const std::string& folder) {
    ImageFilesVersion version{folder, FindImageFiles(folder), {}};
    if (version.Files) {
        const ImageFiles& f = *version.Files;
        version.Stamps = {StampOf(f.TexIdx), StampOf(f.TexMaps), StampOf(f.ArtIdx), StampOf(f.Art),
                          StampOf(f.ArtContainer)};
    }
    return version;
}

} // namespace lw
