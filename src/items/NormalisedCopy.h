// Writing item files: buffered CR LF lines, and the normalised form in which both rewriting
// routines copy the lines they keep.
#pragma once

#include "util/File.h"

#include <string>
#include <string_view>

namespace lw {

// Collects lines and writes them in large pieces.
class TextWriter {
public:
    explicit TextWriter(File& file) : file_(file) {}
    void line(std::string_view text);
    void indentedLine(std::string_view text);
    // A line of text followed by a number in decimal, with an optional tab in front.
    void numberLine(bool indented, std::string_view text, long long number);
    void flush();

private:
    void spill();
    File& file_;
    std::string buffer_;
};

// "{" opens a body, "}" closes it and is followed by an empty line, any other line inside a
// body gets one tab; everything else is copied as read. Copying a copy changes nothing, apart
// from a file that ends inside an unclosed body.
class NormalisedCopy {
public:
    explicit NormalisedCopy(TextWriter& out) : out_(out) {}
    void copy(std::string_view line);
    bool insideBody() const { return insideBody_; }

private:
    TextWriter& out_;
    bool insideBody_ = false;
};

} // namespace lw
