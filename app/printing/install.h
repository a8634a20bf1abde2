#pragma once

class TForm1;
class Tform_DB;

// Installs the print-job writer in the data module (Button2Click) and wires the buttons of
// the main window's "Stampe  " tab: each hands its report number over when its shared query
// has rows; "Conteggio Clienti" always does.
void installPrinting(TForm1& form1, Tform_DB& dm);
