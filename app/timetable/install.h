#pragma once

#include <QPointer>

class QWidget;
class TForm1;
class Tform_DB;
class TfrmOrari;
class TfrmOrariDett;

// The single instances of the timetable's windows, for the windows that use the timetable
// as a chooser (the client record).
struct Orari {
    QPointer<TfrmOrari> frmOrari;
    QPointer<TfrmOrariDett> frmOrariDett;
};

// The instances created by the last installTimetable().
Orari& orari();

// Creates the timetable's windows (children of the main window) and wires the main window's
// "Orari" button.
void installTimetable(TForm1& form1, Tform_DB& dm);

// The same windows without the main window (tests, tools), linked to one another.
Orari creaOrari(Tform_DB& dm, QWidget* parent);
