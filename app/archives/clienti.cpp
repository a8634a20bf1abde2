#include "app/archives/clienti.h"

#include "app/shell/form_db.h"
#include "common/controls/dialogs.h"
#include "common/personalizzazioni.h"
#include "common/records.h"
#include "common/scadenze.h"
#include "db/connection.h"
#include "db/dataset.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kId = QStringLiteral("Id");
const QColor kGrigio(128, 128, 128), kAzzurro(0, 255, 255), kFucsia(255, 0, 255), kRosso(255, 0, 0);

// The six tables whose rows belong to a client, in the order they are emptied.
struct Figlio {
    const char* table;
    db::Dataset Tform_DB::*query;
};
const Figlio kFigli[] = {
    {"ClienteOrari", &Tform_DB::TableClienteOrari},     {"Scadenze", &Tform_DB::TableScadenziario},
    {"ClienteEsercizi", &Tform_DB::TableClienteEsercizi}, {"ClienteDieta", &Tform_DB::TableClienteDieta},
    {"ClientePatologia", &Tform_DB::TableClientePatologie}, {"Pagamenti", &Tform_DB::TablePagamenti},
};

bool primaDi(const db::Dataset& q, int row, const char* field, const QDate& oggi) {
    const QVariant v = q.valueAt(row, q.fieldIndex(QString::fromLatin1(field)));
    return !v.isValid() || v.isNull() || v.toDateTime().date() < oggi;
}

QWidget* legenda(QWidget* parent, const QString& title, const QList<std::pair<QString, QColor>>& items) {
    auto* box = new QWidget(parent);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    if (!title.isEmpty()) row->addWidget(new QLabel(title, box));
    for (const auto& [text, colour] : items) {
        auto* l = new QLabel(text, box);
        l->setAutoFillBackground(true);
        QPalette p = l->palette();
        p.setColor(QPalette::Window, colour);
        p.setColor(QPalette::WindowText, Qt::black);
        l->setPalette(p);
        l->setContentsMargins(6, 2, 6, 2);
        row->addWidget(l);
    }
    row->addStretch(1);
    return box;
}

ListDescriptor descrittoreClienti(Tform_DB& dm) {
    ListDescriptor d;
    d.objectName = QStringLiteral("frmClienti");
    d.caption = QStringLiteral("Archivio clienti");
    d.helpContext = 225;
    d.query = &dm.Table1;
    d.key = kId;
    SearchBox tessera{QStringLiteral("Edit3"), QStringLiteral("Tessera"), QStringLiteral("Tessera")};
    tessera.kind = SearchBox::Exact;
    d.boxes = {{QStringLiteral("Edit1"), QStringLiteral("Cognome"), QStringLiteral("Cognome")},
               {QStringLiteral("Edit2"), QStringLiteral("Nome"), QStringLiteral("Nome")},
               tessera,
               {QStringLiteral("Edit4"), QStringLiteral("Città"), QStringLiteral("Citta")}};
    d.deleteQuestion = QStringLiteral("Sei Sicuro di voler eliminare il Cliente?");
    d.columns = {{"Cognome", "Cognome", 140},
                 {"Nome", "Nome", 120},
                 {"Tel", "Telefono", 100},
                 {"Cell", "Cell", 100},
                 {"ScadenzaPagamento", "Scad. Abbon.", 90},
                 {"DataScadenzaAbbonamento", "Scadenza Iscr.", 90},
                 {"Scadenza_cert_medico", "Scad. Cert. Med.", 90},
                 {"E_mail", "E-mail", 200}};
    d.gridName = QStringLiteral("frmClienti_Griglia");
    d.multiSelect = true;
    d.rowColour = [](const db::Dataset& q, int row) { return coloreCliente(q, row, QDate::currentDate()); };
    using T = ListTool;
    d.tools = {{QStringLiteral("SpeedButton1"), QStringLiteral("Aiuto"), QString(), T::Help, {}},
               {QStringLiteral("spdAggiorna"), QStringLiteral("Ricarica"), QStringLiteral("Aggiorna l'elenco"), T::Reload, {}},
               {QStringLiteral("btImportaVCard"), QStringLiteral("Importa Vcard"),
                QStringLiteral("Importa in archivio i Dati di una VCard"), T::Custom, {}, QStringLiteral("document-import")},
               {QStringLiteral("btEsportaVCard"), QStringLiteral("Esporta Vcard"),
                QStringLiteral("Esporta i record selezionati in Vcard"), T::Custom, {}, QStringLiteral("document-export")},
               {QStringLiteral("spdCopyEmail"), QStringLiteral("Copia email"), QString(), T::Custom, {}, QStringLiteral("edit-copy")},
               {QStringLiteral("spdIndietro"), QStringLiteral("Indietro"), QString(), T::Back, {}},
               {QStringLiteral("spdElimina"), QStringLiteral("Elimina"), QStringLiteral("Elimina il record corrente "), T::Delete, {}},
               {QStringLiteral("spdInserisci"), QStringLiteral("Aggiungi"), QStringLiteral("Inserisce un nuovo Record"), T::Add, {}},
               {QStringLiteral("spdAvanti"), QStringLiteral("Avanti"), QString(), T::Open, {}}};
    return d;
}

} // namespace

QColor coloreCliente(const db::Dataset& q, int row, const QDate& oggi) {
    if (q.valueAt(row, q.fieldIndex(QStringLiteral("Annullato"))).toBool()) return kGrigio;
    QColor c = Qt::white;
    const QVariant certificato = q.valueAt(row, q.fieldIndex(QStringLiteral("Certificato_med")));
    if (!certificato.toBool() || primaDi(q, row, "Scadenza_cert_medico", oggi)) c = kAzzurro;
    if (primaDi(q, row, "ScadenzaPagamento", oggi)) c = kFucsia;
    if (primaDi(q, row, "DataScadenzaAbbonamento", oggi)) c = kRosso;
    return c;
}

void eliminaCliente(Tform_DB& dm) {
    db::Dataset& clients = dm.Table1;
    if (clients.isEmpty()) return;
    const QString id = QString::number(clients.keyValue(QStringLiteral("ID")));
    db::Transaction tx(dm.Connessione);
    for (const Figlio& f : kFigli) {
        dm.esegui(QStringLiteral("delete * from ") + QLatin1String(f.table) + QStringLiteral(" where Cliente_ID = ") + id);
        db::Dataset& q = dm.*f.query;
        if (q.isOpen()) q.requery();
    }
    common::EliminaRecord(clients, kId);
    tx.commit();
}

// --- TfrmIndirizziEmail --------------------------------------------------------------------

TfrmIndirizziEmail::TfrmIndirizziEmail(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmIndirizziEmail"));
    setWindowTitle(QStringLiteral("Indirizzi Email"));
    auto* top = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("Indirizzi e-mail dei clienti scelti"), this);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    label->setBuddy(Memo1);
    auto* bar = new QHBoxLayout;
    auto* copia = new QPushButton(QStringLiteral("Copia"), this);
    copia->setObjectName(QStringLiteral("btnCopia"));
    auto* indietro = new QPushButton(QStringLiteral("Indietro"), this);
    indietro->setObjectName(QStringLiteral("spdIndietro"));
    bar->addStretch(1);
    bar->addWidget(copia);
    bar->addWidget(indietro);
    top->addWidget(label);
    top->addWidget(Memo1, 1);
    top->addLayout(bar);
    connect(copia, &QPushButton::clicked, this, [this] { CopiaClick(); });
    connect(indietro, &QPushButton::clicked, this, &QDialog::accept);
    resize(520, 360);
}

void TfrmIndirizziEmail::clear() { Memo1->clear(); }
void TfrmIndirizziEmail::aggiungi(const QString& line) { Memo1->appendPlainText(line); }

void TfrmIndirizziEmail::CopiaClick() {
    Memo1->selectAll();
    QApplication::clipboard()->setText(Memo1->toPlainText());
}

// --- ClientiPanel ------------------------------------------------------------------------------

ClientiPanel::ClientiPanel(Tform_DB& dm, ListDescriptor descriptor) : ListPanel(dm, std::move(descriptor)) {
    grid()->setToolTip(QStringLiteral("Rosso: Problemi con l'Iscrizione, Fucsia con Abbonamenti, Azzurro con "
                                      "Certificato Medico ; grigio è annullato"));
    aggiungiSottoGriglia(legenda(this, QString(),
                                 {{QStringLiteral("Normale"), Qt::white},
                                  {QStringLiteral("Scaduta Iscrizione"), kRosso},
                                  {QStringLiteral("Scaduto Abbona."), kFucsia},
                                  {QStringLiteral("Annullato"), kGrigio},
                                  {QStringLiteral("Scad. Cert. Med."), kAzzurro}}));
    if (QGroupBox* g = gruppoRicerca())
        if (auto* grid = qobject_cast<QGridLayout*>(g->layout()))
            grid->addWidget(legenda(g, QStringLiteral("Colori clienti: "),
                                    {{QStringLiteral("Normale"), Qt::white},
                                     {QStringLiteral("Scaduta iscrizione"), kRosso},
                                     {QStringLiteral("Scaduto abbonamento"), kFucsia},
                                     {QStringLiteral("Scaduto certif. medico"), kAzzurro},
                                     {QStringLiteral("Annullato"), kGrigio}}),
                            grid->rowCount(), 0, 1, -1);
    auto* requery = new QPushButton(QStringLiteral("Requery"), this);
    requery->setObjectName(QStringLiteral("btnRequery"));
    requery->hide();
    connect(requery, &QPushButton::clicked, this, [this] { btnRequeryClick(); });
    for (const auto& [name, run] : std::initializer_list<std::pair<const char*, void (ClientiPanel::*)()>>{
             {"btImportaVCard", &ClientiPanel::btImportaVCardClick},
             {"btEsportaVCard", &ClientiPanel::btEsportaVCardClick},
             {"spdCopyEmail", &ClientiPanel::spdCopyEmailClick}})
        connect(tool(QString::fromLatin1(name)), &QToolButton::clicked, this, [this, run = run] { (this->*run)(); });
    if (QMenu* menu = popup()) {
        QAction* first = menu->actions().value(0);
        auto* tutti = new QAction(QStringLiteral("Seleziona Tutti"), menu);
        tutti->setObjectName(QStringLiteral("SelezionaTutti1"));
        auto* email = new QAction(QStringLiteral("Seleziona tutte le Email"), menu);
        email->setObjectName(QStringLiteral("SelezionatutteleEmail1"));
        menu->insertAction(first, tutti);
        menu->insertAction(first, email);
        auto* conta = menu->addAction(QStringLiteral("Conta records"));
        conta->setObjectName(QStringLiteral("Contarecords1"));
        connect(tutti, &QAction::triggered, this, [this] { SelezionaTutti1Click(); });
        connect(email, &QAction::triggered, this, [this] { SelezionatutteleEmail1Click(); });
        connect(conta, &QAction::triggered, this, [this] { Contarecords1Click(); });
    }
}

void ClientiPanel::btnRequeryClick() {
    if (scheda && !query().isEmpty()) scheda->caricaListe();
}

void ClientiPanel::SelezionaTutti1Click() { grid()->selectAllRows(); }

void ClientiPanel::SelezionatutteleEmail1Click() {
    const int c = query().fieldIndex(QStringLiteral("e_mail"));
    grid()->selectAllRows([&](int row) { return !query().displayTextAt(row, c).isEmpty(); });
}

void ClientiPanel::spdCopyEmailClick() {
    const QList<int> rows = grid()->selectedRows();
    if (rows.isEmpty()) {
        ui::dialogs().message(this, QStringLiteral("Attenzione devi selezionare i contatti da copiare le email"),
                              QStringLiteral("Messaggio di errore"), ui::MessageIcon::Error);
        return;
    }
    if (!indirizzi) return;
    indirizzi->clear();
    const int c = query().fieldIndex(QStringLiteral("E_Mail"));
    for (int row : rows) {
        const QString mail = query().displayTextAt(row, c);
        if (!mail.isEmpty()) indirizzi->aggiungi(mail + QStringLiteral(", "));
    }
    ui::dialogs().exec(indirizzi);
}

void ClientiPanel::Contarecords1Click() {
    if (!query().isOpen() || query().isEmpty()) return;
    ui::dialogs().message(this, QString::number(query().recordCount()), QStringLiteral("Numero dei records"));
}

void ClientiPanel::valoriPredefiniti() {
    db::Dataset& q = query();
    const QDate oggi = QDate::currentDate();
    for (const char* f : {"DataInserimento", "DataScadenzaAbbonamento", "Scadenza_cert_medico"})
        q.setValue(QString::fromLatin1(f), oggi);
    common::ApplicaPersonalizzazioni(QStringLiteral("anagraficaclienti"), q, m_dm.TablePersonalizzazioni);
    q.setValue(QStringLiteral("ScadenzaPagamento"), common::AggiungiMesi(oggi, 1));
}

void ClientiPanel::inserisci() {
    for (const SearchBox& box : descriptor().boxes) impostaRicerca(box.name, QString());
    db::Dataset& q = query();
    q.setFiltered(true);
    q.setFilter(QString());
    {
        // The card number is the new key: both saves or neither.
        db::Transaction tx(m_dm.Connessione);
        q.append();
        try {
            valoriPredefiniti();
            common::SalvaRecord(q, kId);
            q.setValue(QStringLiteral("Tessera"), QString::number(q.keyValue(kId)));
            common::SalvaRecord(q, kId);
        } catch (...) {
            if (q.state() == db::Dataset::State::Insert) q.cancel();
            throw;
        }
        tx.commit();
    }
    if (scheda) scheda->apri(true);
}

void ClientiPanel::elimina() {
    if (!EliminaSenzaChiedere) {
        if (!query().isOpen() || query().isEmpty()) return;
        if (!ui::dialogs().question(this, descriptor().deleteQuestion, QStringLiteral("Messaggio di avviso"))) return;
    }
    eliminaCliente(m_dm);
}

void ClientiPanel::avanti() {
    if (!query().isOpen() || query().isEmpty() || !scheda) return;
    scheda->apri(false);
}

void ClientiPanel::aggiorna() {
    for (db::Dataset* q : {&m_dm.TableClienteOrari, &m_dm.TableScadenziario, &m_dm.TableClienteEsercizi,
                           &m_dm.TableClienteDieta, &m_dm.TableClientePatologie})
        if (q->isOpen()) q->requery();
    query().requery();
}

// --- TfrmClienti -----------------------------------------------------------------------------

TfrmClienti::TfrmClienti(Tform_DB& dm, QWidget* parent)
    : ArchiveListForm(dm, descrittoreClienti(dm), parent, new ClientiPanel(dm, descrittoreClienti(dm))) {}
