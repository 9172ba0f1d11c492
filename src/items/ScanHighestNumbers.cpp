#include "items/ScanHighestNumbers.h"

#include "items/ItemLines.h"
#include "util/IntConv.h"

#include <algorithm>

namespace lw {

HighestNumbers ScanHighestNumbers(std::string_view itemFileText) {
    HighestNumbers highest;
    ItemLineReader lines(itemFileText);
    std::string_view line;
    while (lines.next(line)) {
        if (HasHeader(line, kWorldItemHeader))
            highest.Number = std::max(highest.Number, SectionNumber(line));
        else if (HasTag(line, "SERIAL"))
            highest.Serial = std::max(highest.Serial, TagInt(TagValue(line, "SERIAL")));
    }
    return highest;
}

HighestNumbers ScanHighestNumbers(const std::string& itemFilePath) {
    return ScanHighestNumbers(std::string_view(ReadItemFile(itemFilePath)));
}

} // namespace lw
