#include "mapedit/PaletteLine.h"

#include "util/Errors.h"
#include "util/IntConv.h"
#include "util/Text.h"
#include "util/SpacedHex.h"

namespace lw {
namespace {

// A missing or unreadable count is 1, as is one below 1; a huge one is capped.
int CountFrom(const std::vector<std::string>& tokens, std::size_t index) {
    if (index >= tokens.size())
        return 1;
    try {
        const std::int32_t count = StrToInt(tokens[index]);
        if (count < 1)
            return 1;
        return count > kMaxPaletteSide ? kMaxPaletteSide : count;
    } catch (const Error&) {
        return 1;
    }
}

std::int32_t TileFromToken(std::string_view token) {
    try {
        if (token.size() >= 2 && token[0] == '0' && token[1] == 'x') {
            std::string_view digits = token.substr(2);
            if (digits.empty())
                return kNoTile;
            if (digits.size() > 4)
                digits = digits.substr(digits.size() - 4);
            std::string padded(4 - digits.size(), '0');
            padded += digits;
            return static_cast<std::int32_t>(SpacedHexToInt(padded, 2));
        }
        return StrToInt(token);
    } catch (const Error&) {
        return kNoTile;
    }
}

} // namespace

int PaletteLine::rowCount() const {
    return CountFrom(Tokens, 0);
}

int PaletteLine::columnCount() const {
    return CountFrom(Tokens, 1);
}

PaletteLine ParsePaletteLine(std::string_view line) {
    PaletteLine parsed;
    const auto dash = line.find('-');
    parsed.Name = std::string(Trim(line.substr(0, dash)));
    if (dash == std::string_view::npos)
        return parsed;
    // Only the blank separates: a tab belongs to its token.
    std::string_view rest = line.substr(dash + 1);
    while (!rest.empty()) {
        const auto start = rest.find_first_not_of(' ');
        if (start == std::string_view::npos)
            break;
        rest = rest.substr(start);
        const auto end = rest.find(' ');
        parsed.Tokens.emplace_back(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end);
    }
    return parsed;
}

std::int32_t SelectionCellTile(const PaletteLine& line, int row, int column, int columnCount) {
    if (row < 0 || column < 0 || column >= columnCount)
        return kNoTile;
    const long long index = static_cast<long long>(row) * columnCount + column + 2;
    if (index >= static_cast<long long>(line.Tokens.size()))
        return kNoTile;
    return TileFromToken(line.Tokens[static_cast<std::size_t>(index)]);
}

} // namespace lw
