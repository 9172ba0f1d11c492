#include "items/NormalisedCopy.h"

#include <charconv>

namespace lw {
namespace {
constexpr std::size_t kSpillSize = 1 << 20;
}

void TextWriter::line(std::string_view text) {
    buffer_.append(text);
    buffer_.append("\r\n");
    spill();
}

void TextWriter::indentedLine(std::string_view text) {
    buffer_.push_back('\t');
    line(text);
}

void TextWriter::numberLine(bool indented, std::string_view text, long long number) {
    if (indented)
        buffer_.push_back('\t');
    buffer_.append(text);
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    buffer_.append(digits, end);
    buffer_.append("\r\n");
    spill();
}

void TextWriter::spill() {
    if (buffer_.size() >= kSpillSize)
        flush();
}

void TextWriter::flush() {
    if (!buffer_.empty())
        file_.write(buffer_.data(), buffer_.size());
    buffer_.clear();
}

void NormalisedCopy::copy(std::string_view line) {
    if (line == "{") {
        out_.line(line);
        insideBody_ = true;
    } else if (line == "}") {
        out_.line(line);
        out_.line("");
        insideBody_ = false;
    } else if (insideBody_) {
        out_.indentedLine(line);
    } else {
        out_.line(line);
    }
}

} // namespace lw
