#include "mapedit/LWTextureAuswahl.h"

#include "app/AppContext.h"

namespace lw {

TLWTextureAuswahlForm::TLWTextureAuswahlForm(AppContext& context, QWidget* parent)
    : QDialog(parent, Qt::Window), context_(context) {
    setObjectName("TLWTextureAuswahlForm");
    setWindowTitle(QStringLiteral("TextureAuswahl"));
    resize(366, 331);
    move(658, 23);
}

} // namespace lw
