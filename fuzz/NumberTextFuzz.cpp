// Feeds arbitrary text to the integer conversion and to spaced hex of every width, and checks
// that whatever spaced hex reads, writing it back and reading that again gives the same value.
#include "FuzzFiles.h"
#include "util/Errors.h"
#include "util/IntConv.h"
#include "util/SpacedHex.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = lw::fuzz::AsText(data, size);
    try {
        const std::int32_t value = lw::StrToInt(text);
        if (lw::StrToInt(lw::IntToStr(value)) != value)
            std::abort();
    } catch (const lw::Error&) {
    }
    try {
        lw::StrToIntInRange(text, -5, 70000);
    } catch (const lw::Error&) {
    }
    for (unsigned width = 1; width <= 4; ++width) {
        try {
            const std::uint32_t value = lw::SpacedHexToInt(text, width);
            if (lw::SpacedHexToInt(lw::IntToSpacedHex(value, width), width) != value)
                std::abort();
        } catch (const lw::Error&) {
        }
    }
    return 0;
}
