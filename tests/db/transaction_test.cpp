// Transactions that cannot half-commit, on a real file: nesting, savepoints, statements
// with parameters, and datasets brought back in line when their writes are rolled back.

#include "db/connection.h"
#include "db/dataset.h"
#include "db/error.h"
#include "support/tempdb.h"
#include "support/values.h"

#include <gtest/gtest.h>

using testing_support::count;
using testing_support::scalar;
using testing_support::TempDatabase;

namespace {

void add(db::Connection& c, const char* what) {
    c.execute("insert into GruppoSportivo (Descrizione) values (?)", {QString::fromLatin1(what)});
}

TEST(Transactions, AnInnerFailureCommitsNothingAndTheOuterCommitSaysSo) {
    // How the inner block ends, and what the outer commit then does.
    enum Inner { Commits, RollsBack, Throws };
    struct Case {
        Inner inner;
        bool outerThrows;
        long long kept;
    };
    const Case cases[] = {{Commits, false, 3}, {RollsBack, true, 0}, {Throws, true, 0}};
    for (const Case& k : cases) {
        SCOPED_TRACE(int(k.inner));
        TempDatabase tdb;
        db::Connection& c = tdb.connection();
        bool threw = false;
        try {
            db::Transaction outer(c);
            add(c, "prima");
            try {
                db::Transaction inner(c);
                add(c, "dentro");
                if (k.inner == Throws) c.execute("insert into NonEsiste (x) values (1)");
                if (k.inner == Commits) inner.commit();
            } catch (const db::DatabaseError&) {
                // the caller goes on as if nothing happened: the outer commit must not
            }
            EXPECT_EQ(c.rollbackOnly(), k.inner != Commits);
            add(c, "dopo"); // still inside the doomed transaction, never autocommitted
            outer.commit();
        } catch (const db::DatabaseError& e) {
            threw = true;
            EXPECT_TRUE(e.text().contains("annullate")) << e.text().toStdString();
        }
        EXPECT_EQ(threw, k.outerThrows);
        EXPECT_FALSE(c.inTransaction());
        EXPECT_EQ(count(*tdb.openAnother(), "select * from GruppoSportivo"), k.kept);
    }
}

TEST(Transactions, ASavepointUndoesOnlyItsOwnPart) {
    TempDatabase tdb;
    db::Connection& c = tdb.connection();
    {
        db::Transaction tx(c);
        add(c, "tenuto");
        {
            db::Savepoint sp(c);
            add(c, "annullato");
        } // left without release(): this part only is undone
        {
            db::Savepoint sp(c);
            add(c, "rilasciato");
            sp.release();
        }
        EXPECT_FALSE(c.rollbackOnly());
        tx.commit();
    }
    EXPECT_EQ(testing_support::rows(c, "select Descrizione from GruppoSportivo order by Descrizione"),
              (QList<QVariantList>{{"rilasciato"}, {"tenuto"}}));
}

TEST(Transactions, ParametersAreCountedAndBoundAsValues) {
    TempDatabase tdb;
    db::Connection& c = tdb.connection();
    // A value that looks like SQL stays a value.
    add(c, "x'); delete * from GruppoSportivo; --");
    EXPECT_EQ(count(c, "select * from GruppoSportivo"), 1);
    EXPECT_THROW(c.execute("insert into GruppoSportivo (Descrizione) values (?)"), db::DatabaseError);
    EXPECT_THROW(c.execute("delete * from GruppoSportivo where ID = ?", {1, 2}), db::DatabaseError);
    db::RowStore rows;
    c.load("select Descrizione from GruppoSportivo where Descrizione like ?", {"x'*"}, rows);
    EXPECT_EQ(rows.rowCount(), 1);
    // A row of nothing but defaults: the key and the yes/no columns the schema fills in.
    c.execute("insert into Avvisi default values");
    EXPECT_EQ(count(c, "select ID from Avvisi"), 1);
}

TEST(Transactions, TheCursorStreamsTypedRows) {
    TempDatabase tdb;
    db::Connection& c = tdb.connection();
    c.execute("insert into OperazionePagamenti (Descrizione, Importo) values ('Quota', 12.5)");
    c.execute("insert into OperazionePagamenti (Descrizione) values ('Tessera')");
    db::Cursor cur(c, "select Descrizione, Importo, ID from OperazionePagamenti where ID > ? order by Descrizione",
                   {0});
    ASSERT_EQ(cur.columns().size(), 3u);
    EXPECT_EQ(cur.columns()[1].type, db::FieldType::Double);
    ASSERT_TRUE(cur.next());
    EXPECT_EQ(cur.text(0), "Quota");
    EXPECT_DOUBLE_EQ(cur.real(1), 12.5);
    ASSERT_TRUE(cur.next());
    EXPECT_EQ(cur.text(0), "Tessera");
    EXPECT_TRUE(cur.isNull(1));
    EXPECT_FALSE(cur.next());
}

// A write that the engine refuses half-way (a trigger on the second table) inside a window's
// transaction: nothing is stored, and the row the user was editing still shows what they
// typed, as an unsaved edit ready to be saved again.
TEST(Transactions, ARefusedWriteLeavesNothingAndGivesTheEditBack) {
    TempDatabase tdb;
    db::Connection& c = tdb.connection();
    c.execute("insert into anagraficaclienti (Cognome, Nome) values ('Rossi', 'Anna')");
    c.execute("insert into Calendario (Cliente_Id, Cliente) values (1, 'Rossi Anna')");
    tdb.engineSql("CREATE TRIGGER no_calendar BEFORE UPDATE ON Calendario "
                  "BEGIN SELECT RAISE(ABORT, 'calendario bloccato'); END");
    db::Dataset clients(&c);
    clients.setSql("select * from anagraficaclienti");
    clients.open();
    clients.setValue("Nome", "Annalisa");
    try {
        db::Transaction tx(c);
        clients.post();
        c.execute("UPDATE Calendario INNER JOIN anagraficaclienti ON calendario.Cliente_Id = "
                  "anagraficaclienti.Id SET calendario.Cliente = [anagraficaclienti].[Nome] "
                  "where anagraficaclienti.Id = 1");
        tx.commit();
        FAIL() << "the trigger did not stop the update";
    } catch (const db::DatabaseError& e) {
        EXPECT_TRUE(e.text().contains("calendario bloccato"));
    }
    EXPECT_EQ(scalar(*tdb.openAnother(), "select Nome from anagraficaclienti"), "Anna");
    EXPECT_EQ(clients.state(), db::Dataset::State::Edit);
    EXPECT_EQ(clients.value("Nome").toString(), "Annalisa");
    EXPECT_EQ(clients.store().value(clients.physicalRow(0), clients.fieldIndex("Nome")).toString(), "Anna");
    // Once the engine accepts it, the same edit is saved.
    tdb.engineSql("DROP TRIGGER no_calendar");
    clients.post();
    EXPECT_EQ(scalar(*tdb.openAnother(), "select Nome from anagraficaclienti"), "Annalisa");
}

} // namespace
