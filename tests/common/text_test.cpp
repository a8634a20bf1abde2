#include "common/text.h"
#include "db/error.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace common;

TEST(Quoting, ApostrophesDoubledStarsOnlyForLike) {
    EXPECT_EQ(QuotaFiltro(QStringLiteral("'D'Ang*'")), QStringLiteral("''D''Ang*''"));
    EXPECT_EQ(QuotaFiltro(QString()), QString());
    EXPECT_EQ(QuotaLike(QStringLiteral("D'Ang*lo**")), QStringLiteral("D''Ang%lo%%"));
    EXPECT_EQ(QuotaLike(QStringLiteral("100%")), QStringLiteral("100%"));
}

TEST(Tokens, MissingFinalSeparatorIsSupplied) {
    // list, separator, index, token; every list is counted too. Other separators leave the
    // pipe alone; a missing final separator is supplied; an index out of range gives nothing.
    const struct {
        const char* list;
        char16_t separator;
        int count, index;
        const char* token;
    } cases[] = {
        {"Cognome|Nome||Citta|", u'|', 4, 1, "Cognome"}, {"Cognome|Nome||Citta|", u'|', 4, 2, "Nome"},
        {"Cognome|Nome||Citta|", u'|', 4, 3, ""}, {"Cognome|Nome||Citta|", u'|', 4, 4, "Citta"}, {"||", u'|', 2, 1, ""},
        {"update a set b=1; delete * from c|d;", u';', 2, 2, " delete * from c|d"}, {"120|80|45", u'|', 3, 3, "45"},
        {"solo", u'|', 1, 1, "solo"}, {"", u'|', 0, 1, ""}, {"a|b|", u'|', 2, 3, ""}, {"a|b|", u'|', 2, 0, ""},
        {"a|b|", u'|', 2, -1, ""}, {"a|b", u'|', 2, 3, ""}, {"a|b", u'|', 2, 0, ""}, {"a|b", u'|', 2, -1, ""}};
    for (const auto& c : cases) {
        const QString list = QString::fromUtf8(c.list);
        EXPECT_EQ(ContaToken(list, c.separator), c.count) << c.list;
        EXPECT_EQ(EstraiToken(list, c.index, c.separator), QString::fromUtf8(c.token)) << c.list << " " << c.index;
    }
}

TEST(Dates, SqlIsMonthDayYearWithoutLeadingZerosIsoHasTwoDigits) {
    EXPECT_EQ(DataSql(QDate(2024, 3, 5)), QStringLiteral("3/5/2024"));
    EXPECT_EQ(DataSql(QDate(2023, 12, 31)), QStringLiteral("12/31/2023"));
    EXPECT_EQ(DataSql(QDateTime(QDate(2024, 1, 9), QTime(23, 59, 59))), QStringLiteral("1/9/2024"));
    EXPECT_EQ(DataIso(QDate(2024, 3, 5)), QStringLiteral("2024-03-05"));
    EXPECT_EQ(DataIso(QDateTime(QDate(2024, 2, 29), QTime(8, 0))), QStringLiteral("2024-02-29"));
    EXPECT_EQ(DataIso(QDate(987, 6, 7)), QStringLiteral("0987-06-07"));
    // Reading takes the fixed positions.
    EXPECT_EQ(LeggiDataIso(QStringLiteral("2024-03-05")), QDate(2024, 3, 5));
    EXPECT_EQ(LeggiDataIso(QStringLiteral("2024-02-29 10:30:00")), QDate(2024, 2, 29));
}

TEST(Dates, NonDatesAreErrorsNotInvalidDates) {
    for (const char* text : {"2024-02-31", "2023-02-29", "2024-13-01", "2024-00-10", "abc", "",
                             "2024-3-5", "2024-03-0x", "0000-01-01", "２０２４-03-05"}) {
        SCOPED_TRACE(text);
        try {
            LeggiDataIso(QString::fromUtf8(text));
            ADD_FAILURE() << "no error";
        } catch (const db::DatabaseError& e) {
            EXPECT_TRUE(e.text().contains(QStringLiteral("non è una data valida")));
        }
    }
    EXPECT_THROW(DataSql(QDate()), db::DatabaseError);
    EXPECT_THROW(DataIso(QDate()), db::DatabaseError);
    EXPECT_THROW(DataIso(QDateTime()), db::DatabaseError);
}

TEST(Rounding, WholeNumbersHalvesAwayFromZero) {
    // 0.49999999999999994 + 0.5 in floating point would make 1.
    const std::pair<double, double> cases[] = {{2.5, 3}, {-2.5, -3}, {-2.4999, -2}, {0.5, 1}, {0.49999999999999994, 0}};
    for (const auto& [x, expected] : cases) EXPECT_EQ(Arrotonda(x), expected) << x;
    // Zero comes out as plain 0, never -0.
    for (double x : {0.0, -0.0, -0.4, -0.001}) {
        EXPECT_EQ(Arrotonda(x), 0.0) << x;
        EXPECT_FALSE(std::signbit(Arrotonda(x))) << x;
        EXPECT_FALSE(std::signbit(Arrotonda2(x / 100))) << x;
    }
}

TEST(Rounding, TwoDecimalsRoundTheHalfWeMeant) {
    const std::pair<double, double> cases[] = {
        {2.125, 2.13}, {-2.125, -2.13}, {0.0, 0.0}, {2.1249, 2.12}, {2.126, 2.13}, {-2.1249, -2.12},
        {1.004999, 1.0}, {0.005, 0.01}, {1e15, 1e15},
        // Stored a hair below their decimal value: 100 times them falls short of the half
        // (1.005 * 100 = 100.49999999999999).
        {1.005, 1.01}, {-1.005, -1.01}, {0.285, 0.29}, {8.345, 8.35}, {1e9 + 0.005, 1000000000.01},
        {-(1e9 + 0.005), -1000000000.01},
        // Amounts computed with a tiny error below the half are still the half.
        {0.7 * 0.35, 0.25}, {3.3 * 0.35, 1.16}};
    for (const auto& [x, expected] : cases) EXPECT_DOUBLE_EQ(Arrotonda2(x), expected) << x;
    EXPECT_TRUE(std::isnan(Arrotonda2(std::nan(""))));
}

TEST(VatNumber, CheckDigit) {
    // A doubled digit above 9 loses 9: 5 at an even position counts 1, 9 counts 9; odd
    // positions count as they are. Wrong lengths, non-digits and other scripts' digits fail.
    const std::pair<const char*, bool> cases[] = {
        {"12345678903", true},  {"12345678901", false},  {"00000000000", true}, {"05000000009", true},
        {"05000000000", false}, {"09000000001", true},   {"10000000009", true}, {"10000000008", false},
        {"1234567890", false},  {"123456789031", false}, {"", false},           {"1234567890A", false},
        {" 2345678903", false}, {"١٢٣٤٥٦٧٨٩٠٣", false}};
    for (const auto& [number, valid] : cases) EXPECT_EQ(ControllaPartitaIva(QString::fromUtf8(number)), valid) << number;
}

TEST(Paths, ExtensionIsTheTextAfterTheLastPoint) {
    EXPECT_EQ(EstensioneFile(QStringLiteral("foto.JPG")), QStringLiteral("JPG"));
    EXPECT_EQ(EstensioneFile(QStringLiteral("archivio.tar.gz")), QStringLiteral("gz"));
    EXPECT_EQ(EstensioneFile(QStringLiteral("LEGGIMI")), QString());
    EXPECT_EQ(EstensioneFile(QStringLiteral("fine.")), QString());
}

TEST(Paths, FolderClosedWithTheSeparatorItUses) {
    // The first separator decides, not the last.
    const std::pair<const char*, const char*> cases[] = {
        {"", ""}, {"C:\\Dati\\", "C:\\Dati\\"}, {"/home/a/", "/home/a/"}, {"C:\\Dati", "C:\\Dati\\"},
        {"/home/a", "/home/a/"}, {"Dati", "Dati"}, {"\\\\srv/quota", "\\\\srv/quota\\"}, {"/mnt\\dati", "/mnt\\dati/"}};
    for (const auto& [path, closed] : cases) EXPECT_EQ(ChiudiPercorso(QString::fromUtf8(path)), QString::fromUtf8(closed)) << path;
}

TEST(Captions, ColumnNamesReadAsWords) {
    const char* const cases[][2] = {
        {"DallaData", "Dalla data"},  {"Tariffa_ad_ora_euro", "Tariffa ad ora euro"},
        {"Cognome", "Cognome"},       {"KC", "KC"},
        {"ID_Cliente", "ID cliente"}, {"CodFiscCAP", "Cod fisc CAP"},
        {"E%", "E%"},                 {"DataScadenzaAbbonamento", "Data scadenza abbonamento"},
    };
    for (const auto& c : cases) EXPECT_EQ(DidascaliaColonna(QString::fromUtf8(c[0])), QString::fromUtf8(c[1])) << c[0];
}
