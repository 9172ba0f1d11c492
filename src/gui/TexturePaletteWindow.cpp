#include "gui/TexturePaletteWindow.h"

#include "gui/WindowContext.h"

namespace lw {

TexturePaletteWindow::TexturePaletteWindow(WindowContext& context, QWidget* parent)
    : ToolWindow(context.dialogs, context.busy, parent), context_(context) {
    setWindowFlags(Qt::Window);
    setObjectName("TLWTextureAuswahlForm");
    setWindowTitle(QStringLiteral("TextureAuswahl"));
    resize(366, 331);
    move(658, 23);
}

} // namespace lw
