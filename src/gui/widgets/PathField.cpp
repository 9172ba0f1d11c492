#include "gui/widgets/PathField.h"

#include "world/WorldFileNames.h"

#include <QLineEdit>
#include <QPalette>

namespace lw::gui {
namespace {

constexpr const char* kStateProperty = "lwFieldState";

} // namespace

void SetPathFieldValid(QLineEdit& field, bool valid) {
    QPalette palette = field.palette();
    palette.setColor(QPalette::Base, valid ? QColor(0, 128, 0) : QColor(255, 0, 0));
    field.setPalette(palette);
    field.setProperty(kStateProperty,
                      static_cast<int>(valid ? FieldState::Valid : FieldState::Invalid));
}

FieldState PathFieldState(const QLineEdit& field) {
    const QVariant state = field.property(kStateProperty);
    return state.isValid() ? static_cast<FieldState>(state.toInt()) : FieldState::Untouched;
}

bool ValidatePathField(QLineEdit& field, std::string_view expectedName) {
    const std::string path = field.text().toStdString();
    const bool valid =
        expectedName.empty() ? IsExistingFile(path) : IsWorldFile(path, expectedName);
    SetPathFieldValid(field, valid);
    return valid;
}

} // namespace lw::gui
