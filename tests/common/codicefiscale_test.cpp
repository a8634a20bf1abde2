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
        // FOX (F, then O, then X) LAX (L, then A, then X) 96 B(February) 29 G224 (Padova):
        // odd F13 X25 A1 9=21 B0 9=21 2=5 4=9 = 95; even O14 L11 X23 6 2 G6 2 = 64;
        // 159 mod 26 = 3 -> D. 29 February of a leap year.
        {"Fo", "Al", QDate(1996, 2, 29), "M", "G224", "FOXLAX96B29G224D"},
        // D'Angelo -> DANGELO: D N G; Lucia: L C then U; 90 S(November) 5 + 40 = 45:
        // odd D7 G15 C5 9=21 S12 5=13 2=5 4=9 = 87; even N13 L11 U20 0 4 G6 2 = 56;
        // 143 mod 26 = 13 -> N.
        {"D'Angelo", "Lucia", QDate(1990, 11, 5), "f", "G224", "DNGLCU90S45G224N"},
        // Lucà -> LUCA: L C then U; Niccolò -> NICCOLO: four consonants N C C L, so N C L;
        // 01 A 12 L736 (Venezia): odd L4 U16 C5 0=1 A1 2=5 7=17 6=15 = 64;
        // even C2 N13 L11 1 1 L11 3 = 42; 106 mod 26 = 2 -> C.
        {"Lucà", "Niccolò", QDate(2001, 1, 12), "M", "L736", "LCUNCL01A12L736C"},
        // De Luca -> DELUCA: D L C; Gianfranco: G N F R N C, so G F R; 75 H(June) 30 H501:
        // odd D7 C5 F13 7=17 H17 0=1 5=13 1=0 = 73; even L11 G6 R17 5 3 H7 0 = 49;
        // 122 mod 26 = 18 -> S.
        {"  De Luca ", "Gianfranco", QDate(1975, 6, 30), "M", "h501", "DLCGFR75H30H501S"},
        // Sant'Elia -> SANTELIA: S N T L, three kept; Zoè -> ZOE: Z then O E (the accented
        // vowel is a vowel); 04 R(October) 1 + 40 = 41 A662 (Bari):
        // odd S12 T14 O11 0=1 R8 1=0 6=15 2=5 = 66; even N13 Z25 E4 4 4 A0 6 = 56;
        // 122 mod 26 = 18 -> S.
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
    const QDate day(1980, 1, 1);
    EXPECT_EQ(CodiceFiscale(QStringLiteral("Rossi"), QStringLiteral("Mario"), QDate(),
                            QStringLiteral("M"), QStringLiteral("H501")),
              QString());
    for (const QString& comune :
         {QStringLiteral(""), QStringLiteral("H50"), QStringLiteral("H5011"),
          QStringLiteral("1501"), QStringLiteral("HH01")})
        EXPECT_EQ(CodiceFiscale(QStringLiteral("Rossi"), QStringLiteral("Mario"), day,
                                QStringLiteral("M"), comune),
                  QString())
            << comune.toStdString();
}

TEST(CodiceFiscale, CheckCharacterValidation) {
    EXPECT_TRUE(ControllaCodiceFiscale(QStringLiteral("mrtmtt25d09f205z")));
    // A namesake's code: the last digit of F205 replaced by its letter (5 -> R); the odd
    // value of R is 8 instead of 13 for 5: 155 - 5 = 150, mod 26 = 20 -> U.
    EXPECT_TRUE(ControllaCodiceFiscale(QStringLiteral("MRTMTT25D09F20RU")));
    EXPECT_EQ(CarattereControlloFiscale(QStringLiteral("MRTMTT25D09F20R")), u'U');
    for (const QString& wrong :
         {QStringLiteral("MRTMTT25D09F205A"), QStringLiteral("MRTMTT25D09F20RZ"),
          QStringLiteral("MRTMTT25D09F205"), QStringLiteral("MRTMTT25D09F205ZZ"),
          QStringLiteral("MRTMTT25Z09F205Z"), QStringLiteral("MRTMT125D09F205Z"),
          QStringLiteral("MRTMTT25D09F2-5Z")})
        EXPECT_FALSE(ControllaCodiceFiscale(wrong)) << wrong.toStdString();
    EXPECT_EQ(CarattereControlloFiscale(QStringLiteral("MRTMTT25D09F2-5")), QChar());
}
