// Client-side sort of the datasets: "Column [ASC|DESC][, ...]".
//
// The sort text is read the lenient way ADO reads it: the text is cut at commas (outside
// brackets), an ASC or DESC word at the end of a piece gives the direction (ASC when
// missing), and the rest of the piece is the column name, brackets optional. So a grid's
// title click that writes "E% ASC" for the column E% works as well as "[E%] ASC".
//
// sortRows() builds one typed key array per sort column first (texts folded once into
// one arena, with an 8-byte big-endian prefix for quick decisions), then stable-sorts a
// permutation with typed comparisons. Order: Null first ascending (last descending);
// texts in the db::text collation (byte order of the folded text, the same order as
// db::text::compare); numbers and dates by value; yes/no columns no before yes (their
// stored 0/1, as SQLite's ORDER BY sorts them).

#include "db/filter.h"

#include "db/error.h"
#include "db/filter_names.h"
#include "db/filter_text.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace db {

namespace {

[[noreturn]] void sortSyntax(const QString& message, qsizetype at) {
    throw SyntaxError(QStringLiteral("Ordinamento non valido: ") + message, int(at));
}

// Splits a name on dots outside brackets and removes the brackets of each part.
QStringList nameParts(QStringView name) {
    QStringList parts;
    QString current;
    bool inBracket = false;
    for (const QChar c : name) {
        if (c == u'[' && !inBracket) {
            inBracket = true;
        } else if (c == u']' && inBracket) {
            inBracket = false;
        } else if (c == u'.' && !inBracket) {
            parts << current.trimmed();
            current.clear();
        } else {
            current += c;
        }
    }
    parts << current.trimmed();
    return parts;
}

void addKey(std::vector<SortKey>& keys, QStringView piece, qsizetype offset,
            const RowStore& store) {
    // Leading and trailing blanks.
    qsizetype b = 0, e = piece.size();
    while (b < e && piece[b].isSpace())
        ++b;
    while (e > b && piece[e - 1].isSpace())
        --e;
    if (b == e) sortSyntax(QStringLiteral("manca il nome di un campo"), offset + b);

    SortKey key;
    // A last word ASC / DESC after a blank (not inside brackets: the piece's end is ']').
    qsizetype w = e;
    while (w > b && !piece[w - 1].isSpace())
        --w;
    if (w > b) {
        const QStringView word = piece.mid(w, e - w);
        const bool asc = word.compare(u"asc", Qt::CaseInsensitive) == 0;
        const bool desc = word.compare(u"desc", Qt::CaseInsensitive) == 0;
        if (asc || desc) {
            key.descending = desc;
            e = w;
            while (e > b && piece[e - 1].isSpace())
                --e;
        }
    }
    const QStringView name = piece.mid(b, e - b);
    const QStringList parts = nameParts(name);
    for (const QString& p : parts)
        if (p.isEmpty()) sortSyntax(QStringLiteral("nome di campo non valido"), offset + b);
    key.column = detail::resolveColumn(store, parts, QStringLiteral("nell'ordinamento"));
    if (key.column < 0)
        throw DatabaseError(
            QStringLiteral("Campo sconosciuto nell'ordinamento: %1").arg(parts.join(u'.')));
    if (store.column(key.column).type == FieldType::Blob)
        throw DatabaseError(
            QStringLiteral("Il campo %1 non si può ordinare").arg(store.column(key.column).name));
    keys.push_back(key);
}

// One sort column's keys, indexed by position in the rows being sorted.
struct KeyColumn {
    enum class Kind { Int, Real, Text } kind = Kind::Int;
    bool descending = false;
    std::vector<uint8_t> null;
    std::vector<long long> ints;
    std::vector<double> reals;
    std::vector<uint64_t> prefix; // Text: first 8 folded bytes, big-endian, zero-padded
    std::vector<uint32_t> offset, length;
    std::string arena;

    // <0, 0, >0 in ascending order, Null first.
    int compare(uint32_t a, uint32_t b) const {
        const bool na = null[a] != 0, nb = null[b] != 0;
        if (na || nb) return na == nb ? 0 : (na ? -1 : 1);
        switch (kind) {
        case Kind::Int:
            return ints[a] < ints[b] ? -1 : ints[a] > ints[b] ? 1 : 0;
        case Kind::Real: {
            const double x = reals[a], y = reals[b];
            if (x < y) return -1;
            if (x > y) return 1;
            const bool nx = x != x, ny = y != y; // NaN before every number: a total order
            return nx == ny ? 0 : (nx ? -1 : 1);
        }
        case Kind::Text: {
            if (prefix[a] != prefix[b]) return prefix[a] < prefix[b] ? -1 : 1;
            const uint32_t la = length[a], lb = length[b];
            const int c =
                std::memcmp(arena.data() + offset[a], arena.data() + offset[b], std::min(la, lb));
            if (c != 0) return c;
            return la < lb ? -1 : la > lb ? 1 : 0;
        }
        }
        return 0;
    }
};

KeyColumn buildKeys(const std::vector<int>& rows, const RowStore& store, const SortKey& key) {
    KeyColumn k;
    k.descending = key.descending;
    const size_t n = rows.size();
    const int c = key.column;
    k.null.resize(n);
    for (size_t i = 0; i < n; ++i)
        k.null[i] = store.isNull(rows[i], c) ? 1 : 0;
    switch (store.column(c).type) {
    case FieldType::Integer:
    case FieldType::Bool:
    case FieldType::Date:
        k.kind = KeyColumn::Kind::Int;
        k.ints.resize(n);
        for (size_t i = 0; i < n; ++i)
            k.ints[i] = k.null[i] ? 0 : store.integer(rows[i], c);
        break;
    case FieldType::Double:
        k.kind = KeyColumn::Kind::Real;
        k.reals.resize(n);
        for (size_t i = 0; i < n; ++i)
            k.reals[i] = k.null[i] ? 0.0 : store.real(rows[i], c);
        break;
    case FieldType::Text:
    case FieldType::Memo:
    case FieldType::Blob:
        k.kind = KeyColumn::Kind::Text;
        k.prefix.resize(n);
        k.offset.resize(n);
        k.length.resize(n);
        for (size_t i = 0; i < n; ++i) {
            const size_t start = k.arena.size();
            if (!k.null[i]) text::detail::appendFolded(k.arena, store.text(rows[i], c));
            k.offset[i] = uint32_t(start);
            k.length[i] = uint32_t(k.arena.size() - start);
        }
        for (size_t i = 0; i < n; ++i) {
            uint64_t p = 0;
            const uint32_t len = std::min<uint32_t>(k.length[i], 8);
            for (uint32_t j = 0; j < 8; ++j)
                p = (p << 8) |
                    (j < len ? static_cast<unsigned char>(k.arena[k.offset[i] + j]) : 0u);
            k.prefix[i] = p;
        }
        break;
    }
    return k;
}

} // namespace

std::vector<SortKey> parseSort(const QString& text, const RowStore& store) {
    std::vector<SortKey> keys;
    const QStringView s(text);
    if (s.trimmed().isEmpty()) return keys;
    qsizetype start = 0, bracket = -1;
    for (qsizetype i = 0; i <= s.size(); ++i) {
        if (i < s.size()) {
            const QChar c = s[i];
            if (c == u'[' && bracket < 0)
                bracket = i;
            else if (c == u']')
                bracket = -1;
            if (c != u',' || bracket >= 0) continue;
        }
        if (bracket >= 0) sortSyntax(QStringLiteral("manca la parentesi quadra chiusa"), bracket);
        addKey(keys, s.mid(start, i - start), start, store);
        start = i + 1;
    }
    return keys;
}

void sortRows(std::vector<int>& rows, const RowStore& store, const std::vector<SortKey>& keys) {
    if (keys.empty() || rows.size() < 2) return;
    std::vector<KeyColumn> columns;
    columns.reserve(keys.size());
    for (const SortKey& key : keys)
        columns.push_back(buildKeys(rows, store, key));

    std::vector<uint32_t> order(rows.size());
    std::iota(order.begin(), order.end(), 0u);
    if (columns.size() == 1) {
        const KeyColumn& k = columns.front();
        if (k.descending)
            std::stable_sort(order.begin(), order.end(),
                             [&k](uint32_t a, uint32_t b) { return k.compare(a, b) > 0; });
        else
            std::stable_sort(order.begin(), order.end(),
                             [&k](uint32_t a, uint32_t b) { return k.compare(a, b) < 0; });
    } else {
        std::stable_sort(order.begin(), order.end(), [&columns](uint32_t a, uint32_t b) {
            for (const KeyColumn& k : columns) {
                const int c = k.compare(a, b);
                if (c != 0) return k.descending ? c > 0 : c < 0;
            }
            return false;
        });
    }
    std::vector<int> sorted(rows.size());
    for (size_t i = 0; i < order.size(); ++i)
        sorted[i] = rows[order[i]];
    rows.swap(sorted);
}

} // namespace db
