// Reading emulator item files: 8-bit text whose lines are trimmed, whose empty lines do not
// count, and which end at a line "EOF" in any letter case.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lw {

// The whole file, byte for byte.
std::string ReadItemFile(const std::string& path);

// Walks the lines an item file reader looks at. Lines end with CR LF, LF or CR.
class ItemLineReader {
public:
    explicit ItemLineReader(std::string_view text) : rest_(text) {}
    bool next(std::string_view& line);

private:
    std::string_view rest_;
};

inline char UpperCaseLetter(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The prefix test of headers on the upper-cased line, without copying the line.
inline bool HasHeader(std::string_view line, std::string_view upperCaseHeader) {
    if (line.size() < upperCaseHeader.size())
        return false;
    for (std::size_t i = 0; i < upperCaseHeader.size(); ++i)
        if (UpperCaseLetter(line[i]) != upperCaseHeader[i])
            return false;
    return true;
}

inline bool IsTagNameCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// A tag line: the tag's name at the start, and no letter, digit or "_" right after it, which
// would make the line another tag. Exported files hold NAME2 beside NAME and tags such as XOFFSET
// beside X: read as NAME or X they would lose an item's name or end the operation.
inline bool HasTag(std::string_view line, std::string_view upperCaseTag) {
    return HasHeader(line, upperCaseTag) &&
           (line.size() == upperCaseTag.size() || !IsTagNameCharacter(line[upperCaseTag.size()]));
}
// The text after a tag name, trimmed.
std::string_view TagValue(std::string_view line, std::string_view tag);

inline constexpr std::string_view kWorldItemHeader = "SECTION WORLDITEM";
inline constexpr std::string_view kCharacterHeader = "SECTION CHARACTER";
inline constexpr std::string_view kGuildHeader = "SECTION GUILD";

// A tag's value as an integer. The scans read their lines upper-cased, so text that is no
// integer is a ConvertError quoting it upper-cased.
std::int32_t TagInt(std::string_view value);

// The number of a "SECTION WORLDITEM" header line, as TagInt reads it.
std::int32_t SectionNumber(std::string_view headerLine);

} // namespace lw
