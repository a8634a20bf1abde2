#include "app/clients/tabcliente.h"

#include "app/shell/form_db.h"
#include "common/records.h"
#include "common/text.h"
#include "db/connection.h"
#include "db/dataset.h"

#include <QDate>
#include <QLayout>
#include <QLocale>
#include <QToolButton>

namespace {

const QString kId = QStringLiteral("Id");

ListTool strumento(const char* name, const char* caption, ListTool::Action action, const char* hint = "") {
    return {QString::fromLatin1(name), QString::fromUtf8(caption), QString::fromUtf8(hint), action, {}};
}

TabCliente* sullaPagina(TabCliente* tab, QWidget* page) {
    page->layout()->addWidget(tab);
    return tab;
}

} // namespace

TabCliente::TabCliente(Tform_DB& dm, TabDescriptor descriptor, QWidget* parent)
    : ListPanel(dm, descriptor.lista, parent), m_tab(std::move(descriptor)) {
    if (QToolButton* print = tool(m_tab.stampa))
        connect(print, &QToolButton::clicked, this, [this] {
            if (m_dm.Table1.isEmpty()) return;
            m_dm.tipoReport = m_tab.report;
            m_dm.Button2Click();
        });
}

void TabCliente::inserisci() {
    if (!m_tab.registro || m_dm.Table1.isEmpty()) return;
    const std::optional<Scelta> scelta = m_tab.registro->pick();
    if (!scelta) return;
    db::Dataset& q = query();
    q.disableControls();
    struct Resume {
        db::Dataset& q;
        ~Resume() { q.enableControls(); }
    } resume{q};
    q.setFilter(QString());
    q.append();
    try {
        q.setValue(QStringLiteral("Cliente_ID"), m_dm.Table1.keyValue(kId));
        m_tab.riempi(q, *scelta);
        common::SalvaRecord(q, kId);
    } catch (...) {
        if (q.state() == db::Dataset::State::Insert) q.cancel();
        throw;
    }
    if (dopoModifica) dopoModifica();
}

void TabCliente::salva() {
    if (!query().isOpen() || query().isEmpty()) return;
    common::ConfermaRecord(query(), kId);
    if (dopoModifica) dopoModifica();
}

void TabCliente::elimina() {
    if (!query().isOpen() || query().isEmpty()) return;
    common::EliminaRecord(query(), kId);
}

TabCliente* tabEsercizi(Tform_DB& dm, ArchiveListForm* esercizi, QWidget* page) {
    TabDescriptor t;
    ListDescriptor& d = t.lista;
    d.query = &dm.TableClienteEsercizi;
    d.gridObjectName = QStringLiteral("DBGrid2");
    d.gridName = QStringLiteral("frmClientiDett_DBGrid2");
    d.editable = true;
    d.columns = {{"Quantita", "Quantita", 70},
                 {"EsercizioDescrizione", "Esercizio", 260},
                 {"Serie", "Serie", 60},
                 {"Pausa", "Minuti di Pausa", 100},
                 {"Note", "Note", 300}};
    d.tools = {strumento("SpeedButton3", "Elimina", ListTool::Delete, "Elimina il record corrente "),
               strumento("SpeedButton26", "Aggiungi", ListTool::Add, "Inserisce un nuovo Record"),
               strumento("SpeedButton27", "Salva", ListTool::Save),
               strumento("SpeedButton28", "Stampa esercizi", ListTool::Custom, "stampa scheda Esercizi")};
    t.registro = esercizi;
    t.riempi = [](db::Dataset& q, const Scelta& s) {
        q.setValue(QStringLiteral("Esercizio_ID"), s.key);
        q.setValue(QStringLiteral("EsercizioDescrizione"), s.riga.value(QStringLiteral("Descrizione")));
        q.setValue(QStringLiteral("Quantita"), 10);
        q.setValue(QStringLiteral("Pausa"), 30);
        q.setValue(QStringLiteral("Serie"), 3);
    };
    t.stampa = QStringLiteral("SpeedButton28");
    t.report = 1;
    return sullaPagina(new TabCliente(dm, std::move(t), page), page);
}

TabCliente* tabDieta(Tform_DB& dm, ArchiveListForm* alimenti, QWidget* page) {
    TabDescriptor t;
    ListDescriptor& d = t.lista;
    d.query = &dm.TableClienteDieta;
    d.gridObjectName = QStringLiteral("DBGrid4");
    d.gridName = QStringLiteral("frmClientiDett_DBGrid4");
    d.columns = {{"Pasti.Descrizione", "Pasto", 160}, {"Alimenti.Descrizione", "Alimento", 300}, {"QTA_GRAMMI", "Grammi", 80}};
    DetailField pasto = campoDi("DBLookupComboBox4", "ID_pasto", "Pasto", DetailField::Lookup, 0, 0, 220);
    pasto.list = &dm.TablePasti;
    pasto.listKey = QStringLiteral("ID");
    pasto.listField = QStringLiteral("Descrizione");
    d.fields = {pasto, campoDi("DBEdit15", "QTA_GRAMMI", "Grammi", DetailField::Amount, 0, 0, 90)};
    d.tools = {strumento("SpeedButton2", "Elimina", ListTool::Delete), strumento("SpeedButton9", "Aggiungi", ListTool::Add),
               strumento("SpeedButton8", "Salva", ListTool::Save),
               strumento("SpeedButton24", "Stampa dieta", ListTool::Custom)};
    t.registro = alimenti;
    t.riempi = [](db::Dataset& q, const Scelta& s) {
        q.setValue(QStringLiteral("QTA_GRAMMI"), 100);
        q.setValue(QStringLiteral("ID_Alimento"), s.key);
    };
    t.stampa = QStringLiteral("SpeedButton24");
    t.report = 3;
    return sullaPagina(new TabCliente(dm, std::move(t), page), page);
}

TabCliente* tabPatologie(Tform_DB& dm, ArchiveListForm* patologie, QWidget* page) {
    TabDescriptor t;
    ListDescriptor& d = t.lista;
    d.query = &dm.TableClientePatologie;
    d.gridObjectName = QStringLiteral("DBGrid5");
    d.gridName = QStringLiteral("frmClientiDett_DBGrid5");
    d.columns = {{"Descrizione", "Patologia", 300}, {"DataInizio", "Data Inizio", 100}, {"DataFine", "Data Fine", 100}};
    d.fields = {campoDi("DBEdit16", "DataInizio", "Dalla data", DetailField::Date),
                campoDi("DBEdit18", "DataFine", "Alla Data", DetailField::Date)};
    d.tools = {strumento("SpeedButton4", "Elimina", ListTool::Delete), strumento("SpeedButton23", "Aggiungi", ListTool::Add),
               strumento("SpeedButton29", "Salva", ListTool::Save),
               strumento("SpeedButton31", "Stampa", ListTool::Custom, "stampa Privacy")};
    t.registro = patologie;
    t.riempi = [](db::Dataset& q, const Scelta& s) {
        q.setValue(QStringLiteral("Patologia_ID"), s.key);
        q.setValue(QStringLiteral("DataInizio"), QDate::currentDate());
        q.setValue(QStringLiteral("DataFine"), QDate::currentDate());
    };
    t.stampa = QStringLiteral("SpeedButton31");
    t.report = 5;
    return sullaPagina(new TabCliente(dm, std::move(t), page), page);
}

TabCliente* tabOrari(Tform_DB& dm, ArchiveListForm* orari, QWidget* page) {
    TabDescriptor t;
    ListDescriptor& d = t.lista;
    d.query = &dm.TableClienteOrari;
    d.gridName = QStringLiteral("frmClientiDett_DBGrid1");
    d.columns = {{"Specialita", "Specialita", 200}, {"Corso", "Corso", 200},     {"Giorno", "Giorno", 100},
                 {"OrarioInizio", "Inizio", 70},    {"OrarioFine", "Fine", 70}, {"Istruttore", "Istruttore", 160}};
    d.fields = {campoDi("DBEdit12", "OrarioInizio", "Inizio", DetailField::Time),
                campoDi("DBEdit14", "OrarioFine", "Fine", DetailField::Time)};
    d.tools = {strumento("spdEliminaDett", "Elimina", ListTool::Delete, "Elimina il record corrente "),
               strumento("spdInserisciDett", "Aggiungi", ListTool::Add, "Inserisce un nuovo Record"),
               strumento("SpeedButton7", "Salva", ListTool::Save),
               strumento("SpeedButton25", "Stampa orari", ListTool::Custom, "stampa scheda degli orari")};
    t.registro = orari;
    // The client's own times start as the slot's.
    t.riempi = [](db::Dataset& q, const Scelta& s) {
        q.setValue(QStringLiteral("Orario_ID"), s.key);
        for (const char* f : {"OrarioInizio", "OrarioFine"})
            q.setValue(QString::fromLatin1(f), s.riga.value(QString::fromLatin1(f)));
    };
    t.stampa = QStringLiteral("SpeedButton25");
    t.report = 2;
    return sullaPagina(new TabCliente(dm, std::move(t), page), page);
}

double totaleDieta(db::Connection& c, long long cliente) {
    db::RowStore rows;
    c.load(QStringLiteral("SELECT Alimenti.KC,ClienteDieta.QTA_GRAMMI FROM ClienteDieta INNER JOIN Alimenti ON "
                          "ClienteDieta.ID_Alimento = Alimenti.ID where ClienteDieta.Cliente_ID = ?"),
           {cliente}, rows);
    double sum = 0;
    for (int r = 0; r < rows.rowCount(); ++r)
        if (!rows.isNull(r, 0)) sum += rows.number(r, 1) * 0.01 * rows.number(r, 0);
    return common::Arrotonda2(sum);
}

QString testoTotaleDieta(double totale) {
    return QStringLiteral("Totale Kilo Calorie: ") + QLocale().toString(totale, 'g', 15);
}
