// The help service: F1 and the help buttons open the window's page from the help/ folder.

#include "common/controls/dialogs.h"
#include "common/controls/help.h"
#include "controls_support.h"
#include "support/files.h"

#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace controls_test;

namespace {

QByteArray page(const QString& title, const QString& body) {
    return QStringLiteral("<html><head><title>%1</title></head><body><h1>%1</h1><p>%2</p></body></html>")
        .arg(title, body)
        .toUtf8();
}

class HelpTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString folder;

    void SetUp() override {
        folder = dir.filePath("help");
        QDir().mkpath(folder);
        testing_support::writeFile(folder + "/205.html", page("Alimenti - Guida di Vastrel", "Elenco degli alimenti"));
        testing_support::writeFile(folder + "/index.html", page("Indice", "Guida di Vastrel"));
        ui::help().setHelpFolder(folder);
        ui::help().installF1();
    }
    void TearDown() override {
        ui::help().closeAll();
        ui::help().setHelpFolder(QString());
    }
};

TEST_F(HelpTest, PageOfTheWindowsOrTheNearestParentsContextTheIndexForTheRestAndTheFolderNamedWhenMissing) {
    QWidget window;
    auto* box = new QLineEdit(&window);
    ui::HelpService::setHelpContext(&window, 205);
    EXPECT_EQ(ui::HelpService::helpContextFor(box), 205);
    ui::HelpService::setHelpContext(box, 210);
    EXPECT_EQ(ui::HelpService::helpContextFor(box), 210);
    EXPECT_EQ(ui::HelpService::helpContextFor(nullptr), 0);
    EXPECT_EQ(ui::help().pageFor(205), QDir(folder).filePath("205.html"));
    EXPECT_EQ(ui::help().pageFor(999), QDir(folder).filePath("index.html"));
    EXPECT_EQ(ui::help().pageFor(0), QDir(folder).filePath("index.html"));
    QTextBrowser* b = ui::help().showContext(4242);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->windowTitle(), "Guida di Vastrel - Indice");
    // A folder that is not there: a message naming the path, no window.
    ui::help().closeAll();
    ui::help().setHelpFolder(dir.filePath("nonc-e"));
    ui::ScriptedDialogs dialogs;
    EXPECT_EQ(ui::help().showContext(205), nullptr);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].contains(QDir::toNativeSeparators(dir.filePath("nonc-e"))));
    EXPECT_TRUE(ui::help().windows().isEmpty());
    // Without a folder of its own the service uses the one beside the executables.
    ui::help().setHelpFolder(QString());
    EXPECT_EQ(ui::help().helpFolder(), QCoreApplication::applicationDirPath() + "/help");
}

TEST_F(HelpTest, F1OpensThePageOfTheFocusedWindowOwnedByAModalOne) {
    QWidget window;
    window.setObjectName("frmAlimenti");
    auto* layout = new QVBoxLayout(&window);
    auto* edit = new QLineEdit;
    layout->addWidget(edit);
    ui::HelpService::setHelpContext(&window, 205);
    ASSERT_TRUE(showActive(&window));
    edit->setFocus();
    settle();
    QTest::keyClick(edit, Qt::Key_F1);
    settle();
    ASSERT_EQ(ui::help().windows().size(), 1);
    QTextBrowser* b = ui::help().windows()[0];
    EXPECT_TRUE(b->property("helpPage").toString().endsWith("/205.html"));
    EXPECT_TRUE(b->toPlainText().contains("Elenco degli alimenti"));
    EXPECT_EQ(b->windowTitle(), "Alimenti - Guida di Vastrel"); // the guide named once
    EXPECT_TRUE(edit->text().isEmpty()); // F1 typed nothing

    // The help button does the same; the window is reused.
    auto* button = new QPushButton("Aiuto");
    layout->addWidget(button);
    QObject::connect(button, &QPushButton::clicked, [button] { ui::help().showHelp(button); });
    button->click();
    EXPECT_EQ(ui::help().windows().size(), 1);

    ui::help().closeAll();
    settle();
    EXPECT_TRUE(ui::help().windows().isEmpty());

    // The help of a modal window belongs to it.
    QDialog dialog;
    ui::HelpService::setHelpContext(&dialog, 205);
    dialog.setWindowModality(Qt::ApplicationModal);
    ASSERT_TRUE(showActive(&dialog));
    ASSERT_EQ(QApplication::activeModalWidget(), &dialog);
    QTest::keyClick(&dialog, Qt::Key_F1);
    ASSERT_EQ(ui::help().windows().size(), 1);
    EXPECT_EQ(ui::help().windows()[0]->parentWidget(), &dialog);
    EXPECT_TRUE(ui::help().windows()[0]->isWindow());
}

} // namespace
