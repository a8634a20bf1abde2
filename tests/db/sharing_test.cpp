// Datasets shared by several windows: finding rows by key, giving a borrowed query back as
// it was, and detail lists that follow their master's current row.

#include "db/dataset.h"
#include "db/detaillink.h"
#include "db/error.h"
#include "support/tempdb.h"
#include "support/values.h"

#include <gtest/gtest.h>

using db::Dataset;
using testing_support::displayed;
using testing_support::TempDatabase;

namespace {

class Sharing : public ::testing::Test {
protected:
    TempDatabase tdb;
    db::Connection& c() { return tdb.connection(); }
    Dataset clients{&tdb.connection()};
    Dataset payments{&tdb.connection()};

    void SetUp() override {
        for (const char* n : {"Rossi", "Bianchi", "Verdi", "rossini"})
            c().execute("insert into anagraficaclienti (Cognome) values (?)", {QString::fromLatin1(n)});
        // Client 1 pays twice, client 3 once.
        for (int client : {1, 3, 1})
            c().execute("insert into Pagamenti (Cliente_ID, Importo) values (?, 10)", {client});
        clients.setSql("select * from anagraficaclienti order by Cognome");
        clients.open();
        payments.setSql("select * from Pagamenti");
        payments.open();
    }
};

TEST_F(Sharing, FindRowAnswersFromAnIndexThatFollowsEveryChangeOfRows) {
    const int surname = clients.fieldIndex("Cognome");
    const int id = clients.fieldIndex("ID");
    EXPECT_EQ(clients.findRow(surname, "BIANCHI"), 0); // case ignored like the collation
    EXPECT_EQ(clients.findRow(id, 3), 3);
    EXPECT_EQ(clients.findRow(id, "tre"), -1);
    clients.setSort("Cognome DESC");
    EXPECT_EQ(clients.findRow(id, 3), 0);
    clients.setFilter("Cognome like 'ros*'");
    EXPECT_EQ(clients.findRow(id, 3), -1);
    EXPECT_EQ(clients.findRow(surname, "Rossi"), 1);
    clients.locate("Cognome", "Rossi");
    clients.setValue("Cognome", "Rosa");
    clients.post();
    EXPECT_EQ(clients.findRow(surname, "Rossi"), -1);
    EXPECT_EQ(clients.findRow(surname, "rosa"), clients.position());
    clients.remove();
    EXPECT_EQ(clients.findRow(surname, "Rosa"), -1);
    EXPECT_EQ(clients.findRow(surname, "rossini"), 0);
}

TEST_F(Sharing, ABorrowedQueryIsGivenBackExactlyAsItWas) {
    clients.setFilter("Cognome like 'r*'");
    clients.setSort("Cognome DESC");
    ASSERT_TRUE(clients.locate("Cognome", "Rossi"));
    const QStringList before = displayed(clients, "Cognome");
    {
        db::ViewStateScope keep(clients, "ID");
        clients.setFilter(QString());
        clients.setSort("Cognome ASC");
        clients.last();
        clients.setFiltered(false);
    }
    EXPECT_TRUE(clients.filtered());
    EXPECT_EQ(clients.filter(), "Cognome like 'r*'");
    EXPECT_EQ(clients.sort(), "Cognome DESC");
    EXPECT_EQ(displayed(clients, "Cognome"), before);
    EXPECT_EQ(clients.value("Cognome").toString(), "Rossi");

    // The row it was on was deleted meanwhile: the first row is current, nothing breaks.
    {
        db::ViewStateScope keep(clients, "ID");
        clients.remove();
    }
    EXPECT_EQ(clients.filter(), "Cognome like 'r*'");
    EXPECT_EQ(clients.position(), 0);
}

TEST_F(Sharing, ADetailFollowsItsMasterByQueryOrByFilterWithTheSameRows) {
    Dataset byQuery(&c());
    db::DetailLink viaQuery(clients, "ID", byQuery, [](long long key) {
        return QString("select * from Pagamenti where Cliente_ID = %1").arg(key);
    });
    db::DetailLink viaFilter(clients, "ID", payments, QStringLiteral("Cliente_ID"));
    viaQuery.setActive(true);
    viaFilter.setActive(true);
    const std::pair<const char*, int> expected[] = {{"Rossi", 2}, {"Verdi", 1}, {"Bianchi", 0}, {"Rossi", 2}};
    for (const auto& [who, count] : expected) {
        SCOPED_TRACE(who);
        ASSERT_TRUE(clients.locate("Cognome", who));
        EXPECT_EQ(viaQuery.key(), clients.value("ID").toLongLong());
        EXPECT_EQ(byQuery.recordCount(), count);
        EXPECT_EQ(payments.recordCount(), count);
    }
    // Typing in the detail is posted before the master moves on.
    ASSERT_TRUE(clients.locate("Cognome", "Verdi"));
    payments.setValue("Importo", 99);
    ASSERT_TRUE(clients.locate("Cognome", "Rossi"));
    EXPECT_EQ(testing_support::scalar(c(), "select Importo from Pagamenti where Cliente_ID = 3").toDouble(), 99.0);
    // An inactive link leaves the detail alone.
    viaFilter.setActive(false);
    ASSERT_TRUE(clients.locate("Cognome", "Verdi"));
    EXPECT_EQ(payments.filter(), "Cliente_ID = 1");
}

TEST_F(Sharing, ACopiedRowOutlivesTheQueryItCameFrom) {
    ASSERT_TRUE(clients.locate("Cognome", "Verdi"));
    const db::Record row = clients.currentRecord();
    clients.setFilter("Cognome = 'Rossi'");
    clients.close();
    EXPECT_EQ(row.value("cognome").toString(), "Verdi");
    EXPECT_EQ(row.value("ID").toLongLong(), 3);
    EXPECT_FALSE(row.value("NonEsiste").isValid());
}

} // namespace
