#pragma once

#include "app/archives/listform.h"

#include <QColor>
#include <QDate>
#include <QDialog>

class QPlainTextEdit;
class QPushButton;

// What the client list needs of the client record (built by the clients module).
class SchedaClienti {
public:
    virtual ~SchedaClienti() = default;
    // Points the record's per-client lists at the current client of Table1.
    virtual void caricaListe() = 0;
    // Shows the record modally on the current client; `nuovo` for a client just created.
    virtual int apri(bool nuovo) = 0;
};

// The colour of a client's row: grey when cancelled; otherwise aqua for a missing or expired
// medical certificate, overridden by fuchsia for an expired subscription, overridden by red
// for an expired enrolment; white when all is in order. An empty date counts as expired.
QColor coloreCliente(const db::Dataset& clients, int viewRow, const QDate& oggi);

// Deletes the current client of Table1 with its rows of the six child tables, in one
// transaction: a failure leaves the client and all its rows as they were.
void eliminaCliente(Tform_DB& dm);

// The e-mail addresses of the chosen clients, one per line, ready to be copied.
class TfrmIndirizziEmail : public QDialog {
    Q_OBJECT
public:
    explicit TfrmIndirizziEmail(QWidget* parent = nullptr);
    QPlainTextEdit* Memo1 = nullptr;
    void clear();
    void aggiungi(const QString& line);
    void CopiaClick(); // to the clipboard
};

// The client list: its own toolbar, colours, multi-row selection, four search boxes, and
// what it does to clients (create with defaults, delete with all that hangs on a client,
// e-mail addresses, vCard exchange).
class ClientiPanel : public ListPanel {
    Q_OBJECT
public:
    ClientiPanel(Tform_DB& dm, ListDescriptor descriptor);

    SchedaClienti* scheda = nullptr;
    TfrmIndirizziEmail* indirizzi = nullptr;
    // Set by the client record's "Annulla" around its delete: no question.
    bool EliminaSenzaChiedere = false;

    void btnRequeryClick();
    void SelezionaTutti1Click();
    void SelezionatutteleEmail1Click();
    void spdCopyEmailClick();
    void Contarecords1Click();
    void btEsportaVCardClick();
    void btImportaVCardClick();

protected:
    void inserisci() override;
    void elimina() override;
    void avanti() override;
    void aggiorna() override;
    void valoriPredefiniti() override;
};

class TfrmClienti : public ArchiveListForm {
    Q_OBJECT
public:
    explicit TfrmClienti(Tform_DB& dm, QWidget* parent = nullptr);
    ClientiPanel* clienti() const { return static_cast<ClientiPanel*>(panel()); }
};
