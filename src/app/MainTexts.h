// The fixed texts of the main window: its caption, the manual and the Simple-mode guidance.
#pragma once

#include <QString>
#include <QStringList>

namespace lw {

inline const QString kMainCaption = QStringLiteral("Loamwright (Version 6a / SubVersion 3)");

QStringList ManualLines();

// The guidance of Simple mode, state 0 (statics index missing) to 5 (freeze done).
QStringList GuidanceLines(int state);

QString SimpleModeQuestion();
QString ModeNotice();

} // namespace lw
