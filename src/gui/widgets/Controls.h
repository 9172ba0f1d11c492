// Small helpers every window uses to build its controls and read their texts.
#pragma once

#include "gui/widgets/PathLineEdit.h"

#include <QLineEdit>
#include <QString>
#include <string>

namespace lw::gui {

// Controls carry the product's control names as object names: tests and screenshots find them
// by those names.
template <class W> W* Named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// Like every path field, it starts out holding its own name.
inline QLineEdit* PathEdit(const char* name, QWidget* parent) {
    return Named(new PathLineEdit(QString::fromLatin1(name), parent), name);
}

inline std::string Std(const QString& text) {
    return text.toStdString();
}

} // namespace lw::gui
