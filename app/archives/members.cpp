#include "app/archives/members.h"

#include "app/shell/form_db.h"
#include "common/text.h"

#include <QDate>

namespace {

const QString kDescrizione = QStringLiteral("Descrizione");
const QString kAvviso = QStringLiteral("Messaggio di Avviso");
const QString kErrore = QStringLiteral("Messaggio di errore");

SearchBox perDescrizione() { return {QStringLiteral("Edit1"), kDescrizione, kDescrizione}; }

FieldDefault valore(const QString& field, const QVariant& v) {
    return {field, [v] { return v; }};
}

FieldDefault oggi(const QString& field) {
    return {field, [] { return QVariant(QDate::currentDate()); }};
}

ui::GridColumn colonna(const QString& field, int width, const QString& title = QString()) {
    return {field, title.isEmpty() ? common::DidascaliaColonna(field) : title, width};
}

RequiredField descrizioneRichiesta(const QString& message, const QString& caption) {
    return {QStringLiteral("DBEdit1"), message, caption};
}

ListDescriptor lista(const char* objectName, const QString& caption,
                     int help, db::Dataset& query, const QString& gridName) {
    ListDescriptor d;
    d.objectName = QString::fromLatin1(objectName);
    d.caption = caption;
    d.helpContext = help;
    d.query = &query;
    d.gridName = gridName;
    d.boxes = {perDescrizione()};
    return d;
}

DetailDescriptor dettaglio(const char* objectName, const QString& caption,
                           int help, db::Dataset& query) {
    DetailDescriptor d;
    d.objectName = QString::fromLatin1(objectName);
    d.caption = caption;
    d.helpContext = help;
    d.query = &query;
    return d;
}

ListDescriptor alimenti(Tform_DB& dm) {
    ListDescriptor d = lista("frmAlimenti", QStringLiteral("Alimenti"), 205,
                             dm.TableAlimenti, QStringLiteral("frmAlimenti_Griglia"));
    for (const char* f : {"E%", "ACQ", "PRO", "GRA", "CAR", "FIB", "KC"})
        d.defaults << valore(QString::fromLatin1(f), 0);
    d.deleteQuestion = QStringLiteral("Sei sicuro di voler eliminare l'alimento?");
    d.columns = {colonna(kDescrizione, 274), colonna(QStringLiteral("KC"), 80, QStringLiteral("KCal per 100 gr")),
                 colonna(QStringLiteral("E%"), 60, QStringLiteral("% Edibile")),
                 colonna(QStringLiteral("ACQ"), 60, QStringLiteral("Acqua gr.")),
                 colonna(QStringLiteral("PRO"), 60, QStringLiteral("Proteine gr.")),
                 colonna(QStringLiteral("GRA"), 50, QStringLiteral("Grassi gr.")),
                 colonna(QStringLiteral("CAR"), 70, QStringLiteral("Carboidrati gr.")),
                 colonna(QStringLiteral("FIB"), 50, QStringLiteral("Fibra gr."))};
    d.pickable = true;
    return d;
}

DetailDescriptor alimentiDett(Tform_DB& dm) {
    DetailDescriptor d = dettaglio("frmAlimentiDett", QStringLiteral("Alimenti"),
                                   210, dm.TableAlimenti);
    d.fields = {campoDi(QStringLiteral("DBEdit1"), kDescrizione, kDescrizione),
                campoDi(QStringLiteral("DBEdit2"), QStringLiteral("KC"), QStringLiteral("KCal per 100 grammi"), DetailField::Edit, 0, 0, 120),
                campoDi(QStringLiteral("DBEdit3"), QStringLiteral("E%"), QStringLiteral("% Edibile"), DetailField::Edit, 0, 0, 120),
                campoDi(QStringLiteral("DBEdit4"), QStringLiteral("ACQ"), QStringLiteral("Acqua Grammi"), DetailField::Edit, 0, 0, 120),
                campoDi(QStringLiteral("DBEdit5"), QStringLiteral("PRO"), QStringLiteral("Proteine Grammi"), DetailField::Edit, 0, 0, 120),
                campoDi(QStringLiteral("DBEdit6"), QStringLiteral("GRA"), QStringLiteral("Grassi Grammi"), DetailField::Edit, 0, 0, 120),
                campoDi(QStringLiteral("DBEdit7"), QStringLiteral("CAR"), QStringLiteral("Carboidrati Grammi"), DetailField::Edit, 0, 0, 120),
                campoDi(QStringLiteral("DBEdit8"), QStringLiteral("FIB"), QStringLiteral("Fibra Grammi"), DetailField::Edit, 0, 0, 120)};
    d.required = {descrizioneRichiesta(QStringLiteral("Attenzione manca la Descrizione"), kAvviso),
                  {QStringLiteral("DBEdit2"), QStringLiteral("Attenzione mancano le KCalorie"), kAvviso}};
    return d;
}

ListDescriptor esercizi(Tform_DB& dm) {
    ListDescriptor d = lista("frmEsercizi", QStringLiteral("Esercizi"), 250,
                             dm.TableEsercizi, QStringLiteral("frmEsercizi_Griglia"));
    d.defaults = {valore(QStringLiteral("GruppoMuscolare_ID"), 0)};
    d.deleteQuestion = QStringLiteral("Sei Sicuro di voler eliminare l'esercizio?");
    d.columns = {colonna(kDescrizione, 274), colonna(QStringLiteral("ModalitaUso"), 520, QStringLiteral("Istruzioni"))};
    d.pickable = true;
    d.addShowsAnnulla = false;
    return d;
}

ListDescriptor patologie(Tform_DB& dm) {
    ListDescriptor d = lista("frmPatologie", QStringLiteral("Patologie"), 280,
                             dm.TablePatologie, QStringLiteral("frmPatologie_Griglia"));
    d.blankDescription = true;
    d.deleteQuestion = QStringLiteral("Sei Sicuro di voler eliminare La patologia?");
    d.columns = {colonna(kDescrizione, 274), colonna(QStringLiteral("Cura"), 520)};
    d.pickable = true;
    return d;
}

DetailDescriptor patologieDett(Tform_DB& dm) {
    DetailDescriptor d = dettaglio("frmPatologieDett", QStringLiteral("Patologie"),
                                   285, dm.TablePatologie);
    d.fields = {campoDi(QStringLiteral("DBEdit1"), kDescrizione, kDescrizione),
                campoDi(QStringLiteral("DBEdit2"), QStringLiteral("Cura"), QStringLiteral("Cura"), DetailField::Memo)};
    d.required = {descrizioneRichiesta(QStringLiteral("Attenzione manca la descrizione"), kErrore)};
    return d;
}

ListDescriptor gruppiMuscolari(Tform_DB& dm) {
    ListDescriptor d = lista("frmGruppiMuscolari", QStringLiteral("Gruppi Muscolari"),
                             810, dm.TableGruppiMuscolari, QStringLiteral("frmGruppiMuscolari_Griglia"));
    d.blankDescription = true;
    d.deleteQuestion = QStringLiteral("Sei Sicuro di voler eliminare il gruppo muscolare?");
    d.columns = {colonna(kDescrizione, 274)};
    d.layoutMenu = false;
    d.helpButton = QStringLiteral("SpeedButton2");
    return d;
}

DetailDescriptor gruppiMuscolariDett(Tform_DB& dm) {
    DetailDescriptor d = dettaglio("frmGruppiMuscolariDett",
                                   QStringLiteral("gruppi Muscolari"), 820, dm.TableGruppiMuscolari);
    d.fields = {campoDi(QStringLiteral("DBEdit1"), kDescrizione, kDescrizione)};
    d.required = {descrizioneRichiesta(QStringLiteral("Attenzione manca la descrizione"), kErrore)};
    return d;
}

ListDescriptor gruppiSportivi(Tform_DB& dm) {
    ListDescriptor d = lista("frmGrigliaGruppiSportivi",
                             QStringLiteral("Gruppi Sportivi"), 830, dm.TableGruppoSportivo,
                             QStringLiteral("frmGrigliaGruppiSportivi"));
    d.blankDescription = true;
    d.deleteQuestion = QStringLiteral("Sei Sicuro di voler eliminare il gruppo sportivo?");
    d.columns = {colonna(kDescrizione, 274)};
    d.layoutMenu = false;
    d.titleSort = false;
    return d;
}

DetailDescriptor gruppoSportivo(Tform_DB& dm) {
    DetailDescriptor d = dettaglio("frmGruppoSportivo", QStringLiteral("Gruppo Sportivo"),
                                   840, dm.TableGruppoSportivo);
    d.fields = {campoDi(QStringLiteral("DBEdit1"), kDescrizione, kDescrizione)};
    d.required = {descrizioneRichiesta(QStringLiteral("Attenzione manca la Descrizione"), kAvviso)};
    return d;
}

ListDescriptor stagioni(Tform_DB& dm) {
    ListDescriptor d = lista("frmGrigliaStagioni", QStringLiteral("Stagioni"), 890,
                             dm.TableStagione, QStringLiteral("frmGrigliaStagioni"));
    d.defaults = {oggi(QStringLiteral("DallaData")), oggi(QStringLiteral("AllaData"))};
    d.deleteQuestion = QStringLiteral("Sei sicuro di voler eliminare la Stagione?");
    d.columns = {colonna(kDescrizione, 274), colonna(QStringLiteral("DallaData"), 90),
                 colonna(QStringLiteral("AllaData"), 90)};
    return d;
}

DetailDescriptor stagione(Tform_DB& dm) {
    DetailDescriptor d = dettaglio("frmStagione", QStringLiteral("Stagione"), 900,
                                   dm.TableStagione);
    d.fields = {campoDi(QStringLiteral("DBEdit1"), kDescrizione, kDescrizione),
                campoDi(QStringLiteral("DBEdit2"), QStringLiteral("DallaData"), QStringLiteral("Dalla data"), DetailField::Edit, 0, 0, 110),
                campoDi(QStringLiteral("DBEdit3"), QStringLiteral("AllaData"), QStringLiteral("Alla data"), DetailField::Edit, 0, 0, 110)};
    d.required = {descrizioneRichiesta(QStringLiteral("Attenzione manca la Descrizione"), kAvviso)};
    return d;
}

ListDescriptor modPagam(Tform_DB& dm) {
    ListDescriptor d = lista("frmModPagam", QStringLiteral("Modalità di Pagamento"), 260,
                             dm.TableModPaga, QStringLiteral("frmModPagam_Griglia"));
    d.blankDescription = true;
    d.deleteQuestion = QStringLiteral("Sei sicuro di voler eliminare la modalità di pagamento?");
    d.columns = {colonna(kDescrizione, 274)};
    d.layoutMenu = false;
    d.addSetsModified = false;
    return d;
}

DetailDescriptor modPagamDett(Tform_DB& dm) {
    DetailDescriptor d = dettaglio("frmModPagamDett", QStringLiteral("Modalità di Pagamento"),
                                   265, dm.TableModPaga);
    d.fields = {campoDi(QStringLiteral("DBEdit1"), kDescrizione, kDescrizione)};
    d.required = {descrizioneRichiesta(QStringLiteral("Attenzione manca la Descrizione"), kErrore)};
    return d;
}

ListDescriptor tipoAbbonamenti(Tform_DB& dm) {
    ListDescriptor d = lista("frmGrigliaTipoAbbonamenti",
                             QStringLiteral("Tipo Abbonamenti"), 910, dm.TableTipoPagamenti,
                             QStringLiteral("frmGrigliaTipoAbbonamenti"));
    d.defaults = {valore(QStringLiteral("ScadenzaMesi"), 0)};
    d.deleteQuestion = QStringLiteral("Sei sicuro di voler eliminare il Pagamento?");
    d.columns = {colonna(kDescrizione, 274), colonna(QStringLiteral("ScadenzaMesi"), 80, QStringLiteral("n° Scadenze"))};
    return d;
}

DetailDescriptor tipoPagamenti(Tform_DB& dm) {
    DetailDescriptor d = dettaglio("frmTipoPagamenti", QStringLiteral("Tipo Abbonamenti"),
                                   920, dm.TableTipoPagamenti);
    d.fields = {campoDi(QStringLiteral("DBEdit1"), kDescrizione, kDescrizione),
                campoDi(QStringLiteral("DBEdit2"), QStringLiteral("ScadenzaMesi"),
                      QStringLiteral("numero di mesi  in scadenza"), DetailField::Edit, 0, 0, 80)};
    d.required = {descrizioneRichiesta(QStringLiteral("Attenzione manca la Descrizione"), kAvviso)};
    return d;
}

ListDescriptor operazioni(Tform_DB& dm) {
    ListDescriptor d = lista("frmGrigliaOperazionePagamenti",
                             QStringLiteral("Operazione Pagamenti"), 870, dm.TableOperazionePagamenti,
                             QStringLiteral("frmGrigliaOperazionePagamenti"));
    SearchBox importo{QStringLiteral("Edit2"), QStringLiteral("Importo"), QStringLiteral("Importo")};
    importo.kind = SearchBox::Number;
    importo.refilters = false; // read at the next change of the description box
    d.boxes << importo;
    d.defaults = {valore(QStringLiteral("Importo"), 0)};
    d.deleteQuestion = QStringLiteral("Sei Sicuro di voler eliminare l' Operazione di Pagamento ?");
    d.columns = {colonna(kDescrizione, 274), colonna(QStringLiteral("Importo"), 90)};
    return d;
}

DetailDescriptor operazione(Tform_DB& dm) {
    DetailDescriptor d = dettaglio("frmOperazionePagamenti",
                                   QStringLiteral("Operazione Pagamenti"), 880, dm.TableOperazionePagamenti);
    DetailField importo = campoDi(QStringLiteral("DBEdit3"), QStringLiteral("Importo"), QStringLiteral("Importo"), DetailField::Edit, 0, 0, 120);
    importo.kind = DetailField::Amount;
    d.fields = {campoDi(QStringLiteral("DBEdit1"), kDescrizione, kDescrizione), importo};
    d.required = {descrizioneRichiesta(QStringLiteral("Attenzione manca la Descrizione"), kAvviso),
                  {QStringLiteral("DBEdit3"), QStringLiteral("Attenzione manca l'Importo"), kAvviso}};
    return d;
}

} // namespace

TfrmAlimenti::TfrmAlimenti(Tform_DB& dm, QWidget* parent) : ArchiveListForm(dm, alimenti(dm), parent) {}
TfrmAlimentiDett::TfrmAlimentiDett(Tform_DB& dm, QWidget* parent)
    : ArchiveDetailForm(dm, alimentiDett(dm), parent) {}
TfrmEsercizi::TfrmEsercizi(Tform_DB& dm, QWidget* parent) : ArchiveListForm(dm, esercizi(dm), parent) {}
TfrmPatologie::TfrmPatologie(Tform_DB& dm, QWidget* parent) : ArchiveListForm(dm, patologie(dm), parent) {}
TfrmPatologieDett::TfrmPatologieDett(Tform_DB& dm, QWidget* parent)
    : ArchiveDetailForm(dm, patologieDett(dm), parent) {}
TfrmGruppiMuscolari::TfrmGruppiMuscolari(Tform_DB& dm, QWidget* parent)
    : ArchiveListForm(dm, gruppiMuscolari(dm), parent) {}
TfrmGruppiMuscolariDett::TfrmGruppiMuscolariDett(Tform_DB& dm, QWidget* parent)
    : ArchiveDetailForm(dm, gruppiMuscolariDett(dm), parent) {}
TfrmGrigliaGruppiSportivi::TfrmGrigliaGruppiSportivi(Tform_DB& dm, QWidget* parent)
    : ArchiveListForm(dm, gruppiSportivi(dm), parent) {}
TfrmGruppoSportivo::TfrmGruppoSportivo(Tform_DB& dm, QWidget* parent)
    : ArchiveDetailForm(dm, gruppoSportivo(dm), parent) {}
TfrmGrigliaStagioni::TfrmGrigliaStagioni(Tform_DB& dm, QWidget* parent)
    : ArchiveListForm(dm, stagioni(dm), parent) {}
TfrmStagione::TfrmStagione(Tform_DB& dm, QWidget* parent) : ArchiveDetailForm(dm, stagione(dm), parent) {}
TfrmModPagam::TfrmModPagam(Tform_DB& dm, QWidget* parent) : ArchiveListForm(dm, modPagam(dm), parent) {}
TfrmModPagamDett::TfrmModPagamDett(Tform_DB& dm, QWidget* parent)
    : ArchiveDetailForm(dm, modPagamDett(dm), parent) {}
TfrmGrigliaTipoAbbonamenti::TfrmGrigliaTipoAbbonamenti(Tform_DB& dm, QWidget* parent)
    : ArchiveListForm(dm, tipoAbbonamenti(dm), parent) {}
TfrmTipoPagamenti::TfrmTipoPagamenti(Tform_DB& dm, QWidget* parent)
    : ArchiveDetailForm(dm, tipoPagamenti(dm), parent) {}
TfrmGrigliaOperazionePagamenti::TfrmGrigliaOperazionePagamenti(Tform_DB& dm, QWidget* parent)
    : ArchiveListForm(dm, operazioni(dm), parent) {}
TfrmOperazionePagamenti::TfrmOperazionePagamenti(Tform_DB& dm, QWidget* parent)
    : ArchiveDetailForm(dm, operazione(dm), parent) {}
