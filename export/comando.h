#pragma once

#include "export/scrittura.h"

#include <QString>
#include <optional>

class QTextStream;

// The export tool without windows, for schedulers:
//   esportazioni --elenco
//   esportazioni --definizione NOME --file PERCORSO [--formato csv|xlsx] [--filtro TESTO]
// A saved definition is run as "Esporta" runs it (its source, its ticked columns), the
// filter given as a condition instead of through the filter window.
namespace esportazioni {

// Exit statuses of the command line.
enum StatoUscita { Riuscito = 0, Fallito = 1, UsoErrato = 2 };

// One saved definition per line: its name, a tab, its source.
int elencaDefinizioni(QTextStream& out, QTextStream& err);

struct RichiestaEsportazione {
    QString definizione;
    QString file;                   // written exactly there
    std::optional<Formato> formato; // default: xlsx for a ".xlsx" file, else csv
    QString filtro;                 // a Jet condition on the source's columns
};

// Writes the file; Riuscito only when it is complete. A name that matches no definition is
// UsoErrato; a definition whose source or columns are gone is Fallito, with no file.
int eseguiDefinizione(const RichiestaEsportazione& r, QTextStream& out, QTextStream& err);

} // namespace esportazioni
