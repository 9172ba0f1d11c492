#include "app/Main.h"

#include "app/MainTexts.h"
#include "diff/LWDiff.h"
#include "fillclear/LWFillClear.h"
#include "items/FreezeItems.h"
#include "items/MeltBlocks.h"
#include "items/OperationPaths.h"
#include "mapedit/LWMapEdit.h"
#include "ui/FieldText.h"
#include "ui/Guarded.h"
#include "ui/LineList.h"
#include "ui/PathField.h"
#include "ui/ProgressBar.h"
#include "ui/QtProgress.h"
#include "ui/UpDown.h"
#include "util/File.h"
#include "util/IntConv.h"
#include "world/BlockListing.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QVBoxLayout>
#include <tuple>

namespace lw {
namespace {

constexpr int kClientWidth = 619;
constexpr int kClientHeight = 425;
constexpr int kButtonColumnWidth = 117;
constexpr int kFileNameStripHeight = 29;
constexpr int kLogHeight = 113;
constexpr int kProgressHeight = 16;
constexpr int kMaxTileX = 6143;
constexpr int kMaxTileY = 4095;

template <class W> W* Named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QPushButton* Button(const char* name, const char* caption, bool enabled, QWidget* parent) {
    auto* button = Named(new QPushButton(QString::fromUtf8(caption), parent), name);
    button->setEnabled(enabled);
    return button;
}

// A block field ("X1Edit") with its spinner ("X1UpDown"), both off until the index is loaded.
std::pair<QLineEdit*, ui::UpDown*> BlockField(const QString& name, int max, QWidget* parent) {
    auto* edit = new QLineEdit(QStringLiteral("0"), parent);
    edit->setObjectName(name + "Edit");
    edit->setMinimumWidth(30);
    edit->setEnabled(false);
    auto* upDown = new ui::UpDown(*edit, 0, max, parent);
    upDown->setObjectName(name + "UpDown");
    upDown->setEnabled(false);
    return {edit, upDown};
}

QLineEdit* PathEdit(const char* name, QWidget* parent) {
    return Named(new QLineEdit(QString::fromLatin1(name), parent), name);
}

std::string Std(const QString& text) {
    return text.toStdString();
}

ItemFileStyle StyleOf(const QCheckBox& polStyle) {
    return polStyle.isChecked() ? ItemFileStyle::Pol : ItemFileStyle::Uox3;
}

// Clamps a field to its spinner's limits. The lower limit is tested last, against the value
// after the upper test: a lower field typed past the map's edge raises the lower limit above
// the upper one, and the selection must then not end before it starts.
void ClampToLimits(QLineEdit& field, const ui::UpDown& limits) {
    int value = StrToInt(Std(field.text()));
    if (value > limits.max()) {
        value = limits.max();
        field.setText(QString::number(value));
    }
    if (value < limits.min())
        field.setText(QString::number(limits.min()));
}

} // namespace

TMainForm::TMainForm(AppContext& context)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint),
      context_(context), programFolder_(QCoreApplication::applicationDirPath()) {
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

    PATSaveDialog.title = QStringLiteral("Save or append the patch to");
    PATSaveDialog.defaultSuffix = QStringLiteral("PAT");
    PATSaveDialog.hideReadOnly = true;
    PATSaveDialog.pathMustExist = true;

    for (QLineEdit* field : {StaIdxEdit, StaticsEdit, WSCEdit})
        context_.busy.lockWhileBusy(*field);
    connectHandlers();
}

TMainForm::~TMainForm() = default;

QWidget* TMainForm::buildMainArea() {
    auto* area = new QWidget(this);
    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    MainPanelSplitter = Named(new QSplitter(Qt::Vertical, area), "MainPanelSplitter");
    MainPanelSplitter->setChildrenCollapsible(false);
    MainListBox = Named(new ui::LineList(MainPanelSplitter), "MainListBox");
    LogListBox = Named(new ui::LineList(MainPanelSplitter), "LogListBox");
    MainListBox->setMinimumHeight(50);
    LogListBox->setMinimumHeight(50);
    MainPanelSplitter->addWidget(MainListBox);
    MainPanelSplitter->addWidget(LogListBox);
    MainPanelSplitter->setStretchFactor(0, 1);
    MainPanelSplitter->setStretchFactor(1, 0);
    const int mainHeight = kClientHeight - kFileNameStripHeight - kProgressHeight - kLogHeight;
    MainPanelSplitter->setSizes({mainHeight, kLogHeight});
    MainListBox->addLines(ManualLines());
    ProgressBar = Named(new ui::ProgressBar(area), "ProgressBar");
    ProgressBar->setRange(0, 100);
    ProgressBar->setFixedHeight(kProgressHeight);
    layout->addWidget(MainPanelSplitter, 1);
    layout->addWidget(ProgressBar);
    return area;
}

QWidget* TMainForm::buildButtonColumn() {
    auto* column = new QWidget(this);
    column->setFixedWidth(kButtonColumnWidth);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(3);

    GetStaticIndexButton = Button("GetStaticIndexButton", "GetStaticIndex", false, column);
    layout->addWidget(GetStaticIndexButton);

    const auto blockRow = [&](const char* axis, int max, QLineEdit*& lower,
                              ui::UpDown*& lowerUpDown, QLineEdit*& upper,
                              ui::UpDown*& upperUpDown) {
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
    XLabel = blockRow("X", kMaxTileX, X1Edit, X1UpDown, X2Edit, X2UpDown);
    YLabel = blockRow("Y", kMaxTileY, Y1Edit, Y1UpDown, Y2Edit, Y2UpDown);

    GetStaticBlockButton = Button("GetStaticBlockButton", "GetStaticBlock", false, column);
    MeltBlockButton = Button("MeltBlockButton", "Melt!", false, column);
    FreezeWorldButton = Button("FreezeWorldButton", "Freeze!", false, column);
    layout->addWidget(GetStaticBlockButton);
    layout->addWidget(MeltBlockButton);
    layout->addWidget(FreezeWorldButton);

    SelectItemsRadioGroup =
        Named(new QGroupBox(QStringLiteral(" Freeze items "), column), "SelectItemsRadioGroup");
    auto* itemsLayout = new QVBoxLayout(SelectItemsRadioGroup);
    itemsLayout->setContentsMargins(6, 2, 4, 2);
    itemsLayout->setSpacing(0);
    selectItems_ = new QButtonGroup(this);
    const char* const items[] = {"type 255", "auto"};
    for (int i = 0; i < 2; ++i) {
        auto* radio = new QRadioButton(QString::fromLatin1(items[i]), SelectItemsRadioGroup);
        radio->setChecked(i == 0);
        selectItems_->addButton(radio, i);
        itemsLayout->addWidget(radio);
    }
    layout->addWidget(SelectItemsRadioGroup);

    WritePATCheckBox =
        Named(new QCheckBox(QStringLiteral("Write PAT"), column), "WritePATCheckBox");
    layout->addWidget(WritePATCheckBox);

    FillClearButton = Button("FillClearButton", "Fill/Clear", false, column);
    LWDiffButton = Button("LWDiffButton", "LW-Diff", false, column);
    MapEditButton = Button("MapEditButton", "MapEdit", true, column);
    layout->addWidget(FillClearButton);
    layout->addWidget(LWDiffButton);
    layout->addWidget(MapEditButton);

    ModeGroupBox = Named(new QGroupBox(QStringLiteral(" Mode "), column), "ModeGroupBox");
    auto* modeLayout = new QVBoxLayout(ModeGroupBox);
    modeLayout->setContentsMargins(6, 2, 4, 2);
    modeLayout->setSpacing(0);
    NormalModeRadioButton =
        Named(new QRadioButton(QStringLiteral("Normal"), ModeGroupBox), "NormalModeRadioButton");
    SimpleModeRadioButton =
        Named(new QRadioButton(QStringLiteral("Simple"), ModeGroupBox), "SimpleModeRadioButton");
    NormalModeRadioButton->setChecked(true);
    modeLayout->addWidget(NormalModeRadioButton);
    modeLayout->addWidget(SimpleModeRadioButton);
    layout->addWidget(ModeGroupBox);
    layout->addStretch(1);
    return column;
}

QWidget* TMainForm::buildFileNameStrip() {
    auto* strip = new QWidget(this);
    strip->setFixedHeight(kFileNameStripHeight);
    auto* layout = new QHBoxLayout(strip);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(4);
    StaIdxLabel = Named(new QLabel(QStringLiteral("staidx0.mul"), strip), "StaIdxLabel");
    StaIdxEdit = PathEdit("StaIdxEdit", strip);
    StaticsLabel = Named(new QLabel(QStringLiteral("statics0.mul"), strip), "StaticsLabel");
    StaticsEdit = PathEdit("StaticsEdit", strip);
    PolStyle = Named(new QCheckBox(QStringLiteral("Pol"), strip), "PolStyle");
    PolStyle->setChecked(true);
    WSCLabel = Named(new QLabel(QStringLiteral("statics.cfg"), strip), "WSCLabel");
    WSCLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    WSCLabel->setMinimumWidth(WSCLabel->fontMetrics().horizontalAdvance("statics.cfg") + 4);
    WSCEdit = PathEdit("WSCEdit", strip);
    layout->addWidget(StaIdxLabel);
    layout->addWidget(StaIdxEdit, 1);
    layout->addSpacing(4);
    layout->addWidget(StaticsLabel);
    layout->addWidget(StaticsEdit, 1);
    layout->addSpacing(4);
    layout->addWidget(PolStyle);
    layout->addWidget(WSCLabel);
    layout->addWidget(WSCEdit, 1);
    return strip;
}

void TMainForm::connectHandlers() {
    connect(GetStaticIndexButton, &QPushButton::clicked, this,
            [this] { GetStaticIndexButtonClick(); });
    connect(GetStaticBlockButton, &QPushButton::clicked, this,
            [this] { GetStaticBlockButtonClick(); });
    connect(MeltBlockButton, &QPushButton::clicked, this, [this] { MeltBlockButtonClick(); });
    connect(FreezeWorldButton, &QPushButton::clicked, this, [this] { FreezeWorldButtonClick(); });
    connect(FillClearButton, &QPushButton::clicked, this, [this] { FillClearButtonClick(); });
    connect(LWDiffButton, &QPushButton::clicked, this, [this] { LWDiffButtonClick(); });
    connect(MapEditButton, &QPushButton::clicked, this, [this] { MapEditButtonClick(); });
    connect(NormalModeRadioButton, &QRadioButton::toggled, this,
            [this] { NormalModeRadioButtonClick(); });
    connect(SimpleModeRadioButton, &QRadioButton::toggled, this,
            [this] { SimpleModeRadioButtonClick(); });
    connect(StaIdxEdit, &QLineEdit::textChanged, this, [this] { StaIdxEditChange(); });
    connect(StaticsEdit, &QLineEdit::textChanged, this, [this] { StaticsEditChange(); });
    connect(WSCEdit, &QLineEdit::textChanged, this, [this] { WSCEditChange(); });
    connect(PolStyle, &QCheckBox::toggled, this, [this] { PolStyleClick(); });
    connect(X1Edit, &QLineEdit::textChanged, this, [this] { X1EditChange(); });
    connect(Y1Edit, &QLineEdit::textChanged, this, [this] { Y1EditChange(); });
    for (QLineEdit* field : {X1Edit, X2Edit, Y1Edit, Y2Edit})
        field->installEventFilter(this);
}

void TMainForm::SetToolWindows(TLWDiffForm& diff, TLWFillClearForm& fillClear,
                               TLWMapEditForm& mapEdit) {
    diffForm_ = &diff;
    fillClearForm_ = &fillClear;
    mapEditForm_ = &mapEdit;
}

void TMainForm::SetProgramFolder(const QString& folder) {
    programFolder_ = folder;
}

// ---- Log, progress, states, guidance -------------------------------------------------------

void TMainForm::AddLogLine(const QString& text) {
    LogListBox->addLine(text);
    LogListBox->scrollToEnd();
}

void TMainForm::SetMainProgress(int percent) {
    ProgressBar->setValue(percent);
}

int TMainForm::SelectedItemsIndex() const {
    return selectItems_->checkedId();
}

bool TMainForm::isSimpleMode() const {
    return context_.state.AppMode == AppModeKind::Simple;
}

void TMainForm::setBlockFieldsEnabled(bool enabled) {
    for (QWidget* widget : std::initializer_list<QWidget*>{X1Edit, X1UpDown, X2Edit, X2UpDown,
                                                           Y1Edit, Y1UpDown, Y2Edit, Y2UpDown})
        widget->setEnabled(enabled);
}

void TMainForm::UpdateControlStates() {
    const bool staticsValid = ui::IsGreen(*StaIdxEdit) && ui::IsGreen(*StaticsEdit);
    const bool allValid = staticsValid && ui::IsGreen(*WSCEdit);
    // Valid statics fields store the item file as empty text, all three valid store its path:
    // one write with the final values.
    if (staticsValid)
        context_.settings.SaveMainSettings(
            {StaIdxEdit->text(), StaticsEdit->text(), allValid ? WSCEdit->text() : QString()});
    LWDiffButton->setEnabled(staticsValid);
    FillClearButton->setEnabled(staticsValid);

    const bool loaded = context_.state.StaticIndexLoaded;
    GetStaticIndexButton->setEnabled(allValid && !loaded);
    setBlockFieldsEnabled(allValid && loaded);
    for (QPushButton* button : {GetStaticBlockButton, MeltBlockButton, FreezeWorldButton})
        button->setEnabled(allValid && loaded);

    if (isSimpleMode()) {
        setBlockFieldsEnabled(false);
        GetStaticBlockButton->setEnabled(false);
        MeltBlockButton->setEnabled(false);
        if (context_.state.FreezeDone)
            FreezeWorldButton->setEnabled(false);
        SelectItemsRadioGroup->setEnabled(false);
        WritePATCheckBox->setEnabled(false);
        FillClearButton->setEnabled(false);
        MapEditButton->setEnabled(false);
    }
}

void TMainForm::ShowGuidance() {
    if (!isSimpleMode())
        return;
    int state = 5;
    if (ui::IsRed(*StaIdxEdit))
        state = 0;
    else if (ui::IsRed(*StaticsEdit))
        state = 1;
    else if (ui::IsRed(*WSCEdit))
        state = 2;
    else if (!context_.state.StaticIndexLoaded)
        state = 3;
    else if (!context_.state.FreezeDone)
        state = 4;
    MainListBox->clear();
    MainListBox->addLines(GuidanceLines(state));
}

// ---- Showing and closing ---------------------------------------------------------------------

void TMainForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    runGuarded([this] { FormShow(); });
}

void TMainForm::FormShow() {
    InitializingMainWindow = true;
    struct ClearFlag {
        bool& flag;
        ~ClearFlag() { flag = false; }
    } clearFlag{InitializingMainWindow};

    const SettingsStore::MainSettings paths = context_.settings.LoadMainSettings();
    const int mode = context_.settings.ReadMode([this] {
        return context_.dialogs.message(this, {QStringLiteral("Simple mode?"),
                                               SimpleModeQuestion(),
                                               ui::MessageIcon::None,
                                               {ui::MessageButton::Yes, ui::MessageButton::No}}) ==
               ui::MessageButton::Yes;
    });
    context_.state.AppMode = static_cast<AppModeKind>(mode & 0xFF);
    if (context_.state.AppMode == AppModeKind::Normal) {
        NormalModeRadioButton->setChecked(true);
        setWindowTitle(windowTitle() + QStringLiteral(" (Normal mode)"));
    } else if (context_.state.AppMode == AppModeKind::Simple) {
        SimpleModeRadioButton->setChecked(true);
        setWindowTitle(windowTitle() + QStringLiteral(" (Simple mode)"));
    }
    ui::SetTextRunningChange(*StaIdxEdit, paths[0], [this] { staIdxEditChanged(); });
    ui::SetTextRunningChange(*StaticsEdit, paths[1], [this] { staticsEditChanged(); });
    ui::SetTextRunningChange(*WSCEdit, paths[2], [this] { wscEditChanged(); });
    MainListBox->scrollToEnd();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (context_.busy.deferClose(*this)) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

// ---- Guards ----------------------------------------------------------------------------------

void TMainForm::runGuarded(const std::function<void()>& body) {
    ui::guarded(context_.dialogs, this, body);
}

void TMainForm::runOperation(const std::function<void()>& op) {
    ui::RunOperation(context_.dialogs, context_.busy, this, op);
}

void TMainForm::showToolWindow(QDialog* window) {
    if (context_.busy.busy() || window == nullptr)
        return;
    runGuarded([&] { context_.dialogs.showModal(*window); });
}

// ---- Statics operations ----------------------------------------------------------------------

void TMainForm::GetStaticIndexButtonClick() {
    runOperation([this] {
        AddLogLine(
            QStringLiteral("Init in progress... Loamwright may look crashed, do not interrupt!"));
        ui::QtProgress progress([this](int percent) { SetMainProgress(percent); });
        LoadStaticIndex(context_.state, Std(StaIdxEdit->text()), progress);
        StaIdxEdit->setEnabled(false);
        StaticsEdit->setEnabled(false);
        UpdateControlStates();
        ShowGuidance();
        AddLogLine(QStringLiteral("Init completed!"));
    });
}

void TMainForm::GetStaticBlockButtonClick() {
    runOperation([this] {
        MainListBox->clear();
        const BlockRange range = ParseBlockRange(blockFieldTexts());
        showBlockRange(range);

        // Lines go to the list in batches; a failure part-way still shows what was listed.
        QStringList pending;
        struct Flush {
            ui::LineList& list;
            QStringList& lines;
            ~Flush() { list.addLines(lines); }
        } flush{*MainListBox, pending};
        ListStaticBlocks(Std(StaticsEdit->text()), context_.state.StaticIndex, range,
                         [&](const std::string& line) {
                             pending.append(QString::fromStdString(line));
                             if (pending.size() >= 4096) {
                                 MainListBox->addLines(pending);
                                 pending.clear();
                             }
                         });
    });
}

void TMainForm::MeltBlockButtonClick() {
    runOperation([this] { runMelt(); });
}

void TMainForm::FreezeWorldButtonClick() {
    runOperation([this] { runFreeze(); });
}

std::array<std::string, 4> TMainForm::blockFieldTexts() const {
    return {Std(X1Edit->text()), Std(X2Edit->text()), Std(Y1Edit->text()), Std(Y2Edit->text())};
}

// The fields are written in the order X1, X2, Y1, Y2; a lower field's change moves the limit
// of its upper field as typing would.
void TMainForm::showBlockRange(const BlockRange& range) {
    ui::SetTextRunningChange(*X1Edit, QString::fromStdString(range.SnappedTexts[0]),
                             [this] { x1EditChanged(); });
    X2Edit->setText(QString::fromStdString(range.SnappedTexts[1]));
    ui::SetTextRunningChange(*Y1Edit, QString::fromStdString(range.SnappedTexts[2]),
                             [this] { y1EditChanged(); });
    Y2Edit->setText(QString::fromStdString(range.SnappedTexts[3]));
}

LogSink TMainForm::logSink() {
    return [this](const std::string& line) { AddLogLine(QString::fromStdString(line)); };
}

void TMainForm::runMelt() {
    MeltRequest request;
    request.StaIdxPath = Std(StaIdxEdit->text());
    request.StaticsPath = Std(StaticsEdit->text());
    request.ItemFilePath = Std(WSCEdit->text());
    request.Style = StyleOf(*PolStyle);
    ui::QtProgress progress([this](int percent) { SetMainProgress(percent); });
    MeltBlockRange(
        context_.state, std::move(request), blockFieldTexts(),
        [this](const BlockRange& range) { showBlockRange(range); }, logSink(), progress);
}

void TMainForm::runFreeze() {
    // Once a freeze has been asked for, the selection and "Write PAT" stay as they are for the
    // rest of the run, also when it is cancelled or fails.
    SelectItemsRadioGroup->setEnabled(false);
    WritePATCheckBox->setEnabled(false);
    FreezeRequest request;
    request.StaIdxPath = Std(StaIdxEdit->text());
    request.StaticsPath = Std(StaticsEdit->text());
    request.ItemFilePath = Std(WSCEdit->text());
    request.Style = StyleOf(*PolStyle);
    request.SelectionMode = SelectedItemsIndex();
    request.WritePat = WritePATCheckBox->isChecked();
    if (request.WritePat && !choosePatchFile(request))
        return;
    request.AutoSelectPath =
        JoinPath(Std(QDir::toNativeSeparators(programFolder_)), "AutoSelect.txt");
    ui::QtProgress progress([this](int percent) { SetMainProgress(percent); });
    FreezeWorld(context_.state, request, logSink(), progress);
    SelectItemsRadioGroup->setEnabled(false);
    WritePATCheckBox->setEnabled(false);
    UpdateControlStates();
    ShowGuidance();
}

bool TMainForm::choosePatchFile(FreezeRequest& request) {
    const std::optional<QString> chosen = context_.dialogs.saveFileName(this, PATSaveDialog);
    if (!chosen)
        return false;
    // The dialog keeps its file name, so the next freeze offers the same patch file.
    PATSaveDialog.initialPath = *chosen;
    request.PatchFilePath = Std(*chosen);
    CheckPatchFilePath(request.StaIdxPath, request.StaticsPath, request.ItemFilePath,
                       request.PatchFilePath);
    if (!FileExists(request.PatchFilePath))
        return true;
    const ui::MessageRequest question{
        QStringLiteral("Append to ") + *chosen + QStringLiteral("?"),
        QStringLiteral("Do you want to append new items to ") + *chosen +
            QStringLiteral("? All old items will remain in this file."),
        ui::MessageIcon::Question,
        {ui::MessageButton::Yes, ui::MessageButton::No}};
    return context_.dialogs.message(this, question) == ui::MessageButton::Yes;
}

void TMainForm::FillClearButtonClick() {
    showToolWindow(fillClearForm_);
}
void TMainForm::LWDiffButtonClick() {
    showToolWindow(diffForm_);
}
void TMainForm::MapEditButtonClick() {
    showToolWindow(mapEditForm_);
}

// ---- Mode --------------------------------------------------------------------------------------

void TMainForm::NormalModeRadioButtonClick() {
    if (NormalModeRadioButton->isChecked() && !InitializingMainWindow)
        runGuarded([this] { selectMode(0, QStringLiteral("Normal mode selected")); });
}

void TMainForm::SimpleModeRadioButtonClick() {
    if (SimpleModeRadioButton->isChecked() && !InitializingMainWindow)
        runGuarded([this] { selectMode(1, QStringLiteral("Simple mode selected")); });
}

void TMainForm::selectMode(int mode, const QString& title) {
    context_.settings.WriteMode(mode);
    context_.dialogs.message(this,
                             {title, ModeNotice(), ui::MessageIcon::None, {ui::MessageButton::Ok}});
}

// ---- File-name fields ------------------------------------------------------------------------

void TMainForm::StaIdxEditChange() {
    runGuarded([this] { staIdxEditChanged(); });
}
void TMainForm::StaticsEditChange() {
    runGuarded([this] { staticsEditChanged(); });
}
void TMainForm::WSCEditChange() {
    runGuarded([this] { wscEditChanged(); });
}

void TMainForm::staIdxEditChanged() {
    ui::ValidatePathField(*StaIdxEdit, "staidx0.mul");
    fileNameChanged();
}

void TMainForm::staticsEditChanged() {
    ui::ValidatePathField(*StaticsEdit, "statics0.mul");
    fileNameChanged();
}

void TMainForm::wscEditChanged() {
    ui::ValidatePathField(*WSCEdit, "");
    fileNameChanged();
}

void TMainForm::fileNameChanged() {
    UpdateControlStates();
    ShowGuidance();
}

void TMainForm::PolStyleClick() {
    WSCLabel->setText(PolStyle->isChecked() ? QStringLiteral("statics.cfg")
                                            : QStringLiteral("items.wsc"));
}

// ---- Block fields ----------------------------------------------------------------------------

void TMainForm::X1EditChange() {
    runGuarded([this] { x1EditChanged(); });
}
void TMainForm::Y1EditChange() {
    runGuarded([this] { y1EditChanged(); });
}
void TMainForm::X1EditExit() {
    runGuarded([this] { lowerEditExit(*X1Edit, *X1UpDown, *X2Edit, *X2UpDown); });
}
void TMainForm::Y1EditExit() {
    runGuarded([this] { lowerEditExit(*Y1Edit, *Y1UpDown, *Y2Edit, *Y2UpDown); });
}
void TMainForm::X2EditExit() {
    runGuarded([this] { ClampToLimits(*X2Edit, *X2UpDown); });
}
void TMainForm::Y2EditExit() {
    runGuarded([this] { ClampToLimits(*Y2Edit, *Y2UpDown); });
}

void TMainForm::x1EditChanged() {
    lowerEditChanged(*X1Edit, *X2Edit, *X2UpDown);
}
void TMainForm::y1EditChanged() {
    lowerEditChanged(*Y1Edit, *Y2Edit, *Y2UpDown);
}

void TMainForm::lowerEditChanged(QLineEdit& lower, QLineEdit& upper, ui::UpDown& upperUpDown) {
    if (lower.text().isEmpty())
        return;
    upperUpDown.setMin(StrToIntInRange(Std(lower.text()), -32768, 32767));
    ClampToLimits(upper, upperUpDown);
}

void TMainForm::lowerEditExit(QLineEdit& lower, ui::UpDown& lowerUpDown, QLineEdit& upper,
                              ui::UpDown& upperUpDown) {
    const int value = StrToInt(Std(lower.text()));
    const auto changed = [&] { lowerEditChanged(lower, upper, upperUpDown); };
    if (value > lowerUpDown.max())
        ui::SetTextRunningChange(lower, QString::number(lowerUpDown.max()), changed);
    if (value < lowerUpDown.min())
        ui::SetTextRunningChange(lower, QString::number(lowerUpDown.min()), changed);
    upperUpDown.setMin(StrToIntInRange(Std(lower.text()), -32768, 32767));
    ClampToLimits(upper, upperUpDown);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Leaving the window for a message box or another program does not leave the field.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            if (watched == X1Edit)
                X1EditExit();
            else if (watched == X2Edit)
                X2EditExit();
            else if (watched == Y1Edit)
                Y1EditExit();
            else if (watched == Y2Edit)
                Y2EditExit();
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace lw
