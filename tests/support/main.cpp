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
    // Where the sources (help, reports, fixtures) and the built programs are.
    if (qEnvironmentVariableIsEmpty("VASTREL_SOURCE_DIR")) qputenv("VASTREL_SOURCE_DIR", VASTREL_TEST_SOURCE_DIR);
    if (qEnvironmentVariableIsEmpty("VASTREL_BIN_DIR")) qputenv("VASTREL_BIN_DIR", VASTREL_TEST_BIN_DIR);
    TestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
