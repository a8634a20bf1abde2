#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// Text, number, date and path helpers shared by every window and by the export tool.
// None of them holds state.
namespace common {

// --- quoting for filter texts and SQL literals
QString QuotaFiltro(const QString& text); // every "'" doubled
QString QuotaLike(const QString& text);   // every "'" doubled and every "*" made "%"

// --- separator-terminated lists ("a|b|c|"); a missing final separator is supplied
// Entry `index` (1-based); empty when the list has fewer entries or index < 1.
QString EstraiToken(const QString& list, int index, QChar separator);
// Number of entries: an empty list has none.
int ContaToken(const QString& list, QChar separator);

// --- dates. Invalid dates raise db::DatabaseError with a message the user can read.
QString DataSql(const QDate& date);         // "3/5/2024": month/day/year for #...# literals
QString DataSql(const QDateTime& dateTime); // the date part
QString DataIso(const QDate& date);         // "2024-03-05"
QString DataIso(const QDateTime& dateTime); // the date part
// Reads characters 1-4, 6-7 and 9-10 of "YYYY-MM-DD" (anything after them is ignored).
QDate LeggiDataIso(const QString& text);

// --- rounding, halves away from zero
double Arrotonda(double x);  // to a whole number
double Arrotonda2(double x); // to two decimals

// --- Italian VAT number (partita IVA): 11 digits with a Luhn-style check digit
bool ControllaPartitaIva(const QString& text);

// --- captions
// The caption of a column a user sees, from its database name: words of a joined name
// split, later ones in lower case ("DallaData" -> "Dalla data", "Tariffa_ad_ora_euro" ->
// "Tariffa ad ora euro"); initials in capitals stay ("ID_Cliente" -> "ID cliente", "KC").
QString DidascaliaColonna(const QString& column);

// --- file names and folders
QString EstensioneFile(const QString& fileName); // text after the last ".", or ""
QString ChiudiPercorso(const QString& folder);   // with a final "\" or "/" as the path uses

} // namespace common
