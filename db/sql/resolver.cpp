#include "db/sql/resolver.h"

#include "db/error.h"

#include <QHash>

namespace db::sql {

using namespace ast;

namespace {

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

struct FunctionInfo {
    int minArgs;
    int maxArgs;
    enum Result { Same, Text, Number, Date, Iif } result;
};

const QHash<QString, FunctionInfo>& functions() {
    static const QHash<QString, FunctionInfo> table = [] {
        QHash<QString, FunctionInfo> t;
        auto add = [&](std::initializer_list<const char*> names, FunctionInfo info) {
            for (const char* n : names)
                t.insert(QLatin1String(n), info);
        };
        add({"max", "min"}, {1, 1, FunctionInfo::Same});
        add({"count"}, {0, 1, FunctionInfo::Number});
        add({"sum", "avg", "abs"}, {1, 1, FunctionInfo::Number});
        add({"iif"}, {3, 3, FunctionInfo::Iif});
        add({"ucase", "lcase", "upper", "lower", "trim", "ltrim", "rtrim", "cstr"},
            {1, 1, FunctionInfo::Text});
        add({"len", "clng", "cint", "cdbl", "csng", "ccur", "fix", "val", "isnull"},
            {1, 1, FunctionInfo::Number});
        add({"left", "right"}, {2, 2, FunctionInfo::Text});
        add({"mid"}, {2, 3, FunctionInfo::Text});
        add({"instr"}, {2, 2, FunctionInfo::Number});
        add({"replace"}, {3, 3, FunctionInfo::Text});
        add({"round"}, {1, 2, FunctionInfo::Number});
        add({"year", "month", "day", "hour", "minute", "second"}, {1, 1, FunctionInfo::Number});
        add({"date", "now"}, {0, 0, FunctionInfo::Date});
        add({"nz"}, {2, 2, FunctionInfo::Same});
        return t;
    }();
    return table;
}

void collectLeaves(const TableRef& ref, std::vector<const TableRef*>& leaves) {
    if (ref.kind == TableRef::Join) {
        collectLeaves(*ref.left, leaves);
        collectLeaves(*ref.right, leaves);
    } else {
        leaves.push_back(&ref);
    }
}

} // namespace

ValueType valueTypeOf(FieldType type) {
    switch (type) {
    case FieldType::Text:
    case FieldType::Memo:
        return ValueType::Text;
    case FieldType::Integer:
    case FieldType::Double:
    case FieldType::Bool:
        return ValueType::Number;
    case FieldType::Date:
        return ValueType::Date;
    case FieldType::Blob:
        return ValueType::Blob;
    }
    return ValueType::Unknown;
}

void Resolver::noteTable(const QString& name) {
    for (const QString& t : std::as_const(m_tables))
        if (sameName(t, name))
            return;
    m_tables << name;
}

QString Resolver::catalogTable(const QString& written, std::vector<SourceColumn>* columns) {
    if (!m_catalog)
        return written;
    const QList<CatalogColumn> cols = m_catalog->columns(written);
    if (cols.isEmpty())
        return written;
    QString name = m_catalog->tableName(written);
    if (name.isEmpty())
        name = written;
    if (columns) {
        for (const CatalogColumn& c : cols)
            columns->push_back({c.name, name, c.name, valueTypeOf(c.type)});
    }
    return name;
}

void Resolver::resolve(Statement& st) {
    switch (st.kind) {
    case StatementKind::Select:
    case StatementKind::Identity:
        resolveSelect(*st.select, nullptr);
        break;
    case StatementKind::Insert: {
        Insert& ins = *st.insert;
        ins.catalogName = catalogTable(ins.table, nullptr);
        noteTable(ins.catalogName);
        Scope empty;
        for (auto& v : ins.values)
            resolveExpr(*v, empty);
        if (ins.select)
            resolveSelect(*ins.select, nullptr);
        break;
    }
    case StatementKind::Update:
        resolveUpdate(*st.update);
        break;
    case StatementKind::Delete: {
        Delete& del = *st.del;
        Scope scope;
        Source src;
        src.qualifier = del.table;
        del.catalogName = catalogTable(del.table, &src.columns);
        src.table = del.catalogName;
        src.known = !src.columns.empty();
        noteTable(del.catalogName);
        scope.sources.push_back(std::move(src));
        if (del.where)
            resolveExpr(*del.where, scope);
        break;
    }
    case StatementKind::CreateTable:
        resolveCreateTable(*st.createTable);
        noteTable(st.createTable->name);
        break;
    case StatementKind::AlterTable:
        noteTable(catalogTable(st.alterTable->table, nullptr));
        if (st.alterTable->column.defaultValue) {
            Scope empty;
            resolveExpr(*st.alterTable->column.defaultValue, empty);
        }
        break;
    case StatementKind::DropTable:
        noteTable(catalogTable(st.dropName, nullptr));
        break;
    case StatementKind::CreateIndex:
        st.createIndex->table = catalogTable(st.createIndex->table, nullptr);
        noteTable(st.createIndex->table);
        break;
    case StatementKind::DropIndex:
        st.dropTable = catalogTable(st.dropTable, nullptr);
        noteTable(st.dropTable);
        break;
    }
}

void Resolver::addSources(TableRef& ref, Scope& scope, std::vector<Expr*>& conditions) {
    switch (ref.kind) {
    case TableRef::Table: {
        Source src;
        src.qualifier = ref.alias.isEmpty() ? ref.name : ref.alias;
        src.aliased = !ref.alias.isEmpty();
        ref.catalogName = catalogTable(ref.name, &src.columns);
        src.table = ref.catalogName;
        src.known = !src.columns.empty();
        noteTable(ref.catalogName);
        scope.sources.push_back(std::move(src));
        break;
    }
    case TableRef::Join:
        addSources(*ref.left, scope, conditions);
        addSources(*ref.right, scope, conditions);
        conditions.push_back(ref.on.get());
        break;
    case TableRef::Subquery: {
        resolveSelect(*ref.subquery, nullptr);
        Source src;
        src.qualifier = ref.alias;
        src.isSubquery = true;
        src.known = ref.subquery->expanded;
        for (const SelectItem& item : ref.subquery->items)
            if (!item.star)
                src.columns.push_back({item.outName, item.table, item.column, item.type});
        scope.sources.push_back(std::move(src));
        break;
    }
    }
}

const Resolver::Source* Resolver::findQualified(const Scope& scope,
                                                const QString& qualifier) const {
    for (const Source& s : scope.sources) {
        if (s.qualifier.isEmpty())
            continue;
        if (sameName(s.qualifier, qualifier))
            return &s;
    }
    for (const Source& s : scope.sources) // a table written under its catalog spelling
        if (!s.isSubquery && !s.table.isEmpty() && sameName(s.table, qualifier)
            && sameName(s.qualifier, s.table))
            return &s;
    return nullptr;
}

void Resolver::resolveSelect(Select& select, const Scope* parent) {
    Scope scope;
    scope.parent = parent;
    std::vector<Expr*> conditions;
    for (auto& ref : select.from)
        addSources(*ref, scope, conditions);
    for (Expr* c : conditions)
        resolveExpr(*c, scope);

    select.expanded = expandStars(select, scope);
    for (SelectItem& item : select.items)
        if (item.expr && !item.fromStar)
            resolveExpr(*item.expr, scope);
    if (select.where)
        resolveExpr(*select.where, scope);
    for (auto& g : select.groupBy)
        resolveExpr(*g, scope);
    if (select.having)
        resolveExpr(*select.having, scope);
    nameColumns(select, scope);
    for (auto& o : select.orderBy)
        resolveExpr(*o.expr, scope, &select);
}

bool Resolver::expandStars(Select& select, const Scope& scope) {
    bool any = false;
    for (const SelectItem& item : select.items) {
        if (!item.star)
            continue;
        any = true;
        if (item.starQualifier.isEmpty()) {
            if (scope.sources.empty())
                throw SyntaxError(QStringLiteral("'*' senza clausola FROM"), item.pos);
            for (const Source& s : scope.sources)
                if (!s.known)
                    return false;
        } else {
            const Source* s = findQualified(scope, item.starQualifier);
            if (!s)
                throw SyntaxError(QStringLiteral("Tabella non presente nella clausola FROM: %1")
                                      .arg(item.starQualifier),
                                  item.pos);
            if (!s->known)
                return false;
        }
    }
    if (!any)
        return true;
    std::vector<SelectItem> items;
    for (SelectItem& item : select.items) {
        if (!item.star) {
            items.push_back(std::move(item));
            continue;
        }
        std::vector<const Source*> sources;
        if (item.starQualifier.isEmpty()) {
            for (const Source& s : scope.sources)
                sources.push_back(&s);
        } else {
            sources.push_back(findQualified(scope, item.starQualifier));
        }
        for (const Source* s : sources) {
            for (const SourceColumn& c : s->columns) {
                SelectItem x;
                x.pos = item.pos;
                x.fromStar = true;
                auto e = std::make_unique<Expr>();
                e->kind = Expr::Column;
                e->pos = item.pos;
                e->qualifier = s->qualifier;
                e->text = c.name;
                e->resolvedName = c.name;
                e->originTable = c.table;
                e->originColumn = c.column;
                e->type = c.type;
                if (!s->isSubquery)
                    e->jetQualifiedName = s->jetPrefix() + u'.' + c.name;
                else
                    e->jetQualifiedName = c.name.contains(u'.') || c.table.isEmpty()
                                              ? c.name
                                              : c.table + u'.' + c.column;
                x.expr = std::move(e);
                items.push_back(std::move(x));
            }
        }
    }
    select.items = std::move(items);
    return true;
}

void Resolver::nameColumns(Select& select, const Scope&) {
    int exprNumber = 1000;
    QHash<QString, int> counts;
    for (SelectItem& item : select.items) {
        if (item.star)
            continue;
        const Expr& e = *item.expr;
        item.type = e.type;
        if (e.kind == Expr::Column) {
            item.table = e.originTable;
            item.column = e.originColumn;
        }
        if (!item.alias.isEmpty())
            item.outName = item.alias;
        else if (e.kind == Expr::Column)
            item.outName = e.resolvedName;
        else
            item.outName = QStringLiteral("Expr%1").arg(exprNumber++);
        counts[item.outName.toLower()] += 1;
    }
    select.columns.clear();
    for (SelectItem& item : select.items) {
        if (item.star)
            continue;
        if (item.alias.isEmpty() && item.expr->kind == Expr::Column
            && counts.value(item.outName.toLower()) > 1
            && !item.expr->jetQualifiedName.isEmpty())
            item.outName = item.expr->jetQualifiedName;
        if (select.expanded)
            select.columns.append({item.outName, item.table, item.column});
    }
}

void Resolver::resolveColumn(Expr& e, const Scope& scope, const Select* select) {
    auto setFrom = [&e](const Source& s, const SourceColumn& c) {
        e.resolvedName = c.name;
        e.originTable = c.table;
        e.originColumn = c.column;
        e.type = c.type;
        if (!s.isSubquery)
            e.jetQualifiedName = s.jetPrefix() + u'.' + c.name;
        else
            e.jetQualifiedName =
                c.name.contains(u'.') || c.table.isEmpty() ? c.name : c.table + u'.' + c.column;
    };
    auto setUnknown = [&e](const Source* s) {
        e.resolvedName = e.text;
        if (s && !s->isSubquery) {
            e.originTable = s->table;
            e.originColumn = e.text;
            e.jetQualifiedName = s->jetPrefix() + u'.' + e.text;
        }
    };
    for (const Scope* sc = &scope; sc; sc = sc->parent) {
        if (!e.qualifier.isEmpty()) {
            const Source* s = findQualified(*sc, e.qualifier);
            if (!s)
                continue;
            if (!s->known) {
                setUnknown(s);
                return;
            }
            for (const SourceColumn& c : s->columns)
                if (sameName(c.name, e.text)) {
                    setFrom(*s, c);
                    return;
                }
            setUnknown(nullptr);
            return;
        }
        for (const Source& s : sc->sources) {
            if (!s.known)
                continue;
            for (const SourceColumn& c : s.columns)
                if (sameName(c.name, e.text)) {
                    setFrom(s, c);
                    return;
                }
        }
        if (select && sc == &scope) {
            for (const SelectItem& item : select->items)
                if (!item.star && sameName(item.outName, e.text)) {
                    e.resolvedName = e.text;
                    e.type = item.type;
                    return;
                }
        }
        bool anyUnknown = false;
        for (const Source& s : sc->sources)
            anyUnknown = anyUnknown || !s.known;
        if (anyUnknown) {
            setUnknown(sc->sources.size() == 1 ? &sc->sources.front() : nullptr);
            return;
        }
    }
    setUnknown(nullptr);
}

void Resolver::resolveExpr(Expr& e, const Scope& scope, const Select* select) {
    for (auto& a : e.args)
        resolveExpr(*a, scope, select);
    switch (e.kind) {
    case Expr::Column:
        resolveColumn(e, scope, select);
        return;
    case Expr::String:
        e.type = ValueType::Text;
        return;
    case Expr::Number:
    case Expr::Bool:
    case Expr::Identity:
        e.type = ValueType::Number;
        return;
    case Expr::Date:
        e.type = ValueType::Date;
        return;
    case Expr::Null:
    case Expr::Parameter:
        return;
    case Expr::Unary:
        e.type = e.args[0]->type == ValueType::Number ? ValueType::Number : ValueType::Unknown;
        return;
    case Expr::Binary: {
        const ValueType l = e.args[0]->type;
        const ValueType r = e.args[1]->type;
        if (e.text == u"+") {
            if (l == ValueType::Text || r == ValueType::Text) {
                e.addMode = Expr::AddMode::Text;
                e.type = ValueType::Text;
            } else if (l == ValueType::Number && r == ValueType::Number) {
                e.addMode = Expr::AddMode::Numeric;
                e.type = ValueType::Number;
            } else {
                e.addMode = Expr::AddMode::Dynamic;
                e.type = ValueType::Unknown;
            }
        } else if (e.text == u"&") {
            e.type = ValueType::Text;
        } else {
            e.type = ValueType::Number;
        }
        return;
    }
    case Expr::In:
    case Expr::Exists:
    case Expr::Subquery:
        if (e.subquery) {
            resolveSelect(*e.subquery, &scope);
            if (e.kind == Expr::Subquery) {
                if (e.subquery->items.size() != 1 || e.subquery->items[0].star)
                    throw SyntaxError(
                        QStringLiteral("Una sottoquery usata come valore deve avere una colonna"),
                        e.pos);
                e.type = e.subquery->items[0].type;
                return;
            }
        }
        e.type = ValueType::Number;
        return;
    case Expr::Logical:
    case Expr::Not:
    case Expr::IsNull:
    case Expr::Between:
    case Expr::Like:
        e.type = ValueType::Number;
        return;
    case Expr::Function:
        resolveFunction(e);
        return;
    }
}

void Resolver::resolveFunction(Expr& e) {
    const auto it = functions().constFind(e.text);
    if (it == functions().constEnd())
        throw SyntaxError(QStringLiteral("Funzione sconosciuta: %1").arg(e.text), e.pos);
    const FunctionInfo& f = *it;
    const int n = int(e.args.size());
    if (e.star && e.text != u"count")
        throw SyntaxError(QStringLiteral("'*' ammesso solo in count(*)"), e.pos);
    if (e.text == u"count" && !e.star && n != 1)
        throw SyntaxError(QStringLiteral("count richiede un argomento o '*'"), e.pos);
    if (!e.star && (n < f.minArgs || n > f.maxArgs))
        throw SyntaxError(QStringLiteral("Numero di argomenti errato per la funzione %1")
                              .arg(e.text),
                          e.pos);
    if (e.distinct && e.text != u"count" && e.text != u"sum" && e.text != u"avg"
        && e.text != u"min" && e.text != u"max")
        throw SyntaxError(QStringLiteral("DISTINCT non ammesso nella funzione %1").arg(e.text),
                          e.pos);
    switch (f.result) {
    case FunctionInfo::Same:
        e.type = e.args.empty() ? ValueType::Unknown : e.args[0]->type;
        break;
    case FunctionInfo::Text:
        e.type = ValueType::Text;
        break;
    case FunctionInfo::Number:
        e.type = ValueType::Number;
        break;
    case FunctionInfo::Date:
        e.type = ValueType::Date;
        break;
    case FunctionInfo::Iif:
        e.type = e.args[1]->type == e.args[2]->type ? e.args[1]->type : ValueType::Unknown;
        break;
    }
}

void Resolver::resolveUpdate(Update& up) {
    Scope scope;
    std::vector<Expr*> conditions;
    addSources(*up.target, scope, conditions);
    std::vector<const TableRef*> leaves;
    collectLeaves(*up.target, leaves);
    // Only inner joins can be updated through: SQLite's UPDATE ... FROM is an inner join.
    std::vector<const TableRef*> stack{up.target.get()};
    while (!stack.empty()) {
        const TableRef* r = stack.back();
        stack.pop_back();
        if (r->kind == TableRef::Join) {
            if (r->joinType != TableRef::Inner)
                throw SyntaxError(QStringLiteral("UPDATE con LEFT o RIGHT JOIN non supportato"),
                                  r->pos);
            stack.push_back(r->left.get());
            stack.push_back(r->right.get());
        }
    }
    const TableRef* updated = nullptr;
    for (const Assignment& a : up.set) {
        const TableRef* leaf = nullptr;
        if (a.qualifier.isEmpty()) {
            leaf = updated ? updated : leaves.front();
        } else {
            for (const TableRef* l : leaves) {
                const bool match = l->alias.isEmpty()
                                       ? (sameName(l->name, a.qualifier)
                                          || sameName(l->catalogName, a.qualifier))
                                       : sameName(l->alias, a.qualifier);
                if (match) {
                    leaf = l;
                    break;
                }
            }
            if (!leaf)
                throw SyntaxError(
                    QStringLiteral("Tabella non presente nell'UPDATE: %1").arg(a.qualifier), a.pos);
        }
        if (updated && leaf != updated)
            throw SyntaxError(QStringLiteral("UPDATE di più tabelle non supportato"), a.pos);
        updated = leaf;
    }
    if (updated->kind != TableRef::Table)
        throw SyntaxError(QStringLiteral("Una sottoquery non può essere aggiornata"),
                          updated->pos);
    if (up.target->kind == TableRef::Join) {
        up.updated = updated;
        for (const TableRef* l : leaves)
            if (l != updated)
                up.others.push_back(l);
        for (const Expr* c : conditions)
            up.joinConditions.push_back(c);
    }
    for (Expr* c : conditions)
        resolveExpr(*c, scope);
    for (Assignment& a : up.set)
        resolveExpr(*a.value, scope);
    if (up.where)
        resolveExpr(*up.where, scope);
}

void Resolver::resolveCreateTable(CreateTable& table) {
    const ColumnDef* counter = nullptr;
    for (const ColumnDef& c : table.columns) {
        if (c.type != ColumnType::Counter)
            continue;
        if (counter)
            throw SyntaxError(QStringLiteral("Una tabella può avere un solo contatore"), c.pos);
        counter = &c;
    }
    Scope empty;
    for (ColumnDef& c : table.columns) {
        if (c.defaultValue)
            resolveExpr(*c.defaultValue, empty);
        if (counter && c.primaryKey && &c != counter)
            throw SyntaxError(
                QStringLiteral("Il contatore deve essere la chiave primaria della tabella"), c.pos);
    }
    for (const TableConstraint& k : table.constraints) {
        if (!counter || k.kind != TableConstraint::PrimaryKey)
            continue;
        if (k.columns.size() != 1 || !sameName(k.columns.front(), counter->name))
            throw SyntaxError(
                QStringLiteral("Il contatore deve essere la chiave primaria della tabella"), k.pos);
    }
}

} // namespace db::sql
