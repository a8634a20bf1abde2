#include "db/sql/lexer.h"

#include "db/error.h"
#include "db/sql/visible.h"
#include "db/values.h"

namespace db::sql {

namespace {

bool isIdentStart(QChar c) { return c.isLetter() || c == u'_'; }
bool isIdentPart(QChar c) { return c.isLetterOrNumber() || c == u'_'; }

} // namespace

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
            const std::optional<CivilTime> date =
                readDate(QStringView(text).mid(i + 1, close - i - 1), DateOrder::MonthFirst);
            if (!date)
                throw SyntaxError(QStringLiteral("Data non valida"), start);
            i = close + 1;
            push(Token::Date, QString::fromStdString(formatStoredDate(*date)), start, i);
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
        throw SyntaxError(QStringLiteral("Simbolo non riconosciuto '%1'").arg(visibleText(QString(c))), start);
    }
    push(Token::End, QString(), n, n);
    return tokens;
}

} // namespace db::sql
