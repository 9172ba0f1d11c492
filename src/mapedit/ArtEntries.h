// Where each art image lies: the entries of artidx.mul for art.mul, or the entries of the art
// container artLegacyMUL.uop ("build/artlegacymul/00000000.tga" and on), whose data is what
// art.mul holds for that id.
#pragma once

#include "mapedit/ImageFiles.h"

#include <optional>
#include <string>
#include <vector>

namespace lw {

class ArtEntries {
public:
    // The art pair is read entry by entry as pictures are asked for; a container's tables are
    // read once, here (a damaged one is refused).
    explicit ArtEntries(const ImageFiles& files);

    // The entry of art id 0-4095: offset and length in dataPath(), Offset -1 for no image. A
    // compressed entry of a container is refused.
    ImageIndexEntry entry(int id) const;
    const std::string& dataPath() const { return dataPath_; }

private:
    std::string indexPath_; // artidx.mul; empty for a container
    std::string dataPath_;
    struct ContainerEntry {
        ImageIndexEntry entry{-1, 0, 0};
        bool compressed = false;
    };
    std::vector<ContainerEntry> container_; // by id, for a container
};

} // namespace lw
