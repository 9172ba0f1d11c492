#include "gui/FillClearWindow.h"

#include "fillclear/FillClear.h"
#include "fillclear/FillClearFields.h"
#include "fillclear/NamedTiles.h"
#include "gui/WindowContext.h"
#include "gui/WindowRestorePoint.h"
#include "gui/widgets/Controls.h"
#include "gui/widgets/DisabledWhileRunning.h"
#include "gui/widgets/FieldLeave.h"
#include "gui/widgets/QtProgress.h"
#include "gui/widgets/UpDown.h"
#include "util/Errors.h"
#include "world/WorldOfFiles.h"

#include <QCheckBox>
#include <QComboBox>
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
using gui::PathRole;
using gui::Std;

constexpr int kClientWidth = 385;
constexpr int kClientHeight = 257;
constexpr int kBorderFieldWidth = 42;
constexpr int kAltitudeFieldWidth = 40;

QLabel* Label(const char* name, const char* caption, QWidget* parent) {
    return Named(new QLabel(QString::fromUtf8(caption), parent), name);
}

QLineEdit* BorderEdit(const char* name, const char* text, QWidget* parent) {
    auto* edit = Named(new QLineEdit(QString::fromLatin1(text), parent), name);
    edit->setFixedWidth(kBorderFieldWidth);
    return edit;
}

} // namespace

FillClearWindow::FillClearWindow(WindowContext& context, QWidget* parent)
    : ToolWindow(context.dialogs, context.busy, parent), context_(context),
      paths_(*this, context.dialogs) {
    setObjectName("TLWFillClearForm");
    setWindowTitle(QStringLiteral("Fill/Clear"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    setFixedSize(kClientWidth, kClientHeight);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(4, 2, 4, 2);
    root->setSpacing(2);
    root->addWidget(buildClearSelectStrip());
    root->addWidget(buildAreaGroup());
    root->addWidget(buildReplaceGroup());
    root->addStretch(1);
    root->addWidget(buildFileNamePanel());

    connectHandlers();
    updateControls();
}

QWidget* FillClearWindow::buildClearSelectStrip() {
    auto* strip = new QWidget(this);
    auto* layout = new QHBoxLayout(strip);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);

    parts_ = gui::MakePartBoxes("ClearSelectGroupBox", QStringLiteral("Clear files"), strip,
                                [this] { updateControls(); });

    goButton = Named(new QPushButton(QStringLiteral("Go!"), strip), "GoButton");
    goButton->setAutoDefault(false);
    goButton->setFixedWidth(64);

    layout->addWidget(parts_.group, 1);
    layout->addWidget(goButton, 0, Qt::AlignBottom);
    return strip;
}

QGroupBox* FillClearWindow::buildAreaGroup() {
    fillClearAreaGroupBox =
        Named(new QGroupBox(QStringLiteral("Fill/Clear area"), this), "FillClearAreaGroupBox");
    auto* layout = new QHBoxLayout(fillClearAreaGroupBox);
    layout->setContentsMargins(6, 0, 6, 1);
    layout->setSpacing(8);

    clearAreaNoteLabel =
        Label("ClearAreaNoteLabel", "Enter cell numbers here!", fillClearAreaGroupBox);
    clearAreaNoteLabel->setWordWrap(true);
    layout->addWidget(clearAreaNoteLabel, 1, Qt::AlignVCenter);

    QWidget* parent = fillClearAreaGroupBox;
    clearAreaTopLabel = Label("ClearAreaTopLabel", "Top border", parent);
    clearAreaTopEdit = BorderEdit("ClearAreaTopEdit", "0", parent);
    clearAreaLeftLabel = Label("ClearAreaLeftLabel", "Left border", parent);
    clearAreaLeftEdit = BorderEdit("ClearAreaLeftEdit", "0", parent);
    clearAreaRightLabel = Label("ClearAreaRightLabel", "Right border", parent);
    clearAreaRightEdit =
        BorderEdit("ClearAreaRightEdit", std::to_string(kClassicWorld.width()).c_str(), parent);
    clearAreaBottomLabel = Label("ClearAreaBottomLabel", "Bottom border", parent);
    clearAreaBottomEdit =
        BorderEdit("ClearAreaBottomEdit", std::to_string(kClassicWorld.height()).c_str(), parent);

    // The rectangle as it lies: the top and bottom fields in the middle column, the left and
    // right fields on either side of it with their labels outward.
    auto* compass = new QGridLayout;
    compass->setHorizontalSpacing(4);
    compass->setVerticalSpacing(1);
    compass->addWidget(clearAreaTopLabel, 0, 0, 1, 2, Qt::AlignRight);
    compass->addWidget(clearAreaTopEdit, 0, 2);
    compass->addWidget(clearAreaLeftLabel, 1, 0);
    compass->addWidget(clearAreaLeftEdit, 1, 1);
    compass->addWidget(clearAreaRightEdit, 1, 3);
    compass->addWidget(clearAreaRightLabel, 1, 4);
    compass->addWidget(clearAreaBottomLabel, 2, 0, 1, 2, Qt::AlignRight);
    compass->addWidget(clearAreaBottomEdit, 2, 2);
    layout->addLayout(compass);

    setTabOrder(clearAreaTopEdit, clearAreaLeftEdit);
    setTabOrder(clearAreaLeftEdit, clearAreaRightEdit);
    setTabOrder(clearAreaRightEdit, clearAreaBottomEdit);
    return fillClearAreaGroupBox;
}

QGroupBox* FillClearWindow::buildReplaceGroup() {
    replaceGroupBox = Named(new QGroupBox(QStringLiteral("Replace with"), this), "ReplaceGroupBox");
    auto* grid = new QGridLayout(replaceGroupBox);
    grid->setContentsMargins(6, 0, 6, 3);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(1);

    staticsClearInfoLabel = Label("StaticsClearInfoLabel",
                                  "All static items in this area are cleared!", replaceGroupBox);
    fillTileLabel = Label("FillTileLabel", "Select tile-group or enter tile-id", replaceGroupBox);
    fillTileComboBox = Named(new QComboBox(replaceGroupBox), "FillTileComboBox");
    fillTileComboBox->setEditable(true);
    // The list offers the groups; a typed tile id is used, not added to it.
    fillTileComboBox->setInsertPolicy(QComboBox::NoInsert);
    for (const TNamedTile& group : NamedTiles)
        fillTileComboBox->addItem(QString::fromLatin1(group.Name));
    fillTileComboBox->setCurrentIndex(-1);
    fillTileComboBox->setEditText(QString());

    fillAltitudeLabel =
        Label("FillAltitudeLabel", "Select an altitude for the tiles", replaceGroupBox);
    fillAltitudeEdit =
        Named(new QLineEdit(QStringLiteral("0"), replaceGroupBox), "FillAltitudeEdit");
    fillAltitudeEdit->setFixedWidth(kAltitudeFieldWidth);
    fillAltitudeUpDown =
        Named(new gui::UpDown(*fillAltitudeEdit, -128, 127, replaceGroupBox), "FillAltitudeUpDown");
    auto* altitude = new QHBoxLayout;
    altitude->setSpacing(0);
    altitude->addWidget(fillAltitudeEdit);
    altitude->addWidget(fillAltitudeUpDown);
    altitude->addStretch(1);

    // Each choice under its own caption, side by side: the window has no height to spare.
    grid->addWidget(staticsClearInfoLabel, 0, 0, 1, 2);
    grid->addWidget(fillTileLabel, 1, 0);
    grid->addWidget(fillTileComboBox, 2, 0);
    grid->addWidget(fillAltitudeLabel, 1, 1);
    grid->addLayout(altitude, 2, 1);
    grid->setColumnStretch(0, 1);
    return replaceGroupBox;
}

QWidget* FillClearWindow::buildFileNamePanel() {
    auto* panel = new QWidget(this);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(1);

    staIdxLabel = Label("StaIdxLabel", "StaIdx0.mul", panel);
    staticsLabel = Label("StaticsLabel", "Statics0.mul", panel);
    mapLabel = Label("MapLabel", "Map0.mul", panel);
    mStaIdxEdit =
        paths_.add("MStaIdxEdit", PathRole::WorldFile(WorldFileKind::StaticsIndex), panel);
    mStaticsEdit = paths_.add("MStaticsEdit", PathRole::WorldFile(WorldFileKind::Statics), panel);
    mMapEdit = paths_.add("MMapEdit", PathRole::WorldFile(WorldFileKind::Map), panel);

    QLabel* const labels[] = {staIdxLabel, staticsLabel, mapLabel};
    QLineEdit* const fields[] = {mStaIdxEdit, mStaticsEdit, mMapEdit};
    for (int column = 0; column < 3; ++column) {
        grid->addWidget(labels[column], 0, column);
        grid->addWidget(fields[column], 1, column);
        grid->setColumnStretch(column, 1);
    }
    return panel;
}

void FillClearWindow::connectHandlers() {
    connect(goButton, &QPushButton::clicked, this, [this] { goClicked(); });
    paths_.onValidated([this](const QLineEdit& changed) { pathsValidated(changed); });
    gui::OnLeavingField(*fillAltitudeEdit, [this] { fillAltitudeEditExit(); });

    controls_.add(FillClearControl::Go, {goButton});
    controls_.add(FillClearControl::StaticsNote, {staticsClearInfoLabel});
    controls_.add(
        FillClearControl::FillChoices,
        {fillTileLabel, fillTileComboBox, fillAltitudeLabel, fillAltitudeEdit, fillAltitudeUpDown});
    controls_.add(FillClearControl::ModifiedStatics, {mStaIdxEdit, mStaticsEdit});
    controls_.add(FillClearControl::ModifiedMap, {mMapEdit});
}

void FillClearWindow::setMainProgress(std::function<void(int)> mainProgress) {
    mainProgress_ = std::move(mainProgress);
}

void FillClearWindow::setMainLog(LogSink log) {
    mainLog_ = std::move(log);
}

// ---- Showing, fields and controls -------------------------------------------------------------

void FillClearWindow::showing() {
    paths_.setTexts(context_.settings.loadFillClearSettings());
}

FillClearWindowModel FillClearWindow::model() const {
    FillClearWindowModel model;
    model.parts = parts_.parts();
    model.paths = paths_.values<3>();
    return model;
}

void FillClearWindow::pathsValidated(const QLineEdit& changed) {
    if (&changed == mMapEdit && gui::IsGreen(*mMapEdit))
        followMapWorld();
    if (const auto paths = model().pathsToStore())
        context_.settings.saveFillClearSettings(gui::QStrings(*paths));
    updateControls();
}

void FillClearWindow::updateControls() {
    controls_.show(model());
}

void FillClearWindow::followMapWorld() {
    WorldSize world;
    try {
        world = MapWorld(Std(mMapEdit->text()));
    } catch (const Error&) {
        return; // Go! tells what is wrong with the map
    }
    const auto follow = [](QLineEdit& edit, int before, int now) {
        if (const auto text = FollowedBorder(Std(edit.text()), before, now))
            edit.setText(QString::fromStdString(*text));
    };
    follow(*clearAreaRightEdit, bordersWorld_.width(), world.width());
    follow(*clearAreaBottomEdit, bordersWorld_.height(), world.height());
    bordersWorld_ = world;
}

void FillClearWindow::fillAltitudeEditExit() {
    runGuarded([this] {
        const QString clamped =
            QString::fromStdString(ClampAltitudeText(Std(fillAltitudeEdit->text())));
        if (clamped != fillAltitudeEdit->text())
            fillAltitudeEdit->setText(clamped);
    });
}

// ---- Go! -------------------------------------------------------------------------------------

void FillClearWindow::goClicked() {
    runOperation([this] {
        // Nothing the run reads (fields, check boxes) can change under it, and Go! cannot be
        // pressed again meanwhile.
        const gui::DisabledWhileRunning disabled(*this);
        runFillClear();
    });
}

FillClearFieldTexts FillClearWindow::fieldTexts() const {
    FillClearFieldTexts texts;
    texts.Top = Std(clearAreaTopEdit->text());
    texts.Left = Std(clearAreaLeftEdit->text());
    texts.Right = Std(clearAreaRightEdit->text());
    texts.Bottom = Std(clearAreaBottomEdit->text());
    texts.Tile = Std(fillTileComboBox->currentText());
    texts.Altitude = Std(fillAltitudeEdit->text());
    return texts;
}

void FillClearWindow::runFillClear() {
    FillClearRequest request;
    request.StaIdxPath = Std(mStaIdxEdit->text());
    request.StaticsPath = Std(mStaticsEdit->text());
    request.MapPath = Std(mMapEdit->text());
    const WorldParts parts = parts_.parts();
    request.ClearStatics = parts.statics;
    request.FillTerrain = parts.map;
    const FillClearRequest files = request;
    request = ReadFillClearFields(std::move(request), fieldTexts(),
                                  [&files] { return ReadFillClearWorld(files); });
    gui::QtProgress progress([this](int percent) {
        if (mainProgress_)
            mainProgress_(percent);
    });
    const WindowRestorePoint point(context_.settings, "fill-clear", "Fill/Clear", mainLog_);
    FillClear(context_.state, request, progress);
}

} // namespace lw
