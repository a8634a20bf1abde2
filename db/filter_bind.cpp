// Client-side filter: a comparison read from the text meets its column. Every constant is
// converted here, once, to the column's own form, so evaluating a row never converts.
//
// Meaning:
// - A Null cell fails every comparison except `= Null` / `Is Null`; `<> Null` / `Is Not
//   Null` pass every non-Null cell; any other comparison with Null passes nothing. NOT
//   follows SQL: NOT of a comparison on a Null cell still fails.
// - Text columns compare with db::text (case and accents ignored). A number constant on a
//   text column is compared as its text (Tessera = 12 is Tessera = '12': ADO converts the
//   value to the field's type); a date or true/false constant there is an error.
// - Number columns take numbers, true (-1) / false (0), and texts that read as numbers
//   as typed ('12.5', '12,5', '1.234,5': db::readNumber); any other text is a
//   DatabaseError naming value and column.
// - Yes/no columns compare as truth values: 0 and false mean no, any other number
//   (-1, 1) and true mean yes; with < and > no sorts before yes, as in the sort.
// - Date columns take #date# constants, or texts read the Italian way, day first
//   ('15/3/2024', '15/3/24', '2024-03-15', with optional time: db::readDate), as Jet
//   converts a text with the locale.
// - `like` on a text column: '*' / '%' any run, '?' / '_' one character (db::text::like).
//   On a number, yes/no or date column, like matches the value's canonical text, the text
//   SQLite's own like would see: integers in digits, reals with '.' ("12.5", "100.0"),
//   yes/no as "1"/"0", dates as stored ("2024-03-15 00:00:00").
// - Binary (picture) columns only take the Null tests.

#include "db/collation.h"
#include "db/filter_tree.h"

#include "db/error.h"
#include "db/values.h"

namespace db {

using detail::NodeKind;
using detail::Op;
using Value = detail::FilterValue;

namespace {

// The canonical text of a number constant compared with a text column.
QString numberText(const Value& v) {
    if (v.isInteger) return QString::number(v.integer);
    char buf[64];
    const std::string_view t = detail::realText(v.number, buf);
    return QString::fromLatin1(t.data(), qsizetype(t.size()));
}

[[noreturn]] void typeError(const ColumnInfo& info, const Value& v, const QString& what) {
    QString shown;
    switch (v.type) {
    case Value::Type::Text:
        shown = u'\'' + v.text + u'\'';
        break;
    default:
        shown = v.text;
        break;
    }
    throw DatabaseError(QStringLiteral("Filtro non valido: il valore %1 non è %2 per il campo %3")
                            .arg(shown, what, info.name));
}

// A constant as a number for a numeric or yes/no column.
double numberFor(const ColumnInfo& info, const Value& v, bool& isInteger, long long& integer) {
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
        if (info.type == FieldType::Bool) {
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
        if (const std::optional<long long> n = readInteger(t)) {
            isInteger = true;
            integer = *n;
            return double(*n);
        }
        if (const std::optional<double> n = readNumber(t)) {
            isInteger = false;
            return *n;
        }
        typeError(info, v, QStringLiteral("un numero"));
    }
    default:
        typeError(info, v, QStringLiteral("un numero"));
    }
}

} // namespace

uint32_t detail::bindCompare(CompiledFilter::Impl& impl, const RowStore& store, int column, Op op,
                             const Value& v) {
    const ColumnInfo& info = store.column(column);
    detail::Node n;
    n.column = column;
    n.op = op;
    if (v.type == Value::Type::Null) {
        // = Null and <> Null test for Null; anything else with Null is never true.
        n.kind = op == Op::Eq   ? NodeKind::IsNull
                 : op == Op::Ne ? NodeKind::NotNull
                                : NodeKind::False;
        return impl.add(n);
    }
    const FieldType type = info.type;
    switch (type) {
    case FieldType::Text:
    case FieldType::Memo: {
        QString constant;
        if (v.type == Value::Type::Text)
            constant = v.text;
        else if (v.type == Value::Type::Number)
            constant = numberText(v);
        else
            typeError(info, v, QStringLiteral("un testo"));
        n.kind = (op == Op::Eq || op == Op::Ne) ? NodeKind::TextEq : NodeKind::TextOrder;
        n.first = uint32_t(impl.texts.size());
        impl.texts.emplace_back(constant.toStdString());
        return impl.add(n);
    }
    case FieldType::Integer: {
        bool isInt = false;
        long long i = 0;
        const double d = numberFor(info, v, isInt, i);
        n.kind = isInt ? NodeKind::Int : NodeKind::IntReal;
        n.i = i;
        n.d = d;
        return impl.add(n);
    }
    case FieldType::Double: {
        bool isInt = false;
        long long i = 0;
        n.kind = NodeKind::Real;
        n.d = numberFor(info, v, isInt, i);
        return impl.add(n);
    }
    case FieldType::Bool: {
        bool isInt = false;
        long long i = 0;
        const double d = numberFor(info, v, isInt, i);
        n.kind = NodeKind::Truth;
        n.i = d != 0 ? 1 : 0;
        return impl.add(n);
    }
    case FieldType::Date: {
        if (v.type == Value::Type::Date) {
            n.i = v.date;
        } else if (v.type == Value::Type::Text) {
            const std::optional<CivilTime> t = readDate(v.text, DateOrder::DayFirst);
            if (!t) typeError(info, v, QStringLiteral("una data"));
            n.i = *t;
        } else {
            typeError(info, v, QStringLiteral("una data"));
        }
        n.kind = NodeKind::Int;
        return impl.add(n);
    }
    case FieldType::Blob:
        break;
    }
    throw DatabaseError(
        QStringLiteral(
            "Filtro non valido: il campo %1 non si può confrontare, solo = Null o <> Null")
            .arg(info.name));
}

uint32_t detail::bindLike(CompiledFilter::Impl& impl, const RowStore& store, int column,
                          const Value& v, bool negate) {
    const ColumnInfo& info = store.column(column);
    detail::Node n;
    n.column = column;
    n.negate = negate;
    if (v.type == Value::Type::Null) {
        n.kind = NodeKind::False;
        return impl.add(n);
    }
    QString pattern;
    if (v.type == Value::Type::Text || v.type == Value::Type::Number)
        pattern = v.text;
    else
        throw SyntaxError(QStringLiteral("Filtro non valido: like vuole un testo tra apici"),
                          int(v.pos));
    const std::string patternBytes = pattern.toStdString();
    if (patternBytes.size() > text::LikePatternLimit)
        throw SyntaxError(QStringLiteral("Filtro non valido: criterio di like oltre 50.000 byte"),
                          int(v.pos));
    text::detail::LikePattern compiled(patternBytes);
    switch (info.type) {
    case FieldType::Text:
    case FieldType::Memo:
        if (compiled.matchesEverything()) { // like '*': every non-Null text
            n.kind = negate ? NodeKind::False : NodeKind::NotNull;
            return impl.add(n);
        }
        n.kind = NodeKind::Like;
        break;
    case FieldType::Integer:
    case FieldType::Bool:
        n.kind = NodeKind::LikeInt;
        break;
    case FieldType::Double:
        n.kind = NodeKind::LikeReal;
        break;
    case FieldType::Date:
        n.kind = NodeKind::LikeDate;
        break;
    case FieldType::Blob:
        throw DatabaseError(
            QStringLiteral("Filtro non valido: like non si applica al campo %1").arg(info.name));
    }
    n.first = uint32_t(impl.patterns.size());
    impl.patterns.push_back(std::move(compiled));
    return impl.add(n);
}

} // namespace db
