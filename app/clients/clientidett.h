#pragma once

#include "app/archives/clienti.h"
#include "app/archives/detailform.h"

#include <QLabel>
#include <memory>
#include <vector>

namespace db {
class DetailLink;
}
struct Archivi;
struct Orari;
class TabCliente;

// The client record: every column of the client on eight tabs, the look-ups with their
// "show" and "add" buttons, the postcode finder, the tax code, the payer of a minor's
// receipts. It edits the current row of Table1; saving recomposes the names shown in lists
// and documents and renames the client in the attendance calendar in the same transaction.
class TfrmClientiDett : public ArchiveDetailForm, public SchedaClienti {
    Q_OBJECT
public:
    TfrmClientiDett(Tform_DB& dm, Archivi& archivi, const Orari& corsi, ClientiPanel* lista,
                    QWidget* parent = nullptr);
    ~TfrmClientiDett() override;

    // Set by typing into surname, name, birth date or tax code: the save recomposes the two
    // name columns and renames the client in the calendar.
    bool NomeCambiato = false;

    void caricaListe() override;
    int apri(bool nuovo) override;

    void Button5Click();      // "crea": the tax code
    void spdTrovaClick();     // the postcode of the town of residence
    void spdStampaSchedaClick();
    void spdStampaClick();
    void DBEdit13Exit();      // the duplicate tax-code warning
    void Button6Click();      // "Trova": the photo file
    void mostraFoto();        // the photo of the path kept, or the message that it is gone
    void aggiornaTotaleDieta();

    TabCliente* esercizi = nullptr;
    TabCliente* dieta = nullptr;
    TabCliente* patologie = nullptr;
    TabCliente* orari = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* lblTotaleDieta = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void salva() override;
    void salvaFigli() override;
    void salvato() override;
    void annulla() override;
    void controlloModificato(QWidget* control) override;
    bool cambioPagina(int index) override;

private:
    void stampa(int report);
    void avvisaDuplicato(const QString& codice, const QString& caption);
    void collegaRiferimento(const char* show, const char* add, ArchiveListForm* list,
                            ArchiveDetailForm* detail, const char* keyField, const char* byField);
    void comuneScelto(const char* cap, const char* provincia);

    Archivi& m_archivi;
    ClientiPanel* m_lista;
    std::vector<std::unique_ptr<db::DetailLink>> m_links;
    bool m_calendario = false; // the save being made renames the client in the calendar
};
