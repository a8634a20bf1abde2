// Every SQL text the programs run translates and runs on the schema, and
// the names the translator reports are the names SQLite gives the result columns, also
// through the viewer's and the export tool's wrappers.

#include "db/error.h"
#include "db/sql/translator.h"
#include "support/rawsqlite.h"
#include "translator_corpus.h"
#include "translator_fixture.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using db::sql::StatementKind;
using testsupport::RawSqlite;

namespace {

class TranslatorCorpus : public ::testing::Test {
protected:
    void SetUp() override { translator_test::createCorpusSchema(db); }

    // Translates and runs; for a select, checks that SQLite names the columns as reported.
    db::sql::Translation run(const QString& jet) {
        db::sql::Translation t;
        try {
            t = db::sql::translate(jet, &db);
        } catch (const db::SyntaxError& e) {
            ADD_FAILURE() << e.text().toStdString() << "\n  in: " << jet.toStdString();
            return t;
        }
        try {
            const auto r = db.queryEngine(t.sql);
            if (t.kind == StatementKind::Select || t.kind == StatementKind::Identity) {
                QStringList names;
                for (const auto& c : t.columns)
                    names << c.name;
                EXPECT_EQ(names, r.columns) << jet.toStdString();
            }
        } catch (const RawSqlite::Error& e) {
            ADD_FAILURE() << e.what() << "\n  jet: " << jet.toStdString();
        }
        return t;
    }

    RawSqlite db;
};

} // namespace

TEST_F(TranslatorCorpus, EveryQuotedStatementRuns) {
    for (const QString& s : translator_test::corpusStatements())
        run(s);
}

TEST_F(TranslatorCorpus, EveryReportQueryRunsAlsoWrapped) {
    const QStringList reports = translator_test::reportQueries();
    ASSERT_EQ(reports.size(), 24);
    for (const QString& q : reports) {
        const auto t = run(q);
        EXPECT_EQ(t.kind, StatementKind::Select);
        EXPECT_FALSE(t.columns.isEmpty());
        for (const QString& w : translator_test::wrappedQueries(q)) {
            const auto wt = run(w);
            EXPECT_EQ(wt.columns.size(), t.columns.size());
            for (int i = 0; i < std::min(wt.columns.size(), t.columns.size()); ++i) {
                EXPECT_EQ(wt.columns[i].name, t.columns[i].name);
                EXPECT_EQ(wt.columns[i].table, t.columns[i].table);
                EXPECT_EQ(wt.columns[i].column, t.columns[i].column);
            }
        }
        // The filter dialogs: distinct values of one column, then a condition on it.
        for (const auto& c : t.columns) {
            run(QStringLiteral("select distinct [") + c.name + QStringLiteral("] from (") + q
                + QStringLiteral(") ORDER BY [") + c.name + QStringLiteral("]"));
        }
        const QString first = t.columns.value(0).name;
        run(QStringLiteral("Select * from (") + q + QStringLiteral(") Where [") + first
            + QStringLiteral("] >= 'A' AND [") + first + QStringLiteral("] <= 'Z'"));
    }
}

TEST_F(TranslatorCorpus, FilterDialogConditionsOfEveryKind) {
    const QString q = translator_test::reportQueries().at(6); // report 7, clients
    run(QStringLiteral("Select * from (") + q
        + QStringLiteral(") Where [ScadenzaIscrizione] >= #3/15/2024 0.0.0# OR "
                         "[ScadenzaIscrizione] <= #12/31/2024 23.59.59#"));
    run(QStringLiteral("Select * from (") + q + QStringLiteral(") Where [Omaggi] = True AND [Cliente] <= 'O''Neil'"));
    run(QStringLiteral("Select * from (") + q + QStringLiteral(") Where [Certificato_med] = False"));
    run(QStringLiteral("Select * from (") + translator_test::reportQueries().at(13)
        + QStringLiteral(") Where [Importo] >= 0 AND [Importo] <= 12.5"));
}

// The same corpus on the project's real schema script (db/schema.sql), run through the
// translator statement by statement as a new database is made.
TEST(TranslatorCorpusOnProjectSchema, EveryStatementRuns) {
    const QString path = QFileInfo(QString::fromUtf8(__FILE__)).absolutePath()
                         + QStringLiteral("/../../db/schema.sql");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "no schema script at " << path.toStdString();
    QStringList lines;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n'))
        if (!line.trimmed().startsWith(QStringLiteral("--")))
            lines << line;
    RawSqlite db;
    translator_test::runJetScript(db, lines.join(u'\n'));
    QStringList all = translator_test::corpusStatements() + translator_test::reportQueries();
    for (const QString& q : translator_test::reportQueries())
        all << translator_test::wrappedQueries(q);
    for (const QString& jet : std::as_const(all)) {
        try {
            const auto t = db::sql::translate(jet, &db);
            const auto r = db.queryEngine(t.sql);
            if (t.kind == StatementKind::Select) {
                QStringList names;
                for (const auto& c : t.columns)
                    names << c.name;
                EXPECT_EQ(names, r.columns) << jet.toStdString();
            }
        } catch (const db::SyntaxError& e) {
            ADD_FAILURE() << e.text().toStdString() << "\n  in: " << jet.toStdString();
        } catch (const RawSqlite::Error& e) {
            ADD_FAILURE() << e.what() << "\n  jet: " << jet.toStdString();
        }
    }
}
