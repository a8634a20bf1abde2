#include <QCoreApplication>
#include <QLocale>
#include <gtest/gtest.h>

// Test entry point: a Qt application object (datasets emit signals, Qt helpers need one)
// and the program's Italian locale.
int main(int argc, char** argv) {
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
