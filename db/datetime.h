#pragma once

#include <QDateTime>
#include <optional>
#include <string>
#include <string_view>

namespace db {

// Dates travel inside the database layer as "civil seconds": whole seconds counted from
// 0000-03-01 in the proleptic Gregorian calendar, with no time zone. They order like the
// stored text and convert without touching QDateTime on hot paths.
using CivilTime = long long;

CivilTime civilFromParts(int year, int month, int day, int hour = 0, int minute = 0,
                         int second = 0);
void civilToParts(CivilTime t, int& year, int& month, int& day, int& hour, int& minute,
                  int& second);
bool isValidDate(int year, int month, int day);

// "YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS" (also with "T"); nullopt when not a real date.
std::optional<CivilTime> parseStoredDate(std::string_view text);
// Always "YYYY-MM-DD HH:MM:SS".
std::string formatStoredDate(CivilTime t);

CivilTime civilFromQDateTime(const QDateTime& dt);
CivilTime civilFromQDate(const QDate& d);
QDateTime qDateTimeFromCivil(CivilTime t);
bool hasTimeOfDay(CivilTime t);

// Italian display: dd/MM/yyyy, with " hh:mm:ss" only when the time is not midnight.
QString displayDate(CivilTime t);

} // namespace db
