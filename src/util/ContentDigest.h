// A 64-bit digest of file content (the XXH64 function): what a journal records of each file it
// names, so that recovery acts only on files that still hold exactly that, and what a diff
// file's trailer carries.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lw {

class ContentDigest {
public:
    ContentDigest();
    void add(const void* data, std::size_t length);
    std::uint64_t value() const;

private:
    std::array<std::uint64_t, 4> lanes_;
    std::array<unsigned char, 32> pending_{};
    std::size_t pendingSize_ = 0;
    std::uint64_t total_ = 0;
};

std::uint64_t DigestOf(std::string_view bytes);
// The digest of a whole file, read through the checked file layer.
std::uint64_t DigestOfFile(const std::string& path);

// Sixteen lower-case hex digits, and back; nothing for a text that is not exactly that.
std::string DigestText(std::uint64_t digest);
bool ParseDigestText(std::string_view text, std::uint64_t& digest);

} // namespace lw
