// Shows the main window and the progress window on a real X display under a window manager and
// saves the whole screen, so that what the window manager draws around them can be checked.
// Usage (scripts/screenshots runs it under Xvfb and openbox): lw_wm_screenshot OUTPUT.png
#include "app/Application.h"
#include "gui/MainWindow.h"
#include "gui/ProgressWindow.h"
#include "gui/widgets/Dialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdio>

namespace {

class SilentDialogs final : public lw::gui::Dialogs {
public:
    lw::gui::MessageButton message(QWidget*, const lw::gui::MessageRequest& request) override {
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

void ProcessEventsFor(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Loamwright"));
    if (argc != 2) {
        std::fprintf(stderr, "usage: lw_wm_screenshot OUTPUT.png\n");
        return 2;
    }
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QSettings(QSettings::NativeFormat, QSettings::UserScope, "Tolvanek", "Loamwright")
        .setValue("Mode", 0);
    SilentDialogs dialogs;
    lw::Application program(&dialogs);
    lw::MainWindow& main = program.mainForm();
    main.move(20, 20);
    main.show();
    lw::ProgressWindow& progress = program.progressForm();
    progress.showStages();
    progress.setStage(QStringLiteral("Generating Diff (statics)"));
    progress.setStageProgress(40);
    progress.move(main.x() + 180, main.y() + 200);
    ProcessEventsFor(1500);
    const bool saved =
        QApplication::primaryScreen()->grabWindow(0).save(QString::fromLocal8Bit(argv[1]));
    return saved ? 0 : 1;
}
