#include <QLocale>
#include <gtest/gtest.h>
#ifdef VASTREL_WIDGET_TESTS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

// Test entry point: a Qt application object (datasets emit signals; widget suites need a
// QApplication, run offscreen) and the program's Italian locale.
int main(int argc, char** argv) {
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
