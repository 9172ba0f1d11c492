#include "items/ItemLines.h"

#include "util/Errors.h"
#include "util/File.h"
#include "util/IntConv.h"
#include "util/Text.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace lw {
namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// The first CR or LF from p on, or end; eight bytes at a time, since item files are tens of
// megabytes of short lines.
const char* FindLineEnd(const char* p, const char* end) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHighs = 0x8080808080808080ull;
    while (end - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        const std::uint64_t lf = word ^ (kOnes * '\n'), cr = word ^ (kOnes * '\r');
        const std::uint64_t hits = ((lf - kOnes) & ~lf & kHighs) | ((cr - kOnes) & ~cr & kHighs);
        if (hits)
            return p + std::countr_zero(hits) / 8;
        p += 8;
    }
    while (p < end && !IsLineEnd(*p))
        ++p;
    return p;
}

bool IsEofLine(std::string_view line) {
    return line.size() == 3 && HasHeader(line, "EOF");
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
    const char* p = rest_.data();
    const char* const end = p + rest_.size();
    while (p < end) {
        const char* start = p;
        p = FindLineEnd(p, end);
        const char* stop = p;
        if (p < end)
            ++p;
        while (start < stop && IsBlank(*start))
            ++start;
        while (stop > start && IsBlank(stop[-1]))
            --stop;
        if (stop == start)
            continue;
        const std::string_view trimmed(start, static_cast<std::size_t>(stop - start));
        if (IsEofLine(trimmed)) {
            rest_ = {};
            return false;
        }
        rest_ = std::string_view(p, static_cast<std::size_t>(end - p));
        line = trimmed;
        return true;
    }
    rest_ = {};
    return false;
}

std::string_view TagValue(std::string_view line, std::string_view tag) {
    return Trim(line.substr(tag.size()));
}

std::int32_t TagInt(std::string_view value) {
    try {
        return StrToInt(value);
    } catch (const ConvertError&) {
        throw ConvertError::notAnInteger(UpperCase(value));
    }
}

std::int32_t SectionNumber(std::string_view headerLine) {
    return TagInt(TagValue(headerLine, kWorldItemHeader));
}

} // namespace lw
