// The fixed texts of the main window: its caption, the manual and the Simple-mode guidance.
#pragma once

#include <QString>
#include <QStringList>

namespace lw {

inline const QString kMainCaption = QStringLiteral("Loamwright (Version 6a / SubVersion 3)");

QStringList ManualLines();

// The step of Simple mode that the guidance explains: the first one not yet done.
enum class GuidanceStep { EnterStaIdx, EnterStatics, EnterItemFile, LoadIndex, Freeze, Finished };

QStringList GuidanceLines(GuidanceStep step);

QString SimpleModeQuestion();
QString ModeNotice();

} // namespace lw
