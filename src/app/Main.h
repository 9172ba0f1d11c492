// The main window: the three file-name fields of the statics work, the block fields, the
// statics operations, the tool-window buttons, the mode, the manual, the log and the bar.
#pragma once

#include "app/AppContext.h"
#include "items/LogSink.h"
#include "ui/Dialogs.h"

#include <QWidget>
#include <array>
#include <string>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSplitter;

namespace lw {

namespace ui {
class LineList;
class ProgressBar;
class UpDown;
} // namespace ui

struct BlockRange;
struct FreezeRequest;
class TLWDiffForm;
class TLWFillClearForm;
class TLWMapEditForm;

class TMainForm final : public QWidget {
    Q_OBJECT
public:
    explicit TMainForm(AppContext& context);
    ~TMainForm() override;

    // The tool windows are created after the main window; the buttons only show them.
    void SetToolWindows(TLWDiffForm& diff, TLWFillClearForm& fillClear, TLWMapEditForm& mapEdit);

    // The folder whose "AutoSelect.txt" an "auto" freeze reads: the executable's own folder,
    // unless a test puts its own there.
    void SetProgramFolder(const QString& folder);

    void AddLogLine(const QString& text);
    void SetMainProgress(int percent);
    void UpdateControlStates();
    void ShowGuidance();

    // The selected item of the " Freeze items " group: 0 "type 255", 1 "auto".
    int SelectedItemsIndex() const;

    // Handlers, public so that tests can drive them as the window system would.
    void FormShow();
    void GetStaticIndexButtonClick();
    void GetStaticBlockButtonClick();
    void MeltBlockButtonClick();
    void FreezeWorldButtonClick();
    void FillClearButtonClick();
    void LWDiffButtonClick();
    void MapEditButtonClick();
    void NormalModeRadioButtonClick();
    void SimpleModeRadioButtonClick();
    void StaIdxEditChange();
    void StaticsEditChange();
    void WSCEditChange();
    void PolStyleClick();
    void X1EditChange();
    void X1EditExit();
    void X2EditExit();
    void Y1EditChange();
    void Y1EditExit();
    void Y2EditExit();

    QPushButton* GetStaticIndexButton;
    QLabel* XLabel;
    QLabel* YLabel;
    QLineEdit* X1Edit;
    ui::UpDown* X1UpDown;
    QLineEdit* X2Edit;
    ui::UpDown* X2UpDown;
    QLineEdit* Y1Edit;
    ui::UpDown* Y1UpDown;
    QLineEdit* Y2Edit;
    ui::UpDown* Y2UpDown;
    QPushButton* GetStaticBlockButton;
    QPushButton* MeltBlockButton;
    QPushButton* FreezeWorldButton;
    QGroupBox* SelectItemsRadioGroup;
    QCheckBox* WritePATCheckBox;
    QPushButton* FillClearButton;
    QPushButton* LWDiffButton;
    QPushButton* MapEditButton;
    QGroupBox* ModeGroupBox;
    QRadioButton* NormalModeRadioButton;
    QRadioButton* SimpleModeRadioButton;
    QLabel* StaIdxLabel;
    QLineEdit* StaIdxEdit;
    QLabel* StaticsLabel;
    QLineEdit* StaticsEdit;
    QLabel* WSCLabel;
    QLineEdit* WSCEdit;
    QCheckBox* PolStyle;
    ui::LineList* MainListBox;
    QSplitter* MainPanelSplitter;
    ui::LineList* LogListBox;
    ui::ProgressBar* ProgressBar;
    ui::FileDialogRequest PATSaveDialog;

    bool InitializingMainWindow = false;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildButtonColumn();
    QWidget* buildFileNameStrip();
    QWidget* buildMainArea();
    void connectHandlers();

    // Handler bodies without the guard, so that a handler run by another handler's field
    // update fails that handler as the field change would.
    void staIdxEditChanged();
    void staticsEditChanged();
    void wscEditChanged();
    void fileNameChanged();
    void x1EditChanged();
    void y1EditChanged();
    void lowerEditExit(QLineEdit& lower, ui::UpDown& lowerUpDown, QLineEdit& upper,
                       ui::UpDown& upperUpDown);
    void lowerEditChanged(QLineEdit& lower, QLineEdit& upper, ui::UpDown& upperUpDown);
    void setBlockFieldsEnabled(bool enabled);
    void selectMode(int mode, const QString& title);

    // The statics operations of melting and freezing; they run inside the busy guard.
    void runMelt();
    void runFreeze();
    std::array<std::string, 4> blockFieldTexts() const;
    void showBlockRange(const BlockRange& range);
    LogSink logSink();
    // False when the user cancels the dialog or declines to append to an existing file.
    bool choosePatchFile(FreezeRequest& request);

    void runGuarded(const std::function<void()>& body);
    void runOperation(const std::function<void()>& op);
    void showToolWindow(QDialog* window);
    bool isSimpleMode() const;

    AppContext& context_;
    TLWDiffForm* diffForm_ = nullptr;
    TLWFillClearForm* fillClearForm_ = nullptr;
    TLWMapEditForm* mapEditForm_ = nullptr;
    QButtonGroup* selectItems_ = nullptr;
    QString programFolder_;
    bool shown_ = false;
};

} // namespace lw
