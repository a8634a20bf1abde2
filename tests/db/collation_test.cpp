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
    EXPECT_EQ(text::fold("Perù"), "peru");
    EXPECT_EQ(text::fold("ÀÁÂÃÄÅ àáâãäå"), "aaaaaa aaaaaa");
    EXPECT_EQ(text::fold("ÇçÈÉÊËèéêë"), "cceeeeeeee");
    EXPECT_EQ(text::fold("ÌÍÎÏìíîï"), "iiiiiiii");
    EXPECT_EQ(text::fold("Ññ ÒÓÔÕÖØòóôõöø"), "nn oooooooooooo");
    EXPECT_EQ(text::fold("ÙÚÛÜùúûü ÝýÿŸ"), "uuuuuuuu yyyy");
    EXPECT_EQ(text::fold("Straße ẞ"), "strasse ss");
    EXPECT_EQ(text::fold("Œuvre œ Æther æ"), "oeuvre oe aether ae");
    EXPECT_EQ(text::fold("Łódź Đakovo ıİ"), "lodz dakovo ii");
    EXPECT_EQ(text::fold("ĀăĄćĉċčďēĕėęěĝğġģĥĩīĭįĵķĺļľńņňōŏőŕŗřśŝşšţťũūŭůűųŵŷźżž"),
              "aaaccccdeeeeegggghiiiijklllnnnooorrrssssttuuuuuuwyzzz");
    EXPECT_EQ(text::fold("ABC xyz 123 !?*"), "abc xyz 123 !?*");
    EXPECT_EQ(text::fold(""), "");
    // Decomposed accents (e + U+0301) fold like the precomposed letter.
    EXPECT_EQ(text::fold("Caffe\xCC\x81"), "caffe");
    // Outside Latin: case folding and canonical accents.
    EXPECT_EQ(text::fold("ΑΒΓ"), text::fold("αβγ"));
    EXPECT_EQ(text::fold("Ά"), text::fold("α"));
    EXPECT_EQ(text::fold("ЖУК"), "жук");
    // Symbols stay themselves.
    EXPECT_EQ(text::fold("× ÷ €"), "× ÷ €");
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
    EXPECT_EQ(text::compare("Perù", "peru"), 0);
    EXPECT_EQ(text::compare("PERU", "perù"), 0);
    EXPECT_TRUE(text::equal("ROSSI", "rossi"));
    EXPECT_TRUE(text::equal("Straße", "STRASSE"));
    EXPECT_TRUE(text::equal("caffè", "caffe\xCC\x80"));
    EXPECT_LT(text::compare("Rossi", "Rossini"), 0);
    EXPECT_GT(text::compare("Rossini", "rossi"), 0);
    EXPECT_LT(text::compare("Enrico", "Èrica"), 0);
    EXPECT_LT(text::compare("Èrica", "Fabio"), 0);
    EXPECT_LT(text::compare("", "a"), 0);
    EXPECT_EQ(text::compare("", ""), 0);
    EXPECT_LT(text::compare("10", "9"), 0);       // texts, not numbers
    EXPECT_LT(text::compare("D'Amico", "Da"), 0); // apostrophe before letters
    EXPECT_LT(text::compare("a", "b\xCC\x81"), 0);
    EXPECT_EQ(text::compare("e", "e\xCC\x81\xCC\x82"), 0); // trailing marks only
    EXPECT_LT(text::compare("e", "e\xCC\x81x"), 0);
    EXPECT_GT(text::compare("zebra", "Zanzara"), 0);
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

TEST(Collation, LikeWildcards) {
    EXPECT_TRUE(text::like("Rossi", "ros*"));
    EXPECT_TRUE(text::like("ROSSINI", "ros*"));
    EXPECT_TRUE(text::like("Rosà", "ros*"));
    EXPECT_TRUE(text::like("Rosà", "ROSA"));
    EXPECT_TRUE(text::like("Perù", "peru"));
    EXPECT_FALSE(text::like("Bianchi", "ros*"));
    EXPECT_TRUE(text::like("", "*"));
    EXPECT_TRUE(text::like("", "%"));
    EXPECT_TRUE(text::like("", "**%%"));
    EXPECT_FALSE(text::like("", "?"));
    EXPECT_TRUE(text::like("qualsiasi cosa", "*"));
    EXPECT_TRUE(text::like("Rossi", "R%i"));
    EXPECT_TRUE(text::like("ROSSINI", "r%s%i"));
    EXPECT_TRUE(text::like("Rossi", "*ss*"));
    EXPECT_FALSE(text::like("Rossi", "*ss"));
    EXPECT_TRUE(text::like("Rossi", "*ssi"));
    EXPECT_TRUE(text::like("Rosà", "Ros?")); // '?' is one character, not one byte
    EXPECT_TRUE(text::like("Rosà", "Ros_"));
    EXPECT_FALSE(text::like("Rosà", "Ros??"));
    EXPECT_FALSE(text::like("Rossi", "Ros?"));
    EXPECT_TRUE(text::like("Rossi", "R?ss?"));
    EXPECT_TRUE(text::like("D'Amico", "d'a*"));
    EXPECT_TRUE(text::like("Straße", "strasse"));
    EXPECT_TRUE(text::like("Straße", "stra??e")); // ß folds to two letters
    EXPECT_TRUE(text::like("abcabcabd", "*abd"));
    EXPECT_TRUE(text::like("aab", "*ab"));
    EXPECT_FALSE(text::like("xab", "*abc"));
    EXPECT_TRUE(text::like("mississippi", "m*iss*pi"));
    EXPECT_FALSE(text::like("mississippi", "m*iss*pix"));
    // No escapes, no character classes: these are literal.
    EXPECT_TRUE(text::like("a[b]c", "a[b]c"));
    EXPECT_FALSE(text::like("abc", "a[b]c"));
    EXPECT_TRUE(text::like("#1", "#1"));
    EXPECT_FALSE(text::like("11", "#1"));
    EXPECT_TRUE(text::like("say \"hi\"", "*\"hi\"*"));
    EXPECT_TRUE(text::like("50%", "50%")); // % matches the empty run
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
    EXPECT_EQ(scalar("select 'Perù' = 'PERU' collate ITALIAN"), "1");
    EXPECT_EQ(scalar("select 'Èrica' < 'Fabio' collate ITALIAN"), "1");
    EXPECT_EQ(scalar("select 'Rosà' like 'ros%'"), "1");
    EXPECT_EQ(scalar("select 'Rosà' like 'ros?'"), "1");
    EXPECT_EQ(scalar("select 'Bianchi' like 'ros*'"), "0");
    EXPECT_EQ(scalar("select null like 'a'"), "NULL");
    EXPECT_EQ(scalar("select 'a' like null"), "NULL");
    db.execEngine("create table t (n text collate ITALIAN)");
    db.execEngine("insert into t values ('Fabio'),('Èrica'),('enrico'),('Ábaco')");
    EXPECT_EQ(scalar("select group_concat(n, ',') from (select n from t order by n)"), "Ábaco,enrico,Èrica,Fabio");
}
