// What the window benchmarks share: a QApplication on the offscreen platform, dialogs that must
// never be asked anything, and seconds from a clock duration.
#pragma once

#include "gui/widgets/Dialogs.h"

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace lw::bench {

class SilentDialogs final : public gui::Dialogs {
public:
    gui::MessageButton message(QWidget*, const gui::MessageRequest& request) override {
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(request.text));
        std::abort();
    }
    std::optional<QString> openFileName(QWidget*, const gui::FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<QString> saveFileName(QWidget*, const gui::FileDialogRequest&) override {
        return std::nullopt;
    }
    void showText(QWidget*, const gui::TextRequest&) override {}
    void showModal(QDialog&) override {}
};

inline QApplication& GuiApplication() {
    static int argc = 1;
    static char name[] = "lw_gui_bench";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: Qt's own statics are gone by the time a static QApplication would be.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

inline double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

} // namespace lw::bench
