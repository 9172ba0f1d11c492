// Path fields show their validity as their background colour (green or red), and every other
// handler reads validity from that one recorded state.
#pragma once

#include <QString>
#include <string_view>

class QLineEdit;

namespace lw::gui {

enum class FieldState { Untouched, Valid, Invalid };

// Green (0, 128, 0) when valid, red (255, 0, 0) otherwise; records the state on the field.
void SetPathFieldValid(QLineEdit& field, bool valid);
FieldState PathFieldState(const QLineEdit& field);
inline bool IsGreen(const QLineEdit& field) {
    return PathFieldState(field) == FieldState::Valid;
}
inline bool IsRed(const QLineEdit& field) {
    return PathFieldState(field) == FieldState::Invalid;
}

// Validates a world-file field (or, with an empty name, an any-name file field) and colours it.
bool ValidatePathField(QLineEdit& field, std::string_view expectedName);

} // namespace lw::gui
