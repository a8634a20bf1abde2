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
};

struct Translation {
    StatementKind kind = StatementKind::Select;
    QString sql;                  // engine SQL, one statement, no trailing ';'
    QList<ResultColumn> columns;  // select list after expansion of '*' (Select only)
    QStringList tables;           // base tables named by the statement, in order of appearance
};

// Translates one Jet-dialect statement. A trailing ';' is allowed. Throws db::SyntaxError
// (with the character position) for a text it cannot read or cannot translate; nothing is
// ever passed through untranslated. `catalog` may be null: then '*' is not expanded and
// names are reported as written.
Translation translate(const QString& jetSql, const Catalog* catalog,
                      Dialect dialect = Dialect::SQLite);

} // namespace db::sql
