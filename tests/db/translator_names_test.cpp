// Result names and column origins of the programs' joins, the exact text where it matters,
// errors with their positions, and robustness on random and truncated input.

#include "db/error.h"
#include "db/sql/translator.h"
#include "support/rawsqlite.h"
#include "translator_fixture.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using db::sql::ResultColumn;
using db::sql::translate;
using testsupport::RawSqlite;

namespace {

QString describe(const ResultColumn& c) {
    return c.name + u'=' + c.table + u'.' + c.column;
}

class TranslatorNames : public ::testing::Test {
protected:
    void SetUp() override { translator_test::createCorpusSchema(db); }
    QList<ResultColumn> cols(const QString& jet) { return translate(jet, &db).columns; }
    RawSqlite db;
};

int errorPosition(const QString& sql, QString* message = nullptr) {
    try {
        translate(sql, nullptr);
    } catch (const db::SyntaxError& e) {
        if (message)
            *message = e.message();
        return e.position();
    }
    return -1;
}

} // namespace

TEST_F(TranslatorNames, ClientTimetableJoin) {
    const auto c = cols(
        "SELECT orari.Specialita, orari.Giorno,orari.corso, anagraficapersonale.Cognome AS "
        "Istruttore, ClienteOrari.ID, ClienteOrari.Cliente_ID, ClienteOrari.Orario_ID, "
        "ClienteOrari.OrarioInizio, ClienteOrari.OrarioFine FROM (ClienteOrari INNER JOIN orari ON "
        "ClienteOrari.Orario_ID = orari.Id) LEFT JOIN anagraficapersonale ON orari.Istruttore_ID = "
        "anagraficapersonale.ID where ClienteOrari.Cliente_ID = 1");
    QStringList got;
    for (const auto& x : c)
        got << describe(x);
    EXPECT_EQ(got, (QStringList{"Specialita=orari.Specialita", "Giorno=orari.Giorno",
                                "Corso=orari.Corso", "Istruttore=anagraficapersonale.Cognome",
                                "ID=ClienteOrari.ID", "Cliente_ID=ClienteOrari.Cliente_ID",
                                "Orario_ID=ClienteOrari.Orario_ID",
                                "OrarioInizio=ClienteOrari.OrarioInizio",
                                "OrarioFine=ClienteOrari.OrarioFine"}));
}

TEST_F(TranslatorNames, PathologiesStarAfterNamedColumns) {
    auto c = cols("SELECT Patologie.Descrizione, Patologie.Cura, ClientePatologia.* FROM "
                  "ClientePatologia INNER JOIN Patologie ON ClientePatologia.Patologia_ID = "
                  "Patologie.ID where Cliente_ID = 1");
    ASSERT_EQ(c.size(), 8);
    EXPECT_EQ(describe(c[0]), "Descrizione=Patologie.Descrizione");
    EXPECT_EQ(describe(c[2]), "ID=ClientePatologia.ID");
    EXPECT_EQ(describe(c[7]), "Note=ClientePatologia.Note");

}

TEST_F(TranslatorNames, ComputedStarsAliasesAndTables) {
    auto c = cols("select count(*), max(Importo), Importo * 2 as Doppio, p.Data from Pagamenti p");
    EXPECT_EQ(c[0].name, "Expr1000");
    EXPECT_EQ(c[1].name, "Expr1001");
    EXPECT_TRUE(c[1].computed());
    EXPECT_EQ(c[2].name, "Doppio");
    EXPECT_EQ(describe(c[3]), "Data=Pagamenti.Data");
    const auto t = translate("select * from Pasti, Alimenti where Pasti.ID = Alimenti.ID", &db);
    EXPECT_EQ(t.tables, (QStringList{"Pasti", "Alimenti"}));
    EXPECT_EQ(t.columns.size(), 12);
    EXPECT_EQ(t.columns[0].name, "Pasti.ID");
    EXPECT_EQ(t.columns[3].name, "Alimenti.ID");
    EXPECT_EQ(t.columns[5].name, "E%");
    // A subquery's columns keep their origins.
    c = cols("select Prog from (SELECT max(Progressivo) as Prog, Cognome FROM Occasionali group "
             "by Cognome) as x");
    EXPECT_TRUE(c[0].computed());
    c = cols("select Chi from (SELECT Cognome as Chi FROM Occasionali)");
    EXPECT_EQ(describe(c[0]), "Chi=Occasionali.Cognome");
}

TEST(TranslatorWithoutCatalog, StarsStayAndColumnsAreEmpty) {
    auto t = translate("select * from Pagamenti where Cliente_ID = 1", nullptr);
    EXPECT_EQ(t.sql, "SELECT * FROM \"Pagamenti\" WHERE \"Cliente_ID\" = 1");
    EXPECT_TRUE(t.columns.isEmpty());
    t = translate("select Data, Importo as I from Pagamenti", nullptr);
    ASSERT_EQ(t.columns.size(), 2);
    EXPECT_EQ(describe(t.columns[0]), "Data=Pagamenti.Data");
    EXPECT_EQ(describe(t.columns[1]), "I=Pagamenti.Importo");
    t = translate("select p.*, Data from Pagamenti p", nullptr);
    EXPECT_EQ(t.sql, "SELECT \"p\".*, \"Data\" AS \"Data\" FROM \"Pagamenti\" AS \"p\"");
}

TEST(TranslatorGolden, ExactTexts) {
    auto sql = [](const char* jet) { return translate(jet, nullptr).sql; };
    EXPECT_EQ(sql("delete * from TempAvvisi where NomeComputer ='PC1';"),
              "DELETE FROM \"TempAvvisi\" WHERE \"NomeComputer\" = 'PC1'");
    EXPECT_EQ(sql("UPDATE Calendario INNER JOIN anagraficaclienti ON calendario.Cliente_Id = "
                  "anagraficaclienti.Id SET calendario.Cliente = "
                  "[anagraficaclienti].[NominativoDocumenti] where anagraficaclienti.Id=7"),
              "UPDATE \"Calendario\" SET \"Cliente\" = \"anagraficaclienti\".\"NominativoDocumenti\" "
              "FROM \"anagraficaclienti\" WHERE \"calendario\".\"Cliente_Id\" = "
              "\"anagraficaclienti\".\"Id\" AND \"anagraficaclienti\".\"Id\" = 7");
    EXPECT_EQ(sql("UPDATE Calendario SET Storico = true where Concluso=true and DataInizio < "
                  "#01/01/2025#"),
              "UPDATE \"Calendario\" SET \"Storico\" = 1 WHERE \"Concluso\" = 1 AND "
              "\"DataInizio\" < '2025-01-01 00:00:00'");
    EXPECT_EQ(sql("select top 1 [E%] from Alimenti order by Descrizione desc"),
              "SELECT \"E%\" AS \"E%\" FROM \"Alimenti\" ORDER BY \"Descrizione\" DESC LIMIT 1");
    EXPECT_EQ(sql("select a & ' ' & b as x from t"),
              "SELECT coalesce(\"a\", '') || ' ' || coalesce(\"b\", '') AS \"x\" FROM \"t\"");
    EXPECT_EQ(sql("select \"te\"\"xt\" & 'O''Neil', #3/15/2024 23.59.59#, false, Null"),
              "SELECT 'te\"xt' || 'O''Neil' AS \"Expr1000\", '2024-03-15 23:59:59' AS \"Expr1001\", "
              "0 AS \"Expr1002\", NULL AS \"Expr1003\"");
    EXPECT_EQ(sql("select a + b, 'x' + b, 1 + 2 from t"),
              "SELECT jet_add(\"a\", \"b\") AS \"Expr1000\", 'x' || \"b\" AS \"Expr1001\", 1 + 2 "
              "AS \"Expr1002\" FROM \"t\"");
    EXPECT_EQ(sql("Select * from (select a from t) Where [a] like \"x*\""),
              "SELECT \"a\" AS \"a\" FROM (SELECT \"a\" AS \"a\" FROM \"t\") WHERE \"a\" LIKE "
              "'x*'");
    EXPECT_EQ(sql("select a from t where (a = 1 or a = 2) and not b = 3"),
              "SELECT \"a\" AS \"a\" FROM \"t\" WHERE (\"a\" = 1 OR \"a\" = 2) AND NOT \"b\" = 3");
    EXPECT_EQ(sql("insert into T (A, B) VALUES('x',1)"),
              "INSERT INTO \"T\" (\"A\", \"B\") VALUES ('x', 1)");
    EXPECT_EQ(sql("select (a + 1) * 2, a - (b - c) from t where x is not null"),
              "SELECT jet_add(\"a\", 1) * 2 AS \"Expr1000\", \"a\" - (\"b\" - \"c\") AS "
              "\"Expr1001\" FROM \"t\" WHERE \"x\" IS NOT NULL");
    EXPECT_EQ(sql("SELECT a FROM t1 LEFT JOIN (t2 INNER JOIN t3 ON t2.k = t3.k) ON t1.k = t2.k "
                  "RIGHT JOIN t4 ON t4.k = t1.k"),
              "SELECT \"a\" AS \"a\" FROM \"t1\" LEFT JOIN (\"t2\" INNER JOIN \"t3\" ON \"t2\".\"k\" = "
              "\"t3\".\"k\") ON \"t1\".\"k\" = \"t2\".\"k\" RIGHT JOIN \"t4\" ON \"t4\".\"k\" = "
              "\"t1\".\"k\"");
    EXPECT_THROW(translate("select 1", nullptr, db::sql::Dialect::PostgreSQL), db::DatabaseError);
}

TEST(TranslatorErrors, PositionsOfUnreadableTexts) {
    QString msg;
    EXPECT_EQ(errorPosition("select 'abc from t"), 7);
    EXPECT_EQ(errorPosition("select \"abc from t"), 7);
    EXPECT_EQ(errorPosition("select [abc from t"), 7);
    EXPECT_EQ(errorPosition("select a from t where d = #1/1/2024"), 26);
    EXPECT_EQ(errorPosition("select a from t where d = #2/31/2024#", &msg), 26);
    EXPECT_TRUE(msg.contains("Data")) << msg.toStdString();
    EXPECT_EQ(errorPosition("select a from t where d = #2/29/2023#"), 26);
    EXPECT_EQ(errorPosition("select a from t where d = #13/1/2024#"), 26);
    EXPECT_EQ(errorPosition("select a from t where d = #1/1/2024 24.00.00#"), 26);
    EXPECT_EQ(errorPosition("select a from t where d = #hello#"), 26);
    EXPECT_EQ(errorPosition("select a ~ b from t"), 9);
    EXPECT_EQ(errorPosition("select a from t where a = $1"), 26);
    EXPECT_EQ(errorPosition("select a from"), 13);
    EXPECT_EQ(errorPosition("select a from t x y"), 18);
    EXPECT_EQ(errorPosition("select * from t; select 1"), 17);
    EXPECT_EQ(errorPosition("select foo(1) from t", &msg), 7);
    EXPECT_TRUE(msg.contains("foo"));
    EXPECT_EQ(errorPosition("select left('a') from t"), 7);
    EXPECT_EQ(errorPosition(""), 0);
    EXPECT_EQ(errorPosition("   ;"), 3);
    EXPECT_EQ(errorPosition("select"), 6);
    EXPECT_EQ(errorPosition("delete from"), 11);
    EXPECT_EQ(errorPosition("grant all on t"), 0);
    EXPECT_EQ(errorPosition("select a from t union select b from u"), 16);
    EXPECT_EQ(errorPosition("update a left join b on a.k = b.k set a.c = 1"), 9);
    EXPECT_EQ(errorPosition("update a inner join b on a.k = b.k set a.c = 1, b.d = 2"), 48);
    EXPECT_EQ(errorPosition("select a from t where a in ()"), 28);
    EXPECT_EQ(errorPosition("select top 1.5 a from t"), 11);
    EXPECT_EQ(errorPosition("select @@rowcount"), 7);
    EXPECT_EQ(errorPosition("select a from t where a = 1 and"), 31);
    EXPECT_EQ(errorPosition("select u.* from t"), 7);
}

TEST(TranslatorRobustness, DeepNestingIsAnErrorNotACrash) {
    QString deep = QStringLiteral("select ") + QString(100000, u'(') + u'1'
                   + QString(100000, u')');
    EXPECT_THROW(translate(deep, nullptr), db::SyntaxError);
    QString chain = QStringLiteral("select 1");
    for (int i = 0; i < 100000; ++i)
        chain += QStringLiteral(" + 1");
    EXPECT_THROW(translate(chain, nullptr), db::SyntaxError);
    QString notChain = QStringLiteral("select a from t where ") + QString(50000, u'-')
                       + QStringLiteral("1");
    EXPECT_THROW(translate(notChain, nullptr), db::SyntaxError);
    QString subs = QStringLiteral("select * from ");
    for (int i = 0; i < 10000; ++i)
        subs += QStringLiteral("(select * from ");
    EXPECT_THROW(translate(subs + "t", nullptr), db::SyntaxError);
    // Long but flat statements are fine.
    QString ors = QStringLiteral("select a from t where a = 0");
    for (int i = 1; i < 20000; ++i)
        ors += QStringLiteral(" or a = %1").arg(i);
    EXPECT_NO_THROW(translate(ors, nullptr));
    QString moderate = QStringLiteral("select ") + QString(40, u'(') + u'1' + QString(40, u')');
    EXPECT_NO_THROW(translate(moderate, nullptr));
    QString plus = QStringLiteral("select 1");
    for (int i = 0; i < 900; ++i)
        plus += QStringLiteral(" + a");
    EXPECT_NO_THROW(translate(plus + " from t", nullptr));
}

TEST_F(TranslatorNames, FuzzPrefixesAndTokenSoupNeverCrash) {
    const QStringList corpus = translator_test::schemaStatements()
                               + db::splitScript(QString::fromUtf8(translator_test::kSampleRows));
    int errors = 0;
    auto attempt = [&](const QString& text, const db::sql::Catalog* catalog) {
        try {
            translate(text, catalog);
        } catch (const db::SyntaxError&) {
            ++errors;
        } catch (const std::exception& e) {
            ADD_FAILURE() << "unexpected exception " << e.what() << " on: " << text.toStdString();
        }
    };
    for (const QString& s : std::as_const(corpus)) {
        for (int n = 0; n <= s.size(); ++n)
            attempt(s.left(n), n % 3 == 0 ? &db : nullptr);
    }
    EXPECT_GT(errors, 1000);

    QRandomGenerator rng(20240315);
    const QStringList vocabulary = {
        "select", "from", "where", "and", "or", "not", "(", ")", ",", ".", "*", "+", "-", "/",
        "&", "=", "<>", "<=", ">", "like", "in", "between", "is", "null", "true", "false", "top",
        "1", "2.5", "'x'", "\"y\"", "[E%]", "#1/2/2024#", "Pagamenti", "Importo", "Data",
        "anagraficaclienti", "ID", "inner", "left", "right", "join", "on", "as", "order", "by",
        "desc", "group", "having", "count", "max", "iif", "left(", "delete", "update", "set",
        "insert", "into", "values", "create", "table", "index", "alter", "add", "column", "drop",
        "COUNTER", "TEXT", "(50)", "@@IDENTITY", ";", "distinct", "exists", "mod", "\\", "?", "#",
        "'", "[", "!", "@", "--", "\n", "p", "Pasti.*", "ucase(", "mid(", "year(", "constraint",
        "primary", "key", "unique", "default", "references"};
    for (int i = 0; i < 20000; ++i) {
        QString text;
        const int n = int(rng.bounded(1, 25));
        for (int k = 0; k < n; ++k) {
            text += vocabulary[int(rng.bounded(vocabulary.size()))];
            text += rng.bounded(4) == 0 ? QString() : QStringLiteral(" ");
        }
        attempt(text, (i & 1) ? &db : nullptr);
    }
    // Random edits of valid statements.
    for (int i = 0; i < 5000; ++i) {
        QString s = corpus[int(rng.bounded(corpus.size()))];
        const int edits = int(rng.bounded(1, 4));
        for (int k = 0; k < edits && !s.isEmpty(); ++k) {
            const int at = int(rng.bounded(s.size()));
            switch (rng.bounded(3)) {
            case 0: s.remove(at, 1); break;
            case 1: s.insert(at, QChar(char16_t(rng.bounded(32, 127)))); break;
            default: s[at] = QChar(char16_t(rng.bounded(32, 0x2FF))); break;
            }
        }
        attempt(s, &db);
    }
}
