// The map editor on the demo world, off screen: a repaint of a 1600 x 1000 viewport (the first,
// pictures not yet made, and later ones, at every cell size), a scroll by one screen, a 20-cell
// painted stroke and the undo of a stroke, beside a raw read of the map bytes those cells lie in.
#include "Harness.h"
#include "app/Application.h"
#include "gui/GuiBench.h"
#include "gui/MapEditorWindow.h"
#include "gui/widgets/Dialogs.h"
#include "gui/widgets/DrawGrid.h"
#include "mapedit/Brush.h"
#include "world/Records.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>
#include <QSettings>
#include <QSpinBox>
#include <QWheelEvent>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace lw::bench {
namespace {

template <class Body> double Timed(Body&& body) {
    const auto start = std::chrono::steady_clock::now();
    body();
    return Seconds(std::chrono::steady_clock::now() - start);
}

void Mouse(QWidget* view, QEvent::Type type, const QPoint& at, Qt::MouseButtons held) {
    const QPointF position(at);
    QMouseEvent event(type, position, view->mapToGlobal(position),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(view, &event);
}

double Median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

// The bytes of the block columns under a viewport, read plainly: what the cells shown cost at
// the least.
double RawAreaRead(const std::string& map, int left, int top, int cols, int rows) {
    return Timed([&] {
        const int fd = ::open(map.c_str(), O_RDONLY);
        const int firstY = top / 8, lastY = (top + rows - 1) / 8;
        std::vector<char> column(static_cast<std::size_t>(lastY - firstY + 1) * kMapBlockSize);
        for (int bx = left / 8; bx <= (left + cols - 1) / 8; ++bx)
            if (::pread(fd, column.data(), column.size(),
                        static_cast<off_t>((bx * 512LL + firstY) * kMapBlockSize)) < 0)
                std::abort();
        ::close(fd);
    });
}

} // namespace

LW_BENCHMARK("Map editor (desktop)") {
    GuiApplication();
    const std::string folder = ScratchFolder();
    const std::string world = folder + "/world";
    const std::string command = std::string(LW_CLI_PATH) + " demo-world '" + world + "' >/dev/null";
    if (std::system(command.c_str()) != 0)
        std::abort();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(folder + "/settings"));
    {
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, "Tolvanek", "Loamwright");
        store.setValue("Mode", 0);
        store.setValue("Map0.mul", QString::fromStdString(world + "/map0.mul"));
        store.setValue("UOPath", QString::fromStdString(world));
    }

    SilentDialogs dialogs;
    Application program(&dialogs);
    MapEditorWindow& editor = program.mapEditForm();
    auto& grid = *editor.findChild<gui::DrawGrid*>("MainDrawGrid");
    // Sized and placed once, then hidden again: the first paint of the shown window is timed.
    editor.show();
    editor.resize(editor.size() + QSize(1600, 1000) - grid.viewport()->size());
    QCoreApplication::processEvents();
    editor.hide();
    QCoreApplication::processEvents();
    grid.setLeftCol(2566); // the coast west of the third town
    grid.setTopRow(2690);
    const int cols = grid.viewport()->width() / 46 + 1, rows = grid.viewport()->height() / 46 + 1;
    const std::string map = world + "/map0.mul";
    // A fresh program would have no pictures yet: this one has made those of another area only.
    const double first = Timed([&] {
        editor.show();
        QCoreApplication::processEvents();
    });
    std::vector<double> repaints, raws;
    for (int run = 0; run < 15; ++run) {
        raws.push_back(RawAreaRead(map, grid.leftCol(), grid.topRow(), cols, rows));
        repaints.push_back(Timed([&] { grid.viewport()->repaint(); }));
    }
    const double raw = Median(raws);
    std::printf("viewport %d x %d pixels, %d x %d cells\n", grid.viewport()->width(),
                grid.viewport()->height(), cols, rows);
    Report("Map editor first repaint (<= 100 ms)", first, raw, 0.100 / raw);
    Report("Map editor repaint, median (<= 16 ms)", Median(repaints), raw, 0.016 / raw);

    // Every cell size, the viewport full: Ctrl+wheel down one size at a time, pictures of the
    // size made by a first repaint.
    const QPointF middle = QPointF(grid.viewport()->rect().center());
    for (int level = 1; level < 5; ++level) {
        QWheelEvent wheel(middle, grid.viewport()->mapToGlobal(middle), {}, {0, -120}, Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(grid.viewport(), &wheel);
        grid.viewport()->repaint();
        const int pitch = grid.cellWidth() + grid.gridLineWidth();
        const int levelCols = grid.viewport()->width() / pitch + 1;
        const int levelRows = grid.viewport()->height() / pitch + 1;
        std::vector<double> times, levelRaws;
        for (int run = 0; run < 15; ++run) {
            levelRaws.push_back(
                RawAreaRead(map, grid.leftCol(), grid.topRow(), levelCols, levelRows));
            times.push_back(Timed([&] { grid.viewport()->repaint(); }));
        }
        const double levelRaw = Median(levelRaws);
        std::printf("%d px a cell: %d x %d cells\n", grid.cellWidth(), levelCols, levelRows);
        Report(
            ("Map editor repaint at " + std::to_string(grid.cellWidth()) + " px, median (<= 16 ms)")
                .c_str(),
            Median(times), levelRaw, 0.016 / levelRaw);
    }
    for (int level = 1; level < 5; ++level) {
        QWheelEvent wheel(middle, grid.viewport()->mapToGlobal(middle), {}, {0, 120}, Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(grid.viewport(), &wheel);
    }
    grid.setLeftCol(2566);
    grid.setTopRow(2690);

    std::vector<double> scrolls;
    for (int run = 0; run < 8; ++run)
        scrolls.push_back(Timed([&] {
            grid.setLeftCol(grid.leftCol() + (run % 2 == 0 ? 1 : -1) * grid.fullyVisibleCols());
            grid.viewport()->repaint();
        }));
    Report("Map editor scroll by one screen", Median(scrolls), raw, 0.016 / raw);

    // A stroke of 20 cells along a row: press, drag through, release.
    editor.findChild<QComboBox*>("SelectDrawingModeComboBox")
        ->setCurrentIndex(kFirstGroupListIndex + 6);
    QWidget* view = grid.viewport();
    const auto centre = [&](int i) {
        return grid.cellRect(grid.leftCol() + 2 + i, grid.topRow() + 3).center();
    };
    const double stroke = Timed([&] {
        Mouse(view, QEvent::MouseButtonPress, centre(0), Qt::LeftButton);
        for (int i = 1; i < 20; ++i)
            Mouse(view, QEvent::MouseMove, centre(i), Qt::LeftButton);
        Mouse(view, QEvent::MouseButtonRelease, centre(19), Qt::NoButton);
    });
    Report("Map editor 20-cell stroke (<= 40 ms)", stroke, raw, 0.040 / raw);
    std::printf("  one painted cell: %.3f ms (target <= 2 ms)\n", stroke / 20 * 1000);

    // A 100-cell stroke taken back with the "Undo" button, through the window, which draws the
    // cells again: pressed with the 9 x 9 brush, then dragged along a row of 19 below it with
    // the brush made 1 cell; beside plain reads and writes of those cells.
    auto* size = editor.findChild<QSpinBox*>("BrushSizeSpinBox");
    size->setValue(9);
    const QPoint pressed(grid.leftCol() + 10, grid.topRow() + 8);
    std::vector<QPoint> cells;
    for (int y = pressed.y() - 4; y <= pressed.y() + 4; ++y)
        for (int x = pressed.x() - 4; x <= pressed.x() + 4; ++x)
            cells.emplace_back(x, y);
    Mouse(view, QEvent::MouseButtonPress, grid.cellRect(pressed.x(), pressed.y()).center(),
          Qt::LeftButton);
    size->setValue(1);
    for (int x = pressed.x() - 9; x <= pressed.x() + 9; ++x) {
        cells.emplace_back(x, pressed.y() + 5);
        Mouse(view, QEvent::MouseMove, grid.cellRect(x, pressed.y() + 5).center(), Qt::LeftButton);
    }
    Mouse(view, QEvent::MouseButtonRelease,
          grid.cellRect(pressed.x() + 9, pressed.y() + 5).center(), Qt::NoButton);
    std::printf("stroke of %zu cells\n", cells.size());
    auto* undo = editor.findChild<QAbstractButton*>("UndoButton");
    auto* redo = editor.findChild<QAbstractButton*>("RedoButton");
    std::vector<double> undos;
    for (int run = 0; run < 11; ++run) {
        undos.push_back(Timed([&] { undo->click(); }));
        redo->click();
    }
    const double rawCells = Timed([&] {
        const int fd = ::open(map.c_str(), O_RDWR);
        for (const QPoint cell : cells) {
            const auto at = static_cast<off_t>(kClassicWorld.mapCellOffset(cell.x(), cell.y()));
            char bytes[3];
            if (::pread(fd, bytes, 3, at) != 3 || ::pwrite(fd, bytes, 3, at) != 3)
                std::abort();
        }
        ::close(fd);
    });
    Report("Map editor undo of the 100-cell stroke (<= 16 ms)", Median(undos), rawCells,
           0.016 / rawCells);
}

} // namespace lw::bench
