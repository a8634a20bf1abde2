#pragma once

#include <QString>

class QTextStream;

namespace db {
class Connection;
}

// `stampa --report N [--filtro TESTO] --pdf PERCORSO`: a report exported to PDF without a
// screen or a person, for schedulers. The job is written into TempStampa for this computer
// exactly as the main program writes its own (so the same row can be read back and
// checked), then loaded and exported by the viewer's own load.
namespace stampa {

class TForm1;

// Exit statuses of the command line.
enum StatoUscita { Riuscito = 0, Fallito = 1, UsoErrato = 2 };

struct RichiestaReport {
    int numero = 0;
    QString filtro; // a Jet condition on the report's columns; empty: every row
    QString pdf;
    QString id;   // the client (staff member for 17) of reports on one record
    QString anno; // the year of receipts 21 and 22
};

// What is wrong with a request before anything is opened; empty when it can run.
QString controllaRichiesta(const RichiestaReport& r);

// Replaces this computer's job with the request's: report files and query from the
// catalogue, no filter window, no printer set-up, export to the PDF file. Throws
// db::DatabaseError.
void scriviLavoro(db::Connection& c, const RichiestaReport& r);

// The whole run: checks, database, job row, load and export. Errors go to `err`; returns
// the exit status, Riuscito only when the file is written in full.
int eseguiReport(const RichiestaReport& r, TForm1& form, QTextStream& err);

} // namespace stampa
