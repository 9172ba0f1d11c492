// The widgets each control of a window's rules stands for, enabled as the rules say: a window
// shows its model with one call.
#pragma once

#include <QWidget>
#include <initializer_list>
#include <utility>
#include <vector>

namespace lw::gui {

template <class Control> class ControlStates {
public:
    void add(Control control, std::initializer_list<QWidget*> widgets) {
        for (QWidget* widget : widgets)
            widgets_.emplace_back(control, widget);
    }

    // Rules: anything with bool enabled(Control) const.
    template <class Rules> void show(const Rules& rules) const {
        for (const auto& [control, widget] : widgets_)
            widget->setEnabled(rules.enabled(control));
    }

private:
    std::vector<std::pair<Control, QWidget*>> widgets_;
};

} // namespace lw::gui
