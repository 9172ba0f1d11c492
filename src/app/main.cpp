// The desktop program: sets the application title, creates the windows and runs until the
// main window closes. Nothing is saved at the end.
#include "app/Application.h"
#include "gui/MainWindow.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Loamwright"));
    lw::Application program;
    program.mainForm().show();
    return QApplication::exec();
}
