#include "gui/widgets/OnceErrors.h"

#include "gui/widgets/Guarded.h"

#include <QTimer>
#include <QWidget>

namespace lw::gui {

void OnceErrors::report(const std::exception& error) {
    const QString text = MessageOf(error);
    if (shown_.contains(text))
        return;
    shown_.insert(text);
    QTimer::singleShot(0, &parent_, [this, text] { ShowError(dialogs_, &parent_, text); });
}

} // namespace lw::gui
