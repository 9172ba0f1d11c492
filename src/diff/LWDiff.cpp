#include "diff/LWDiff.h"

#include "app/AppContext.h"

namespace lw {

TLWDiffForm::TLWDiffForm(AppContext& context, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), context_(context) {
    setObjectName("TLWDiffForm");
    setWindowTitle(QStringLiteral("LW-Diff"));
    setFixedSize(457, 361);
}

} // namespace lw
