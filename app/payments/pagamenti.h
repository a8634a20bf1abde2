#pragma once

#include "app/archives/detailform.h"
#include "app/archives/listform.h"

class QLabel;
struct Archivi;

namespace db {
class Connection;
}

// The condition of the "Cliente" box: the payments of every client whose surname begins with
// `cognome` ("*" anywhere in it matches any run of characters), "Cliente_ID = 0" when nobody's
// does; empty for "" and "*".
QString condizioneCliente(db::Connection& c, const QString& cognome);

// The payments register: every payment of TablePagamenti, narrowed by dates, a surname and a
// payment method, with the sum of the amounts shown. A new payment is stored before its
// record opens, for the client current in Table1.
class TfrmPagamenti : public ArchiveListForm {
    Q_OBJECT
public:
    explicit TfrmPagamenti(Tform_DB& dm, QWidget* parent = nullptr);

    // Set only while the client record drives the register: a new payment narrows the list
    // to the current client again.
    bool PerCliente = false;

    // "Aggiungi" for the client shown in the client record.
    void aggiungiPerCliente();
    // The main window's "Pagamenti": every payment, boxes emptied, shown modally; the
    // payments query is left unfiltered.
    void apri();

    QLabel* lblTotale() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// One payment: operation (whose default amount it takes), date, method, amount, client, note.
class TfrmPagamentiDettaglio : public ArchiveDetailForm {
    Q_OBJECT
public:
    TfrmPagamentiDettaglio(Tform_DB& dm, Archivi& archivi, QWidget* parent = nullptr);

    void DBLookupComboBox3Click(); // an operation was chosen
};
