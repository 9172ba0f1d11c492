#include "gui/widgets/PathField.h"

#include "gui/widgets/Guarded.h"
#include "gui/widgets/PathLineEdit.h"
#include "mapedit/ImageFiles.h"

#include <QLineEdit>
#include <QPalette>
#include <QSignalBlocker>
#include <stdexcept>

namespace lw::gui {
namespace {

constexpr const char* kStateProperty = "lwFieldState";

std::string PathOf(const QLineEdit& field) {
    return field.text().toStdString();
}

QLineEdit* PathEdit(const char* name, QWidget* parent) {
    auto* field = new PathLineEdit(QString::fromLatin1(name), parent);
    field->setObjectName(QString::fromLatin1(name));
    return field;
}

// Colours the field and records its state.
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

struct WorldPathField {
    QLineEdit* field;
    WorldFileKind kind;
};

// World-file fields are validated together after `changed` changed: it and every field already
// coloured get their colour; a field never validated yet stays untouched.
void ColourWorldFields(const QLineEdit& changed, const std::vector<WorldPathField>& fields) {
    std::vector<WorldFileField> paths;
    for (const WorldPathField& f : fields)
        paths.push_back({f.kind, PathOf(*f.field)});
    const std::vector<bool> valid = ValidWorldFileFields(paths);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        QLineEdit& field = *fields[i].field;
        if (&field == &changed || PathFieldState(field) != FieldState::Untouched)
            SetPathFieldValid(field, valid[i]);
    }
}

} // namespace

PathRole PathRole::WorldFile(WorldFileKind kind) {
    PathRole role;
    role.worldFile_ = kind;
    return role;
}

PathRole PathRole::AnyFile() {
    return ValidWhen(IsExistingFile);
}

PathRole PathRole::ImageFolder() {
    return ValidWhen([](const std::string& path) { return FindImageFiles(path).has_value(); });
}

PathRole PathRole::ValidWhen(std::function<bool(const std::string& path)> check) {
    PathRole role;
    role.check_ = std::move(check);
    return role;
}

FieldState PathFieldState(const QLineEdit& field) {
    const QVariant state = field.property(kStateProperty);
    return state.isValid() ? static_cast<FieldState>(state.toInt()) : FieldState::Untouched;
}

PathFields::PathFields(QWidget& window, Dialogs& dialogs) : window_(window), dialogs_(dialogs) {}

QLineEdit* PathFields::add(const char* name, PathRole role, QWidget* parent) {
    QLineEdit* field = PathEdit(name, parent);
    bind(*field, std::move(role));
    return field;
}

void PathFields::bind(QLineEdit& field, PathRole role) {
    bindings_.push_back({&field, std::move(role)});
    QObject::connect(&field, &QLineEdit::textChanged, &window_,
                     [this, &field] { guarded(dialogs_, &window_, [&] { changed(field); }); });
}

void PathFields::onValidated(std::function<void(QLineEdit& changed)> handler) {
    validated_ = std::move(handler);
}

void PathFields::setText(QLineEdit& field, const QString& text) {
    if (field.text() == text)
        return;
    {
        const QSignalBlocker block(field);
        field.setText(text);
    }
    changed(field);
}

PathFieldValue PathFields::value(const QLineEdit& field) const {
    return {PathOf(field), PathFieldState(field)};
}

bool PathFields::allValid() const {
    for (const Binding& binding : bindings_)
        if (!IsGreen(*binding.field))
            return false;
    return true;
}

const PathFields::Binding& PathFields::bindingOf(const QLineEdit& field) const {
    for (const Binding& binding : bindings_)
        if (binding.field == &field)
            return binding;
    throw std::logic_error("a path field that was never bound");
}

void PathFields::changed(QLineEdit& field) {
    validate(field);
    if (validated_)
        validated_(field);
}

// The world files of one window are one facet's, so each of those fields depends on the others;
// any other field only on its own text.
void PathFields::validate(QLineEdit& changed) {
    const Binding& binding = bindingOf(changed);
    if (!binding.role.worldFile()) {
        SetPathFieldValid(changed, binding.role.accepts(PathOf(changed)));
        return;
    }
    std::vector<WorldPathField> world;
    for (const Binding& other : bindings_)
        if (other.role.worldFile())
            world.push_back({other.field, *other.role.worldFile()});
    ColourWorldFields(changed, world);
}

} // namespace lw::gui
