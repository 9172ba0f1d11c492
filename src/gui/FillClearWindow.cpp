#include "gui/FillClearWindow.h"

#include "gui/WindowContext.h"

namespace lw {

FillClearWindow::FillClearWindow(WindowContext& context, QWidget* parent)
    : ToolWindow(context.dialogs, context.busy, parent), context_(context) {
    setObjectName("TLWFillClearForm");
    setWindowTitle(QStringLiteral("Fill/Clear"));
    setFixedSize(385, 257);
}

} // namespace lw
