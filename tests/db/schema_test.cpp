// The database a new installation gets: db/schema.sql and the reference data of data/,
// made by the program's own creation (script splitter, translator, data loader), read back
// through the connection's catalog and queried as the programs query it.

#include "common/filterclause.h"
#include "db/error.h"
#include "db/script.h"
#include "support/rawsqlite.h"
#include "support/tempdb.h"
#include "support/values.h"
#include "translator_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <gtest/gtest.h>

using testing_support::rows;
using testing_support::scalar;
using testsupport::RawSqlite;

namespace {

// Indexes the programs' filters rely on: table and first column.
const std::pair<const char*, const char*> kExpectedIndexes[] = {
    {"Griglie", "NomeComputer"},       {"TempStampa", "NomeComputer"},
    {"TempAvvisi", "NomeComputer"},    {"TempAvvisiClienti", "NomeComputer"},
    {"ClienteOrari", "Cliente_ID"},    {"ClienteEsercizi", "Cliente_ID"},
    {"ClienteDieta", "Cliente_ID"},    {"ClientePatologia", "Cliente_ID"},
    {"Pagamenti", "Cliente_ID"},       {"Scadenze", "Cliente_ID"},
    {"Indirizzi", "Comune_ID"},        {"DatiReportRighe", "TestataReport_ID"},
    {"Calendario", "Cliente_Id"},      {"Calendario", "Personale_Id"},
};

QString sourceDir() { return qEnvironmentVariable("VASTREL_SOURCE_DIR"); }

class Schema : public ::testing::Test {
protected:
    testing_support::TempDatabase tdb;
    db::Connection& conn = tdb.connection();
    RawSqlite engine{tdb.path()};

    QList<QVariantList> engineRows(const QString& sql) { return engine.queryEngine(sql).rows; }
    // Column of PRAGMA table_info (1 name, 2 declared type, 5 key) for every column of a table.
    QStringList pragma(const QString& table, int field) {
        QStringList out;
        for (const auto& r : engineRows(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table)))
            out << r[field].toString();
        return out;
    }
    QStringList tables() {
        QStringList out;
        for (const auto& r : engineRows("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%'"))
            out << r[0].toString();
        return out;
    }
};

} // namespace

// The connection's catalog reads every table as the engine declares it: the key first and
// the only auto-number, each column of the kind its declared type names.
TEST_F(Schema, TheCatalogReadsEveryTableAsDeclared) {
    const QStringList all = tables();
    EXPECT_EQ(all.size(), 36);
    for (const QString& table : all) {
        SCOPED_TRACE(table.toStdString());
        const QStringList names = pragma(table, 1), declared = pragma(table, 2), key = pragma(table, 5);
        const auto cols = conn.catalog().columns(table);
        ASSERT_EQ(cols.size(), names.size());
        EXPECT_EQ(key.first(), "1");
        EXPECT_TRUE(cols.first().autoNumber);
        for (int i = 0; i < cols.size(); ++i) {
            EXPECT_EQ(cols[i].name, names[i]);
            EXPECT_EQ(cols[i].type, db::sql::fieldTypeFromDeclared(declared[i])) << names[i].toStdString();
            if (i > 0) EXPECT_FALSE(cols[i].autoNumber) << names[i].toStdString();
        }
    }
}

TEST_F(Schema, ComputerNamesHoldFifteenCharactersAndFilteredColumnsAreIndexed) {
    for (const char* t : {"Griglie", "TempStampa", "TempAvvisi", "TempAvvisiClienti"}) {
        const QStringList names = pragma(QString::fromUtf8(t), 1);
        EXPECT_EQ(pragma(QString::fromUtf8(t), 2).value(int(names.indexOf("NomeComputer"))), "TEXT(15)") << t;
    }
    for (const auto& [table, column] : kExpectedIndexes) {
        QStringList first;
        for (const auto& idx : engineRows(QStringLiteral("PRAGMA index_list(\"%1\")").arg(table)))
            first << engineRows(QStringLiteral("PRAGMA index_info(\"%1\")").arg(idx[1].toString())).value(0).value(2).toString().toLower();
        EXPECT_TRUE(first.contains(QString::fromUtf8(column).toLower())) << "no index on " << table << "(" << column << ")";
    }
}

// A new row gets the next key, reached however the key is spelt, and its yes/no columns
// start as No and never hold Null.
TEST_F(Schema, KeysAutoNumberAndYesNoColumnsDefaultToNo) {
    for (const QString& table : tables()) {
        SCOPED_TRACE(table.toStdString());
        const auto cols = conn.catalog().columns(table);
        const QString key = cols.first().name;
        QString plain;
        QStringList bools;
        for (const auto& c : cols.mid(1)) {
            if (c.type == db::FieldType::Bool) bools << c.name;
            else if (plain.isEmpty()) plain = c.name;
        }
        const qlonglong before = scalar(conn, QStringLiteral("select max(%1) from %2").arg(key, table)).toLongLong();
        conn.execute(QStringLiteral("insert into %1 ([%2]) values (Null)").arg(table, plain));
        const qlonglong id = scalar(conn, QStringLiteral("SELECT @@IDENTITY as ID;")).toLongLong();
        EXPECT_GT(id, before);
        QStringList spellings{key.toUpper(), key.toLower()};
        if (key.compare(QStringLiteral("ID"), Qt::CaseInsensitive) == 0) spellings << QStringLiteral("Id");
        for (const QString& spelling : spellings)
            EXPECT_EQ(scalar(conn, QStringLiteral("select %1 from %2 where %1 = %3").arg(spelling, table).arg(id)).toLongLong(), id);
        for (const QString& b : bools) {
            EXPECT_EQ(scalar(conn, QStringLiteral("select count(*) from %1 where %2 = false and %3 = %4").arg(table, b, key).arg(id)).toInt(), 1) << b.toStdString();
            EXPECT_THROW(conn.execute(QStringLiteral("update %1 set %2 = Null").arg(table, b)), db::DatabaseError) << b.toStdString();
        }
    }
}

// Every file of data/ is loaded whole, each value stored as its column's type.
TEST_F(Schema, ReferenceDataIsLoadedWholeAndTyped) {
    const QDir data(sourceDir() + QStringLiteral("/data"));
    const QStringList files = data.entryList({QStringLiteral("*.tsv")}, QDir::Files);
    ASSERT_GE(files.size(), 8);
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        QFile f(data.filePath(file));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray text = f.readAll();
        EXPECT_FALSE(text.contains('\r')) << "lines end in LF only";
        const QString table = QFileInfo(file).completeBaseName();
        EXPECT_EQ(scalar(conn, QStringLiteral("select count(*) from ") + table).toInt(), text.count('\n') - 1);
        const QStringList names = pragma(table, 1), declared = pragma(table, 2);
        for (const auto& c : conn.catalog().columns(table)) {
            const QString col = u'"' + c.name + u'"';
            QString wrong; // a condition true for a badly stored value, '@' for the column
            switch (c.type) {
            case db::FieldType::Integer: wrong = QStringLiteral("typeof(@) NOT IN ('integer', 'null')"); break;
            case db::FieldType::Bool: wrong = QStringLiteral("@ NOT IN (0, 1) OR typeof(@) <> 'integer'"); break;
            case db::FieldType::Double: wrong = QStringLiteral("typeof(@) NOT IN ('integer', 'real', 'null')"); break;
            case db::FieldType::Date:
                wrong = QStringLiteral("@ NOT GLOB '[0-9][0-9][0-9][0-9]-[01][0-9]-[0-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-5][0-9]'");
                break;
            case db::FieldType::Blob: break;
            default: {
                const QString decl = declared.value(int(names.indexOf(c.name)));
                const int size = decl.startsWith(QStringLiteral("TEXT(")) ? decl.mid(5).chopped(1).toInt() : 1 << 30;
                wrong = QStringLiteral("typeof(@) NOT IN ('text', 'null') OR length(@) > %1 OR @ = ''").arg(size);
            }
            }
            if (wrong.isEmpty()) continue;
            const auto bad = engineRows(QStringLiteral("SELECT count(*) FROM \"%1\" WHERE ").arg(table) + wrong.replace(u'@', col));
            EXPECT_EQ(bad.value(0).value(0).toInt(), 0) << c.name.toStdString();
        }
    }
}

// The splitter of the schema script and of the maintenance console.
TEST(ScriptSplitter, CutsAtSemicolonsOutsideQuotesBracketsAndComments) {
    const struct {
        const char* script;
        bool keepTail;
        QStringList statements;
    } cases[] = {
        {"a; b;", true, {"a", "b"}}, {"a; b", true, {"a", "b"}}, {"a; b", false, {"a"}},
        {" ;  ;\n; a ;", true, {"a"}},
        {"-- x; y\nselect 1;\n  -- indented; too\nselect 2", true, {"select 1", "select 2"}},
        {"select ';--' ; select \"a;b\"", true, {"select ';--'", "select \"a;b\""}},
        {"select [a;b] from t; z", true, {"select [a;b] from t", "z"}},
        {"insert into t values ('it''s; ok');", true, {"insert into t values ('it''s; ok')"}},
        {"select 1 -- not a comment; here", true, {"select 1 -- not a comment", "here"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(db::splitScript(QString::fromUtf8(c.script), c.keepTail), c.statements) << c.script;
}

TEST_F(Schema, ReferenceDataAnswersTheProgramsQueries) {
    // Every Italian municipality, Rome's postcodes offered by the finder.
    const int comuni = scalar(conn, "select count(*) as N from Comuni").toInt();
    EXPECT_GT(comuni, 7800);
    EXPECT_LT(comuni, 8200);
    EXPECT_EQ(rows(conn, "select Provincia, Cap, CODICE_F, COD_ISTAT from Comuni where Comune = 'Roma'"),
              (QList<QVariantList>{{"RM", "00118", "H501", "058091"}}));
    EXPECT_GT(testing_support::count(conn, "SELECT Indirizzi.CAP,Indirizzi.Frazione FROM Indirizzi INNER JOIN Comuni ON Indirizzi.Comune_ID = Comuni.ID where Comuni.Comune = 'Roma'"), 50);
    // A single postcode: no street rows, the client record fills it in directly.
    EXPECT_EQ(testing_support::count(conn, "SELECT Indirizzi.CAP FROM Indirizzi INNER JOIN Comuni ON Indirizzi.Comune_ID = Comuni.ID where Comuni.Comune = 'Cefalù'"), 0);
    EXPECT_EQ(rows(conn, "select Provincia, Cap from Comuni where Comune = 'Cefalù'"), (QList<QVariantList>{{"PA", "90015"}}));
    // Apostrophes, doubled in the SQL text.
    EXPECT_EQ(scalar(conn, "select Provincia from Comuni where Comune = 'Sant''Agata de'' Goti'").toString(), "BN");
    EXPECT_GE(testing_support::count(conn, "select Comune from Comuni where Comune like 'Sant''Agata*'"), 9);
    // Every street names an existing municipality.
    EXPECT_EQ(scalar(conn, "select count(*) from Indirizzi LEFT JOIN Comuni ON Indirizzi.Comune_ID = Comuni.ID where Comuni.ID is null").toInt(), 0);
    // Meals in the order of the day.
    const auto pasti = rows(conn, "select Descrizione from Pasti order by Ora");
    ASSERT_GE(pasti.size(), 5);
    EXPECT_EQ(pasti.front().front(), "Colazione");
    EXPECT_EQ(pasti.back().front(), "Cena");
    // Export formats: four active ones with distinct numbers; the options row points at PDF.
    EXPECT_EQ(rows(conn, "select Estensione from TipoEsportazioniCrystalReport where Attivo=true Order by Estensione"),
              (QList<QVariantList>{{"csv"}, {"html"}, {"odt"}, {"pdf"}}));
    EXPECT_EQ(scalar(conn, "select count(*) from (select distinct Numero from TipoEsportazioniCrystalReport)").toInt(), 4);
    EXPECT_EQ(rows(conn, "SELECT opzioni.SmtpPorta, opzioni.SmtpCriptaggioTipo, opzioni.StampanteDefault, TipoEsportazioniCrystalReport.Estensione, opzioni.EstensioneEsportazione FROM opzioni LEFT JOIN TipoEsportazioniCrystalReport ON opzioni.TipoEsportazione = TipoEsportazioniCrystalReport.Numero"),
              (QList<QVariantList>{{587, 3, 0, "pdf", "pdf"}}));
    EXPECT_EQ(scalar(conn, "select count(*) from opzioni where PasswordAmministratore > ''").toInt(), 0);
    EXPECT_FALSE(scalar(conn, "select RagSoc from Ditta").toString().isEmpty());
}

TEST_F(Schema, ExportSourcesRunAsTheExportToolRunsThem) {
    // A little data so that every join has something to join.
    for (const QString& statement : db::splitScript(QString::fromUtf8(translator_test::kSampleRows)))
        conn.execute(statement);
    QStringList names;
    for (const auto& src : rows(conn, "select Descrizione, Query from QueryCreazioneStampe order by Descrizione")) {
        const QString descr = src[0].toString(), query = src[1].toString();
        SCOPED_TRACE(descr.toStdString());
        names << descr;
        EXPECT_FALSE(query.trimmed().endsWith(u';'));
        QStringList columns;
        EXPECT_GE(rows(conn, QStringLiteral("Select * from (") + query + u')', &columns).size(), 1) << "no row on the sample data";
        EXPECT_EQ(QSet<QString>(columns.begin(), columns.end()).size(), columns.size()) << "a column twice";
        // The filter window's first offered column, its values, and a condition on them.
        const QStringList offered = common::filterableColumns(conn, query);
        ASSERT_FALSE(offered.isEmpty());
        const auto values = common::distinctValues(conn, query, offered.first(), common::FilterOptions::exportTool());
        EXPECT_FALSE(values.items.isEmpty());
        common::FilterClause clause(common::FilterOptions::exportTool());
        clause.add(offered.first(), values.type, values.items.first(), values.items.first(), true);
        EXPECT_GE(rows(conn, QStringLiteral("Select * from (") + query + u')' + clause.confirmedClause()).size(), 1);
    }
    for (const char* n : {"Clienti", "Personale", "Pagamenti", "Scadenziario", "Presenze", "Occasionali", "Orari corsi"})
        EXPECT_TRUE(names.contains(QString::fromUtf8(n))) << "missing export source " << n;
    // Cancelled clients are left out of the clients source.
    const QString clienti = scalar(conn, "select Query from QueryCreazioneStampe where Descrizione = 'Clienti'").toString();
    EXPECT_EQ(testing_support::count(conn, QStringLiteral("Select * from (") + clienti + QStringLiteral(") Where [Cognome] >='Verdi'")), 0);
}
