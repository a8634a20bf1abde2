#pragma once

#include "db/fieldtype.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace db::sql {

enum class Dialect { SQLite, PostgreSQL };

enum class StatementKind { Select, Insert, Update, Delete, CreateTable, AlterTable, DropTable,
                           CreateIndex, DropIndex, Identity };

// One column of a select list as Jet names it: `name` is the result name the programs use
// ("Descrizione", or "Pasti.Descrizione" when two columns of the result share a name);
// `table` and `column` name the base column it comes from, both empty for computed values.
struct ResultColumn {
    QString name;
    QString table;
    QString column;
    bool computed() const { return table.isEmpty(); }
};

struct CatalogColumn {
    QString name;
    FieldType type = FieldType::Text;
    bool autoNumber = false;
};

// What the translator knows of the database: the tables and their columns, with names in
// the case the schema gives them. Needed to expand `*` and to tell text `+` from numeric `+`.
class Catalog {
public:
    virtual ~Catalog() = default;
    // Columns of a table in schema order; empty when the table does not exist. The lookup
    // ignores case.
    virtual QList<CatalogColumn> columns(const QString& table) const = 0;
    // The table's name as the schema spells it (the lookup ignores case); empty when the
    // table does not exist. The default trusts the spelling it is given.
    virtual QString tableName(const QString& table) const {
        return columns(table).isEmpty() ? QString() : table;
    }
};

struct Translation {
    StatementKind kind = StatementKind::Select;
    QString sql;                  // engine SQL, one statement, no trailing ';'
    QList<ResultColumn> columns;  // select list after expansion of '*' (Select only)
    QStringList tables;           // base tables named by the statement, in order of appearance
    int parameters = 0;           // '?' markers, bound in order when the statement runs
};

// Translates one Jet-dialect statement. A trailing ';' is allowed. Throws db::SyntaxError
// (with the character position) for a text it cannot read or cannot translate; nothing is
// ever passed through untranslated. `catalog` may be null: then '*' is not expanded and
// names are reported as written.
//
// Select results: every select-list item is emitted as `expr AS "Name"` with the Jet result
// name, and '*' / 'T.*' are expanded through the catalog (tables in FROM order, columns in
// catalog order), so the engine's own column names equal `columns[i].name`, also through a
// `select * from ( ... )` wrapper. When a '*' cannot be expanded (no catalog, or a table the
// catalog does not know) it is emitted as '*' and `columns` is left EMPTY: the caller then
// takes the names from the engine. Unaliased computed items are named Expr1000, Expr1001, …
//
// What the SQLite output relies on, to be registered on every connection:
//  - collation ITALIAN: text compare ignoring case and accents (text and memo columns are
//    declared with it; ORDER BY of a computed text adds it);
//  - like(pattern, value): Jet's like, ignoring case and accents, with '*' and '%' matching
//    any run of characters and '?' and '_' exactly one (patterns are emitted unchanged);
//  - jet_add(a, b): Jet's '+' when the operand types are not known: Null if either is Null;
//    the sum when both are numbers (integer or real); otherwise the concatenation of their
//    texts. A '+' with a known text operand is emitted as '||' (Null propagates), with two
//    known numbers as '+'. '&' is emitted as coalesce(a,'') || coalesce(b,'').
//  - The connection should disable double-quoted string literals (SQLITE_DBCONFIG_DQS_DML
//    and _DDL off): every identifier is emitted in double quotes, and a misspelt column must
//    be an error, not a string.
// Other conventions: true/false become 1/0; #date# literals become 'YYYY-MM-DD HH:MM:SS';
// TOP n becomes LIMIT n (ties are not added as Jet would); '/' divides in floating point;
// UPDATE through INNER JOINs becomes UPDATE … SET … FROM … WHERE (join conditions) AND
// (where); an index I of table T is named "T_I" in SQLite (Jet names indexes per table).
Translation translate(const QString& jetSql, const Catalog* catalog,
                      Dialect dialect = Dialect::SQLite);

// DDL storage conventions (SQLite declared types, kept recognisable):
//   COUNTER/AUTOINCREMENT      -> INTEGER PRIMARY KEY AUTOINCREMENT
//   TEXT(n)/VARCHAR/CHAR/TEXT  -> TEXT(n) / TEXT, COLLATE ITALIAN
//   MEMO/LONGTEXT              -> LONGTEXT COLLATE ITALIAN ("MEMO" would get NUMERIC affinity
//                                 in SQLite and turn '007' into 7)
//   YESNO/BIT                  -> YESNO NOT NULL DEFAULT 0 (values 0/1)
//   DATETIME/DATE              -> DATETIME (text 'YYYY-MM-DD HH:MM:SS', no collation)
//   CURRENCY                   -> CURRENCY;  DOUBLE/SINGLE/FLOAT/NUMERIC -> DOUBLE
//   LONG/INTEGER/INT/SHORT/BYTE -> INTEGER;  LONGBINARY/OLEOBJECT/IMAGE -> LONGBINARY
// The field type of a column from its declared type (as PRAGMA table_info or
// sqlite3_column_decltype give it; case and a "(n)" size are ignored). Unknown or empty
// declared types give Text.
FieldType fieldTypeFromDeclared(const QString& declaredType);
// Whether a declared type is an amount (CURRENCY/MONEY), which reads as a Double.
bool isCurrencyDeclared(const QString& declaredType);
// Whether a column is an auto-number: declared COUNTER/AUTOINCREMENT, or INTEGER and the
// table's (single-column) primary key, which in SQLite takes the next number on insert.
bool isAutoNumberDeclared(const QString& declaredType, bool primaryKey);

} // namespace db::sql
