// The main window: the three file-name fields of the statics work, the block fields, the
// statics operations, the tool-window buttons, the mode, the manual, the log and the bar.
#pragma once

#include "gui/WindowContext.h"
#include "gui/models/MainWindowModel.h"
#include "gui/widgets/ControlStates.h"
#include "gui/widgets/Dialogs.h"
#include "gui/widgets/PathField.h"
#include "items/ItemFileStyle.h"
#include "items/SelectItems.h"
#include "util/LogSink.h"

#include <QWidget>
#include <array>
#include <string>
#include <vector>

class QButtonGroup;
class QDialog;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSplitter;

namespace lw {

namespace gui {
class LineList;
class ProgressBar;
class UpDown;
} // namespace gui

class RestoreWindow;
struct BlockRange;
struct FreezeRequest;

class MainWindow final : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(WindowContext& context);
    ~MainWindow() override;

    // The tool windows are created after the main window; the buttons only show them.
    void setToolWindows(QDialog& diff, QDialog& fillClear, QDialog& mapEdit);

    // The folder whose "AutoSelect.txt" an "auto" freeze reads: the executable's own folder,
    // unless a test puts its own there.
    void setProgramFolder(const QString& folder);

    void addLogLine(const QString& text);
    void setMainProgress(int percent);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildButtonColumn();
    QWidget* buildFileNameStrip();
    QWidget* buildMainArea();
    void connectHandlers();

    // The rules' facts as they are now, and the window showing what the rules say.
    MainWindowModel model() const;
    void updateControlStates();
    void showGuidance();
    void focusNextStep();
    // The one moment the paths are stored: after a path field changed and was validated.
    void pathsValidated();

    void prepareForShow();
    void getStaticIndexClicked();
    void getStaticBlockClicked();
    void meltBlockClicked();
    void freezeWorldClicked();
    void fillClearClicked();
    void lwDiffClicked();
    void mapEditClicked();
    void compactClicked();
    void restoreClicked();
    // After a restore put files back in folders: the loaded index is read again when its file
    // lies there, so that no later operation writes the replaced table back.
    void filesRestored(const std::vector<std::string>& folders);
    void normalModeClicked();
    void simpleModeClicked();
    void polStyleClicked();
    void x1TextChanged();
    void x1EditingFinished();
    void x2EditingFinished();
    void y1TextChanged();
    void y1EditingFinished();
    void y2EditingFinished();

    // Handler bodies without the guard, so that a handler run by another handler's field
    // update fails that handler as the field change would.
    void x1EditChanged();
    void y1EditChanged();
    void lowerEditExit(QLineEdit& lower, gui::UpDown& lowerUpDown, QLineEdit& upper,
                       gui::UpDown& upperUpDown);
    void lowerEditChanged(QLineEdit& lower, QLineEdit& upper, gui::UpDown& upperUpDown);
    void selectMode(int mode, const QString& title);

    // The choice of the " Freeze items " group.
    SelectionMode selectedItems() const;

    // The statics operations of melting and freezing; they run inside the busy guard.
    void runMelt();
    void runFreeze();
    void runCompact();
    std::array<std::string, 4> blockFieldTexts() const;
    void showBlockRange(const BlockRange& range);
    LogSink logSink();
    // False when the user cancels the dialog or declines to append to an existing file.
    bool choosePatchFile(FreezeRequest& request);

    void runGuarded(const std::function<void()>& body);
    void runOperation(const std::function<void()>& op);
    void showToolWindow(QDialog* window);

    QPushButton* getStaticIndexButton;
    QLabel* xLabel;
    QLabel* yLabel;
    QLineEdit* x1Edit;
    gui::UpDown* x1UpDown;
    QLineEdit* x2Edit;
    gui::UpDown* x2UpDown;
    QLineEdit* y1Edit;
    gui::UpDown* y1UpDown;
    QLineEdit* y2Edit;
    gui::UpDown* y2UpDown;
    QPushButton* getStaticBlockButton;
    QPushButton* meltBlockButton;
    QPushButton* freezeWorldButton;
    QGroupBox* selectItemsRadioGroup;
    QCheckBox* writePatCheckBox;
    QPushButton* fillClearButton;
    QPushButton* lwDiffButton;
    QPushButton* mapEditButton;
    QGroupBox* modeGroupBox;
    QRadioButton* normalModeRadioButton;
    QRadioButton* simpleModeRadioButton;
    QLabel* staIdxLabel;
    QLineEdit* staIdxEdit;
    QLabel* staticsLabel;
    QLineEdit* staticsEdit;
    QLabel* wscLabel;
    QLineEdit* wscEdit;
    QCheckBox* polStyle;
    QPushButton* compactButton;
    QPushButton* restoreButton;
    gui::LineList* mainListBox;
    QSplitter* mainPanelSplitter;
    gui::LineList* logListBox;
    gui::ProgressBar* progressBar;
    gui::FileDialogRequest patSaveDialog;

    WindowContext& context_;
    gui::PathFields paths_;
    // The widgets each control of the rules stands for.
    gui::ControlStates<MainControl> controls_;
    bool initializing_ = false;
    bool freezeAsked_ = false;
    QDialog* diffWindow_ = nullptr;
    QDialog* fillClearWindow_ = nullptr;
    QDialog* mapEditorWindow_ = nullptr;
    RestoreWindow* restoreWindow_ = nullptr; // a child of this window
    QButtonGroup* selectItems_ = nullptr;
    QString programFolder_;
    bool shown_ = false;
};

} // namespace lw
