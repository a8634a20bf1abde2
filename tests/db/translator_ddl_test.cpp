// DDL of the update scripts and of the schema: Jet types in, SQLite storage conventions out,
// checked on a real SQLite database.

#include "db/error.h"
#include "db/sql/translator.h"
#include "support/rawsqlite.h"

#include <gtest/gtest.h>

using db::FieldType;
using db::sql::StatementKind;
using db::sql::translate;
using testsupport::RawSqlite;

namespace {

struct ColumnInfo {
    QString name, type;
    bool notNull = false;
    QVariant dflt;
    int pk = 0;
};

QList<ColumnInfo> tableInfo(RawSqlite& db, const QString& table) {
    QList<ColumnInfo> out;
    const auto r = db.queryEngine(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table));
    for (const QVariantList& row : r.rows)
        out.append({row[1].toString(), row[2].toString(), row[3].toInt() != 0, row[4],
                    row[5].toInt()});
    return out;
}

QString tableSql(RawSqlite& db, const QString& table) {
    return db.queryEngine(QStringLiteral("SELECT sql FROM sqlite_master WHERE name = '%1'").arg(table))
        .rows.value(0).value(0).toString();
}

} // namespace

TEST(TranslatorDdl, CreateTableMapsEveryJetType) {
    using enum FieldType;
    const struct {
        const char* jet;
        const char* declared;
        FieldType type;
    } types[] = {
        {"COUNTER", "INTEGER", Integer},   {"TEXT(50) NOT NULL", "TEXT(50)", Text}, {"CHAR(2)", "TEXT(2)", Text},
        {"TEXT", "TEXT", Text},            {"MEMO", "LONGTEXT", Memo},              {"LONGTEXT", "LONGTEXT", Memo},
        {"YESNO", "YESNO", Bool},          {"BIT", "YESNO", Bool},                  {"DATETIME", "DATETIME", Date},
        {"DATE", "DATETIME", Date},        {"CURRENCY", "CURRENCY", Double},        {"DOUBLE", "DOUBLE", Double},
        {"SINGLE", "DOUBLE", Double},      {"FLOAT", "DOUBLE", Double},             {"NUMERIC", "DOUBLE", Double},
        {"LONG", "INTEGER", Integer},      {"INTEGER", "INTEGER", Integer},         {"SHORT", "INTEGER", Integer},
        {"BYTE", "INTEGER", Integer},      {"INT", "INTEGER", Integer},             {"LONGBINARY", "LONGBINARY", Blob},
        {"OLEOBJECT", "LONGBINARY", Blob}, {"IMAGE", "LONGBINARY", Blob},
    };
    QStringList definitions;
    for (const auto& t : types) definitions << QStringLiteral("C%1 %2").arg(definitions.size()).arg(t.jet);
    RawSqlite db;
    const auto t = db.jet("CREATE TABLE Prova (" + definitions.join(", ") + ");");
    EXPECT_EQ(t.kind, StatementKind::CreateTable);
    EXPECT_EQ(t.tables, QStringList{"Prova"});
    const auto info = tableInfo(db, "Prova");
    ASSERT_EQ(info.size(), std::size(types));
    for (int i = 0; i < info.size(); ++i) {
        EXPECT_EQ(info[i].type, types[i].declared) << types[i].jet;
        EXPECT_EQ(db::sql::fieldTypeFromDeclared(info[i].type), types[i].type) << types[i].jet;
    }
    // The key is the auto-number, the catalog says so.
    EXPECT_EQ(info[0].pk, 1);
    const auto cols = db.columns("prova");
    EXPECT_TRUE(cols[0].autoNumber);
    EXPECT_FALSE(cols[15].autoNumber);
    EXPECT_TRUE(info[1].notNull);
    EXPECT_TRUE(info[6].notNull);
    EXPECT_EQ(info[6].dflt.toString(), "0");
    EXPECT_TRUE(tableSql(db, "Prova").contains("AUTOINCREMENT"));
    // Declared types written by hand or by other tools.
    for (const auto& [declared, type] : {std::pair{"varchar(10)", Text}, {"", Text}, {"MEMO", Memo}, {"longtext", Memo}})
        EXPECT_EQ(db::sql::fieldTypeFromDeclared(declared), type) << declared;
    EXPECT_TRUE(db::sql::isAutoNumberDeclared("INTEGER", true));
    EXPECT_TRUE(db::sql::isAutoNumberDeclared("COUNTER", false));
    EXPECT_FALSE(db::sql::isAutoNumberDeclared("INTEGER", false));
    EXPECT_FALSE(db::sql::isAutoNumberDeclared("TEXT(10)", true));
}

TEST(TranslatorDdl, GoldenCreateTable) {
    const auto t = translate("create table T (Id counter, Nome text(40) not null, Attivo yesno, "
                             "Data datetime, Note memo)",
                             nullptr);
    EXPECT_EQ(t.sql, "CREATE TABLE \"T\" (\"Id\" INTEGER PRIMARY KEY AUTOINCREMENT, \"Nome\" "
                     "TEXT(40) NOT NULL COLLATE ITALIAN, \"Attivo\" YESNO NOT NULL DEFAULT 0, "
                     "\"Data\" DATETIME, \"Note\" LONGTEXT COLLATE ITALIAN)");
}

TEST(TranslatorDdl, StorageConventionsHold) {
    RawSqlite db;
    db.jet("CREATE TABLE T (ID COUNTER, Nome TEXT(50), Note MEMO, Attivo YESNO, Quando DATETIME)");
    db.jet("INSERT INTO T (Nome, Note) VALUES ('Àndrea', '007')");
    db.jet("INSERT INTO T (Nome, Note, Attivo, Quando) VALUES ('bruno', 'x', true, #3/15/2024 10.30.00#)");
    // Auto-numbers, a memo that keeps its text, the yes/no default, the date's stored text.
    auto r = db.queryEngine("SELECT ID, Nome, Note, typeof(Note), Attivo, Quando FROM T ORDER BY ID");
    EXPECT_EQ(r.rows, (QList<QVariantList>{{1LL, "Àndrea", "007", "text", 0LL, QVariant()},
                                           {2LL, "bruno", "x", "text", 1LL, "2024-03-15 10:30:00"}}));
    // Text compares and orders without regard to case and accents.
    EXPECT_EQ(db.jetQuery("select ID from T where Nome = 'ANDREA'").rows.size(), 1);
    r = db.jetQuery("select Nome from T order by Nome desc");
    EXPECT_EQ(r.rows[0][0].toString(), "bruno");
}

TEST(TranslatorDdl, ConstraintsDefaultsAndPrimaryKeys) {
    RawSqlite db;
    db.jet("CREATE TABLE A (ID COUNTER CONSTRAINT PrimaryKey PRIMARY KEY, Codice TEXT(10) UNIQUE, "
           "Flag YESNO DEFAULT True, Importo CURRENCY DEFAULT 0, Stato TEXT(10) DEFAULT \"nuovo\", "
           "Quando DATETIME DEFAULT Now())");
    db.jet("CREATE TABLE B (ID COUNTER, Nome TEXT(10), CONSTRAINT pk PRIMARY KEY (ID))");
    db.jet("CREATE TABLE C (Chiave TEXT(10), Riga LONG, CONSTRAINT pk PRIMARY KEY (Chiave, Riga))");
    db.jet("INSERT INTO A (Codice) VALUES ('x')");
    EXPECT_EQ(db.queryEngine("SELECT ID, Flag, Importo, Stato, length(Quando) FROM A").rows,
              (QList<QVariantList>{{1LL, 1LL, 0LL, "nuovo", 19LL}}));
    EXPECT_THROW(db.jet("INSERT INTO A (Codice) VALUES ('X')"), RawSqlite::Error); // unique, nocase
    db.jet("INSERT INTO B (Nome) VALUES ('b')");
    EXPECT_EQ(db.queryEngine("SELECT ID FROM B").rows[0][0].toInt(), 1);
    db.jet("INSERT INTO C VALUES ('k', 1)");
    EXPECT_THROW(db.jet("INSERT INTO C VALUES ('K', 1)"), RawSqlite::Error);
    const auto info = tableInfo(db, "C");
    EXPECT_EQ(info[0].pk, 1);
    EXPECT_EQ(info[1].pk, 2);
    EXPECT_FALSE(db.columns("C")[0].autoNumber);
}

TEST(TranslatorDdl, AlterDropAndIndexes) {
    RawSqlite db;
    db.jet("CREATE TABLE Clienti (ID COUNTER, Cognome TEXT(50))");
    db.jet("CREATE TABLE Altri (ID COUNTER, Cognome TEXT(50))");
    auto t = db.jet("ALTER TABLE clienti ADD COLUMN Note MEMO;");
    EXPECT_EQ(t.kind, StatementKind::AlterTable);
    EXPECT_EQ(t.tables, QStringList{"Clienti"});
    db.jet("alter table Clienti add Attivo YESNO");
    db.jet("ALTER TABLE Clienti ADD Scadenza DATETIME");
    db.jet("INSERT INTO Clienti (Cognome) VALUES ('Rossi')");
    EXPECT_EQ(db.queryEngine("SELECT Note, Attivo, Scadenza FROM Clienti").rows,
              (QList<QVariantList>{{QVariant(), 0LL, QVariant()}}));
    EXPECT_EQ(tableInfo(db, "Clienti")[2].type, "LONGTEXT");

    // Index names are per table in Jet: the same name on two tables must work.
    t = db.jet("CREATE UNIQUE INDEX Cognome ON Clienti (Cognome ASC)");
    EXPECT_EQ(t.kind, StatementKind::CreateIndex);
    db.jet("CREATE INDEX Cognome ON Altri (Cognome DESC, ID)");
    EXPECT_THROW(db.jet("INSERT INTO Clienti (Cognome) VALUES ('ROSSI')"), RawSqlite::Error);
    t = db.jet("DROP INDEX Cognome ON Clienti");
    EXPECT_EQ(t.kind, StatementKind::DropIndex);
    db.jet("INSERT INTO Clienti (Cognome) VALUES ('ROSSI')");

    db.jet("ALTER TABLE Clienti DROP COLUMN Scadenza");
    EXPECT_EQ(tableInfo(db, "Clienti").size(), 4);
    t = db.jet("DROP TABLE Altri;");
    EXPECT_EQ(t.kind, StatementKind::DropTable);
    EXPECT_TRUE(db.columns("Altri").isEmpty());
}

TEST(TranslatorDdl, ErrorsCarryPositions) {
    const std::pair<const char*, int> cases[] = {
        {"CREATE TABLE T (A GUIDO)", 18},              // unknown type
        {"CREATE TABLE T (A COUNTER, B COUNTER)", 27}, // two counters
        {"ALTER TABLE T ADD COLUMN Id COUNTER", 25},   // counter added
        {"CREATE TABLE T (A COUNTER, B LONG, CONSTRAINT k PRIMARY KEY (B))", 35},
        {"CREATE TABLE T (A TEXT(50)", 26}, // unexpected end
        {"CREATE INDEX i ON T (A) WITH PRIMARY", 24}, {"DROP INDEX i", 12},
        {"ALTER TABLE T ALTER COLUMN A TEXT(10)", 14},
    };
    for (const auto& [sql, position] : cases) {
        try {
            translate(sql, nullptr);
            ADD_FAILURE() << sql;
        } catch (const db::SyntaxError& e) {
            EXPECT_EQ(e.position(), position) << sql;
        }
    }
}
