// Client-side filter of the datasets (ADO Filter rules): reading the text.
//
// compile() reads the text once into a small tree (filter_tree.h) bound to the store's
// column numbers and types; each comparison gets its constant converted to the column's
// type (filter_bind.cpp, which also lists what each column type accepts). matches() then
// walks the tree for one physical row with typed comparisons and no allocation
// (filter_eval.cpp).
//
// Grammar (keywords and column names ignore case; blanks anywhere between tokens):
//   filter     := or-expr | (empty)
//   or-expr    := and-expr { OR and-expr }          -- AND binds tighter than OR
//   and-expr   := not-expr { AND not-expr }
//   not-expr   := NOT not-expr | '(' or-expr ')' | comparison
//   comparison := name ( op value | [NOT] LIKE value | IS [NOT] NULL )
//   op         := = | <> | != | < | > | <= | >=
//   name       := part { '.' part }        part := identifier | '[' any text but ']' ']'
//   value      := number | 'text' | "text" | #date# | TRUE | FALSE | NULL
// Numbers use '.' as decimal separator, with an optional sign and exponent. Texts double
// their quote to contain it. Dates: #m/d/yyyy# or #yyyy-mm-dd#, optionally followed by a
// time h.mm[.ss] or h:mm[:ss] (also with AM/PM); a day that does not exist is an error.
// Both are read by the database layer's one reader of each (db/values.h).

#include "db/filter_tree.h"

#include "db/collation.h"
#include "db/error.h"
#include "db/filter_names.h"
#include "db/values.h"

#include <QStringList>

#include <optional>

namespace db {

using detail::NodeKind;
using detail::Op;
using Value = detail::FilterValue;

namespace {

Op negated(Op op) {
    switch (op) {
    case Op::Eq:
        return Op::Ne;
    case Op::Ne:
        return Op::Eq;
    case Op::Lt:
        return Op::Ge;
    case Op::Gt:
        return Op::Le;
    case Op::Le:
        return Op::Gt;
    case Op::Ge:
        return Op::Lt;
    }
    return op;
}

bool isIdentStart(QChar c) {
    return c.isLetter() || c == u'_';
}
bool isIdentChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

// A number literal of the filter text: '.' as decimal point, optional sign and exponent.
std::optional<Value> literalNumber(QStringView s) {
    Value v;
    v.type = Value::Type::Number;
    v.text = s.toString();
    if (const std::optional<long long> i = readInteger(s)) {
        v.isInteger = true;
        v.integer = *i;
        v.number = double(*i);
        return v;
    }
    const std::optional<double> d = readNumber(s);
    if (!d) return std::nullopt;
    v.number = *d;
    return v;
}

constexpr int MaxDepth = 256;

class Parser {
public:
    Parser(const QString& text, const RowStore& store, CompiledFilter::Impl& impl)
        : m_s(text), m_store(store), m_impl(impl) {}

    uint32_t parseAll() {
        const uint32_t root = parseOr(false, 0);
        skipBlanks();
        if (m_pos < m_s.size()) {
            if (m_s[m_pos] == u')') fail(QStringLiteral("Parentesi chiusa senza apertura"));
            fail(QStringLiteral("Testo inatteso nel filtro"));
        }
        return root;
    }

private:
    [[noreturn]] void fail(const QString& message, qsizetype at = -1) const {
        throw SyntaxError(QStringLiteral("Filtro non valido: ") + message,
                          int(at < 0 ? m_pos : at));
    }

    void skipBlanks() {
        while (m_pos < m_s.size() && m_s[m_pos].isSpace())
            ++m_pos;
    }

    // A keyword at the current position (after blanks), as a whole word.
    bool peekKeyword(QStringView word) {
        skipBlanks();
        const qsizetype n = word.size();
        if (m_s.size() - m_pos < n) return false;
        if (m_s.mid(m_pos, n).compare(word, Qt::CaseInsensitive) != 0) return false;
        return m_pos + n == m_s.size() || !isIdentChar(m_s[m_pos + n]);
    }
    bool acceptKeyword(QStringView word) {
        if (!peekKeyword(word)) return false;
        m_pos += word.size();
        return true;
    }

    uint32_t addNode(const detail::Node& n) { return m_impl.add(n); }

    uint32_t addGroup(NodeKind kind, const std::vector<uint32_t>& items) {
        if (items.size() == 1) return items.front();
        detail::Node n;
        n.kind = kind;
        n.first = uint32_t(m_impl.children.size());
        n.count = uint32_t(items.size());
        m_impl.children.insert(m_impl.children.end(), items.begin(), items.end());
        return addNode(n);
    }

    // NOT is pushed down to the comparisons (De Morgan), so `neg` turns OR into AND.
    uint32_t parseOr(bool neg, int depth) {
        std::vector<uint32_t> items{parseAnd(neg, depth)};
        while (acceptKeyword(u"or"))
            items.push_back(parseAnd(neg, depth));
        return addGroup(neg ? NodeKind::And : NodeKind::Or, items);
    }

    uint32_t parseAnd(bool neg, int depth) {
        std::vector<uint32_t> items{parseNot(neg, depth)};
        while (acceptKeyword(u"and"))
            items.push_back(parseNot(neg, depth));
        return addGroup(neg ? NodeKind::Or : NodeKind::And, items);
    }

    uint32_t parseNot(bool neg, int depth) {
        if (depth > MaxDepth) fail(QStringLiteral("troppi livelli di parentesi o di not"));
        if (acceptKeyword(u"not")) return parseNot(!neg, depth + 1);
        skipBlanks();
        if (m_pos < m_s.size() && m_s[m_pos] == u'(') {
            const qsizetype open = m_pos++;
            const uint32_t inner = parseOr(neg, depth + 1);
            skipBlanks();
            if (m_pos >= m_s.size() || m_s[m_pos] != u')')
                fail(QStringLiteral("manca la parentesi chiusa per quella aperta alla posizione %1")
                         .arg(open + 1));
            ++m_pos;
            return inner;
        }
        return parseComparison(neg);
    }

    // name := part { '.' part }
    QStringList parseName() {
        skipBlanks();
        QStringList parts;
        for (;;) {
            if (m_pos >= m_s.size()) fail(QStringLiteral("atteso il nome di un campo"));
            const QChar c = m_s[m_pos];
            if (c == u'[') {
                const qsizetype open = m_pos;
                const qsizetype close = m_s.indexOf(u']', m_pos + 1);
                if (close < 0) fail(QStringLiteral("manca la parentesi quadra chiusa"), open);
                if (close == open + 1) fail(QStringLiteral("nome di campo vuoto"), open);
                parts << m_s.mid(open + 1, close - open - 1).toString();
                m_pos = close + 1;
            } else if (isIdentStart(c)) {
                const qsizetype start = m_pos;
                while (m_pos < m_s.size() && isIdentChar(m_s[m_pos]))
                    ++m_pos;
                const QStringView word = m_s.mid(start, m_pos - start);
                for (const char16_t* reserved :
                     {u"and", u"or", u"not", u"like", u"is", u"null", u"true", u"false"})
                    if (word.compare(QStringView(reserved), Qt::CaseInsensitive) == 0)
                        fail(QStringLiteral("atteso il nome di un campo (un nome riservato va "
                                            "scritto tra parentesi quadre)"),
                             start);
                parts << word.toString();
            } else {
                fail(QStringLiteral("atteso il nome di un campo"));
            }
            if (m_pos < m_s.size() && m_s[m_pos] == u'.') {
                ++m_pos;
                continue;
            }
            return parts;
        }
    }

    Value parseQuoted(QChar quote) {
        Value v;
        v.type = Value::Type::Text;
        v.pos = m_pos;
        ++m_pos;
        QString out;
        for (;;) {
            const qsizetype next = m_s.indexOf(quote, m_pos);
            if (next < 0) fail(QStringLiteral("testo tra apici non chiuso"), v.pos);
            out += m_s.mid(m_pos, next - m_pos);
            m_pos = next + 1;
            if (m_pos < m_s.size() && m_s[m_pos] == quote) { // doubled quote
                out += quote;
                ++m_pos;
                continue;
            }
            break;
        }
        v.text = out;
        return v;
    }

    Value parseValue() {
        skipBlanks();
        if (m_pos >= m_s.size()) fail(QStringLiteral("manca il valore da confrontare"));
        const QChar c = m_s[m_pos];
        if (c == u'\'' || c == u'"') return parseQuoted(c);
        if (c == u'#') {
            Value v;
            v.type = Value::Type::Date;
            v.pos = m_pos;
            const qsizetype close = m_s.indexOf(u'#', m_pos + 1);
            if (close < 0) fail(QStringLiteral("data non chiusa dal carattere #"), v.pos);
            const QStringView inside = m_s.mid(m_pos + 1, close - m_pos - 1);
            const std::optional<CivilTime> t = readDate(inside, DateOrder::MonthFirst);
            if (!t)
                fail(QStringLiteral("data non valida #%1# (si scrive #m/g/aaaa# o #aaaa-mm-gg#, "
                                    "con l'ora facoltativa)")
                         .arg(inside),
                     v.pos);
            v.date = *t;
            m_pos = close + 1;
            v.text = m_s.mid(v.pos, m_pos - v.pos).toString();
            return v;
        }
        if (c.isDigit() || c == u'.' || c == u'-' || c == u'+') {
            const qsizetype start = m_pos;
            qsizetype i = m_pos;
            if (m_s[i] == u'-' || m_s[i] == u'+') ++i;
            while (i < m_s.size() && (m_s[i].isDigit() || m_s[i] == u'.'))
                ++i;
            if (i < m_s.size() && (m_s[i] == u'e' || m_s[i] == u'E')) {
                qsizetype j = i + 1;
                if (j < m_s.size() && (m_s[j] == u'-' || m_s[j] == u'+')) ++j;
                if (j < m_s.size() && m_s[j].isDigit()) {
                    i = j;
                    while (i < m_s.size() && m_s[i].isDigit())
                        ++i;
                }
            }
            if (i < m_s.size() && (isIdentChar(m_s[i]) || m_s[i] == u'.'))
                fail(QStringLiteral("numero non valido"), start);
            std::optional<Value> v = literalNumber(m_s.mid(start, i - start));
            if (!v) fail(QStringLiteral("numero non valido"), start);
            v->pos = start;
            m_pos = i;
            return *v;
        }
        Value v;
        v.pos = m_pos;
        if (acceptKeyword(u"null")) return v;
        if (acceptKeyword(u"true") || acceptKeyword(u"false")) {
            v.type = Value::Type::Bool;
            v.flag = m_s[v.pos].toLower() == u't';
            v.text = m_s.mid(v.pos, m_pos - v.pos).toString();
            return v;
        }
        fail(QStringLiteral("atteso un valore (un numero, un testo tra apici, una data tra # "
                            "o true/false/null)"));
    }

    uint32_t parseComparison(bool neg) {
        const QStringList parts = parseName();
        const int column = detail::resolveColumn(m_store, parts, QStringLiteral("nel filtro"));
        if (column < 0)
            throw DatabaseError(
                QStringLiteral("Campo sconosciuto nel filtro: %1").arg(parts.join(u'.')));

        if (acceptKeyword(u"is")) {
            const bool notNull = acceptKeyword(u"not");
            if (!acceptKeyword(u"null")) fail(QStringLiteral("atteso null dopo is"));
            detail::Node n;
            n.kind = (notNull != neg) ? NodeKind::NotNull : NodeKind::IsNull;
            n.column = column;
            return addNode(n);
        }
        bool likeNot = false;
        if (acceptKeyword(u"not")) {
            if (!peekKeyword(u"like")) fail(QStringLiteral("atteso like dopo not"));
            likeNot = true;
        }
        if (acceptKeyword(u"like"))
            return detail::bindLike(m_impl, m_store, column, parseValue(), likeNot != neg);

        skipBlanks();
        Op op;
        const auto at = [this](qsizetype k) {
            return m_pos + k < m_s.size() ? m_s[m_pos + k] : QChar(u'\0');
        };
        if (at(0) == u'=') {
            op = Op::Eq;
            m_pos += 1;
        } else if (at(0) == u'<' && at(1) == u'>') {
            op = Op::Ne;
            m_pos += 2;
        } else if (at(0) == u'!' && at(1) == u'=') {
            op = Op::Ne;
            m_pos += 2;
        } else if (at(0) == u'<' && at(1) == u'=') {
            op = Op::Le;
            m_pos += 2;
        } else if (at(0) == u'>' && at(1) == u'=') {
            op = Op::Ge;
            m_pos += 2;
        } else if (at(0) == u'<') {
            op = Op::Lt;
            m_pos += 1;
        } else if (at(0) == u'>') {
            op = Op::Gt;
            m_pos += 1;
        } else {
            fail(QStringLiteral("atteso un operatore di confronto (=, <>, <, >, <=, >=, like)"));
        }
        return detail::bindCompare(m_impl, m_store, column, neg ? negated(op) : op, parseValue());
    }

    QStringView m_s;
    qsizetype m_pos = 0;
    const RowStore& m_store;
    CompiledFilter::Impl& m_impl;
};

} // namespace

CompiledFilter CompiledFilter::compile(const QString& text, const RowStore& store) {
    CompiledFilter result;
    if (text.trimmed().isEmpty()) return result;
    auto impl = std::make_shared<Impl>();
    impl->columnCount = store.columnCount();
    Parser parser(text, store, *impl);
    impl->root = parser.parseAll();
    result.m_impl = std::move(impl);
    return result;
}

} // namespace db
