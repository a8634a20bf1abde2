#include <QLocale>
#include <gtest/gtest.h>
#include <memory>
#ifdef VASTREL_WIDGET_TESTS
#include "common/controls/application.h"
#else
#include <QCoreApplication>
#endif

// Test entry point: a Qt application object (datasets emit signals; widget suites need a
// QApplication, run offscreen) and the program's Italian locale.
int main(int argc, char** argv) {
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Where the sources (help, reports, fixtures) and the built programs are.
    if (qEnvironmentVariableIsEmpty("VASTREL_SOURCE_DIR")) qputenv("VASTREL_SOURCE_DIR", VASTREL_TEST_SOURCE_DIR);
    if (qEnvironmentVariableIsEmpty("VASTREL_BIN_DIR")) qputenv("VASTREL_BIN_DIR", VASTREL_TEST_BIN_DIR);
#ifdef VASTREL_WIDGET_TESTS
    // A test of the programs' own application object runs in a child process started with this
    // variable set: there can be one application object only.
    const auto app = qEnvironmentVariableIsSet("VASTREL_TEST_PROGRAM_APPLICATION")
                         ? std::make_unique<ui::Application>(argc, argv)
                         : std::make_unique<QApplication>(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
