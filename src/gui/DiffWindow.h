// The diff window: a server operator generates a world diff here and a player applies one.
#pragma once

#include "diff/WorldFileSet.h"
#include "gui/models/DiffWindowModel.h"
#include "gui/widgets/ControlStates.h"
#include "gui/widgets/Dialogs.h"
#include "gui/widgets/PartBoxes.h"
#include "gui/widgets/PathField.h"
#include "gui/widgets/ToolWindow.h"
#include "util/LogSink.h"

#include <functional>

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

    // The main bar shows the index reads and the map checksum, the stage display each step, the
    // log the lines of an application or a look at a diff. They belong to windows created around
    // this one, so they are handed over afterwards.
    void setCompanions(std::function<void(int)> mainProgress, gui::StageDisplay& stages,
                       LogSink log);

protected:
    void showing() override;

private:
    QWidget* buildConfigurationPanel();
    QWidget* buildFileNamePanel();
    void connectHandlers();

    // The rules' facts as they are now, and the window showing what the rules say.
    DiffWindowModel model() const;
    void updateDiffControls();
    // The one moment the paths are stored: after a path field changed and was validated.
    void pathsValidated();

    void generateClicked();
    void applyClicked();
    void showChangesClicked();
    // The .lw2 file to apply or look at; nothing when the dialog was cancelled.
    std::optional<QString> chooseDiffToRead();

    // The original row, and the modified row (an application's targets).
    WorldFileSet originalFiles() const;
    WorldFileSet modifiedFiles() const;

    // Generation and application; they run inside the busy guard with the window disabled.
    void runGenerate(const QString& diffPath);
    void runApply(const QString& diffPath);
    void runShowChanges(const QString& diffPath);
    void runAction(const std::function<void()>& action);

    QWidget* configurationPanel;
    gui::PartBoxes parts_;
    QGroupBox* buttonGroupBox;
    QPushButton* generateButton;
    QPushButton* applyButton;
    QPushButton* showChangesButton;
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

    WindowContext& context_;
    gui::PathFields paths_;
    // The widgets each control of the rules stands for.
    gui::ControlStates<DiffControl> controls_;
    std::function<void(int)> mainProgress_;
    gui::StageDisplay* stages_ = nullptr;
    LogSink log_ = DiscardLog;
    bool actionsOffered_ = false; // all six fields have been valid at once
};

} // namespace lw
