#include "db/sql/lexer.h"

#include "db/error.h"

namespace db::sql {

namespace {

bool isIdentStart(QChar c) { return c.isLetter() || c == u'_'; }
bool isIdentPart(QChar c) { return c.isLetterOrNumber() || c == u'_'; }

bool isLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return (m == 2 && isLeapYear(y)) ? 29 : days[m - 1];
}

// Reads up to maxDigits decimal digits at text[i]; -1 when there is none.
int readNumber(const QString& text, int& i, int maxDigits, int* digits = nullptr) {
    int value = 0;
    int n = 0;
    while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128 && n < maxDigits) {
        value = value * 10 + (text[i].unicode() - '0');
        ++i;
        ++n;
    }
    if (digits)
        *digits = n;
    return n == 0 ? -1 : value;
}

void skipSpaces(const QString& text, int& i) {
    while (i < text.size() && text[i].isSpace())
        ++i;
}

} // namespace

QString parseJetDate(const QString& inside) {
    const QString& t = inside;
    int i = 0;
    skipSpaces(t, i);
    int digitsA = 0;
    const int a = readNumber(t, i, 4, &digitsA);
    if (a < 0 || i >= t.size())
        return {};
    const QChar sep = t[i];
    if (sep != u'/' && sep != u'-')
        return {};
    ++i;
    const int b = readNumber(t, i, 2);
    if (b < 0 || i >= t.size() || t[i] != sep)
        return {};
    ++i;
    int digitsC = 0;
    const int c = readNumber(t, i, 4, &digitsC);
    if (c < 0)
        return {};
    int year, month, day;
    if (digitsA == 4) {
        year = a;
        month = b;
        day = c;
        if (digitsC > 2)
            return {};
    } else {
        if (digitsA > 2)
            return {};
        month = a;
        day = b;
        year = c;
        if (digitsC == 2 || digitsC == 1)
            year += (year < 30) ? 2000 : 1900; // Jet's two-digit year window
        else if (digitsC != 4)
            return {};
    }
    if (year < 100 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month))
        return {};

    int hour = 0, minute = 0, second = 0;
    skipSpaces(t, i);
    if (i < t.size()) {
        hour = readNumber(t, i, 2);
        if (hour < 0 || i >= t.size() || (t[i] != u'.' && t[i] != u':'))
            return {};
        const QChar tsep = t[i];
        ++i;
        minute = readNumber(t, i, 2);
        if (minute < 0)
            return {};
        if (i < t.size() && t[i] == tsep) {
            ++i;
            second = readNumber(t, i, 2);
            if (second < 0)
                return {};
        }
        skipSpaces(t, i);
        if (i < t.size()) {
            const QString rest = t.mid(i).trimmed();
            const bool pm = rest.compare(u"PM", Qt::CaseInsensitive) == 0;
            const bool am = rest.compare(u"AM", Qt::CaseInsensitive) == 0;
            if (!pm && !am)
                return {};
            if (hour < 1 || hour > 12)
                return {};
            if (am && hour == 12)
                hour = 0;
            if (pm && hour != 12)
                hour += 12;
            i = t.size();
        }
        if (i < t.size())
            return {};
        if (hour > 23 || minute > 59 || second > 59)
            return {};
    }
    return QStringLiteral("%1-%2-%3 %4:%5:%6")
        .arg(year, 4, 10, QLatin1Char('0'))
        .arg(month, 2, 10, QLatin1Char('0'))
        .arg(day, 2, 10, QLatin1Char('0'))
        .arg(hour, 2, 10, QLatin1Char('0'))
        .arg(minute, 2, 10, QLatin1Char('0'))
        .arg(second, 2, 10, QLatin1Char('0'));
}

QList<Token> tokenize(const QString& text) {
    QList<Token> tokens;
    const int n = text.size();
    int i = 0;
    auto push = [&](Token::Kind kind, QString value, int start, int end) {
        Token tok;
        tok.kind = kind;
        tok.text = std::move(value);
        tok.pos = start;
        tok.end = end;
        tokens.append(std::move(tok));
    };
    while (i < n) {
        const QChar c = text[i];
        if (c.isSpace() || c == QChar(0xFEFF)) { // a byte-order mark counts as a blank
            ++i;
            continue;
        }
        const int start = i;
        if (c == u'-' && i + 1 < n && text[i + 1] == u'-') {
            while (i < n && text[i] != u'\n')
                ++i;
            continue;
        }
        if (isIdentStart(c)) {
            while (i < n && isIdentPart(text[i]))
                ++i;
            push(Token::Ident, text.mid(start, i - start), start, i);
            continue;
        }
        if ((c.isDigit() && c.unicode() < 128)
            || (c == u'.' && i + 1 < n && text[i + 1].isDigit() && text[i + 1].unicode() < 128
                && (tokens.isEmpty() || tokens.last().kind == Token::Symbol))) {
            while (i < n && text[i].isDigit() && text[i].unicode() < 128)
                ++i;
            if (i < n && text[i] == u'.') {
                ++i;
                while (i < n && text[i].isDigit() && text[i].unicode() < 128)
                    ++i;
            }
            if (i < n && (text[i] == u'e' || text[i] == u'E')) {
                int j = i + 1;
                if (j < n && (text[j] == u'+' || text[j] == u'-'))
                    ++j;
                if (j < n && text[j].isDigit()) {
                    i = j;
                    while (i < n && text[i].isDigit() && text[i].unicode() < 128)
                        ++i;
                }
            }
            if (i < n && isIdentStart(text[i]))
                throw SyntaxError(QStringLiteral("Numero non valido"), start);
            push(Token::Number, text.mid(start, i - start), start, i);
            continue;
        }
        if (c == u'\'' || c == u'"') {
            QString value;
            ++i;
            bool closed = false;
            while (i < n) {
                if (text[i] == c) {
                    if (i + 1 < n && text[i + 1] == c) {
                        value += c;
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                value += text[i++];
            }
            if (!closed)
                throw SyntaxError(QStringLiteral("Testo tra virgolette non terminato"), start);
            push(Token::String, value, start, i);
            continue;
        }
        if (c == u'[') {
            const int close = text.indexOf(u']', i + 1);
            if (close < 0)
                throw SyntaxError(QStringLiteral("Parentesi quadra non chiusa"), start);
            const QString name = text.mid(i + 1, close - i - 1);
            if (name.isEmpty() || name.contains(u'['))
                throw SyntaxError(QStringLiteral("Nome tra parentesi quadre non valido"), start);
            i = close + 1;
            push(Token::QuotedIdent, name, start, i);
            continue;
        }
        if (c == u'#') {
            const int close = text.indexOf(u'#', i + 1);
            if (close < 0)
                throw SyntaxError(QStringLiteral("Data non terminata"), start);
            const QString stored = parseJetDate(text.mid(i + 1, close - i - 1));
            if (stored.isEmpty())
                throw SyntaxError(QStringLiteral("Data non valida"), start);
            i = close + 1;
            push(Token::Date, stored, start, i);
            continue;
        }
        if (c == u'@') {
            if (i + 1 < n && text[i + 1] == u'@' && i + 2 < n && isIdentStart(text[i + 2])) {
                i += 2;
                const int nameStart = i;
                while (i < n && isIdentPart(text[i]))
                    ++i;
                push(Token::Variable, text.mid(nameStart, i - nameStart), start, i);
                continue;
            }
            throw SyntaxError(QStringLiteral("Simbolo non riconosciuto '@'"), start);
        }
        if (c == u'<' || c == u'>' || c == u'!') {
            if (i + 1 < n) {
                const QChar d = text[i + 1];
                if ((c == u'<' && (d == u'>' || d == u'=')) || (c == u'>' && d == u'=')
                    || (c == u'!' && d == u'=')) {
                    i += 2;
                    push(Token::Symbol, c == u'!' ? QStringLiteral("<>") : text.mid(start, 2),
                         start, i);
                    continue;
                }
            }
            if (c == u'!')
                throw SyntaxError(QStringLiteral("Simbolo non riconosciuto '!'"), start);
            ++i;
            push(Token::Symbol, QString(c), start, i);
            continue;
        }
        if (c == u'?') {
            ++i;
            push(Token::Parameter, QString(c), start, i);
            continue;
        }
        static const QString singles = QStringLiteral("(),.;*+-/&=\\^");
        if (singles.contains(c)) {
            ++i;
            push(Token::Symbol, QString(c), start, i);
            continue;
        }
        throw SyntaxError(QStringLiteral("Simbolo non riconosciuto '%1'").arg(c), start);
    }
    push(Token::End, QString(), n, n);
    return tokens;
}

} // namespace db::sql
