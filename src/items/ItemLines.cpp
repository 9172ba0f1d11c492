#include "items/ItemLines.h"

#include "util/File.h"
#include "util/IntConv.h"
#include "util/Text.h"

#include <cstring>

namespace lw {
namespace {

char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsEofLine(std::string_view line) {
    return line.size() == 3 && HasTag(line, "EOF");
}

} // namespace

std::string ReadItemFile(const std::string& path) {
    File file = File::OpenRead(path);
    std::string bytes(file.size(), '\0');
    bytes.resize(file.readSome(bytes.data(), bytes.size()));
    file.close();
    return bytes;
}

bool ItemLineReader::next(std::string_view& line) {
    while (!rest_.empty()) {
        const char* start = rest_.data();
        const auto* lf = static_cast<const char*>(std::memchr(start, '\n', rest_.size()));
        std::size_t length = lf ? static_cast<std::size_t>(lf - start) : rest_.size();
        const auto* cr = static_cast<const char*>(std::memchr(start, '\r', length));
        if (cr)
            length = static_cast<std::size_t>(cr - start);
        const std::string_view raw = rest_.substr(0, length);
        rest_.remove_prefix(length < rest_.size() ? length + 1 : length);
        const std::string_view trimmed = Trim(raw);
        if (trimmed.empty())
            continue;
        if (IsEofLine(trimmed)) {
            rest_ = {};
            return false;
        }
        line = trimmed;
        return true;
    }
    return false;
}

bool HasTag(std::string_view line, std::string_view upperCaseTag) {
    if (line.size() < upperCaseTag.size())
        return false;
    for (std::size_t i = 0; i < upperCaseTag.size(); ++i)
        if (UpperAscii(line[i]) != upperCaseTag[i])
            return false;
    return true;
}

std::string_view TagValue(std::string_view line, std::string_view tag) {
    return Trim(line.substr(tag.size()));
}

std::int32_t SectionNumber(std::string_view headerLine) {
    return StrToInt(TagValue(headerLine, kWorldItemHeader));
}

} // namespace lw
