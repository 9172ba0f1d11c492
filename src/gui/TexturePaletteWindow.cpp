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
    pageControl_ = Named(new QTabWidget(this), "PageControl");
    auswahlSheet_ = Named(new QWidget(pageControl_), "AuswahlSheet");
    configSheet_ = Named(new QWidget(pageControl_), "ConfigSheet");
    pageControl_->addTab(auswahlSheet_, QStringLiteral("Auswahl"));
    pageControl_->addTab(configSheet_, QStringLiteral("Konfigurieren"));
    // The lines are what the user looks at first; the grid stays empty until one is chosen.
    pageControl_->setCurrentWidget(configSheet_);
    root->addWidget(pageControl_, 1);

    auto* auswahl = new QVBoxLayout(auswahlSheet_);
    auswahl->setContentsMargins(0, 0, 0, 0);
    textureAuswahlGrid_ = Named(new gui::DrawGrid(auswahlSheet_), "TextureAuswahlGrid");
    textureAuswahlGrid_->setColCount(1);
    textureAuswahlGrid_->setRowCount(1);
    textureAuswahlGrid_->setCellSize(kCellSide, kCellSide);
    textureAuswahlGrid_->setBackground(palette().color(QPalette::Button));
    auswahl->addWidget(textureAuswahlGrid_);

    auto* config = new QVBoxLayout(configSheet_);
    config->setContentsMargins(0, 0, 0, 0);
    configMemo_ = Named(new QPlainTextEdit(configSheet_), "ConfigMemo");
    configMemo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    configMemo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    configMemo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QStringList lines;
    for (const char* line : kBuiltInPaletteLines)
        lines << QString::fromLatin1(line);
    configMemo_->setPlainText(lines.join(QLatin1Char('\n')));
    configMemo_->installEventFilter(this);
    config->addWidget(configMemo_);

    auto* auswahllPanel = Named(new QWidget(this), "AuswahllPanel");
    auswahllPanel->setFixedHeight(kPanelHeight);
    auto* panel = new QHBoxLayout(auswahllPanel);
    panel->setContentsMargins(2, 1, 2, 2);
    panel->setSpacing(6);
    auswahlCombo_ = Named(new QComboBox(auswahllPanel), "AuswahlCombo");
    showCheckBox_ =
        Named(new QCheckBox(QStringLiteral("ID's anzeigen"), auswahllPanel), "ShowCheckBox");
    showCheckBox_->setChecked(true);
    panel->addWidget(auswahlCombo_, 1);
    panel->addWidget(showCheckBox_);
    root->addWidget(auswahllPanel);

    textureAuswahlGrid_->setPreparePaint([this](const QRect&) { preparePaint(); });
    textureAuswahlGrid_->setDrawCell(
        [this](QPainter& painter, int col, int row, const QRect& rect) {
            drawCell(painter, col, row, rect);
        });
    textureAuswahlGrid_->setClick([this] { auswahlGridClicked(); });
    connect(auswahlCombo_, &QComboBox::currentIndexChanged, this, [this] { rebuildGrid(); });
    connect(showCheckBox_, &QCheckBox::clicked, this,
            [this] { textureAuswahlGrid_->viewport()->update(); });
}

TexturePaletteWindow::~TexturePaletteWindow() = default;

void TexturePaletteWindow::setMapEditor(PictureFolderFn pictureFolder, SelectTileFn selectTile) {
    pictureFolder_ = std::move(pictureFolder);
    selectTile_ = std::move(selectTile);
}

void TexturePaletteWindow::showing() {
    configMemoExit();
}

bool TexturePaletteWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == configMemo_ && event->type() == QEvent::FocusOut)
        configMemoExit();
    return ToolWindow::eventFilter(watched, event);
}

// ---- The list and the grid ---------------------------------------------------------------------

void TexturePaletteWindow::configMemoExit() {
    const int selected = auswahlCombo_->currentIndex();
    const int count = auswahlCombo_->count();
    {
        const QSignalBlocker quiet(auswahlCombo_);
        auswahlCombo_->clear();
        const QTextDocument& text = *configMemo_->document();
        for (QTextBlock line = text.begin(); line.isValid(); line = line.next())
            auswahlCombo_->addItem(QString::fromStdString(ParsePaletteLine(Std(line.text())).Name));
        // More lines than before: the old index may now mean another line, so none is chosen.
        auswahlCombo_->setCurrentIndex(auswahlCombo_->count() > count ? -1 : selected);
    }
    if (auswahlCombo_->count() <= count)
        rebuildGrid();
    textureAuswahlGrid_->viewport()->update();
}

std::optional<PaletteLine> TexturePaletteWindow::selectedLine() const {
    const int index = auswahlCombo_->currentIndex();
    if (index < 0)
        return std::nullopt;
    const QTextBlock line = configMemo_->document()->findBlockByNumber(index);
    if (!line.isValid())
        return std::nullopt;
    return ParsePaletteLine(Std(line.text()));
}

void TexturePaletteWindow::rebuildGrid() {
    const std::optional<PaletteLine> line = selectedLine();
    if (!line)
        return;
    textureAuswahlGrid_->setRowCount(line->rowCount());
    textureAuswahlGrid_->setColCount(line->columnCount());
    textureAuswahlGrid_->viewport()->update();
}

std::int32_t TexturePaletteWindow::selectionCellTile(int row, int column) const {
    const std::optional<PaletteLine> line = selectedLine();
    if (!line)
        return kNoTile;
    return SelectionCellTile(*line, row, column, textureAuswahlGrid_->colCount());
}

void TexturePaletteWindow::auswahlGridClicked() {
    runGuarded([this] {
        if (!selectTile_)
            return;
        selectTile_(selectionCellTile(textureAuswahlGrid_->row(), textureAuswahlGrid_->col()));
    });
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
        SelectionCellTile(*paintLine_, row, column, textureAuswahlGrid_->colCount());
    if (id < 0 || id > kLastPictureId)
        return;
    try {
        pixmaps_.draw(painter, static_cast<std::uint16_t>(id), rect);
        if (showCheckBox_->isChecked())
            labels_.draw(painter, rect.topLeft(),
                         QLatin1Char(' ') + QString::fromStdString(IntToSpacedHex(id, 2)) +
                             QLatin1Char(' '));
    } catch (const std::exception& error) {
        readErrors_.report(error);
    }
}

} // namespace lw
