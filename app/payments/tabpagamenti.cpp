#include "app/payments/tabpagamenti.h"

#include "app/payments/install.h"
#include "app/payments/pagamenti.h"
#include "app/payments/sceltaanno.h"
#include "app/shell/form_db.h"
#include "common/controls/dialogs.h"
#include "db/dataset.h"

#include <QBoxLayout>

namespace {

ListTool strumento(const char* name, const char* caption, ListTool::Action action, const char* hint = "") {
    return {QString::fromLatin1(name), QString::fromLatin1(caption), QString::fromLatin1(hint), action, {}};
}

ListDescriptor lista(Tform_DB& dm, TabPagamenti* tab) {
    ListDescriptor d;
    d.query = &dm.TablePagamenti;
    d.gridObjectName = QStringLiteral("DBGrid3");
    d.gridName = QStringLiteral("frmClientiDett_DBGrid3");
    d.columns = {{QStringLiteral("Operazione"), QStringLiteral("Operazione"), 260},
                 {QStringLiteral("Importo"), QStringLiteral("Importo"), 90},
                 {QStringLiteral("Data"), QStringLiteral("Data"), 90}};
    d.deleteQuestion = QStringLiteral("Sei Sicuro di voler eliminare il Pagamento?");
    d.tools = {strumento("SpeedButton5", "Elimina", ListTool::Delete, "Elimina il record corrente "),
               strumento("SpeedButton6", "Aggiungi", ListTool::Add, "Inserisce un nuovo Record"),
               strumento("SpeedButton10", "Quietanza anno", ListTool::Custom, "stampa della quietanza per anno"),
               strumento("SpeedButton30", "Pagamenti", ListTool::Custom, "stampa elenco dei pagamenti"),
               strumento("spdAvanti", "Modifica", ListTool::Open)};
    d.tools[2].run = [tab] { tab->SpeedButton10Click(); };
    d.tools[3].run = [tab] { tab->SpeedButton30Click(); };
    return d;
}

} // namespace

TabPagamenti::TabPagamenti(Tform_DB& dm, QWidget* parent) : ListPanel(dm, lista(dm, this), parent) {}

void TabPagamenti::inserisci() {
    if (TfrmPagamenti* registro = pagamenti().frmPagamenti; registro && !m_dm.Table1.isEmpty())
        registro->aggiungiPerCliente();
}

void TabPagamenti::avanti() {
    TfrmPagamentiDettaglio* record = pagamenti().frmPagamentiDettaglio;
    if (!record || !query().isOpen() || query().isEmpty()) return;
    ui::dialogs().exec(record);
}

void TabPagamenti::SpeedButton10Click() {
    if (TfrmSceltaAnno* anno = pagamenti().frmSceltaAnno) anno->mostra(window());
}

void TabPagamenti::SpeedButton30Click() {
    if (m_dm.Table1.isEmpty()) return;
    m_dm.tipoReport = 4;
    m_dm.Button2Click();
}

TabPagamenti* tabPagamenti(Tform_DB& dm, QWidget* page) {
    auto* tab = new TabPagamenti(dm, page);
    // The list takes the page's height; the page has no fields of its own above it.
    if (auto* box = qobject_cast<QBoxLayout*>(page->layout())) box->addWidget(tab, 1);
    else page->layout()->addWidget(tab);
    return tab;
}
