// Tests reach a window's controls as a user sees them: by their object names.
#pragma once

#include <QWidget>
#include <stdexcept>
#include <string>

namespace lw::test {

// A window's control by its object name; the controls of a window it owns (the main window's
// progress window, the map editor's palette and overview) are not its own.
template <class W = QWidget> W& Find(QWidget& window, const char* name) {
    for (W* control : window.findChildren<W*>(QString::fromLatin1(name)))
        if (control->window() == &window)
            return *control;
    throw std::runtime_error(std::string("no control ") + name + " in " +
                             window.objectName().toStdString());
}

} // namespace lw::test
