#include "db/sql/parser.h"

#include "db/error.h"
#include "db/sql/visible.h"

#include <algorithm>

namespace db::sql {

using namespace ast;

namespace {

const QStringList& reservedWords() {
    static const QStringList words = {
        QStringLiteral("select"), QStringLiteral("from"),    QStringLiteral("where"),
        QStringLiteral("group"),  QStringLiteral("by"),      QStringLiteral("having"),
        QStringLiteral("order"),  QStringLiteral("asc"),     QStringLiteral("desc"),
        QStringLiteral("and"),    QStringLiteral("or"),      QStringLiteral("not"),
        QStringLiteral("in"),     QStringLiteral("is"),      QStringLiteral("null"),
        QStringLiteral("like"),   QStringLiteral("between"), QStringLiteral("join"),
        QStringLiteral("inner"),  QStringLiteral("left"),    QStringLiteral("right"),
        QStringLiteral("outer"),  QStringLiteral("on"),      QStringLiteral("as"),
        QStringLiteral("set"),    QStringLiteral("union"),   QStringLiteral("distinct"),
        QStringLiteral("distinctrow"), QStringLiteral("top"), QStringLiteral("into"),
        QStringLiteral("values"), QStringLiteral("update"),  QStringLiteral("delete"),
        QStringLiteral("insert"), QStringLiteral("create"),  QStringLiteral("drop"),
        QStringLiteral("alter"),  QStringLiteral("table"),   QStringLiteral("index"),
        QStringLiteral("exists"), QStringLiteral("true"),    QStringLiteral("false"),
        QStringLiteral("mod"),    QStringLiteral("all"),     QStringLiteral("full"),
        QStringLiteral("cross"),  QStringLiteral("with"),    QStringLiteral("percent"),
    };
    return words;
}

} // namespace

Parser::Parser(const QString& text) : m_tokens(tokenize(text)) {}

const Token& Parser::peek(int ahead) const {
    const int i = std::min<int>(m_index + ahead, m_tokens.size() - 1);
    return m_tokens[i];
}

Token Parser::next() {
    Token t = peek();
    if (m_index < m_tokens.size() - 1)
        ++m_index;
    return t;
}

bool Parser::acceptWord(QStringView w) {
    if (peek().isWord(w)) {
        next();
        return true;
    }
    return false;
}

bool Parser::acceptSymbol(QStringView s) {
    if (peek().isSymbol(s)) {
        next();
        return true;
    }
    return false;
}

Token Parser::expectWord(QStringView w) {
    if (!peek().isWord(w))
        fail(QStringLiteral("Atteso %1").arg(w.toString().toUpper()), peek());
    return next();
}

Token Parser::expectSymbol(QStringView s) {
    if (!peek().isSymbol(s))
        fail(QStringLiteral("Atteso '%1'").arg(s.toString()), peek());
    return next();
}

void Parser::fail(const QString& message, const Token& at) const {
    if (at.kind == Token::End)
        throw SyntaxError(message + QStringLiteral(": fine inattesa del testo"), at.pos);
    throw SyntaxError(message, at.pos);
}

void Parser::unexpected(const Token& at) const {
    if (at.kind == Token::End)
        throw SyntaxError(QStringLiteral("Fine inattesa del testo"), at.pos);
    QString shown = at.text;
    if (at.kind == Token::String)
        shown = QStringLiteral("'") + at.text + QStringLiteral("'");
    else if (at.kind == Token::QuotedIdent)
        shown = QStringLiteral("[") + at.text + QStringLiteral("]");
    else if (at.kind == Token::Date)
        shown = QStringLiteral("data");
    throw SyntaxError(QStringLiteral("Simbolo inatteso: %1").arg(visibleText(shown.left(40))), at.pos);
}

bool Parser::isReserved(const Token& t) const {
    return t.kind == Token::Ident && reservedWords().contains(t.text, Qt::CaseInsensitive);
}

bool Parser::atName() const {
    const Token& t = peek();
    return t.kind == Token::QuotedIdent || (t.kind == Token::Ident && !isReserved(t));
}

QString Parser::expectName(const QString& what) {
    if (!atName())
        fail(QStringLiteral("Atteso %1").arg(what), peek());
    return next().text;
}

void Parser::enter(const Token& at) {
    if (++m_nesting > kMaxNesting)
        throw SyntaxError(QStringLiteral("Istruzione annidata troppo profondamente"), at.pos);
}

ExprPtr Parser::makeNode(Expr::Kind kind, int pos, QString text, std::vector<ExprPtr> args) {
    auto e = std::make_unique<Expr>();
    e->kind = kind;
    e->pos = pos;
    e->text = std::move(text);
    int depth = 0;
    for (const auto& a : args)
        depth = std::max(depth, a->depth);
    e->depth = depth + 1;
    if (e->depth > kMaxDepth)
        throw SyntaxError(QStringLiteral("Espressione troppo complessa"), pos);
    e->args = std::move(args);
    return e;
}

// ---------------------------------------------------------------- statements

Statement Parser::parseStatement() {
    const Token& first = peek();
    if (first.kind == Token::End || first.isSymbol(u";"))
        throw SyntaxError(QStringLiteral("Istruzione vuota"), first.pos);
    Statement st;
    if (first.isWord(u"select")) {
        st.select = parseSelect();
        st.kind = StatementKind::Select;
        const Select& s = *st.select;
        if (s.from.empty() && s.items.size() == 1 && s.items[0].expr
            && s.items[0].expr->kind == Expr::Identity)
            st.kind = StatementKind::Identity;
    } else if (first.isWord(u"insert")) {
        st = parseInsert();
    } else if (first.isWord(u"update")) {
        st = parseUpdate();
    } else if (first.isWord(u"delete")) {
        st = parseDelete();
    } else if (first.isWord(u"create")) {
        st = parseCreate();
    } else if (first.isWord(u"alter")) {
        st = parseAlter();
    } else if (first.isWord(u"drop")) {
        st = parseDrop();
    } else {
        fail(QStringLiteral("Istruzione non riconosciuta"), first);
    }
    acceptSymbol(u";");
    if (peek().kind != Token::End)
        fail(QStringLiteral("Testo dopo la fine dell'istruzione"), peek());
    return st;
}

std::unique_ptr<Select> Parser::parseSelect() {
    const Token start = expectWord(u"select");
    enter(start);
    auto s = std::make_unique<Select>();
    s->pos = start.pos;
    if (acceptWord(u"distinct"))
        s->distinct = true;
    else if (!acceptWord(u"distinctrow"))
        acceptWord(u"all");
    if (acceptWord(u"top")) {
        const Token n = next();
        if (n.kind != Token::Number || n.text.contains(u'.') || n.text.contains(u'e')
            || n.text.contains(u'E') || n.text.size() > 9)
            fail(QStringLiteral("Atteso un numero intero dopo TOP"), n);
        if (peek().isWord(u"percent"))
            fail(QStringLiteral("TOP ... PERCENT non supportato"), peek());
        s->top = QString::number(n.text.toLongLong());
    }
    parseSelectItems(*s);
    if (acceptWord(u"from")) {
        s->from.push_back(parseTableRef());
        while (acceptSymbol(u","))
            s->from.push_back(parseTableRef());
    }
    if (acceptWord(u"where"))
        s->where = parseExpr();
    if (peek().isWord(u"group")) {
        next();
        expectWord(u"by");
        do {
            s->groupBy.push_back(parseExpr());
        } while (acceptSymbol(u","));
    }
    if (acceptWord(u"having"))
        s->having = parseExpr();
    if (peek().isWord(u"order")) {
        next();
        expectWord(u"by");
        do {
            OrderItem item;
            item.expr = parseExpr();
            if (acceptWord(u"desc"))
                item.desc = true;
            else
                acceptWord(u"asc");
            s->orderBy.push_back(std::move(item));
        } while (acceptSymbol(u","));
    }
    if (peek().isWord(u"union"))
        fail(QStringLiteral("UNION non supportato"), peek());
    leave();
    return s;
}

void Parser::parseSelectItems(Select& s) {
    do {
        SelectItem item;
        item.pos = peek().pos;
        if (acceptSymbol(u"*")) {
            item.star = true;
        } else if ((peek().kind == Token::Ident || peek().kind == Token::QuotedIdent)
                   && peek(1).isSymbol(u".") && peek(2).isSymbol(u"*")) {
            item.star = true;
            item.starQualifier = next().text;
            next();
            next();
        } else {
            item.expr = parseExpr();
            if (acceptWord(u"as")) {
                if (peek().kind == Token::String)
                    item.alias = next().text;
                else
                    item.alias = expectName(QStringLiteral("un nome dopo AS"));
            } else if (atName()) {
                item.alias = next().text;
            }
            if (item.alias.isEmpty() && !peek().isSymbol(u",") && peek().kind != Token::End
                && !isReserved(peek()) && !peek().isSymbol(u")") && !peek().isSymbol(u";"))
                unexpected(peek());
        }
        s.items.push_back(std::move(item));
    } while (acceptSymbol(u","));
}

TableRefPtr Parser::parseTableRef() {
    TableRefPtr left = parseTablePrimary();
    for (;;) {
        const Token t = peek();
        TableRef::JoinType type;
        if (t.isWord(u"inner")) {
            next();
            type = TableRef::Inner;
        } else if (t.isWord(u"left") || t.isWord(u"right")) {
            next();
            type = t.isWord(u"left") ? TableRef::Left : TableRef::Right;
            acceptWord(u"outer");
        } else if (t.isWord(u"join")) {
            type = TableRef::Inner;
        } else {
            break;
        }
        expectWord(u"join");
        auto join = std::make_unique<TableRef>();
        join->kind = TableRef::Join;
        join->pos = t.pos;
        join->joinType = type;
        join->left = std::move(left);
        join->right = parseTablePrimary();
        expectWord(u"on");
        join->on = parseExpr();
        left = std::move(join);
    }
    return left;
}

TableRefPtr Parser::parseTablePrimary() {
    const Token start = peek();
    if (acceptSymbol(u"(")) {
        enter(start);
        TableRefPtr ref;
        if (peek().isWord(u"select")) {
            ref = std::make_unique<TableRef>();
            ref->kind = TableRef::Subquery;
            ref->pos = start.pos;
            ref->subquery = parseSelect();
            acceptSymbol(u";");
            expectSymbol(u")");
            if (acceptWord(u"as"))
                ref->alias = expectName(QStringLiteral("un alias"));
            else if (atName())
                ref->alias = next().text;
        } else {
            ref = parseTableRef();
            expectSymbol(u")");
        }
        leave();
        return ref;
    }
    auto ref = std::make_unique<TableRef>();
    ref->kind = TableRef::Table;
    ref->pos = start.pos;
    ref->name = expectName(QStringLiteral("il nome di una tabella"));
    if (acceptWord(u"as"))
        ref->alias = expectName(QStringLiteral("un alias"));
    else if (atName())
        ref->alias = next().text;
    return ref;
}

Statement Parser::parseInsert() {
    expectWord(u"insert");
    expectWord(u"into");
    Statement st;
    st.kind = StatementKind::Insert;
    st.insert = std::make_unique<Insert>();
    Insert& ins = *st.insert;
    ins.tablePos = peek().pos;
    ins.table = expectName(QStringLiteral("il nome di una tabella"));
    if (acceptSymbol(u"(")) {
        do {
            QString name = expectName(QStringLiteral("il nome di una colonna"));
            // Jet accepts Table.Column in the column list.
            if (acceptSymbol(u"."))
                name = expectName(QStringLiteral("il nome di una colonna"));
            ins.columns << name;
        } while (acceptSymbol(u","));
        expectSymbol(u")");
    }
    if (ins.columns.isEmpty() && acceptWord(u"default")) {
        // Not Jet: a row of defaults only, which posting a new row with nothing typed needs.
        expectWord(u"values");
        ins.defaultValues = true;
    } else if (acceptWord(u"values")) {
        expectSymbol(u"(");
        do {
            ins.values.push_back(parseExpr());
        } while (acceptSymbol(u","));
        expectSymbol(u")");
        if (!ins.columns.isEmpty() && ins.columns.size() != int(ins.values.size()))
            fail(QStringLiteral("Il numero dei valori non corrisponde al numero delle colonne"),
                 peek());
    } else if (peek().isWord(u"select")) {
        ins.select = parseSelect();
    } else {
        fail(QStringLiteral("Atteso VALUES o SELECT"), peek());
    }
    return st;
}

Statement Parser::parseUpdate() {
    expectWord(u"update");
    Statement st;
    st.kind = StatementKind::Update;
    st.update = std::make_unique<Update>();
    Update& up = *st.update;
    up.target = parseTableRef();
    expectWord(u"set");
    do {
        Assignment a;
        a.pos = peek().pos;
        a.column = expectName(QStringLiteral("il nome di una colonna"));
        if (acceptSymbol(u".")) {
            a.qualifier = a.column;
            a.column = expectName(QStringLiteral("il nome di una colonna"));
        }
        expectSymbol(u"=");
        a.value = parseExpr();
        up.set.push_back(std::move(a));
    } while (acceptSymbol(u","));
    if (acceptWord(u"where"))
        up.where = parseExpr();
    return st;
}

Statement Parser::parseDelete() {
    expectWord(u"delete");
    Statement st;
    st.kind = StatementKind::Delete;
    st.del = std::make_unique<Delete>();
    Delete& del = *st.del;
    QString starTable;
    if (acceptSymbol(u"*")) {
    } else if (atName() && peek(1).isSymbol(u".") && peek(2).isSymbol(u"*")) {
        starTable = next().text;
        next();
        next();
    }
    expectWord(u"from");
    del.tablePos = peek().pos;
    del.table = expectName(QStringLiteral("il nome di una tabella"));
    if (!starTable.isEmpty() && starTable.compare(del.table, Qt::CaseInsensitive) != 0)
        fail(QStringLiteral("DELETE su una tabella diversa da quella di FROM non supportato"),
             peek());
    if (peek().isWord(u"inner") || peek().isWord(u"left") || peek().isWord(u"right")
        || peek().isWord(u"join") || peek().isSymbol(u","))
        fail(QStringLiteral("DELETE con JOIN non supportato"), peek());
    if (acceptWord(u"where"))
        del.where = parseExpr();
    return st;
}

} // namespace db::sql
