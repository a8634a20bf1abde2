#include "app/payments/pagamenti.h"

#include "app/archives/install.h"
#include "app/archives/members.h"
#include "app/shell/form_db.h"
#include "common/controls/dbedits.h"
#include "common/controls/dialogs.h"
#include "common/personalizzazioni.h"
#include "common/records.h"
#include "common/text.h"
#include "db/connection.h"
#include "db/dataset.h"

#include <QDate>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QToolButton>

namespace {

const QString kId = QStringLiteral("Id");
const QString kAvviso = QStringLiteral("Messaggio di Avviso");

ListDescriptor registro(Tform_DB& dm) {
    ListDescriptor d;
    d.objectName = QStringLiteral("frmPagamenti");
    d.caption = QStringLiteral("Pagamenti");
    d.query = &dm.TablePagamenti;
    d.boxes = {{"maskDaScadenza", "Dalla Data", "Data", SearchBox::DateFrom},
               {"maskAScadenza", "alla Data", "Data", SearchBox::DateTo},
               {"Edit1", "Cliente", "Cliente_ID", SearchBox::Custom},
               {"cboModPagamento", "Mod. Pagamento", "ModPagamento_Id", SearchBox::Lookup}};
    d.boxes[2].condition = [&dm](const QString& text) { return condizioneCliente(dm.Connessione, text); };
    d.boxes[3].list = &dm.TableModPaga;
    d.boxes[3].listKey = kId;
    d.boxes[3].listField = QStringLiteral("Descrizione");
    d.deleteQuestion = QStringLiteral("Sei sicuro di voler eliminare il Pagamento?");
    d.columns = {{QStringLiteral("Operazione"), QStringLiteral("Operazione"), 260},
                 {QStringLiteral("Data"), QStringLiteral("Data"), 90},
                 {QStringLiteral("Importo"), QStringLiteral("Importo"), 90},
                 {QStringLiteral("Note"), QStringLiteral("Note"), 360}};
    d.gridName = QStringLiteral("frmPagamenti_Griglia");
    d.hasTotal = true;
    d.total.field = QStringLiteral("Importo");
    return d;
}

// The register's list: its own insertion, and the total again after the record closes.
class PannelloPagamenti : public ListPanel {
public:
    PannelloPagamenti(Tform_DB& dm, TfrmPagamenti& form) : ListPanel(dm, registro(dm)), m_form(form) {}

protected:
    void inserisci() override {
        db::Dataset& q = query();
        q.setFilter(QString());
        const long long cliente = m_dm.Table1.isOpen() && !m_dm.Table1.isEmpty() ? m_dm.Table1.keyValue(kId) : 0;
        q.append();
        long long id = 0;
        try {
            q.setValue(QStringLiteral("Data"), QDate::currentDate());
            if (cliente > 0) q.setValue(QStringLiteral("Cliente_ID"), cliente);
            common::ApplicaPersonalizzazioni(QStringLiteral("Pagamenti"), q, m_dm.TablePersonalizzazioni);
            common::ConfermaRecord(q, kId);
            id = q.keyValue(kId);
        } catch (...) {
            // A payment that could not be stored leaves no half-filled row behind.
            if (q.state() == db::Dataset::State::Insert) q.cancel();
            throw;
        }
        q.cancel(); // the posted row, nothing pending
        if (m_form.PerCliente) q.setFilter(QStringLiteral("Cliente_ID = ") + QString::number(cliente));
        q.requery();
        q.locate(QStringLiteral("ID"), id);
        ArchiveDetailForm* record = detail();
        if (!record) return;
        record->Modificato = true;
        record->spdAnnulla->setVisible(true);
        struct Hide {
            ArchiveDetailForm* d;
            ~Hide() { d->spdAnnulla->setVisible(false); }
        } hide{record};
        ui::dialogs().exec(record);
        ricalcolaTotale();
    }

    void avanti() override {
        if (!query().isOpen() || query().isEmpty()) return;
        ListPanel::avanti();
        ricalcolaTotale();
    }

private:
    TfrmPagamenti& m_form;
};

} // namespace

QString condizioneCliente(db::Connection& c, const QString& cognome) {
    if (cognome.isEmpty() || cognome == u"*") return {};
    db::RowStore ids;
    c.load(QStringLiteral("Select id from Anagraficaclienti where Cognome like '") + common::QuotaLike(cognome) +
               QStringLiteral("%'"),
           ids);
    if (ids.rowCount() == 0) return QStringLiteral("Cliente_ID = 0");
    QString clause;
    clause.reserve(ids.rowCount() * 20);
    for (int r = 0; r < ids.rowCount(); ++r) {
        if (r > 0) clause += QStringLiteral(" or ");
        clause += QStringLiteral("Cliente_ID = ") + QString::number(ids.integer(r, 0));
    }
    return clause;
}

TfrmPagamenti::TfrmPagamenti(Tform_DB& dm, QWidget* parent)
    : ArchiveListForm(dm, registro(dm), parent, new PannelloPagamenti(dm, *this)) {
    for (const char* name : {"maskDaScadenza", "maskAScadenza"})
        panel()->searchBox(QString::fromLatin1(name))->installEventFilter(this);
}

QLabel* TfrmPagamenti::lblTotale() const { return panel()->etichettaTotale(); }

bool TfrmPagamenti::eventFilter(QObject* watched, QEvent* event) {
    // Escape in a date box empties it and goes on to the surname, instead of closing.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        if (auto* mask = qobject_cast<ui::DateMaskEdit*>(watched)) {
            mask->setDate(QDate());
            panel()->searchBox(QStringLiteral("Edit1"))->setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    return ArchiveListForm::eventFilter(watched, event);
}

void TfrmPagamenti::aggiungiPerCliente() {
    PerCliente = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{PerCliente};
    panel()->spdInserisciClick();
}

void TfrmPagamenti::apri() {
    panel()->scelta = false;
    query().setFilter(QString());
    panel()->svuotaRicerca();
    mostra();
    query().setFilter(QString());
}

// --- the payment record ---------------------------------------------------------------------

namespace {

DetailDescriptor pagamento(Tform_DB& dm) {
    DetailDescriptor d;
    d.objectName = QStringLiteral("frmPagamentiDettaglio");
    d.caption = QStringLiteral("Pagamenti");
    d.query = &dm.TablePagamenti;
    d.key = kId;
    const DetailField importo = campoDi("DBEdit3", "Importo", "Importo", DetailField::Amount, 0, 0, 120);
    d.fields = {sceltaDi("DBLookupComboBox3", "Operazione", "Operazione", dm.TableOperazionePagamenti, "Descrizione",
                         "Descrizione", 0, 0, "SpeedButton1", "SpeedButton12"),
                campoDi("DBEdit2", "Data", "Data", DetailField::Date),
                sceltaDi("DBLookupComboBox1", "ModPagamento_Id", "Mod. Pagamento", dm.TableModPaga, "Id", "Descrizione", 0,
                         0, "SpeedButton3", "SpeedButton2"),
                importo,
                sceltaDi("DBLookupComboBox2", "Cliente_ID", "Cliente", dm.TableNominativi, "Id", "NominativoVisualizzato"),
                campoDi("DBEdit4", "Note", "Note")};
    d.required = {{QStringLiteral("DBLookupComboBox3"), QStringLiteral("Attenzione manca l' Operazione"), kAvviso},
                  {QStringLiteral("DBLookupComboBox2"), QStringLiteral("Attenzione manca il Cliente"), kAvviso}};
    return d;
}

} // namespace

TfrmPagamentiDettaglio::TfrmPagamentiDettaglio(Tform_DB& dm, Archivi& a, QWidget* parent)
    : ArchiveDetailForm(dm, pagamento(dm), parent) {
    setMinimumWidth(560);
    spdSalva->setText(QStringLiteral("Salva"));
    spdSalva->setVisible(true);
    connect(static_cast<ui::DBLookupComboBox*>(control(QStringLiteral("DBLookupComboBox3"))),
            &ui::DBLookupComboBox::choiceMade, this, [this] { DBLookupComboBox3Click(); });

    // Beside each look-up: show the referenced row, add a new one to its register.
    auto mostra = [this](const char* button, ArchiveListForm* list, ArchiveDetailForm* detail, const char* key,
                         const char* field) {
        QPointer<ArchiveListForm> l = list;
        QPointer<ArchiveDetailForm> dt = detail;
        const QString k = QString::fromLatin1(key), f = QString::fromLatin1(field);
        connect(findChild<QToolButton*>(QString::fromLatin1(button)), &QToolButton::clicked, this, [this, l, dt, k, f] {
            if (!l || !dt || query().isEmpty() || query().isNull(f)) return;
            if (l->query().locate(k, query().value(f))) ui::dialogs().exec(dt);
        });
    };
    auto aggiungi = [this](const char* button, ArchiveListForm* list) {
        QPointer<ArchiveListForm> l = list;
        connect(findChild<QToolButton*>(QString::fromLatin1(button)), &QToolButton::clicked, this, [l] {
            if (l) l->panel()->spdInserisciClick();
        });
    };
    mostra("SpeedButton1", a.frmGrigliaOperazionePagamenti, a.frmOperazionePagamenti, "Descrizione", "Operazione");
    aggiungi("SpeedButton12", a.frmGrigliaOperazionePagamenti);
    mostra("SpeedButton3", a.frmModPagam, a.frmModPagamDett, "Id", "ModPagamento_Id");
    aggiungi("SpeedButton2", a.frmModPagam);
}

void TfrmPagamentiDettaglio::DBLookupComboBox3Click() {
    // The look-up has moved the operations query onto the chosen row.
    const db::Dataset& operazioni = m_dm.TableOperazionePagamenti;
    if (!operazioni.isEmpty() && !operazioni.isNull(QStringLiteral("Importo")))
        query().setValue(QStringLiteral("Importo"), operazioni.value(QStringLiteral("Importo")));
    segnaModificato();
}
