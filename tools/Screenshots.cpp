// Renders every window of the desktop program on the demo world into PNG files, off screen,
// for the README and for checking the windows' texts by eye.
// Usage: lw_screenshots DEMO-WORLD-FOLDER OUTPUT-FOLDER
#include "app/Application.h"
#include "gui/DiffWindow.h"
#include "gui/FillClearWindow.h"
#include "gui/MainWindow.h"
#include "gui/MapEditorWindow.h"
#include "gui/ProgressWindow.h"
#include "gui/TexturePaletteWindow.h"
#include "gui/widgets/Dialogs.h"
#include "gui/widgets/DrawGrid.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstdio>
#include <filesystem>

namespace {

// Answers every box with its first button and reports it, so a run never waits.
class ReportingDialogs final : public lw::gui::Dialogs {
public:
    lw::gui::MessageButton message(QWidget*, const lw::gui::MessageRequest& request) override {
        std::fprintf(stderr, "message box \"%s\": %s\n", qPrintable(request.title),
                     qPrintable(request.text));
        return request.buttons.empty() ? lw::gui::MessageButton::Ok : request.buttons.front();
    }
    std::optional<QString> openFileName(QWidget*, const lw::gui::FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<QString> saveFileName(QWidget*, const lw::gui::FileDialogRequest&) override {
        return std::nullopt;
    }
    void showModal(QDialog&) override {}
};

// The client area under a plain caption bar, so the picture shows the window's caption too.
QImage WithCaption(QWidget& window) {
    const QPixmap client = window.grab();
    constexpr int kCaptionHeight = 22;
    QImage image(client.width(), client.height() + kCaptionHeight, QImage::Format_RGB32);
    image.fill(QColor(0, 0, 128));
    QPainter painter(&image);
    painter.setPen(Qt::white);
    QFont font = window.font();
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRect(6, 0, client.width() - 12, kCaptionHeight), Qt::AlignVCenter,
                     window.windowTitle());
    painter.drawPixmap(0, kCaptionHeight, client);
    return image;
}

bool Save(QWidget& window, const QString& file) {
    window.show();
    QCoreApplication::processEvents();
    const bool saved = WithCaption(window).save(file);
    if (!saved)
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
    return saved;
}

const char* const kWorldFiles[] = {"staidx0.mul", "statics0.mul", "map0.mul"};

// The demo world is one set of files; the diff window's original set is a copy of it, as a
// player's untouched files would be. A copy, not a link: tools change the demo files in place.
bool MakeOriginalSet(const QString& world) {
    const std::filesystem::path folder = std::filesystem::path(world.toStdString()) / "original";
    std::error_code failed;
    std::filesystem::create_directories(folder, failed);
    for (const char* name : kWorldFiles)
        if (!failed)
            std::filesystem::copy_file(folder.parent_path() / name, folder / name,
                                       std::filesystem::copy_options::skip_existing, failed);
    if (failed)
        std::fprintf(stderr, "cannot copy the original set: %s\n", failed.message().c_str());
    return !failed;
}

void StorePaths(const QString& world, int mode) {
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
    store.setValue("Mode", mode);
}

// The map editor on the coast west of the third town, the palette beside it with a path group.
bool MapEditor(lw::Application& program, const QString& out) {
    lw::MapEditorWindow& editor = program.mapEditForm();
    editor.resize(1600, 1000);
    editor.show();
    QCoreApplication::processEvents();
    editor.mainDrawGrid->setLeftCol(2573);
    editor.mainDrawGrid->setTopRow(2705);
    editor.selectDrawingModeComboBox->setCurrentIndex(lw::MapEditorWindow::FirstGroup + 6);
    editor.textureDrawGrid->setTopRow(0xA8);
    const QPointF pointer(31 * 46 + 20, 8 * 46 + 20); // a cell of the town's cobblestones
    QMouseEvent move(QEvent::MouseMove, pointer,
                     editor.mainDrawGrid->viewport()->mapToGlobal(pointer), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(editor.mainDrawGrid->viewport(), &move);
    bool ok = Save(editor, out + "/map-edit.png");

    lw::TexturePaletteWindow& palette = program.textureAuswahlForm();
    palette.auswahlCombo->setCurrentIndex(1);
    palette.pageControl->setCurrentWidget(palette.auswahlSheet);
    ok = Save(palette, out + "/texture-auswahl.png") && ok;
    editor.hide();
    return ok;
}

bool NormalMode(const QString& world, const QString& out) {
    StorePaths(world, 0);
    ReportingDialogs dialogs;
    lw::Application program(&dialogs);
    lw::MainWindow& main = program.mainForm();
    main.show();
    main.getStaticIndexButton->click();
    main.x1Edit->setText("1496");
    main.x2Edit->setText("1535");
    main.y1Edit->setText("1600");
    main.y2Edit->setText("1639");
    main.getStaticBlockButton->click();
    bool ok = Save(main, out + "/main-window.png");
    main.hide();
    ok = Save(program.diffForm(), out + "/lw-diff.png") && ok;
    // The first town's rectangle, to be grassed over.
    lw::FillClearWindow& fillClear = program.fillClearForm();
    fillClear.clearAreaLeftEdit->setText("1496");
    fillClear.clearAreaTopEdit->setText("1600");
    fillClear.clearAreaRightEdit->setText("1535");
    fillClear.clearAreaBottomEdit->setText("1639");
    fillClear.fillTileComboBox->setCurrentText("Random grass");
    ok = Save(fillClear, out + "/fill-clear.png") && ok;
    ok = MapEditor(program, out) && ok;
    ok = Save(program.progressForm(), out + "/progress.png") && ok;
    return ok;
}

bool SimpleMode(const QString& world, const QString& out) {
    StorePaths(world, 1);
    ReportingDialogs dialogs;
    lw::Application program(&dialogs);
    program.mainForm().show();
    return Save(program.mainForm(), out + "/main-window-simple.png");
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Loamwright"));
    if (argc != 3) {
        std::fprintf(stderr, "usage: lw_screenshots DEMO-WORLD-FOLDER OUTPUT-FOLDER\n");
        return 2;
    }
    const QString world = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const QString out = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(out);
    // The pictures' settings live in a folder of their own; the user's stay untouched.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    const bool ok = MakeOriginalSet(world) && NormalMode(world, out) && SimpleMode(world, out);
    return ok ? 0 : 1;
}
