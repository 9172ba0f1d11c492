#include "mapedit/ArtEntries.h"

#include "util/Errors.h"
#include "util/File.h"
#include "world/UopContainer.h"

#include <cstdio>
#include <limits>

namespace lw {
namespace {

std::string ArtEntryName(int id) {
    char name[48];
    std::snprintf(name, sizeof name, "build/artlegacymul/%08d.tga", id);
    return name;
}

} // namespace

ArtEntries::ArtEntries(const ImageFiles& files) {
    if (files.ArtContainer.empty()) {
        indexPath_ = files.ArtIdx;
        dataPath_ = files.Art;
        return;
    }
    dataPath_ = files.ArtContainer;
    File file = File::OpenRead(dataPath_);
    const UopContainer container = ReadUopContainer(file, dataPath_);
    file.close();
    container_.resize(kImageIdCount);
    for (int id = 0; id < kImageIdCount; ++id) {
        const UopEntry* found = container.find(UopNameHash(ArtEntryName(id)));
        // An image whose place a 32-bit index entry cannot give is none the pair could hold.
        if (!found || found->dataStart() > std::numeric_limits<std::int32_t>::max())
            continue;
        ContainerEntry& slot = container_[static_cast<std::size_t>(id)];
        slot.compressed = !found->stored();
        slot.entry = {static_cast<std::int32_t>(found->dataStart()),
                      static_cast<std::int32_t>(found->decompressedLength), 0};
    }
}

ImageIndexEntry ArtEntries::entry(int id) const {
    if (container_.empty())
        return ReadImageIndexEntry(indexPath_, id);
    const ContainerEntry& slot = container_[static_cast<std::size_t>(id)];
    if (slot.compressed)
        throw Error("The art container " + dataPath_ + " holds the art of tile " +
                    std::to_string(id) + " compressed, which Loamwright cannot read.");
    return slot.entry;
}

} // namespace lw
