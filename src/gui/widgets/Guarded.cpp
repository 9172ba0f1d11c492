#include "gui/widgets/Guarded.h"

#include "util/Errors.h"
#include "util/File.h"

#include <new>

namespace lw::gui {

void ShowError(Dialogs& dialogs, QWidget* parent, const QString& message, const QString& detail) {
    try {
        dialogs.message(parent, {QStringLiteral("Loamwright"),
                                 message,
                                 MessageIcon::Error,
                                 {MessageButton::Ok},
                                 detail});
    } catch (...) {
        // Showing the error failed as well (out of memory); there is nobody left to tell.
    }
}

QString MessageOf(const std::exception& error) {
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return QStringLiteral("Zu wenig Arbeitsspeicher");
    return QString::fromUtf8(error.what());
}

QString DetailOf(const std::exception& error) {
    const auto* io = dynamic_cast<const IoError*>(&error);
    if (io == nullptr || io->path().empty())
        return {};
    const QString path = QString::fromStdString(io->path());
    QString name = QString::fromStdString(NameOf(io->path()));
    if (!io->role().empty())
        name += QStringLiteral(" (") + QString::fromStdString(io->role()) + QStringLiteral(")");
    return name + QStringLiteral(": ") + path;
}

} // namespace lw::gui
