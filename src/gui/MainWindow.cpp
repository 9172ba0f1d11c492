#include "gui/MainWindow.h"

#include "gui/MainWindowTexts.h"
#include "gui/RestoreWindow.h"
#include "gui/StartupRecovery.h"
#include "gui/WindowRestorePoint.h"
#include "gui/widgets/Controls.h"
#include "gui/widgets/FieldLeave.h"
#include "gui/widgets/FieldText.h"
#include "gui/widgets/Guarded.h"
#include "gui/widgets/LineList.h"
#include "gui/widgets/ProgressBar.h"
#include "gui/widgets/QtProgress.h"
#include "gui/widgets/UpDown.h"
#include "items/FreezeItems.h"
#include "items/MeltBlocks.h"
#include "items/OperationPaths.h"
#include "util/File.h"
#include "util/IntConv.h"
#include "world/BlockListing.h"
#include "world/Compaction.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>
#include <tuple>

namespace lw {
namespace {

using gui::Named;
using gui::PathRole;
using gui::Std;

constexpr int kClientWidth = 619;
constexpr int kClientHeight = 425;
constexpr int kButtonColumnWidth = 117;
constexpr int kFileNameStripHeight = 29;
constexpr int kLogHeight = 113;
constexpr int kProgressHeight = 16;
// What the restore points record as the window an operation ran from.
constexpr const char* kWindowName = "main";
// Until an index is loaded, the classic world's.
constexpr int kMaxTileX = kClassicWorld.width() - 1;
constexpr int kMaxTileY = kClassicWorld.height() - 1;

QPushButton* Button(const char* name, const char* caption, QWidget* parent) {
    return Named(new QPushButton(QString::fromUtf8(caption), parent), name);
}

// A block field ("X1Edit") with its spinner ("X1UpDown").
std::pair<QLineEdit*, gui::UpDown*> BlockField(const QString& name, int max, QWidget* parent) {
    auto* edit = new QLineEdit(QStringLiteral("0"), parent);
    edit->setObjectName(name + "Edit");
    edit->setMinimumWidth(30);
    auto* upDown = new gui::UpDown(*edit, 0, max, parent);
    upDown->setObjectName(name + "UpDown");
    return {edit, upDown};
}

ItemFileStyle StyleOf(const QCheckBox& polStyle) {
    return polStyle.isChecked() ? ItemFileStyle::Pol : ItemFileStyle::Uox3;
}

// Clamps a field to its spinner's limits. The lower limit is tested last, against the value
// after the upper test: a lower field typed past the map's edge raises the lower limit above
// the upper one, and the selection must then not end before it starts.
void ClampToLimits(QLineEdit& field, const gui::UpDown& limits) {
    int value = StrToInt(Std(field.text()));
    if (value > limits.max()) {
        value = limits.max();
        field.setText(QString::number(value));
    }
    if (value < limits.min())
        field.setText(QString::number(limits.min()));
}

} // namespace

MainWindow::MainWindow(WindowContext& context)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint),
      context_(context), paths_(*this, context.dialogs),
      programFolder_(QCoreApplication::applicationDirPath()) {
    setObjectName("MainForm");
    setWindowTitle(kMainCaption);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    setFixedSize(kClientWidth, kClientHeight);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    auto* top = new QHBoxLayout;
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(0);
    top->addWidget(buildMainArea(), 1);
    top->addWidget(buildButtonColumn());
    root->addLayout(top, 1);
    root->addWidget(buildFileNameStrip());

    patSaveDialog.title = QStringLiteral("Save or append the patch to");
    patSaveDialog.defaultSuffix = QStringLiteral("PAT");
    patSaveDialog.hideReadOnly = true;
    patSaveDialog.pathMustExist = true;
    patSaveDialog.filter = QStringLiteral("Patch files (*.pat);;All files (*)");

    for (QLineEdit* field : {staIdxEdit, staticsEdit, wscEdit})
        context_.busy.lockWhileBusy(*field);
    restoreWindow_ = new RestoreWindow(context_, this);
    restoreWindow_->setCompanions(
        logSink(), [this](const std::vector<std::string>& folders) { filesRestored(folders); });
    connectHandlers();
    updateControlStates();
}

MainWindow::~MainWindow() = default;

QWidget* MainWindow::buildMainArea() {
    auto* area = new QWidget(this);
    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    mainPanelSplitter = Named(new QSplitter(Qt::Vertical, area), "MainPanelSplitter");
    mainPanelSplitter->setChildrenCollapsible(false);
    mainListBox = Named(new gui::LineList(mainPanelSplitter), "MainListBox");
    logListBox = Named(new gui::LineList(mainPanelSplitter), "LogListBox");
    mainListBox->setMinimumHeight(50);
    logListBox->setMinimumHeight(50);
    mainPanelSplitter->addWidget(mainListBox);
    mainPanelSplitter->addWidget(logListBox);
    mainPanelSplitter->setStretchFactor(0, 1);
    mainPanelSplitter->setStretchFactor(1, 0);
    const int mainHeight = kClientHeight - kFileNameStripHeight - kProgressHeight - kLogHeight;
    mainPanelSplitter->setSizes({mainHeight, kLogHeight});
    mainListBox->addLines(ManualLines());
    progressBar = Named(new gui::ProgressBar(area), "ProgressBar");
    progressBar->setRange(0, 100);
    progressBar->setFixedHeight(kProgressHeight);
    layout->addWidget(mainPanelSplitter, 1);
    layout->addWidget(progressBar);
    return area;
}

QWidget* MainWindow::buildButtonColumn() {
    auto* column = new QWidget(this);
    column->setFixedWidth(kButtonColumnWidth);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(3);

    getStaticIndexButton = Button("GetStaticIndexButton", "GetStaticIndex", column);
    layout->addWidget(getStaticIndexButton);

    const auto blockRow = [&](const char* axis, int max, QLineEdit*& lower,
                              gui::UpDown*& lowerUpDown, QLineEdit*& upper,
                              gui::UpDown*& upperUpDown) {
        auto* row = new QHBoxLayout;
        row->setSpacing(1);
        const QString name = QString::fromLatin1(axis);
        auto* label = Named(new QLabel(name, column), qPrintable(name + "Label"));
        row->addWidget(label);
        std::tie(lower, lowerUpDown) = BlockField(name + "1", max, column);
        std::tie(upper, upperUpDown) = BlockField(name + "2", max, column);
        for (QWidget* widget :
             std::initializer_list<QWidget*>{lower, lowerUpDown, upper, upperUpDown})
            row->addWidget(widget, qobject_cast<QLineEdit*>(widget) ? 1 : 0);
        layout->addLayout(row);
        return label;
    };
    xLabel = blockRow("X", kMaxTileX, x1Edit, x1UpDown, x2Edit, x2UpDown);
    yLabel = blockRow("Y", kMaxTileY, y1Edit, y1UpDown, y2Edit, y2UpDown);

    getStaticBlockButton = Button("GetStaticBlockButton", "GetStaticBlock", column);
    meltBlockButton = Button("MeltBlockButton", "Melt!", column);
    freezeWorldButton = Button("FreezeWorldButton", "Freeze!", column);
    layout->addWidget(getStaticBlockButton);
    layout->addWidget(meltBlockButton);
    layout->addWidget(freezeWorldButton);

    selectItemsRadioGroup =
        Named(new QGroupBox(QStringLiteral(" Freeze items "), column), "SelectItemsRadioGroup");
    auto* itemsLayout = new QVBoxLayout(selectItemsRadioGroup);
    itemsLayout->setContentsMargins(6, 2, 4, 2);
    itemsLayout->setSpacing(0);
    selectItems_ = new QButtonGroup(this);
    const char* const items[] = {"type 255", "auto"};
    for (int i = 0; i < 2; ++i) {
        auto* radio = new QRadioButton(QString::fromLatin1(items[i]), selectItemsRadioGroup);
        radio->setChecked(i == 0);
        selectItems_->addButton(radio, i);
        itemsLayout->addWidget(radio);
    }
    layout->addWidget(selectItemsRadioGroup);

    writePatCheckBox =
        Named(new QCheckBox(QStringLiteral("Write PAT"), column), "WritePATCheckBox");
    layout->addWidget(writePatCheckBox);

    fillClearButton = Button("FillClearButton", "Fill/Clear", column);
    lwDiffButton = Button("LWDiffButton", "LW-Diff", column);
    mapEditButton = Button("MapEditButton", "MapEdit", column);
    layout->addWidget(fillClearButton);
    layout->addWidget(lwDiffButton);
    layout->addWidget(mapEditButton);

    modeGroupBox = Named(new QGroupBox(QStringLiteral(" Mode "), column), "ModeGroupBox");
    auto* modeLayout = new QVBoxLayout(modeGroupBox);
    modeLayout->setContentsMargins(6, 2, 4, 2);
    modeLayout->setSpacing(0);
    normalModeRadioButton =
        Named(new QRadioButton(QStringLiteral("Normal"), modeGroupBox), "NormalModeRadioButton");
    simpleModeRadioButton =
        Named(new QRadioButton(QStringLiteral("Simple"), modeGroupBox), "SimpleModeRadioButton");
    normalModeRadioButton->setChecked(true);
    modeLayout->addWidget(normalModeRadioButton);
    modeLayout->addWidget(simpleModeRadioButton);
    layout->addWidget(modeGroupBox);
    layout->addStretch(1);
    return column;
}

QWidget* MainWindow::buildFileNameStrip() {
    auto* strip = new QWidget(this);
    strip->setFixedHeight(kFileNameStripHeight);
    auto* layout = new QHBoxLayout(strip);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(4);
    staIdxLabel = Named(new QLabel(QStringLiteral("staidx0.mul"), strip), "StaIdxLabel");
    staIdxEdit = paths_.add("StaIdxEdit", PathRole::WorldFile(WorldFileKind::StaticsIndex), strip);
    staticsLabel = Named(new QLabel(QStringLiteral("statics0.mul"), strip), "StaticsLabel");
    staticsEdit = paths_.add("StaticsEdit", PathRole::WorldFile(WorldFileKind::Statics), strip);
    polStyle = Named(new QCheckBox(QStringLiteral("Pol"), strip), "PolStyle");
    polStyle->setChecked(true);
    wscLabel = Named(new QLabel(QStringLiteral("statics.cfg"), strip), "WSCLabel");
    wscLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    wscLabel->setMinimumWidth(wscLabel->fontMetrics().horizontalAdvance("statics.cfg") + 4);
    wscEdit = paths_.add("WSCEdit", PathRole::AnyFile(), strip);
    compactButton = Button("CompactButton", "Compact", strip);
    restoreButton = Button("RestoreButton", "Restore...", strip);
    for (QPushButton* button : {compactButton, restoreButton}) {
        button->setAutoDefault(false);
        // As narrow as the caption allows: the three fields need the room.
        button->setFixedWidth(button->fontMetrics().horizontalAdvance(button->text()) + 12);
    }
    layout->addWidget(staIdxLabel);
    layout->addWidget(staIdxEdit, 1);
    layout->addSpacing(4);
    layout->addWidget(staticsLabel);
    layout->addWidget(staticsEdit, 1);
    layout->addSpacing(4);
    layout->addWidget(polStyle);
    layout->addWidget(wscLabel);
    layout->addWidget(wscEdit, 1);
    layout->addSpacing(4);
    layout->addWidget(compactButton);
    layout->addWidget(restoreButton);
    return strip;
}

void MainWindow::connectHandlers() {
    connect(getStaticIndexButton, &QPushButton::clicked, this, [this] { getStaticIndexClicked(); });
    connect(getStaticBlockButton, &QPushButton::clicked, this, [this] { getStaticBlockClicked(); });
    connect(meltBlockButton, &QPushButton::clicked, this, [this] { meltBlockClicked(); });
    connect(freezeWorldButton, &QPushButton::clicked, this, [this] { freezeWorldClicked(); });
    connect(fillClearButton, &QPushButton::clicked, this, [this] { fillClearClicked(); });
    connect(lwDiffButton, &QPushButton::clicked, this, [this] { lwDiffClicked(); });
    connect(mapEditButton, &QPushButton::clicked, this, [this] { mapEditClicked(); });
    connect(compactButton, &QPushButton::clicked, this, [this] { compactClicked(); });
    connect(restoreButton, &QPushButton::clicked, this, [this] { restoreClicked(); });
    connect(normalModeRadioButton, &QRadioButton::toggled, this, [this] { normalModeClicked(); });
    connect(simpleModeRadioButton, &QRadioButton::toggled, this, [this] { simpleModeClicked(); });
    paths_.onValidated([this](QLineEdit&) { pathsValidated(); });
    connect(polStyle, &QCheckBox::toggled, this, [this] { polStyleClicked(); });
    connect(x1Edit, &QLineEdit::textChanged, this, [this] { x1TextChanged(); });
    connect(y1Edit, &QLineEdit::textChanged, this, [this] { y1TextChanged(); });
    gui::OnLeavingField(*x1Edit, [this] { x1EditingFinished(); });
    gui::OnLeavingField(*x2Edit, [this] { x2EditingFinished(); });
    gui::OnLeavingField(*y1Edit, [this] { y1EditingFinished(); });
    gui::OnLeavingField(*y2Edit, [this] { y2EditingFinished(); });

    controls_.add(MainControl::WorldPaths, {staIdxEdit, staticsEdit});
    controls_.add(MainControl::LWDiff, {lwDiffButton});
    controls_.add(MainControl::FillClear, {fillClearButton});
    controls_.add(MainControl::GetStaticIndex, {getStaticIndexButton});
    controls_.add(MainControl::BlockFields,
                  {x1Edit, x1UpDown, x2Edit, x2UpDown, y1Edit, y1UpDown, y2Edit, y2UpDown});
    controls_.add(MainControl::GetStaticBlock, {getStaticBlockButton});
    controls_.add(MainControl::MeltBlock, {meltBlockButton});
    controls_.add(MainControl::FreezeWorld, {freezeWorldButton});
    controls_.add(MainControl::FreezeChoices, {selectItemsRadioGroup, writePatCheckBox});
    controls_.add(MainControl::MapEdit, {mapEditButton});
    controls_.add(MainControl::Compact, {compactButton});
    controls_.add(MainControl::Restore, {restoreButton});
}

void MainWindow::setToolWindows(QDialog& diff, QDialog& fillClear, QDialog& mapEdit) {
    diffWindow_ = &diff;
    fillClearWindow_ = &fillClear;
    mapEditorWindow_ = &mapEdit;
}

void MainWindow::setProgramFolder(const QString& folder) {
    programFolder_ = folder;
}

// ---- Log, progress, states, guidance -------------------------------------------------------

void MainWindow::addLogLine(const QString& text) {
    logListBox->addLine(text);
    logListBox->scrollToEnd();
}

void MainWindow::setMainProgress(int percent) {
    progressBar->setValue(percent);
}

SelectionMode MainWindow::selectedItems() const {
    return static_cast<SelectionMode>(selectItems_->checkedId());
}

MainWindowModel MainWindow::model() const {
    MainWindowModel model;
    model.mode = context_.state.AppMode;
    model.indexLoaded = context_.state.StaticIndexLoaded;
    model.freezeDone = context_.state.FreezeDone;
    model.freezeAsked = freezeAsked_;
    model.staIdx = paths_.value(*staIdxEdit);
    model.statics = paths_.value(*staticsEdit);
    model.itemFile = paths_.value(*wscEdit);
    return model;
}

void MainWindow::pathsValidated() {
    if (const auto paths = model().pathsToStore())
        context_.settings.saveMainSettings(gui::QStrings(*paths));
    updateControlStates();
    showGuidance();
}

void MainWindow::updateControlStates() {
    controls_.show(model());
}

void MainWindow::focusNextStep() {
    const std::pair<MainFocus, QWidget*> targets[] = {
        {MainFocus::StaIdxField, staIdxEdit},
        {MainFocus::StaticsField, staticsEdit},
        {MainFocus::ItemFileField, wscEdit},
        {MainFocus::GetStaticIndex, getStaticIndexButton},
        {MainFocus::GetStaticBlock, getStaticBlockButton},
        {MainFocus::FreezeWorld, freezeWorldButton},
    };
    const MainFocus next = model().nextStep();
    for (const auto& [focus, widget] : targets)
        if (focus == next)
            widget->setFocus();
}

void MainWindow::showGuidance() {
    if (const std::optional<GuidanceStep> step = model().guidance()) {
        mainListBox->clear();
        mainListBox->addLines(GuidanceLines(*step));
    }
}

// ---- Showing and closing ---------------------------------------------------------------------

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    runGuarded([this] { prepareForShow(); });
}

void MainWindow::prepareForShow() {
    initializing_ = true;
    struct ClearFlag {
        bool& flag;
        ~ClearFlag() { flag = false; }
    } clearFlag{initializing_};

    const SettingsStore::MainSettings paths = context_.settings.loadMainSettings();
    const int mode = context_.settings.readMode([this] {
        return context_.dialogs.message(this, {QStringLiteral("Simple mode?"),
                                               SimpleModeQuestion(),
                                               gui::MessageIcon::None,
                                               {gui::MessageButton::Yes, gui::MessageButton::No},
                                               {}}) == gui::MessageButton::Yes;
    });
    context_.state.AppMode = static_cast<AppModeKind>(mode & 0xFF);
    if (context_.state.AppMode == AppModeKind::Normal) {
        normalModeRadioButton->setChecked(true);
        setWindowTitle(windowTitle() + QStringLiteral(" (Normal mode)"));
    } else if (context_.state.AppMode == AppModeKind::Simple) {
        simpleModeRadioButton->setChecked(true);
        setWindowTitle(windowTitle() + QStringLiteral(" (Simple mode)"));
    }
    paths_.setTexts(paths);
    RecoverStoredFolders(context_.settings, logSink());
    mainListBox->scrollToEnd();
    focusNextStep();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (context_.busy.deferClose(*this)) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

// ---- Guards ----------------------------------------------------------------------------------

void MainWindow::runGuarded(const std::function<void()>& body) {
    gui::guarded(context_.dialogs, this, body);
}

void MainWindow::runOperation(const std::function<void()>& op) {
    gui::RunOperation(context_.dialogs, context_.busy, this, op);
}

void MainWindow::showToolWindow(QDialog* window) {
    if (context_.busy.busy() || window == nullptr)
        return;
    runGuarded([&] { context_.dialogs.showModal(*window); });
}

// ---- Statics operations ----------------------------------------------------------------------

void MainWindow::getStaticIndexClicked() {
    runOperation([this] {
        addLogLine(
            QStringLiteral("Init in progress... Loamwright may look crashed, do not interrupt!"));
        gui::QtProgress progress([this](int percent) { setMainProgress(percent); });
        LoadStaticIndex(context_.state, Std(staIdxEdit->text()), progress, logSink(),
                        Std(staticsEdit->text()));
        // The spinners end where the loaded world does.
        const WorldSize& world = context_.state.StaticIndex.world();
        for (gui::UpDown* upDown : {x1UpDown, x2UpDown})
            upDown->setMax(world.width() - 1);
        for (gui::UpDown* upDown : {y1UpDown, y2UpDown})
            upDown->setMax(world.height() - 1);
        updateControlStates();
        showGuidance();
        addLogLine(QStringLiteral("Init completed!"));
        focusNextStep();
    });
}

void MainWindow::getStaticBlockClicked() {
    runOperation([this] {
        mainListBox->clear();
        const BlockRange range = ParseBlockRange(blockFieldTexts());
        showBlockRange(range);

        // Lines go to the list in batches; a failure part-way still shows what was listed.
        QStringList pending;
        struct Flush {
            gui::LineList& list;
            QStringList& lines;
            ~Flush() { list.addLines(lines); }
        } flush{*mainListBox, pending};
        ListStaticBlocks(Std(staticsEdit->text()), context_.state.StaticIndex, range,
                         [&](const std::string& line) {
                             pending.append(QString::fromStdString(line));
                             if (pending.size() >= 4096) {
                                 mainListBox->addLines(pending);
                                 pending.clear();
                             }
                         });
    });
}

void MainWindow::meltBlockClicked() {
    runOperation([this] { runMelt(); });
}

void MainWindow::freezeWorldClicked() {
    runOperation([this] { runFreeze(); });
}

std::array<std::string, 4> MainWindow::blockFieldTexts() const {
    return {Std(x1Edit->text()), Std(x2Edit->text()), Std(y1Edit->text()), Std(y2Edit->text())};
}

// The fields are written in the order X1, X2, Y1, Y2; a lower field's change moves the limit
// of its upper field as typing would.
void MainWindow::showBlockRange(const BlockRange& range) {
    gui::SetTextRunningChange(*x1Edit, QString::fromStdString(range.SnappedTexts[0]),
                              [this] { x1EditChanged(); });
    x2Edit->setText(QString::fromStdString(range.SnappedTexts[1]));
    gui::SetTextRunningChange(*y1Edit, QString::fromStdString(range.SnappedTexts[2]),
                              [this] { y1EditChanged(); });
    y2Edit->setText(QString::fromStdString(range.SnappedTexts[3]));
}

LogSink MainWindow::logSink() {
    return [this](const std::string& line) { addLogLine(QString::fromStdString(line)); };
}

void MainWindow::runMelt() {
    MeltRequest request;
    request.staidx = Std(staIdxEdit->text());
    request.statics = Std(staticsEdit->text());
    request.itemFile = Std(wscEdit->text());
    request.style = StyleOf(*polStyle);
    gui::QtProgress progress([this](int percent) { setMainProgress(percent); });
    const LogSink log = logSink();
    log(kMeltStartLine);
    const WindowRestorePoint point(context_.settings, "melt", kWindowName, log);
    request.range = ParseBlockRange(blockFieldTexts());
    // The snapped range goes back into the fields before melting, so also when the melt fails.
    showBlockRange(request.range);
    MeltBlocks(context_.state, request, log, progress);
    log(kMeltDoneLine);
}

void MainWindow::runFreeze() {
    // Once a freeze has been asked for, the selection and "Write PAT" stay as they are for the
    // rest of the run, also when it is cancelled or fails.
    freezeAsked_ = true;
    updateControlStates();
    FreezeRequest request;
    request.staidx = Std(staIdxEdit->text());
    request.statics = Std(staticsEdit->text());
    request.itemFile = Std(wscEdit->text());
    request.style = StyleOf(*polStyle);
    request.selection = selectedItems();
    request.writePat = writePatCheckBox->isChecked();
    if (request.writePat && !choosePatchFile(request))
        return;
    request.autoSelectFile =
        JoinPath(Std(QDir::toNativeSeparators(programFolder_)), "AutoSelect.txt");
    gui::QtProgress progress([this](int percent) { setMainProgress(percent); });
    const WindowRestorePoint point(context_.settings, "freeze", kWindowName, logSink());
    FreezeWorld(context_.state, request, logSink(), progress);
    updateControlStates();
    showGuidance();
}

bool MainWindow::choosePatchFile(FreezeRequest& request) {
    // The first time, the dialog opens beside the item file; later on the last patch file.
    if (patSaveDialog.initialPath.isEmpty())
        patSaveDialog.initialPath = gui::FolderOf(wscEdit->text());
    const std::optional<QString> chosen = context_.dialogs.saveFileName(this, patSaveDialog);
    if (!chosen)
        return false;
    // The dialog keeps its file name, so the next freeze offers the same patch file.
    patSaveDialog.initialPath = *chosen;
    request.patchFile = Std(*chosen);
    CheckPatchFilePath(request.staidx, request.statics, request.itemFile, request.patchFile);
    if (!FileExists(request.patchFile))
        return true;
    const gui::MessageRequest question{
        QStringLiteral("Append to ") + *chosen + QStringLiteral("?"),
        QStringLiteral("Do you want to append new items to ") + *chosen +
            QStringLiteral("? All old items will remain in this file."),
        gui::MessageIcon::Question,
        {gui::MessageButton::Yes, gui::MessageButton::No},
        {}};
    return context_.dialogs.message(this, question) == gui::MessageButton::Yes;
}

void MainWindow::fillClearClicked() {
    showToolWindow(fillClearWindow_);
}
void MainWindow::lwDiffClicked() {
    showToolWindow(diffWindow_);
}
void MainWindow::mapEditClicked() {
    showToolWindow(mapEditorWindow_);
}

// ---- Compaction and restore points ------------------------------------------------------------

void MainWindow::compactClicked() {
    runOperation([this] { runCompact(); });
}

void MainWindow::runCompact() {
    const std::string staidx = Std(staIdxEdit->text());
    const LogSink log = logSink();
    gui::QtProgress progress([this](int percent) { setMainProgress(percent); });
    const WindowRestorePoint point(context_.settings, "compact", kWindowName, log);
    CompactionReport report = CompactStatics(staidx, Std(staticsEdit->text()), progress, log);
    TakeCompactedIndex(context_.state, staidx, report);
    for (const std::string& line : CompactionLines(report))
        log(line);
}

void MainWindow::restoreClicked() {
    std::vector<std::string> paths;
    for (QLineEdit* field : {staIdxEdit, staticsEdit, wscEdit})
        if (paths_.value(*field).valid())
            paths.push_back(Std(field->text()));
    restoreWindow_->setFiles(paths);
    showToolWindow(restoreWindow_);
}

void MainWindow::filesRestored(const std::vector<std::string>& folders) {
    if (!context_.state.StaticIndexLoaded)
        return;
    const std::string loaded = context_.state.StaticIndexPath;
    const bool there = std::any_of(folders.begin(), folders.end(), [&](const std::string& f) {
        return SameFile(f, DirectoryOf(loaded));
    });
    if (!there)
        return;
    gui::QtProgress progress([this](int percent) { setMainProgress(percent); });
    LoadStaticIndex(context_.state, loaded, progress, logSink(), Std(staticsEdit->text()));
    addLogLine(QStringLiteral("The index was read again: ") + QString::fromStdString(loaded));
}

// ---- Mode --------------------------------------------------------------------------------------

void MainWindow::normalModeClicked() {
    if (normalModeRadioButton->isChecked() && !initializing_)
        runGuarded([this] { selectMode(0, QStringLiteral("Normal mode selected")); });
}

void MainWindow::simpleModeClicked() {
    if (simpleModeRadioButton->isChecked() && !initializing_)
        runGuarded([this] { selectMode(1, QStringLiteral("Simple mode selected")); });
}

void MainWindow::selectMode(int mode, const QString& title) {
    context_.settings.writeMode(mode);
    context_.dialogs.message(
        this, {title, ModeNotice(), gui::MessageIcon::None, {gui::MessageButton::Ok}, {}});
}

// ---- Item-file style -------------------------------------------------------------------------

void MainWindow::polStyleClicked() {
    wscLabel->setText(polStyle->isChecked() ? QStringLiteral("statics.cfg")
                                            : QStringLiteral("items.wsc"));
}

// ---- Block fields ----------------------------------------------------------------------------

void MainWindow::x1TextChanged() {
    runGuarded([this] { x1EditChanged(); });
}
void MainWindow::y1TextChanged() {
    runGuarded([this] { y1EditChanged(); });
}
void MainWindow::x1EditingFinished() {
    runGuarded([this] { lowerEditExit(*x1Edit, *x1UpDown, *x2Edit, *x2UpDown); });
}
void MainWindow::y1EditingFinished() {
    runGuarded([this] { lowerEditExit(*y1Edit, *y1UpDown, *y2Edit, *y2UpDown); });
}
void MainWindow::x2EditingFinished() {
    runGuarded([this] { ClampToLimits(*x2Edit, *x2UpDown); });
}
void MainWindow::y2EditingFinished() {
    runGuarded([this] { ClampToLimits(*y2Edit, *y2UpDown); });
}

void MainWindow::x1EditChanged() {
    lowerEditChanged(*x1Edit, *x2Edit, *x2UpDown);
}
void MainWindow::y1EditChanged() {
    lowerEditChanged(*y1Edit, *y2Edit, *y2UpDown);
}

void MainWindow::lowerEditChanged(QLineEdit& lower, QLineEdit& upper, gui::UpDown& upperUpDown) {
    if (lower.text().isEmpty())
        return;
    upperUpDown.setMin(StrToIntInRange(Std(lower.text()), -32768, 32767));
    ClampToLimits(upper, upperUpDown);
}

void MainWindow::lowerEditExit(QLineEdit& lower, gui::UpDown& lowerUpDown, QLineEdit& upper,
                               gui::UpDown& upperUpDown) {
    const int value = StrToInt(Std(lower.text()));
    const auto changed = [&] { lowerEditChanged(lower, upper, upperUpDown); };
    if (value > lowerUpDown.max())
        gui::SetTextRunningChange(lower, QString::number(lowerUpDown.max()), changed);
    if (value < lowerUpDown.min())
        gui::SetTextRunningChange(lower, QString::number(lowerUpDown.min()), changed);
    upperUpDown.setMin(StrToIntInRange(Std(lower.text()), -32768, 32767));
    ClampToLimits(upper, upperUpDown);
}

} // namespace lw
