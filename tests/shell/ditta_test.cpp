// The company-data window and the wiring of the settings windows into the main window.

#include "app/shell/form1.h"
#include "app/shell/frmditta.h"
#include "app/shell/settings.h"
#include "common/controls/dbedits.h"
#include "settings_support.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFocusEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class CompanyData : public ::testing::Test {
protected:
    testing_support::DataModule data;
    Tform_DB& dm = data.dm;
    ui::ScriptedDialogs dialogs;
    TfrmDitta window{dm};

    void SetUp() override { window.show(); }
    // The cursor leaves a box as it does when the user tabs away.
    static void leave(QWidget* box, Qt::FocusReason reason = Qt::TabFocusReason) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QApplication::sendEvent(box, &out);
    }
    void choose(ui::DBLookupComboBox* combo, const QString& text) {
        const int row = combo->findText(text);
        ASSERT_GE(row, 0) << text.toStdString();
        combo->activated(row);
    }
};

TEST_F(CompanyData, VatNumberIsCheckedWhenLeavingTheBox) {
    const QString message = "Attenzione la partita Iva appena inserita non è valida!!!";
    const std::pair<const char*, bool> typings[] = {{"12345678903", false}, {"12345678901", true}, {"1234567890", true},
                                                    {"123456789030", true}, {"1234567890A", true}, {"", false},
                                                    {"00743110157", false}};
    for (const auto& [typed, complains] : typings) {
        dialogs.shown.clear();
        window.DBEdit8->selectAll();
        QTest::keyClick(window.DBEdit8, Qt::Key_Backspace);
        QTest::keyClicks(window.DBEdit8, typed);
        leave(window.DBEdit8);
        EXPECT_EQ(dialogs.messages(), complains ? QStringList{message} : QStringList{}) << typed;
        EXPECT_EQ(window.DBEdit8->text(), QString::fromLatin1(typed)); // kept as typed
    }
    window.bitSalvaClick();
    EXPECT_EQ(data.stored("select PIva from Ditta").toString(), "00743110157");
    // Another window taking the focus is not the cursor leaving the box.
    window.DBEdit8->setText("12");
    dialogs.shown.clear();
    leave(window.DBEdit8, Qt::ActiveWindowFocusReason);
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(CompanyData, MunicipalityBringsItsPostcodeAndProvinceAndTheBankComesFromItsTable) {
    choose(window.DBLookupComboBox1, "Abano Terme");
    EXPECT_EQ(dm.TableDitta.value("Comune").toString(), "Abano Terme");
    EXPECT_EQ(window.DBEdit4->text(), "35031");
    EXPECT_EQ(window.DBEdit5->text(), "PD");
    // A municipality without postcode or province leaves the previous ones.
    data.tdb.connection().execute("insert into Comuni (Comune) values ('Borgo Nuovo di Prova')");
    dm.Table7.requery();
    choose(window.DBLookupComboBox1, "Borgo Nuovo di Prova");
    window.bitSalvaClick();
    EXPECT_EQ(testing_support::rows(data.tdb.connection(), "select Comune, Cap, Provincia from Ditta"),
              (QList<QVariantList>{{"Borgo Nuovo di Prova", "35031", "PD"}}));
    // Postcode and province are passed by the Tab key.
    EXPECT_FALSE(window.DBEdit4->focusPolicy() & Qt::TabFocus);
    EXPECT_FALSE(window.DBEdit5->focusPolicy() & Qt::TabFocus);

    // The bank is chosen from the bank table, in order.
    ui::DBLookupComboBox* banca = window.DBLookupComboBox2;
    ASSERT_EQ(banca->count(), data.count("select Id from Banche"));
    for (int i = 1; i < banca->count(); ++i)
        EXPECT_LE(QString::localeAwareCompare(banca->itemText(i - 1), banca->itemText(i)), 0);
    choose(banca, "UniCredit");
    window.bitSalvaClick();
    EXPECT_EQ(data.stored("select Id_Banca from Ditta").toInt(),
              data.stored("select Id from Banche where Banca = 'UniCredit'").toInt());
    // A bank added elsewhere is listed the next time the window is shown.
    data.tdb.connection().execute("insert into Banche (Banca) values ('Banca di Prova')");
    window.close();
    window.show();
    EXPECT_GE(banca->findText("Banca di Prova"), 0);
}

TEST_F(CompanyData, ClosingWithUnsavedChangesAsksAndAMissingRowIsCreatedAndSaid) {
    QTest::keyClicks(window.DBEdit1, " Srl");
    dialogs.answers << false;
    window.close();
    EXPECT_EQ(dialogs.shown.value(0).kind, "question");
    EXPECT_EQ(data.stored("select RagSoc from Ditta").toString(), "Centro Sportivo");
    EXPECT_EQ(dm.TableDitta.value("RagSoc").toString(), "Centro Sportivo");
    window.show();
    EXPECT_EQ(window.DBEdit1->text(), "Centro Sportivo");
    QTest::keyClicks(window.DBEdit1, " Srl");
    dialogs.answers << true;
    window.spdIndietro->click(); // the toolbar's way out asks the same
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(data.stored("select RagSoc from Ditta").toString(), "Centro Sportivo Srl");
    // Nothing changed: no question.
    window.show();
    dialogs.shown.clear();
    window.close();
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_EQ(dialogs.unexpected, 0);

    // A missing company row is created, and said, when the window is shown.
    data.tdb.connection().execute("delete * from Ditta");
    dm.TableDitta.requery();
    window.show();
    EXPECT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(data.count("select ID from Ditta"), 1);
    QTest::keyClicks(window.DBEdit1, "Palestra Nuova");
    window.bitSalvaClick();
    EXPECT_EQ(data.stored("select RagSoc from Ditta").toString(), "Palestra Nuova");
}

TEST(SettingsWiring, MainWindowOpensTheThreeWindows) {
    testing_support::DataModule data;
    ui::ScriptedDialogs dialogs;
    QTemporaryDir home;
    TForm1 form(data.dm, home.path());
    for (const char* name : {"btnAttivitaOpzioni", "SpeedButton13"})
        EXPECT_FALSE(form.button(name)->isEnabled()) << name;
    installSettings(form, data.dm);
    QStringList opened;
    dialogs.onExec = [&](QDialog* d) {
        opened << d->objectName();
        EXPECT_TRUE(d->isVisible());
        d->reject();
    };
    form.button("btnAttivitaOpzioni")->click();
    form.button("SpeedButton13")->click();
    EXPECT_EQ(opened, (QStringList{"frmOpzioni", "frmUtilita"}));
    auto* ditta = form.findChild<TfrmDitta*>("frmDitta");
    ASSERT_NE(ditta, nullptr);
    form.findChild<QAction*>("Ditta1")->trigger(); // Ctrl+D
    EXPECT_TRUE(ditta->isVisible());
    EXPECT_TRUE(ditta->windowState() & Qt::WindowMaximized);
    EXPECT_FALSE(ditta->isModal());
    ditta->close();
}

} // namespace
