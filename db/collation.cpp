// The system's text collation: case- and accent-insensitive comparison, folding and Jet
// `like` on UTF-8, plus the SQLite callbacks that give the database the same rules.
//
// Every function walks the text byte by byte while it is ASCII (the common case: Italian
// names are mostly ASCII) and switches to a stream of folded code points at the first
// non-ASCII byte. Non-ASCII characters are folded through one table of the Basic
// Multilingual Plane, built once on first use from Qt's Unicode data plus a few explicit
// rules (see foldOne()).

#include "db/collation.h"
#include "db/filter_text.h"

#include <QChar>
#include <QString>

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace db::text {
namespace detail {
namespace {

constexpr char32_t Replacement = 0xFFFD;

// Two-letter foldings: table values 1..5 index this array (0 means "drop").
constexpr int ExpansionCount = 6;
constexpr std::array<std::array<char, 2>, ExpansionCount> Expansions{
    {{{0, 0}}, {{'s', 's'}}, {{'a', 'e'}}, {{'o', 'e'}}, {{'i', 'j'}}, {{'t', 'h'}}}};

// Letters the table maps by rule rather than from Unicode's decompositions: the
// expansions above and Latin letters with a stroke, bar or other mark that Unicode does
// not decompose. Returns 0 when no rule applies.
char32_t specialFold(char32_t c) {
    switch (c) {
    case 0x00DF:
    case 0x1E9E:
        return 1; // ß ẞ -> ss
    case 0x00C6:
    case 0x00E6:
        return 2; // Æ æ -> ae
    case 0x0152:
    case 0x0153:
        return 3; // Œ œ -> oe
    case 0x0132:
    case 0x0133:
        return 4; // Ĳ ĳ -> ij
    case 0x00DE:
    case 0x00FE:
        return 5; // Þ þ -> th
    case 0x00D0:
    case 0x00F0:
    case 0x0110:
    case 0x0111:
        return 'd'; // Ð ð Đ đ
    case 0x00D8:
    case 0x00F8:
        return 'o'; // Ø ø
    case 0x0126:
    case 0x0127:
        return 'h'; // Ħ ħ
    case 0x0130:
    case 0x0131:
        return 'i'; // İ ı
    case 0x0138:
        return 'k'; // ĸ
    case 0x013F:
    case 0x0140:
    case 0x0141:
    case 0x0142:
        return 'l'; // Ŀ ŀ Ł ł
    case 0x0149:
    case 0x014A:
    case 0x014B:
        return 'n'; // ŉ Ŋ ŋ
    case 0x0166:
    case 0x0167:
        return 't'; // Ŧ ŧ
    case 0x017F:
        return 's'; // ſ
    default:
        return 0;
    }
}

// The folding of one BMP code point >= 0x80: 0 = dropped (non-spacing mark), 1..5 =
// expansion, otherwise the folded code point (lower-case ASCII when it is ASCII).
char16_t foldOne(char32_t cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) return char16_t(cp);
    if (QChar::category(cp) == QChar::Mark_NonSpacing) return 0;
    char32_t c = cp;
    for (int step = 0; step < 8; ++step) {
        if (const char32_t s = specialFold(c)) return char16_t(s);
        char32_t f = QChar::toCaseFolded(c);
        // An accented letter: its canonical decomposition is a base followed only by
        // non-spacing marks (or a single replacement character). Other decompositions
        // (Hangul syllables, Indic two-part vowels) are kept whole.
        if (QChar::decompositionTag(f) == QChar::Canonical) {
            const QString d = QChar::decomposition(f);
            if (!d.isEmpty() && !d.at(0).isSurrogate()) {
                bool marksOnly = true;
                for (qsizetype k = 1; k < d.size(); ++k)
                    if (d.at(k).isSurrogate() || d.at(k).category() != QChar::Mark_NonSpacing)
                        marksOnly = false;
                if (marksOnly) f = d.at(0).unicode();
            }
        }
        if (f == c) break;
        c = f;
    }
    if (c < 0x80) return char16_t(lowerAscii(static_cast<unsigned char>(c)));
    if (c > 0xFFFF) return char16_t(cp); // never for BMP input; keep the table 16-bit
    if (QChar::category(c) == QChar::Mark_NonSpacing) return 0;
    return char16_t(c);
}

struct FoldTable {
    std::unique_ptr<char16_t[]> map{new char16_t[0x10000]};
    FoldTable() {
        for (char32_t cp = 0; cp < 0x80; ++cp)
            map[cp] = char16_t(lowerAscii(static_cast<unsigned char>(cp)));
        for (char32_t cp = 0x80; cp < 0x10000; ++cp)
            map[cp] = foldOne(cp);
    }
};

const char16_t* foldTable() {
    static const FoldTable table; // thread-safe initialisation, built once (~65k lookups)
    return table.map.get();
}

inline bool isCont(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// Decodes one non-ASCII character; invalid or truncated sequences give U+FFFD and
// consume one byte.
char32_t decode(const unsigned char*& p, const unsigned char* end) {
    const unsigned char b = *p;
    const ptrdiff_t left = end - p;
    if (b >= 0xC2 && b < 0xE0) {
        if (left >= 2 && isCont(p[1])) {
            const char32_t c = (char32_t(b & 0x1F) << 6) | (p[1] & 0x3F);
            p += 2;
            return c;
        }
    } else if (b >= 0xE0 && b < 0xF0) {
        if (left >= 3 && isCont(p[1]) && isCont(p[2])) {
            const char32_t c =
                (char32_t(b & 0x0F) << 12) | (char32_t(p[1] & 0x3F) << 6) | (p[2] & 0x3F);
            if (c >= 0x800 && (c < 0xD800 || c > 0xDFFF)) {
                p += 3;
                return c;
            }
        }
    } else if (b >= 0xF0 && b < 0xF5) {
        if (left >= 4 && isCont(p[1]) && isCont(p[2]) && isCont(p[3])) {
            const char32_t c = (char32_t(b & 0x07) << 18) | (char32_t(p[1] & 0x3F) << 12) |
                               (char32_t(p[2] & 0x3F) << 6) | (p[3] & 0x3F);
            if (c >= 0x10000 && c <= 0x10FFFF) {
                p += 4;
                return c;
            }
        }
    }
    ++p;
    return Replacement;
}

} // namespace

int32_t foldNonAscii(const unsigned char*& p, const unsigned char* end, int32_t& second) {
    const char32_t cp = decode(p, end);
    if (cp < 0x10000) {
        const char16_t f = foldTable()[cp];
        if (f == 0) return End;
        if (f < ExpansionCount) {
            second = Expansions[f][1];
            return Expansions[f][0];
        }
        return f;
    }
    // Supplementary planes: case folding only (no decompositions there worth the cost).
    if (QChar::category(cp) == QChar::Mark_NonSpacing) return End;
    return int32_t(QChar::toCaseFolded(cp));
}

void appendUtf8(std::string& out, int32_t c) {
    const auto u = static_cast<uint32_t>(c);
    if (u < 0x80) {
        out.push_back(char(u));
    } else if (u < 0x800) {
        out.push_back(char(0xC0 | (u >> 6)));
        out.push_back(char(0x80 | (u & 0x3F)));
    } else if (u < 0x10000) {
        out.push_back(char(0xE0 | (u >> 12)));
        out.push_back(char(0x80 | ((u >> 6) & 0x3F)));
        out.push_back(char(0x80 | (u & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (u >> 18)));
        out.push_back(char(0x80 | ((u >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((u >> 6) & 0x3F)));
        out.push_back(char(0x80 | (u & 0x3F)));
    }
}

namespace {

// Greedy star matching (one saved star position, no recursion): linear for the usual
// patterns, O(text x pattern) at worst, never exponential.
template <class TextIt, class PatIt> bool greedyLike(TextIt t, PatIt p) {
    TextIt starT;
    PatIt starP;
    bool haveStar = false;
    for (;;) {
        const int32_t pc = p.next();
        if (pc == Star) {
            haveStar = true;
            starP = p;
            starT = t;
            continue;
        }
        const int32_t tc = t.next();
        if (tc == End) return pc == End; // only stars may be left, and they were consumed
        if (pc != End && (pc == Any || pc == tc)) continue;
        if (!haveStar) return false;
        // Let the last star swallow one more character and retry from there.
        t = starT;
        if (t.next() == End) return false;
        starT = t;
        p = starP;
    }
}

struct CodeIter {
    const int32_t* p = nullptr;
    const int32_t* end = nullptr;
    int32_t next() { return p < end ? *p++ : End; }
};

// Matches `text` against an already folded literal: whole text (prefix = false) or its
// beginning (prefix = true).
bool matchLiteral(std::string_view text, std::string_view literal, bool literalAscii, bool prefix) {
    size_t i = 0;
    if (literalAscii) {
        const size_t n = literal.size();
        for (; i < n; ++i) {
            if (i >= text.size()) return false;
            const auto b = static_cast<unsigned char>(text[i]);
            if (b >= 0x80) break;
            if (lowerAscii(b) != static_cast<unsigned char>(literal[i])) return false;
        }
        if (i == n) {
            if (prefix || i == text.size()) return true;
            if (static_cast<unsigned char>(text[i]) < 0x80) return false;
            FoldIter rest(text.substr(i)); // only dropped marks may follow
            return rest.next() == End;
        }
    }
    FoldIter t(text.substr(i));
    FoldIter l(literal.substr(i)); // folding a folded text changes nothing
    for (;;) {
        const int32_t lc = l.next();
        if (lc == End) return prefix || t.next() == End;
        if (t.next() != lc) return false;
    }
}

} // namespace

LikePattern::LikePattern(std::string_view pattern) {
    PatternIter it(pattern);
    for (int32_t c; (c = it.next()) != End;) {
        if (c == Star && !m_code.empty() && m_code.back() == Star) continue;
        m_code.push_back(c);
    }
    const auto stars = std::count(m_code.begin(), m_code.end(), Star);
    const bool anyOne = std::find(m_code.begin(), m_code.end(), Any) != m_code.end();
    if (m_code.size() == 1 && stars == 1) {
        m_kind = Kind::All;
    } else if (!anyOne && (stars == 0 || (stars == 1 && m_code.back() == Star))) {
        m_kind = stars == 0 ? Kind::Exact : Kind::Prefix;
        for (const int32_t c : m_code) {
            if (c == Star) break;
            appendUtf8(m_literal, c);
            if (c >= 0x80) m_literalAscii = false;
        }
        m_code.clear();
    } else {
        m_kind = Kind::General;
    }
}

bool LikePattern::matches(std::string_view text) const {
    switch (m_kind) {
    case Kind::All:
        return true;
    case Kind::Exact:
        return matchLiteral(text, m_literal, m_literalAscii, false);
    case Kind::Prefix:
        return matchLiteral(text, m_literal, m_literalAscii, true);
    case Kind::General:
        break;
    }
    return greedyLike(FoldIter(text), CodeIter{m_code.data(), m_code.data() + m_code.size()});
}

FoldedText::FoldedText(std::string_view text) : folded(fold(text)) {
    for (const char c : folded)
        if (static_cast<unsigned char>(c) >= 0x80) ascii = false;
}

bool FoldedText::equals(std::string_view text) const {
    return matchLiteral(text, folded, ascii, false);
}

} // namespace detail

using namespace detail;

int compare(std::string_view a, std::string_view b) {
    const size_t n = std::min(a.size(), b.size());
    size_t i = 0;
    for (; i < n; ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if ((x | y) & 0x80) break;
        if (x != y) {
            const unsigned char lx = lowerAscii(x), ly = lowerAscii(y);
            if (lx != ly) return lx < ly ? -1 : 1;
        }
    }
    if (i == n) {
        if (a.size() == b.size()) return 0;
        // One text goes on. An ASCII character there decides; a non-ASCII one may be a
        // combining mark that folds to nothing, so the slow path decides.
        const std::string_view& longer = a.size() > b.size() ? a : b;
        if (static_cast<unsigned char>(longer[i]) < 0x80) return a.size() < b.size() ? -1 : 1;
    }
    FoldIter ia(a.substr(i)), ib(b.substr(i));
    for (;;) {
        const int32_t x = ia.next(), y = ib.next();
        if (x != y) return x < y ? -1 : 1;
        if (x == End) return 0;
    }
}

std::string fold(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    appendFolded(out, text);
    return out;
}

void detail::appendFolded(std::string& out, std::string_view text) {
    size_t i = 0;
    for (; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b >= 0x80) break;
        out.push_back(char(lowerAscii(b)));
    }
    if (i < text.size()) {
        FoldIter it(text.substr(i));
        for (int32_t c; (c = it.next()) != End;)
            appendUtf8(out, c);
    }
}

bool like(std::string_view text, std::string_view pattern) {
    return greedyLike(FoldIter(text), PatternIter(pattern));
}

int sqliteCollate(void*, int lengthA, const void* a, int lengthB, const void* b) {
    const std::string_view sa(static_cast<const char*>(a), size_t(std::max(lengthA, 0)));
    const std::string_view sb(static_cast<const char*>(b), size_t(std::max(lengthB, 0)));
    return compare(sa, sb);
}

void sqliteLike(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (argc != 2) {
        sqlite3_result_error(context, "like: attesi due argomenti", -1);
        return;
    }
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    // Pattern first: SQLite calls `X LIKE Y` as like(Y, X).
    const auto* pattern = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const int patternBytes = sqlite3_value_bytes(argv[0]);
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
    const int textBytes = sqlite3_value_bytes(argv[1]);
    if (!pattern || !text) { // out of memory while converting
        sqlite3_result_error_nomem(context);
        return;
    }
    if (size_t(patternBytes) > LikePatternLimit) {
        sqlite3_result_error(context, "Criterio di like troppo lungo (oltre 50.000 byte)", -1);
        return;
    }
    // The pattern is the same on every row of a statement: fold it once and keep it with
    // the statement, so each row costs one pass over its own text.
    auto* compiled = static_cast<LikePattern*>(sqlite3_get_auxdata(context, 0));
    if (!compiled) {
        compiled = new LikePattern(std::string_view(pattern, size_t(patternBytes)));
        sqlite3_set_auxdata(context, 0, compiled, [](void* p) { delete static_cast<LikePattern*>(p); });
        // SQLite may drop it at once (the pattern is not a constant); it is then freed.
        compiled = static_cast<LikePattern*>(sqlite3_get_auxdata(context, 0));
    }
    const std::string_view t(text, size_t(textBytes));
    const bool match = compiled ? compiled->matches(t)
                                : LikePattern(std::string_view(pattern, size_t(patternBytes))).matches(t);
    sqlite3_result_int(context, match ? 1 : 0);
}

} // namespace db::text
