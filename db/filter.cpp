// Client-side filter of the datasets (ADO Filter rules, DESIGN.md section 3).
//
// compile() reads the text once into a small tree bound to the store's column numbers and
// types, with every constant already converted: texts folded, like patterns compiled,
// numbers and dates as numbers. matches() then walks the tree for one physical row with
// typed comparisons and no allocation.
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
//
// Meaning:
// - A Null cell fails every comparison except `= Null` / `Is Null`; `<> Null` / `Is Not
//   Null` pass every non-Null cell; any other comparison with Null passes nothing. NOT
//   follows SQL: NOT of a comparison on a Null cell still fails.
// - Text columns compare with db::text (case and accents ignored). A number constant on a
//   text column is compared as its text (Tessera = 12 is Tessera = '12': ADO converts the
//   value to the field's type); a date or true/false constant there is an error.
// - Number columns take numbers, true (-1) / false (0), and texts that read as numbers
//   ('12.5' or '12,5'); any other text is a DatabaseError naming value and column.
// - Yes/no columns compare as truth values: 0 and false mean no, any other number
//   (-1, 1) and true mean yes; with < and > no sorts before yes, as in the sort.
// - Date columns take #date# constants, or texts read the Italian way ('15/3/2024',
//   '2024-03-15', with optional time), as Jet converts a text with the locale.
// - `like` on a text column: '*' / '%' any run, '?' / '_' one character (db::text::like).
//   On a number, yes/no or date column, like matches the value's canonical text, the text
//   SQLite's own like would see: integers in digits, reals with '.' ("12.5", "100.0"),
//   yes/no as "1"/"0", dates as stored ("2024-03-15 00:00:00").
// - Binary (picture) columns only take the Null tests.

#include "db/filter.h"

#include "db/collation.h"
#include "db/error.h"
#include "db/filter_names.h"
#include "db/filter_text.h"

#include <QStringList>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

namespace db {

namespace {

enum class Op : uint8_t { Eq, Ne, Lt, Gt, Le, Ge };

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

template <class T> inline bool compareOp(const T& a, const T& b, Op op) {
    switch (op) {
    case Op::Eq:
        return a == b;
    case Op::Ne:
        return a != b;
    case Op::Lt:
        return a < b;
    case Op::Gt:
        return a > b;
    case Op::Le:
        return a <= b;
    case Op::Ge:
        return a >= b;
    }
    return false;
}

inline bool signOp(int c, Op op) {
    switch (op) {
    case Op::Eq:
        return c == 0;
    case Op::Ne:
        return c != 0;
    case Op::Lt:
        return c < 0;
    case Op::Gt:
        return c > 0;
    case Op::Le:
        return c <= 0;
    case Op::Ge:
        return c >= 0;
    }
    return false;
}

enum class Kind : uint8_t {
    And,
    Or,
    False, // a comparison with Null other than = / <>
    IsNull,
    NotNull,
    Int,       // Integer or Date cell vs integer constant
    IntReal,   // Integer cell vs fractional constant
    Real,      // Double cell vs constant
    Truth,     // yes/no cell as 0/1 vs 0/1
    TextEq,    // text cell = / <> folded constant
    TextOrder, // text cell < > <= >= folded constant
    Like,      // text cell like pattern
    LikeInt,   // canonical text of an Integer / yes-no cell like pattern
    LikeReal,
    LikeDate,
};

struct Node {
    Kind kind = Kind::False;
    Op op = Op::Eq;
    bool negate = false; // Like*: NOT LIKE (a Null cell still fails)
    int column = -1;
    long long i = 0;
    double d = 0;
    uint32_t first = 0; // And/Or: children[first, first + count); texts/patterns: index
    uint32_t count = 0;
};

// Canonical texts of non-text cells for like (no allocation: a stack buffer).
std::string_view intText(long long v, char (&buf)[64]) {
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return {buf, size_t(r.ptr - buf)};
}

std::string_view realText(double v, char (&buf)[64]) {
    // SQLite renders a REAL with "%!.15g": 15 significant digits, always with a point.
    int n = std::snprintf(buf, sizeof buf, "%.15g", v);
    if (n < 0 || n >= int(sizeof buf) - 3) return {buf, 0};
    bool plain = true;
    for (int k = 0; k < n; ++k)
        if (buf[k] == '.' || buf[k] == 'e' || buf[k] == 'n' || buf[k] == 'i') plain = false;
    if (plain) {
        buf[n++] = '.';
        buf[n++] = '0';
    }
    return {buf, size_t(n)};
}

std::string_view dateText(CivilTime t, char (&buf)[64]) {
    int y, mo, d, h, mi, s;
    civilToParts(t, y, mo, d, h, mi, s);
    const int n =
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", y, mo, d, h, mi, s);
    return {buf, size_t(std::clamp(n, 0, int(sizeof buf) - 1))};
}

} // namespace

struct CompiledFilter::Impl {
    std::vector<Node> nodes;
    std::vector<uint32_t> children;
    std::vector<text::detail::FoldedText> texts;
    std::vector<text::detail::LikePattern> patterns;
    uint32_t root = 0;
    int columnCount = 0;

    bool eval(uint32_t index, const RowStore& s, int row) const;
};

bool CompiledFilter::integerEquality(int& column, long long& value) const {
    if (!m_impl) return false;
    const Node& n = m_impl->nodes[m_impl->root];
    if (n.kind != Kind::Int || n.op != Op::Eq || n.negate) return false;
    column = n.column;
    value = n.i;
    return true;
}

bool CompiledFilter::Impl::eval(uint32_t index, const RowStore& s, int row) const {
    const Node& n = nodes[index];
    switch (n.kind) {
    case Kind::And:
        for (uint32_t k = 0; k < n.count; ++k)
            if (!eval(children[n.first + k], s, row)) return false;
        return true;
    case Kind::Or:
        for (uint32_t k = 0; k < n.count; ++k)
            if (eval(children[n.first + k], s, row)) return true;
        return false;
    case Kind::False:
        return false;
    case Kind::IsNull:
        return s.isNull(row, n.column);
    case Kind::NotNull:
        return !s.isNull(row, n.column);
    default:
        break;
    }
    if (s.isNull(row, n.column)) return false;
    switch (n.kind) {
    case Kind::Int:
        return compareOp(s.integer(row, n.column), n.i, n.op);
    case Kind::IntReal:
        return compareOp(double(s.integer(row, n.column)), n.d, n.op);
    case Kind::Real: {
        const double v = s.real(row, n.column);
        return compareOp(v, n.d, n.op);
    }
    case Kind::Truth:
        return compareOp(s.integer(row, n.column) != 0 ? 1LL : 0LL, n.i, n.op);
    case Kind::TextEq:
        return texts[n.first].equals(s.text(row, n.column)) == (n.op == Op::Eq);
    case Kind::TextOrder:
        return signOp(text::compare(s.text(row, n.column), texts[n.first].folded), n.op);
    case Kind::Like:
        return patterns[n.first].matches(s.text(row, n.column)) != n.negate;
    case Kind::LikeInt: {
        char buf[64];
        return patterns[n.first].matches(intText(s.integer(row, n.column), buf)) != n.negate;
    }
    case Kind::LikeReal: {
        char buf[64];
        return patterns[n.first].matches(realText(s.real(row, n.column), buf)) != n.negate;
    }
    case Kind::LikeDate: {
        char buf[64];
        return patterns[n.first].matches(dateText(s.date(row, n.column), buf)) != n.negate;
    }
    default:
        return false;
    }
}

namespace {

// ---------------------------------------------------------------------------------------
// Values read from the text

struct Value {
    enum class Type { Null, Number, Text, Date, Bool } type = Type::Null;
    bool isInteger = false;
    long long integer = 0;
    double number = 0;
    QString text; // Text: the content; Number: the literal as written
    CivilTime date = 0;
    bool flag = false;
    qsizetype pos = 0;
};

bool isIdentStart(QChar c) {
    return c.isLetter() || c == u'_';
}
bool isIdentChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

// Reads a number the way the filter writes it ('.' decimal, optional sign and exponent);
// `comma` also accepts ',' as decimal separator (texts converted for a number column).
std::optional<Value> readNumber(QStringView s, bool comma) {
    std::string ascii;
    ascii.reserve(size_t(s.size()));
    for (QChar c : s) {
        char16_t u = c.unicode();
        if (comma && u == u',') u = u'.';
        if (u > 0x7F) return std::nullopt;
        ascii.push_back(char(u));
    }
    const char* b = ascii.data();
    const char* e = b + ascii.size();
    if (b != e && *b == '+') ++b; // from_chars takes '-' only
    if (b == e) return std::nullopt;
    Value v;
    v.type = Value::Type::Number;
    double d = 0;
    const auto rd = std::from_chars(b, e, d);
    if (rd.ec != std::errc() || rd.ptr != e || !std::isfinite(d)) return std::nullopt;
    v.number = d;
    long long i = 0;
    const auto ri = std::from_chars(b, e, i);
    if (ri.ec == std::errc() && ri.ptr == e) {
        v.isInteger = true;
        v.integer = i;
    }
    v.text = s.toString();
    return v;
}

// The canonical text of a number constant compared with a text column.
QString numberText(const Value& v) {
    if (v.isInteger) return QString::number(v.integer);
    char buf[64];
    const std::string_view t = realText(v.number, buf);
    return QString::fromLatin1(t.data(), qsizetype(t.size()));
}

int digitsAt(QStringView s, qsizetype& i, int minDigits, int maxDigits) {
    int value = 0, n = 0;
    while (i < s.size() && n < maxDigits && s[i].isDigit() && s[i].unicode() < 0x80) {
        value = value * 10 + (s[i].unicode() - u'0');
        ++i;
        ++n;
    }
    if (n < minDigits || (i < s.size() && s[i].isDigit())) return -1;
    return value;
}

// A date with optional time: "yyyy-mm-dd" or "a/b/yyyy" (month first when monthFirst,
// otherwise day first), then optionally blanks or 'T' and h[.:]mm[[.:]ss] [AM|PM].
std::optional<CivilTime> readDate(QStringView s, bool monthFirst) {
    s = s.trimmed();
    qsizetype i = 0;
    int year = -1, month = -1, day = -1;
    const qsizetype save = i;
    const int first = digitsAt(s, i, 1, 4);
    if (first < 0 || i >= s.size()) return std::nullopt;
    if (i - save == 4 && s[i] == u'-') {
        year = first;
        ++i;
        month = digitsAt(s, i, 1, 2);
        if (month < 0 || i >= s.size() || s[i] != u'-') return std::nullopt;
        ++i;
        day = digitsAt(s, i, 1, 2);
    } else if (i - save <= 2 && s[i] == u'/') {
        ++i;
        const int second = digitsAt(s, i, 1, 2);
        if (second < 0 || i >= s.size() || s[i] != u'/') return std::nullopt;
        ++i;
        const qsizetype ys = i;
        year = digitsAt(s, i, 4, 4);
        if (i - ys != 4) return std::nullopt;
        month = monthFirst ? first : second;
        day = monthFirst ? second : first;
    } else {
        return std::nullopt;
    }
    if (year < 1 || day < 0 || !isValidDate(year, month, day)) return std::nullopt;
    int hour = 0, minute = 0, second = 0;
    if (i < s.size()) {
        if (s[i] == u'T' || s[i] == u't') {
            ++i;
        } else if (s[i].isSpace()) {
            while (i < s.size() && s[i].isSpace())
                ++i;
        } else {
            return std::nullopt;
        }
        hour = digitsAt(s, i, 1, 2);
        if (hour < 0 || i >= s.size() || (s[i] != u'.' && s[i] != u':')) return std::nullopt;
        const QChar sep = s[i++];
        minute = digitsAt(s, i, 2, 2);
        if (minute < 0) return std::nullopt;
        if (i < s.size() && s[i] == sep) {
            ++i;
            second = digitsAt(s, i, 2, 2);
            if (second < 0) return std::nullopt;
        }
        while (i < s.size() && s[i].isSpace())
            ++i;
        if (i < s.size()) {
            const QStringView ampm = s.mid(i);
            const bool am = ampm.compare(u"AM", Qt::CaseInsensitive) == 0;
            const bool pm = ampm.compare(u"PM", Qt::CaseInsensitive) == 0;
            if ((!am && !pm) || hour < 1 || hour > 12) return std::nullopt;
            if (am && hour == 12) hour = 0;
            if (pm && hour != 12) hour += 12;
            i = s.size();
        }
        if (hour > 23 || minute > 59 || second > 59) return std::nullopt;
    }
    return civilFromParts(year, month, day, hour, minute, second);
}

// ---------------------------------------------------------------------------------------
// The parser

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

    uint32_t addNode(const Node& n) {
        m_impl.nodes.push_back(n);
        return uint32_t(m_impl.nodes.size() - 1);
    }

    uint32_t addGroup(Kind kind, const std::vector<uint32_t>& items) {
        if (items.size() == 1) return items.front();
        Node n;
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
        return addGroup(neg ? Kind::And : Kind::Or, items);
    }

    uint32_t parseAnd(bool neg, int depth) {
        std::vector<uint32_t> items{parseNot(neg, depth)};
        while (acceptKeyword(u"and"))
            items.push_back(parseNot(neg, depth));
        return addGroup(neg ? Kind::Or : Kind::And, items);
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
            const std::optional<CivilTime> t = readDate(inside, true);
            if (!t)
                fail(QStringLiteral("data non valida #%1# (si scrive #m/g/aaaa# o #aaaa-mm-gg#, "
                                    "con l'ora facoltativa)")
                         .arg(inside),
                     v.pos);
            v.date = *t;
            m_pos = close + 1;
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
            std::optional<Value> v = readNumber(m_s.mid(start, i - start), false);
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
            Node n;
            n.kind = (notNull != neg) ? Kind::NotNull : Kind::IsNull;
            n.column = column;
            return addNode(n);
        }
        bool likeNot = false;
        if (acceptKeyword(u"not")) {
            if (!peekKeyword(u"like")) fail(QStringLiteral("atteso like dopo not"));
            likeNot = true;
        }
        if (acceptKeyword(u"like")) return bindLike(column, parseValue(), likeNot != neg);

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
        return bindCompare(column, neg ? negated(op) : op, parseValue());
    }

    [[noreturn]] void typeError(int column, const Value& v, const QString& what) const {
        const ColumnInfo& info = m_store.column(column);
        QString shown;
        switch (v.type) {
        case Value::Type::Text:
            shown = u'\'' + v.text + u'\'';
            break;
        case Value::Type::Number:
            shown = v.text;
            break;
        default:
            shown = m_s.mid(v.pos, m_pos - v.pos).toString();
            break;
        }
        throw DatabaseError(
            QStringLiteral("Filtro non valido: il valore %1 non è %2 per il campo %3")
                .arg(shown, what, info.name));
    }

    // A constant as a number for a numeric or yes/no column.
    double numberFor(int column, const Value& v, bool& isInteger, long long& integer) const {
        switch (v.type) {
        case Value::Type::Number:
            isInteger = v.isInteger;
            integer = v.integer;
            return v.number;
        case Value::Type::Bool:
            isInteger = true;
            integer = v.flag ? -1 : 0;
            return double(integer);
        case Value::Type::Text: {
            const QString t = v.text.trimmed();
            if (m_store.column(column).type == FieldType::Bool) {
                if (t.compare(u"true", Qt::CaseInsensitive) == 0 ||
                    t.compare(u"vero", Qt::CaseInsensitive) == 0) {
                    isInteger = true;
                    integer = -1;
                    return -1;
                }
                if (t.compare(u"false", Qt::CaseInsensitive) == 0 ||
                    t.compare(u"falso", Qt::CaseInsensitive) == 0) {
                    isInteger = true;
                    integer = 0;
                    return 0;
                }
            }
            if (const std::optional<Value> n = readNumber(t, true)) {
                isInteger = n->isInteger;
                integer = n->integer;
                return n->number;
            }
            typeError(column, v, QStringLiteral("un numero"));
        }
        default:
            typeError(column, v, QStringLiteral("un numero"));
        }
    }

    uint32_t bindCompare(int column, Op op, const Value& v) {
        Node n;
        n.column = column;
        n.op = op;
        if (v.type == Value::Type::Null) {
            // = Null and <> Null test for Null; anything else with Null is never true.
            n.kind = op == Op::Eq ? Kind::IsNull : op == Op::Ne ? Kind::NotNull : Kind::False;
            return addNode(n);
        }
        const FieldType type = m_store.column(column).type;
        switch (type) {
        case FieldType::Text:
        case FieldType::Memo: {
            QString constant;
            if (v.type == Value::Type::Text)
                constant = v.text;
            else if (v.type == Value::Type::Number)
                constant = numberText(v);
            else
                typeError(column, v, QStringLiteral("un testo"));
            n.kind = (op == Op::Eq || op == Op::Ne) ? Kind::TextEq : Kind::TextOrder;
            n.first = uint32_t(m_impl.texts.size());
            m_impl.texts.emplace_back(constant.toStdString());
            return addNode(n);
        }
        case FieldType::Integer: {
            bool isInt = false;
            long long i = 0;
            const double d = numberFor(column, v, isInt, i);
            n.kind = isInt ? Kind::Int : Kind::IntReal;
            n.i = i;
            n.d = d;
            return addNode(n);
        }
        case FieldType::Double: {
            bool isInt = false;
            long long i = 0;
            n.kind = Kind::Real;
            n.d = numberFor(column, v, isInt, i);
            return addNode(n);
        }
        case FieldType::Bool: {
            bool isInt = false;
            long long i = 0;
            const double d = numberFor(column, v, isInt, i);
            n.kind = Kind::Truth;
            n.i = d != 0 ? 1 : 0;
            return addNode(n);
        }
        case FieldType::Date: {
            if (v.type == Value::Type::Date) {
                n.i = v.date;
            } else if (v.type == Value::Type::Text) {
                const std::optional<CivilTime> t = readDate(v.text, false);
                if (!t) typeError(column, v, QStringLiteral("una data"));
                n.i = *t;
            } else {
                typeError(column, v, QStringLiteral("una data"));
            }
            n.kind = Kind::Int;
            return addNode(n);
        }
        case FieldType::Blob:
            break;
        }
        throw DatabaseError(
            QStringLiteral(
                "Filtro non valido: il campo %1 non si può confrontare, solo = Null o <> Null")
                .arg(m_store.column(column).name));
    }

    uint32_t bindLike(int column, const Value& v, bool negate) {
        Node n;
        n.column = column;
        n.negate = negate;
        if (v.type == Value::Type::Null) {
            n.kind = Kind::False;
            return addNode(n);
        }
        QString pattern;
        if (v.type == Value::Type::Text || v.type == Value::Type::Number)
            pattern = v.text;
        else
            fail(QStringLiteral("like vuole un testo tra apici"), v.pos);
        text::detail::LikePattern compiled(pattern.toStdString());
        switch (m_store.column(column).type) {
        case FieldType::Text:
        case FieldType::Memo:
            if (compiled.matchesEverything()) { // like '*': every non-Null text
                n.kind = negate ? Kind::False : Kind::NotNull;
                return addNode(n);
            }
            n.kind = Kind::Like;
            break;
        case FieldType::Integer:
        case FieldType::Bool:
            n.kind = Kind::LikeInt;
            break;
        case FieldType::Double:
            n.kind = Kind::LikeReal;
            break;
        case FieldType::Date:
            n.kind = Kind::LikeDate;
            break;
        case FieldType::Blob:
            throw DatabaseError(QStringLiteral("Filtro non valido: like non si applica al campo %1")
                                    .arg(m_store.column(column).name));
        }
        n.first = uint32_t(m_impl.patterns.size());
        m_impl.patterns.push_back(std::move(compiled));
        return addNode(n);
    }

    QStringView m_s;
    qsizetype m_pos = 0;
    const RowStore& m_store;
    CompiledFilter::Impl& m_impl;
};

} // namespace

namespace detail {

int resolveColumn(const RowStore& store, const QStringList& parts, const QString& context) {
    if (parts.isEmpty()) return -1;
    const QString full = parts.join(u'.');
    if (const int c = store.findColumn(full); c >= 0) return c;

    int found = -1, matches = 0;
    const auto ambiguous = [&] {
        throw DatabaseError(QStringLiteral("Il nome %1 %2 indica più di un campo: "
                                           "scrivere Tabella.Campo")
                                .arg(full, context));
    };
    if (parts.size() >= 2) {
        const QString table = parts.mid(0, parts.size() - 1).join(u'.');
        const QString& name = parts.last();
        for (int c = 0; c < store.columnCount(); ++c) {
            const ColumnInfo& info = store.column(c);
            if (info.table.compare(table, Qt::CaseInsensitive) != 0) continue;
            if (info.origin.compare(name, Qt::CaseInsensitive) == 0 ||
                info.name.compare(name, Qt::CaseInsensitive) == 0) {
                found = c;
                ++matches;
            }
        }
    } else {
        const QString suffix = u'.' + full;
        for (int c = 0; c < store.columnCount(); ++c)
            if (store.column(c).name.endsWith(suffix, Qt::CaseInsensitive)) {
                found = c;
                ++matches;
            }
    }
    if (matches > 1) ambiguous();
    return found;
}

} // namespace detail

CompiledFilter::CompiledFilter() = default;

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

bool CompiledFilter::matches(const RowStore& store, int row) const {
    if (!m_impl) return true;
    Q_ASSERT(store.columnCount() >= m_impl->columnCount);
    return m_impl->eval(m_impl->root, store, row);
}

} // namespace db
