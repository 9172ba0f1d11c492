// Feeds arbitrary text as AutoSelect.txt: it loads or refuses with an Error.
#include "FuzzFiles.h"
#include "items/AutoSelect.h"
#include "util/Errors.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = lw::fuzz::ScratchFile("AutoSelect.txt");
    lw::fuzz::WriteBytes(path, lw::fuzz::AsText(data, size));
    lw::AutoSelectIDs ids;
    try {
        lw::LoadAutoSelect(path, ids);
    } catch (const lw::Error&) {
    }
    return 0;
}
