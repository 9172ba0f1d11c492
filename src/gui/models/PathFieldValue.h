// A path field as the window rules see it: its path and whether the field found it valid. Qt-free,
// so that the rules of every window can be tested as tables.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>

namespace lw::gui {

// A field that has never been validated is neither green nor red: the rules that enable
// controls ask for green, the Simple-mode guidance asks for red.
enum class FieldState { Untouched, Valid, Invalid };

struct PathFieldValue {
    std::string path;
    FieldState state = FieldState::Untouched;

    bool valid() const { return state == FieldState::Valid; }
    bool invalid() const { return state == FieldState::Invalid; }
};

template <std::size_t N> bool AllValid(const std::array<PathFieldValue, N>& fields) {
    for (const PathFieldValue& field : fields)
        if (!field.valid())
            return false;
    return true;
}

// The fields' paths while all of them are valid: what a window stores.
template <std::size_t N>
std::optional<std::array<std::string, N>>
PathsIfAllValid(const std::array<PathFieldValue, N>& fields) {
    if (!AllValid(fields))
        return std::nullopt;
    std::array<std::string, N> paths;
    for (std::size_t i = 0; i < N; ++i)
        paths[i] = fields[i].path;
    return paths;
}

} // namespace lw::gui
