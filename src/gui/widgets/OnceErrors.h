// Failures of the reads a window makes on its own (drawing cells, following the pointer): each
// cause reaches the user once until reset, never once per cell of a repaint, and the box comes
// after the paint that failed rather than inside it.
#pragma once

#include <QSet>
#include <QString>
#include <exception>

class QWidget;

namespace lw::gui {

class Dialogs;

class OnceErrors {
public:
    OnceErrors(Dialogs& dialogs, QWidget& parent) : dialogs_(dialogs), parent_(parent) {}

    void report(const std::exception& error);
    // Every cause may be shown again (the files were changed).
    void reset() { shown_.clear(); }

private:
    Dialogs& dialogs_;
    QWidget& parent_;
    QSet<QString> shown_;
};

} // namespace lw::gui
