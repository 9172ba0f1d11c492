#include "gui/TexturePaletteWindow.h"

#include "gui/WindowContext.h"
#include "gui/widgets/Controls.h"
#include "gui/widgets/DrawGrid.h"
#include "util/SpacedHex.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <QPlainTextEdit>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTextBlock>
#include <QVBoxLayout>

namespace lw {
namespace {

using gui::Named;
using gui::Std;

constexpr int kCellSide = 45;
constexpr int kPanelHeight = 25;
constexpr int kLastPictureId = kImageIdCount - 1;

} // namespace

TexturePaletteWindow::TexturePaletteWindow(WindowContext& context, QWidget* parent)
    : ToolWindow(context.dialogs, context.busy, parent), context_(context),
      readErrors_(context.dialogs, *this) {
    setWindowFlags(Qt::Window);
    setObjectName("TLWTextureAuswahlForm");
    setWindowTitle(QStringLiteral("TextureAuswahl"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    resize(366, 331);
    move(658, 23);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    pageControl = Named(new QTabWidget(this), "PageControl");
    auswahlSheet = Named(new QWidget(pageControl), "AuswahlSheet");
    configSheet = Named(new QWidget(pageControl), "ConfigSheet");
    pageControl->addTab(auswahlSheet, QStringLiteral("Auswahl"));
    pageControl->addTab(configSheet, QStringLiteral("Konfigurieren"));
    // The lines are what the user looks at first; the grid stays empty until one is chosen.
    pageControl->setCurrentWidget(configSheet);
    root->addWidget(pageControl, 1);

    auto* auswahl = new QVBoxLayout(auswahlSheet);
    auswahl->setContentsMargins(0, 0, 0, 0);
    textureAuswahlGrid = Named(new gui::DrawGrid(auswahlSheet), "TextureAuswahlGrid");
    textureAuswahlGrid->setColCount(1);
    textureAuswahlGrid->setRowCount(1);
    textureAuswahlGrid->setCellSize(kCellSide, kCellSide);
    textureAuswahlGrid->setBackground(palette().color(QPalette::Button));
    auswahl->addWidget(textureAuswahlGrid);

    auto* config = new QVBoxLayout(configSheet);
    config->setContentsMargins(0, 0, 0, 0);
    configMemo = Named(new QPlainTextEdit(configSheet), "ConfigMemo");
    configMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    configMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    configMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QStringList lines;
    for (const char* line : kBuiltInPaletteLines)
        lines << QString::fromLatin1(line);
    configMemo->setPlainText(lines.join(QLatin1Char('\n')));
    configMemo->installEventFilter(this);
    config->addWidget(configMemo);

    auswahllPanel = Named(new QWidget(this), "AuswahllPanel");
    auswahllPanel->setFixedHeight(kPanelHeight);
    auto* panel = new QHBoxLayout(auswahllPanel);
    panel->setContentsMargins(2, 1, 2, 2);
    panel->setSpacing(6);
    auswahlCombo = Named(new QComboBox(auswahllPanel), "AuswahlCombo");
    showCheckBox =
        Named(new QCheckBox(QStringLiteral("ID's anzeigen"), auswahllPanel), "ShowCheckBox");
    showCheckBox->setChecked(true);
    panel->addWidget(auswahlCombo, 1);
    panel->addWidget(showCheckBox);
    root->addWidget(auswahllPanel);

    textureAuswahlGrid->setPreparePaint([this](const QRect&) { preparePaint(); });
    textureAuswahlGrid->setDrawCell([this](QPainter& painter, int col, int row, const QRect& rect) {
        drawCell(painter, col, row, rect);
    });
    textureAuswahlGrid->setClick([this] { auswahlGridClicked(); });
    connect(auswahlCombo, &QComboBox::currentIndexChanged, this, [this] { auswahlComboChanged(); });
    connect(showCheckBox, &QCheckBox::clicked, this, [this] { showCheckBoxClicked(); });
}

TexturePaletteWindow::~TexturePaletteWindow() = default;

void TexturePaletteWindow::setMapEditor(PictureFolderFn pictureFolder, SelectTileFn selectTile) {
    pictureFolder_ = std::move(pictureFolder);
    selectTile_ = std::move(selectTile);
}

void TexturePaletteWindow::showEvent(QShowEvent* event) {
    ToolWindow::showEvent(event);
    if (!event->spontaneous())
        runGuarded([this] { prepareForShow(); });
}

void TexturePaletteWindow::prepareForShow() {
    configMemoExit();
}

bool TexturePaletteWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == configMemo && event->type() == QEvent::FocusOut)
        configMemoExit();
    return ToolWindow::eventFilter(watched, event);
}

// ---- The list and the grid ---------------------------------------------------------------------

void TexturePaletteWindow::configMemoExit() {
    const int selected = auswahlCombo->currentIndex();
    const int count = auswahlCombo->count();
    {
        const QSignalBlocker quiet(auswahlCombo);
        auswahlCombo->clear();
        const QTextDocument& text = *configMemo->document();
        for (QTextBlock line = text.begin(); line.isValid(); line = line.next())
            auswahlCombo->addItem(QString::fromStdString(ParsePaletteLine(Std(line.text())).Name));
        // More lines than before: the old index may now mean another line, so none is chosen.
        auswahlCombo->setCurrentIndex(auswahlCombo->count() > count ? -1 : selected);
    }
    if (auswahlCombo->count() <= count)
        rebuildGrid();
    textureAuswahlGrid->viewport()->update();
}

void TexturePaletteWindow::auswahlComboChanged() {
    rebuildGrid();
}

std::optional<PaletteLine> TexturePaletteWindow::selectedLine() const {
    const int index = auswahlCombo->currentIndex();
    if (index < 0)
        return std::nullopt;
    const QTextBlock line = configMemo->document()->findBlockByNumber(index);
    if (!line.isValid())
        return std::nullopt;
    return ParsePaletteLine(Std(line.text()));
}

void TexturePaletteWindow::rebuildGrid() {
    const std::optional<PaletteLine> line = selectedLine();
    if (!line)
        return;
    textureAuswahlGrid->setRowCount(line->rowCount());
    textureAuswahlGrid->setColCount(line->columnCount());
    textureAuswahlGrid->viewport()->update();
}

std::int32_t TexturePaletteWindow::selectionCellTile(int row, int column) const {
    const std::optional<PaletteLine> line = selectedLine();
    if (!line)
        return kNoTile;
    return SelectionCellTile(*line, row, column, textureAuswahlGrid->colCount());
}

void TexturePaletteWindow::auswahlGridClicked() {
    runGuarded([this] {
        if (!selectTile_)
            return;
        selectTile_(selectionCellTile(textureAuswahlGrid->row(), textureAuswahlGrid->col()));
    });
}

void TexturePaletteWindow::showCheckBoxClicked() {
    textureAuswahlGrid->viewport()->update();
}

// ---- Drawing -----------------------------------------------------------------------------------

void TexturePaletteWindow::preparePaint() {
    paintLine_ = selectedLine();
    std::optional<std::string> folder;
    try {
        if (pictureFolder_)
            folder = pictureFolder_();
    } catch (const std::exception& error) {
        readErrors_.report(error);
    }
    // Other files may fail otherwise, or no longer fail: every cause may be told again.
    if (folder != paintFolder_)
        readErrors_.reset();
    paintFolder_ = folder;
    pixmaps_.refresh(folder);
}

void TexturePaletteWindow::drawCell(QPainter& painter, int column, int row, const QRect& rect) {
    if (!paintLine_)
        return; // the grid's background
    const std::int32_t id =
        SelectionCellTile(*paintLine_, row, column, textureAuswahlGrid->colCount());
    if (id < 0 || id > kLastPictureId)
        return;
    try {
        pixmaps_.draw(painter, static_cast<std::uint16_t>(id), rect);
        if (showCheckBox->isChecked())
            labels_.draw(painter, rect.topLeft(),
                         QLatin1Char(' ') + QString::fromStdString(IntToSpacedHex(id, 2)) +
                             QLatin1Char(' '));
    } catch (const std::exception& error) {
        readErrors_.report(error);
    }
}

} // namespace lw
