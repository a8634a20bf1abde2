// Datasets on a real database: loading, navigation, display texts, filter and sort, and
// edits posted to the base table, seen from a second connection.

#include "db/dataset.h"
#include "db/error.h"
#include "support/tempdb.h"
#include "support/values.h"

#include <gtest/gtest.h>

using db::Dataset;
using testing_support::displayed;
using testing_support::TempDatabase;

namespace {

class DatasetTest : public ::testing::Test {
protected:
    TempDatabase tdb;
    db::Connection& conn() { return tdb.connection(); }
    Dataset ds{&tdb.connection()};

    // Four foods, one without E%, opened in the order of their description.
    Dataset& foods() {
        conn().execute("delete * from Alimenti");
        for (const char* food : {"'Pane', 250, 100", "'arance', 34, 80.5", "'Èrba cipollina', 30, 100", "'Burro', 717, Null"})
            conn().execute(QStringLiteral("insert into Alimenti (Descrizione, KC, [E%]) values (%1)").arg(food));
        return open("select * from Alimenti order by Descrizione");
    }
    Dataset& open(const QString& sql) {
        ds.setSql(sql);
        ds.open();
        return ds;
    }

    // Reads one value through a separate connection, as another workstation would.
    QVariant readElsewhere(const QString& sql) { return testing_support::scalar(*tdb.openAnother(), sql); }
};

TEST_F(DatasetTest, NavigatesWithBofEofAsTheProgramsExpect) {
    foods();
    ASSERT_EQ(ds.recordCount(), 4);
    EXPECT_EQ(ds.position(), 0);
    EXPECT_EQ(ds.value("descrizione").toString(), "arance"); // order ignores case
    ds.prior();
    EXPECT_TRUE(ds.bof());
    EXPECT_EQ(ds.position(), 0);
    ds.last();
    EXPECT_FALSE(ds.eof());
    EXPECT_EQ(ds.value("Descrizione").toString(), "Pane");
    ds.next();
    EXPECT_TRUE(ds.eof());
    EXPECT_EQ(ds.position(), 3);
    int walked = 0;
    for (ds.first(); !ds.eof(); ds.next()) ++walked;
    EXPECT_EQ(walked, 4);

    // Accented capitals sort with their base letter: "Èrba" between "Burro" and "Pane".
    EXPECT_EQ(displayed(ds, "Descrizione"), (QStringList{"arance", "Burro", "Èrba cipollina", "Pane"}));

    EXPECT_TRUE(ds.locate("Descrizione", "BURRO"));
    EXPECT_EQ(ds.position(), 1);
    EXPECT_FALSE(ds.locate("Descrizione", "nessuno"));
    EXPECT_EQ(ds.position(), 1);
    EXPECT_TRUE(ds.locate("KC", 250));
    EXPECT_EQ(ds.value("Descrizione").toString(), "Pane");
}

TEST_F(DatasetTest, KeyIsReachedByAnySpellingAndEmptyQueriesGiveNull) {
    foods().setFilter("Descrizione = 'pane'");
    ASSERT_EQ(ds.recordCount(), 1);
    const auto id = ds.value("ID");
    EXPECT_EQ(ds.value("Id"), id);
    EXPECT_EQ(ds.value("id"), id);
    EXPECT_DOUBLE_EQ(ds.value("E%").toDouble(), 100);
    EXPECT_DOUBLE_EQ(ds.value("[E%]").toDouble(), 100);
    EXPECT_THROW(ds.value("NonEsiste"), db::DatabaseError);

    ds.setFilter("Descrizione = 'nulla'");
    EXPECT_TRUE(ds.isEmpty());
    EXPECT_FALSE(ds.value("Descrizione").isValid());
    EXPECT_EQ(ds.displayText("Descrizione"), "");
    EXPECT_THROW(ds.edit(), db::DatabaseError);
}

TEST_F(DatasetTest, DisplayTextFollowsTheItalianLocale) {
    conn().execute("insert into Pagamenti (Cliente_ID, Data, Importo, Operazione) "
                   "values (1, #3/5/2024#, 1234.5, 'Quota')");
    conn().execute("insert into Pagamenti (Cliente_ID, Data, Importo) values (1, #3/5/2024 18.30.00#, 12)");
    open("select * from Pagamenti order by Data");
    ASSERT_EQ(ds.recordCount(), 2);
    EXPECT_EQ(ds.displayText("Data"), "05/03/2024");
    EXPECT_EQ(ds.displayText("Importo"), "1.234,5");
    EXPECT_EQ(ds.editText(ds.fieldIndex("Importo")), "1234,5");
    ds.next();
    EXPECT_EQ(ds.displayText("Data"), "05/03/2024 18:30:00");
    EXPECT_EQ(ds.displayText("Importo"), "12");
    EXPECT_EQ(ds.displayText("Operazione"), "");
    EXPECT_TRUE(ds.isNull("Operazione"));
}

// A bad filter or sort keeps the previous one; an empty sort gives the query's order back.
TEST_F(DatasetTest, FilterAndSortNarrowAndReorderAndSurviveARequery) {
    foods().setFilter("Descrizione like 'p*' or KC > 700");
    EXPECT_EQ(displayed(ds, "Descrizione"), (QStringList{"Burro", "Pane"}));
    EXPECT_ANY_THROW(ds.setFilter("Descrizione like 'p*' and ("));
    EXPECT_ANY_THROW(ds.setFilter("Colonna = 1"));
    EXPECT_EQ(ds.filter(), "Descrizione like 'p*' or KC > 700");
    EXPECT_EQ(ds.recordCount(), 2);
    ds.setFiltered(false);
    EXPECT_EQ(ds.recordCount(), 4);
    ds.setFiltered(true);
    EXPECT_EQ(ds.recordCount(), 2);
    ds.setFilter("");
    EXPECT_EQ(ds.recordCount(), 4);

    ds.setSort("KC ASC");
    EXPECT_EQ(displayed(ds, "Descrizione").first(), "Èrba cipollina");
    ds.setSort("[E%] DESC, Descrizione"); // Null last when descending
    EXPECT_EQ(displayed(ds, "Descrizione"), (QStringList{"Èrba cipollina", "Pane", "arance", "Burro"}));
    EXPECT_ANY_THROW(ds.setSort("Nessuna ASC"));
    EXPECT_EQ(ds.sort(), "[E%] DESC, Descrizione");
    ds.setSort("");
    EXPECT_EQ(displayed(ds, "Descrizione"), (QStringList{"arance", "Burro", "Èrba cipollina", "Pane"}));

    // Filter and sort survive a requery, which also shows rows added elsewhere.
    ds.setFilter("KC < 100");
    ds.setSort("KC DESC");
    tdb.openAnother()->execute("insert into Alimenti (Descrizione, KC) values ('Mela', 52)");
    ds.requery();
    EXPECT_EQ(displayed(ds, "Descrizione"), (QStringList{"Mela", "arance", "Èrba cipollina"}));
}

TEST_F(DatasetTest, EditsArePostedToTheDatabaseAndSeenElsewhere) {
    ASSERT_TRUE(foods().locate("Descrizione", "Pane"));
    const QString where = QString(" from Alimenti where ID = %1").arg(ds.keyValue("Id"));
    ds.edit();
    EXPECT_EQ(ds.state(), Dataset::State::Edit);
    ds.setText(ds.fieldIndex("KC"), "265,5");
    EXPECT_DOUBLE_EQ(ds.value("KC").toDouble(), 265.5); // pending value is visible
    ds.post();
    EXPECT_EQ(ds.state(), Dataset::State::Browse);
    EXPECT_DOUBLE_EQ(readElsewhere("select KC" + where).toDouble(), 265.5);

    // Moving away posts a pending edit, as the record windows rely on.
    ds.setValue("Descrizione", "Pane integrale");
    ds.first();
    EXPECT_EQ(readElsewhere("select Descrizione" + where).toString(), "Pane integrale");

    // Cancel throws the pending values away.
    ds.setValue("Descrizione", "Sbagliato");
    ds.cancel();
    EXPECT_EQ(ds.value("Descrizione").toString(), "arance");

    // A value that does not fit the column is refused before anything changes.
    EXPECT_THROW(ds.setText(ds.fieldIndex("KC"), "molte"), db::DatabaseError);
    EXPECT_THROW(ds.setText(ds.fieldIndex("KC"), "1,2,3"), db::DatabaseError);
}

TEST_F(DatasetTest, TypedTextsAreReadWithItalianRules) {
    open("select * from Stagione").append();
    const int from = ds.fieldIndex("DallaData");
    ds.setText(from, "15/03/2024");
    EXPECT_EQ(ds.value(from).toDateTime(), QDateTime(QDate(2024, 3, 15), QTime(0, 0)));
    for (const char* bad : {"31/02/2024", "15/03", "__/__/____"})
        EXPECT_THROW(ds.setText(from, bad), db::DatabaseError) << bad;
    ds.setText(from, "  ");
    EXPECT_TRUE(ds.isNull("DallaData"));
    ds.setValue("Descrizione", "Stagione 2024/25");
    ds.post();
    EXPECT_GT(ds.keyValue("ID"), 0);
}

TEST_F(DatasetTest, AppendReadsBackTheNewKeyAndTheDefaults) {
    open("SELECT *, Cognome + \"  \" + Nome as Nominativo FROM anagraficaclienti order by NominativoVisualizzato")
        .append();
    EXPECT_EQ(ds.state(), Dataset::State::Insert);
    ds.setValue("Cognome", "D'Angelo");
    ds.setValue("Nome", "Lucia");
    ds.post();
    const long long id = ds.keyValue("Id");
    EXPECT_GT(id, 0);
    EXPECT_EQ(conn().lastInsertId(), id);
    // Yes/no columns come back with their database default, not Null.
    EXPECT_EQ(ds.value("Annullato").toBool(), false);
    EXPECT_FALSE(ds.isNull("Annullato"));
    ds.setFilter("Annullato = 0");
    EXPECT_EQ(ds.recordCount(), 1);

    // @@IDENTITY belongs to the connection that inserted.
    Dataset identity(&conn());
    identity.setSql("SELECT @@IDENTITY as ID;");
    identity.open();
    EXPECT_EQ(identity.value("ID").toLongLong(), id);

    // An append taken back leaves nothing behind.
    ds.setFilter("");
    ds.append();
    ds.setValue("Cognome", "Temporaneo");
    ds.cancel();
    EXPECT_EQ(ds.recordCount(), 1);
    EXPECT_EQ(readElsewhere("select count(*) from anagraficaclienti").toInt(), 1);
}

TEST_F(DatasetTest, JoinQueryPostsToItsBaseTableAndNamesDuplicatesByTable) {
    conn().execute("insert into Alimenti (Descrizione, KC) values ('Riso', 130)");
    const auto food = conn().lastInsertId();
    conn().execute("insert into anagraficaclienti (Cognome) values ('Rossi')");
    const auto client = conn().lastInsertId();
    conn().execute(QString("insert into ClienteDieta (Cliente_ID, ID_pasto, ID_Alimento, QTA_GRAMMI) "
                           "select %1, ID, %2, 80 from Pasti where Descrizione like 'Pranzo*'")
                       .arg(client).arg(food));
    open(QString("SELECT Pasti.Descrizione, Alimenti.Descrizione, ClienteDieta.* FROM (ClienteDieta "
                 "LEFT JOIN Pasti ON ClienteDieta.ID_pasto = Pasti.ID) INNER JOIN Alimenti ON "
                 "ClienteDieta.ID_Alimento = Alimenti.ID  where Cliente_ID = %1 ORDER BY "
                 "Pasti.Ora, Alimenti.Descrizione").arg(client));
    ASSERT_EQ(ds.recordCount(), 1);
    EXPECT_EQ(ds.value("Alimenti.Descrizione").toString(), "Riso");
    EXPECT_TRUE(ds.value("Pasti.Descrizione").toString().startsWith("Pranzo"));
    EXPECT_EQ(ds.fieldIndex("Descrizione"), -1); // ambiguous without its table

    ds.setValue("QTA_GRAMMI", 120);
    ds.post();
    EXPECT_EQ(readElsewhere(QString("select QTA_GRAMMI from ClienteDieta where Cliente_ID = %1").arg(client)).toInt(), 120);
    EXPECT_EQ(readElsewhere("select KC from Alimenti where Descrizione = 'Riso'").toInt(), 130);

    // Deleting through the join removes the diet row only, never the food or the meal.
    const int meals = readElsewhere("select count(*) from Pasti").toInt();
    ds.remove();
    EXPECT_TRUE(ds.isEmpty());
    EXPECT_EQ(readElsewhere("select count(*) from ClienteDieta").toInt(), 0);
    EXPECT_EQ(readElsewhere("select count(*) from Alimenti").toInt(), 1);
    EXPECT_EQ(readElsewhere("select count(*) from Pasti").toInt(), meals);
}

TEST_F(DatasetTest, PostingARowDeletedElsewhereFailsClearly) {
    tdb.openAnother()->execute(QString("delete * from Alimenti where ID = %1").arg(foods().keyValue("ID")));
    ds.setValue("KC", 1);
    try {
        ds.post();
        FAIL() << "post of a vanished row succeeded";
    } catch (const db::DatabaseError& e) {
        EXPECT_TRUE(e.text().contains("Alimenti")) << e.text().toStdString();
    }
    EXPECT_EQ(ds.state(), Dataset::State::Edit); // nothing half-done: still editable
    ds.cancel();
}

TEST_F(DatasetTest, RemoveKeepsACurrentRowAndNotifiesBoundControls) {
    foods();
    QStringList events;
    QObject::connect(&ds, &Dataset::layoutReset, [&] { events << "reset"; });
    QObject::connect(&ds, &Dataset::currentChanged, [&](int p) { events << QString("current %1").arg(p); });
    QObject::connect(&ds, &Dataset::rowChanged, [&](int p) { events << QString("row %1").arg(p); });
    QObject::connect(&ds, &Dataset::stateChanged, [&](Dataset::State s) { events << QString("state %1").arg(int(s)); });
    QObject::connect(&ds, &Dataset::updateRecordRequested, [&] { events << "update"; });

    ds.setPosition(1);
    ds.setValue("KC", 700);
    ds.post();
    EXPECT_EQ(events, (QStringList{"current 1", "state 2", "row 1", "update", "state 1", "row 1"}));

    events.clear();
    ds.remove(); // "Burro": the next row becomes current
    EXPECT_EQ(ds.value("Descrizione").toString(), "Èrba cipollina");
    EXPECT_EQ(events, (QStringList{"reset", "current 1"}));
    ds.last();
    ds.remove();
    EXPECT_EQ(ds.value("Descrizione").toString(), "Èrba cipollina"); // last removed: prior

    // While controls are disabled nothing is announced; enabling announces the new state.
    events.clear();
    ds.disableControls();
    ds.first();
    ds.setValue("KC", 1);
    ds.post();
    EXPECT_TRUE(events.isEmpty());
    ds.enableControls();
    EXPECT_EQ(events.first(), "reset");
}

TEST_F(DatasetTest, DeferredDatasetReadsItsRowsAtFirstUse) {
    foods().close();
    ds.openDeferred();
    EXPECT_TRUE(ds.isOpen());
    EXPECT_TRUE(ds.deferred());
    ds.setFilter(""); // clearing a filter does not need the rows
    EXPECT_TRUE(ds.deferred());
    // Rows added before the first use are seen: nothing was read at open.
    tdb.openAnother()->execute("insert into Alimenti (Descrizione, KC) values ('Zucca', 26)");
    EXPECT_EQ(ds.recordCount(), 5);
    EXPECT_FALSE(ds.deferred());
    ds.close();

    ds.openDeferred();
    ds.setFilter("KC < 100"); // a real filter needs the columns: the rows are read now
    EXPECT_FALSE(ds.deferred());
    EXPECT_EQ(ds.recordCount(), 3);
    EXPECT_ANY_THROW(ds.setFilter("Sconosciuta = 1"));
    EXPECT_EQ(ds.recordCount(), 3);

    // Every way in reads the rows: a value, a move.
    ds.close();
    ds.setFilter("");
    ds.openDeferred();
    EXPECT_EQ(ds.value("Descrizione").toString(), "arance");
    ds.close();
    ds.openDeferred();
    ds.last();
    EXPECT_EQ(ds.value("Descrizione").toString(), "Zucca");
}

// "Cliente_ID = n" is answered from an index: it must give the rows testing one by one
// gives, through posted changes, appends and deletes.
TEST_F(DatasetTest, KeyEqualityFilterStaysRightThroughEdits) {
    for (int i = 0; i < 30; ++i)
        conn().execute(QString("insert into Pagamenti (Cliente_ID, Importo, Data) values (%1, %2, #1/%3/2024#)")
                           .arg(i % 3).arg(i).arg(i % 28 + 1));
    open("select * from Pagamenti order by Data Desc");
    ds.setFilter("Cliente_ID = 1");
    const QStringList first = displayed(ds, "Importo");
    ds.setFilter("Cliente_ID = 1 and Importo >= 0"); // the same rows, tested one by one
    EXPECT_EQ(displayed(ds, "Importo"), first);
    EXPECT_EQ(first.size(), 10);

    ds.setFilter("Cliente_ID = 2");
    ds.setValue("Cliente_ID", 1);
    ds.post();
    ds.append();
    ds.setValue("Cliente_ID", 1);
    ds.setValue("Importo", 999);
    ds.post();
    ds.setFilter("Cliente_ID = 1");
    EXPECT_EQ(ds.recordCount(), 12);
    EXPECT_TRUE(displayed(ds, "Importo").contains("999"));
    ds.locate("Importo", 999);
    ds.remove();
    ds.setFilter("Cliente_ID = 1");
    EXPECT_EQ(ds.recordCount(), 11);
    ds.setFilter("Cliente_ID = 7");
    EXPECT_TRUE(ds.isEmpty());
}

} // namespace
