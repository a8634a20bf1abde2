#include "db/values.h"

#include <QLocale>
#include <charconv>
#include <cmath>
#include <string>

namespace db {

namespace {

bool isAsciiDigit(QChar c) {
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

// Reads a run of ASCII digits at s[i] (advancing i) of minDigits..maxDigits; -1 when the
// run is shorter or longer. `count` receives the run's length.
int digitsAt(QStringView s, qsizetype& i, int minDigits, int maxDigits, int* count = nullptr) {
    int value = 0, n = 0;
    while (i < s.size() && isAsciiDigit(s[i])) {
        if (++n > maxDigits) return -1;
        value = value * 10 + (s[i].unicode() - u'0');
        ++i;
    }
    if (count) *count = n;
    return n < minDigits ? -1 : value;
}

bool readTime(QStringView s, qsizetype& i, int& hour, int& minute, int& second) {
    hour = digitsAt(s, i, 1, 2);
    if (hour < 0 || i >= s.size() || (s[i] != u'.' && s[i] != u':')) return false;
    const QChar sep = s[i++];
    minute = digitsAt(s, i, 1, 2);
    if (minute < 0) return false;
    second = 0;
    if (i < s.size() && s[i] == sep) {
        ++i;
        second = digitsAt(s, i, 1, 2);
        if (second < 0) return false;
    }
    while (i < s.size() && s[i].isSpace())
        ++i;
    if (i < s.size()) {
        const QStringView suffix = s.mid(i);
        const bool am = suffix.compare(u"AM", Qt::CaseInsensitive) == 0;
        const bool pm = suffix.compare(u"PM", Qt::CaseInsensitive) == 0;
        if ((!am && !pm) || hour < 1 || hour > 12) return false;
        if (am && hour == 12) hour = 0;
        if (pm && hour != 12) hour += 12;
        i = s.size();
    }
    return hour <= 23 && minute <= 59 && second <= 59;
}

} // namespace

std::optional<CivilTime> readDate(QStringView text, DateOrder order) {
    const QStringView s = text.trimmed();
    qsizetype i = 0;
    int firstDigits = 0;
    const int first = digitsAt(s, i, 1, 4, &firstDigits);
    if (first < 0 || i >= s.size()) return std::nullopt;
    int year, month, day;
    if (firstDigits == 4 && s[i] == u'-') {
        year = first;
        ++i;
        month = digitsAt(s, i, 1, 2);
        if (month < 0 || i >= s.size() || s[i] != u'-') return std::nullopt;
        ++i;
        day = digitsAt(s, i, 1, 2);
    } else if (firstDigits <= 2 && s[i] == u'/') {
        ++i;
        const int second = digitsAt(s, i, 1, 2);
        if (second < 0 || i >= s.size() || s[i] != u'/') return std::nullopt;
        ++i;
        int yearDigits = 0;
        year = digitsAt(s, i, 1, 4, &yearDigits);
        if (yearDigits == 1 || yearDigits == 2) {
            if (order == DateOrder::MonthFirst) return std::nullopt;
            year += year < ShortYearPivot ? 2000 : 1900;
        } else if (yearDigits != 4) {
            return std::nullopt;
        }
        month = order == DateOrder::MonthFirst ? first : second;
        day = order == DateOrder::MonthFirst ? second : first;
    } else {
        return std::nullopt;
    }
    if (day < 0 || !isValidDate(year, month, day)) return std::nullopt;

    int hour = 0, minute = 0, second = 0;
    if (i < s.size()) {
        if (s[i] == u'T' || s[i] == u't') {
            ++i;
        } else if (s[i].isSpace()) {
            while (i < s.size() && s[i].isSpace())
                ++i;
        } else {
            return std::nullopt;
        }
        if (!readTime(s, i, hour, minute, second)) return std::nullopt;
    }
    return civilFromParts(year, month, day, hour, minute, second);
}

std::optional<double> readNumber(QStringView text, Separators separators) {
    const QStringView s = text.trimmed();
    qsizetype i = 0;
    // The number is rewritten in the form from_chars reads: [-]digits[.digits][e[-]digits].
    std::string out;
    out.reserve(size_t(s.size()) + 2);
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+')) {
        if (s[i] == u'-') out.push_back('-');
        ++i;
    }
    const qsizetype mantissa = i;
    int commas = 0, dots = 0;
    while (i < s.size() && (isAsciiDigit(s[i]) || s[i] == u',' || s[i] == u'.')) {
        commas += s[i] == u',';
        dots += s[i] == u'.';
        ++i;
    }
    const QStringView m = s.mid(mantissa, i - mantissa);
    // Which character is the decimal point, and whether '.' groups thousands.
    QChar point = u',';
    bool grouped = false;
    switch (separators) {
    case Separators::Typed:
        if (commas > 1 || (commas == 0 && dots > 1)) return std::nullopt;
        grouped = commas == 1 && dots > 0;
        if (commas == 0) point = u'.';
        break;
    case Separators::NoGrouping:
        if (commas + dots > 1) return std::nullopt;
        if (dots == 1) point = u'.';
        break;
    case Separators::CommaOnly:
        if (dots > 0 || commas > 1) return std::nullopt;
        break;
    }
    const qsizetype at = m.indexOf(point);
    const QStringView whole = at < 0 ? m : m.left(at);
    const QStringView fraction = at < 0 ? QStringView() : m.mid(at + 1);
    if (whole.isEmpty() && fraction.isEmpty()) return std::nullopt;
    // Only digits are left to copy, but for the thousands dots of a grouped whole part.
    if (grouped) {
        const QList<QStringView> groups = whole.split(u'.');
        if (groups.front().isEmpty() || groups.front().size() > 3) return std::nullopt;
        for (qsizetype g = 1; g < groups.size(); ++g)
            if (groups[g].size() != 3) return std::nullopt;
    }
    if (whole.isEmpty()) out.push_back('0');
    for (const QChar c : whole)
        if (c != u'.') out.push_back(char(c.unicode()));
    if (!fraction.isEmpty()) {
        out.push_back('.');
        for (const QChar c : fraction) {
            if (!isAsciiDigit(c)) return std::nullopt;
            out.push_back(char(c.unicode()));
        }
    }
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        out.push_back('e');
        ++i;
        if (i < s.size() && (s[i] == u'-' || s[i] == u'+')) {
            if (s[i] == u'-') out.push_back('-');
            ++i;
        }
        const qsizetype exponent = i;
        while (i < s.size() && isAsciiDigit(s[i]))
            out.push_back(char(s[i++].unicode()));
        if (i == exponent) return std::nullopt;
    }
    if (i != s.size()) return std::nullopt;
    double d = 0;
    const char* b = out.data();
    const char* e = b + out.size();
    const auto r = std::from_chars(b, e, d);
    if (r.ec != std::errc() || r.ptr != e || !std::isfinite(d)) return std::nullopt;
    return d;
}

std::optional<long long> readInteger(QStringView text) {
    const QStringView s = text.trimmed();
    qsizetype i = 0;
    std::string out;
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+')) {
        if (s[i] == u'-') out.push_back('-');
        ++i;
    }
    if (i == s.size()) return std::nullopt;
    for (; i < s.size(); ++i) {
        if (!isAsciiDigit(s[i])) return std::nullopt;
        out.push_back(char(s[i].unicode()));
    }
    long long v = 0;
    const char* e = out.data() + out.size();
    const auto r = std::from_chars(out.data(), e, v);
    if (r.ec != std::errc() || r.ptr != e) return std::nullopt;
    return v;
}

double leadingNumber(QStringView text) {
    qsizetype start = 0;
    while (start < text.size() && text[start].isSpace())
        ++start;
    qsizetype end = start;
    if (end < text.size() && (text[end] == u'-' || text[end] == u'+')) ++end;
    while (end < text.size() && (isAsciiDigit(text[end]) || text[end] == u',' || text[end] == u'.'))
        ++end;
    // The longest prefix that reads: "1,2,3" gives 1.2, "3.5.2024" gives 3.5.
    for (; end > start; --end)
        if (const std::optional<double> v = readNumber(text.mid(start, end - start))) return *v;
    return 0;
}

QString numberLiteral(double v) {
    if (v == 0) v = 0; // no "-0"
    return QString::number(v, 'f', QLocale::FloatingPointShortest);
}

QString displayNumber(double v, Grouping grouping) {
    static const QLocale grouped(QLocale::Italian, QLocale::Italy);
    static const QLocale plain = [] {
        QLocale l(QLocale::Italian, QLocale::Italy);
        l.setNumberOptions(QLocale::OmitGroupSeparator);
        return l;
    }();
    return (grouping == Grouping::Thousands ? grouped : plain)
        .toString(v, 'f', QLocale::FloatingPointShortest);
}

} // namespace db
