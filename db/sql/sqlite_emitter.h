#pragma once

#include "db/sql/ast.h"

#include <memory>

namespace db::sql {

// Prints a resolved syntax tree in one engine's dialect. A new engine is a new subclass;
// the parser and the resolver do not change.
class Emitter {
public:
    virtual ~Emitter() = default;
    virtual QString statement(const ast::Statement& st) = 0;
};

// SQLite 3.39+ (RIGHT JOIN, UPDATE ... FROM). Relies on what the connection registers:
// the collation ITALIAN, like() with Jet wildcards and jet_add() (translator.h).
class SqliteEmitter : public Emitter {
public:
    QString statement(const ast::Statement& st) override;

private:
    struct Text {
        QString sql;
        int prec; // binding strength of the outermost operator; higher binds tighter
    };
    Text expr(const ast::Expr& e);
    QString wrap(const ast::Expr& e, int minPrec);
    QString function(const ast::Expr& e);
    void concatParts(const ast::Expr& e, QStringList& parts);
    QString select(const ast::Select& s);
    QString tableRef(const ast::TableRef& r);
    QString createTable(const ast::CreateTable& t);
    QString columnDef(const ast::ColumnDef& c);
    QString defaultValue(const ast::ColumnDef& c);
    QString update(const ast::Update& u);
};

// The emitter of a dialect; throws db::DatabaseError for a dialect not supported yet.
std::unique_ptr<Emitter> makeEmitter(Dialect dialect);

QString quoteIdentifier(const QString& name);
QString quoteString(const QString& text);

} // namespace db::sql
