// Large-piece access to a file kept open for a whole pass: a reader that serves many small reads
// from one window of the file, and a writer that gathers small writes into large ones.
#pragma once

#include "util/File.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lw {

class PieceReader {
public:
    explicit PieceReader(File& file, std::size_t windowSize = std::size_t{1} << 20);

    // The bytes [position, position + length) of the file, valid until the next call. A file
    // that ends first is error 100, as with File::readExact.
    const char* read(std::uint64_t position, std::size_t length);

private:
    bool holds(std::uint64_t position, std::size_t length) const;
    void refill(std::uint64_t position, std::size_t length);

    File& file_;
    std::size_t windowSize_;
    std::vector<char> window_;
    std::uint64_t start_ = 0;
    std::size_t filled_ = 0;
    bool windowUsed_ = false;
};

class PieceWriter {
public:
    explicit PieceWriter(File& file, std::size_t bufferSize = std::size_t{1} << 20);

    void write(const void* data, std::size_t length);
    // Writes what is gathered; the file's own position is then position().
    void flush();
    // The file position the next byte written lands at.
    std::uint64_t position() const { return flushed_ + buffer_.size(); }

private:
    File& file_;
    std::size_t bufferSize_;
    std::vector<char> buffer_;
    std::uint64_t flushed_;
};

} // namespace lw
