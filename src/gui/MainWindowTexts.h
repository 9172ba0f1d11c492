// The fixed texts of the main window: its caption, the manual and the Simple-mode guidance.
#pragma once

#include "gui/models/MainWindowModel.h"

#include <QString>
#include <QStringList>

namespace lw {

inline const QString kMainCaption = QStringLiteral("Loamwright (Version 6a / SubVersion 3)");

QStringList ManualLines();

QStringList GuidanceLines(GuidanceStep step);

QString SimpleModeQuestion();
QString ModeNotice();

} // namespace lw
