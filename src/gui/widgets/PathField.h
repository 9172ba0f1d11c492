// Path fields show their validity as their background colour (green or red), and every other
// handler reads validity from that one recorded state.
#pragma once

#include "world/WorldFileNames.h"

#include <QString>
#include <initializer_list>
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

// Validates the world-file fields of one window together, by the facet names of each kind
// (ValidWorldFileFields), after `changed` changed: it and every field already coloured get their
// colour; a field never validated yet stays untouched.
struct WorldPathField {
    QLineEdit* field;
    WorldFileKind kind;
};
void ValidateWorldPathFields(const QLineEdit& changed,
                             std::initializer_list<WorldPathField> fields);

} // namespace lw::gui
