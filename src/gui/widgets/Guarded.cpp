#include "gui/widgets/Guarded.h"

#include <new>

namespace lw::gui {

void ShowError(Dialogs& dialogs, QWidget* parent, const QString& message) {
    try {
        dialogs.message(
            parent,
            {QStringLiteral("Loamwright"), message, MessageIcon::Error, {MessageButton::Ok}});
    } catch (...) {
        // Showing the error failed as well (out of memory); there is nobody left to tell.
    }
}

QString MessageOf(const std::exception& error) {
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return QStringLiteral("Zu wenig Arbeitsspeicher");
    return QString::fromUtf8(error.what());
}

} // namespace lw::gui
