#include "mapedit/LWMapEdit.h"

#include "app/AppContext.h"

namespace lw {

TLWMapEditForm::TLWMapEditForm(AppContext& context, QWidget* parent)
    : QDialog(parent, Qt::Window), context_(context) {
    setObjectName("TLWMapEditForm");
    setWindowTitle(QStringLiteral("MapEdit"));
    resize(697, 575);
}

} // namespace lw
