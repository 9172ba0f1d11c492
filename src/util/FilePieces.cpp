#include "util/FilePieces.h"

#include "util/Errors.h"

#include <algorithm>

namespace lw {

PieceReader::PieceReader(File& file, std::size_t windowSize)
    : file_(file), windowSize_(windowSize) {}

const char* PieceReader::read(std::uint64_t position, std::size_t length) {
    if (length == 0)
        return window_.data();
    if (holds(position, length))
        windowUsed_ = true;
    else
        refill(position, length);
    return window_.data() + (position - start_);
}

bool PieceReader::holds(std::uint64_t position, std::size_t length) const {
    return position >= start_ && position - start_ <= filled_ &&
           filled_ - (position - start_) >= length;
}

// A whole window pays off only while reads go forward through the file; after a window that
// served nothing but its first read, read just what is asked, so scattered reads stay cheap.
void PieceReader::refill(std::uint64_t position, std::size_t length) {
    const bool continuing = position == start_ + filled_;
    const std::size_t amount = windowUsed_ || continuing ? std::max(length, windowSize_) : length;
    if (window_.size() < amount)
        window_.resize(amount);
    file_.seek(position);
    const std::size_t got = file_.readSome(window_.data(), amount);
    start_ = position;
    filled_ = got;
    windowUsed_ = false;
    if (got < length)
        throw IoError(kIoReadPastEnd, file_.path());
}

PieceWriter::PieceWriter(File& file, std::size_t bufferSize)
    : file_(file), bufferSize_(bufferSize), flushed_(file.position()) {
    buffer_.reserve(bufferSize_);
}

void PieceWriter::write(const void* data, std::size_t length) {
    if (buffer_.size() + length > bufferSize_)
        flush();
    if (length >= bufferSize_) {
        file_.write(data, length);
        flushed_ += length;
        return;
    }
    const auto* bytes = static_cast<const char*>(data);
    buffer_.insert(buffer_.end(), bytes, bytes + length);
}

void PieceWriter::flush() {
    if (buffer_.empty())
        return;
    file_.write(buffer_.data(), buffer_.size());
    flushed_ += buffer_.size();
    buffer_.clear();
}

} // namespace lw
