// The catalogue's and the data module's queries translated and run on the project's schema.

#include "app/printing/catalogo.h"
#include "app/shell/form_db.h"
#include "db/error.h"
#include "db/sql/translator.h"
#include "db/translator_fixture.h"
#include "support/values.h"

#include <gtest/gtest.h>

using testsupport::RawSqlite;

namespace {

class CatalogueSql : public ::testing::Test {
protected:
    void SetUp() override { translator_test::createSampleDatabase(db); }

    static QString report(int n, bool noImmagine = false) {
        return printing::queryReport(n, {QStringLiteral("1"), QStringLiteral("2024"), noImmagine, QStringLiteral("PC1")});
    }
    RawSqlite::Result q(const QString& jet) { return db.jetQuery(jet); }
    static int col(const RawSqlite::Result& r, const QString& name) { return int(r.columns.indexOf(name)); }
    // The named columns of every row.
    static QList<QVariantList> values(const RawSqlite::Result& r, const QStringList& names) {
        QList<QVariantList> out;
        for (const auto& row : r.rows) {
            out.append(QVariantList());
            for (const QString& n : names) out.last() << row.value(col(r, n));
        }
        return out;
    }

    // Translates and runs; the names reported are SQLite's. Returns the translation.
    db::sql::Translation run(const QString& jet) {
        db::sql::Translation t;
        try {
            t = db::sql::translate(jet, &db);
            const QStringList engineNames = db.queryEngine(t.sql).columns;
            QStringList names;
            for (const auto& c : t.columns) names << c.name;
            EXPECT_EQ(names, engineNames) << jet.toStdString();
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what() << "\n  in: " << jet.toStdString();
        }
        return t;
    }
    RawSqlite db;
};

} // namespace

TEST_F(CatalogueSql, EveryReportRunsPlainWrappedAndFilteredWithSqlitesNames) {
    for (int n = 1; n <= 23; ++n)
        for (const bool noImmagine : {false, true}) {
            SCOPED_TRACE(n);
            const QString q = report(n, noImmagine);
            ASSERT_FALSE(q.isEmpty());
            const auto t = run(q);
            ASSERT_FALSE(t.columns.isEmpty());
            const QStringList wrappers{QStringLiteral("Select * from (") + q + u')', QStringLiteral("SELECT TOP 1 * FROM (") + q + u')'};
            for (const QString& wrapped : wrappers) {
                const auto w = run(wrapped);
                ASSERT_EQ(w.columns.size(), t.columns.size());
                for (qsizetype i = 0; i < t.columns.size(); ++i)
                    EXPECT_EQ(QStringList({w.columns[i].name, w.columns[i].table, w.columns[i].column}),
                              QStringList({t.columns[i].name, t.columns[i].table, t.columns[i].column}));
            }
            // The filter window: each column's distinct values, then a range on the first.
            for (const auto& c : t.columns)
                run(QStringLiteral("select distinct [%1] from (%2) ORDER BY [%1]").arg(c.name, q));
            run(QStringLiteral("Select * from (%2) Where [%1] >= 'A' AND [%1] <= 'Z'").arg(t.columns.first().name, q));
        }
    EXPECT_TRUE(report(24).isEmpty());
}

TEST_F(CatalogueSql, EverySharedQueryRunsWithSqlitesNames) {
    Tform_DB dm;
    ASSERT_EQ(dm.sharedQueries().size(), 33u);
    for (const auto& shared : dm.sharedQueries()) {
        SCOPED_TRACE(shared.name);
        run(shared.query->sql());
    }
}

TEST_F(CatalogueSql, RightAndNestedJoinsReturnNullExtendedRows) {
    // Report 1 on a client without exercises: the RIGHT JOIN keeps the client.
    QString report1 = report(1);
    report1.replace(" WHERE anagraficaclienti.ID =1", " WHERE anagraficaclienti.ID =2");
    auto r = q(report1);
    EXPECT_EQ(values(r, {"NominativoDocumenti", "EsercizioDescrizione", "Descrizione"}),
              (QList<QVariantList>{{"Bianchi Anna", QVariant(), QVariant()}}));
    EXPECT_EQ(values(q(report(1)), {"Descrizione"}), QList<QVariantList>{{"Gambe"}});

    // Report 3: diet of client 1, one food with a meal that does not exist (Null first, by Pasti.Ora).
    r = q(report(3));
    ASSERT_EQ(r.rows.size(), 2);
    EXPECT_EQ(values(r, {"Pasti.Descrizione"}), (QList<QVariantList>{{QVariant()}, {"Colazione"}}));
    EXPECT_EQ(r.rows[0].value(col(r, "Alimenti.Descrizione")), "Pane");

    // Report 15: RIGHT JOIN onto a parenthesised pair of LEFT JOINs.
    r = q(report(15));
    ASSERT_EQ(r.rows.size(), 3); // Rossi twice, Bianchi once with no slot; Verdi cancelled
    int bianchi = 0;
    for (const auto& row : r.rows)
        if (row[col(r, "Cliente")].toString() == "Bianchi Anna") {
            ++bianchi;
            EXPECT_TRUE(row[col(r, "Specialita")].isNull());
        }
    EXPECT_EQ(bianchi, 1);
    EXPECT_EQ(values(r, {"Stagione"}).mid(0, 2), (QList<QVariantList>{{QVariant()}, {"2024/25"}})); // Bianchi first
    EXPECT_EQ(r.rows[1][col(r, "TipoAbbonamento")].toString(), "Mensile");
}

TEST_F(CatalogueSql, WrappedQueryWithFilter) {
    // A bracketed column with a percent sign (report 11).
    auto r = q(report(11));
    EXPECT_EQ(r.columns.value(1), "PercentualeEdibile");
    EXPECT_EQ(r.rows.value(0).value(1).toInt(), 90);
    const QString clients = report(7);
    r = q("Select * from (" + clients + ") Where [Cliente] >= 'R' AND [Cliente] <= 'Rz'");
    EXPECT_EQ(values(r, {"Istruttore"}), QList<QVariantList>{{"Neri Luca"}});
    r = q("Select * from (" + clients + ") Where [Omaggi] = False");
    EXPECT_EQ(r.rows.size(), 2); // the cancelled client is left out by the inner query
    r = q("SELECT TOP 1 * FROM (" + clients + ")");
    EXPECT_EQ(r.rows.size(), 1);
    EXPECT_EQ(r.rows[0][0].toString(), "Bianchi Anna"); // the inner order holds
    r = q("select distinct [ModalitaPagamento] from (" + clients + ") ORDER BY [ModalitaPagamento]");
    ASSERT_EQ(r.rows.size(), 2);
    EXPECT_TRUE(r.rows[0][0].isNull());
    // Receipts of one year (report 21's tail).
    EXPECT_EQ(values(q(report(22)), {"Operazione"}), QList<QVariantList>{{"Quota"}});
}
