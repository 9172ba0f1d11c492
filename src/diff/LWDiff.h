// The diff window: a server operator generates a world diff here and a player applies one.
#pragma once

#include "diff/WorldFileSet.h"
#include "ui/Dialogs.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace lw {

struct AppContext;
class TMainForm;
class TProgressForm;

namespace ui {
class LineList;
}

class TLWDiffForm final : public QDialog {
    Q_OBJECT
public:
    explicit TLWDiffForm(AppContext& context, QWidget* parent = nullptr);
    ~TLWDiffForm() override;

    // The main window lends its progress bar and its loaded index; the progress window shows
    // each step. Both are created around this window, so they are handed over afterwards.
    void SetCompanions(TMainForm& main, TProgressForm& progress);

    void UpdateDiffControls();

    // Handlers, public so that tests can drive them as the window system would.
    void FormShow();
    void StaticsCheckBoxClick();
    void MapCheckBoxClick();
    void GenerateButtonClick();
    void ApplyButtonClick();
    void OStaIdxEditChange();
    void OStaticsEditChange();
    void OMapEditChange();
    void MStaIdxEditChange();
    void MStaticsEditChange();
    void MMapEditChange();

    QWidget* ConfigurationPanel;
    QGroupBox* GenerateSelectGroupBox;
    QCheckBox* StaticsCheckBox;
    QCheckBox* MapCheckBox;
    QGroupBox* ButtonGroupBox;
    QPushButton* GenerateButton;
    QPushButton* ApplyButton;
    ui::LineList* LWDiffListBox;
    QWidget* FileNamePanel;
    QLabel* StaIdxLabel;
    QLabel* StaticsLabel;
    QLabel* MapLabel;
    QLabel* OriginalLabel;
    QLabel* ModifiedLabel;
    QLineEdit* OStaIdxEdit;
    QLineEdit* OStaticsEdit;
    QLineEdit* OMapEdit;
    QLineEdit* MStaIdxEdit;
    QLineEdit* MStaticsEdit;
    QLineEdit* MMapEdit;
    ui::FileDialogRequest LWDFileSaveDialog;
    ui::FileDialogRequest LWDFileOpenDialog;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildConfigurationPanel();
    QWidget* buildFileNamePanel();
    void connectHandlers();

    // The change handlers' bodies without the guard, so that a failure while FormShow fills
    // the fields ends FormShow.
    void fieldChanged(QLineEdit& field, const char* expectedName);
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
    void runGuarded(const std::function<void()>& body);

    AppContext& context_;
    TMainForm* main_ = nullptr;
    TProgressForm* progress_ = nullptr;
    bool actionsOffered_ = false; // all six fields have been valid at once
};

} // namespace lw
