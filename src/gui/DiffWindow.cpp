#include "gui/DiffWindow.h"

#include "diff/ApplyDiff.h"
#include "diff/DiffMessages.h"
#include "diff/GenerateDiff.h"
#include "gui/WindowContext.h"
#include "gui/widgets/Controls.h"
#include "gui/widgets/DisabledWhileRunning.h"
#include "gui/widgets/FieldText.h"
#include "gui/widgets/Guarded.h"
#include "gui/widgets/LineList.h"
#include "gui/widgets/PathField.h"
#include "gui/widgets/StageDisplay.h"

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

using gui::Named;
using gui::PathEdit;
using gui::Std;

constexpr int kClientWidth = 457;
constexpr int kClientHeight = 361;
constexpr int kConfigurationPanelHeight = 49;
constexpr int kFileNamePanelHeight = 77;

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

gui::FileDialogRequest DiffFileDialog() {
    gui::FileDialogRequest request;
    request.filter = QStringLiteral("LW-Diff file (Version 2) (*.lw2)");
    request.defaultSuffix = QStringLiteral("lwd");
    request.hideReadOnly = true;
    request.pathMustExist = true;
    return request;
}

// report() comes once per map block: the main bar ignores a value it already shows.
class WindowProgress final : public DiffProgress {
public:
    WindowProgress(const std::function<void(int)>& mainProgress, gui::StageDisplay* stages)
        : mainProgress_(mainProgress), stages_(stages) {}

    void report(int percent) override {
        if (mainProgress_)
            mainProgress_(percent);
    }
    void stage(const std::string& caption) override {
        if (stages_ != nullptr)
            stages_->setStage(QString::fromStdString(caption));
    }
    void stageProgress(int percent) override {
        if (stages_ != nullptr)
            stages_->setStageProgress(percent);
    }
    // The operations pace their yields to a few hundred a second.
    void yield() override { QCoreApplication::processEvents(); }

private:
    const std::function<void(int)>& mainProgress_;
    gui::StageDisplay* stages_;
};

// The stage display is up for exactly the run, also one that ends with an error.
class StagesShown {
public:
    explicit StagesShown(gui::StageDisplay* stages) : stages_(stages) {
        if (stages_ != nullptr)
            stages_->showStages();
    }
    ~StagesShown() {
        if (stages_ != nullptr)
            stages_->hideStages();
    }
    StagesShown(const StagesShown&) = delete;
    StagesShown& operator=(const StagesShown&) = delete;

private:
    gui::StageDisplay* stages_;
};

} // namespace

DiffWindow::DiffWindow(WindowContext& context, QWidget* parent)
    : ToolWindow(context.dialogs, context.busy, parent), context_(context) {
    setObjectName("TLWDiffForm");
    setWindowTitle(QStringLiteral("LW-Diff"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    setFixedSize(kClientWidth, kClientHeight);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    root->addWidget(buildConfigurationPanel());
    lwDiffListBox = Named(new gui::LineList(this), "LWDiffListBox");
    lwDiffListBox->addLines(HelpLines());
    root->addWidget(lwDiffListBox, 1);
    root->addWidget(buildFileNamePanel());

    lwdFileSaveDialog = DiffFileDialog();
    lwdFileSaveDialog.confirmOverwrite = true;
    // A name typed without an extension gets the one that can be applied.
    lwdFileSaveDialog.defaultSuffix = QStringLiteral("lw2");
    lwdFileOpenDialog = DiffFileDialog();

    connectHandlers();
}

DiffWindow::~DiffWindow() = default;

QWidget* DiffWindow::buildConfigurationPanel() {
    configurationPanel = Named(new QWidget(this), "ConfigurationPanel");
    configurationPanel->setFixedHeight(kConfigurationPanelHeight);
    auto* layout = new QHBoxLayout(configurationPanel);
    layout->setContentsMargins(2, 1, 2, 3);
    layout->setSpacing(3);

    generateSelectGroupBox =
        Named(new QGroupBox(QStringLiteral("Generate diff for"), configurationPanel),
              "GenerateSelectGroupBox");
    auto* parts = new QHBoxLayout(generateSelectGroupBox);
    parts->setContentsMargins(5, 0, 3, 2);
    parts->setSpacing(6);
    staticsCheckBox =
        Named(new QCheckBox(QStringLiteral("StaIdx0.mul + Statics0.mul"), generateSelectGroupBox),
              "StaticsCheckBox");
    mapCheckBox =
        Named(new QCheckBox(QStringLiteral("Map0.mul"), generateSelectGroupBox), "MapCheckBox");
    for (QCheckBox* box : {staticsCheckBox, mapCheckBox}) {
        box->setChecked(true);
        parts->addWidget(box);
    }
    parts->addStretch(1);

    buttonGroupBox = Named(new QGroupBox(QStringLiteral("Select an action"), configurationPanel),
                           "ButtonGroupBox");
    auto* actions = new QHBoxLayout(buttonGroupBox);
    actions->setContentsMargins(3, 0, 3, 2);
    actions->setSpacing(3);
    generateButton =
        Named(new QPushButton(QStringLiteral("Generate Diff"), buttonGroupBox), "GenerateButton");
    applyButton =
        Named(new QPushButton(QStringLiteral("Apply Diff"), buttonGroupBox), "ApplyButton");
    for (QPushButton* button : {generateButton, applyButton}) {
        button->setEnabled(false);
        button->setAutoDefault(false);
        // Wide enough for the caption: the style's minimum button width would crowd the parts.
        button->setFixedWidth(button->fontMetrics().horizontalAdvance(button->text()) + 14);
        actions->addWidget(button);
    }

    layout->addWidget(generateSelectGroupBox, 1);
    layout->addWidget(buttonGroupBox);
    return configurationPanel;
}

QWidget* DiffWindow::buildFileNamePanel() {
    fileNamePanel = Named(new QWidget(this), "FileNamePanel");
    fileNamePanel->setFixedHeight(kFileNamePanelHeight);
    auto* grid = new QGridLayout(fileNamePanel);
    grid->setContentsMargins(4, 2, 4, 4);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);

    staIdxLabel = Named(new QLabel(QStringLiteral("StaIdx0.mul"), fileNamePanel), "StaIdxLabel");
    staticsLabel = Named(new QLabel(QStringLiteral("Statics0.mul"), fileNamePanel), "StaticsLabel");
    mapLabel = Named(new QLabel(QStringLiteral("Map0.mul"), fileNamePanel), "MapLabel");
    originalLabel =
        Named(new QLabel(QStringLiteral("Original files"), fileNamePanel), "OriginalLabel");
    modifiedLabel =
        Named(new QLabel(QStringLiteral("Modified files"), fileNamePanel), "ModifiedLabel");

    oStaIdxEdit = PathEdit("OStaIdxEdit", fileNamePanel);
    oStaticsEdit = PathEdit("OStaticsEdit", fileNamePanel);
    oMapEdit = PathEdit("OMapEdit", fileNamePanel);
    mStaIdxEdit = PathEdit("MStaIdxEdit", fileNamePanel);
    mStaticsEdit = PathEdit("MStaticsEdit", fileNamePanel);
    mMapEdit = PathEdit("MMapEdit", fileNamePanel);
    // They show the main window's statics files, which an application writes.
    mStaIdxEdit->setEnabled(false);
    mStaticsEdit->setEnabled(false);

    QLabel* const headings[] = {staIdxLabel, staticsLabel, mapLabel};
    QLineEdit* const rows[2][3] = {{oStaIdxEdit, oStaticsEdit, oMapEdit},
                                   {mStaIdxEdit, mStaticsEdit, mMapEdit}};
    for (int column = 0; column < 3; ++column) {
        grid->addWidget(headings[column], 0, column + 1);
        grid->setColumnStretch(column + 1, 1);
    }
    grid->addWidget(originalLabel, 1, 0);
    grid->addWidget(modifiedLabel, 2, 0);
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
    return fileNamePanel;
}

void DiffWindow::connectHandlers() {
    connect(staticsCheckBox, &QCheckBox::clicked, this, [this] { staticsCheckBoxClicked(); });
    connect(mapCheckBox, &QCheckBox::clicked, this, [this] { mapCheckBoxClicked(); });
    connect(generateButton, &QPushButton::clicked, this, [this] { generateClicked(); });
    connect(applyButton, &QPushButton::clicked, this, [this] { applyClicked(); });
    connect(oStaIdxEdit, &QLineEdit::textChanged, this, [this] { oStaIdxTextChanged(); });
    connect(oStaticsEdit, &QLineEdit::textChanged, this, [this] { oStaticsTextChanged(); });
    connect(oMapEdit, &QLineEdit::textChanged, this, [this] { oMapTextChanged(); });
    connect(mStaIdxEdit, &QLineEdit::textChanged, this, [this] { mStaIdxTextChanged(); });
    connect(mStaticsEdit, &QLineEdit::textChanged, this, [this] { mStaticsTextChanged(); });
    connect(mMapEdit, &QLineEdit::textChanged, this, [this] { mMapTextChanged(); });
}

void DiffWindow::setCompanions(std::function<void(int)> mainProgress, gui::StageDisplay& stages) {
    mainProgress_ = std::move(mainProgress);
    stages_ = &stages;
}

// ---- Showing and closing ---------------------------------------------------------------------

void DiffWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        runGuarded([this] { prepareForShow(); });
}

void DiffWindow::prepareForShow() {
    const SettingsStore::DiffSettings paths = context_.settings.loadDiffSettings();
    gui::SetTextRunningChange(*oStaIdxEdit, paths[0], [this] { fieldChanged(*oStaIdxEdit); });
    gui::SetTextRunningChange(*oStaticsEdit, paths[1], [this] { fieldChanged(*oStaticsEdit); });
    gui::SetTextRunningChange(*oMapEdit, paths[2], [this] { fieldChanged(*oMapEdit); });
    gui::SetTextRunningChange(*mStaIdxEdit, paths[3], [this] { fieldChanged(*mStaIdxEdit); });
    gui::SetTextRunningChange(*mStaticsEdit, paths[4], [this] { fieldChanged(*mStaticsEdit); });
    gui::SetTextRunningChange(*mMapEdit, paths[5], [this] { fieldChanged(*mMapEdit); });
}

// ---- Fields and controls ---------------------------------------------------------------------

void DiffWindow::oStaIdxTextChanged() {
    runGuarded([this] { fieldChanged(*oStaIdxEdit); });
}
void DiffWindow::oStaticsTextChanged() {
    runGuarded([this] { fieldChanged(*oStaticsEdit); });
}
void DiffWindow::oMapTextChanged() {
    runGuarded([this] { fieldChanged(*oMapEdit); });
}
void DiffWindow::mStaIdxTextChanged() {
    runGuarded([this] { fieldChanged(*mStaIdxEdit); });
}
void DiffWindow::mStaticsTextChanged() {
    runGuarded([this] { fieldChanged(*mStaticsEdit); });
}
void DiffWindow::mMapTextChanged() {
    runGuarded([this] { fieldChanged(*mMapEdit); });
}

// Both sets are one facet's.
void DiffWindow::fieldChanged(QLineEdit& field) {
    gui::ValidateWorldPathFields(field, {{oStaIdxEdit, WorldFileKind::StaticsIndex},
                                         {oStaticsEdit, WorldFileKind::Statics},
                                         {oMapEdit, WorldFileKind::Map},
                                         {mStaIdxEdit, WorldFileKind::StaticsIndex},
                                         {mStaticsEdit, WorldFileKind::Statics},
                                         {mMapEdit, WorldFileKind::Map}});
    updateDiffControls();
}

bool DiffWindow::allFieldsValid() const {
    for (const QLineEdit* field :
         {oStaIdxEdit, oStaticsEdit, oMapEdit, mStaIdxEdit, mStaticsEdit, mMapEdit})
        if (!gui::IsGreen(*field))
            return false;
    return true;
}

void DiffWindow::setActionControlsEnabled(bool enabled) {
    for (QWidget* control :
         std::initializer_list<QWidget*>{staticsCheckBox, mapCheckBox, generateButton, applyButton})
        control->setEnabled(enabled);
}

void DiffWindow::updateDiffControls() {
    // Buttons left enabled beside a red field would start a run on a path known to be wrong.
    // Before the fields were first all valid, the controls keep their initial states.
    if (!allFieldsValid()) {
        if (actionsOffered_)
            setActionControlsEnabled(false);
        return;
    }
    actionsOffered_ = true;
    context_.settings.saveDiffSettings({oStaIdxEdit->text(), oStaticsEdit->text(), oMapEdit->text(),
                                        mStaIdxEdit->text(), mStaticsEdit->text(),
                                        mMapEdit->text()});
    setActionControlsEnabled(true);
    for (QLineEdit* field : {oStaIdxEdit, oStaticsEdit, oMapEdit, mMapEdit})
        field->setEnabled(true);
    // A player in Simple mode can only apply.
    if (context_.state.AppMode == AppModeKind::Simple) {
        staticsCheckBox->setEnabled(false);
        mapCheckBox->setEnabled(false);
        generateButton->setEnabled(false);
    }
}

void DiffWindow::staticsCheckBoxClicked() {
    keepOneChecked(*mapCheckBox);
}
void DiffWindow::mapCheckBoxClicked() {
    keepOneChecked(*staticsCheckBox);
}

void DiffWindow::keepOneChecked(QCheckBox& other) {
    if (!staticsCheckBox->isChecked() && !mapCheckBox->isChecked())
        other.setChecked(true);
}

// ---- Generate and apply ----------------------------------------------------------------------

void DiffWindow::generateClicked() {
    runAction([this] {
        // The dialogs open beside the modified files at first, then where the last file went.
        if (lwdFileSaveDialog.initialPath.isEmpty())
            lwdFileSaveDialog.initialPath = gui::FolderOf(mStaIdxEdit->text());
        const std::optional<QString> file = context_.dialogs.saveFileName(this, lwdFileSaveDialog);
        if (!file)
            return;
        lwdFileSaveDialog.initialPath = gui::FolderOf(*file);
        runGenerate(*file);
    });
}

void DiffWindow::applyClicked() {
    runAction([this] {
        if (lwdFileOpenDialog.initialPath.isEmpty())
            lwdFileOpenDialog.initialPath = gui::FolderOf(mStaIdxEdit->text());
        const std::optional<QString> file = context_.dialogs.openFileName(this, lwdFileOpenDialog);
        if (!file)
            return;
        lwdFileOpenDialog.initialPath = gui::FolderOf(*file);
        if (!HasDiffExtension(Std(*file))) {
            context_.dialogs.message(this, {QStringLiteral("Error"),
                                            QString::fromUtf8(kLwdRefusal),
                                            gui::MessageIcon::Error,
                                            {gui::MessageButton::Cancel},
                                            {}});
            return;
        }
        runApply(*file);
    });
}

void DiffWindow::runAction(const std::function<void()>& action) {
    runOperation([&] {
        const gui::DisabledWhileRunning disabled(*this);
        action();
    });
    runGuarded([this] { updateDiffControls(); });
}

WorldFileSet DiffWindow::originalFiles() const {
    return {Std(oStaIdxEdit->text()), Std(oStaticsEdit->text()), Std(oMapEdit->text())};
}

WorldFileSet DiffWindow::modifiedFiles() const {
    return {Std(mStaIdxEdit->text()), Std(mStaticsEdit->text()), Std(mMapEdit->text())};
}

void DiffWindow::runGenerate(const QString& diffPath) {
    const DiffParts parts{staticsCheckBox->isChecked(), mapCheckBox->isChecked()};
    WindowProgress progress(mainProgress_, stages_);
    // The checksum box belongs to the run: the progress window goes only after it.
    const StagesShown shown(stages_);
    const GeneratedDiff generated =
        GenerateDiff(originalFiles(), modifiedFiles(), Std(diffPath), parts, progress);
    context_.dialogs.message(this, {QString::fromStdString(generated.caption),
                                    QString::fromStdString(generated.message),
                                    gui::MessageIcon::Information,
                                    {gui::MessageButton::Ok},
                                    {}});
}

void DiffWindow::runApply(const QString& diffPath) {
    const WorldFileSet target = modifiedFiles();
    WindowProgress progress(mainProgress_, stages_);
    const StagesShown shown(stages_);
    AppliedDiff applied = ApplyDiff(originalFiles(), target, Std(diffPath), progress);
    if (!applied.applied) {
        context_.dialogs.message(this, {QString::fromStdString(applied.caption),
                                        QString::fromStdString(applied.message),
                                        gui::MessageIcon::Error,
                                        {gui::MessageButton::Ok},
                                        {}});
        return;
    }
    TakeWrittenIndex(context_.state, target.staidx, applied);
}

} // namespace lw
