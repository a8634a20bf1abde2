#pragma once

#include <QPointer>

class QWidget;
class TForm1;
class Tform_DB;
class TfrmClientiDett;

// The client record made by the last installClients().
TfrmClientiDett* frmClientiDett();

// Creates the client record beside the registers and the timetable (installArchives and
// installTimetable first), links it to the client list, and wires the "Clienti" button.
void installClients(TForm1& form1, Tform_DB& dm);

// The same without the main window (tests): the record of the client list `archivi` holds,
// choosing course hours from the timetable of `corsi`.
struct Archivi;
struct Orari;
TfrmClientiDett* creaSchedaClienti(Tform_DB& dm, Archivi& archivi, const Orari& corsi, QWidget* parent);
