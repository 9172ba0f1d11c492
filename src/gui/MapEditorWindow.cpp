#include "gui/MapEditorWindow.h"

#include "fillclear/NamedTiles.h"
#include "gui/WindowContext.h"
#include "gui/widgets/Controls.h"
#include "gui/widgets/DrawGrid.h"
#include "gui/widgets/PathField.h"
#include "gui/widgets/UpDown.h"
#include "gui/widgets/WindowPlacement.h"
#include "mapedit/ImageFiles.h"
#include "mapedit/MapCells.h"
#include "util/SpacedHex.h"
#include "world/WorldOfFiles.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShortcut>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QWindow>
#include <algorithm>
#include <cstring>

namespace lw {
namespace {

using gui::Named;
using gui::PathRole;
using gui::Std;

constexpr int kTextureSide = 64;
constexpr int kPreviewSide = 64;
constexpr int kRightPanelWidth = 89;
constexpr int kBottomPanelHeight = 68;
constexpr int kFileNamePanelHeight = 25;
constexpr int kTextureRowsAtCreation = 4096;
constexpr int kTextureRowsShown = 2560;
constexpr int kDontDrawEntry = 0;
constexpr int kSelectedTileEntry = 1;

// Milliseconds of the day in UTC: the seed of the tile groups' generator.
std::uint32_t ClockSeed() {
    const QTime now = QDateTime::currentDateTimeUtc().time();
    return static_cast<std::uint32_t>(
        ((now.hour() * 60 + now.minute()) * 60 + now.second()) * 1000 + now.msec());
}

QString Label(const std::string& text) {
    return QLatin1Char(' ') + QString::fromStdString(text) + QLatin1Char(' ');
}

QString HexLabel(std::int64_t value) {
    return Label(IntToSpacedHex(value, 2));
}

QRgb RgbOf(Rgb colour) {
    return qRgb(colour.R, colour.G, colour.B);
}

// Moves the current cell without painting: the selection handler is away meanwhile and comes back
// however the move ends.
class SelectionDetached {
public:
    explicit SelectionDetached(gui::DrawGrid& grid)
        : grid_(grid), handler_(grid.selectCellHandler()) {
        grid_.setSelectCell(nullptr);
    }
    ~SelectionDetached() { grid_.setSelectCell(handler_); }
    SelectionDetached(const SelectionDetached&) = delete;
    SelectionDetached& operator=(const SelectionDetached&) = delete;

private:
    gui::DrawGrid& grid_;
    gui::DrawGrid::SelectCellFn handler_;
};

} // namespace

MapEditorWindow::MapEditorWindow(WindowContext& context, QWidget* parent)
    : ToolWindow(context.dialogs, context.busy, parent), context_(context),
      paths_(*this, context.dialogs), readErrors_(context.dialogs, *this) {
    // Unlike the other tool windows it can be resized: the grid takes whatever room there is.
    setWindowFlags(Qt::Window);
    setObjectName("TLWMapEditForm");
    setWindowTitle(QStringLiteral("MapEdit"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    resize(697, 575);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    root->addWidget(buildGrids(), 1);
    root->addWidget(buildBottomPanel());
    root->addWidget(buildFileNamePanel());
    buildStatusBar();
    root->addWidget(statusBar_);

    // The group names follow the three fixed modes, in the table's order.
    for (const TNamedTile& group : NamedTiles)
        selectDrawingModeComboBox_->addItem(QString::fromLatin1(group.Name));
    connectHandlers();
    addShortcuts();
    brushChanged();
    updateUndoButtons();
    updatePreview();
}

MapEditorWindow::~MapEditorWindow() {
    // The dialog hides itself as it goes, which takes the focus from the Z field: its
    // editingFinished would then reach a window that is no longer a map editor.
    zValueEdit_->disconnect(this);
}

QWidget* MapEditorWindow::buildGrids() {
    auto* area = new QWidget(this);
    auto* layout = new QHBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    mainDrawGrid_ = Named(new gui::DrawGrid(area), "MainDrawGrid");
    mainDrawGrid_->setColCount(kClassicWorld.width());
    mainDrawGrid_->setRowCount(kClassicWorld.height());
    mainDrawGrid_->setBackground(Qt::black);
    mainDrawGrid_->viewport()->installEventFilter(this);
    layout->addWidget(mainDrawGrid_, 1);

    auto* rightPanel = Named(new QWidget(area), "RightPanel");
    rightPanel->setFixedWidth(kRightPanelWidth);
    auto* right = new QVBoxLayout(rightPanel);
    right->setContentsMargins(0, 0, 0, 0);
    textureDrawGrid_ = Named(new gui::DrawGrid(rightPanel), "TextureDrawGrid");
    textureDrawGrid_->setColCount(1);
    textureDrawGrid_->setRowCount(kTextureRowsAtCreation);
    textureDrawGrid_->setCellSize(kTextureSide, kTextureSide);
    textureDrawGrid_->setBackground(Qt::black);
    textureDrawGrid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    right->addWidget(textureDrawGrid_);
    layout->addWidget(rightPanel);
    applyZoom();
    return area;
}

QWidget* MapEditorWindow::buildBottomPanel() {
    auto* bottomPanel = Named(new QWidget(this), "BottomPanel");
    bottomPanel->setFixedHeight(kBottomPanelHeight);
    auto* layout = new QHBoxLayout(bottomPanel);
    layout->setContentsMargins(2, 0, 2, 2);
    layout->setSpacing(4);
    layout->addWidget(buildAltitudePanel(bottomPanel), 0, Qt::AlignTop);
    layout->addWidget(buildJumpPanel(bottomPanel), 0, Qt::AlignTop);
    layout->addStretch(1);
    layout->addWidget(buildDrawSettingsPanel(bottomPanel));
    return bottomPanel;
}

QWidget* MapEditorWindow::buildAltitudePanel(QWidget* parent) {
    auto* altitudePanel = Named(new QWidget(parent), "AltitudePanel");
    auto* altitude = new QVBoxLayout(altitudePanel);
    altitude->setContentsMargins(0, 0, 0, 0);
    altitude->setSpacing(2);
    auto* altitudeRadioGroup = Named(
        new QGroupBox(QStringLiteral("Modify the altitude"), altitudePanel), "AltitudeRadioGroup");
    auto* radios = new QHBoxLayout(altitudeRadioGroup);
    radios->setContentsMargins(4, 0, 4, 2);
    altitudeButtons_ = new QButtonGroup(altitudeRadioGroup);
    const char* const items[] = {"Add Z", "Subtract Z", "Set to Z"};
    for (const AltitudeMode mode :
         {AltitudeMode::AddZ, AltitudeMode::SubtractZ, AltitudeMode::SetToZ}) {
        auto* button = new QRadioButton(QString::fromLatin1(items[static_cast<int>(mode)]),
                                        altitudeRadioGroup);
        altitudeButtons_->addButton(button, static_cast<int>(mode));
        radios->addWidget(button);
    }
    altitudeButtons_->button(static_cast<int>(AltitudeMode::SetToZ))->setChecked(true);
    altitude->addWidget(altitudeRadioGroup);
    // Below the group: the panel is high enough for two rows, and narrow enough then for the
    // window's first width beside the jump and drawing panels.
    auto* zValueLabel =
        Named(new QLabel(QStringLiteral("Z (altitude) ="), altitudePanel), "ZValueLabel");
    zValueEdit_ = Named(new QLineEdit(QStringLiteral("0"), altitudePanel), "ZValueEdit");
    zValueEdit_->setFixedWidth(36);
    xValueUpDown_ = Named(new gui::UpDown(*zValueEdit_, -128, 127, altitudePanel), "XValueUpDown");
    auto* zRow = new QHBoxLayout;
    zRow->setSpacing(0);
    zRow->addWidget(zValueLabel);
    zRow->addSpacing(4);
    zRow->addWidget(zValueEdit_);
    zRow->addWidget(xValueUpDown_);
    zRow->addStretch(1);
    altitude->addLayout(zRow);
    return altitudePanel;
}

QWidget* MapEditorWindow::buildJumpPanel(QWidget* parent) {
    auto* jumpPanel = Named(new QWidget(parent), "JumpPanel");
    auto* rows = new QVBoxLayout(jumpPanel);
    rows->setContentsMargins(0, 10, 0, 0);
    rows->setSpacing(2);
    auto* jump = new QHBoxLayout;
    jump->setSpacing(3);
    jumpButton_ = Named(new QPushButton(QStringLiteral("Jump Now!"), jumpPanel), "JumpButton");
    jumpButton_->setAutoDefault(false);
    auto* jumpXLabel = Named(new QLabel(QStringLiteral("X"), jumpPanel), "JumpXLabel");
    xJumpEdit_ = Named(new QLineEdit(QStringLiteral("0"), jumpPanel), "XJumpEdit");
    auto* jumpYLabel = Named(new QLabel(QStringLiteral("Y"), jumpPanel), "YJumpLabel");
    yJumpEdit_ = Named(new QLineEdit(QStringLiteral("0"), jumpPanel), "YJumpEdit");
    for (QLineEdit* field : {xJumpEdit_, yJumpEdit_})
        field->setFixedWidth(40);
    jump->addWidget(jumpButton_);
    jump->addWidget(jumpXLabel);
    jump->addWidget(xJumpEdit_);
    jump->addWidget(jumpYLabel);
    jump->addWidget(yJumpEdit_);
    rows->addLayout(jump);

    // Beside "Jump Now!": whether a stroke can be taken back or painted again, and the overview.
    auto* history = new QHBoxLayout;
    history->setSpacing(3);
    // Small buttons: a push button is never narrower than 80 pixels.
    undoButton_ = Named(new QToolButton(jumpPanel), "UndoButton");
    redoButton_ = Named(new QToolButton(jumpPanel), "RedoButton");
    overviewButton_ = Named(new QToolButton(jumpPanel), "OverviewButton");
    const char* const captions[] = {"Undo", "Redo", "Overview"};
    int i = 0;
    for (QToolButton* button : {undoButton_, redoButton_, overviewButton_}) {
        button->setText(QString::fromLatin1(captions[i++]));
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        history->addWidget(button);
    }
    history->addStretch(1);
    rows->addLayout(history);
    return jumpPanel;
}

QWidget* MapEditorWindow::buildDrawSettingsPanel(QWidget* parent) {
    auto* drawSettingsPanel = Named(new QWidget(parent), "DrawSettingsPanel");
    auto* draw = new QGridLayout(drawSettingsPanel);
    draw->setContentsMargins(0, 0, 0, 0);
    draw->setHorizontalSpacing(6);
    draw->setVerticalSpacing(1);
    auto* selectDrawingModeLabel = Named(
        new QLabel(QStringLiteral("Select mode"), drawSettingsPanel), "SelectDrawingModeLabel");
    selectDrawingModeComboBox_ =
        Named(new QComboBox(drawSettingsPanel), "SelectDrawingModeComboBox");
    selectDrawingModeComboBox_->addItems({QStringLiteral("Don't draw"),
                                          QStringLiteral("Selected tile from list"),
                                          QStringLiteral("Altitude only")});
    // Narrower than its longest item, so that the panels fit the window's first width; the list
    // that drops down shows every item whole.
    selectDrawingModeComboBox_->setSizeAdjustPolicy(
        QComboBox::AdjustToMinimumContentsLengthWithIcon);
    selectDrawingModeComboBox_->setMinimumContentsLength(14);
    showCheckBox_ =
        Named(new QCheckBox(QStringLiteral("ID's anzeigen"), drawSettingsPanel), "ShowCheckBox");
    showCheckBox_->setChecked(true);
    auto* brushSizeLabel =
        Named(new QLabel(QStringLiteral("Brush size"), drawSettingsPanel), "BrushSizeLabel");
    brushSizeSpinBox_ = Named(new QSpinBox(drawSettingsPanel), "BrushSizeSpinBox");
    brushSizeSpinBox_->setRange(kMinBrushSize, kMaxBrushSize);
    brushSizeSpinBox_->setValue(kMinBrushSize);
    tilePreview_ = Named(new QLabel(drawSettingsPanel), "TilePreview");
    tilePreview_->setFixedSize(kPreviewSide, kPreviewSide);
    draw->addWidget(selectDrawingModeLabel, 0, 0);
    draw->addWidget(showCheckBox_, 0, 1, Qt::AlignRight);
    draw->addWidget(selectDrawingModeComboBox_, 1, 0, 1, 2);
    draw->addWidget(brushSizeLabel, 2, 0);
    draw->addWidget(brushSizeSpinBox_, 2, 1, Qt::AlignRight);
    draw->addWidget(tilePreview_, 0, 2, 3, 1, Qt::AlignVCenter);
    return drawSettingsPanel;
}

QWidget* MapEditorWindow::buildFileNamePanel() {
    auto* fileNamePanel = Named(new QWidget(this), "FileNamePanel");
    fileNamePanel->setFixedHeight(kFileNamePanelHeight);
    auto* layout = new QHBoxLayout(fileNamePanel);
    layout->setContentsMargins(2, 1, 2, 2);
    layout->setSpacing(4);
    auto* mapLabel = Named(new QLabel(QStringLiteral("Map0.mul"), fileNamePanel), "MapLabel");
    mapEdit_ = paths_.add("MapEdit", PathRole::WorldFile(WorldFileKind::Map), fileNamePanel);
    auto* uoPathLabel =
        Named(new QLabel(QStringLiteral("Path to TexIdx.mul, TexMaps.mul, ArtIdx.mul and Art.mul"),
                         fileNamePanel),
              "UOPathLabel");
    uoPathEdit_ = paths_.add("UOPathEdit", PathRole::ImageFolder(), fileNamePanel);
    layout->addWidget(mapLabel);
    layout->addWidget(mapEdit_, 1);
    layout->addWidget(uoPathLabel);
    layout->addWidget(uoPathEdit_, 1);
    return fileNamePanel;
}

void MapEditorWindow::buildStatusBar() {
    statusBar_ = Named(new QStatusBar(this), "StatusBar");
    statusBar_->setSizeGripEnabled(false);
    // Each panel takes half of the bar, whatever its text: equal stretch, and no minimum width
    // from the text, so that the bar never asks the window for more room than it has. (Panels
    // sized from the bar's own width would make the bar's minimum its width, and the window
    // would grow with every resize.)
    const char* const names[] = {"PointerPanel", "ModePanel"};
    for (std::size_t i = 0; i < statusPanels_.size(); ++i) {
        QLabel*& panel = statusPanels_[i];
        panel = Named(new QLabel(statusBar_), names[i]);
        panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        statusBar_->addWidget(panel, 1);
    }
}

void MapEditorWindow::connectHandlers() {
    mainDrawGrid_->setPreparePaint([this](const QRect& cells) { prepareMainPaint(cells); });
    mainDrawGrid_->setDrawCell([this](QPainter& painter, int x, int y, const QRect& rect) {
        drawMainCell(painter, x, y, rect);
    });
    mainDrawGrid_->setSelectCell([this](int x, int y) { runGuarded([&] { paintCell(x, y); }); });
    mainDrawGrid_->setPointerMove([this](const QPoint& position) { trackPointer(position); });
    for (QScrollBar* bar :
         {mainDrawGrid_->horizontalScrollBar(), mainDrawGrid_->verticalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, this, [this] { reportView(); });
    textureDrawGrid_->setPreparePaint([this](const QRect&) { prepareTexturePaint(); });
    textureDrawGrid_->setDrawCell([this](QPainter& painter, int, int row, const QRect& rect) {
        drawTextureCell(painter, row, rect);
    });
    textureDrawGrid_->setClick(
        [this] { runGuarded([this] { selectTile(textureDrawGrid_->row()); }); });

    paths_.onValidated([this](const QLineEdit& changed) { pathsValidated(changed); });
    connect(zValueEdit_, &QLineEdit::textChanged, this,
            [this] { runGuarded([this] { zValueChanged(); }); });
    connect(zValueEdit_, &QLineEdit::editingFinished, this, [this] { zValueFinished(); });
    connect(jumpButton_, &QPushButton::clicked, this, [this] { runGuarded([this] { jump(); }); });
    for (QLineEdit* field : {xJumpEdit_, yJumpEdit_})
        connect(field, &QLineEdit::returnPressed, this, [this] { runGuarded([this] { jump(); }); });
    connect(selectDrawingModeComboBox_, &QComboBox::currentIndexChanged, this,
            [this] { runGuarded([this] { brushChanged(); }); });
    connect(altitudeButtons_, &QButtonGroup::idClicked, this,
            [this] { runGuarded([this] { brushChanged(); }); });
    connect(brushSizeSpinBox_, &QSpinBox::valueChanged, this,
            [this] { runGuarded([this] { brushChanged(); }); });
    connect(showCheckBox_, &QCheckBox::clicked, this,
            [this] { textureDrawGrid_->viewport()->update(); });
    connect(undoButton_, &QToolButton::clicked, this, [this] { runGuarded([this] { undo(); }); });
    connect(redoButton_, &QToolButton::clicked, this, [this] { runGuarded([this] { redo(); }); });
    connect(overviewButton_, &QToolButton::clicked, this, [this] { showOverview(); });
}

void MapEditorWindow::addShortcuts() {
    const auto add = [this](const QKeySequence& keys, auto action) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, action);
    };
    const auto undoKeys = [this] { runGuarded([this] { undo(); }); };
    const auto redoKeys = [this] { runGuarded([this] { redo(); }); };
    add(QKeySequence(Qt::CTRL | Qt::Key_Z), undoKeys);
    add(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), redoKeys);
    add(QKeySequence(Qt::CTRL | Qt::Key_Y), redoKeys);
    const auto zoomIn = [this] { zoom(true, pointerInView()); };
    const auto zoomOut = [this] { zoom(false, pointerInView()); };
    // Plus is a shifted key on many keyboards, and the keypad has its own.
    for (const QKeyCombination keys :
         {Qt::CTRL | Qt::Key_Plus, Qt::CTRL | Qt::Key_Equal, Qt::CTRL | Qt::SHIFT | Qt::Key_Plus,
          Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_Plus})
        add(QKeySequence(keys), zoomIn);
    for (const QKeyCombination keys :
         {Qt::CTRL | Qt::Key_Minus, Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_Minus})
        add(QKeySequence(keys), zoomOut);
}

void MapEditorWindow::setPalette(QDialog& palette) {
    palette_ = &palette;
    const QPoint place = palette.pos();
    palette.setParent(this, palette.windowFlags());
    palette.move(place);
}

void MapEditorWindow::setOverview(QDialog& overview) {
    overview_ = &overview;
    overview.setParent(this, overview.windowFlags());
}

// ---- Showing, closing, placing -----------------------------------------------------------------

void MapEditorWindow::showEvent(QShowEvent* event) {
    // The window manager places and frames this window after it is shown; the palette goes
    // beside it once it is on the screen.
    if (!event->spontaneous()) {
        if (windowHandle() != nullptr)
            windowHandle()->installEventFilter(this);
        placingPalette_ = true;
    }
    ToolWindow::showEvent(event);
}

void MapEditorWindow::showing() {
    context_.state.RandomSeed = ClockSeed();
    paths_.setTexts(context_.settings.loadMapEditSettings());
    {
        const QSignalBlocker quiet(selectDrawingModeComboBox_);
        selectDrawingModeComboBox_->setCurrentIndex(kDontDrawEntry);
    }
    brushChanged();
    textureDrawGrid_->setRowCount(kTextureRowsShown);
    updateStatusTexts();
    updateUndoButtons();
    reportFiles();
    if (palette_ != nullptr) {
        palette_->show();
        placePalette();
    }
    reportView();
    if (overview_ != nullptr && context_.settings.loadOverviewSettings().Open)
        showOverview();
}

void MapEditorWindow::placePalette() {
    if (palette_ == nullptr || !palette_->isVisible())
        return;
    const QRect screen = gui::ScreenOf(*this);
    const QSize side = palette_->frameGeometry().size() + QSize(gui::kWindowGap, 0);
    QRect editor = frameGeometry();
    const bool fitsRight = editor.right() + side.width() <= screen.right();
    const bool fitsLeft = editor.left() - side.width() >= screen.left();
    if (!fitsRight && !fitsLeft && editor.width() + side.width() <= screen.width()) {
        move(screen.right() + 1 - side.width() - editor.width(), editor.y());
        editor = frameGeometry();
    }
    palette_->move(gui::BesideOf(editor, palette_->frameGeometry().size(), screen));
    palette_->raise();
    placeOverview();
    followPaletteFrame();
}

void MapEditorWindow::showOverview() {
    if (overview_ == nullptr)
        return;
    const bool wasVisible = overview_->isVisible();
    if (!wasVisible) {
        const std::optional<QRect> place = context_.settings.loadOverviewSettings().Geometry;
        // A place of its own, if it still lies on a screen (the screens may have changed).
        if (place && gui::ScreenOf(*this).intersects(*place)) {
            overview_->resize(place->size());
            overview_->move(place->topLeft());
            overview_->setProperty("lwPlaced", true);
        }
        overview_->show();
        // Placed again once the window manager has framed it: only then is its frame known.
        if (overview_->windowHandle() != nullptr)
            overview_->windowHandle()->installEventFilter(this);
        placingOverview_ = true;
        placeOverview();
        followPaletteFrame();
    }
    overview_->raise();
    overview_->activateWindow();
}

// Without a place of its own, the overview stands below the palette, or beside this window.
void MapEditorWindow::placeOverview() {
    if (overview_ == nullptr || !overview_->isVisible() || overview_->property("lwPlaced").toBool())
        return;
    const QRect screen = gui::ScreenOf(*this);
    const QSize size = overview_->frameGeometry().size();
    QPoint place = gui::BesideOf(frameGeometry(), size, screen);
    if (palette_ != nullptr && palette_->isVisible()) {
        QRect palette = palette_->frameGeometry();
        // Until the window manager has told of the palette's title bar, its frame is taken to
        // have one as high as this window's.
        if (palette_->geometry().top() == palette.top())
            palette.setBottom(palette.bottom() + geometry().top() - frameGeometry().top());
        place = {palette.left(), std::min(palette.bottom() + 1 + gui::kWindowGap,
                                          screen.bottom() + 1 - size.height())};
    }
    overview_->move(place);
    overviewPlace_ = overview_->pos();
}

// The window manager may give the palette its title bar only after the overview was placed below
// it, and tells this window nothing of it: while the overview stands where it was put, it looks
// again a few times.
void MapEditorWindow::followPaletteFrame() {
    for (const int ms : {250, 750, 1500})
        QTimer::singleShot(ms, this, [this] {
            if (overview_ != nullptr && overview_->isVisible() &&
                overview_->pos() == overviewPlace_)
                placeOverview();
        });
}

bool MapEditorWindow::eventFilter(QObject* watched, QEvent* event) {
    if (placingPalette_ && watched == windowHandle() && event->type() == QEvent::Expose &&
        windowHandle()->isExposed()) {
        placingPalette_ = false;
        placePalette();
    }
    if (placingOverview_ && overview_ != nullptr && watched == overview_->windowHandle() &&
        event->type() == QEvent::Expose && overview_->windowHandle()->isExposed()) {
        placingOverview_ = false;
        placeOverview();
    }
    if (watched != mainDrawGrid_->viewport())
        return ToolWindow::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            const QPoint at = mouse->position().toPoint();
            runGuarded([&] { pickTile(at); });
            return true;
        }
        // The grid paints the pressed cell next: a stroke begins.
        if (mouse->button() == Qt::LeftButton) {
            setWriting(true);
            model_.beginStroke(mapPath());
        }
        break;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            model_.endStroke();
            updateUndoButtons();
            setWriting(false);
        }
        break;
    case QEvent::Wheel: {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        if (!(wheel->modifiers() & Qt::ControlModifier) || wheel->angleDelta().y() == 0)
            break;
        zoom(wheel->angleDelta().y() > 0, wheel->position().toPoint());
        return true;
    }
    case QEvent::Resize:
        reportView();
        break;
    default:
        break;
    }
    return ToolWindow::eventFilter(watched, event);
}

void MapEditorWindow::hideEvent(QHideEvent* event) {
    ToolWindow::hideEvent(event);
    if (event->spontaneous())
        return;
    model_.endStroke();
    setWriting(false);
    if (palette_ != nullptr)
        palette_->close();
    // Hidden, not closed: it opens again with this window.
    if (overview_ != nullptr)
        overview_->hide();
}

// ---- Paths -------------------------------------------------------------------------------------

void MapEditorWindow::pathsValidated(const QLineEdit& changed) {
    if (&changed == mapEdit_ && gui::IsGreen(*mapEdit_))
        followMapWorld();
    const auto store = model_.pathsValidated(paths_.values<2>());
    // Other files may fail otherwise, or no longer fail: every cause may be told again.
    readErrors_.reset();
    mainDrawGrid_->viewport()->update();
    textureDrawGrid_->viewport()->update();
    shownPreview_.reset();
    updatePreview();
    updateUndoButtons();
    if (store)
        context_.settings.saveMapEditSettings(gui::QStrings(*store));
    reportFiles();
}

// The grid has a column for every tile X of the map's world and a row for every tile Y.
void MapEditorWindow::followMapWorld() {
    try {
        const WorldSize world = MapWorld(mapPath());
        mainDrawGrid_->setColCount(world.width());
        mainDrawGrid_->setRowCount(world.height());
    } catch (const std::exception&) {
        // The grid keeps its size; drawing its cells tells the user what is wrong.
    }
}

void MapEditorWindow::reportFiles() {
    emit filesChanged(model_.filesValid() ? mapEdit_->text() : QString(),
                      model_.filesValid() ? uoPathEdit_->text() : QString());
}

std::optional<std::string> MapEditorWindow::pictureFolder() const {
    if (!model_.filesValid())
        return std::nullopt;
    return Std(uoPathEdit_->text());
}

std::string MapEditorWindow::mapPath() const {
    return Std(mapEdit_->text());
}

// ---- Status texts, the brush and its preview ---------------------------------------------------

void MapEditorWindow::updateStatusTexts() {
    statusPanels_[1]->setText(QString::fromStdString(ModeStatusText(model_.brush())));
    std::optional<TMapCell> cell;
    if (model_.filesValid())
        cell = ReadMapCell(mapPath(), pointer_.X, pointer_.Y);
    statusPanels_[0]->setText(QString::fromStdString(PointerStatusText(pointer_, cell)));
}

void MapEditorWindow::brushChanged() {
    Brush& brush = model_.brush();
    brush.chooseListEntry(selectDrawingModeComboBox_->currentIndex());
    brush.Altitude = static_cast<AltitudeMode>(altitudeButtons_->checkedId());
    brush.Z = ReadZField(Std(zValueEdit_->text()), false).Value;
    brush.Size = brushSizeSpinBox_->value();
    updatePreview();
    updateStatusTexts();
}

void MapEditorWindow::updatePreview() {
    const TilePreview preview = PreviewOf(model_.brush());
    if (shownPreview_ == preview)
        return;
    QPixmap picture(kPreviewSide, kPreviewSide);
    picture.fill(palette().color(QPalette::Window));
    {
        QPainter painter(&picture);
        painter.setFont(font());
        const QRect rect(0, 0, kPreviewSide, kPreviewSide);
        try {
            if (preview.Tile) {
                pixmaps_.refresh(pictureFolder());
                pixmaps_.draw(painter, *preview.Tile, rect);
            }
        } catch (const std::exception& error) {
            readErrors_.report(error);
        }
        if (!preview.Label.empty())
            labels_.draw(painter, rect.topLeft(), Label(preview.Label));
    }
    tilePreview_->setPixmap(picture);
    tilePreview_->setToolTip(QString::fromStdString(preview.Ids));
    shownPreview_ = preview;
}

void MapEditorWindow::trackPointer(const QPoint& viewportPosition) {
    const QPoint cell = mainDrawGrid_->cellAt(viewportPosition);
    pointer_ = {std::clamp(cell.x(), 0, mainDrawGrid_->colCount() - 1),
                std::clamp(cell.y(), 0, mainDrawGrid_->rowCount() - 1)};
    // It runs on every pointer movement: a file that fails is told once, not at every move.
    try {
        updateStatusTexts();
    } catch (const std::exception& error) {
        readErrors_.report(error);
    }
}

// While the user types, an empty text or a lone '-' (the start of "-20") stays as typed and
// counts as 0; leaving the field or Enter turns it into "0". An integer is written back clamped
// and in plain decimal with the caret where the user typed.
void MapEditorWindow::zValueChanged() {
    const QString text = zValueEdit_->text();
    const bool typing = zValueEdit_->hasFocus();
    const ZFieldText read = ReadZField(Std(text), typing);
    if (!typing || !IsUnfinishedNumber(Std(text)))
        xValueUpDown_->setPosition(read.Value);
    if (read.Rewritten) {
        const QString written = QString::fromStdString(*read.Rewritten);
        const int caret =
            zValueEdit_->cursorPosition() - static_cast<int>(text.size() - written.size());
        // The same text again changes nothing; another one runs this handler once more.
        zValueEdit_->setText(written);
        zValueEdit_->setCursorPosition(std::clamp(caret, 0, static_cast<int>(written.size())));
        return;
    }
    brushChanged();
}

void MapEditorWindow::zValueFinished() {
    if (IsUnfinishedNumber(Std(zValueEdit_->text())))
        zValueEdit_->setText(QStringLiteral("0"));
}

void MapEditorWindow::selectTile(std::int32_t tile) {
    {
        const QSignalBlocker quiet(selectDrawingModeComboBox_);
        selectDrawingModeComboBox_->setCurrentIndex(kSelectedTileEntry);
    }
    model_.brush().Tile = tile;
    brushChanged();
}

void MapEditorWindow::pickTile(const QPoint& viewportPosition) {
    const QPoint cell = mainDrawGrid_->cellAt(viewportPosition);
    if (cell.x() < 0 || !model_.filesValid())
        return;
    selectTile(ReadMapCell(mapPath(), cell.x(), cell.y()).Tile);
}

// ---- Jumping, scrolling and zoom ---------------------------------------------------------------

void MapEditorWindow::jump() {
    const SelectionDetached detached(*mainDrawGrid_);
    const CellPos target = JumpTarget(Std(xJumpEdit_->text()), Std(yJumpEdit_->text()),
                                      mainDrawGrid_->colCount(), mainDrawGrid_->rowCount());
    // Setting the cell it already has would not scroll: step away first, so that the target
    // comes into view even after the user scrolled elsewhere.
    if (target.X == mainDrawGrid_->col())
        mainDrawGrid_->setCol(std::abs(target.X - 1));
    if (target.Y == mainDrawGrid_->row())
        mainDrawGrid_->setRow(std::abs(target.Y - 1));
    mainDrawGrid_->setCol(target.X);
    mainDrawGrid_->setRow(target.Y);
}

void MapEditorWindow::centreOn(int x, int y) {
    mainDrawGrid_->setLeftCol(x - mainDrawGrid_->fullyVisibleCols() / 2);
    mainDrawGrid_->setTopRow(y - mainDrawGrid_->fullyVisibleRows() / 2);
}

QPoint MapEditorWindow::pointerInView() const {
    const QWidget* view = mainDrawGrid_->viewport();
    const QPoint at = view->mapFromGlobal(QCursor::pos());
    return view->rect().contains(at) ? at : view->rect().center();
}

void MapEditorWindow::zoom(bool in, const QPoint& viewportPosition) {
    const int oldPitch = mainDrawGrid_->cellWidth() + mainDrawGrid_->gridLineWidth();
    const int left = mainDrawGrid_->leftCol(), top = mainDrawGrid_->topRow();
    if (!(in ? model_.zoomIn() : model_.zoomOut()))
        return;
    applyZoom();
    const int newPitch = mainDrawGrid_->cellWidth() + mainDrawGrid_->gridLineWidth();
    mainDrawGrid_->setLeftCol(AnchoredFirst(left, viewportPosition.x(), oldPitch, newPitch,
                                            mainDrawGrid_->horizontalScrollBar()->maximum()));
    mainDrawGrid_->setTopRow(AnchoredFirst(top, viewportPosition.y(), oldPitch, newPitch,
                                           mainDrawGrid_->verticalScrollBar()->maximum()));
    reportView();
}

void MapEditorWindow::applyZoom() {
    const ZoomLevel& level = model_.zoom();
    mainDrawGrid_->setGridLines(level.GridLines);
    mainDrawGrid_->setCellSize(level.CellSide, level.CellSide);
    // Cells too small for one draw call each are drawn as one picture.
    if (level.CellSide < kZoomLevels[0].CellSide)
        mainDrawGrid_->setDrawArea(
            [this](QPainter& painter, const QRect& cells, const QPoint& origin) {
                drawMainArea(painter, cells, origin);
            });
    else
        mainDrawGrid_->setDrawArea(nullptr);
}

void MapEditorWindow::reportView() {
    emit viewChanged(QRect(mainDrawGrid_->leftCol(), mainDrawGrid_->topRow(),
                           mainDrawGrid_->fullyVisibleCols(), mainDrawGrid_->fullyVisibleRows()));
}

// ---- Painting, undo and redo -------------------------------------------------------------------

void MapEditorWindow::paintCell(int x, int y) {
    announcingWrites(
        [&] { showWritten(model_.paint(mapPath(), x, y, context_.state.RandomSeed)); });
    if (!model_.strokeOpen())
        updateUndoButtons();
}

void MapEditorWindow::undo() {
    announcingWrites([this] { showWritten(model_.undo()); });
    updateUndoButtons();
}

void MapEditorWindow::redo() {
    announcingWrites([this] { showWritten(model_.redo()); });
    updateUndoButtons();
}

void MapEditorWindow::announcingWrites(const std::function<void()>& body) {
    if (writing_) {
        body();
        return;
    }
    setWriting(true);
    try {
        body();
    } catch (...) {
        setWriting(false);
        throw;
    }
    setWriting(false);
}

void MapEditorWindow::setWriting(bool writing) {
    if (writing == writing_)
        return;
    writing_ = writing;
    emit mapWriting(writing);
}

// The cells are drawn again at once, in one repaint.
void MapEditorWindow::showWritten(const std::vector<CellPos>& cells) {
    if (cells.empty())
        return;
    QRegion area;
    for (const CellPos cell : cells)
        area += mainDrawGrid_->cellRect(cell.X, cell.Y);
    if (!area.isEmpty())
        mainDrawGrid_->viewport()->repaint(area);
    emit cellsWritten(cells);
}

void MapEditorWindow::updateUndoButtons() {
    undoButton_->setEnabled(model_.canUndo());
    redoButton_->setEnabled(model_.canRedo());
}

// ---- Drawing -----------------------------------------------------------------------------------

void MapEditorWindow::prepareMainPaint(const QRect& cells) {
    paintReadsMap_ = false;
    paintArea_ = {};
    paintCells_.clear();
    try {
        paintReadsMap_ = model_.filesValid();
        if (!paintReadsMap_)
            return;
        pixmaps_.refresh(Std(uoPathEdit_->text()));
        if (model_.zoom().AverageColours)
            colours_.refresh(Std(uoPathEdit_->text()));
        paintCells_ =
            ReadMapCellArea(mapPath(), cells.left(), cells.top(), cells.width(), cells.height());
        paintArea_ = cells;
    } catch (const std::exception& error) {
        // The cells are read one by one then, so that those the file holds still show.
        readErrors_.report(error);
    }
}

TMapCell MapEditorWindow::paintedCell(int x, int y) const {
    if (!paintArea_.contains(x, y))
        return ReadMapCell(mapPath(), x, y);
    const auto index = static_cast<std::size_t>(y - paintArea_.top()) *
                           static_cast<std::size_t>(paintArea_.width()) +
                       static_cast<std::size_t>(x - paintArea_.left());
    return paintCells_[index];
}

void MapEditorWindow::drawMainCell(QPainter& painter, int x, int y, const QRect& rect) {
    // With paths that are not valid no file is touched: the cell is black and has no label.
    if (!paintReadsMap_) {
        painter.fillRect(rect, Qt::black);
        return;
    }
    try {
        const TMapCell cell = paintedCell(x, y);
        pixmaps_.draw(painter, cell.Tile, rect);
        labels_.drawIfFits(painter, rect, QStringLiteral(" %1 ").arg(int{cell.Altitude}));
    } catch (const std::exception& error) {
        readErrors_.report(error);
    }
}

// Smaller cells: every cell's pixels are copied into one picture, drawn in one go, and the labels
// that fit drawn over it. The gaps of the grid lines stay black; the grid draws its lines over
// them.
void MapEditorWindow::drawMainArea(QPainter& painter, const QRect& cells, const QPoint& origin) {
    if (!paintReadsMap_)
        return; // the grid's black background
    const int side = mainDrawGrid_->cellWidth();
    const int pitch = side + mainDrawGrid_->gridLineWidth();
    const QSize size(cells.width() * pitch, cells.height() * pitch);
    if (areaImage_.size() != size)
        areaImage_ = QImage(size, QImage::Format_RGB32);
    if (pitch != side)
        areaImage_.fill(Qt::black);
    const bool average = model_.zoom().AverageColours;
    const QSize cellSize(side, side);
    // Straight into the pixels: scanLine() would look for a shared copy at every call.
    uchar* const bits = areaImage_.bits();
    const auto lineBytes = static_cast<std::size_t>(areaImage_.bytesPerLine());
    const auto rowOf = [&](int pixelRow, int pixelColumn) {
        return reinterpret_cast<QRgb*>(bits + static_cast<std::size_t>(pixelRow) * lineBytes) +
               pixelColumn;
    };
    // Neighbouring cells are often alike: the last colour made is kept.
    std::optional<TMapCell> last;
    QRgb lastColour = 0;
    const bool inArea = paintArea_.contains(cells);
    try {
        for (int y = cells.top(); y <= cells.bottom(); ++y) {
            const int top = (y - cells.top()) * pitch;
            const TMapCell* read = inArea ? paintCells_.data() +
                                                static_cast<std::size_t>(y - paintArea_.top()) *
                                                    static_cast<std::size_t>(paintArea_.width()) +
                                                (cells.left() - paintArea_.left())
                                          : nullptr;
            for (int x = cells.left(); x <= cells.right(); ++x) {
                const TMapCell cell = read != nullptr ? read[x - cells.left()] : paintedCell(x, y);
                const int left = (x - cells.left()) * pitch;
                if (average) {
                    if (!last || cell.Tile != last->Tile || cell.Altitude != last->Altitude) {
                        last = cell;
                        lastColour = RgbOf(colours_.cellColour(cell));
                    }
                    const QRgb colour = lastColour;
                    for (int row = 0; row < side; ++row)
                        std::fill_n(rowOf(top + row, left), side, colour);
                    continue;
                }
                const QImage& picture = pixmaps_.picture(cell.Tile, cellSize);
                for (int row = 0; row < side; ++row)
                    std::memcpy(rowOf(top + row, left), picture.constScanLine(row),
                                static_cast<std::size_t>(side) * sizeof(QRgb));
            }
        }
    } catch (const std::exception& error) {
        // The cells drawn so far show; the rest stay black.
        readErrors_.report(error);
    }
    painter.drawImage(origin, areaImage_);
    // Labels where they fit; no label fits a cell lower than a line of text.
    if (side < painter.fontMetrics().height())
        return;
    try {
        for (int y = cells.top(); y <= cells.bottom(); ++y)
            for (int x = cells.left(); x <= cells.right(); ++x)
                labels_.drawIfFits(
                    painter,
                    QRect(origin + QPoint((x - cells.left()) * pitch, (y - cells.top()) * pitch),
                          cellSize),
                    QStringLiteral(" %1 ").arg(int{paintedCell(x, y).Altitude}));
    } catch (const std::exception& error) {
        readErrors_.report(error);
    }
}

void MapEditorWindow::prepareTexturePaint() {
    try {
        pixmaps_.refresh(pictureFolder());
    } catch (const std::exception& error) {
        pixmaps_.refresh(std::nullopt);
        readErrors_.report(error);
    }
}

void MapEditorWindow::drawTextureCell(QPainter& painter, int row, const QRect& rect) {
    try {
        pixmaps_.draw(painter, static_cast<std::uint16_t>(row), rect);
        if (showCheckBox_->isChecked())
            labels_.draw(painter, rect.topLeft(), HexLabel(row));
    } catch (const std::exception& error) {
        readErrors_.report(error);
    }
}

} // namespace lw
