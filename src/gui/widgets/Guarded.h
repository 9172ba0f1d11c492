// Handler bodies run inside guarded(): no exception may cross the Qt event loop, and every
// failure reaches the user through the one default error handler.
#pragma once

#include "gui/widgets/Dialogs.h"

#include <QString>
#include <exception>
#include <utility>

namespace lw::gui {

// The application's default error handler: a box titled "Loamwright" with the message and OK,
// and below it what the error says about its file.
void ShowError(Dialogs& dialogs, QWidget* parent, const QString& message,
               const QString& detail = {});

// The user-facing text of a caught exception.
QString MessageOf(const std::exception& error);
// For an I/O error about a known file: "statics0.mul (statics file): /home/me/uo/statics0.mul".
QString DetailOf(const std::exception& error);

template <class Body> void guarded(Dialogs& dialogs, QWidget* parent, Body&& body) noexcept {
    try {
        std::forward<Body>(body)();
    } catch (const std::exception& error) {
        ShowError(dialogs, parent, MessageOf(error), DetailOf(error));
    } catch (...) {
        ShowError(dialogs, parent, QStringLiteral("Unknown error"));
    }
}

} // namespace lw::gui
