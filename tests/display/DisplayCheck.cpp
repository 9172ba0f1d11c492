// The display stage: the desktop program's windows on a real X server under a window manager, on
// the demo world, opened the way the program wires them. Each window is checked for its size, for
// staying as it is while the program idles, for the program's CPU meanwhile, for lying on the
// screen and for its controls lying inside it; the map editor also after a jump, a resize and a
// paint, its undo and redo, beside its overview, and at every cell size, where its repaint is
// timed. The pictures of docs/screenshots/ are taken here, window-manager frames included.
// Usage (scripts/display-check runs it under Xvfb and openbox):
//   lw_display_check DEMO-WORLD-FOLDER [SCREENSHOT-FOLDER]
#include "Checks.h"
#include "X11Desktop.h"
#include "app/Application.h"
#include "gui/MainWindow.h"
#include "gui/widgets/Dialogs.h"
#include "gui/widgets/DrawGrid.h"
#include "gui/widgets/Guarded.h"
#include "mapedit/MapCells.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWheelEvent>
#include <algorithm>
#include <cstdio>
#include <deque>
#include <optional>

namespace lw::display {
namespace {

// Message boxes come up for real when a check wants to look at them; every other question is
// answered at once. Tool windows are shown modally without a nested event loop, so that the
// checks go on while they are up; file dialogs answer with a prepared name.
class ScreenDialogs final : public gui::Dialogs {
public:
    std::function<void(QMessageBox&)> lookAtBox; // when set, boxes are shown and looked at
    std::function<void(QDialog&)> lookAtText;    // when set, text windows are shown and looked at
    std::deque<gui::MessageButton> answers;      // when empty, the first button is pressed
    QString saveAnswer;
    QString openAnswer;
    std::vector<gui::MessageRequest> messages;

    gui::MessageButton message(QWidget* parent, const gui::MessageRequest& request) override {
        messages.push_back(request);
        if (lookAtBox) {
            const std::unique_ptr<QMessageBox> box = gui::MakeMessageBox(parent, request);
            box->setWindowModality(Qt::ApplicationModal);
            box->show();
            lookAtBox(*box);
            box->hide();
        }
        if (!answers.empty()) {
            const gui::MessageButton answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return request.buttons.empty() ? gui::MessageButton::Ok : request.buttons.front();
    }
    std::optional<QString> openFileName(QWidget*, const gui::FileDialogRequest&) override {
        if (openAnswer.isEmpty())
            return std::nullopt;
        return openAnswer;
    }
    std::optional<QString> saveFileName(QWidget*, const gui::FileDialogRequest&) override {
        if (saveAnswer.isEmpty())
            return std::nullopt;
        return saveAnswer;
    }
    void showText(QWidget* parent, const gui::TextRequest& request) override {
        if (!lookAtText)
            return;
        const std::unique_ptr<QDialog> window = gui::MakeTextWindow(parent, request);
        window->setWindowModality(Qt::ApplicationModal);
        window->show();
        lookAtText(*window);
        window->hide();
    }
    void showModal(QDialog& window) override {
        window.setWindowModality(Qt::ApplicationModal);
        window.show();
    }
};

// Runs a function each time a window is shown.
class ShowWatch final : public QObject {
public:
    ShowWatch(QWidget& window, std::function<void()> shown)
        : window_(window), shown_(std::move(shown)) {
        window.installEventFilter(this);
    }
    ~ShowWatch() override { window_.removeEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show)
            shown_();
        return false;
    }

private:
    QWidget& window_;
    std::function<void()> shown_;
};

template <class W> W& Control(QWidget& window, const char* name) {
    W* control = window.findChild<W*>(QString::fromLatin1(name));
    if (control == nullptr) {
        std::fprintf(stderr, "no control %s in %s\n", name, qPrintable(window.objectName()));
        std::exit(2);
    }
    return *control;
}

QWidget& TopLevel(const char* name) {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == QLatin1String(name))
            return *window;
    for (QWidget* window : QApplication::allWidgets())
        if (window->isWindow() && window->objectName() == QLatin1String(name))
            return *window;
    std::fprintf(stderr, "no window %s\n", name);
    std::exit(2);
}

void Type(QLineEdit& field, const QString& text) {
    field.setFocus();
    field.selectAll();
    QTest::keyClicks(&field, text);
}

void StorePaths(const QString& world, std::optional<int> mode) {
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, "Tolvanek", "Loamwright");
    store.clear();
    store.setValue("StaIdx0.mul", world + "/staidx0.mul");
    store.setValue("Statics0.mul", world + "/statics0.mul");
    store.setValue("UOX3.wsc", world + "/statics.cfg");
    store.setValue("Map0.mul", world + "/map0.mul");
    store.setValue("UOPath", world);
    store.setValue("O-StaIdx0.mul", world + "/original/staidx0.mul");
    store.setValue("O-Statics0.mul", world + "/original/statics0.mul");
    store.setValue("O-Map0.mul", world + "/original/map0.mul");
    if (mode)
        store.setValue("Mode", *mode);
}

QPoint Distance(const QRect& a, const QRect& b) {
    const QPoint d = a.center() - b.center();
    return {std::abs(d.x()), std::abs(d.y())};
}

// Within the few pixels of a window-manager frame that a new window's placement cannot know yet.
bool IsCentredOver(const QRect& window, const QRect& over) {
    const QPoint d = Distance(window, over);
    return d.x() <= 12 && d.y() <= 12;
}

class Run {
public:
    Run(QString world, QString shots, X11Desktop desktop)
        : world_(std::move(world)), shots_(std::move(shots)), desktop_(desktop) {}

    int all() {
        checks_.check(WaitUntil([&] { return !desktop_.windowManagerName().isEmpty(); }, 10000),
                      QStringLiteral("a window manager runs"), desktop_.windowManagerName());
        firstStart();
        normalMode();
        simpleMode();
        std::printf("display check: %d checks, %d failed\n", checks_.count(), checks_.failures());
        return checks_.failures() == 0 ? 0 : 1;
    }

private:
    QRect frame(const QWidget& window) const { return FrameOf(desktop_, window); }

    void shoot(const QRect& area, const char* file) {
        if (shots_.isEmpty())
            return;
        const QString path = shots_ + QLatin1Char('/') + QLatin1String(file);
        const QRect onScreen = area.intersected(QGuiApplication::primaryScreen()->geometry());
        const bool saved =
            QGuiApplication::primaryScreen()
                ->grabWindow(0, onScreen.x(), onScreen.y(), onScreen.width(), onScreen.height())
                .save(path);
        checks_.check(saved, QStringLiteral("picture %1 taken").arg(QLatin1String(file)));
    }

    void checkNoMaximise(QWidget& window, const QString& name) {
        const QStringList actions = desktop_.allowedActions(window);
        checks_.check(!actions.isEmpty() &&
                          !actions.contains(QStringLiteral("_NET_WM_ACTION_MAXIMIZE_HORZ")) &&
                          !actions.contains(QStringLiteral("_NET_WM_ACTION_MAXIMIZE_VERT")),
                      name + QStringLiteral(" offers no maximise"), actions.join(QLatin1Char(' ')));
    }

    // The first start asks for the mode before the main window shows its paths; the question
    // stands in the middle of the screen.
    void firstStart() {
        StorePaths(world_, std::nullopt);
        ScreenDialogs dialogs;
        bool asked = false;
        dialogs.lookAtBox = [&](QMessageBox& box) {
            asked = true;
            checks_.check(WaitSettled(desktop_, {&box}),
                          QStringLiteral("the first-start mode question: shown and settled"),
                          StateText(desktop_, {&box}));
            const QRect screen = box.screen()->geometry();
            checks_.check(IsCentredOver(frame(box), screen),
                          QStringLiteral("the first-start mode question stands in the middle of "
                                         "the screen"),
                          RectText(frame(box)) + QStringLiteral(" on ") + RectText(screen));
        };
        dialogs.answers = {gui::MessageButton::No};
        Application program(&dialogs);
        program.mainForm().show();
        checks_.check(asked, QStringLiteral("the first start asks for the mode"));
        program.mainForm().close();
    }

    void normalMode() {
        StorePaths(world_, 0);
        ScreenDialogs dialogs;
        Application program(&dialogs);
        MainWindow& main = program.mainForm();
        main.show();
        CheckWindows(checks_, desktop_, QStringLiteral("main window"),
                     {{&main, QStringLiteral("main window"), {619, 425}, Sizing::Fixed}});
        checkNoMaximise(main, QStringLiteral("main window"));
        errorBox(dialogs, main);

        Control<QPushButton>(main, "GetStaticIndexButton").click();
        Type(Control<QLineEdit>(main, "X1Edit"), "1496");
        Type(Control<QLineEdit>(main, "X2Edit"), "1535");
        Type(Control<QLineEdit>(main, "Y1Edit"), "1600");
        Type(Control<QLineEdit>(main, "Y2Edit"), "1639");
        Control<QPushButton>(main, "GetStaticBlockButton").click();
        main.repaint();
        CheckWindows(checks_, desktop_, QStringLiteral("main window with a block listed"),
                     {{&main, QStringLiteral("main window"), {619, 425}, Sizing::Fixed}});
        shoot(frame(main), "main-window.png");

        diffWindow(dialogs, main);
        fillClearWindow(main);
        restoreWindow(main);
        diffChanges(dialogs, main);
        mapEditor(main);
        main.close();
    }

    // An error about a file names the file and its path on a line of its own, which the box
    // leaves whole.
    void errorBox(ScreenDialogs& dialogs, QWidget& parent) {
        const QString detail =
            QStringLiteral("map0.mul (target map): ") + world_ + QStringLiteral("/map0.mul");
        dialogs.lookAtBox = [&](QMessageBox& box) {
            const bool settled = WaitSettled(desktop_, {&box});
            checks_.check(settled, QStringLiteral("an error box: shown and settled"),
                          StateText(desktop_, {&box}));
            auto& label = Control<QLabel>(box, "qt_msgbox_informativelabel");
            const int needed = label.fontMetrics().horizontalAdvance(detail);
            const int room = label.contentsRect().width();
            checks_.check(needed <= room && box.screen()->geometry().contains(frame(box)),
                          QStringLiteral("an error box shows its file and path on one line"),
                          QStringLiteral("%1 px of text in %2 px, box %3")
                              .arg(needed)
                              .arg(room)
                              .arg(RectText(frame(box))));
        };
        gui::ShowError(dialogs, &parent, QStringLiteral("Dateizugriff verweigert"), detail);
        dialogs.lookAtBox = nullptr;
    }

    void diffWindow(ScreenDialogs& dialogs, MainWindow& main) {
        Control<QPushButton>(main, "LWDiffButton").click();
        QWidget& diff = TopLevel("TLWDiffForm");
        const WindowSpec spec{&diff, QStringLiteral("diff window"), {457, 361}, Sizing::Fixed};
        CheckWindows(checks_, desktop_, QStringLiteral("diff window"), {spec});
        checkNoMaximise(diff, QStringLiteral("diff window"));
        checkPathTips(diff, {"MStaIdxEdit", "MStaticsEdit"}, QStringLiteral("diff window"));
        shoot(frame(diff), "lw-diff.png");

        // The progress window is looked at while the generation waits at one of its steps: from
        // its showing on, each pass of the event loop (the generation's yields) looks whether a
        // step has begun.
        QTemporaryDir out;
        dialogs.saveAnswer = out.filePath(QStringLiteral("demo.lw2"));
        QWidget& progress = TopLevel("ProgressForm");
        const auto& stage = Control<QLabel>(progress, "ProgressLabel");
        bool seen = false;
        std::function<void()> look = [&] {
            if (seen || !progress.isVisible())
                return;
            if (stage.text() == QLatin1String("Working, please wait...")) {
                QTimer::singleShot(0, look);
                return;
            }
            seen = true;
            checkProgressWindow(progress, main);
        };
        ShowWatch shown(progress, [&] { QTimer::singleShot(0, look); });
        Control<QPushButton>(diff, "GenerateButton").click();
        checks_.check(seen,
                      QStringLiteral("the progress window is shown during a diff generation"));
        checks_.check(QFileInfo(dialogs.saveAnswer).size() > 0,
                      QStringLiteral("the diff generation wrote its file"));
        checks_.check(WaitUntil([&] { return !progress.isVisible(); }, 5000),
                      QStringLiteral("the progress window goes with the generation"));
        dialogs.saveAnswer.clear();
        diff.close();
    }

    void checkProgressWindow(QWidget& progress, QWidget& main) {
        const WindowSpec spec{&progress,
                              QStringLiteral("progress window"),
                              {297, 49},
                              Sizing::Fixed,
                              &Control<QWidget>(progress, "ClientArea")};
        CheckWindows(checks_, desktop_, QStringLiteral("progress window during a diff generation"),
                     {spec});
        checks_.check(IsCentredOver(frame(progress), frame(main)),
                      QStringLiteral("the progress window stands over the main window"),
                      RectText(frame(progress)) + QStringLiteral(" over ") + RectText(frame(main)));
        shoot(frame(progress).adjusted(-24, -24, 24, 24), "progress.png");
    }

    void checkPathTips(QWidget& window, std::initializer_list<const char*> names,
                       const QString& windowName) {
        for (const char* name : names) {
            auto& field = Control<QLineEdit>(window, name);
            checks_.check(!field.text().isEmpty() && field.toolTip() == field.text(),
                          windowName + QStringLiteral(": %1 shows its whole path as a tooltip")
                                           .arg(QLatin1String(name)),
                          field.toolTip());
        }
    }

    void fillClearWindow(MainWindow& main) {
        Control<QPushButton>(main, "FillClearButton").click();
        QWidget& fillClear = TopLevel("TLWFillClearForm");
        const WindowSpec spec{
            &fillClear, QStringLiteral("fill/clear window"), {385, 257}, Sizing::Fixed};
        CheckWindows(checks_, desktop_, QStringLiteral("fill/clear window"), {spec});
        checkNoMaximise(fillClear, QStringLiteral("fill/clear window"));
        checkPathTips(fillClear, {"MStaIdxEdit", "MStaticsEdit"},
                      QStringLiteral("fill/clear window"));
        // The first town's rectangle, to be grassed over.
        Type(Control<QLineEdit>(fillClear, "ClearAreaTopEdit"), "1600");
        Type(Control<QLineEdit>(fillClear, "ClearAreaLeftEdit"), "1496");
        Type(Control<QLineEdit>(fillClear, "ClearAreaRightEdit"), "1535");
        Type(Control<QLineEdit>(fillClear, "ClearAreaBottomEdit"), "1639");
        Control<QComboBox>(fillClear, "FillTileComboBox").setCurrentText("Random grass");
        Control<QComboBox>(fillClear, "FillTileComboBox").setFocus();
        fillClear.repaint();
        CheckWindows(checks_, desktop_, QStringLiteral("fill/clear window filled in"), {spec});
        shoot(frame(fillClear), "fill-clear.png");
        fillClear.close();
    }

    // A melt of the town listed and a compaction leave two restore points to list.
    void restoreWindow(MainWindow& main) {
        Control<QPushButton>(main, "MeltBlockButton").click();
        Control<QPushButton>(main, "CompactButton").click();
        Control<QPushButton>(main, "RestoreButton").click();
        QWidget& restore = TopLevel("RestoreForm");
        const WindowSpec spec{
            &restore, QStringLiteral("restore window"), {640, 360}, Sizing::Initial};
        CheckWindows(checks_, desktop_, QStringLiteral("restore window"), {spec});
        auto& list = Control<QTreeWidget>(restore, "RestorePointList");
        checks_.check(list.topLevelItemCount() == 2,
                      QStringLiteral("the restore window lists the melt and the compaction"),
                      QString::number(list.topLevelItemCount()));
        for (int i = 0; i < list.topLevelItemCount(); ++i)
            list.topLevelItem(i)->setExpanded(true);
        restore.repaint();
        shoot(frame(restore), "restore.png");
        restore.close();
    }

    // After the melt of the restore window's step the demo world differs from its original: a diff
    // of the two, and the look at it that "Show changes" gives.
    void diffChanges(ScreenDialogs& dialogs, MainWindow& main) {
        Control<QPushButton>(main, "LWDiffButton").click();
        QWidget& diff = TopLevel("TLWDiffForm");
        QTemporaryDir out;
        dialogs.saveAnswer = out.filePath(QStringLiteral("town.lw2"));
        Control<QPushButton>(diff, "GenerateButton").click();
        dialogs.saveAnswer.clear();
        bool looked = false;
        dialogs.lookAtText = [&](QDialog& text) {
            looked = true;
            const WindowSpec spec{
                &text, QStringLiteral("diff changes window"), {640, 400}, Sizing::Initial};
            CheckWindows(checks_, desktop_, QStringLiteral("diff changes window"), {spec});
            checks_.check(IsCentredOver(frame(text), frame(diff)),
                          QStringLiteral("the diff changes window stands over the diff window"),
                          RectText(frame(text)) + QStringLiteral(" over ") + RectText(frame(diff)));
            const QString shown = Control<QPlainTextEdit>(text, "DiffInfoText").toPlainText();
            checks_.check(shown.contains(QStringLiteral("fits the originals: yes")) &&
                              shown.contains(QStringLiteral(" changed blocks")),
                          QStringLiteral("the diff changes window shows the diff's changes"),
                          shown.left(200));
            shoot(frame(text), "diff-changes.png");
        };
        dialogs.openAnswer = out.filePath(QStringLiteral("town.lw2"));
        Control<QPushButton>(diff, "ShowChangesButton").click();
        dialogs.openAnswer.clear();
        dialogs.lookAtText = nullptr;
        checks_.check(looked, QStringLiteral("\"Show changes\" opens its window"));
        diff.close();
    }

    void mapEditor(MainWindow& main) {
        Control<QPushButton>(main, "MapEditButton").click();
        QWidget& editor = TopLevel("TLWMapEditForm");
        QWidget& palette = TopLevel("TLWTextureAuswahlForm");
        WindowSpec editorSpec{&editor, QStringLiteral("map editor"), {697, 575}, Sizing::Initial};
        const WindowSpec paletteSpec{
            &palette, QStringLiteral("texture palette"), {366, 331}, Sizing::Initial};
        CheckWindows(checks_, desktop_, QStringLiteral("map editor"), {editorSpec, paletteSpec});
        checks_.check(!frame(editor).intersects(frame(palette)),
                      QStringLiteral("the palette stands beside the map editor"),
                      RectText(frame(palette)) + QStringLiteral(" beside ") +
                          RectText(frame(editor)));
        checks_.check(desktop_.isStackedAbove(palette, editor),
                      QStringLiteral("the palette stands above the map editor"));

        // Enter in a jump field jumps.
        auto& grid = Control<gui::DrawGrid>(editor, "MainDrawGrid");
        Type(Control<QLineEdit>(editor, "XJumpEdit"), "2584");
        Type(Control<QLineEdit>(editor, "YJumpEdit"), "2716");
        QTest::keyClick(&Control<QLineEdit>(editor, "YJumpEdit"), Qt::Key_Return);
        checks_.check(grid.col() == 2584 && grid.row() == 2716 &&
                          grid.viewport()->rect().contains(grid.cellRect(2584, 2716)),
                      QStringLiteral("Enter in a jump field brings the cell into view"),
                      QStringLiteral("current cell %1, %2").arg(grid.col()).arg(grid.row()));
        CheckWindows(checks_, desktop_, QStringLiteral("map editor after a jump"),
                     {editorSpec, paletteSpec});

        // The picture: a grass group chosen, the pointer on a cell, the palette on a path group.
        auto& modes = Control<QComboBox>(editor, "SelectDrawingModeComboBox");
        modes.setCurrentIndex(modes.findText(QStringLiteral("Random grass")));
        Control<gui::DrawGrid>(editor, "TextureDrawGrid").setTopRow(0xA8);
        const QPointF pointer = grid.cellRect(grid.leftCol() + 6, grid.topRow() + 5).center();
        QMouseEvent move(QEvent::MouseMove, pointer, grid.viewport()->mapToGlobal(pointer),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(grid.viewport(), &move);
        Control<QComboBox>(palette, "AuswahlCombo").setCurrentIndex(1);
        auto& pages = Control<QTabWidget>(palette, "PageControl");
        pages.setCurrentIndex(0);
        editor.repaint();
        palette.repaint();
        shoot(frame(editor).united(frame(palette)), "map-edit.png");
        shoot(frame(palette), "texture-auswahl.png");

        editor.resize(1200, 800);
        editorSpec.size = {1200, 800};
        CheckWindows(checks_, desktop_, QStringLiteral("map editor resized to 1200 x 800"),
                     {editorSpec});
        editor.resize(697, 575);
        editorSpec.size = {697, 575};
        CheckWindows(checks_, desktop_, QStringLiteral("map editor resized back"), {editorSpec});

        // A tile picked in the palette, painted onto a cell.
        auto& tiles = Control<gui::DrawGrid>(palette, "TextureAuswahlGrid");
        QTest::mouseClick(tiles.viewport(), Qt::LeftButton, {}, tiles.cellRect(0, 0).center());
        const std::uint16_t picked = 0x7D; // the first tile of the path group
        const QPoint cell(grid.leftCol() + 3, grid.topRow() + 3);
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {},
                          grid.cellRect(cell.x(), cell.y()).center());
        checks_.check(ReadMapCell((world_ + "/map0.mul").toStdString(), cell.x(), cell.y()).Tile ==
                          picked,
                      QStringLiteral("a click paints the tile picked in the palette"));
        CheckWindows(checks_, desktop_, QStringLiteral("map editor after a paint"),
                     {editorSpec, paletteSpec});
        undoAndRedo(editor, grid, cell, picked);
        overviewAndZoom(editor, palette, grid, editorSpec, paletteSpec);

        editor.close();
        checks_.check(WaitUntil([&] { return !palette.isVisible(); }, 5000),
                      QStringLiteral("the palette closes with the map editor"));
    }

    // The paint taken back with Ctrl+Z and painted again with the "Redo" button.
    void undoAndRedo(QWidget& editor, gui::DrawGrid& grid, QPoint cell, std::uint16_t picked) {
        const std::string map = (world_ + "/map0.mul").toStdString();
        auto& undo = Control<QAbstractButton>(editor, "UndoButton");
        auto& redo = Control<QAbstractButton>(editor, "RedoButton");
        checks_.check(undo.isEnabled() && !redo.isEnabled(),
                      QStringLiteral("after a paint \"Undo\" is offered, \"Redo\" is not"));
        editor.activateWindow();
        WaitUntil([&] { return editor.isActiveWindow(); }, 2000);
        grid.setFocus();
        QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
        checks_.check(ReadMapCell(map, cell.x(), cell.y()).Tile != picked && redo.isEnabled(),
                      QStringLiteral("Ctrl+Z takes the paint back"));
        redo.click();
        checks_.check(ReadMapCell(map, cell.x(), cell.y()).Tile == picked && undo.isEnabled(),
                      QStringLiteral("\"Redo\" paints it again"));
    }

    static double Median(std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    }

    void wheel(gui::DrawGrid& grid, int delta) {
        const QPointF at = grid.viewport()->rect().center();
        QWheelEvent event(at, grid.viewport()->mapToGlobal(at), {}, {0, delta}, Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(grid.viewport(), &event);
    }

    // The overview opened from the editor, drawn in the background; then the editor's repaint at
    // each cell size with a large viewport full of cells, on this X server; and the picture of
    // the editor at a small size beside the overview.
    void overviewAndZoom(QWidget& editor, QWidget& palette, gui::DrawGrid& grid,
                         WindowSpec editorSpec, const WindowSpec& paletteSpec) {
        QElapsedTimer timer;
        timer.start();
        Control<QAbstractButton>(editor, "OverviewButton").click();
        QWidget& overview = TopLevel("TLWOverviewForm");
        auto& picture = Control<QWidget>(overview, "OverviewPicture");
        const auto drawn = [&] {
            const QImage shot = picture.grab().toImage();
            const QRgb middle = shot.pixel(shot.width() / 2, shot.height() / 3);
            return qRed(middle) + qGreen(middle) + qBlue(middle) > 0;
        };
        const bool appeared = WaitUntil(drawn, 10000);
        const qint64 ms = timer.elapsed();
        checks_.check(appeared && ms <= 2000,
                      QStringLiteral("the overview appears drawn within 2 s"),
                      QStringLiteral("%1 ms").arg(ms));
        const WindowSpec overviewSpec{
            &overview, QStringLiteral("overview"), {366, 244}, Sizing::Initial};
        CheckWindows(checks_, desktop_, QStringLiteral("map editor with the overview"),
                     {editorSpec, paletteSpec, overviewSpec});
        checks_.check(!frame(overview).intersects(frame(editor)),
                      QStringLiteral("the overview stands beside the map editor"),
                      RectText(frame(overview)) + QStringLiteral(" beside ") +
                          RectText(frame(editor)));
        checks_.check(!frame(overview).intersects(frame(palette)),
                      QStringLiteral("the overview leaves the palette uncovered"),
                      RectText(frame(overview)) + QStringLiteral(" below ") +
                          RectText(frame(palette)));

        // The brush and its preview: a group chosen, three cells wide.
        auto& modes = Control<QComboBox>(editor, "SelectDrawingModeComboBox");
        modes.setCurrentIndex(modes.findText(QStringLiteral("Random grass")));
        Control<QSpinBox>(editor, "BrushSizeSpinBox").setValue(3);
        const auto& preview = Control<QLabel>(editor, "TilePreview");
        checks_.check(!preview.pixmap().isNull() && preview.pixmap().size() == QSize(64, 64) &&
                          preview.toolTip() == QLatin1String("00 03-00 06"),
                      QStringLiteral("the preview shows the group being painted"),
                      preview.toolTip());

        editor.resize(1180, 900);
        WaitSettled(desktop_, {&editor});
        std::printf("editor repaint on the X server, viewport %d x %d:\n", grid.viewport()->width(),
                    grid.viewport()->height());
        for (int level = 0; level < 5; ++level) {
            if (level > 0)
                wheel(grid, -120);
            grid.viewport()->repaint(); // pictures of this size made
            std::vector<double> times;
            for (int run = 0; run < 15; ++run) {
                QElapsedTimer one;
                one.start();
                grid.viewport()->repaint();
                times.push_back(static_cast<double>(one.nsecsElapsed()) / 1e6);
            }
            const double median = Median(times);
            checks_.check(median <= 16.0,
                          QStringLiteral("repaint at %1 px a cell: median at most 16 ms")
                              .arg(grid.cellWidth()),
                          QStringLiteral("%1 ms").arg(median, 0, 'f', 2));
        }
        wheel(grid, 120); // 5 pixels a cell
        editor.resize(697, 575);
        editorSpec.size = {697, 575};
        grid.setLeftCol(2300);
        grid.setTopRow(2500);
        CheckWindows(
            checks_, desktop_,
            QStringLiteral("map editor at %1 px a cell with the overview").arg(grid.cellWidth()),
            {editorSpec, paletteSpec, overviewSpec});
        editor.repaint();
        overview.repaint();
        shoot(frame(editor).united(frame(palette)).united(frame(overview)),
              "map-edit-overview.png");
        for (int i = 0; i < 4; ++i)
            wheel(grid, 120);
    }

    void simpleMode() {
        StorePaths(world_, 1);
        ScreenDialogs dialogs;
        Application program(&dialogs);
        MainWindow& main = program.mainForm();
        main.show();
        CheckWindows(checks_, desktop_, QStringLiteral("main window in Simple mode"),
                     {{&main, QStringLiteral("main window"), {619, 425}, Sizing::Fixed}});
        shoot(frame(main), "main-window-simple.png");
        main.close();
    }

    QString world_;
    QString shots_;
    X11Desktop desktop_;
    CheckList checks_;
};

} // namespace
} // namespace lw::display

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Loamwright"));
    // A steady caret: the pictures do not depend on the moment they are taken.
    QApplication::setCursorFlashTime(0);
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: lw_display_check DEMO-WORLD-FOLDER [SCREENSHOT-FOLDER]\n");
        return 2;
    }
    const std::optional<lw::display::X11Desktop> desktop = lw::display::X11Desktop::connect();
    if (!desktop) {
        std::fprintf(stderr, "lw_display_check needs the xcb platform (an X display)\n");
        return 2;
    }
    const QString world = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const QString shots = argc == 3 ? QString::fromLocal8Bit(argv[2]) : QString();
    if (!shots.isEmpty())
        QDir().mkpath(shots);
    // The checks' settings live in a folder of their own; the user's stay untouched.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    lw::display::Run run(world, shots, *desktop);
    return run.all();
}
