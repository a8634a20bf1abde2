// The one date reader and the one number policy of the database layer: the texts that
// bite (impossible days, leap years, short years at the pivot, separators, blanks, exponent).

#include "db/datetime.h"
#include "db/values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

using namespace db;

namespace {

constexpr DateOrder D = DateOrder::DayFirst;
constexpr DateOrder M = DateOrder::MonthFirst;

struct DateCase {
    const char* text;
    DateOrder order;
    const char* stored; // nullptr: rejected
};

TEST(Values, DatesReadOneWayEverywhere) {
    const DateCase cases[] = {
        {"15/03/2024", D, "2024-03-15 00:00:00"}, {"15/03/2024", M, nullptr}, {"3/15/2024", M, "2024-03-15 00:00:00"},
        {"3/15/2024", D, nullptr},
        {"2024-03-15", D, "2024-03-15 00:00:00"}, // ISO in either order
        {"2024-3-5", M, "2024-03-05 00:00:00"}, {"  5/3/2024  ", D, "2024-03-05 00:00:00"},
        // days that do not exist
        {"31/02/2024", D, nullptr}, {"2/31/2024", M, nullptr}, {"31/04/2024", D, nullptr}, {"13/13/2024", D, nullptr},
        {"0/1/2024", D, nullptr}, {"29/02/2024", D, "2024-02-29 00:00:00"}, {"29/02/2023", D, nullptr},
        {"2000-02-29", D, "2000-02-29 00:00:00"}, {"29/02/1900", D, nullptr}, {"0000-01-01", D, nullptr},
        // short years: typed only, one pivot
        {"1/2/29", D, "2029-02-01 00:00:00"}, {"1/2/30", D, "1930-02-01 00:00:00"},
        {"1/2/00", D, "2000-02-01 00:00:00"}, {"1/2/99", D, "1999-02-01 00:00:00"},
        {"1/2/5", D, "2005-02-01 00:00:00"}, {"2/1/24", M, nullptr}, {"1/2/024", D, nullptr},
        // times
        {"15/03/2024 10.30", D, "2024-03-15 10:30:00"}, {"15/03/2024 10:30:05", D, "2024-03-15 10:30:05"},
        {"3/15/2024 9.5.7", M, "2024-03-15 09:05:07"}, {"2024-03-15T18:45:00", D, "2024-03-15 18:45:00"},
        {"3/15/2024 10:30 PM", M, "2024-03-15 22:30:00"}, {"3/15/2024 12:00 am", M, "2024-03-15 00:00:00"},
        {"15/03/2024 0.00.00", D, "2024-03-15 00:00:00"}, {"15/03/2024 23:59:59", D, "2024-03-15 23:59:59"},
        {"15/03/2024 24.00", D, nullptr}, {"15/03/2024 10.60", D, nullptr}, {"15/03/2024 10:30:60", D, nullptr},
        {"15/03/2024 10:30.05", D, nullptr}, // one separator throughout
        {"15/03/2024 10", D, nullptr}, {"15/03/2024 13:00 PM", D, nullptr}, {"15/03/2024 10:30 xx", D, nullptr},
        // not dates
        {"15-03-2024", D, nullptr}, {"2024/03/15", D, nullptr}, {"15/03", D, nullptr}, {"15/03/2024x", D, nullptr},
        {"__/__/____", D, nullptr}, {"domani", D, nullptr}, {"", D, nullptr},
        {"１5/03/2024", D, nullptr}, // a full-width digit
    };
    for (const DateCase& c : cases) {
        const std::optional<CivilTime> t = readDate(QString::fromUtf8(c.text), c.order);
        const char* order = c.order == D ? "day first" : "month first";
        if (!c.stored) {
            EXPECT_FALSE(t) << c.text << " " << order << " read as " << formatStoredDate(*t);
            continue;
        }
        ASSERT_TRUE(t) << c.text << " " << order;
        EXPECT_EQ(formatStoredDate(*t), c.stored) << c.text << " " << order;
    }
}

TEST(Values, StoredDatesAreRealDaysAndTimes) {
    const std::pair<const char*, std::string> cases[] = { // "" when refused
        {"2024-02-29", "2024-02-29 00:00:00"}, {"2024-03-15T18:45", "2024-03-15 18:45:00"},
        {"2024-03-15 23:59:59.5", "2024-03-15 23:59:59"}, {"2023-02-29", ""}, {"2024-03-15 24:00:00", ""},
        {"2024-03-15 10:60", ""}, {"2024-03-15 10:30:60", ""}, {"2024-03-15 10:30:05x", ""}};
    for (const auto& [text, stored] : cases) {
        const std::optional<CivilTime> t = parseStoredDate(text);
        EXPECT_EQ(t ? formatStoredDate(*t) : std::string(), stored) << text;
    }
}

constexpr Separators T = Separators::Typed;
constexpr Separators P = Separators::NoGrouping;
constexpr Separators C = Separators::CommaOnly;
constexpr double Rejected = NAN;

struct NumberCase {
    const char* text;
    Separators separators;
    double expected;
};

TEST(Values, NumbersReadOneWayEverywhere) {
    const NumberCase cases[] = {
        {"1.234,5", T, 1234.5}, {"1.234.567,25", T, 1234567.25}, {"12.5", T, 12.5},
        {"1.234", T, 1.234}, // no comma: the dot is the decimal point
        {"-0,5", T, -0.5}, {" 3 ", T, 3}, {"3,", T, 3}, {",5", T, 0.5}, {"+7", T, 7}, {"1e3", T, 1000},
        {"2,5E-1", T, 0.25},
        {"1.23,5", T, Rejected},     // a thousands group of two digits
        {"1234.567,5", T, Rejected}, // a first group of four
        {"1.234.567", T, Rejected},  // several dots and no comma
        {"1,5.3", T, Rejected},      // a dot after the comma
        {"1,2,3", T, Rejected}, {"1 234", T, Rejected}, {"12,5x", T, Rejected}, {"abc", T, Rejected},
        {"", T, Rejected}, {"   ", T, Rejected}, {",", T, Rejected}, {"-", T, Rejected}, {"e3", T, Rejected},
        {"1e", T, Rejected}, {"inf", T, Rejected}, {"nan", T, Rejected}, {"1e400", T, Rejected}, {"12,5", P, 12.5},
        {"12.5", P, 12.5}, {"1.234", P, 1.234}, {"1.234,5", P, Rejected}, {"35,5", C, 35.5}, {"-35", C, -35},
        {"35.5", C, Rejected}, {"1.000,5", C, Rejected},
    };
    for (const NumberCase& c : cases) {
        const std::optional<double> v = readNumber(QString::fromUtf8(c.text), c.separators);
        if (std::isnan(c.expected))
            EXPECT_FALSE(v) << '"' << c.text << "\" read as " << *v;
        else
            EXPECT_EQ(v, std::optional<double>(c.expected)) << '"' << c.text << '"';
    }
}

TEST(Values, WholeAndLeadingNumbers) {
    EXPECT_EQ(readInteger(u" -12 "), -12);
    EXPECT_EQ(readInteger(u"+7"), 7);
    EXPECT_EQ(readInteger(u"9223372036854775807"), 9223372036854775807LL); // beyond a double
    for (const char16_t* bad : {u"9223372036854775808", u"7,5", u"1.000", u"1e3", u"", u"-"})
        EXPECT_FALSE(readInteger(bad)) << QString::fromUtf16(bad).toStdString();

    const std::pair<const char16_t*, double> leading[] = {
        {u"12,5 kg", 12.5},     {u" -3.5x", -3.5}, {u"1,2,3", 1.2}, {u"3.5.2024", 3.5},
        {u"1.234,5 €", 1234.5}, {u"circa 10", 0},  {u"", 0},        {u"-", 0},
    };
    for (const auto& [text, expected] : leading)
        EXPECT_EQ(leadingNumber(text), expected) << QString::fromUtf16(text).toStdString();
}

TEST(Values, WrittenNumbersReadBackAsTheSameValue) {
    EXPECT_EQ(numberLiteral(12.5), "12.5");
    EXPECT_EQ(numberLiteral(100), "100");
    EXPECT_EQ(numberLiteral(-0.0), "0");
    EXPECT_EQ(numberLiteral(1e-7), "0.0000001");
    EXPECT_EQ(displayNumber(1234.5, Grouping::Thousands), "1.234,5");
    EXPECT_EQ(displayNumber(1234.5, Grouping::None), "1234,5");
    for (const double v : {0.1 + 0.2, -3.25, 1e20, 123456789.125, 7.0, 1e-12}) {
        EXPECT_EQ(readNumber(numberLiteral(v)), v) << numberLiteral(v).toStdString();
        EXPECT_EQ(readNumber(displayNumber(v, Grouping::None)), v)
            << displayNumber(v, Grouping::None).toStdString();
    }
}

} // namespace
