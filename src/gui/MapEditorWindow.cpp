#include "gui/MapEditorWindow.h"

#include "fillclear/NamedTiles.h"
#include "gui/WindowContext.h"
#include "gui/widgets/Controls.h"
#include "gui/widgets/DrawGrid.h"
#include "gui/widgets/FieldText.h"
#include "gui/widgets/PathField.h"
#include "gui/widgets/UpDown.h"
#include "gui/widgets/WindowPlacement.h"
#include "mapedit/ImageFiles.h"
#include "mapedit/MapCells.h"
#include "util/Errors.h"
#include "util/IntConv.h"
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
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

namespace lw {
namespace {

using gui::Named;
using gui::Std;

constexpr int kCellSide = 45;
constexpr int kTextureSide = 64;
constexpr int kRightPanelWidth = 89;
constexpr int kBottomPanelHeight = 44;
constexpr int kFileNamePanelHeight = 25;
constexpr int kTextureRowsAtCreation = 4096;
constexpr int kTextureRowsShown = 2560;

std::int8_t ClampedAltitude(int value) {
    return static_cast<std::int8_t>(std::clamp(value, -128, 127));
}

int ClampedInt(long long value, int lo, int hi) {
    return static_cast<int>(std::clamp<long long>(value, lo, hi));
}

// Milliseconds of the day in UTC: the seed of the tile groups' generator.
std::uint32_t ClockSeed() {
    const QTime now = QDateTime::currentDateTimeUtc().time();
    return static_cast<std::uint32_t>(
        ((now.hour() * 60 + now.minute()) * 60 + now.second()) * 1000 + now.msec());
}

// What the user has typed on the way to a number.
bool IsUnfinishedNumber(const QString& text) {
    return text.isEmpty() || text == QLatin1String("-");
}

QString Hex(std::int64_t value) {
    return QString::fromStdString(IntToSpacedHex(value, 2));
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
      readErrors_(context.dialogs, *this) {
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
    statusBar = Named(new QStatusBar(this), "StatusBar");
    statusBar->setSizeGripEnabled(false);
    // Each panel takes half of the bar, whatever its text: equal stretch, and no minimum width
    // from the text, so that the bar never asks the window for more room than it has. (Panels
    // sized from the bar's own width would make the bar's minimum its width, and the window
    // would grow with every resize.)
    for (QLabel*& panel : statusPanels) {
        panel = new QLabel(statusBar);
        panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        statusBar->addWidget(panel, 1);
    }
    root->addWidget(statusBar);

    // The group names follow the three fixed modes, in the table's order.
    for (const TNamedTile& group : NamedTiles)
        selectDrawingModeComboBox->addItem(QString::fromLatin1(group.Name));
    connectHandlers();
}

MapEditorWindow::~MapEditorWindow() {
    // The dialog hides itself as it goes, which takes the focus from the Z field: its
    // editingFinished would then reach a window that is no longer a map editor.
    zValueEdit->disconnect(this);
}

QWidget* MapEditorWindow::buildGrids() {
    auto* area = new QWidget(this);
    auto* layout = new QHBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    mainDrawGrid = Named(new gui::DrawGrid(area), "MainDrawGrid");
    mainDrawGrid->setColCount(kClassicWorld.width());
    mainDrawGrid->setRowCount(kClassicWorld.height());
    mainDrawGrid->setCellSize(kCellSide, kCellSide);
    mainDrawGrid->setBackground(Qt::black);
    layout->addWidget(mainDrawGrid, 1);

    rightPanel = Named(new QWidget(area), "RightPanel");
    rightPanel->setFixedWidth(kRightPanelWidth);
    auto* right = new QVBoxLayout(rightPanel);
    right->setContentsMargins(0, 0, 0, 0);
    textureDrawGrid = Named(new gui::DrawGrid(rightPanel), "TextureDrawGrid");
    textureDrawGrid->setColCount(1);
    textureDrawGrid->setRowCount(kTextureRowsAtCreation);
    textureDrawGrid->setCellSize(kTextureSide, kTextureSide);
    textureDrawGrid->setBackground(Qt::black);
    textureDrawGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    right->addWidget(textureDrawGrid);
    layout->addWidget(rightPanel);
    return area;
}

QWidget* MapEditorWindow::buildBottomPanel() {
    bottomPanel = Named(new QWidget(this), "BottomPanel");
    bottomPanel->setFixedHeight(kBottomPanelHeight);
    auto* layout = new QHBoxLayout(bottomPanel);
    layout->setContentsMargins(2, 0, 2, 2);
    layout->setSpacing(4);

    altitudePanel = Named(new QWidget(bottomPanel), "AltitudePanel");
    auto* altitude = new QHBoxLayout(altitudePanel);
    altitude->setContentsMargins(0, 0, 0, 0);
    altitude->setSpacing(4);
    altitudeRadioGroup = Named(new QGroupBox(QStringLiteral("Modify the altitude"), altitudePanel),
                               "AltitudeRadioGroup");
    auto* radios = new QHBoxLayout(altitudeRadioGroup);
    radios->setContentsMargins(4, 0, 4, 2);
    altitudeButtons = new QButtonGroup(altitudeRadioGroup);
    const char* const items[] = {"Add Z", "Subtract Z", "Set to Z"};
    for (int mode = AddZ; mode <= SetToZ; ++mode) {
        auto* button = new QRadioButton(QString::fromLatin1(items[mode]), altitudeRadioGroup);
        altitudeButtons->addButton(button, mode);
        radios->addWidget(button);
    }
    altitudeButtons->button(SetToZ)->setChecked(true);
    altitude->addWidget(altitudeRadioGroup);
    zValueLabel = Named(new QLabel(QStringLiteral("Z (altitude) ="), altitudePanel), "ZValueLabel");
    zValueEdit = Named(new QLineEdit(QStringLiteral("0"), altitudePanel), "ZValueEdit");
    zValueEdit->setFixedWidth(36);
    xValueUpDown = Named(new gui::UpDown(*zValueEdit, -128, 127, altitudePanel), "XValueUpDown");
    auto* zRow = new QHBoxLayout;
    zRow->setSpacing(0);
    zRow->addWidget(zValueEdit);
    zRow->addWidget(xValueUpDown);
    auto* zColumn = new QVBoxLayout;
    zColumn->setContentsMargins(0, 0, 0, 0);
    zColumn->setSpacing(1);
    zColumn->addWidget(zValueLabel);
    zColumn->addLayout(zRow);
    altitude->addLayout(zColumn);
    layout->addWidget(altitudePanel);

    jumpPanel = Named(new QWidget(bottomPanel), "JumpPanel");
    auto* jump = new QHBoxLayout(jumpPanel);
    jump->setContentsMargins(0, 10, 0, 0);
    jump->setSpacing(3);
    jumpButton = Named(new QPushButton(QStringLiteral("Jump Now!"), jumpPanel), "JumpButton");
    jumpButton->setAutoDefault(false);
    jumpXLabel = Named(new QLabel(QStringLiteral("X"), jumpPanel), "JumpXLabel");
    xJumpEdit = Named(new QLineEdit(QStringLiteral("0"), jumpPanel), "XJumpEdit");
    yJumpLabel = Named(new QLabel(QStringLiteral("Y"), jumpPanel), "YJumpLabel");
    yJumpEdit = Named(new QLineEdit(QStringLiteral("0"), jumpPanel), "YJumpEdit");
    for (QLineEdit* field : {xJumpEdit, yJumpEdit})
        field->setFixedWidth(40);
    jump->addWidget(jumpButton);
    jump->addWidget(jumpXLabel);
    jump->addWidget(xJumpEdit);
    jump->addWidget(yJumpLabel);
    jump->addWidget(yJumpEdit);
    layout->addWidget(jumpPanel);
    layout->addStretch(1);

    drawSettingsPanel = Named(new QWidget(bottomPanel), "DrawSettingsPanel");
    auto* draw = new QGridLayout(drawSettingsPanel);
    draw->setContentsMargins(0, 0, 0, 0);
    draw->setHorizontalSpacing(6);
    draw->setVerticalSpacing(1);
    selectDrawingModeLabel = Named(new QLabel(QStringLiteral("Select mode"), drawSettingsPanel),
                                   "SelectDrawingModeLabel");
    selectDrawingModeComboBox =
        Named(new QComboBox(drawSettingsPanel), "SelectDrawingModeComboBox");
    selectDrawingModeComboBox->addItems({QStringLiteral("Don't draw"),
                                         QStringLiteral("Selected tile from list"),
                                         QStringLiteral("Altitude only")});
    // Narrower than its longest item, so that the three panels fit the window's first width;
    // the list that drops down shows every item whole.
    selectDrawingModeComboBox->setSizeAdjustPolicy(
        QComboBox::AdjustToMinimumContentsLengthWithIcon);
    selectDrawingModeComboBox->setMinimumContentsLength(14);
    showCheckBox =
        Named(new QCheckBox(QStringLiteral("ID's anzeigen"), drawSettingsPanel), "ShowCheckBox");
    showCheckBox->setChecked(true);
    draw->addWidget(selectDrawingModeLabel, 0, 0);
    draw->addWidget(showCheckBox, 0, 1, Qt::AlignRight);
    draw->addWidget(selectDrawingModeComboBox, 1, 0, 1, 2);
    layout->addWidget(drawSettingsPanel);
    return bottomPanel;
}

QWidget* MapEditorWindow::buildFileNamePanel() {
    fileNamePanel = Named(new QWidget(this), "FileNamePanel");
    fileNamePanel->setFixedHeight(kFileNamePanelHeight);
    auto* layout = new QHBoxLayout(fileNamePanel);
    layout->setContentsMargins(2, 1, 2, 2);
    layout->setSpacing(4);
    mapLabel = Named(new QLabel(QStringLiteral("Map0.mul"), fileNamePanel), "MapLabel");
    mapEdit = gui::PathEdit("MapEdit", fileNamePanel);
    uoPathLabel =
        Named(new QLabel(QStringLiteral("Path to TexIdx.mul, TexMaps.mul, ArtIdx.mul and Art.mul"),
                         fileNamePanel),
              "UOPathLabel");
    uoPathEdit = gui::PathEdit("UOPathEdit", fileNamePanel);
    layout->addWidget(mapLabel);
    layout->addWidget(mapEdit, 1);
    layout->addWidget(uoPathLabel);
    layout->addWidget(uoPathEdit, 1);
    return fileNamePanel;
}

void MapEditorWindow::connectHandlers() {
    mainDrawGrid->setPreparePaint([this](const QRect& cells) { prepareMainPaint(cells); });
    mainDrawGrid->setDrawCell([this](QPainter& painter, int x, int y, const QRect& rect) {
        drawMainCell(painter, x, y, rect);
    });
    mainDrawGrid->setSelectCell([this](int x, int y) { runGuarded([&] { paintCell(x, y); }); });
    mainDrawGrid->setPointerMove([this](const QPoint& position) { trackPointer(position); });
    textureDrawGrid->setPreparePaint([this](const QRect&) { prepareTexturePaint(); });
    textureDrawGrid->setDrawCell([this](QPainter& painter, int, int row, const QRect& rect) {
        drawTextureCell(painter, row, rect);
    });
    textureDrawGrid->setClick([this] { textureColumnClicked(); });

    connect(mapEdit, &QLineEdit::textChanged, this, [this] { mapEditChanged(); });
    connect(uoPathEdit, &QLineEdit::textChanged, this, [this] { uoPathEditChanged(); });
    connect(zValueEdit, &QLineEdit::textChanged, this, [this] { zValueEditChanged(); });
    connect(zValueEdit, &QLineEdit::editingFinished, this, [this] { zValueEditFinished(); });
    connect(jumpButton, &QPushButton::clicked, this, [this] { jumpClicked(); });
    for (QLineEdit* field : {xJumpEdit, yJumpEdit})
        connect(field, &QLineEdit::returnPressed, this, [this] { jumpClicked(); });
    connect(selectDrawingModeComboBox, &QComboBox::currentIndexChanged, this,
            [this] { drawingModeChanged(); });
    connect(altitudeButtons, &QButtonGroup::idClicked, this, [this] { altitudeModeClicked(); });
    connect(showCheckBox, &QCheckBox::clicked, this, [this] { showCheckBoxClicked(); });
}

void MapEditorWindow::setPalette(QDialog& palette) {
    palette_ = &palette;
    const QPoint place = palette.pos();
    palette.setParent(this, palette.windowFlags());
    palette.move(place);
}

// ---- Showing, closing, resizing ----------------------------------------------------------------

void MapEditorWindow::showEvent(QShowEvent* event) {
    ToolWindow::showEvent(event);
    if (event->spontaneous())
        return;
    // The window manager places and frames this window after it is shown; the palette goes
    // beside it once it is on the screen.
    if (windowHandle() != nullptr)
        windowHandle()->installEventFilter(this);
    placingPalette_ = true;
    runGuarded([this] { prepareForShow(); });
}

void MapEditorWindow::prepareForShow() {
    context_.state.RandomSeed = ClockSeed();
    const SettingsStore::MapEditSettings paths = context_.settings.loadMapEditSettings();
    gui::SetTextRunningChange(*mapEdit, paths[0], [this] { mapPathChanged(); });
    gui::SetTextRunningChange(*uoPathEdit, paths[1], [this] { imageFolderChanged(); });
    {
        const QSignalBlocker quiet(selectDrawingModeComboBox);
        selectDrawingModeComboBox->setCurrentIndex(DontDraw);
    }
    textureDrawGrid->setRowCount(kTextureRowsShown);
    updateStatusTexts();
    if (palette_ != nullptr) {
        palette_->show();
        placePalette();
    }
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
}

bool MapEditorWindow::eventFilter(QObject* watched, QEvent* event) {
    if (placingPalette_ && watched == windowHandle() && event->type() == QEvent::Expose &&
        windowHandle()->isExposed()) {
        placingPalette_ = false;
        placePalette();
    }
    return ToolWindow::eventFilter(watched, event);
}

void MapEditorWindow::hideEvent(QHideEvent* event) {
    ToolWindow::hideEvent(event);
    if (!event->spontaneous() && palette_ != nullptr)
        palette_->close();
}

// ---- Paths -------------------------------------------------------------------------------------

void MapEditorWindow::mapEditChanged() {
    runGuarded([this] { mapPathChanged(); });
}

void MapEditorWindow::uoPathEditChanged() {
    runGuarded([this] { imageFolderChanged(); });
}

void MapEditorWindow::mapPathChanged() {
    mapPathEdited_ = true;
    gui::ValidateWorldPathFields(*mapEdit, {{mapEdit, WorldFileKind::Map}});
    if (gui::IsGreen(*mapEdit))
        followMapWorld();
    pathsEdited();
}

// The grid has a column for every tile X of the map's world and a row for every tile Y.
void MapEditorWindow::followMapWorld() {
    try {
        const WorldSize world = MapWorld(mapPath());
        mainDrawGrid->setColCount(world.width());
        mainDrawGrid->setRowCount(world.height());
    } catch (const std::exception&) {
        // The grid keeps its size; drawing its cells tells the user what is wrong.
    }
}

void MapEditorWindow::imageFolderChanged() {
    imageFolderEdited_ = true;
    gui::SetPathFieldValid(*uoPathEdit, FindImageFiles(Std(uoPathEdit->text())).has_value());
    pathsEdited();
}

void MapEditorWindow::pathsEdited() {
    // Other files may fail otherwise, or no longer fail: every cause may be told again.
    readErrors_.reset();
    mainDrawGrid->viewport()->update();
    textureDrawGrid->viewport()->update();
    editorFilesValid();
}

bool MapEditorWindow::editorFilesValid() {
    if (!gui::IsGreen(*mapEdit) || !gui::IsGreen(*uoPathEdit))
        return false;
    if (mapPathEdited_ || imageFolderEdited_) {
        context_.settings.saveMapEditSettings({mapEdit->text(), uoPathEdit->text()});
        mapPathEdited_ = false;
        imageFolderEdited_ = false;
    }
    return true;
}

std::optional<std::string> MapEditorWindow::pictureFolder() {
    if (!editorFilesValid())
        return std::nullopt;
    return Std(uoPathEdit->text());
}

std::string MapEditorWindow::mapPath() const {
    return Std(mapEdit->text());
}

// ---- Status texts ------------------------------------------------------------------------------

int MapEditorWindow::zValue() const {
    try {
        return std::clamp(StrToInt(Std(zValueEdit->text())), -128, 127);
    } catch (const ConvertError&) {
        return 0;
    }
}

void MapEditorWindow::updateStatusTexts() {
    const int z = zValue();
    QString mode = QStringLiteral("Selected mode: ");
    switch (altitudeButtons->checkedId()) {
    case AddZ:
        mode += QStringLiteral("Add %1 to current altitude").arg(z);
        break;
    case SubtractZ:
        mode += QStringLiteral("Subtract %1 from current altitude").arg(z);
        break;
    default:
        mode += QStringLiteral("Set altitude to %1").arg(z);
        break;
    }
    const int drawing = selectDrawingModeComboBox->currentIndex();
    if (drawing == DontDraw)
        mode += QStringLiteral(" - Drawing disabled");
    else if (drawing == SelectedTile)
        mode += QStringLiteral(" - Selected tile=") + Hex(selectedTile_);
    else if (drawing == AltitudeOnly)
        mode += QStringLiteral(" - Drawing altitude only");
    else
        mode += QStringLiteral(" - Selected group: \"%1\"")
                    .arg(selectDrawingModeComboBox->currentText());
    statusPanels[1]->setText(mode);

    QString where = QStringLiteral("X=%1 - Y=%2").arg(pointer_.x()).arg(pointer_.y());
    if (editorFilesValid()) {
        const TMapCell cell = ReadMapCell(mapPath(), pointer_.x(), pointer_.y());
        where += QStringLiteral(" - Altitude=%1 - Tile=").arg(int{cell.Altitude}) + Hex(cell.Tile);
    } else {
        where += QStringLiteral(" - Wrong filename");
    }
    statusPanels[0]->setText(where);
}

void MapEditorWindow::trackPointer(const QPoint& viewportPosition) {
    const QPoint cell = mainDrawGrid->cellAt(viewportPosition);
    pointer_ = {std::clamp(cell.x(), 0, mainDrawGrid->colCount() - 1),
                std::clamp(cell.y(), 0, mainDrawGrid->rowCount() - 1)};
    // It runs on every pointer movement: a file that fails is told once, not at every move.
    try {
        updateStatusTexts();
    } catch (const std::exception& error) {
        readErrors_.report(error);
    }
}

// ---- Controls ----------------------------------------------------------------------------------

// While the user types, an empty text or a lone '-' (the start of "-20") stays as typed and
// counts as 0; leaving the field or Enter turns it into "0". Any other text that is no integer
// becomes "0" at once, and an integer is written back clamped and in plain decimal with the caret
// where the user typed.
void MapEditorWindow::zValueEditChanged() {
    runGuarded([this] {
        const QString text = zValueEdit->text();
        if (zValueEdit->hasFocus() && IsUnfinishedNumber(text)) {
            updateStatusTexts();
            return;
        }
        std::int32_t value = 0;
        try {
            value = StrToInt(Std(text));
        } catch (const ConvertError&) {
            zValueEdit->setText(QStringLiteral("0"));
            updateStatusTexts();
            return;
        }
        value = std::clamp(value, -128, 127);
        xValueUpDown->setPosition(value);
        // The same text again changes nothing; another one runs this handler once more.
        const QString written = QString::number(value);
        if (written != text) {
            const int caret =
                zValueEdit->cursorPosition() - static_cast<int>(text.size() - written.size());
            zValueEdit->setText(written);
            zValueEdit->setCursorPosition(std::clamp(caret, 0, static_cast<int>(written.size())));
        }
        updateStatusTexts();
    });
}

void MapEditorWindow::zValueEditFinished() {
    if (IsUnfinishedNumber(zValueEdit->text()))
        zValueEdit->setText(QStringLiteral("0"));
}

void MapEditorWindow::drawingModeChanged() {
    runGuarded([this] { updateStatusTexts(); });
}

void MapEditorWindow::altitudeModeClicked() {
    runGuarded([this] { updateStatusTexts(); });
}

void MapEditorWindow::showCheckBoxClicked() {
    textureDrawGrid->viewport()->update();
}

void MapEditorWindow::textureColumnClicked() {
    runGuarded([this] { selectTile(textureDrawGrid->row()); });
}

void MapEditorWindow::selectTile(std::int32_t tile) {
    {
        const QSignalBlocker quiet(selectDrawingModeComboBox);
        selectDrawingModeComboBox->setCurrentIndex(SelectedTile);
    }
    selectedTile_ = tile;
    updateStatusTexts();
}

void MapEditorWindow::jumpClicked() {
    runGuarded([this] {
        const SelectionDetached detached(*mainDrawGrid);
        const int x = ClampedInt(StrToInt(Std(xJumpEdit->text())), 0, mainDrawGrid->colCount() - 1);
        const int y = ClampedInt(StrToInt(Std(yJumpEdit->text())), 0, mainDrawGrid->rowCount() - 1);
        // Setting the cell it already has would not scroll: step away first, so that the target
        // comes into view even after the user scrolled elsewhere.
        if (x == mainDrawGrid->col())
            mainDrawGrid->setCol(std::abs(x - 1));
        if (y == mainDrawGrid->row())
            mainDrawGrid->setRow(std::abs(y - 1));
        mainDrawGrid->setCol(x);
        mainDrawGrid->setRow(y);
    });
}

// ---- Painting a cell ---------------------------------------------------------------------------

void MapEditorWindow::paintCell(int x, int y) {
    const int mode = selectDrawingModeComboBox->currentIndex();
    if (mode == DontDraw || !editorFilesValid())
        return;
    writePaintedCell(mode, x, y);
    mainDrawGrid->redrawCell(x, y); // reads the map again: after its writer let it go
}

void MapEditorWindow::writePaintedCell(int mode, int x, int y) {
    // The cell is read under the same declaration as it is written: what an interrupted
    // operation left is repaired before the altitude it adds to is read.
    MapCellWriter map(mapPath());
    TMapCell cell = map.read(x, y);
    if (mode == SelectedTile)
        cell.Tile = static_cast<std::uint16_t>(CheckRange(selectedTile_, 0, 65535));
    else if (mode >= FirstGroup)
        cell.Tile = PickNamedTileByName(context_.state.RandomSeed,
                                        Std(selectDrawingModeComboBox->currentText()));
    const int z = zValue();
    switch (altitudeButtons->checkedId()) {
    case AddZ:
        cell.Altitude = ClampedAltitude(cell.Altitude + z);
        break;
    case SubtractZ:
        cell.Altitude = ClampedAltitude(cell.Altitude - z);
        break;
    default:
        cell.Altitude = ClampedAltitude(z);
        break;
    }
    map.write(x, y, cell);
    map.close();
}

// ---- Drawing -----------------------------------------------------------------------------------

void MapEditorWindow::prepareMainPaint(const QRect& cells) {
    paintReadsMap_ = false;
    paintArea_ = {};
    paintCells_.clear();
    try {
        paintReadsMap_ = editorFilesValid();
        if (!paintReadsMap_)
            return;
        pixmaps_.refresh(Std(uoPathEdit->text()));
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
        labels_.draw(painter, rect.topLeft(), QStringLiteral(" %1 ").arg(int{cell.Altitude}));
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
        if (showCheckBox->isChecked())
            labels_.draw(painter, rect.topLeft(), QLatin1Char(' ') + Hex(row) + QLatin1Char(' '));
    } catch (const std::exception& error) {
        readErrors_.report(error);
    }
}

} // namespace lw
