// The desktop program: sets the application title and icon, creates the windows and runs until
// the main window closes. Nothing is saved at the end.
#include "app/Application.h"
#include "gui/MainWindow.h"

#include <QApplication>
#include <QIcon>

namespace {

QIcon ProgramIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 256})
        icon.addFile(QStringLiteral(":/icons/loamwright-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Loamwright"));
    QApplication::setWindowIcon(ProgramIcon());
    // Wayland shells match the window to the installed loamwright.desktop by this name.
    QApplication::setDesktopFileName(QStringLiteral("loamwright"));
    lw::Application program;
    program.mainForm().show();
    return QApplication::exec();
}
