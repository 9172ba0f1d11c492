// What the fuzz targets share: a scratch folder per process (removed at exit) for the files the
// routines under test read through the checked file layer, and splitting an input into parts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lw::fuzz {

// The process's scratch folder, made on first use (in /dev/shm when there is one: the targets
// rewrite their files on every input) and removed with its files when the process ends.
const std::string& ScratchFolder();
std::string ScratchFile(const std::string& name);

void WriteBytes(const std::string& path, std::string_view bytes);
std::string ReadBytes(const std::string& path);

// The input as text.
inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Splits the input at each occurrence of separator into at most parts pieces (the last takes
// the rest); missing pieces are empty.
std::vector<std::string_view> SplitInput(std::string_view input, std::string_view separator,
                                         std::size_t parts);

} // namespace lw::fuzz
