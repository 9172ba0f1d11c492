#include "gui/MapEditorWindow.h"

#include "gui/WindowContext.h"

namespace lw {

MapEditorWindow::MapEditorWindow(WindowContext& context, QWidget* parent)
    : ToolWindow(context.dialogs, context.busy, parent), context_(context) {
    setWindowFlags(Qt::Window);
    setObjectName("TLWMapEditForm");
    setWindowTitle(QStringLiteral("MapEdit"));
    resize(697, 575);
}

} // namespace lw
