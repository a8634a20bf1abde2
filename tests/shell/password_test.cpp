// The administrator password prompt of the start-up, typed with real keys into the real
// window: Enter closes it, then the right password opens the program and a wrong one ends it.

#include "app/shell/form1.h"
#include "app/shell/form_db.h"
#include "common/controls/dialogs.h"
#include "support/tempdb.h"

#include <QDialog>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

TEST(PasswordPrompt, EnterClosesItAndTheStartUpComparesTheText) {
    testing_support::TempDatabase tdb;
    tdb.connection().execute("update opzioni set PasswordAmministratore = 'Segreta'");
    QFile percorso(tdb.folder() + "/percorso.txt");
    ASSERT_TRUE(percorso.open(QIODevice::WriteOnly));
    percorso.write(tdb.path().toUtf8() + "\n");
    percorso.close();
    // 1: the main window is ready; 0: the program ended. The right password goes first: once
    // the program has been told to end, no later event loop runs.
    const struct {
        const char* typed;
        int outcome;
    } cases[] = {{"Segreta", 1}, {"segreta", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        ui::ScriptedDialogs dialogs;
        bool closedByEnter = false;
        dialogs.when("frmPass", [&](QDialog* d) {
            auto* box = d->findChild<QLineEdit*>("Edit1");
            QTest::keyClicks(box, QString::fromLatin1(c.typed));
            QTest::keyClick(box, Qt::Key_Return);
            closedByEnter = !d->isVisible();
        });
        Tform_DB dm;
        TForm1 form(dm, tdb.folder());
        QEventLoop loop;
        QObject::connect(&form, &TForm1::avviato, &loop, [&] { loop.exit(1); });
        QTimer::singleShot(0, &form, [&] { form.FormActivate(); });
        QTimer::singleShot(10000, &loop, [&] { loop.exit(2); });
        EXPECT_EQ(loop.exec(), c.outcome);
        EXPECT_TRUE(closedByEnter);
        EXPECT_EQ(dialogs.execs("frmPass"), 1);
    }
}

} // namespace
