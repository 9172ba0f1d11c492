// The fill/clear window: clears the statics and fills the terrain of a rectangle.
#pragma once

#include "gui/models/FillClearWindowModel.h"
#include "gui/widgets/ControlStates.h"
#include "gui/widgets/PartBoxes.h"
#include "gui/widgets/PathField.h"
#include "gui/widgets/ToolWindow.h"
#include "util/LogSink.h"
#include "world/WorldSize.h"

#include <functional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace lw {

struct FillClearFieldTexts;
struct WindowContext;

namespace gui {
class UpDown;
}

class FillClearWindow final : public gui::ToolWindow {
    Q_OBJECT
public:
    explicit FillClearWindow(WindowContext& context, QWidget* parent = nullptr);

    // The main window's bar shows the progress; it is created before this window, but handed
    // over afterwards like the other windows' companions.
    void setMainProgress(std::function<void(int)> mainProgress);
    // The main window's log, for what keeping the restore point of a run says.
    void setMainLog(LogSink log);

protected:
    void showing() override;

private:
    QWidget* buildClearSelectStrip();
    QGroupBox* buildAreaGroup();
    QGroupBox* buildReplaceGroup();
    QWidget* buildFileNamePanel();
    void connectHandlers();

    // The rules' facts as they are now, and the window showing what the rules say.
    FillClearWindowModel model() const;
    void updateControls();
    // The one moment the paths are stored: after a path field changed and was validated.
    void pathsValidated(const QLineEdit& changed);
    void followMapWorld();

    void fillAltitudeEditExit();
    void goClicked();
    FillClearFieldTexts fieldTexts() const;
    void runFillClear();

    gui::PartBoxes parts_;
    QPushButton* goButton;
    QGroupBox* fillClearAreaGroupBox;
    QLabel* clearAreaNoteLabel;
    QLabel* clearAreaTopLabel;
    QLineEdit* clearAreaTopEdit;
    QLabel* clearAreaLeftLabel;
    QLineEdit* clearAreaLeftEdit;
    QLabel* clearAreaRightLabel;
    QLineEdit* clearAreaRightEdit;
    QLabel* clearAreaBottomLabel;
    QLineEdit* clearAreaBottomEdit;
    QGroupBox* replaceGroupBox;
    QLabel* staticsClearInfoLabel;
    QLabel* fillTileLabel;
    QComboBox* fillTileComboBox;
    QLabel* fillAltitudeLabel;
    QLineEdit* fillAltitudeEdit;
    gui::UpDown* fillAltitudeUpDown;
    QLabel* staIdxLabel;
    QLineEdit* mStaIdxEdit;
    QLabel* staticsLabel;
    QLineEdit* mStaticsEdit;
    QLabel* mapLabel;
    QLineEdit* mMapEdit;

    WindowContext& context_;
    gui::PathFields paths_;
    // The widgets each control of the rules stands for.
    gui::ControlStates<FillClearControl> controls_;
    std::function<void(int)> mainProgress_;
    LogSink mainLog_ = DiscardLog;
    WorldSize bordersWorld_ = kClassicWorld; // the world the whole-world borders were set for
};

} // namespace lw
