#pragma once

#include <QDate>
#include <QString>

// The Italian tax code (codice fiscale) of a person, by the rule of the tax administration
// (DM 23 December 1976).
namespace common {

// The sixteen upper-case characters computed from surname, name, birth date, sex ("F" for a
// woman, whatever the case; anything else counts as a man) and the cadastral code of the
// municipality or foreign state of birth (CODICE_F: a letter and three digits, "F205").
// Only letters count: blanks and apostrophes are skipped ("D'Angelo" is DANGELO) and an
// accented letter counts as its base letter ("Niccolò", "Lucà"), so accented vowels stay
// vowels; letters that have no base letter in A-Z are skipped. Empty when the date is
// invalid or the cadastral code is not a letter and three digits. The code the
// administration gives to namesakes (digits replaced by letters) cannot be computed.
QString CodiceFiscale(const QString& cognome, const QString& nome, const QDate& nascita,
                      const QString& sesso, const QString& codiceComune);

// The check character (A-Z) of the first fifteen characters of a code; a null QChar when
// they are not fifteen letters and digits.
QChar CarattereControlloFiscale(const QString& primiQuindici);

// True for sixteen characters (upper or lower case) in the layout of a person's tax code,
// namesakes' letters included, whose last character is their check character.
bool ControllaCodiceFiscale(const QString& codice);

} // namespace common
