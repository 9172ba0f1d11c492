// The diff window: a server operator generates a world diff here and a player applies one.
#pragma once

#include "diff/WorldFileSet.h"
#include "gui/widgets/Dialogs.h"
#include "gui/widgets/ToolWindow.h"

#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace lw {

struct WindowContext;

namespace gui {
class LineList;
class StageDisplay;
} // namespace gui

class DiffWindow final : public gui::ToolWindow {
    Q_OBJECT
public:
    explicit DiffWindow(WindowContext& context, QWidget* parent = nullptr);
    ~DiffWindow() override;

    // The main bar shows the index reads and the map checksum, the stage display each step.
    // Both belong to windows created around this one, so they are handed over afterwards.
    void setCompanions(std::function<void(int)> mainProgress, gui::StageDisplay& stages);

    void updateDiffControls();

    // Handlers, public so that tests can drive them as the window system would.
    void prepareForShow();
    void staticsCheckBoxClicked();
    void mapCheckBoxClicked();
    void generateClicked();
    void applyClicked();
    void oStaIdxTextChanged();
    void oStaticsTextChanged();
    void oMapTextChanged();
    void mStaIdxTextChanged();
    void mStaticsTextChanged();
    void mMapTextChanged();

    QWidget* configurationPanel;
    QGroupBox* generateSelectGroupBox;
    QCheckBox* staticsCheckBox;
    QCheckBox* mapCheckBox;
    QGroupBox* buttonGroupBox;
    QPushButton* generateButton;
    QPushButton* applyButton;
    gui::LineList* lwDiffListBox;
    QWidget* fileNamePanel;
    QLabel* staIdxLabel;
    QLabel* staticsLabel;
    QLabel* mapLabel;
    QLabel* originalLabel;
    QLabel* modifiedLabel;
    QLineEdit* oStaIdxEdit;
    QLineEdit* oStaticsEdit;
    QLineEdit* oMapEdit;
    QLineEdit* mStaIdxEdit;
    QLineEdit* mStaticsEdit;
    QLineEdit* mMapEdit;
    gui::FileDialogRequest lwdFileSaveDialog;
    gui::FileDialogRequest lwdFileOpenDialog;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildConfigurationPanel();
    QWidget* buildFileNamePanel();
    void connectHandlers();

    // The change handlers' bodies without the guard, so that a failure while prepareForShow fills
    // the fields ends prepareForShow.
    void fieldChanged(QLineEdit& field);
    void keepOneChecked(QCheckBox& other);
    bool allFieldsValid() const;
    void setActionControlsEnabled(bool enabled);

    // The original row, and the modified row (an application's targets).
    WorldFileSet originalFiles() const;
    WorldFileSet modifiedFiles() const;

    // Generation and application; they run inside the busy guard with the window disabled.
    void runGenerate(const QString& diffPath);
    void runApply(const QString& diffPath);
    void runAction(const std::function<void()>& action);

    WindowContext& context_;
    std::function<void(int)> mainProgress_;
    gui::StageDisplay* stages_ = nullptr;
    bool actionsOffered_ = false; // all six fields have been valid at once
};

} // namespace lw
