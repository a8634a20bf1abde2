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
    // Seasons "2023/24" (three clients, Bianchi already cancelled), "2024/25" (two clients)
    // and "2025/26" (none), plus one client without a season.
    struct Seeded {
        testing_support::TempDatabase tdb;
        Seeded() {
            auto& c = tdb.connection();
            c.execute("insert into Stagione (Descrizione) values ('2023/24')");
            c.execute("insert into Stagione (Descrizione) values ('2024/25')");
            c.execute("insert into Stagione (Descrizione) values ('2025/26')");
            const char* clients[][3] = {{"Rossi", "1", "0"},   {"Bianchi", "1", "1"},
                                        {"Verdi", "1", "0"},   {"Neri", "2", "0"},
                                        {"Gialli", "2", "0"}};
            for (const auto& cl : clients)
                c.execute(QStringLiteral("insert into anagraficaclienti (Cognome, Nome, "
                                         "NominativoVisualizzato, Stagione_ID, Annullato) values "
                                         "('%1', 'Anna', '%1 Anna', (select ID from Stagione where "
                                         "Descrizione = '%2'), %3)")
                              .arg(QLatin1String(cl[0]),
                                   cl[1][0] == '1' ? QStringLiteral("2023/24") : QStringLiteral("2024/25"),
                                   QLatin1String(cl[2])));
            c.execute("insert into anagraficaclienti (Cognome, Nome, NominativoVisualizzato, "
                      "Annullato) values ('Blu', 'Ugo', 'Blu Ugo', 0)");
        }
    };
    Seeded seeded;
    Tform_DB dm;
    ui::ScriptedDialogs dialogs;
    TfrmUtilita window{dm};

    void SetUp() override {
        dm.Connessione.open(seeded.tdb.path());
        dm.riapriQuery();
        dm.cmdFiltriClick();
        window.show();
    }
    void choose(const QString& season) {
        const int row = window.DBLookupComboBox1->findText(season);
        ASSERT_GE(row, 0) << season.toStdString();
        window.DBLookupComboBox1->activated(row);
    }
    // Annullato of every client of a season, in surname order, straight from the file.
    QList<int> stored(const QString& season) {
        db::RowStore rows;
        seeded.tdb.connection().load(
            QStringLiteral("select Annullato from anagraficaclienti where Stagione_ID = (select ID "
                           "from Stagione where Descrizione = '%1') order by Cognome").arg(season),
            rows);
        QList<int> out;
        for (int r = 0; r < rows.rowCount(); ++r) out << int(rows.integer(r, 0));
        return out;
    }
    static constexpr int kClients = 6;
};

TEST_F(Utilities, AnnullaCancelsEveryClientOfTheSeasonAndCountsThem) {
    choose("2023/24");
    window.SpeedButton10Click();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, "Sono stati annullati : 3 Record di clienti in archivio");
    EXPECT_EQ(dialogs.shown[0].caption, "Avviso");
    EXPECT_EQ(stored("2023/24"), (QList<int>{1, 1, 1}));
    EXPECT_EQ(stored("2024/25"), (QList<int>{0, 0}));
    // The client query is left showing every client, cancelled ones included.
    EXPECT_TRUE(dm.Table1.filter().isEmpty());
    EXPECT_EQ(dm.Table1.recordCount(), kClients);
    EXPECT_FALSE(dm.Table1.controlsDisabled());
    ASSERT_TRUE(dm.Table1.locate("Cognome", "Rossi"));
    EXPECT_TRUE(dm.Table1.value("Annullato").toBool());
}

TEST_F(Utilities, RiabilitaReEnablesTheSeasonOnly) {
    seeded.tdb.connection().execute("update anagraficaclienti set Annullato = 1");
    dm.Table1.requery();
    choose("2024/25");
    window.SpeedButton1Click();
    EXPECT_EQ(dialogs.messages(),
              QStringList{"Sono stati riabilitati : 2 Record di clienti in archivio"});
    EXPECT_EQ(stored("2024/25"), (QList<int>{0, 0}));
    EXPECT_EQ(stored("2023/24"), (QList<int>{1, 1, 1}));
    EXPECT_EQ(dm.Table1.recordCount(), kClients);
}

TEST_F(Utilities, WithoutASeasonNothingChanges) {
    for (auto click : {&TfrmUtilita::SpeedButton1Click, &TfrmUtilita::SpeedButton10Click}) {
        dialogs.shown.clear();
        (window.*click)();
        ASSERT_EQ(dialogs.shown.size(), 1);
        EXPECT_EQ(dialogs.shown[0].text, "Prima devi scegliere la stagione di Lavoro");
        EXPECT_EQ(dialogs.shown[0].caption, "AVVISO");
        EXPECT_EQ(window.focusWidget(), window.DBLookupComboBox1);
    }
    EXPECT_EQ(stored("2023/24"), (QList<int>{1, 0, 0}));
    EXPECT_EQ(dm.Table1.filter(), "Annullato = 0");
    // A season chosen and then cleared with Delete counts as none.
    choose("2023/24");
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(window.DBLookupComboBox1, &del);
    dialogs.shown.clear();
    window.SpeedButton10Click();
    EXPECT_EQ(dialogs.messages(), QStringList{"Prima devi scegliere la stagione di Lavoro"});
    EXPECT_EQ(stored("2023/24"), (QList<int>{1, 0, 0}));
}

TEST_F(Utilities, SeasonWithoutClientsReportsNone) {
    choose("2025/26");
    window.SpeedButton10Click();
    EXPECT_EQ(dialogs.messages(),
              QStringList{"Sono stati annullati : 0 Record di clienti in archivio"});
    EXPECT_EQ(dm.Table1.recordCount(), kClients);
}

TEST_F(Utilities, AFailureHalfWayLeavesTheSeasonAsItWas) {
    // The engine refuses the change of the third client in the query's order (Verdi), after
    // Bianchi and Rossi have been written.
    seeded.tdb.engineSql(
        "CREATE TRIGGER stop_verdi BEFORE UPDATE ON anagraficaclienti "
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
    EXPECT_EQ(stored("2023/24"), (QList<int>{1, 0, 0}));
    ASSERT_TRUE(dm.Table1.locate("Cognome", "Rossi"));
    EXPECT_FALSE(dm.Table1.value("Annullato").toBool());
    ASSERT_TRUE(dm.Table1.locate("Cognome", "Bianchi"));
    EXPECT_TRUE(dm.Table1.value("Annullato").toBool());
    EXPECT_EQ(dm.Table1.state(), db::Dataset::State::Browse);
    EXPECT_FALSE(dm.Table1.controlsDisabled());
    EXPECT_EQ(dm.Table1.recordCount(), kClients);
    EXPECT_FALSE(dm.Connessione.inTransaction());

    // Once the engine accepts it again the same click does the whole season.
    seeded.tdb.engineSql("DROP TRIGGER stop_verdi");
    window.SpeedButton10Click();
    EXPECT_EQ(stored("2023/24"), (QList<int>{1, 1, 1}));
}

} // namespace
