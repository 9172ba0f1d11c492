#include "gui/DiffWindow.h"

#include "diff/ApplyDiff.h"
#include "diff/DiffInfo.h"
#include "diff/DiffMessages.h"
#include "diff/GenerateDiff.h"
#include "gui/WindowContext.h"
#include "gui/WindowRestorePoint.h"
#include "gui/widgets/Controls.h"
#include "gui/widgets/DisabledWhileRunning.h"
#include "gui/widgets/FieldText.h"
#include "gui/widgets/Guarded.h"
#include "gui/widgets/LineList.h"
#include "gui/widgets/StageDisplay.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace lw {
namespace {

using gui::Named;
using gui::PathRole;
using gui::Std;

constexpr int kClientWidth = 457;
constexpr int kClientHeight = 361;
constexpr int kConfigurationPanelHeight = 73;
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
    : ToolWindow(context.dialogs, context.busy, parent), context_(context),
      paths_(*this, context.dialogs) {
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
    updateDiffControls();
}

DiffWindow::~DiffWindow() = default;

QWidget* DiffWindow::buildConfigurationPanel() {
    configurationPanel = Named(new QWidget(this), "ConfigurationPanel");
    configurationPanel->setFixedHeight(kConfigurationPanelHeight);
    auto* layout = new QHBoxLayout(configurationPanel);
    layout->setContentsMargins(2, 1, 2, 3);
    layout->setSpacing(3);

    // The parts stand one above the other, level with the two rows of actions.
    parts_ = gui::MakePartBoxes("GenerateSelectGroupBox", QStringLiteral("Generate diff for"),
                                configurationPanel, {}, Qt::Vertical);

    buttonGroupBox = Named(new QGroupBox(QStringLiteral("Select an action"), configurationPanel),
                           "ButtonGroupBox");
    auto* actions = new QGridLayout(buttonGroupBox);
    actions->setContentsMargins(3, 0, 3, 2);
    actions->setSpacing(3);
    generateButton =
        Named(new QPushButton(QStringLiteral("Generate Diff"), buttonGroupBox), "GenerateButton");
    applyButton =
        Named(new QPushButton(QStringLiteral("Apply Diff"), buttonGroupBox), "ApplyButton");
    showChangesButton =
        Named(new QPushButton(QStringLiteral("Show changes"), buttonGroupBox), "ShowChangesButton");
    // Wide enough for the caption: the style's minimum button width would crowd the parts. The
    // two of the first column share the wider width, so that their edges line up.
    const auto captionWidth = [](const QPushButton* button) {
        return button->fontMetrics().horizontalAdvance(button->text()) + 14;
    };
    const int firstColumn = std::max(captionWidth(generateButton), captionWidth(showChangesButton));
    generateButton->setFixedWidth(firstColumn);
    showChangesButton->setFixedWidth(firstColumn);
    applyButton->setFixedWidth(captionWidth(applyButton));
    for (QPushButton* button : {generateButton, applyButton, showChangesButton})
        button->setAutoDefault(false);
    actions->addWidget(generateButton, 0, 0);
    actions->addWidget(applyButton, 0, 1);
    actions->addWidget(showChangesButton, 1, 0);

    layout->addWidget(parts_.group, 1);
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

    // Both sets are one facet's.
    const auto worldField = [&](const char* name, WorldFileKind kind) {
        return paths_.add(name, PathRole::WorldFile(kind), fileNamePanel);
    };
    oStaIdxEdit = worldField("OStaIdxEdit", WorldFileKind::StaticsIndex);
    oStaticsEdit = worldField("OStaticsEdit", WorldFileKind::Statics);
    oMapEdit = worldField("OMapEdit", WorldFileKind::Map);
    mStaIdxEdit = worldField("MStaIdxEdit", WorldFileKind::StaticsIndex);
    mStaticsEdit = worldField("MStaticsEdit", WorldFileKind::Statics);
    mMapEdit = worldField("MMapEdit", WorldFileKind::Map);

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
    connect(generateButton, &QPushButton::clicked, this, [this] { generateClicked(); });
    connect(applyButton, &QPushButton::clicked, this, [this] { applyClicked(); });
    connect(showChangesButton, &QPushButton::clicked, this, [this] { showChangesClicked(); });
    paths_.onValidated([this](QLineEdit&) { pathsValidated(); });

    controls_.add(DiffControl::StaticsPart, {parts_.statics});
    controls_.add(DiffControl::MapPart, {parts_.map});
    controls_.add(DiffControl::Generate, {generateButton});
    controls_.add(DiffControl::Apply, {applyButton});
    controls_.add(DiffControl::ShowChanges, {showChangesButton});
    controls_.add(DiffControl::OriginalPaths, {oStaIdxEdit, oStaticsEdit, oMapEdit});
    controls_.add(DiffControl::ModifiedMap, {mMapEdit});
    controls_.add(DiffControl::ModifiedStatics, {mStaIdxEdit, mStaticsEdit});
}

void DiffWindow::setCompanions(std::function<void(int)> mainProgress, gui::StageDisplay& stages,
                               LogSink log) {
    mainProgress_ = std::move(mainProgress);
    stages_ = &stages;
    log_ = std::move(log);
}

// ---- Showing, fields and controls -------------------------------------------------------------

void DiffWindow::showing() {
    paths_.setTexts(context_.settings.loadDiffSettings());
}

DiffWindowModel DiffWindow::model() const {
    DiffWindowModel model;
    model.mode = context_.state.AppMode;
    model.actionsOffered = actionsOffered_;
    model.paths = paths_.values<6>();
    return model;
}

void DiffWindow::pathsValidated() {
    const DiffWindowModel rules = model();
    if (rules.allValid())
        actionsOffered_ = true;
    if (const auto paths = rules.pathsToStore())
        context_.settings.saveDiffSettings(gui::QStrings(*paths));
    updateDiffControls();
}

void DiffWindow::updateDiffControls() {
    controls_.show(model());
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

std::optional<QString> DiffWindow::chooseDiffToRead() {
    if (lwdFileOpenDialog.initialPath.isEmpty())
        lwdFileOpenDialog.initialPath = gui::FolderOf(mStaIdxEdit->text());
    const std::optional<QString> file = context_.dialogs.openFileName(this, lwdFileOpenDialog);
    if (file)
        lwdFileOpenDialog.initialPath = gui::FolderOf(*file);
    return file;
}

void DiffWindow::applyClicked() {
    runAction([this] {
        const std::optional<QString> file = chooseDiffToRead();
        if (!file)
            return;
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

// Any file may be looked at: one that is no diff shows as damaged, which is what it is.
void DiffWindow::showChangesClicked() {
    runAction([this] {
        if (const std::optional<QString> file = chooseDiffToRead())
            runShowChanges(*file);
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
    const WorldParts chosen = parts_.parts();
    const DiffParts parts{chosen.statics, chosen.map};
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
    // The replaced files stay as a restore point, as an application from the command line keeps
    // them.
    const WindowRestorePoint point(context_.settings, "diff-apply", "LW-Diff", log_);
    AppliedDiff applied = ApplyDiff(originalFiles(), target, Std(diffPath), progress, log_);
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

void DiffWindow::runShowChanges(const QString& diffPath) {
    std::optional<WorldFileSet> originals;
    if (model().originalsValid())
        originals = originalFiles();
    WindowProgress progress(mainProgress_, stages_);
    const DiffInfo info = ReadDiffInfo(Std(diffPath), originals, progress, log_);
    gui::TextRequest text;
    text.title = QStringLiteral("Changes in %1").arg(QFileInfo(diffPath).fileName());
    for (const std::string& line : DiffInfoLines(info))
        text.lines.push_back(QString::fromStdString(line));
    text.textName = QStringLiteral("DiffInfoText");
    context_.dialogs.showText(this, text);
}

} // namespace lw
