#pragma once

// Dates and numbers written as text. Everything that reads a date or a number out of a
// text (what a person types, a filter text, a Jet SQL literal, a text stored into a date or
// number column) reads it here, so the same text means the same value everywhere.

#include "db/datetime.h"

#include <QString>
#include <QStringView>
#include <optional>

namespace db {

// --- dates -------------------------------------------------------------------------------

enum class DateOrder {
    DayFirst,   // what people type: d/m/y, with a four-digit year or a short one
    MonthFirst, // Jet #...# literals: m/d/yyyy, always a four-digit year
};

// Short years (one or two digits, DayFirst only) below this one are 20xx, the others 19xx:
// "1/2/29" is 2029, "1/2/30" is 1930.
inline constexpr int ShortYearPivot = 30;

// Reads a date with an optional time of day. Blanks around the text are ignored.
//   date: yyyy-m-d in either order; otherwise d/m/y (DayFirst) or m/d/yyyy (MonthFirst);
//         day and month take one or two digits
//   time: after blanks or a 'T', h.mm[.ss] or h:mm[:ss] (the same separator throughout,
//         one or two digits each), optionally followed by AM or PM (hour 1-12)
// nullopt for any other text, a day that does not exist (31/02, 29/02 of a common year),
// a year outside 1-9999, an hour above 23 or minutes or seconds above 59. No time means
// midnight.
std::optional<CivilTime> readDate(QStringView text, DateOrder order);

// --- numbers -----------------------------------------------------------------------------

// Which separators a number may carry in its digits.
enum class Separators {
    // What people type here: ',' is the decimal point. When a ',' is present, '.' groups
    // thousands ("1.234,5"; groups of three digits, before the comma only); without one,
    // a single '.' is the decimal point ("12.5", "1.234" is one point two three four).
    Typed,
    // One decimal point, ',' or '.', and no thousands separators ("1.234,5" is refused).
    NoGrouping,
    // ',' is the only decimal point; any '.' is refused ("35.5" is not a number).
    CommaOnly,
};

// Reads a number: blanks around, an optional sign, digits with the separators above (at
// least one digit; "3," and ",5" read as 3 and 0.5), an optional exponent ("1e3"). nullopt
// for an empty text, any other character (inner blanks included), a result that is not a
// finite double ("inf", "nan", "1e400").
std::optional<double> readNumber(QStringView text, Separators separators = Separators::Typed);

// A whole number exactly: blanks around, an optional sign, ASCII digits, within the range of
// a 64-bit integer. No separators and no exponent: "7,5" and "1.000" are nullopt.
std::optional<long long> readInteger(QStringView text);

// The value of the longest leading part of the text that reads as a number (Typed), after
// leading blanks: "12,5 kg" is 12.5, "-3.5x" is -3.5, "circa 10" and "" are 0. No exponent.
double leadingNumber(QStringView text);

// A number as filter and Jet SQL texts take it: '.' as decimal point, no grouping, no
// exponent, the fewest digits that read back as the same double ("12.5", "100", "-0.001").
QString numberLiteral(double v);

// A number as the program shows it: Italian, ',' as decimal point, the fewest digits that
// read back as the same double; with thousands groups for display ("1.234,5"), without them
// in an edit box ("1234,5").
enum class Grouping { Thousands, None };
QString displayNumber(double v, Grouping grouping);

} // namespace db
