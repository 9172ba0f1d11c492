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

// The prefix test of tags and headers on the upper-cased line, without copying the line.
inline bool HasTag(std::string_view line, std::string_view upperCaseTag) {
    if (line.size() < upperCaseTag.size())
        return false;
    for (std::size_t i = 0; i < upperCaseTag.size(); ++i)
        if (UpperCaseLetter(line[i]) != upperCaseTag[i])
            return false;
    return true;
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
