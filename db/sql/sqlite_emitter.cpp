#include "db/sql/sqlite_emitter.h"

#include "db/error.h"

#include <QHash>

namespace db::sql {

using namespace ast;

namespace {

// Binding strength of SQLite's operators, loosest first.
enum Prec { kOr = 1, kAnd, kNot, kEquality, kRelational, kAdd = 7, kMul, kConcat, kUnary, kAtom };

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Index names are per table in Jet and per database in SQLite.
QString indexName(const QString& table, const QString& index) {
    return table + u'_' + index;
}

} // namespace

QString quoteIdentifier(const QString& name) {
    QString q = name;
    q.replace(u'"', QStringLiteral("\"\""));
    return u'"' + q + u'"';
}

QString quoteString(const QString& text) {
    QString q = text;
    q.replace(u'\'', QStringLiteral("''"));
    return u'\'' + q + u'\'';
}

std::unique_ptr<Emitter> makeEmitter(Dialect dialect) {
    if (dialect == Dialect::SQLite)
        return std::make_unique<SqliteEmitter>();
    throw DatabaseError(QStringLiteral("Il dialetto PostgreSQL non è ancora supportato"));
}

QString SqliteEmitter::wrap(const Expr& e, int minPrec) {
    Text t = expr(e);
    if (t.prec < minPrec)
        return u'(' + t.sql + u')';
    return t.sql;
}

void SqliteEmitter::concatParts(const Expr& e, QStringList& parts) {
    for (const auto& a : e.args) {
        if (a->kind == Expr::Binary && a->text == u"&")
            concatParts(*a, parts);
        else if (a->kind == Expr::String)
            parts << quoteString(a->text);
        else
            parts << QStringLiteral("coalesce(") + wrap(*a, 0) + QStringLiteral(", '')");
    }
}

SqliteEmitter::Text SqliteEmitter::expr(const Expr& e) {
    switch (e.kind) {
    case Expr::Column:
        if (e.qualifier.isEmpty())
            return {quoteIdentifier(e.text), kAtom};
        return {quoteIdentifier(e.qualifier) + u'.' + quoteIdentifier(e.text), kAtom};
    case Expr::String:
        return {quoteString(e.text), kAtom};
    case Expr::Number:
    case Expr::Bool:
        return {e.text, kAtom};
    case Expr::Date:
        return {quoteString(e.text), kAtom};
    case Expr::Null:
        return {QStringLiteral("NULL"), kAtom};
    case Expr::Identity:
        return {QStringLiteral("last_insert_rowid()"), kAtom};
    case Expr::Parameter:
        return {u'?' + e.text, kAtom};
    case Expr::Unary: {
        if (e.text == u"+")
            return expr(*e.args[0]);
        QString inner = wrap(*e.args[0], kUnary);
        if (inner.startsWith(u'-'))
            inner = u'(' + inner + u')';
        return {u'-' + inner, kUnary};
    }
    case Expr::Binary: {
        const Expr& l = *e.args[0];
        const Expr& r = *e.args[1];
        const QString& op = e.text;
        if (op == u"&") {
            QStringList parts;
            concatParts(e, parts);
            return {parts.join(QStringLiteral(" || ")), kConcat};
        }
        if (op == u"+") {
            switch (e.addMode) {
            case Expr::AddMode::Numeric:
                return {wrap(l, kAdd) + QStringLiteral(" + ") + wrap(r, kAdd + 1), kAdd};
            case Expr::AddMode::Text:
                return {wrap(l, kConcat) + QStringLiteral(" || ") + wrap(r, kConcat + 1), kConcat};
            case Expr::AddMode::Dynamic:
                return {QStringLiteral("jet_add(") + wrap(l, 0) + QStringLiteral(", ")
                            + wrap(r, 0) + u')',
                        kAtom};
            }
        }
        if (op == u"-")
            return {wrap(l, kAdd) + QStringLiteral(" - ") + wrap(r, kAdd + 1), kAdd};
        if (op == u"*")
            return {wrap(l, kMul) + QStringLiteral(" * ") + wrap(r, kMul + 1), kMul};
        if (op == u"/") // Jet divides in floating point whatever the operands
            return {QStringLiteral("CAST(") + wrap(l, 0) + QStringLiteral(" AS REAL) / ")
                        + wrap(r, kMul + 1),
                    kMul};
        if (op == u"\\")
            return {QStringLiteral("CAST(round(") + wrap(l, 0)
                        + QStringLiteral(") AS INTEGER) / CAST(round(") + wrap(r, 0)
                        + QStringLiteral(") AS INTEGER)"),
                    kMul};
        if (op == u"mod")
            return {wrap(l, kMul) + QStringLiteral(" % ") + wrap(r, kMul + 1), kMul};
        const int prec = (op == u"=" || op == u"<>") ? kEquality : kRelational;
        return {wrap(l, prec) + u' ' + op + u' ' + wrap(r, prec + 1), prec};
    }
    case Expr::Logical: {
        const bool isAnd = e.text == u"and";
        const int prec = isAnd ? kAnd : kOr;
        QStringList parts;
        for (const auto& a : e.args)
            parts << wrap(*a, prec + 1);
        return {parts.join(isAnd ? QStringLiteral(" AND ") : QStringLiteral(" OR ")), prec};
    }
    case Expr::Not:
        return {QStringLiteral("NOT ") + wrap(*e.args[0], kNot), kNot};
    case Expr::IsNull:
        return {wrap(*e.args[0], kEquality + 1)
                    + (e.negated ? QStringLiteral(" IS NOT NULL") : QStringLiteral(" IS NULL")),
                kEquality};
    case Expr::Between:
        return {wrap(*e.args[0], kEquality + 1)
                    + (e.negated ? QStringLiteral(" NOT BETWEEN ") : QStringLiteral(" BETWEEN "))
                    + wrap(*e.args[1], kEquality + 1) + QStringLiteral(" AND ")
                    + wrap(*e.args[2], kEquality + 1),
                kEquality};
    case Expr::Like:
        return {wrap(*e.args[0], kEquality + 1)
                    + (e.negated ? QStringLiteral(" NOT LIKE ") : QStringLiteral(" LIKE "))
                    + wrap(*e.args[1], kEquality + 1),
                kEquality};
    case Expr::In: {
        QString list;
        if (e.subquery) {
            list = select(*e.subquery);
        } else {
            QStringList items;
            for (size_t i = 1; i < e.args.size(); ++i)
                items << wrap(*e.args[i], 0);
            list = items.join(QStringLiteral(", "));
        }
        return {wrap(*e.args[0], kEquality + 1)
                    + (e.negated ? QStringLiteral(" NOT IN (") : QStringLiteral(" IN (")) + list
                    + u')',
                kEquality};
    }
    case Expr::Function:
        return {function(e), kAtom};
    case Expr::Subquery:
        return {u'(' + select(*e.subquery) + u')', kAtom};
    case Expr::Exists:
        return {QStringLiteral("EXISTS (") + select(*e.subquery) + u')', kAtom};
    }
    throw SyntaxError(QStringLiteral("Espressione non traducibile"), e.pos);
}

QString SqliteEmitter::function(const Expr& e) {
    const QString& n = e.text;
    QStringList a;
    for (const auto& arg : e.args)
        a << wrap(*arg, 0);
    // The resolver checked the arity; never index past the arguments all the same.
    while (a.size() < 3)
        a << QStringLiteral("NULL");
    const int argc = int(e.args.size());
    auto call = [argc](const QString& name, const QStringList& args) -> QString {
        return name + u'(' + args.mid(0, argc).join(QStringLiteral(", ")) + u')';
    };
    if (n == u"count" && e.star)
        return QStringLiteral("count(*)");
    if (n == u"max" || n == u"min" || n == u"count" || n == u"sum" || n == u"avg") {
        if (e.distinct)
            return n + QStringLiteral("(DISTINCT ") + a[0] + u')';
        return call(n, a);
    }
    if (n == u"abs" || n == u"trim" || n == u"ltrim" || n == u"rtrim" || n == u"instr"
        || n == u"replace" || n == u"round" || n == u"upper" || n == u"lower")
        return call(n, a);
    if (n == u"ucase")
        return call(QStringLiteral("upper"), a);
    if (n == u"lcase")
        return call(QStringLiteral("lower"), a);
    if (n == u"len")
        return call(QStringLiteral("length"), a);
    if (n == u"iif")
        return QStringLiteral("CASE WHEN ") + a[0] + QStringLiteral(" THEN ") + a[1]
               + QStringLiteral(" ELSE ") + a[2] + QStringLiteral(" END");
    if (n == u"left")
        return QStringLiteral("substr(") + a[0] + QStringLiteral(", 1, ") + a[1] + u')';
    if (n == u"right")
        return QStringLiteral("substr(") + a[0] + QStringLiteral(", max(length(") + a[0]
               + QStringLiteral(") - (") + a[1] + QStringLiteral(") + 1, 1))");
    if (n == u"mid")
        return call(QStringLiteral("substr"), a);
    static const QHash<QString, QString> parts = {
        {QStringLiteral("year"), QStringLiteral("%Y")},   {QStringLiteral("month"), QStringLiteral("%m")},
        {QStringLiteral("day"), QStringLiteral("%d")},    {QStringLiteral("hour"), QStringLiteral("%H")},
        {QStringLiteral("minute"), QStringLiteral("%M")}, {QStringLiteral("second"), QStringLiteral("%S")},
    };
    if (parts.contains(n))
        return QStringLiteral("CAST(strftime('") + parts.value(n) + QStringLiteral("', ") + a[0]
               + QStringLiteral(") AS INTEGER)");
    if (n == u"date")
        return QStringLiteral("(date('now', 'localtime') || ' 00:00:00')");
    if (n == u"now")
        return QStringLiteral("datetime('now', 'localtime')");
    if (n == u"nz")
        return call(QStringLiteral("coalesce"), a);
    if (n == u"cstr")
        return QStringLiteral("CAST(") + a[0] + QStringLiteral(" AS TEXT)");
    if (n == u"clng" || n == u"cint")
        return QStringLiteral("CAST(round(") + a[0] + QStringLiteral(") AS INTEGER)");
    if (n == u"cdbl" || n == u"csng" || n == u"ccur" || n == u"val")
        return QStringLiteral("CAST(") + a[0] + QStringLiteral(" AS REAL)");
    if (n == u"fix")
        return QStringLiteral("CAST(") + a[0] + QStringLiteral(" AS INTEGER)");
    if (n == u"isnull")
        return u'(' + a[0] + QStringLiteral(" IS NULL)");
    throw SyntaxError(QStringLiteral("Funzione sconosciuta: %1").arg(n), e.pos);
}

QString SqliteEmitter::tableRef(const TableRef& r) {
    switch (r.kind) {
    case TableRef::Table: {
        QString s = quoteIdentifier(r.name);
        if (!r.alias.isEmpty())
            s += QStringLiteral(" AS ") + quoteIdentifier(r.alias);
        return s;
    }
    case TableRef::Subquery: {
        QString s = u'(' + select(*r.subquery) + u')';
        if (!r.alias.isEmpty())
            s += QStringLiteral(" AS ") + quoteIdentifier(r.alias);
        return s;
    }
    case TableRef::Join: {
        static const QString kinds[] = {QStringLiteral(" INNER JOIN "),
                                        QStringLiteral(" LEFT JOIN "),
                                        QStringLiteral(" RIGHT JOIN ")};
        QString right = tableRef(*r.right);
        if (r.right->kind == TableRef::Join)
            right = u'(' + right + u')';
        return tableRef(*r.left) + kinds[r.joinType] + right + QStringLiteral(" ON ")
               + wrap(*r.on, 0);
    }
    }
    return {};
}

QString SqliteEmitter::select(const Select& s) {
    QString sql = QStringLiteral("SELECT ");
    if (s.distinct)
        sql += QStringLiteral("DISTINCT ");
    QStringList items;
    for (const SelectItem& item : s.items) {
        if (item.star) {
            items << (item.starQualifier.isEmpty()
                          ? QStringLiteral("*")
                          : quoteIdentifier(item.starQualifier) + QStringLiteral(".*"));
            continue;
        }
        items << wrap(*item.expr, 0) + QStringLiteral(" AS ") + quoteIdentifier(item.outName);
    }
    sql += items.join(QStringLiteral(", "));
    if (!s.from.empty()) {
        QStringList from;
        for (const auto& r : s.from)
            from << tableRef(*r);
        sql += QStringLiteral(" FROM ") + from.join(QStringLiteral(", "));
    }
    if (s.where)
        sql += QStringLiteral(" WHERE ") + wrap(*s.where, 0);
    if (!s.groupBy.empty()) {
        QStringList g;
        for (const auto& e : s.groupBy)
            g << wrap(*e, 0);
        sql += QStringLiteral(" GROUP BY ") + g.join(QStringLiteral(", "));
    }
    if (s.having)
        sql += QStringLiteral(" HAVING ") + wrap(*s.having, 0);
    if (!s.orderBy.empty()) {
        QStringList o;
        for (const OrderItem& item : s.orderBy) {
            QString t = wrap(*item.expr, 0);
            // Jet orders text without regard to case; a column brings its own collation.
            if (item.expr->type == ValueType::Text && item.expr->originColumn.isEmpty())
                t += QStringLiteral(" COLLATE ITALIAN");
            if (item.desc)
                t += QStringLiteral(" DESC");
            o << t;
        }
        sql += QStringLiteral(" ORDER BY ") + o.join(QStringLiteral(", "));
    }
    if (!s.top.isEmpty())
        sql += QStringLiteral(" LIMIT ") + s.top;
    return sql;
}

QString SqliteEmitter::update(const Update& u) {
    const TableRef* target = u.updated ? u.updated : u.target.get();
    QString sql = QStringLiteral("UPDATE ") + tableRef(*target) + QStringLiteral(" SET ");
    QStringList set;
    for (const Assignment& a : u.set)
        set << quoteIdentifier(a.column) + QStringLiteral(" = ") + wrap(*a.value, 0);
    sql += set.join(QStringLiteral(", "));
    QStringList conditions;
    if (u.updated) {
        QStringList from;
        for (const TableRef* r : u.others)
            from << tableRef(*r);
        sql += QStringLiteral(" FROM ") + from.join(QStringLiteral(", "));
        for (const Expr* c : u.joinConditions)
            conditions << wrap(*c, kAnd + 1);
    }
    if (u.where)
        conditions << wrap(*u.where, conditions.isEmpty() ? 0 : kAnd + 1);
    if (!conditions.isEmpty())
        sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    return sql;
}

QString SqliteEmitter::defaultValue(const ColumnDef& c) {
    const Expr& d = *c.defaultValue;
    if (c.type == ColumnType::YesNo) {
        const Expr* v = &d;
        if (v->kind == Expr::Unary)
            v = v->args[0].get();
        if (v->kind == Expr::Bool || v->kind == Expr::Number)
            return v->text.toDouble() != 0 ? QStringLiteral("1") : QStringLiteral("0");
    }
    switch (d.kind) {
    case Expr::String:
    case Expr::Number:
    case Expr::Bool:
    case Expr::Date:
    case Expr::Null:
        return expr(d).sql;
    case Expr::Unary:
        if (d.args[0]->kind == Expr::Number)
            return expr(d).sql;
        break;
    default:
        break;
    }
    return u'(' + wrap(d, 0) + u')';
}

QString SqliteEmitter::columnDef(const ColumnDef& c) {
    QString s = quoteIdentifier(c.name) + u' ';
    switch (c.type) {
    case ColumnType::Counter:
        return s + QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    case ColumnType::Text:
        s += c.size > 0 ? QStringLiteral("TEXT(%1)").arg(c.size) : QStringLiteral("TEXT");
        break;
    case ColumnType::Memo:
        s += QStringLiteral("LONGTEXT");
        break;
    case ColumnType::YesNo:
        s += QStringLiteral("YESNO NOT NULL");
        break;
    case ColumnType::DateTime:
        s += QStringLiteral("DATETIME");
        break;
    case ColumnType::Currency:
        s += QStringLiteral("CURRENCY");
        break;
    case ColumnType::Double:
        s += QStringLiteral("DOUBLE");
        break;
    case ColumnType::Integer:
        s += QStringLiteral("INTEGER");
        break;
    case ColumnType::Binary:
        s += QStringLiteral("LONGBINARY");
        break;
    }
    if (c.notNull && c.type != ColumnType::YesNo)
        s += QStringLiteral(" NOT NULL");
    if (c.defaultValue)
        s += QStringLiteral(" DEFAULT ") + defaultValue(c);
    else if (c.type == ColumnType::YesNo)
        s += QStringLiteral(" DEFAULT 0");
    if (c.primaryKey)
        s += QStringLiteral(" PRIMARY KEY");
    if (c.unique)
        s += QStringLiteral(" UNIQUE");
    if (c.type == ColumnType::Text || c.type == ColumnType::Memo)
        s += QStringLiteral(" COLLATE ITALIAN");
    if (!c.refTable.isEmpty()) {
        s += QStringLiteral(" REFERENCES ") + quoteIdentifier(c.refTable);
        if (!c.refColumns.isEmpty()) {
            QStringList cols;
            for (const QString& r : c.refColumns)
                cols << quoteIdentifier(r);
            s += QStringLiteral(" (") + cols.join(QStringLiteral(", ")) + u')';
        }
    }
    return s;
}

QString SqliteEmitter::createTable(const CreateTable& t) {
    QStringList parts;
    QString counter;
    for (const ColumnDef& c : t.columns) {
        parts << columnDef(c);
        if (c.type == ColumnType::Counter)
            counter = c.name;
    }
    auto names = [](const QStringList& list) -> QString {
        QStringList q;
        for (const QString& n : list)
            q << quoteIdentifier(n);
        return u'(' + q.join(QStringLiteral(", ")) + u')';
    };
    for (const TableConstraint& k : t.constraints) {
        if (k.kind == TableConstraint::PrimaryKey && !counter.isEmpty() && k.columns.size() == 1
            && sameName(k.columns.front(), counter))
            continue; // the counter is already the primary key
        QString s;
        if (!k.name.isEmpty())
            s = QStringLiteral("CONSTRAINT ") + quoteIdentifier(k.name) + u' ';
        switch (k.kind) {
        case TableConstraint::PrimaryKey:
            s += QStringLiteral("PRIMARY KEY ") + names(k.columns);
            break;
        case TableConstraint::Unique:
            s += QStringLiteral("UNIQUE ") + names(k.columns);
            break;
        case TableConstraint::ForeignKey:
            s += QStringLiteral("FOREIGN KEY ") + names(k.columns) + QStringLiteral(" REFERENCES ")
                 + quoteIdentifier(k.refTable);
            if (!k.refColumns.isEmpty())
                s += u' ' + names(k.refColumns);
            break;
        }
        parts << s;
    }
    return QStringLiteral("CREATE TABLE ") + quoteIdentifier(t.name) + QStringLiteral(" (")
           + parts.join(QStringLiteral(", ")) + u')';
}

QString SqliteEmitter::statement(const Statement& st) {
    switch (st.kind) {
    case StatementKind::Select:
    case StatementKind::Identity:
        return select(*st.select);
    case StatementKind::Insert: {
        const Insert& ins = *st.insert;
        QString sql = QStringLiteral("INSERT INTO ") + quoteIdentifier(ins.table);
        if (!ins.columns.isEmpty()) {
            QStringList cols;
            for (const QString& c : ins.columns)
                cols << quoteIdentifier(c);
            sql += QStringLiteral(" (") + cols.join(QStringLiteral(", ")) + u')';
        }
        if (ins.defaultValues)
            return sql + QStringLiteral(" DEFAULT VALUES");
        if (ins.select)
            return sql + u' ' + select(*ins.select);
        QStringList values;
        for (const auto& v : ins.values)
            values << wrap(*v, 0);
        return sql + QStringLiteral(" VALUES (") + values.join(QStringLiteral(", ")) + u')';
    }
    case StatementKind::Update:
        return update(*st.update);
    case StatementKind::Delete: {
        QString sql = QStringLiteral("DELETE FROM ") + quoteIdentifier(st.del->table);
        if (st.del->where)
            sql += QStringLiteral(" WHERE ") + wrap(*st.del->where, 0);
        return sql;
    }
    case StatementKind::CreateTable:
        return createTable(*st.createTable);
    case StatementKind::AlterTable: {
        const AlterTable& a = *st.alterTable;
        if (a.drop)
            return QStringLiteral("ALTER TABLE ") + quoteIdentifier(a.table)
                   + QStringLiteral(" DROP COLUMN ") + quoteIdentifier(a.dropColumn);
        return QStringLiteral("ALTER TABLE ") + quoteIdentifier(a.table)
               + QStringLiteral(" ADD COLUMN ") + columnDef(a.column);
    }
    case StatementKind::DropTable:
        return QStringLiteral("DROP TABLE ") + quoteIdentifier(st.dropName);
    case StatementKind::CreateIndex: {
        const CreateIndex& ci = *st.createIndex;
        QStringList cols;
        for (const IndexColumn& c : ci.columns)
            cols << quoteIdentifier(c.name)
                        + (c.hasDirection ? (c.desc ? QStringLiteral(" DESC") : QStringLiteral(" ASC"))
                                          : QString());
        return QStringLiteral("CREATE ") + (ci.unique ? QStringLiteral("UNIQUE ") : QString())
               + QStringLiteral("INDEX ") + quoteIdentifier(indexName(ci.table, ci.name))
               + QStringLiteral(" ON ") + quoteIdentifier(ci.table) + QStringLiteral(" (")
               + cols.join(QStringLiteral(", ")) + u')';
    }
    case StatementKind::DropIndex:
        return QStringLiteral("DROP INDEX ") + quoteIdentifier(indexName(st.dropTable, st.dropName));
    }
    return {};
}

} // namespace db::sql
