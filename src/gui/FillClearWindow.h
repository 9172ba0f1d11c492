// The fill/clear window: clears the statics and fills the terrain of a rectangle.
#pragma once

#include "gui/widgets/ToolWindow.h"
#include "world/WorldSize.h"

#include <functional>

class QCheckBox;
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

    void updateGoButton();

    // Handlers, public so that tests can drive them as the window system would.
    void prepareForShow();
    void staticsCheckBoxClicked();
    void mapCheckBoxClicked();
    void fillAltitudeEditExit();
    void goClicked();
    void mStaIdxTextChanged();
    void mStaticsTextChanged();
    void mMapTextChanged();

    QGroupBox* clearSelectGroupBox;
    QCheckBox* staticsCheckBox;
    QCheckBox* mapCheckBox;
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

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildClearSelectStrip();
    QGroupBox* buildAreaGroup();
    QGroupBox* buildReplaceGroup();
    QWidget* buildFileNamePanel();
    void connectHandlers();

    // The change handlers' bodies without the guard, so that a failure while prepareForShow
    // fills the fields ends prepareForShow.
    void fieldChanged(QLineEdit& field);
    void followMapWorld();
    void keepOneChecked(QCheckBox& other);
    void enableReplaceControls();
    FillClearFieldTexts fieldTexts() const;
    void runFillClear();

    WindowContext& context_;
    std::function<void(int)> mainProgress_;
    WorldSize bordersWorld_ = kClassicWorld; // the world the whole-world borders were set for
};

} // namespace lw
