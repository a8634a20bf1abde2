#include "common/text.h"

#include "db/error.h"

#include <charconv>
#include <cmath>

namespace common {

// --- quoting -----------------------------------------------------------------------------

QString QuotaFiltro(const QString& text) {
    QString out = text;
    return out.replace(u'\'', QStringLiteral("''"));
}

QString QuotaLike(const QString& text) {
    return QuotaFiltro(text).replace(u'*', u'%');
}

// --- lists -------------------------------------------------------------------------------

QString EstraiToken(const QString& list, int index, QChar separator) {
    if (index < 1) return QString();
    qsizetype start = 0;
    int entry = 1;
    while (start < list.size()) {
        qsizetype end = list.indexOf(separator, start);
        if (end < 0) end = list.size(); // the missing final separator
        if (entry == index) return list.mid(start, end - start);
        start = end + 1;
        ++entry;
    }
    return QString();
}

int ContaToken(const QString& list, QChar separator) {
    if (list.isEmpty()) return 0;
    const int separators = int(list.count(separator));
    return list.endsWith(separator) ? separators : separators + 1;
}

// --- dates -------------------------------------------------------------------------------

namespace {

void requireValid(const QDate& date) {
    // Years outside 1..9999 cannot be written as four digits in #...# literals.
    if (!date.isValid() || date.year() < 1 || date.year() > 9999)
        throw db::DatabaseError(QStringLiteral("Data non valida"));
}

bool asciiDigits(const QString& text, qsizetype from, qsizetype count, int& value) {
    value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9') return false;
        value = value * 10 + (c - u'0');
    }
    return true;
}

} // namespace

QString DataSql(const QDate& date) {
    requireValid(date);
    return QString::number(date.month()) + u'/' + QString::number(date.day()) + u'/' +
           QString::number(date.year());
}

QString DataSql(const QDateTime& dateTime) {
    return DataSql(dateTime.date());
}

QString DataIso(const QDate& date) {
    requireValid(date);
    return QStringLiteral("%1-%2-%3")
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'));
}

QString DataIso(const QDateTime& dateTime) {
    return DataIso(dateTime.date());
}

QDate LeggiDataIso(const QString& text) {
    int year = 0, month = 0, day = 0;
    if (text.size() >= 10 && asciiDigits(text, 0, 4, year) && asciiDigits(text, 5, 2, month) &&
        asciiDigits(text, 8, 2, day)) {
        const QDate date(year, month, day);
        if (date.isValid() && year >= 1) return date;
    }
    throw db::DatabaseError(
        QStringLiteral("\"%1\" non è una data valida (formato atteso AAAA-MM-GG)").arg(text));
}

// --- rounding ----------------------------------------------------------------------------

double Arrotonda(double x) {
    // std::round is exactly "integer part of x ± 0.5" without the error of adding 0.5 in
    // floating point (0.49999999999999994 + 0.5 would give 1). Adding 0.0 turns -0 into 0.
    return std::round(x) + 0.0;
}

double Arrotonda2(double x) {
    if (!std::isfinite(x)) return x;
    double scaled = x * 100.0;
    // x carries the binary error of its decimal value: 1.005 is stored as 1.00499999999999989
    // and 100 times it falls just short of the half. A double holds 15 significant decimal
    // digits reliably, so cutting the product to 15 digits puts such values back on the
    // half they stand for. From 1e15 on a double has no fraction digit worth keeping.
    if (std::fabs(scaled) < 1e15) {
        char buffer[40];
        const auto written = std::to_chars(buffer, buffer + sizeof buffer, scaled,
                                           std::chars_format::scientific, 14);
        double cleaned = scaled;
        if (written.ec == std::errc() &&
            std::from_chars(buffer, written.ptr, cleaned).ec == std::errc())
            scaled = cleaned;
    }
    return Arrotonda(scaled) / 100.0;
}

// --- VAT number ----------------------------------------------------------------------------

bool ControllaPartitaIva(const QString& text) {
    if (text.size() != 11) return false;
    int digits[11];
    for (int i = 0; i < 11; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9') return false; // also rejects non-ASCII digits
        digits[i] = c - u'0';
    }
    int sum = 0;
    for (int i = 0; i < 10; i += 2)
        sum += digits[i];
    for (int i = 1; i < 10; i += 2) {
        const int doubled = digits[i] * 2;
        sum += doubled > 9 ? doubled - 9 : doubled;
    }
    return digits[10] == (10 - sum % 10) % 10;
}

// --- paths -------------------------------------------------------------------------------

QString EstensioneFile(const QString& fileName) {
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot < 0 ? QString() : fileName.mid(dot + 1);
}

QString ChiudiPercorso(const QString& folder) {
    if (folder.isEmpty() || folder.endsWith(u'\\') || folder.endsWith(u'/')) return folder;
    for (const QChar c : folder) {
        if (c == u'\\') return folder + u'\\';
        if (c == u'/') return folder + u'/';
    }
    return folder;
}

QString DidascaliaColonna(const QString& column) {
    QStringList words;
    QString word;
    const QString name = QString(column).replace(u'_', u' ');
    for (int i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        // A capital starts a word after a small letter, or before one when it ends a run of
        // capitals ("IDCliente": "ID", "Cliente").
        const bool starts = c.isUpper() && i > 0 &&
                            (name[i - 1].isLower() || (name[i - 1].isUpper() && i + 1 < name.size() && name[i + 1].isLower()));
        if (c == u' ' || starts) {
            if (!word.isEmpty()) words << word;
            word.clear();
            if (c == u' ') continue;
        }
        word += c;
    }
    if (!word.isEmpty()) words << word;
    for (int i = 1; i < words.size(); ++i) {
        const QString& w = words[i];
        if (w.size() > 1 && w == w.toUpper()) continue; // initials
        words[i] = w.left(1).toLower() + w.mid(1);
    }
    return words.join(u' ');
}

} // namespace common
