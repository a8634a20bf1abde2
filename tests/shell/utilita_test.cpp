// The utilities window: cancelling and re-enabling every client of a season, all or nothing.

#include "app/shell/frmutilita.h"
#include "common/controls/dbedits.h"
#include "db/error.h"
#include "settings_support.h"

#include <QApplication>
#include <QKeyEvent>
#include <gtest/gtest.h>

namespace {

class Utilities : public ::testing::Test {
protected:
    testing_support::DataModule data{false};
    Tform_DB& dm = data.dm;
    ui::ScriptedDialogs dialogs;
    TfrmUtilita window{dm};

    // Seasons 1 "2023/24" (three clients, Bianchi already cancelled), 2 "2024/25" (two
    // clients) and 3 "2025/26" (none), plus one client without a season.
    void SetUp() override {
        for (const char* s : {"1, '2023/24'", "2, '2024/25'", "3, '2025/26'"})
            data.tdb.connection().execute(QStringLiteral("insert into Stagione (ID, Descrizione) values (%1)").arg(s));
        for (const char* c : {"'Rossi', 1, 0", "'Bianchi', 1, 1", "'Verdi', 1, 0", "'Neri', 2, 0", "'Gialli', 2, 0",
                              "'Blu', Null, 0"})
            data.tdb.connection().execute(
                QStringLiteral("insert into anagraficaclienti (Cognome, Stagione_ID, Annullato) values (%1)").arg(c));
        data.open();
        window.show();
    }
    void choose(const QString& season) {
        const int row = window.DBLookupComboBox1->findText(season);
        ASSERT_GE(row, 0) << season.toStdString();
        window.DBLookupComboBox1->activated(row);
    }
    // Annullato of every client of a season, in surname order, straight from the file.
    QList<int> stored(int season) {
        QList<int> out;
        for (const QVariantList& r : testing_support::rows(data.tdb.connection(),
                 QStringLiteral("select Annullato from anagraficaclienti where Stagione_ID = %1 order by Cognome").arg(season)))
            out << r[0].toInt();
        return out;
    }
    static constexpr int kClients = 6;
};

TEST_F(Utilities, EachButtonChangesTheChosenSeasonOnlyAndCountsIt) {
    struct Case {
        const char* season;
        void (TfrmUtilita::*click)();
        const char* message;
        QList<int> first, second; // the two seasons with clients afterwards
    };
    // Each case starts where the one before left the file.
    const Case cases[] = {
        {"2023/24", &TfrmUtilita::SpeedButton10Click, "annullati : 3", {1, 1, 1}, {0, 0}},
        {"2025/26", &TfrmUtilita::SpeedButton10Click, "annullati : 0", {1, 1, 1}, {0, 0}},
        {"2024/25", &TfrmUtilita::SpeedButton10Click, "annullati : 2", {1, 1, 1}, {1, 1}},
        {"2023/24", &TfrmUtilita::SpeedButton1Click, "riabilitati : 3", {0, 0, 0}, {1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        dialogs.shown.clear();
        choose(c.season);
        (window.*c.click)();
        EXPECT_EQ(dialogs.messages(), QStringList{QStringLiteral("Sono stati %1 Record di clienti in archivio").arg(c.message)});
        EXPECT_EQ(dialogs.shown.value(0).caption, "Avviso");
        EXPECT_EQ(stored(1), c.first);
        EXPECT_EQ(stored(2), c.second);
        // The client query is left showing every client, cancelled ones included, as stored.
        EXPECT_TRUE(dm.Table1.filter().isEmpty());
        EXPECT_EQ(dm.Table1.recordCount(), kClients);
        EXPECT_FALSE(dm.Table1.controlsDisabled());
        ASSERT_TRUE(dm.Table1.locate("Cognome", "Rossi"));
        EXPECT_EQ(dm.Table1.value("Annullato").toBool(), bool(c.first[1]));
    }
}

TEST_F(Utilities, WithoutASeasonNothingChanges) {
    for (auto click : {&TfrmUtilita::SpeedButton1Click, &TfrmUtilita::SpeedButton10Click}) {
        dialogs.shown.clear();
        (window.*click)();
        EXPECT_EQ(dialogs.messages(), QStringList{"Prima devi scegliere la stagione di Lavoro"});
        EXPECT_EQ(dialogs.shown.value(0).caption, "AVVISO");
        EXPECT_EQ(window.focusWidget(), window.DBLookupComboBox1);
    }
    EXPECT_EQ(stored(1), (QList<int>{1, 0, 0}));
    EXPECT_EQ(dm.Table1.filter(), "Annullato = 0");
    // A season chosen and then cleared with Delete counts as none.
    choose("2023/24");
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(window.DBLookupComboBox1, &del);
    dialogs.shown.clear();
    window.SpeedButton10Click();
    EXPECT_EQ(dialogs.messages(), QStringList{"Prima devi scegliere la stagione di Lavoro"});
    EXPECT_EQ(stored(1), (QList<int>{1, 0, 0}));
}

TEST_F(Utilities, AFailureHalfWayLeavesTheSeasonAsItWas) {
    // The engine refuses the change of the third client in the query's order (Verdi), after
    // Bianchi and Rossi have been written.
    data.tdb.engineSql("CREATE TRIGGER stop_verdi BEFORE UPDATE ON anagraficaclienti "
                       "WHEN NEW.Cognome = 'Verdi' BEGIN SELECT RAISE(ABORT, 'scrittura rifiutata'); END");
    choose("2023/24");
    try {
        window.SpeedButton10Click();
        FAIL() << "the failure did not reach the caller";
    } catch (const db::DatabaseError& e) {
        EXPECT_TRUE(e.text().contains("scrittura rifiutata")) << e.text().toStdString();
    }
    EXPECT_TRUE(dialogs.messages().isEmpty()); // no count reported for a change not made
    // Rossi, written before the failure, is back as stored: nothing half-cancelled, in the
    // file or in the client query.
    EXPECT_EQ(stored(1), (QList<int>{1, 0, 0}));
    ASSERT_TRUE(dm.Table1.locate("Cognome", "Rossi"));
    EXPECT_FALSE(dm.Table1.value("Annullato").toBool());
    ASSERT_TRUE(dm.Table1.locate("Cognome", "Bianchi"));
    EXPECT_TRUE(dm.Table1.value("Annullato").toBool());
    EXPECT_EQ(dm.Table1.state(), db::Dataset::State::Browse);
    EXPECT_FALSE(dm.Table1.controlsDisabled());
    EXPECT_EQ(dm.Table1.recordCount(), kClients);
    EXPECT_FALSE(dm.Connessione.inTransaction());

    // Once the engine accepts it again the same click does the whole season.
    data.tdb.engineSql("DROP TRIGGER stop_verdi");
    window.SpeedButton10Click();
    EXPECT_EQ(stored(1), (QList<int>{1, 1, 1}));
}

} // namespace
