#include "common/codicefiscale.h"

namespace common {
namespace {

// Upper-case letters A-Z of a name: accents dropped ("Ò" is O), everything else skipped.
QString letters(const QString& text) {
    QString out;
    for (QChar c : text.normalized(QString::NormalizationForm_D)) {
        const char16_t u = c.toUpper().unicode();
        if (u >= u'A' && u <= u'Z') out += QChar(u);
    }
    return out;
}

bool isVowel(QChar c) {
    return QStringView(u"AEIOU").contains(c);
}

// Consonants first, then vowels, then X, three in all; a name with more than three
// consonants gives its first, third and fourth.
QString threeLetters(const QString& text, bool isName) {
    QString consonants, vowels;
    for (QChar c : letters(text))
        (isVowel(c) ? vowels : consonants) += c;
    if (isName && consonants.size() > 3)
        return QString(consonants[0]) + consonants[2] + consonants[3];
    return QString(consonants + vowels + QStringLiteral("XXX")).left(3);
}

// Values of a character in an odd (1st, 3rd, …) position; digits count as A-J.
constexpr int OddValues[26] = {1,  0,  5, 7, 9, 13, 15, 17, 19, 21, 2,  4,  18,
                               20, 11, 3, 6, 8, 12, 14, 16, 10, 22, 25, 24, 23};

// 0-25 for A-Z and, as A-J, for 0-9; -1 for anything else.
int ordinal(QChar c) {
    const char16_t u = c.toUpper().unicode();
    if (u >= u'0' && u <= u'9') return u - u'0';
    if (u >= u'A' && u <= u'Z') return u - u'A';
    return -1;
}

constexpr QStringView MonthLetters = u"ABCDEHLMPRST";
constexpr QStringView NamesakeDigits = u"LMNPQRSTUV"; // 0-9 in namesakes' codes

bool digitOrNamesake(QChar c) {
    return (c >= u'0' && c <= u'9') || NamesakeDigits.contains(c.toUpper());
}

bool letter(QChar c) {
    return ordinal(c) >= 0 && !(c >= u'0' && c <= u'9');
}

} // namespace

QChar CarattereControlloFiscale(const QString& primiQuindici) {
    if (primiQuindici.size() != 15) return QChar();
    int sum = 0;
    for (qsizetype i = 0; i < 15; ++i) {
        const int v = ordinal(primiQuindici[i]);
        if (v < 0) return QChar();
        sum += i % 2 == 0 ? OddValues[v] : v; // i = 0 is the 1st, an odd position
    }
    return QChar(u'A' + sum % 26);
}

QString CodiceFiscale(const QString& cognome, const QString& nome, const QDate& nascita,
                      const QString& sesso, const QString& codiceComune) {
    const QString comune = codiceComune.trimmed().toUpper();
    if (!nascita.isValid() || comune.size() != 4 || !letter(comune[0])) return QString();
    for (qsizetype i = 1; i < 4; ++i)
        if (comune[i] < u'0' || comune[i] > u'9') return QString();
    const bool woman = sesso.trimmed().compare(u"F", Qt::CaseInsensitive) == 0;
    const int year = ((nascita.year() % 100) + 100) % 100;
    const QString first15 = threeLetters(cognome, false) + threeLetters(nome, true) +
                            QString::asprintf("%02d", year) + MonthLetters[nascita.month() - 1] +
                            QString::asprintf("%02d", nascita.day() + (woman ? 40 : 0)) + comune;
    return first15 + CarattereControlloFiscale(first15);
}

bool ControllaCodiceFiscale(const QString& codice) {
    if (codice.size() != 16) return false;
    for (qsizetype i = 0; i < 16; ++i) {
        const QChar c = codice[i];
        const bool ok = (i >= 6 && i <= 7) || (i >= 9 && i <= 10) || (i >= 12 && i <= 14)
                            ? digitOrNamesake(c)
                        : i == 8 ? MonthLetters.contains(c.toUpper())
                                 : letter(c);
        if (!ok) return false;
    }
    return CarattereControlloFiscale(codice.left(15)) == codice[15].toUpper();
}

} // namespace common
