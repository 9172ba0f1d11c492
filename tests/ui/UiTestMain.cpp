// The window tests' entry: one QApplication on the platform the environment names (the test
// command sets the offscreen one).
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Loamwright"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
