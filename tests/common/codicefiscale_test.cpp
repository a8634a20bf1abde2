#include "common/codicefiscale.h"

#include <gtest/gtest.h>

using namespace common;

// Check-character values used in the derivations below (odd positions 1, 3, …, 15; even
// positions count A/0 = 0 … Z = 25; digits count as A-J):
//   odd: A/0=1 B/1=0 C/2=5 D/3=7 E/4=9 F/5=13 G/6=15 H/7=17 I/8=19 J/9=21 K=2 L=4 M=18
//        N=20 O=11 P=3 Q=6 R=8 S=12 T=14 U=16 V=10 W=22 X=25 Y=24 Z=23
// The check character is "A" + (sum mod 26).
TEST(CodiceFiscale, PublishedAndHandComputedCodes) {
    struct Case {
        const char* cognome;
        const char* nome;
        QDate nascita;
        const char* sesso;
        const char* comune;
        const char* codice;
    };
    // clang-format off
    const Case cases[] = {
        // Published examples.
        {"Moretti", "Matteo", QDate(1925, 4, 9), "M", "F205", "MRTMTT25D09F205Z"},
        // Franco: four consonants F R N C, so the 1st, 3rd and 4th (madvero.it).
        {"Rossi", "Franco", QDate(1980, 12, 31), "M", "F205", "RSSFNC80T31F205U"},
        {"Rossi", "Mario", QDate(1980, 1, 1), "M", "H501", "RSSMRA80A01H501U"},
        // A woman: day 8 + 40; Barbara B R B R gives BBR (astermatteo.blogspot.com).
        {"Rossi", "Barbara", QDate(1969, 3, 8), "F", "F839", "RSSBBR69C48F839A"},

        // Computed by hand from the rule.
        // Short names filled with X, 29 February: odd 95 + even 64 = 159 mod 26 = 3 -> D.
        {"Fo", "Al", QDate(1996, 2, 29), "M", "G224", "FOXLAX96B29G224D"},
        // An apostrophe, a woman born on the 5th (45), lower-case sex: 87 + 56 = 143 -> N.
        {"D'Angelo", "Lucia", QDate(1990, 11, 5), "f", "G224", "DNGLCU90S45G224N"},
        // Accents dropped; Niccolò has four consonants, so N C L: 64 + 42 = 106 -> C.
        {"Lucà", "Niccolò", QDate(2001, 1, 12), "M", "L736", "LCUNCL01A12L736C"},
        // Blanks around and inside the surname, a lower-case town code: 73 + 49 = 122 -> S.
        {"  De Luca ", "Gianfranco", QDate(1975, 6, 30), "M", "h501", "DLCGFR75H30H501S"},
        // Zoè: the accented letter is a vowel; a woman born on the 1st (41): 66 + 56 = 122 -> S.
        {"Sant'Elia", "Zoè", QDate(2004, 10, 1), "F", "A662", "SNTZOE04R41A662S"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.codice);
        const QString code =
            CodiceFiscale(QString::fromUtf8(c.cognome), QString::fromUtf8(c.nome), c.nascita,
                          QString::fromUtf8(c.sesso), QString::fromUtf8(c.comune));
        EXPECT_EQ(code, QString::fromLatin1(c.codice));
        EXPECT_TRUE(ControllaCodiceFiscale(code));
    }
}

TEST(CodiceFiscale, NoCodeWithoutAValidDateOrCadastralCode) {
    EXPECT_EQ(CodiceFiscale("Rossi", "Mario", QDate(), "M", "H501"), QString());
    for (const char* comune : {"", "H50", "H5011", "1501", "HH01"})
        EXPECT_EQ(CodiceFiscale("Rossi", "Mario", QDate(1980, 1, 1), "M", comune), QString()) << comune;
}

TEST(CodiceFiscale, CheckCharacterValidation) {
    EXPECT_TRUE(ControllaCodiceFiscale(QStringLiteral("mrtmtt25d09f205z")));
    // A namesake's code: the last digit of F205 replaced by its letter (5 -> R); the odd
    // value of R is 8 instead of 13 for 5: 155 - 5 = 150, mod 26 = 20 -> U.
    EXPECT_TRUE(ControllaCodiceFiscale(QStringLiteral("MRTMTT25D09F20RU")));
    EXPECT_EQ(CarattereControlloFiscale(QStringLiteral("MRTMTT25D09F20R")), u'U');
    for (const char* wrong : {"MRTMTT25D09F205A", "MRTMTT25D09F20RZ", "MRTMTT25D09F205", "MRTMTT25D09F205ZZ",
                              "MRTMTT25Z09F205Z", "MRTMT125D09F205Z", "MRTMTT25D09F2-5Z"})
        EXPECT_FALSE(ControllaCodiceFiscale(wrong)) << wrong;
    EXPECT_EQ(CarattereControlloFiscale(QStringLiteral("MRTMTT25D09F2-5")), QChar());
}
