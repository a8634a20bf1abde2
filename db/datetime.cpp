#include "db/datetime.h"

#include <cstdio>

namespace db {

namespace {

// Days from 0000-03-01 (Howard Hinnant's civil algorithm, shifted so March starts the year).
long long daysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = unsigned((153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1);
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe;
}

void civilFromDays(long long z, int& y, int& m, int& d) {
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = int(doy - (153 * mp + 2) / 5 + 1);
    m = int(mp < 10 ? mp + 3 : mp - 9);
    y = int(yoe + era * 400 + (m <= 2));
}

bool digits(std::string_view s, size_t pos, size_t n, int& out) {
    if (pos + n > s.size()) return false;
    int v = 0;
    for (size_t i = pos; i < pos + n; ++i) {
        const char c = s[i];
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    out = v;
    return true;
}

} // namespace

bool isValidDate(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int len = lengths[month - 1];
    if (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0)) len = 29;
    return day <= len;
}

CivilTime civilFromParts(int year, int month, int day, int hour, int minute, int second) {
    return daysFromCivil(year, month, day) * 86400LL + hour * 3600LL + minute * 60LL + second;
}

void civilToParts(CivilTime t, int& year, int& month, int& day, int& hour, int& minute,
                  int& second) {
    long long days = t / 86400;
    long long secs = t % 86400;
    if (secs < 0) {
        secs += 86400;
        --days;
    }
    civilFromDays(days, year, month, day);
    hour = int(secs / 3600);
    minute = int(secs / 60 % 60);
    second = int(secs % 60);
}

std::optional<CivilTime> parseStoredDate(std::string_view s) {
    int y, mo, d, h = 0, mi = 0, se = 0;
    if (s.size() < 10 || !digits(s, 0, 4, y) || s[4] != '-' || !digits(s, 5, 2, mo) ||
        s[7] != '-' || !digits(s, 8, 2, d))
        return std::nullopt;
    if (s.size() > 10) {
        if ((s[10] != ' ' && s[10] != 'T') || !digits(s, 11, 2, h) || s.size() < 16 ||
            s[13] != ':' || !digits(s, 14, 2, mi))
            return std::nullopt;
        if (s.size() > 16) {
            if (s[16] != ':' || !digits(s, 17, 2, se)) return std::nullopt;
            // Fractions of a second are accepted and dropped.
            if (s.size() > 19 && s[19] != '.') return std::nullopt;
        }
    }
    if (!isValidDate(y, mo, d) || h > 23 || mi > 59 || se > 59) return std::nullopt;
    return civilFromParts(y, mo, d, h, mi, se);
}

std::string formatStoredDate(CivilTime t) {
    int y, mo, d, h, mi, se;
    civilToParts(t, y, mo, d, h, mi, se);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", y, mo, d, h, mi, se);
    return buf;
}

CivilTime civilFromQDate(const QDate& d) { return civilFromParts(d.year(), d.month(), d.day()); }

CivilTime civilFromQDateTime(const QDateTime& dt) {
    const QDate d = dt.date();
    const QTime t = dt.time();
    return civilFromParts(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second());
}

QDateTime qDateTimeFromCivil(CivilTime t) {
    int y, mo, d, h, mi, se;
    civilToParts(t, y, mo, d, h, mi, se);
    return QDateTime(QDate(y, mo, d), QTime(h, mi, se));
}

bool hasTimeOfDay(CivilTime t) { return ((t % 86400) + 86400) % 86400 != 0; }

QString displayDate(CivilTime t) {
    int y, mo, d, h, mi, se;
    civilToParts(t, y, mo, d, h, mi, se);
    char buf[32];
    if (h == 0 && mi == 0 && se == 0)
        std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", d, mo, y);
    else
        std::snprintf(buf, sizeof buf, "%02d/%02d/%04d %02d:%02d:%02d", d, mo, y, h, mi, se);
    return QString::fromLatin1(buf);
}

} // namespace db
