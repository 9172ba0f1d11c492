// Controls found as a user finds them: by their object name, in one window and not in the windows
// it owns (the map editor owns the palette and the overview, which have controls of the same
// names).
#pragma once

#include <QWidget>
#include <gtest/gtest.h>

namespace lw::test {

template <class W> W& ControlOf(QWidget& window, const char* name) {
    for (W* control : window.findChildren<W*>(QString::fromLatin1(name)))
        if (control->window() == &window)
            return *control;
    ADD_FAILURE() << "no control " << name << " in " << window.objectName().toStdString();
    throw std::runtime_error(name);
}

} // namespace lw::test
