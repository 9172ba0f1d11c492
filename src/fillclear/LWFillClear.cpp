#include "fillclear/LWFillClear.h"

#include "app/AppContext.h"

namespace lw {

TLWFillClearForm::TLWFillClearForm(AppContext& context, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), context_(context) {
    setObjectName("TLWFillClearForm");
    setWindowTitle(QStringLiteral("Fill/Clear"));
    setFixedSize(385, 257);
}

} // namespace lw
