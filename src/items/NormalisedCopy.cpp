#include "items/NormalisedCopy.h"

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
