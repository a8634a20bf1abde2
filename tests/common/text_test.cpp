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

TEST(Tokens, EntriesOfASeparatorTerminatedList) {
    const QString list = QStringLiteral("Cognome|Nome||Citta|");
    EXPECT_EQ(ContaToken(list, u'|'), 4);
    EXPECT_EQ(EstraiToken(list, 1, u'|'), QStringLiteral("Cognome"));
    EXPECT_EQ(EstraiToken(list, 2, u'|'), QStringLiteral("Nome"));
    EXPECT_EQ(EstraiToken(list, 3, u'|'), QString());
    EXPECT_EQ(EstraiToken(list, 4, u'|'), QStringLiteral("Citta"));
    EXPECT_EQ(ContaToken(QStringLiteral("||"), u'|'), 2);
    // Other separators leave the pipe alone.
    const QString script = QStringLiteral("update a set b=1; delete * from c|d;");
    EXPECT_EQ(ContaToken(script, u';'), 2);
    EXPECT_EQ(EstraiToken(script, 2, u';'), QStringLiteral(" delete * from c|d"));
}

TEST(Tokens, MissingFinalSeparatorIsSupplied) {
    EXPECT_EQ(ContaToken(QStringLiteral("120|80|45"), u'|'), 3);
    EXPECT_EQ(EstraiToken(QStringLiteral("120|80|45"), 3, u'|'), QStringLiteral("45"));
    EXPECT_EQ(ContaToken(QStringLiteral("solo"), u'|'), 1);
    EXPECT_EQ(EstraiToken(QStringLiteral("solo"), 1, u'|'), QStringLiteral("solo"));
}

TEST(Tokens, EmptyListAndIndexOutOfRangeGiveEmptyText) {
    EXPECT_EQ(ContaToken(QString(), u'|'), 0);
    EXPECT_EQ(EstraiToken(QString(), 1, u'|'), QString());
    for (int index : {3, 0, -1}) {
        EXPECT_EQ(EstraiToken(QStringLiteral("a|b|"), index, u'|'), QString()) << index;
        EXPECT_EQ(EstraiToken(QStringLiteral("a|b"), index, u'|'), QString()) << index;
    }
}

TEST(Dates, SqlLiteralIsMonthDayYearWithoutLeadingZeros) {
    EXPECT_EQ(DataSql(QDate(2024, 3, 5)), QStringLiteral("3/5/2024"));
    EXPECT_EQ(DataSql(QDate(2023, 12, 31)), QStringLiteral("12/31/2023"));
    EXPECT_EQ(DataSql(QDateTime(QDate(2024, 1, 9), QTime(23, 59, 59))), QStringLiteral("1/9/2024"));
}

TEST(Dates, IsoHasTwoDigitMonthAndDay) {
    EXPECT_EQ(DataIso(QDate(2024, 3, 5)), QStringLiteral("2024-03-05"));
    EXPECT_EQ(DataIso(QDateTime(QDate(2024, 2, 29), QTime(8, 0))), QStringLiteral("2024-02-29"));
    EXPECT_EQ(DataIso(QDate(987, 6, 7)), QStringLiteral("0987-06-07"));
}

TEST(Dates, ReadingIsoTakesTheFixedPositions) {
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
    EXPECT_EQ(Arrotonda(2.5), 3.0);
    EXPECT_EQ(Arrotonda(-2.5), -3.0);
    EXPECT_EQ(Arrotonda(-2.4999), -2.0);
    EXPECT_EQ(Arrotonda(0.5), 1.0);
    // Adding 0.5 in floating point would make this 1.
    EXPECT_EQ(Arrotonda(0.49999999999999994), 0.0);
    // Zero comes out as plain 0, never -0.
    for (double x : {0.0, -0.0, -0.4, -0.001}) {
        EXPECT_EQ(Arrotonda(x), 0.0) << x;
        EXPECT_FALSE(std::signbit(Arrotonda(x))) << x;
        EXPECT_FALSE(std::signbit(Arrotonda2(x / 100))) << x;
    }
}

TEST(Rounding, TwoDecimalsRoundTheHalfWeMeant) {
    EXPECT_DOUBLE_EQ(Arrotonda2(2.125), 2.13);
    EXPECT_DOUBLE_EQ(Arrotonda2(-2.125), -2.13);
    // These are stored a hair below their decimal value: 100 times them falls short of the
    // half (1.005 * 100 = 100.49999999999999).
    EXPECT_DOUBLE_EQ(Arrotonda2(1.005), 1.01);
    EXPECT_DOUBLE_EQ(Arrotonda2(-1.005), -1.01);
    EXPECT_DOUBLE_EQ(Arrotonda2(0.285), 0.29);
    EXPECT_DOUBLE_EQ(Arrotonda2(8.345), 8.35);
    EXPECT_DOUBLE_EQ(Arrotonda2(1e9 + 0.005), 1000000000.01);
    EXPECT_DOUBLE_EQ(Arrotonda2(-(1e9 + 0.005)), -1000000000.01);
    // Amounts computed with a tiny error below the half are still the half.
    EXPECT_DOUBLE_EQ(Arrotonda2(0.7 * 0.35), 0.25); // 0.24499999999999997
    EXPECT_DOUBLE_EQ(Arrotonda2(3.3 * 0.35), 1.16); // 1.1549999999999998
}

TEST(Rounding, TwoDecimalsBelowAndAboveTheHalf) {
    EXPECT_EQ(Arrotonda2(0.0), 0.0);
    EXPECT_DOUBLE_EQ(Arrotonda2(2.1249), 2.12);
    EXPECT_DOUBLE_EQ(Arrotonda2(2.126), 2.13);
    EXPECT_DOUBLE_EQ(Arrotonda2(-2.1249), -2.12);
    EXPECT_DOUBLE_EQ(Arrotonda2(1.004999), 1.0);
    EXPECT_DOUBLE_EQ(Arrotonda2(0.005), 0.01);
    EXPECT_DOUBLE_EQ(Arrotonda2(1e15), 1e15);
    EXPECT_TRUE(std::isnan(Arrotonda2(std::nan(""))));
}

TEST(VatNumber, CheckDigit) {
    EXPECT_TRUE(ControllaPartitaIva(QStringLiteral("12345678903")));
    EXPECT_FALSE(ControllaPartitaIva(QStringLiteral("12345678901")));
    EXPECT_TRUE(ControllaPartitaIva(QStringLiteral("00000000000")));
    // A doubled digit above 9 loses 9: 5 at an even position counts 1, 9 counts 9.
    EXPECT_TRUE(ControllaPartitaIva(QStringLiteral("05000000009")));
    EXPECT_FALSE(ControllaPartitaIva(QStringLiteral("05000000000")));
    EXPECT_TRUE(ControllaPartitaIva(QStringLiteral("09000000001")));
    // Odd positions count as they are.
    EXPECT_TRUE(ControllaPartitaIva(QStringLiteral("10000000009")));
    EXPECT_FALSE(ControllaPartitaIva(QStringLiteral("10000000008")));
}

TEST(VatNumber, WrongLengthOrNonDigitsAreFalse) {
    EXPECT_FALSE(ControllaPartitaIva(QStringLiteral("1234567890")));
    EXPECT_FALSE(ControllaPartitaIva(QStringLiteral("123456789031")));
    EXPECT_FALSE(ControllaPartitaIva(QString()));
    EXPECT_FALSE(ControllaPartitaIva(QStringLiteral("1234567890A")));
    EXPECT_FALSE(ControllaPartitaIva(QStringLiteral(" 2345678903")));
    // Digits of other scripts are not VAT digits.
    EXPECT_FALSE(ControllaPartitaIva(QStringLiteral("١٢٣٤٥٦٧٨٩٠٣")));
}

TEST(Paths, ExtensionIsTheTextAfterTheLastPoint) {
    EXPECT_EQ(EstensioneFile(QStringLiteral("foto.JPG")), QStringLiteral("JPG"));
    EXPECT_EQ(EstensioneFile(QStringLiteral("archivio.tar.gz")), QStringLiteral("gz"));
    EXPECT_EQ(EstensioneFile(QStringLiteral("LEGGIMI")), QString());
    EXPECT_EQ(EstensioneFile(QStringLiteral("fine.")), QString());
}

TEST(Paths, FolderClosedWithTheSeparatorItUses) {
    EXPECT_EQ(ChiudiPercorso(QString()), QString());
    EXPECT_EQ(ChiudiPercorso(QStringLiteral("C:\\Dati\\")), QStringLiteral("C:\\Dati\\"));
    EXPECT_EQ(ChiudiPercorso(QStringLiteral("/home/a/")), QStringLiteral("/home/a/"));
    EXPECT_EQ(ChiudiPercorso(QStringLiteral("C:\\Dati")), QStringLiteral("C:\\Dati\\"));
    EXPECT_EQ(ChiudiPercorso(QStringLiteral("/home/a")), QStringLiteral("/home/a/"));
    EXPECT_EQ(ChiudiPercorso(QStringLiteral("Dati")), QStringLiteral("Dati"));
    // The first separator decides, not the last.
    EXPECT_EQ(ChiudiPercorso(QStringLiteral("\\\\srv/quota")), QStringLiteral("\\\\srv/quota\\"));
    EXPECT_EQ(ChiudiPercorso(QStringLiteral("/mnt\\dati")), QStringLiteral("/mnt\\dati/"));
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
