#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <array>

// Contacts exchanged with address books (vCard 4.0) and calendar entries (iCalendar).
// Files are UTF-8 with a line feed as line end.
namespace common {

// One contact of a vCard file, in the order the writer emits the fields (every member has
// an initialiser, so designated initialisers may name only some). Every field is
// text and empty by default. `revisione` and `compleanno` hold dates as "YYYY-MM-DD"
// (DataIso): the writer turns them into the vCard forms and the reader gives them back in
// this form; a text that is not such a date passes through unchanged.
struct ContattoVCard {
    QString cognome{};
    QString nome{};
    QString altriNomi{};
    QString prefisso{}; // "Dott."
    QString suffisso{}; // "Jr."
    QString organizzazione{};
    QString titolo{};
    QString foto{}; // path of the picture file
    std::array<QString, 2> telCasa{};
    QString faxCasa{};
    std::array<QString, 2> telLavoro{};
    QString faxLavoro{};
    std::array<QString, 2> cellCasa{};
    std::array<QString, 2> cellLavoro{};
    std::array<QString, 4> emailCasa{};
    std::array<QString, 4> emailLavoro{};
    QString webCasa{};
    QString webLavoro{};
    QString viaCasa{};
    QString viaLavoro{};
    QString regioneCasa{}; // fifth address component
    QString regioneLavoro{};
    QString localitaCasa{}; // fourth address component
    QString localitaLavoro{};
    QString civicoCasa{}; // written after the street, never read back on its own
    QString civicoLavoro{};
    QString capCasa{}; // sixth address component
    QString capLavoro{};
    QString etichetta{}; // LABEL
    QString identificativo{};
    QString prefissoIdentificativo{}; // written before the identifier in UID
    QString nota{};
    QString ruolo{};
    QString revisione{};
    QString compleanno{};
    QString chiave{};    // KEY
    QString posizione{}; // GEO, without the "geo:" scheme
    QString categorie{};

    bool operator==(const ContattoVCard&) const = default;
};

// The text of one card: an empty line, BEGIN:VCARD … END:VCARD, a line for each field that
// is not empty. ";" in a value becomes ","; backslashes and line breaks are escaped.
QString ScriviVCard(const ContattoVCard& contatto);

// Every card of a vCard file (2.1, 3.0 or 4.0), in file order. UTF-8, or Latin-1 when
// the bytes are not valid UTF-8. Folded lines, property groups, RFC 6350 and older
// parameter styles and quoted-printable values are understood; a card without END:VCARD
// ends at the next BEGIN:VCARD or at the end of the file; cards with no field read are left
// out. A file without cards gives an empty list; a file that cannot be read raises
// db::DatabaseError naming it.
QList<ContattoVCard> LeggiVCard(const QString& fileName);
// The same from the file's bytes.
QList<ContattoVCard> LeggiVCardDati(const QByteArray& dati);

// One calendar entry; empty values are left out of the VEVENT block.
struct EventoIcal {
    QString creato{}; // date-times as DataOraIcal gives them
    QString descrizione{};
    QString inizio{};
    QString fine{};
    QString timbro{}; // DTSTAMP
    QString ultimaModifica{};
    QString luogo{};
    QString priorita{};
    QString sequenza{};
    QString sommario{};
    QString opaco{};
    QString identificativo{};
};

// BEGIN:VEVENT … END:VEVENT, each line ending with a line feed.
QString ScriviVEvent(const EventoIcal& evento);

// "20240305T173000Z": the moment in UTC (a local time is converted, so calendars show
// it at the hour it was entered). Empty for an invalid date-time.
QString DataOraIcal(const QDateTime& dataOra);

// Writes `testo` as UTF-8 (no byte-order mark) into `fileName`, replacing an existing file
// only once the whole text is written. A failure raises db::DatabaseError naming the file
// and leaves any previous file as it was.
void ScriviFileTesto(const QString& fileName, const QString& testo);

} // namespace common
