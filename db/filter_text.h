#pragma once

// Private to the database layer: the machinery behind db::text (collation.cpp), shared
// with the client-side filter and sort (filter_*.cpp, sort.cpp). Not part of the public API.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace db::text::detail {

// Values a folded-code-point stream yields besides code points (which are >= 0).
inline constexpr int32_t End = -1;  // no more characters
inline constexpr int32_t Star = -2; // like pattern: any run
inline constexpr int32_t Any = -3;  // like pattern: exactly one character

inline unsigned char lowerAscii(unsigned char b) {
    return (b >= 'A' && b <= 'Z') ? static_cast<unsigned char>(b + 32) : b;
}

// Slow step of the iterator below: decodes one non-ASCII UTF-8 character at *p (which is
// advanced) and folds it. Returns the folded code point, End when the character folds to
// nothing (combining marks: the caller goes on), and sets `second` to the second code
// point of a two-letter folding (ß -> ss), else End.
int32_t foldNonAscii(const unsigned char*& p, const unsigned char* end, int32_t& second);

// The folded code points of a UTF-8 text, one at a time, without allocating. Copyable:
// a copy is a saved position (the like matcher backtracks with it). With `Wildcards`,
// '*' and '%' read as Star, '?' and '_' as Any (a like pattern).
template <bool Wildcards> class BasicFoldIter {
public:
    BasicFoldIter() = default;
    explicit BasicFoldIter(std::string_view s)
        : m_p(reinterpret_cast<const unsigned char*>(s.data())), m_end(m_p + s.size()) {}

    int32_t next() {
        if (m_pending != End) {
            const int32_t c = m_pending;
            m_pending = End;
            return c;
        }
        while (m_p < m_end) {
            const unsigned char b = *m_p;
            if (b < 0x80) {
                ++m_p;
                if constexpr (Wildcards) {
                    if (b == '*' || b == '%') return Star;
                    if (b == '?' || b == '_') return Any;
                }
                return lowerAscii(b);
            }
            const int32_t c = foldNonAscii(m_p, m_end, m_pending);
            if (c != End) return c;
        }
        return End;
    }

private:
    const unsigned char* m_p = nullptr;
    const unsigned char* m_end = nullptr;
    int32_t m_pending = End;
};

using FoldIter = BasicFoldIter<false>;
using PatternIter = BasicFoldIter<true>;

// Appends code point c as UTF-8.
void appendUtf8(std::string& out, int32_t c);
// Appends fold(text) to out (the sort builds its keys in one arena with it).
void appendFolded(std::string& out, std::string_view text);

// A like pattern folded once, matched against many texts without allocating. The common
// shapes get a direct path: 'abc' (equality), 'abc*' (prefix), '*' (anything).
class LikePattern {
public:
    LikePattern() = default;
    explicit LikePattern(std::string_view pattern);

    bool matches(std::string_view text) const;
    bool matchesEverything() const { return m_kind == Kind::All; }

private:
    enum class Kind : uint8_t { All, Exact, Prefix, General };
    Kind m_kind = Kind::Exact;
    bool m_literalAscii = true;
    std::string m_literal;       // Exact / Prefix: the folded literal, UTF-8
    std::vector<int32_t> m_code; // General: folded code points, Star, Any; stars collapsed
};

// A text constant folded once: equality of a text with it has an ASCII fast path.
struct FoldedText {
    FoldedText() = default;
    explicit FoldedText(std::string_view text);
    std::string folded; // fold(text)
    bool ascii = true;  // folded is pure ASCII
    bool equals(std::string_view text) const;
};

} // namespace db::text::detail
