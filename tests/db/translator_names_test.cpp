// Result names and column origins of the programs' joins, the exact text where it matters,
// errors with their positions, and robustness on random and truncated input.

#include "db/error.h"
#include "db/sql/translator.h"
#include "support/fuzz.h"
#include "support/rawsqlite.h"
#include "translator_fixture.h"

#include <gtest/gtest.h>

using db::sql::ResultColumn;
using db::sql::translate;
using testsupport::RawSqlite;

namespace {

// Each result column as name=table.column (computed ones have neither), space-separated.
QString describe(const QList<ResultColumn>& columns) {
    QStringList out;
    for (const ResultColumn& c : columns) out << c.name + u'=' + c.table + u'.' + c.column;
    return out.join(u' ');
}

class TranslatorNames : public ::testing::Test {
protected:
    void SetUp() override { translator_test::createCorpusSchema(db); }
    RawSqlite db;
};

int errorPosition(const QString& sql, QString* message = nullptr) {
    try {
        translate(sql, nullptr);
    } catch (const db::SyntaxError& e) {
        if (message) *message = e.message();
        return e.position();
    }
    return -1;
}

} // namespace

TEST_F(TranslatorNames, ResultNamesAndOrigins) {
    const std::pair<const char*, const char*> cases[] = {
        {"SELECT orari.Specialita, orari.Giorno,orari.corso, anagraficapersonale.Cognome AS Istruttore, ClienteOrari.ID, "
         "ClienteOrari.Cliente_ID, ClienteOrari.Orario_ID, ClienteOrari.OrarioInizio, ClienteOrari.OrarioFine FROM "
         "(ClienteOrari INNER JOIN orari ON ClienteOrari.Orario_ID = orari.Id) LEFT JOIN anagraficapersonale ON "
         "orari.Istruttore_ID = anagraficapersonale.ID where ClienteOrari.Cliente_ID = 1",
         "Specialita=orari.Specialita Giorno=orari.Giorno Corso=orari.Corso Istruttore=anagraficapersonale.Cognome "
         "ID=ClienteOrari.ID Cliente_ID=ClienteOrari.Cliente_ID Orario_ID=ClienteOrari.Orario_ID "
         "OrarioInizio=ClienteOrari.OrarioInizio OrarioFine=ClienteOrari.OrarioFine"},
        // A star after named columns.
        {"SELECT Patologie.Descrizione, Patologie.Cura, ClientePatologia.* FROM ClientePatologia INNER JOIN "
         "Patologie ON ClientePatologia.Patologia_ID = Patologie.ID where Cliente_ID = 1",
         "Descrizione=Patologie.Descrizione Cura=Patologie.Cura ID=ClientePatologia.ID "
         "Cliente_ID=ClientePatologia.Cliente_ID Patologia_ID=ClientePatologia.Patologia_ID "
         "DataInizio=ClientePatologia.DataInizio DataFine=ClientePatologia.DataFine Note=ClientePatologia.Note"},
        {"select count(*), max(Importo), Importo * 2 as Doppio, p.Data from Pagamenti p",
         "Expr1000=. Expr1001=. Doppio=. Data=Pagamenti.Data"},
        // A star over two tables qualifies the shared names.
        {"select * from Pasti, Alimenti where Pasti.ID = Alimenti.ID",
         "Pasti.ID=Pasti.ID Pasti.Descrizione=Pasti.Descrizione Ora=Pasti.Ora Alimenti.ID=Alimenti.ID "
         "Alimenti.Descrizione=Alimenti.Descrizione E%=Alimenti.E% ACQ=Alimenti.ACQ PRO=Alimenti.PRO "
         "GRA=Alimenti.GRA CAR=Alimenti.CAR FIB=Alimenti.FIB KC=Alimenti.KC"},
        // A subquery's columns keep their origins.
        {"select Prog from (SELECT max(Progressivo) as Prog, Cognome FROM Occasionali group by Cognome) as x", "Prog=."},
        {"select Chi from (SELECT Cognome as Chi FROM Occasionali)", "Chi=Occasionali.Cognome"},
    };
    for (const auto& [jet, expected] : cases) EXPECT_EQ(describe(translate(jet, &db).columns), expected) << jet;
    EXPECT_EQ(translate("select * from Pasti, Alimenti", &db).tables, (QStringList{"Pasti", "Alimenti"}));
}

TEST(TranslatorWithoutCatalog, StarsStayAndColumnsAreEmpty) {
    auto t = translate("select * from Pagamenti where Cliente_ID = 1", nullptr);
    EXPECT_EQ(t.sql, "SELECT * FROM \"Pagamenti\" WHERE \"Cliente_ID\" = 1");
    EXPECT_TRUE(t.columns.isEmpty());
    EXPECT_EQ(describe(translate("select Data, Importo as I from Pagamenti", nullptr).columns),
              "Data=Pagamenti.Data I=Pagamenti.Importo");
    t = translate("select p.*, Data from Pagamenti p", nullptr);
    EXPECT_EQ(t.sql, "SELECT \"p\".*, \"Data\" AS \"Data\" FROM \"Pagamenti\" AS \"p\"");
}

TEST(TranslatorGolden, ExactTexts) {
    const std::pair<const char*, const char*> cases[] = {
        {"delete * from TempAvvisi where NomeComputer ='PC1';",
         "DELETE FROM \"TempAvvisi\" WHERE \"NomeComputer\" = 'PC1'"},
        {"UPDATE Calendario INNER JOIN anagraficaclienti ON calendario.Cliente_Id = anagraficaclienti.Id SET "
         "calendario.Cliente = [anagraficaclienti].[NominativoDocumenti] where anagraficaclienti.Id=7",
         "UPDATE \"Calendario\" SET \"Cliente\" = \"anagraficaclienti\".\"NominativoDocumenti\" FROM "
         "\"anagraficaclienti\" WHERE \"calendario\".\"Cliente_Id\" = \"anagraficaclienti\".\"Id\" AND "
         "\"anagraficaclienti\".\"Id\" = 7"},
        {"UPDATE Calendario SET Storico = true where Concluso=true and DataInizio < #01/01/2025#",
         "UPDATE \"Calendario\" SET \"Storico\" = 1 WHERE \"Concluso\" = 1 AND \"DataInizio\" < '2025-01-01 00:00:00'"},
        {"select top 1 [E%] from Alimenti order by Descrizione desc",
         "SELECT \"E%\" AS \"E%\" FROM \"Alimenti\" ORDER BY \"Descrizione\" DESC LIMIT 1"},
        {"select a & ' ' & b as x from t", "SELECT coalesce(\"a\", '') || ' ' || coalesce(\"b\", '') AS \"x\" FROM \"t\""},
        {"select \"te\"\"xt\" & 'O''Neil', #3/15/2024 23.59.59#, false, Null",
         "SELECT 'te\"xt' || 'O''Neil' AS \"Expr1000\", '2024-03-15 23:59:59' AS \"Expr1001\", 0 AS \"Expr1002\", "
         "NULL AS \"Expr1003\""},
        {"select a + b, 'x' + b, 1 + 2 from t",
         "SELECT jet_add(\"a\", \"b\") AS \"Expr1000\", 'x' || \"b\" AS \"Expr1001\", 1 + 2 AS \"Expr1002\" FROM \"t\""},
        {"Select * from (select a from t) Where [a] like \"x*\"",
         "SELECT \"a\" AS \"a\" FROM (SELECT \"a\" AS \"a\" FROM \"t\") WHERE \"a\" LIKE 'x*'"},
        {"select a from t where (a = 1 or a = 2) and not b = 3",
         "SELECT \"a\" AS \"a\" FROM \"t\" WHERE (\"a\" = 1 OR \"a\" = 2) AND NOT \"b\" = 3"},
        {"insert into T (A, B) VALUES('x',1)", "INSERT INTO \"T\" (\"A\", \"B\") VALUES ('x', 1)"},
        {"select (a + 1) * 2, a - (b - c) from t where x is not null",
         "SELECT jet_add(\"a\", 1) * 2 AS \"Expr1000\", \"a\" - (\"b\" - \"c\") AS \"Expr1001\" FROM \"t\" WHERE "
         "\"x\" IS NOT NULL"},
        {"SELECT a FROM t1 LEFT JOIN (t2 INNER JOIN t3 ON t2.k = t3.k) ON t1.k = t2.k RIGHT JOIN t4 ON t4.k = t1.k",
         "SELECT \"a\" AS \"a\" FROM \"t1\" LEFT JOIN (\"t2\" INNER JOIN \"t3\" ON \"t2\".\"k\" = \"t3\".\"k\") ON "
         "\"t1\".\"k\" = \"t2\".\"k\" RIGHT JOIN \"t4\" ON \"t4\".\"k\" = \"t1\".\"k\""},
    };
    for (const auto& [jet, sql] : cases) EXPECT_EQ(translate(jet, nullptr).sql, sql);
    EXPECT_THROW(translate("select 1", nullptr, db::sql::Dialect::PostgreSQL), db::DatabaseError);
}

TEST(TranslatorErrors, PositionsOfUnreadableTexts) {
    const std::pair<const char*, int> cases[] = {
        {"select 'abc from t", 7},           {"select \"abc from t", 7},           {"select [abc from t", 7},
        {"select a from t where d = #1/1/2024", 26},   {"select a from t where d = #2/29/2023#", 26},
        {"select a from t where d = #13/1/2024#", 26}, {"select a from t where d = #1/1/2024 24.00.00#", 26},
        {"select a from t where d = #hello#", 26},     {"select a ~ b from t", 9},
        {"select a from t where a = $1", 26},          {"select a from", 13},
        {"select a from t x y", 18},                   {"select * from t; select 1", 17},
        {"select left('a') from t", 7},                {"", 0},
        {"   ;", 3},                                   {"select", 6},
        {"delete from", 11},                           {"grant all on t", 0},
        {"select a from t union select b from u", 16}, {"update a left join b on a.k = b.k set a.c = 1", 9},
        {"update a inner join b on a.k = b.k set a.c = 1, b.d = 2", 48},
        {"select a from t where a in ()", 28},         {"select top 1.5 a from t", 11},
        {"select @@rowcount", 7},                      {"select a from t where a = 1 and", 31},
        {"select u.* from t", 7},
    };
    for (const auto& [sql, position] : cases) EXPECT_EQ(errorPosition(sql), position) << sql;
    // The message names what is wrong.
    QString msg;
    EXPECT_EQ(errorPosition("select a from t where d = #2/31/2024#", &msg), 26);
    EXPECT_TRUE(msg.contains("Data")) << msg.toStdString();
    EXPECT_EQ(errorPosition("select foo(1) from t", &msg), 7);
    EXPECT_TRUE(msg.contains("foo"));
}

TEST(TranslatorRobustness, DeepNestingIsAnErrorNotACrash) {
    const QString deep[] = {"select " + QString(100000, u'(') + u'1' + QString(100000, u')'),
                            "select 1" + QString(" + 1").repeated(100000),
                            "select a from t where " + QString(50000, u'-') + "1",
                            "select * from " + QString("(select * from ").repeated(10000) + "t"};
    for (const QString& sql : deep) EXPECT_THROW(translate(sql, nullptr), db::SyntaxError) << sql.left(40).toStdString();
    // Long but flat statements, and moderate nesting, are fine.
    QString ors = QStringLiteral("select a from t where a = 0");
    for (int i = 1; i < 20000; ++i) ors += QStringLiteral(" or a = %1").arg(i);
    EXPECT_NO_THROW(translate(ors, nullptr));
    EXPECT_NO_THROW(translate("select " + QString(40, u'(') + u'1' + QString(40, u')'), nullptr));
    EXPECT_NO_THROW(translate("select 1" + QString(" + a").repeated(900) + " from t", nullptr));
}

TEST_F(TranslatorNames, FuzzPrefixesAndTokenSoupNeverCrash) {
    int errors = 0, n = 0;
    testing_support::fuzzTexts(
        translator_test::schemaStatements() + db::splitScript(QString::fromUtf8(translator_test::kSampleRows)),
        {"select", "from", "where", "and", "or", "not", "(", ")", ",", ".", "*", "+", "-", "/", "&", "=", "<>", "<=",
         ">", "like", "in", "between", "is", "null", "true", "false", "top", "1", "2.5", "'x'", "\"y\"", "[E%]",
         "#1/2/2024#", "Pagamenti", "Importo", "Data", "anagraficaclienti", "ID", "inner", "left", "right", "join",
         "on", "as", "order", "by", "desc", "group", "having", "count", "max", "iif", "left(", "delete", "update", "set",
         "insert", "into", "values", "create", "table", "index", "alter", "add", "column", "drop", "COUNTER", "TEXT",
         "(50)", "@@IDENTITY", ";", "distinct", "exists", "mod", "\\", "?", "#", "'", "[", "!", "@", "--", "\n", "p",
         "Pasti.*", "ucase(", "mid(", "year(", "constraint", "primary", "key", "unique", "default", "references"},
        20240315, [&](const QString& text) {
            try {
                translate(text, ++n % 2 ? &db : nullptr);
            } catch (const db::SyntaxError&) {
                ++errors;
            } catch (const std::exception& e) {
                ADD_FAILURE() << "unexpected exception " << e.what() << " on: " << text.toStdString();
            }
        });
    EXPECT_GT(errors, 1000);
}
