#include "app/clients/clientidett.h"

#include "app/archives/comuni.h"
#include "app/archives/install.h"
#include "app/archives/members.h"
#include "app/clients/tabcliente.h"
#include "app/payments/tabpagamenti.h"
#include "app/shell/form_db.h"
#include "app/timetable/install.h"
#include "app/timetable/orari.h"
#include "common/codicefiscale.h"
#include "common/controls/dbedits.h"
#include "common/controls/dialogs.h"
#include "common/records.h"
#include "common/scadenze.h"
#include "common/text.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/detaillink.h"

#include <QEvent>
#include <QFileInfo>
#include <QImage>
#include <QPixmap>
#include <QVBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

namespace {

const QString kId = QStringLiteral("Id");
const QString kErrore = QStringLiteral("Messaggio di errore");

using K = DetailField::Kind;

DetailField sesso(const char* control, const char* field, int page, int column) {
    DetailField f = campoDi(control, field, QStringLiteral("sesso"), K::List, page, column, 60);
    f.items = {QStringLiteral("M"), QStringLiteral("F")};
    return f;
}

DetailField conPulsante(DetailField f, const char* button, const char* caption) {
    f.button = QString::fromLatin1(button);
    f.buttonCaption = QString::fromUtf8(caption);
    return f;
}

DetailDescriptor scheda(Tform_DB& dm) {
    DetailDescriptor d;
    d.objectName = QStringLiteral("frmClientiDett");
    d.caption = QStringLiteral("Archivio Clienti");
    d.helpContext = 230;
    d.query = &dm.Table1;
    d.key = kId;
    d.pages = {QStringLiteral("  Generale  "),  QStringLiteral("  Foto tessera  "), QStringLiteral("  Orari attività  "),
               QStringLiteral("  Esercizi  "),  QStringLiteral("  Pagamenti  "),    QStringLiteral("  Dieta  "),
               QStringLiteral("  Patologie  "), QStringLiteral("  Dati quietanze  ")};
    d.fields = {
        campoDi("DBEdit1", "Cognome", "cognome"),
        campoDi("DBEdit20", "Nome", "nome"),
        campoDi("DBEdit2", "Datanascita", "nato il", K::Date),
        sceltaDi("DBLookupComboBox2", "Nato_a", "nato a", dm.Table7, "Comune", "Comune", 0, 0, "SpeedButton14", "SpeedButton13"),
        conPulsante(campoDi("DBEdit13", "Codfiscale", "codice fiscale", K::Edit, 0, 0, 180), "Button5", "crea"),
        sesso("DBComboBox1", "Sesso", 0, 0),
        sceltaDi("DBLookupComboBox1", "Citta", "residente in:", dm.Table7, "Comune", "Comune", 0, 0),
        conPulsante(campoDi("DBEdit4", "Cap", "cap", K::Edit, 0, 0, 80), "spdTrova", "Trova"),
        campoDi("DBEdit22", "Provincia", "prov", K::Edit, 0, 0, 50),
        campoDi("DBEdit6", "Via", "Indirizzo"),
        campoDi("DBEdit17", "Numero_civico", "n°", K::Edit, 0, 0, 80),
        campoDi("DBEdit7", "Tel", "telefono"),
        campoDi("DBEdit9", "Cell", "cellulare"),
        campoDi("DBEdit8", "Fax", "fax"),
        campoDi("DBEdit10", "E_mail", "e-mail"),
        campoDi("DBEdit25", "Skype", "Skype"),
        campoDi("DBEdit5", "Note", "Note"),
        campoDi("DBEdit3", "DataInserimento", "Data Iscrizione", K::Date, 0, 1),
        campoDi("DBEdit11", "Tessera", "Tessera", K::Edit, 0, 1, 110),
        campoDi("DBEdit24", "DataScadenzaAbbonamento", "Scadenza Iscrizione", K::Date, 0, 1),
        sceltaDi("DBLookupComboBox8", "TipoPagamento_ID", "Tipo Abbonamento", dm.TableTipoPagamenti, "Id", "Descrizione",
               0, 1, "SpeedButton16", "SpeedButton15"),
        campoDi("DBEdit19", "ScadenzaPagamento", "Scadenza Abbonamento", K::Date, 0, 1),
        sceltaDi("DBLookupComboBox5", "ModPagamento_Id", "Modalità di pagamento", dm.TableModPaga, "Id", "Descrizione",
               0, 1, "SpeedButton20", "SpeedButton19"),
        sceltaDi("DBLookupComboBox7", "GruppoSportivo_ID", "Gruppo Sportivo", dm.TableGruppoSportivo, "ID",
               "Descrizione", 0, 1, "SpeedButton1", "SpeedButton12"),
        sceltaDi("DBLookupComboBox6", "Stagione_ID", "Stagione", dm.TableStagione, "ID", "Descrizione", 0, 1,
               "SpeedButton22", "SpeedButton21"),
        sceltaDi("DBLookupComboBox3", "Istruttore_ID", "Istruttore", dm.Table3, "ID", "Cognome", 0, 1, "SpeedButton18",
               "SpeedButton17"),
        campoDi("DBCheckBox2", "Certificato_med", "Ha presentato il certificato medico", K::Check, 0, 1),
        campoDi("DBEdit21", "Scadenza_cert_medico", "scadenza certificato medico", K::Date, 0, 1),
        campoDi("DBCheckBox3", "Omaggi", "Omaggi", K::Check, 0, 1),
        campoDi("DBCheckBox4", "PrivacyFirmata", "Consenso Privacy", K::Check, 0, 1),
        campoDi("DBCheckBox1", "Annullato", "Annullato", K::Check, 0, 1),
        campoDi("DBEdit23", "Immagine", "Percorso", K::Edit, 1),
        campoDi("DBEdit32", "Quietanza_Cognome", "cognome", K::Edit, 7),
        campoDi("DBEdit31", "Quietanza_Nome", "nome", K::Edit, 7),
        campoDi("DBEdit30", "Quietanza_Datanascita", "nato il", K::Date, 7),
        sceltaDi("DBLookupComboBox10", "Quietanza_Nato_a", "nato a", dm.Table7, "Comune", "Comune", 7, 0),
        sesso("DBComboBox2", "Quietanza_Sesso", 7, 0),
        campoDi("DBEdit26", "Quietanza_CodiceFiscale", "codice fiscale", K::Edit, 7, 0, 180),
        campoDi("DBEdit33", "Quietanza_PIva", "partita iva", K::Edit, 7, 0, 140),
        sceltaDi("DBLookupComboBox9", "Quietanza_Residente", "residente in:", dm.Table7, "Comune", "Comune", 7, 0),
        campoDi("DBEdit28", "Quietanza_Residente_cap", "cap", K::Edit, 7, 0, 80),
        campoDi("DBEdit29", "Quietanza_Residente_Prov", "prov", K::Edit, 7, 0, 50),
    };
    d.required = {{"DBEdit1", "Attenzione manca il cognome", kErrore},
                  {"DBEdit20", "Attenzione manca il Nome", kErrore},
                  {"DBEdit24", "Attenzione manca la Scadenza Iscrizione", kErrore},
                  {"DBLookupComboBox7", "Attenzione manca il gruppo Sportivo", kErrore},
                  {"DBLookupComboBox1", "Attenzione manca la Residenza", kErrore},
                  {"DBComboBox1", "Attenzione manca il Sesso", kErrore},
                  {"DBLookupComboBox6", "Attenzione manca la Stagione", kErrore}};
    return d;
}

// The per-client lists of the tabs, read for the client shown.
const char* const kEsercizi = "select * from ClienteEsercizi where Cliente_ID = %1";
const char* const kOrari =
    "SELECT orari.Specialita, orari.Giorno,orari.corso, anagraficapersonale.Cognome AS Istruttore, ClienteOrari.ID, "
    "ClienteOrari.Cliente_ID, ClienteOrari.Orario_ID, ClienteOrari.OrarioInizio, ClienteOrari.OrarioFine FROM "
    "(ClienteOrari INNER JOIN orari ON ClienteOrari.Orario_ID = orari.Id) LEFT JOIN anagraficapersonale ON "
    "orari.Istruttore_ID = anagraficapersonale.ID where ClienteOrari.Cliente_ID = %1 Order by orari.Giorno, "
    "ClienteOrari.OrarioInizio ";
const char* const kDieta =
    "SELECT Pasti.Descrizione, Alimenti.Descrizione, ClienteDieta.* FROM (ClienteDieta LEFT JOIN Pasti ON "
    "ClienteDieta.ID_pasto = Pasti.ID) INNER JOIN Alimenti ON ClienteDieta.ID_Alimento = Alimenti.ID  where "
    "Cliente_ID = %1 ORDER BY Pasti.Ora, Alimenti.Descrizione";
const char* const kPatologie =
    "SELECT Patologie.Descrizione, Patologie.Cura, ClientePatologia.* FROM ClientePatologia INNER JOIN Patologie ON "
    "ClientePatologia.Patologia_ID = Patologie.ID where Cliente_ID = %1 ORDER BY Patologie.Descrizione";

} // namespace

TfrmClientiDett::TfrmClientiDett(Tform_DB& dm, Archivi& archivi, const Orari& corsi, ClientiPanel* lista,
                                 QWidget* parent)
    : ArchiveDetailForm(dm, scheda(dm), parent), m_archivi(archivi), m_lista(lista) {
    auto perCliente = [](const char* sql) { return [sql](long long id) { return QString::fromLatin1(sql).arg(id); }; };
    db::Dataset& clients = dm.Table1;
    m_links.push_back(std::make_unique<db::DetailLink>(clients, kId, dm.TableClienteEsercizi, perCliente(kEsercizi)));
    m_links.push_back(std::make_unique<db::DetailLink>(clients, kId, dm.TableClienteOrari, perCliente(kOrari)));
    m_links.push_back(std::make_unique<db::DetailLink>(clients, kId, dm.TableClienteDieta, perCliente(kDieta)));
    m_links.push_back(std::make_unique<db::DetailLink>(clients, kId, dm.TableClientePatologie, perCliente(kPatologie)));
    m_links.push_back(std::make_unique<db::DetailLink>(clients, kId, dm.TablePagamenti, QStringLiteral("Cliente_ID")));

    connect(aggiungiPulsante(QStringLiteral("spdStampaScheda"), QStringLiteral("Stampa scheda cliente"),
                             QStringLiteral("stampa scheda del cliente")),
            &QToolButton::clicked, this, [this] { spdStampaSchedaClick(); });
    connect(aggiungiPulsante(QStringLiteral("spdStampa"), QStringLiteral("Stampa privacy"), QStringLiteral("stampa Privacy")),
            &QToolButton::clicked, this, [this] { spdStampaClick(); });
    connect(findChild<QPushButton*>(QStringLiteral("Button5")), &QPushButton::clicked, this, [this] { Button5Click(); });
    connect(findChild<QPushButton*>(QStringLiteral("spdTrova")), &QPushButton::clicked, this, [this] { spdTrovaClick(); });
    control(QStringLiteral("DBEdit13"))->installEventFilter(this);

    auto lookup = [this](const char* name) { return static_cast<ui::DBLookupComboBox*>(control(QString::fromLatin1(name))); };
    connect(lookup("DBLookupComboBox1"), &ui::DBLookupComboBox::choiceMade, this,
            [this] { comuneScelto("Cap", "Provincia"); });
    connect(lookup("DBLookupComboBox9"), &ui::DBLookupComboBox::choiceMade, this,
            [this] { comuneScelto("Quietanza_Residente_cap", "Quietanza_Residente_Prov"); });
    connect(lookup("DBLookupComboBox8"), &ui::DBLookupComboBox::choiceMade, this, [this] {
        const QVariant mesi = m_dm.TableTipoPagamenti.value(QStringLiteral("ScadenzaMesi"));
        if (query().isNull(QStringLiteral("TipoPagamento_ID"))) return;
        if (const auto scadenza = common::ScadenzaAbbonamento(QDate::currentDate(), mesi))
            query().setValue(QStringLiteral("ScadenzaPagamento"), *scadenza);
    });

    collegaRiferimento("SpeedButton1", "SpeedButton12", archivi.frmGrigliaGruppiSportivi, archivi.frmGruppoSportivo,
                       "ID", "GruppoSportivo_ID");
    collegaRiferimento("SpeedButton14", "SpeedButton13", archivi.frmGrigliaComuni, archivi.frmComuniDettaglio,
                       "Comune", "Nato_a");
    collegaRiferimento("SpeedButton16", "SpeedButton15", archivi.frmGrigliaTipoAbbonamenti, archivi.frmTipoPagamenti,
                       "Id", "TipoPagamento_ID");
    collegaRiferimento("SpeedButton20", "SpeedButton19", archivi.frmModPagam, archivi.frmModPagamDett, "Id",
                       "ModPagamento_Id");
    collegaRiferimento("SpeedButton22", "SpeedButton21", archivi.frmGrigliaStagioni, archivi.frmStagione, "ID",
                       "Stagione_ID");
    orari = tabOrari(dm, corsi.frmOrari, pagina(2));
    esercizi = tabEsercizi(dm, archivi.frmEsercizi, pagina(3));
    dieta = tabDieta(dm, archivi.frmAlimenti, pagina(5));
    patologie = tabPatologie(dm, archivi.frmPatologie, pagina(6));
    tabPagamenti(dm, pagina(4));
    lblTotaleDieta = new QLabel(QStringLiteral("Totale : "), pagina(5));
    lblTotaleDieta->setObjectName(QStringLiteral("lblTotaleDieta"));
    pagina(5)->layout()->addWidget(lblTotaleDieta);
    dieta->dopoModifica = [this] {
        aggiornaTotaleDieta();
        m_dm.TableClienteDieta.requery();
    };
    auto* foto = static_cast<QVBoxLayout*>(pagina(1)->layout());
    Image1 = new QLabel(pagina(1));
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setMinimumSize(240, 300);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* trova = new QPushButton(QStringLiteral("Trova"), pagina(1));
    trova->setObjectName(QStringLiteral("Button6"));
    trova->setFocusPolicy(Qt::NoFocus);
    foto->insertWidget(1, trova, 0, Qt::AlignLeft);
    foto->insertWidget(2, Image1, 1);
    connect(trova, &QPushButton::clicked, this, [this] { Button6Click(); });

    // The staff register comes with the staff windows: until then its buttons stay off.
    for (const char* b : {"SpeedButton18", "SpeedButton17"})
        if (auto* button = findChild<QToolButton*>(QString::fromLatin1(b))) button->setEnabled(false);
}

TfrmClientiDett::~TfrmClientiDett() = default;

void TfrmClientiDett::collegaRiferimento(const char* show, const char* add, ArchiveListForm* list,
                                         ArchiveDetailForm* detail, const char* keyField, const char* byField) {
    QPointer<ArchiveListForm> l = list;
    QPointer<ArchiveDetailForm> dt = detail;
    const QString key = QString::fromLatin1(keyField), by = QString::fromLatin1(byField);
    if (auto* b = findChild<QToolButton*>(QString::fromLatin1(show)))
        connect(b, &QToolButton::clicked, this, [this, l, dt, key, by] {
            if (!l || !dt || query().isEmpty() || query().isNull(by)) return;
            if (l->query().locate(key, query().value(by))) ui::dialogs().exec(dt);
        });
    if (auto* b = findChild<QToolButton*>(QString::fromLatin1(add)))
        connect(b, &QToolButton::clicked, this, [l] {
            if (l) l->panel()->spdInserisciClick();
        });
}

void TfrmClientiDett::comuneScelto(const char* cap, const char* provincia) {
    db::Dataset& comuni = m_dm.Table7;
    if (comuni.isEmpty()) return;
    if (!comuni.isNull(QStringLiteral("Cap"))) query().setValue(QString::fromLatin1(cap), comuni.value(QStringLiteral("Cap")));
    if (!comuni.isNull(QStringLiteral("Provincia")))
        query().setValue(QString::fromLatin1(provincia), comuni.value(QStringLiteral("Provincia")));
}

void TfrmClientiDett::controlloModificato(QWidget* control) {
    Modificato = true;
    static const QStringList nomi = {QStringLiteral("DBEdit1"), QStringLiteral("DBEdit20"), QStringLiteral("DBEdit2"),
                                     QStringLiteral("DBEdit13")};
    if (control && nomi.contains(control->objectName())) NomeCambiato = true;
}

void TfrmClientiDett::caricaListe() {
    if (query().isEmpty()) return;
    for (const auto& link : m_links) link->follow();
}

int TfrmClientiDett::apri(bool nuovo) {
    mostraPagina(0);
    if (nuovo) Modificato = true;
    caricaListe();
    spdAnnulla->setVisible(nuovo);
    setWindowState(windowState() | Qt::WindowMaximized);
    struct Dopo {
        TfrmClientiDett* w;
        ~Dopo() {
            w->spdAnnulla->setVisible(false);
            w->mostraPagina(0);
        }
    } dopo{this};
    const int result = ui::dialogs().exec(this);
    if (!nuovo) m_dm.TablePagamenti.setFilter(QString());
    return result;
}

void TfrmClientiDett::salva() {
    db::Dataset& q = query();
    if (NomeCambiato) {
        const QString documenti = testo(QStringLiteral("DBEdit1")) + u' ' + testo(QStringLiteral("DBEdit20"));
        QString visualizzato = documenti;
        const QString codice = testo(QStringLiteral("DBEdit13"));
        const QString nascita = static_cast<ui::DateMaskEdit*>(control(QStringLiteral("DBEdit2")))->isBlank()
                                    ? QString()
                                    : testo(QStringLiteral("DBEdit2"));
        if (!codice.isEmpty()) visualizzato += QStringLiteral(" - ") + codice;
        else if (!nascita.isEmpty()) visualizzato += QStringLiteral(" - ") + nascita;
        q.setValue(QStringLiteral("NominativoDocumenti"), documenti);
        q.setValue(QStringLiteral("NominativoVisualizzato"), visualizzato);
    }
    common::ConfermaRecord(q, kId);
}

void TfrmClientiDett::salvaFigli() {
    if (NomeCambiato) {
        m_dm.esegui(QStringLiteral("UPDATE Calendario INNER JOIN anagraficaclienti ON calendario.Cliente_Id = "
                                   "anagraficaclienti.Id SET calendario.Cliente = [anagraficaclienti].[NominativoDocumenti] "
                                   "where anagraficaclienti.Id=") +
                    QString::number(query().keyValue(kId)));
        if (m_dm.TableCalendario.isOpen()) common::RiallineaRecord(m_dm.TableCalendario, QStringLiteral("ID"));
    }
    if (m_dm.TableNominativi.isOpen()) m_dm.TableNominativi.requery();
}

void TfrmClientiDett::salvato() { NomeCambiato = false; }

void TfrmClientiDett::annulla() { eliminaCliente(m_dm); }

void TfrmClientiDett::avvisaDuplicato(const QString& codice, const QString& caption) {
    db::RowStore rows;
    m_dm.Connessione.load(QStringLiteral("SELECT Codfiscale FROM anagraficaclienti where CodFiscale = ? and Id <> ?"),
                          {codice, query().keyValue(kId)}, rows);
    if (rows.rowCount() == 0) return;
    ui::dialogs().message(this,
                          QStringLiteral("Attenzione il Codice fiscale ") + codice +
                              QStringLiteral(" è già presente in altri ") + QString::number(rows.rowCount()) +
                              QStringLiteral(" Record."),
                          caption, ui::MessageIcon::Warning);
}

bool TfrmClientiDett::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && watched == control(QStringLiteral("DBEdit13"))) DBEdit13Exit();
    return ArchiveDetailForm::eventFilter(watched, event);
}

void TfrmClientiDett::DBEdit13Exit() {
    const QString codice = testo(QStringLiteral("DBEdit13")).trimmed();
    if (codice.isEmpty() || query().isEmpty()) return;
    avvisaDuplicato(codice, QStringLiteral("Attenzione si è caricato un cliente già presente in archivio"));
}

void TfrmClientiDett::Button5Click() {
    db::Dataset& q = query();
    if (q.isEmpty()) return;
    q.updateRecord();
    for (const char* f : {"Cognome", "Nome", "Nato_a", "Datanascita", "Sesso"})
        if (q.isNull(QString::fromLatin1(f))) {
            ui::dialogs().message(this,
                                  QStringLiteral("Attenzione controlla che non manchi:il cognome, o il nome, o la data di "
                                                 "nascita, o il luogo di nascita o il sesso"),
                                  kErrore, ui::MessageIcon::Error);
            return;
        }
    Modificato = true;
    common::ConfermaRecord(q, kId);
    db::Dataset& comuni = m_dm.Table7;
    const bool trovato = comuni.locate(QStringLiteral("Comune"), q.value(QStringLiteral("Nato_a")));
    const QString codice = !trovato || comuni.isNull(QStringLiteral("CODICE_F"))
                               ? QString()
                               : common::CodiceFiscale(q.value(QStringLiteral("Cognome")).toString().trimmed(),
                                                       q.value(QStringLiteral("Nome")).toString().trimmed(),
                                                       q.value(QStringLiteral("Datanascita")).toDateTime().date(),
                                                       q.value(QStringLiteral("Sesso")).toString(),
                                                       comuni.value(QStringLiteral("CODICE_F")).toString());
    if (codice.isEmpty()) {
        ui::dialogs().message(this,
                              QStringLiteral("Attenzione questa funzione non può calcolare il codice fiscale per il "
                                             "comune di nascita selezionato"),
                              kErrore, ui::MessageIcon::Error);
        return;
    }
    q.setValue(QStringLiteral("Codfiscale"), codice.toUpper());
    NomeCambiato = true; // the name shown in lists carries the tax code
    avvisaDuplicato(codice.toUpper(), QStringLiteral("Attenzione si è creato un cliente già presente in archivio"));
}

void TfrmClientiDett::spdTrovaClick() {
    auto* citta = static_cast<ui::DBLookupComboBox*>(control(QStringLiteral("DBLookupComboBox1")));
    QString cap;
    if (!cercaCap(m_dm, this, citta->currentText(), cap)) {
        if (citta->currentText().isEmpty()) citta->setFocus(Qt::OtherFocusReason);
        return;
    }
    query().setValue(QStringLiteral("Cap"), cap);
    Modificato = true;
}

bool TfrmClientiDett::cambioPagina(int index) {
    if (!ArchiveDetailForm::cambioPagina(index)) return false;
    if (index == 5) aggiornaTotaleDieta();
    if (index == 1) mostraFoto();
    return true;
}

void TfrmClientiDett::aggiornaTotaleDieta() {
    if (query().isEmpty()) return;
    lblTotaleDieta->setText(testoTotaleDieta(totaleDieta(m_dm.Connessione, query().keyValue(kId))));
}

void TfrmClientiDett::mostraFoto() {
    if (query().isEmpty() || query().isNull(QStringLiteral("Immagine"))) {
        Image1->clear();
        return;
    }
    const QString path = query().value(QStringLiteral("Immagine")).toString();
    const QImage picture(path);
    if (!QFileInfo::exists(path)) {
        ui::dialogs().message(this, QStringLiteral("L'immagine non esiste"), QStringLiteral("Attenzione"),
                              ui::MessageIcon::Warning);
        return;
    }
    Image1->setPixmap(QPixmap::fromImage(picture.scaled(Image1->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void TfrmClientiDett::Button6Click() {
    const QString file = m_dm.OpenPictureDialog(this);
    if (file.isEmpty() || query().isEmpty()) return;
    const QImage picture(file);
    Image1->setPixmap(QPixmap::fromImage(picture.scaled(Image1->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    query().setValue(QStringLiteral("Immagine"), QFileInfo(file).absoluteFilePath());
    common::ConfermaRecord(query(), kId);
    Modificato = true;
}

void TfrmClientiDett::stampa(int report) {
    if (query().isEmpty()) return;
    if (Modificato) salvaModifiche();
    m_dm.tipoReport = report;
    m_dm.Button2Click();
}

void TfrmClientiDett::spdStampaSchedaClick() { stampa(6); }
void TfrmClientiDett::spdStampaClick() { stampa(16); }
