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
    const QColor background = valid ? QColor(0, 128, 0) : QColor(255, 0, 0);
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Base, background);
    // White reads on both colours; a disabled field is only a shade dimmer, never grey on green.
    palette.setColor(QPalette::Active, QPalette::Text, Qt::white);
    palette.setColor(QPalette::Inactive, QPalette::Text, Qt::white);
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(225, 225, 225));
    field.setPalette(palette);
    field.setToolTip(field.text());
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

void ValidateWorldPathFields(const QLineEdit& changed,
                             std::initializer_list<WorldPathField> fields) {
    std::vector<WorldFileField> paths;
    for (const WorldPathField& f : fields)
        paths.push_back({f.kind, f.field->text().toStdString()});
    const std::vector<bool> valid = ValidWorldFileFields(paths);
    std::size_t i = 0;
    for (const WorldPathField& f : fields) {
        if (f.field == &changed || PathFieldState(*f.field) != FieldState::Untouched)
            SetPathFieldValid(*f.field, valid[i]);
        ++i;
    }
}

} // namespace lw::gui
