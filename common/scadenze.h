#pragma once

#include <QDate>
#include <QVariant>
#include <optional>

// Month arithmetic of subscription expiries.
namespace common {

// `data` moved on by `mesi` whole months: the day is kept unless the month reached is
// shorter, in which case it becomes that month's last day (31 January + 1 = 28 or 29
// February). Months beyond December carry into the following years. An invalid date, a
// negative number of months or a result past the year 9999 gives an invalid date.
QDate AggiungiMesi(const QDate& data, int mesi);

// The subscription expiry of a type lasting `scadenzaMesi` months (TipoPagamenti's
// ScadenzaMesi, a number that may have decimals), counted from `oggi`. Only the whole part
// of the months counts (2.9 is 2). Nothing is computed, and the expiry is to stay as it was,
// when the number is Null, not a number, not greater than 0, or too large for a date.
std::optional<QDate> ScadenzaAbbonamento(const QDate& oggi, const QVariant& scadenzaMesi);

} // namespace common
