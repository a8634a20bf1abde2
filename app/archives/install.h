#pragma once

#include <QPointer>

class QWidget;
class TForm1;
class Tform_DB;
class TfrmAlimenti;
class TfrmAlimentiDett;
class TfrmEsercizi;
class TfrmEserciziDett;
class TfrmPatologie;
class TfrmPatologieDett;
class TfrmGruppiMuscolari;
class TfrmGruppiMuscolariDett;
class TfrmGrigliaGruppiSportivi;
class TfrmGruppoSportivo;
class TfrmGrigliaStagioni;
class TfrmStagione;
class TfrmModPagam;
class TfrmModPagamDett;
class TfrmGrigliaTipoAbbonamenti;
class TfrmTipoPagamenti;
class TfrmGrigliaOperazionePagamenti;
class TfrmOperazionePagamenti;
class TfrmGrigliaComuni;
class TfrmComuniDettaglio;
class TfrmTrovaCap;
class TfrmClienti;
class TfrmIndirizziEmail;

// The single instances of the registers' windows, for the windows that use them as pickers
// (the client record: foods, exercises, pathologies, the postcode finder).
struct Archivi {
    QPointer<TfrmClienti> frmClienti;
    QPointer<TfrmIndirizziEmail> frmIndirizziEmail;
    QPointer<TfrmModPagamDett> frmModPagamDett;
    QPointer<TfrmModPagam> frmModPagam;
    QPointer<TfrmGruppiMuscolariDett> frmGruppiMuscolariDett;
    QPointer<TfrmEsercizi> frmEsercizi;
    QPointer<TfrmEserciziDett> frmEserciziDett;
    QPointer<TfrmAlimenti> frmAlimenti;
    QPointer<TfrmAlimentiDett> frmAlimentiDett;
    QPointer<TfrmPatologie> frmPatologie;
    QPointer<TfrmPatologieDett> frmPatologieDett;
    QPointer<TfrmGruppiMuscolari> frmGruppiMuscolari;
    QPointer<TfrmGruppoSportivo> frmGruppoSportivo;
    QPointer<TfrmStagione> frmStagione;
    QPointer<TfrmOperazionePagamenti> frmOperazionePagamenti;
    QPointer<TfrmTipoPagamenti> frmTipoPagamenti;
    QPointer<TfrmGrigliaComuni> frmGrigliaComuni;
    QPointer<TfrmComuniDettaglio> frmComuniDettaglio;
    QPointer<TfrmGrigliaGruppiSportivi> frmGrigliaGruppiSportivi;
    QPointer<TfrmGrigliaOperazionePagamenti> frmGrigliaOperazionePagamenti;
    QPointer<TfrmGrigliaStagioni> frmGrigliaStagioni;
    QPointer<TfrmGrigliaTipoAbbonamenti> frmGrigliaTipoAbbonamenti;
    QPointer<TfrmTrovaCap> frmTrovaCap;
};

// The instances created by the last installArchives().
Archivi& archivi();

// Creates every register window once (children of the main window, so they live for the
// run), registers their grids for the start-up layout pass, and wires the buttons of the
// main window's "Archivio  " tab.
void installArchives(TForm1& form1, Tform_DB& dm);

// The same windows without the main window (tests, tools): created as children of
// `parent` and linked to one another; grids registered in dm.griglie.
Archivi creaArchivi(Tform_DB& dm, QWidget* parent);
