#pragma once

// Syntax tree of one Jet-dialect statement. The parser builds it; the resolver
// (translator.cpp) fills the "resolved" fields from the catalog; an emitter per engine prints
// it. Nothing here knows an engine.

#include "db/sql/translator.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace db::sql::ast {

// What the resolver knows of a value: enough to choose between numeric '+' and text '+'.
enum class ValueType { Unknown, Text, Number, Date, Blob };

struct Select;

struct Expr {
    enum Kind {
        Column,   // [qualifier.]name
        String,   // text literal
        Number,   // numeric literal, text as written
        Null,
        Bool,     // text "1" or "0"
        Date,     // text "YYYY-MM-DD HH:MM:SS"
        Unary,    // op "-" or "+"; args[0]
        Binary,   // op + - * / \ mod ^ & = <> < > <= >=; args[0], args[1]
        Logical,  // op "and" / "or"; args: two or more operands
        Not,      // args[0]
        IsNull,   // args[0]; negated: IS NOT NULL
        In,       // args[0] in (args[1..]) or in (subquery); negated: NOT IN
        Between,  // args[0] between args[1] and args[2]; negated
        Like,     // args[0] like args[1]; negated
        Function, // text: name in lower case; args; star: count(*); distinct
        Identity, // @@IDENTITY
        Parameter, // ? bound when the statement runs; text: its 1-based number
        Subquery, // (select ...) used as a value
        Exists,   // exists (select ...)
    };
    Kind kind = Null;
    int pos = 0;
    QString text;      // name, literal value, operator or function name
    QString qualifier; // Column: table or alias as written
    bool negated = false;
    bool star = false;
    bool distinct = false;
    bool parenthesized = false; // written between parentheses
    std::vector<std::unique_ptr<Expr>> args;
    std::unique_ptr<Select> subquery;
    int depth = 1; // height of the tree below (guards the recursion of later passes)

    // Resolved.
    ValueType type = ValueType::Unknown;
    QString originTable;  // Column: base table as the catalog spells it (empty if unknown)
    QString originColumn; // Column: base column as the catalog spells it
    QString resolvedName; // Column: the name of the column in its source (catalog spelling)
    QString jetQualifiedName; // Column: "Table.Column", Jet's name for a duplicated result name
    enum class AddMode { Numeric, Text, Dynamic } addMode = AddMode::Dynamic; // Binary "+"
};
using ExprPtr = std::unique_ptr<Expr>;

struct TableRef {
    enum Kind { Table, Join, Subquery };
    enum JoinType { Inner, Left, Right };
    Kind kind = Table;
    int pos = 0;
    QString name;  // Table: as written
    QString alias; // Table, Subquery: alias or empty
    JoinType joinType = Inner;
    std::unique_ptr<TableRef> left, right;
    ExprPtr on;
    std::unique_ptr<Select> subquery;

    // Resolved.
    QString catalogName; // Table: as the catalog spells it, or as written when unknown
};
using TableRefPtr = std::unique_ptr<TableRef>;

struct SelectItem {
    ExprPtr expr;          // null for a star
    bool star = false;     // * or qualifier.*
    QString starQualifier; // for qualifier.*
    QString alias;
    int pos = 0;

    // Resolved (after star expansion every item has an expression).
    bool fromStar = false; // an item of an expanded star, resolved by the expansion
    QString outName;
    QString table, column; // origin
    ValueType type = ValueType::Unknown;
};

struct OrderItem {
    ExprPtr expr;
    bool desc = false;
};

struct Select {
    int pos = 0;
    bool distinct = false;
    QString top; // digits of TOP n, empty when absent
    std::vector<SelectItem> items;
    std::vector<TableRefPtr> from; // comma-separated sources
    ExprPtr where;
    std::vector<ExprPtr> groupBy;
    ExprPtr having;
    std::vector<OrderItem> orderBy;

    // Resolved.
    bool expanded = false; // every star was expanded: items and outNames are final
    QList<ResultColumn> columns;
};

struct Insert {
    QString table;
    int tablePos = 0;
    QString catalogName;
    QStringList columns;
    std::vector<ExprPtr> values;
    std::unique_ptr<Select> select;
    bool defaultValues = false; // INSERT INTO t DEFAULT VALUES
};

struct Assignment {
    QString qualifier;
    QString column;
    int pos = 0;
    ExprPtr value;
};

struct Update {
    TableRefPtr target; // a table or a tree of joins
    std::vector<Assignment> set;
    ExprPtr where;

    // Resolved (for a target that is a join): the updated table, the other sources and the
    // ON conditions of the (inner) joins, all pointing into `target`.
    const TableRef* updated = nullptr;
    std::vector<const TableRef*> others;
    std::vector<const Expr*> joinConditions;
};

struct Delete {
    QString table;
    int tablePos = 0;
    QString catalogName;
    ExprPtr where;
};

// Column kinds of the DDL, by Jet type name.
enum class ColumnType { Counter, Text, Memo, YesNo, DateTime, Currency, Double, Integer, Binary };

struct ColumnDef {
    QString name;
    int pos = 0;
    ColumnType type = ColumnType::Text;
    int size = 0; // TEXT(n); 0 when not given
    bool notNull = false;
    bool primaryKey = false;
    bool unique = false;
    ExprPtr defaultValue;
    QString refTable;
    QStringList refColumns;
};

struct TableConstraint {
    enum Kind { PrimaryKey, Unique, ForeignKey };
    Kind kind = PrimaryKey;
    QString name;
    QStringList columns;
    QString refTable;
    QStringList refColumns;
    int pos = 0;
};

struct CreateTable {
    QString name;
    std::vector<ColumnDef> columns;
    std::vector<TableConstraint> constraints;
};

struct AlterTable {
    QString table;
    bool drop = false; // DROP COLUMN instead of ADD
    ColumnDef column;  // ADD
    QString dropColumn;
};

struct IndexColumn {
    QString name;
    bool desc = false;
    bool hasDirection = false;
};

struct CreateIndex {
    bool unique = false;
    QString name;
    QString table;
    std::vector<IndexColumn> columns;
};

struct Statement {
    StatementKind kind = StatementKind::Select;
    std::unique_ptr<Select> select; // Select, Identity
    std::unique_ptr<Insert> insert;
    std::unique_ptr<Update> update;
    std::unique_ptr<Delete> del;
    std::unique_ptr<CreateTable> createTable;
    std::unique_ptr<AlterTable> alterTable;
    std::unique_ptr<CreateIndex> createIndex;
    QString dropName;  // DropTable: table; DropIndex: index
    QString dropTable; // DropIndex: table
};

} // namespace db::sql::ast
