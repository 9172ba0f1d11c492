// Path fields: each bound to its role, validated on every change of its text, green (0, 128, 0)
// when valid and red (255, 0, 0) when not, its state recorded on the field, where every handler
// reads it. A window binds its fields to one PathFields and hears one event after each change.
#pragma once

#include "gui/models/PathFieldValue.h"
#include "world/WorldFileNames.h"

#include <QString>
#include <array>
#include <cassert>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLineEdit;
class QWidget;

namespace lw::gui {

class Dialogs;

// What a path field must name to be valid.
class PathRole {
public:
    // An existing regular file named as a world file of that kind, of the one facet that every
    // world-file field of the window names (ValidWorldFileFields).
    static PathRole WorldFile(WorldFileKind kind);
    // An existing regular file of any name.
    static PathRole AnyFile();
    // A folder that holds the client's texture and art files (FindImageFiles).
    static PathRole ImageFolder();
    // Valid when check says so.
    static PathRole ValidWhen(std::function<bool(const std::string& path)> check);

    const std::optional<WorldFileKind>& worldFile() const { return worldFile_; }
    // For a role that is no world file's: whether the path is valid on its own.
    bool accepts(const std::string& path) const { return check_(path); }

private:
    std::optional<WorldFileKind> worldFile_;
    std::function<bool(const std::string&)> check_;
};

// The state recorded on the field; a field never validated is Untouched.
FieldState PathFieldState(const QLineEdit& field);
inline bool IsGreen(const QLineEdit& field) {
    return PathFieldState(field) == FieldState::Valid;
}
inline bool IsRed(const QLineEdit& field) {
    return PathFieldState(field) == FieldState::Invalid;
}
class PathFields {
public:
    // The window whose handlers the changes are, and where their errors are shown.
    PathFields(QWidget& window, Dialogs& dialogs);
    PathFields(const PathFields&) = delete;
    PathFields& operator=(const PathFields&) = delete;

    // A new path field named `name` in parent, bound to role: a PathLineEdit, which starts out
    // holding its own name.
    QLineEdit* add(const char* name, PathRole role, QWidget* parent);
    void bind(QLineEdit& field, PathRole role);

    // Runs after every change of a bound field's text, once that field and the fields whose
    // validity depends on it are validated and coloured: the window's one moment to store the
    // paths now valid and to show its controls anew. A change the user makes runs guarded; one
    // made by setText runs in its caller.
    void onValidated(std::function<void(QLineEdit& changed)> handler);

    // Sets the text as typing would, but a failure ends the caller; the same text runs nothing.
    void setText(QLineEdit& field, const QString& text);
    // The fields' texts in the order they were bound (a store's values), one after the other.
    template <std::size_t N> void setTexts(const std::array<QString, N>& texts) {
        assert(N == bindings_.size());
        for (std::size_t i = 0; i < N; ++i)
            setText(*bindings_[i].field, texts[i]);
    }

    PathFieldValue value(const QLineEdit& field) const;
    // The fields' paths and states in the order they were bound.
    template <std::size_t N> std::array<PathFieldValue, N> values() const {
        assert(N == bindings_.size());
        std::array<PathFieldValue, N> all;
        for (std::size_t i = 0; i < N; ++i)
            all[i] = value(*bindings_[i].field);
        return all;
    }
    bool allValid() const;

private:
    struct Binding {
        QLineEdit* field;
        PathRole role;
    };
    const Binding& bindingOf(const QLineEdit& field) const;
    void changed(QLineEdit& field);
    void validate(QLineEdit& changed);

    QWidget& window_;
    Dialogs& dialogs_;
    std::vector<Binding> bindings_;
    std::function<void(QLineEdit&)> validated_;
};

} // namespace lw::gui
