#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace db {
class Connection;
}

// Saved export definitions: a head row in DatiReportTestata (the name) and two lines in
// DatiReportRighe, "Tabella2" (the source's Descrizione, Ordinamento 0) and "Campi" (the
// 0-based positions of the ticked columns, each followed by a space, Ordinamento 1).
// Positions, not names, are stored: a source that gains a column shifts the recall.
namespace esportazioni {

struct Definizione {
    long long id = 0;
    QString nome;
    std::optional<QString> tabella; // the "Tabella2" line, when present
    std::optional<QString> campi;   // the "Campi" line, when present
};

// "0 2 5 " for the first, third and sixth column.
QString scriviPosizioni(const QList<int>& posizioni);

// Reads a "Campi" line against a list of `colonne` columns: the positions that exist, and
// the entries that do not (beyond the list, or not a number).
struct Posizioni {
    QList<int> valide;
    QStringList scartate;
};
Posizioni leggiPosizioni(const QString& campi, int colonne);

// Saves under `nome`, replacing the lines of a definition of that name (case ignored, as
// the database compares names); all in one transaction. Returns the definition's ID.
long long salvaDefinizione(db::Connection& c, const QString& nome, const QString& tabella,
                           const QList<int>& posizioni);

// The definition with its lines; id 0 when there is none with that ID.
Definizione leggiDefinizione(db::Connection& c, long long id);

// Deletes the definition and its lines, in one transaction.
void eliminaDefinizione(db::Connection& c, long long id);

} // namespace esportazioni
