#include "diff/LWDiff.h"

#include "app/AppContext.h"
#include "app/Main.h"
#include "app/Progress.h"
#include "diff/ApplyDiff.h"
#include "diff/DiffMessages.h"
#include "diff/GenerateDiff.h"
#include "ui/FieldText.h"
#include "ui/Guarded.h"
#include "ui/LineList.h"
#include "ui/PathField.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lw {
namespace {

constexpr int kClientWidth = 457;
constexpr int kClientHeight = 361;
constexpr int kConfigurationPanelHeight = 49;
constexpr int kFileNamePanelHeight = 77;

constexpr const char* kStaIdxName = "staidx0.mul";
constexpr const char* kStaticsName = "statics0.mul";
constexpr const char* kMapName = "map0.mul";

QStringList HelpLines() {
    return {
        "LW-Diff is used to write a file that allows players on public shrads to",
        "use a whole new world!",
        "The shrad operators use the \"Generate\"-function to build this file.",
        "The players use the \"Apply\"-function to update their world data.",
        "",
        "In the fields for \"Original files\" you put the paths to the files on",
        "your UO-CDRom. The \"Modified files\" should be in your UO",
        "directory on the HD.",
        "",
        "The progress-bar of the main window is used",
        "by LW-Diff as well, so move this window until it is visible.",
        "",
        "CRC values of known files:",
        "  Original OSI statics: 0D C2 9C 5A",
        "  OSI T2A: D7 53 AF 9C",
        "",
        "The progress bar indicates the progress of each STEP!",
        "While generating the LWD the steps are",
        "  1. Reading the original index (probably from CD)",
        "  2. Reading the modified index (probably from your UO-directory)",
        "  3. Generating a CRC value for the original ",
        "  4. Preparing the LWD file",
        "  5. Analyzing and writing the differences of",
        "      Map0.mul",
        "      StaIdx0.mul/Statics0.mul",
        "  6. Saveing the index of the LWD file",
        "",
        "While applying the LWD the steps are",
        "  1. Reading the original index (probably from CD)",
        "  2. Generating a CRC value for the original",
        "  3. Reading the LWD index",
        "  4. Writing the differences to your",
        "      Map0.mul",
        "      StaIdx0.mul/Statics0.mul",
        "  5. Writing the modified index",
    };
}

template <class W> W* Named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// Like every path field, it starts out holding its own name.
QLineEdit* PathEdit(const char* name, QWidget* parent) {
    return Named(new QLineEdit(QString::fromLatin1(name), parent), name);
}

ui::FileDialogRequest DiffFileDialog() {
    ui::FileDialogRequest request;
    request.filter = QStringLiteral("LW-Diff file (Version 2) (*.lw2)");
    request.defaultSuffix = QStringLiteral("lwd");
    request.hideReadOnly = true;
    request.pathMustExist = true;
    return request;
}

std::string Std(const QString& text) {
    return text.toStdString();
}

// The main bar shows the index reads and the map checksum, the progress window each step.
// report() comes once per map block: the main bar ignores a value it already shows.
class WindowProgress final : public DiffProgress {
public:
    WindowProgress(TMainForm* main, TProgressForm* window) : main_(main), window_(window) {}

    void report(int percent) override {
        if (main_ != nullptr)
            main_->SetMainProgress(percent);
    }
    void stage(const std::string& caption) override {
        if (window_ != nullptr)
            window_->SetStage(QString::fromStdString(caption));
    }
    void stageProgress(int percent) override {
        if (window_ != nullptr)
            window_->SetProgress(percent);
    }
    // The operations pace their yields to a few hundred a second.
    void yield() override { QCoreApplication::processEvents(); }

private:
    TMainForm* main_;
    TProgressForm* window_;
};

// The progress window is up for exactly the run, also one that ends with an error.
class ProgressWindowShown {
public:
    explicit ProgressWindowShown(TProgressForm* window) : window_(window) {
        if (window_ != nullptr)
            window_->show();
    }
    ~ProgressWindowShown() {
        if (window_ != nullptr)
            window_->hide();
    }
    ProgressWindowShown(const ProgressWindowShown&) = delete;
    ProgressWindowShown& operator=(const ProgressWindowShown&) = delete;

private:
    TProgressForm* window_;
};

// A disabled window takes no clicks, so no second run can start from it meanwhile; it must
// come back however the run ends.
class DisabledWhileRunning {
public:
    explicit DisabledWhileRunning(QWidget& window) : window_(window) { window_.setEnabled(false); }
    ~DisabledWhileRunning() { window_.setEnabled(true); }
    DisabledWhileRunning(const DisabledWhileRunning&) = delete;
    DisabledWhileRunning& operator=(const DisabledWhileRunning&) = delete;

private:
    QWidget& window_;
};

} // namespace

TLWDiffForm::TLWDiffForm(AppContext& context, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), context_(context) {
    setObjectName("TLWDiffForm");
    setWindowTitle(QStringLiteral("LW-Diff"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    setFixedSize(kClientWidth, kClientHeight);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    root->addWidget(buildConfigurationPanel());
    LWDiffListBox = Named(new ui::LineList(this), "LWDiffListBox");
    LWDiffListBox->addLines(HelpLines());
    root->addWidget(LWDiffListBox, 1);
    root->addWidget(buildFileNamePanel());

    LWDFileSaveDialog = DiffFileDialog();
    LWDFileSaveDialog.confirmOverwrite = true;
    // A name typed without an extension gets the one that can be applied.
    LWDFileSaveDialog.defaultSuffix = QStringLiteral("lw2");
    LWDFileOpenDialog = DiffFileDialog();

    connectHandlers();
}

TLWDiffForm::~TLWDiffForm() = default;

QWidget* TLWDiffForm::buildConfigurationPanel() {
    ConfigurationPanel = Named(new QWidget(this), "ConfigurationPanel");
    ConfigurationPanel->setFixedHeight(kConfigurationPanelHeight);
    auto* layout = new QHBoxLayout(ConfigurationPanel);
    layout->setContentsMargins(2, 1, 2, 3);
    layout->setSpacing(3);

    GenerateSelectGroupBox =
        Named(new QGroupBox(QStringLiteral("Generate diff for"), ConfigurationPanel),
              "GenerateSelectGroupBox");
    auto* parts = new QHBoxLayout(GenerateSelectGroupBox);
    parts->setContentsMargins(5, 0, 3, 2);
    parts->setSpacing(6);
    StaticsCheckBox =
        Named(new QCheckBox(QStringLiteral("StaIdx0.mul + Statics0.mul"), GenerateSelectGroupBox),
              "StaticsCheckBox");
    MapCheckBox =
        Named(new QCheckBox(QStringLiteral("Map0.mul"), GenerateSelectGroupBox), "MapCheckBox");
    for (QCheckBox* box : {StaticsCheckBox, MapCheckBox}) {
        box->setChecked(true);
        parts->addWidget(box);
    }
    parts->addStretch(1);

    ButtonGroupBox = Named(new QGroupBox(QStringLiteral("Select an action"), ConfigurationPanel),
                           "ButtonGroupBox");
    auto* actions = new QHBoxLayout(ButtonGroupBox);
    actions->setContentsMargins(3, 0, 3, 2);
    actions->setSpacing(3);
    GenerateButton =
        Named(new QPushButton(QStringLiteral("Generate Diff"), ButtonGroupBox), "GenerateButton");
    ApplyButton =
        Named(new QPushButton(QStringLiteral("Apply Diff"), ButtonGroupBox), "ApplyButton");
    for (QPushButton* button : {GenerateButton, ApplyButton}) {
        button->setEnabled(false);
        button->setAutoDefault(false);
        // Wide enough for the caption: the style's minimum button width would crowd the parts.
        button->setFixedWidth(button->fontMetrics().horizontalAdvance(button->text()) + 14);
        actions->addWidget(button);
    }

    layout->addWidget(GenerateSelectGroupBox, 1);
    layout->addWidget(ButtonGroupBox);
    return ConfigurationPanel;
}

QWidget* TLWDiffForm::buildFileNamePanel() {
    FileNamePanel = Named(new QWidget(this), "FileNamePanel");
    FileNamePanel->setFixedHeight(kFileNamePanelHeight);
    auto* grid = new QGridLayout(FileNamePanel);
    grid->setContentsMargins(4, 2, 4, 4);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);

    StaIdxLabel = Named(new QLabel(QStringLiteral("StaIdx0.mul"), FileNamePanel), "StaIdxLabel");
    StaticsLabel = Named(new QLabel(QStringLiteral("Statics0.mul"), FileNamePanel), "StaticsLabel");
    MapLabel = Named(new QLabel(QStringLiteral("Map0.mul"), FileNamePanel), "MapLabel");
    OriginalLabel =
        Named(new QLabel(QStringLiteral("Original files"), FileNamePanel), "OriginalLabel");
    ModifiedLabel =
        Named(new QLabel(QStringLiteral("Modified files"), FileNamePanel), "ModifiedLabel");

    OStaIdxEdit = PathEdit("OStaIdxEdit", FileNamePanel);
    OStaticsEdit = PathEdit("OStaticsEdit", FileNamePanel);
    OMapEdit = PathEdit("OMapEdit", FileNamePanel);
    MStaIdxEdit = PathEdit("MStaIdxEdit", FileNamePanel);
    MStaticsEdit = PathEdit("MStaticsEdit", FileNamePanel);
    MMapEdit = PathEdit("MMapEdit", FileNamePanel);
    // They show the main window's statics files, which an application writes.
    MStaIdxEdit->setEnabled(false);
    MStaticsEdit->setEnabled(false);

    QLabel* const headings[] = {StaIdxLabel, StaticsLabel, MapLabel};
    QLineEdit* const rows[2][3] = {{OStaIdxEdit, OStaticsEdit, OMapEdit},
                                   {MStaIdxEdit, MStaticsEdit, MMapEdit}};
    for (int column = 0; column < 3; ++column) {
        grid->addWidget(headings[column], 0, column + 1);
        grid->setColumnStretch(column + 1, 1);
    }
    grid->addWidget(OriginalLabel, 1, 0);
    grid->addWidget(ModifiedLabel, 2, 0);
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 3; ++column)
            grid->addWidget(rows[row][column], row + 1, column + 1);

    QWidget* previous = nullptr;
    for (const auto& row : rows)
        for (QLineEdit* field : row) {
            if (previous != nullptr)
                setTabOrder(previous, field);
            previous = field;
        }
    return FileNamePanel;
}

void TLWDiffForm::connectHandlers() {
    connect(StaticsCheckBox, &QCheckBox::clicked, this, [this] { StaticsCheckBoxClick(); });
    connect(MapCheckBox, &QCheckBox::clicked, this, [this] { MapCheckBoxClick(); });
    connect(GenerateButton, &QPushButton::clicked, this, [this] { GenerateButtonClick(); });
    connect(ApplyButton, &QPushButton::clicked, this, [this] { ApplyButtonClick(); });
    connect(OStaIdxEdit, &QLineEdit::textChanged, this, [this] { OStaIdxEditChange(); });
    connect(OStaticsEdit, &QLineEdit::textChanged, this, [this] { OStaticsEditChange(); });
    connect(OMapEdit, &QLineEdit::textChanged, this, [this] { OMapEditChange(); });
    connect(MStaIdxEdit, &QLineEdit::textChanged, this, [this] { MStaIdxEditChange(); });
    connect(MStaticsEdit, &QLineEdit::textChanged, this, [this] { MStaticsEditChange(); });
    connect(MMapEdit, &QLineEdit::textChanged, this, [this] { MMapEditChange(); });
}

void TLWDiffForm::SetCompanions(TMainForm& main, TProgressForm& progress) {
    main_ = &main;
    progress_ = &progress;
}

// ---- Showing and closing ---------------------------------------------------------------------

void TLWDiffForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        runGuarded([this] { FormShow(); });
}

void TLWDiffForm::FormShow() {
    const SettingsStore::DiffSettings paths = context_.settings.LoadDiffSettings();
    ui::SetTextRunningChange(*OStaIdxEdit, paths[0],
                             [this] { fieldChanged(*OStaIdxEdit, kStaIdxName); });
    ui::SetTextRunningChange(*OStaticsEdit, paths[1],
                             [this] { fieldChanged(*OStaticsEdit, kStaticsName); });
    ui::SetTextRunningChange(*OMapEdit, paths[2], [this] { fieldChanged(*OMapEdit, kMapName); });
    ui::SetTextRunningChange(*MStaIdxEdit, paths[3],
                             [this] { fieldChanged(*MStaIdxEdit, kStaIdxName); });
    ui::SetTextRunningChange(*MStaticsEdit, paths[4],
                             [this] { fieldChanged(*MStaticsEdit, kStaticsName); });
    ui::SetTextRunningChange(*MMapEdit, paths[5], [this] { fieldChanged(*MMapEdit, kMapName); });
}

void TLWDiffForm::closeEvent(QCloseEvent* event) {
    if (context_.busy.deferClose(*this)) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TLWDiffForm::runGuarded(const std::function<void()>& body) {
    ui::guarded(context_.dialogs, this, body);
}

// ---- Fields and controls ---------------------------------------------------------------------

void TLWDiffForm::OStaIdxEditChange() {
    runGuarded([this] { fieldChanged(*OStaIdxEdit, kStaIdxName); });
}
void TLWDiffForm::OStaticsEditChange() {
    runGuarded([this] { fieldChanged(*OStaticsEdit, kStaticsName); });
}
void TLWDiffForm::OMapEditChange() {
    runGuarded([this] { fieldChanged(*OMapEdit, kMapName); });
}
void TLWDiffForm::MStaIdxEditChange() {
    runGuarded([this] { fieldChanged(*MStaIdxEdit, kStaIdxName); });
}
void TLWDiffForm::MStaticsEditChange() {
    runGuarded([this] { fieldChanged(*MStaticsEdit, kStaticsName); });
}
void TLWDiffForm::MMapEditChange() {
    runGuarded([this] { fieldChanged(*MMapEdit, kMapName); });
}

void TLWDiffForm::fieldChanged(QLineEdit& field, const char* expectedName) {
    ui::ValidatePathField(field, expectedName);
    UpdateDiffControls();
}

bool TLWDiffForm::allFieldsValid() const {
    for (const QLineEdit* field :
         {OStaIdxEdit, OStaticsEdit, OMapEdit, MStaIdxEdit, MStaticsEdit, MMapEdit})
        if (!ui::IsGreen(*field))
            return false;
    return true;
}

void TLWDiffForm::setActionControlsEnabled(bool enabled) {
    for (QWidget* control :
         std::initializer_list<QWidget*>{StaticsCheckBox, MapCheckBox, GenerateButton, ApplyButton})
        control->setEnabled(enabled);
}

void TLWDiffForm::UpdateDiffControls() {
    // Buttons left enabled beside a red field would start a run on a path known to be wrong.
    // Before the fields were first all valid, the controls keep their initial states.
    if (!allFieldsValid()) {
        if (actionsOffered_)
            setActionControlsEnabled(false);
        return;
    }
    actionsOffered_ = true;
    context_.settings.SaveDiffSettings({OStaIdxEdit->text(), OStaticsEdit->text(), OMapEdit->text(),
                                        MStaIdxEdit->text(), MStaticsEdit->text(),
                                        MMapEdit->text()});
    setActionControlsEnabled(true);
    for (QLineEdit* field : {OStaIdxEdit, OStaticsEdit, OMapEdit, MMapEdit})
        field->setEnabled(true);
    // A player in Simple mode can only apply.
    if (context_.state.AppMode == AppModeKind::Simple) {
        StaticsCheckBox->setEnabled(false);
        MapCheckBox->setEnabled(false);
        GenerateButton->setEnabled(false);
    }
}

void TLWDiffForm::StaticsCheckBoxClick() {
    keepOneChecked(*MapCheckBox);
}
void TLWDiffForm::MapCheckBoxClick() {
    keepOneChecked(*StaticsCheckBox);
}

void TLWDiffForm::keepOneChecked(QCheckBox& other) {
    if (!StaticsCheckBox->isChecked() && !MapCheckBox->isChecked())
        other.setChecked(true);
}

// ---- Generate and apply ----------------------------------------------------------------------

void TLWDiffForm::GenerateButtonClick() {
    runAction([this] {
        if (const std::optional<QString> file =
                context_.dialogs.saveFileName(this, LWDFileSaveDialog))
            runGenerate(*file);
    });
}

void TLWDiffForm::ApplyButtonClick() {
    runAction([this] {
        const std::optional<QString> file = context_.dialogs.openFileName(this, LWDFileOpenDialog);
        if (!file)
            return;
        if (!HasDiffExtension(Std(*file))) {
            context_.dialogs.message(this, {QStringLiteral("Error"),
                                            QString::fromUtf8(kLwdRefusal),
                                            ui::MessageIcon::Error,
                                            {ui::MessageButton::Cancel}});
            return;
        }
        runApply(*file);
    });
}

void TLWDiffForm::runAction(const std::function<void()>& action) {
    ui::RunOperation(context_.dialogs, context_.busy, this, [&] {
        const DisabledWhileRunning disabled(*this);
        action();
    });
    runGuarded([this] { UpdateDiffControls(); });
}

WorldFileSet TLWDiffForm::originalFiles() const {
    return {Std(OStaIdxEdit->text()), Std(OStaticsEdit->text()), Std(OMapEdit->text())};
}

WorldFileSet TLWDiffForm::modifiedFiles() const {
    return {Std(MStaIdxEdit->text()), Std(MStaticsEdit->text()), Std(MMapEdit->text())};
}

void TLWDiffForm::runGenerate(const QString& diffPath) {
    const DiffParts parts{StaticsCheckBox->isChecked(), MapCheckBox->isChecked()};
    WindowProgress progress(main_, progress_);
    // The checksum box belongs to the run: the progress window goes only after it.
    const ProgressWindowShown shown(progress_);
    const GeneratedDiff generated =
        GenerateDiff(originalFiles(), modifiedFiles(), Std(diffPath), parts, progress);
    context_.dialogs.message(this, {QString::fromStdString(generated.caption),
                                    QString::fromStdString(generated.message),
                                    ui::MessageIcon::Information,
                                    {ui::MessageButton::Ok}});
}

void TLWDiffForm::runApply(const QString& diffPath) {
    const WorldFileSet target = modifiedFiles();
    WindowProgress progress(main_, progress_);
    const ProgressWindowShown shown(progress_);
    AppliedDiff applied = ApplyDiff(originalFiles(), target, Std(diffPath), progress);
    if (!applied.applied) {
        context_.dialogs.message(this, {QString::fromStdString(applied.caption),
                                        QString::fromStdString(applied.message),
                                        ui::MessageIcon::Error,
                                        {ui::MessageButton::Ok}});
        return;
    }
    if (main_ != nullptr)
        TakeWrittenIndex(context_.state, Std(main_->StaIdxEdit->text()), target.staidx, applied);
}

} // namespace lw
