#include "app/archives/install.h"

#include "app/archives/clienti.h"
#include "app/archives/comuni.h"
#include "app/archives/esercizi.h"
#include "app/archives/members.h"
#include "app/shell/form1.h"
#include "app/shell/form_db.h"
#include "db/dataset.h"

Archivi& archivi() {
    static Archivi instances;
    return instances;
}

Archivi creaArchivi(Tform_DB& dm, QWidget* parent) {
    Archivi a;
    // In the program's order of creation.
    a.frmClienti = new TfrmClienti(dm, parent);
    a.frmModPagamDett = new TfrmModPagamDett(dm, parent);
    a.frmModPagam = new TfrmModPagam(dm, parent);
    a.frmGruppiMuscolariDett = new TfrmGruppiMuscolariDett(dm, parent);
    a.frmEsercizi = new TfrmEsercizi(dm, parent);
    a.frmEserciziDett = new TfrmEserciziDett(dm, a.frmGruppiMuscolariDett, parent);
    a.frmAlimenti = new TfrmAlimenti(dm, parent);
    a.frmAlimentiDett = new TfrmAlimentiDett(dm, parent);
    a.frmPatologie = new TfrmPatologie(dm, parent);
    a.frmPatologieDett = new TfrmPatologieDett(dm, parent);
    a.frmGruppiMuscolari = new TfrmGruppiMuscolari(dm, parent);
    a.frmGruppoSportivo = new TfrmGruppoSportivo(dm, parent);
    a.frmStagione = new TfrmStagione(dm, parent);
    a.frmOperazionePagamenti = new TfrmOperazionePagamenti(dm, parent);
    a.frmTipoPagamenti = new TfrmTipoPagamenti(dm, parent);
    a.frmGrigliaComuni = new TfrmGrigliaComuni(dm, parent);
    a.frmComuniDettaglio = new TfrmComuniDettaglio(dm, parent);
    a.frmGrigliaGruppiSportivi = new TfrmGrigliaGruppiSportivi(dm, parent);
    a.frmGrigliaOperazionePagamenti = new TfrmGrigliaOperazionePagamenti(dm, parent);
    a.frmGrigliaStagioni = new TfrmGrigliaStagioni(dm, parent);
    a.frmGrigliaTipoAbbonamenti = new TfrmGrigliaTipoAbbonamenti(dm, parent);
    a.frmIndirizziEmail = new TfrmIndirizziEmail(parent);
    a.frmTrovaCap = new TfrmTrovaCap(dm, parent);
    a.frmClienti->clienti()->indirizzi = a.frmIndirizziEmail;

    a.frmModPagam->setDetail(a.frmModPagamDett);
    a.frmEsercizi->setDetail(a.frmEserciziDett);
    a.frmAlimenti->setDetail(a.frmAlimentiDett);
    a.frmPatologie->setDetail(a.frmPatologieDett);
    a.frmGruppiMuscolari->setDetail(a.frmGruppiMuscolariDett);
    a.frmGrigliaGruppiSportivi->setDetail(a.frmGruppoSportivo);
    a.frmGrigliaStagioni->setDetail(a.frmStagione);
    a.frmGrigliaTipoAbbonamenti->setDetail(a.frmTipoPagamenti);
    a.frmGrigliaOperazionePagamenti->setDetail(a.frmOperazionePagamenti);
    a.frmGrigliaComuni->setDetail(a.frmComuniDettaglio);
    return a;
}

namespace {

// How a button of the "Archivio  " tab treats its window's shared query.
struct Pulsante {
    const char* name;
    ArchiveListForm* form;
    bool filtro;       // clears the shared query's filter before and after
    bool svuotaRicerca; // empties the search boxes after closing
};

} // namespace

void installArchives(TForm1& form1, Tform_DB& dm) {
    Archivi& a = archivi();
    a = creaArchivi(dm, &form1);

    const Pulsante pulsanti[] = {
        {"btnModalitaPagamento", a.frmModPagam, true, true},
        {"btnComuni", a.frmGrigliaComuni, false, false},
        {"btnGruppiMuscolari", a.frmGruppiMuscolari, true, false},
        {"btnGruppiSportivi", a.frmGrigliaGruppiSportivi, true, false},
        {"btnOperazioniPagamenti", a.frmGrigliaOperazionePagamenti, true, false},
        {"btnStagioni", a.frmGrigliaStagioni, true, false},
        {"btnTipoAbbonamento", a.frmGrigliaTipoAbbonamenti, true, false},
        {"btnEsercizi", a.frmEsercizi, false, false},
        {"btnAlimenti", a.frmAlimenti, false, false},
        {"btnPatologie", a.frmPatologie, false, false},
    };
    for (const Pulsante& p : pulsanti) {
        QPointer<ArchiveListForm> form = p.form;
        form1.wire(QString::fromLatin1(p.name), [form, filtro = p.filtro, svuota = p.svuotaRicerca] {
            if (!form) return;
            db::Dataset& q = form->query();
            form->panel()->scelta = false;
            if (filtro) q.setFilter(QString());
            form->mostra();
            if (filtro) q.setFilter(QString());
            if (svuota) form->panel()->svuotaRicerca();
        });
    }
}
