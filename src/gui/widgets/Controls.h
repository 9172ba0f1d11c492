// Small helpers every window uses to build its controls and read their texts.
#pragma once

#include <QString>
#include <array>
#include <cstddef>
#include <string>

namespace lw::gui {

// Controls carry the product's control names as object names: tests and screenshots find them
// by those names.
template <class W> W* Named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

inline std::string Std(const QString& text) {
    return text.toStdString();
}

template <std::size_t N> std::array<QString, N> QStrings(const std::array<std::string, N>& texts) {
    std::array<QString, N> converted;
    for (std::size_t i = 0; i < N; ++i)
        converted[i] = QString::fromStdString(texts[i]);
    return converted;
}

} // namespace lw::gui
