#pragma once

#include <QPointer>

class QWidget;
class TForm1;
class Tform_DB;
class TfrmPagamenti;
class TfrmPagamentiDettaglio;
class TfrmSceltaAnno;
struct Archivi;

// The single instances of the payments windows.
struct Pagamenti {
    QPointer<TfrmPagamenti> frmPagamenti;
    QPointer<TfrmPagamentiDettaglio> frmPagamentiDettaglio;
    QPointer<TfrmSceltaAnno> frmSceltaAnno;
};

// The windows made by the last creaPagamenti() (the client record's tab reaches them here).
Pagamenti& pagamenti();

// Creates the payments windows as children of `parent`, linked to the registers of `archivi`
// and to one another; they become pagamenti().
Pagamenti creaPagamenti(Tform_DB& dm, Archivi& archivi, QWidget* parent);

// Creates the payments windows beside the registers (installArchives first) and wires the
// main window's "Pagamenti" button.
void installPayments(TForm1& form1, Tform_DB& dm);
