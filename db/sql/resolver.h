#pragma once

#include "db/sql/ast.h"
#include "db/sql/translator.h"

#include <vector>

namespace db::sql {

// The engine-independent meaning of a parsed statement: which table and column each name
// refers to, the expansion of '*' and 'T.*' through the catalog, the Jet result names
// (aliases, "Expr1000", "Table.Column" for a name that occurs twice), value types for '+',
// and the checks that need them (unknown functions and arities, UPDATE through joins,
// COUNTER columns). Throws db::SyntaxError with the position of the offending text.
class Resolver {
public:
    explicit Resolver(const Catalog* catalog) : m_catalog(catalog) {}

    void resolve(ast::Statement& statement);

    // Base tables in order of first appearance, as the catalog spells them.
    const QStringList& tables() const { return m_tables; }

private:
    struct SourceColumn {
        QString name;   // name in the source (catalog spelling, or a subquery's result name)
        QString table;  // origin
        QString column; // origin
        ast::ValueType type = ast::ValueType::Unknown;
    };
    struct Source {
        QString qualifier; // alias, or the table name as written; empty: unaliased subquery
        QString table;     // catalog spelling (Table sources)
        bool isSubquery = false;
        bool aliased = false;
        bool known = false; // columns are complete
        QString jetPrefix() const { return aliased || table.isEmpty() ? qualifier : table; }
        std::vector<SourceColumn> columns;
    };
    struct Scope {
        std::vector<Source> sources;
        const Scope* parent = nullptr;
    };

    void resolveSelect(ast::Select& select, const Scope* parent);
    void addSources(ast::TableRef& ref, Scope& scope, std::vector<ast::Expr*>& conditions);
    bool expandStars(ast::Select& select, const Scope& scope);
    void nameColumns(ast::Select& select, const Scope& scope);
    void resolveExpr(ast::Expr& e, const Scope& scope, const ast::Select* select = nullptr);
    void resolveColumn(ast::Expr& e, const Scope& scope, const ast::Select* select);
    void resolveFunction(ast::Expr& e);
    void resolveUpdate(ast::Update& update);
    void resolveCreateTable(ast::CreateTable& table);
    const Source* findQualified(const Scope& scope, const QString& qualifier) const;
    QString catalogTable(const QString& written, std::vector<SourceColumn>* columns);
    void noteTable(const QString& name);

    const Catalog* m_catalog;
    QStringList m_tables;
};

ast::ValueType valueTypeOf(FieldType type);

} // namespace db::sql
