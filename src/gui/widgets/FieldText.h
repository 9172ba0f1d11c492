// Setting a field's text from code runs its change handler as typing would; the handler runs
// unguarded here, so that a failure ends the handler that set the text.
#pragma once

#include <QLineEdit>
#include <QSignalBlocker>
#include <functional>

namespace lw::gui {

inline void SetTextRunningChange(QLineEdit& field, const QString& text,
                                 const std::function<void()>& changed) {
    if (field.text() == text)
        return;
    {
        const QSignalBlocker block(field);
        field.setText(text);
    }
    changed();
}

} // namespace lw::gui
