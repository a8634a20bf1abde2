#pragma once

#include <QString>
#include <functional>

class Tform_DB;

// The print-job writer: replaces this workstation's row of TempStampa with the job of a
// report number and starts the report viewer `stampa` without waiting for it.
namespace printing {

// Folder of the report layouts as the job names them: "reports/" beside the programs,
// with a trailing separator.
QString cartellaReport();

// The year typed in the year chooser (txtAnno of frmSceltaAnno); empty when that window
// does not exist.
QString annoScelto();

// Writes the job of `tipoReport` (1-23; any other number writes the job without report
// files and query) and starts the viewer. Database errors propagate to the caller.
void scriviStampa(Tform_DB& dm, int tipoReport);

// How the viewer is started: by default detached, from the programs' folder. Returns false
// when the program could not be started. Replaceable so that tests start nothing.
using Avvio = std::function<bool(const QString& program)>;
Avvio setAvvio(Avvio avvio); // returns the previous one; an empty function restores the default

} // namespace printing
