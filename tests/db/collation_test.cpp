// The system's text collation: folding, comparison and Jet `like` on UTF-8, and the same
// rules seen from SQLite through the registered callbacks.

#include "db/collation.h"
#include "db/filter_text.h"
#include "support/rawsqlite.h"

#include <QString>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace db;

namespace {

std::string utf8(char32_t cp) {
    std::string out;
    text::detail::appendUtf8(out, int32_t(cp));
    return out;
}

int sign(int v) {
    return (v > 0) - (v < 0);
}

} // namespace

TEST(Collation, FoldsCaseAndAccents) {
    // Decomposed accents (e + U+0301) fold like the precomposed letter; outside Latin, case
    // and canonical accents fold; symbols stay themselves.
    const std::pair<const char*, const char*> cases[] = {
        {"Perù", "peru"}, {"ÀÁÂÃÄÅ àáâãäå", "aaaaaa aaaaaa"}, {"ÇçÈÉÊËèéêë", "cceeeeeeee"}, {"ÌÍÎÏìíîï", "iiiiiiii"},
        {"Ññ ÒÓÔÕÖØòóôõöø", "nn oooooooooooo"}, {"ÙÚÛÜùúûü ÝýÿŸ", "uuuuuuuu yyyy"}, {"Straße ẞ", "strasse ss"},
        {"Œuvre œ Æther æ", "oeuvre oe aether ae"}, {"Łódź Đakovo ıİ", "lodz dakovo ii"},
        {"ĀăĄćĉċčďēĕėęěĝğġģĥĩīĭįĵķĺļľńņňōŏőŕŗřśŝşšţťũūŭůűųŵŷźżž", "aaaccccdeeeeegggghiiiijklllnnnooorrrssssttuuuuuuwyzzz"},
        {"ABC xyz 123 !?*", "abc xyz 123 !?*"}, {"", ""}, {"Caffe\xCC\x81", "caffe"}, {"ЖУК", "жук"},
        {"× ÷ €", "× ÷ €"}};
    for (const auto& [text, folded] : cases) EXPECT_EQ(text::fold(text), folded) << text;
    EXPECT_EQ(text::fold("ΑΒΓ"), text::fold("αβγ"));
    EXPECT_EQ(text::fold("Ά"), text::fold("α"));
}

TEST(Collation, LatinSupplementAndExtendedAFoldToAsciiLetters) {
    for (char32_t cp = 0xC0; cp <= 0x17F; ++cp) {
        if (cp == 0xD7 || cp == 0xF7) continue; // × ÷
        const std::string f = text::fold(utf8(cp));
        ASSERT_FALSE(f.empty()) << std::hex << uint32_t(cp);
        for (const char c : f)
            EXPECT_TRUE(c >= 'a' && c <= 'z') << "U+" << std::hex << uint32_t(cp) << " -> " << f;
    }
}

TEST(Collation, FoldingIsIdempotentOnTheWholeBmp) {
    for (char32_t cp = 1; cp < 0x10000; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        const std::string once = text::fold(utf8(cp));
        ASSERT_EQ(text::fold(once), once) << "U+" << std::hex << uint32_t(cp);
        ASSERT_EQ(text::compare(utf8(cp), once), 0) << "U+" << std::hex << uint32_t(cp);
    }
}

TEST(Collation, ComparesWithoutCaseAndAccents) {
    const struct {
        const char* a;
        const char* b;
        int sign;
    } cases[] = {
        {"Perù", "peru", 0},   {"PERU", "perù", 0},     {"ROSSI", "rossi", 0},     {"Straße", "STRASSE", 0},
        {"caffè", "caffe\xCC\x80", 0},                  {"Rossi", "Rossini", -1},  {"Rossini", "rossi", 1},
        {"Enrico", "Èrica", -1},                        {"Èrica", "Fabio", -1},    {"", "a", -1},
        {"", "", 0},           {"10", "9", -1}, // texts, not numbers
        {"D'Amico", "Da", -1}, // apostrophe before letters
        {"a", "b\xCC\x81", -1}, {"e", "e\xCC\x81\xCC\x82", 0}, // trailing marks only
        {"e", "e\xCC\x81x", -1}, {"zebra", "Zanzara", 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sign(text::compare(c.a, c.b)), c.sign) << c.a << " | " << c.b;
        EXPECT_EQ(text::equal(c.a, c.b), c.sign == 0) << c.a << " | " << c.b;
    }
}

TEST(Collation, InvalidUtf8NeverBreaks) {
    const std::vector<std::string> bad{"\xFF",     "\xC3",         "a\xE2\x82", "\xF0\x9F\x98",
                                       "\x80\x80", "\xED\xA0\x80", "\xC0\xAF",  "ok\xFEok"};
    for (const auto& a : bad) {
        EXPECT_EQ(text::compare(a, a), 0);
        EXPECT_EQ(text::fold(text::fold(a)), text::fold(a));
        EXPECT_TRUE(text::like(a, "*"));
        for (const auto& b : bad)
            EXPECT_EQ(sign(text::compare(a, b)), -sign(text::compare(b, a)));
    }
    EXPECT_EQ(text::compare("\xFF", "\xFE"), 0); // both read as U+FFFD
    EXPECT_EQ(text::fold("a\xC3"), "a\xEF\xBF\xBD");
}

TEST(Collation, CompareAgreesWithFoldedByteOrder) {
    const std::vector<std::string> alphabet{"a", "A",        "à", "e", "È",    "é", "ß", "s",
                                            "S", "œ",        "o", "E", "z",    " ", "'", "1",
                                            "9", "\xCC\x81", "ł", "ж", "\xFF", "Ж", "ẞ", "ø"};
    std::mt19937 rng(42);
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1), len(0, 6);
    auto make = [&] {
        std::string s;
        for (size_t n = len(rng); n > 0; --n)
            s += alphabet[pick(rng)];
        return s;
    };
    for (int i = 0; i < 20000; ++i) {
        const std::string a = make(), b = make();
        const int c = text::compare(a, b);
        const std::string fa = text::fold(a), fb = text::fold(b);
        ASSERT_EQ(sign(c), sign(fa.compare(fb))) << a << " | " << b;
        ASSERT_EQ(sign(c), -sign(text::compare(b, a)));
        ASSERT_EQ(c == 0, text::like(a, b)); // no wildcards in this alphabet
    }
}

// The filter tests cover the programs' own patterns; these are the matcher's corners.
TEST(Collation, LikeWildcards) {
    const struct {
        const char* text;
        const char* pattern;
        bool matches;
    } cases[] = {
        {"Rosà", "ROSA", true},        {"Bianchi", "ros*", false},   {"", "*", true},
        {"", "%", true},               {"", "**%%", true},           {"", "?", false},
        {"qualsiasi cosa", "*", true}, {"ROSSINI", "r%s%i", true},   {"Rossi", "*ss", false},
        {"Rosà", "Ros?", true},        {"Rosà", "Ros_", true}, // one character, not one byte
        {"Rossi", "*ssi", true},       {"Rosà", "Ros??", false},     {"Rossi", "Ros?", false},
        {"Rossi", "R?ss?", true},      {"Straße", "strasse", true},  {"Straße", "stra??e", true}, // ß is two letters
        {"abcabcabd", "*abd", true},   {"aab", "*ab", true},         {"xab", "*abc", false},
        {"mississippi", "m*iss*pi", true},                           {"mississippi", "m*iss*pix", false},
        // No escapes, no character classes: these are literal.
        {"a[b]c", "a[b]c", true},      {"abc", "a[b]c", false},      {"#1", "#1", true},
        {"11", "#1", false},           {"say \"hi\"", "*\"hi\"*", true},
        {"50%", "50%", true}, // % matches the empty run
    };
    for (const auto& c : cases) EXPECT_EQ(text::like(c.text, c.pattern), c.matches) << c.text << " like " << c.pattern;
}

// Backtracking that grew with the number of stars would not end within the test's time.
TEST(Collation, LikeHasNoExponentialBacktracking) {
    const std::string text(5000, 'a');
    const std::string pattern = "*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*b";
    EXPECT_FALSE(text::like(text, pattern));
    EXPECT_FALSE(text::detail::LikePattern(pattern).matches(text));
}

TEST(Collation, CompiledPatternAgreesWithLike) {
    const std::vector<std::string> alphabet{"a", "B", "à", "ß",        "s", "*", "%",   "?",
                                            "_", "'", "e", "\xCC\x81", "é", "x", "\xFF"};
    std::mt19937 rng(7);
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1), len(0, 7);
    auto make = [&](bool wild) {
        std::string s;
        for (size_t n = len(rng); n > 0; --n) {
            std::string piece = alphabet[pick(rng)];
            if (!wild && piece.find_first_of("*%?_") != std::string::npos) piece = "b";
            s += piece;
        }
        return s;
    };
    for (int i = 0; i < 20000; ++i) {
        const std::string pattern = make(true), subject = make(false);
        const text::detail::LikePattern compiled(pattern);
        ASSERT_EQ(compiled.matches(subject), text::like(subject, pattern))
            << "text " << subject << " pattern " << pattern;
    }
    // The shapes with a direct path.
    EXPECT_TRUE(text::detail::LikePattern("ros*").matches("Rosà"));
    EXPECT_TRUE(text::detail::LikePattern("rosà*").matches("ROSA"));
    EXPECT_FALSE(text::detail::LikePattern("rosa*").matches("ros"));
    EXPECT_TRUE(text::detail::LikePattern("strass*").matches("Straße"));
    EXPECT_TRUE(text::detail::LikePattern("perù").matches("PERU\xCC\x80"));
    EXPECT_FALSE(text::detail::LikePattern("peru").matches("peruu"));
    EXPECT_TRUE(text::detail::LikePattern("*").matches(""));
    EXPECT_TRUE(text::detail::LikePattern("*").matchesEverything());
    EXPECT_TRUE(text::detail::LikePattern("").matches(""));
    EXPECT_FALSE(text::detail::LikePattern("").matches("a"));
}

// The collation and like() as every connection registers them.
TEST(Collation, SqliteSeesTheSameRules) {
    testsupport::RawSqlite db;
    auto scalar = [&db](const char* sql) {
        const QVariant v = db.queryEngine(QString::fromUtf8(sql)).rows.value(0).value(0);
        return v.isNull() ? QStringLiteral("NULL") : v.toString();
    };
    const std::pair<const char*, const char*> cases[] = {
        {"select 'Perù' = 'PERU' collate ITALIAN", "1"}, {"select 'Èrica' < 'Fabio' collate ITALIAN", "1"},
        {"select 'Rosà' like 'ros%'", "1"}, {"select 'Rosà' like 'ros?'", "1"}, {"select 'Bianchi' like 'ros*'", "0"},
        {"select null like 'a'", "NULL"}, {"select 'a' like null", "NULL"}};
    for (const auto& [sql, expected] : cases) EXPECT_EQ(scalar(sql), expected) << sql;
    db.execEngine("create table t (n text collate ITALIAN)");
    db.execEngine("insert into t values ('Fabio'),('Èrica'),('enrico'),('Ábaco')");
    EXPECT_EQ(scalar("select group_concat(n, ',') from (select n from t order by n)"), "Ábaco,enrico,Èrica,Fabio");
}
