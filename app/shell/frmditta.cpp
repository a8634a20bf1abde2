#include "app/shell/frmditta.h"

#include "app/shell/form_db.h"
#include "app/shell/settings.h"
#include "common/controls/dbedits.h"
#include "common/controls/dialogs.h"
#include "common/controls/formconventions.h"
#include "common/controls/toolbutton.h"
#include "common/records.h"
#include "common/text.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QShowEvent>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

TfrmDitta::TfrmDitta(Tform_DB& dm, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint),
      m_dm(dm) {
    setObjectName(QStringLiteral("frmDitta"));
    setWindowTitle(QStringLiteral("Ditta"));
    Banche.setObjectName(QStringLiteral("Banche"));
    Banche.setConnection(&dm.Connessione);
    Banche.setSql(QStringLiteral("select * from Banche order by Banca"));

    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(8, 6, 8, 8);
    auto* bar = new QHBoxLayout;
    auto tool = [this, bar](const char* name, const char* caption, const char* hint, const char* icon) {
        QToolButton* b = ui::toolButton(this, QString::fromLatin1(name), QString::fromUtf8(caption), QString::fromLatin1(icon),
                                        QString::fromUtf8(hint));
        bar->addWidget(b);
        return b;
    };
    bitSalva = tool("bitSalva", "Salva", "Salva le modifiche effettuate", "document-save");
    Button4 = tool("Button4", "Cancella", "", "edit-clear");
    bar->addStretch(1);
    // A way out without the window manager's close button (kiosk sessions, tiling desktops).
    spdIndietro = tool("spdIndietro", "Indietro", "Chiude la finestra", "go-previous");
    top->addLayout(bar);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    top->addWidget(line);

    auto* body = new QWidget;
    auto* columns = new QHBoxLayout(body);
    auto* ditta = new QGroupBox(QStringLiteral("Dati della ditta"), body);
    auto* online = new QGroupBox(QStringLiteral("Dati on line"), body);
    auto* formDitta = new QFormLayout(ditta);
    auto* formOnline = new QFormLayout(online);
    for (QFormLayout* f : {formDitta, formOnline}) {
        f->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
        f->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    }
    QList<QWidget*> order;
    auto edit = [&](QFormLayout* form, const char* name, const char* field, const char* label, int width = 0) {
        auto* e = new ui::DBEdit(&dm.TableDitta, QString::fromLatin1(field), form->parentWidget());
        e->setObjectName(QString::fromLatin1(name));
        if (width > 0) e->setMaximumWidth(width);
        form->addRow(QString::fromUtf8(label), e);
        order << e;
        return e;
    };
    DBEdit1 = edit(formDitta, "DBEdit1", "RagSoc", "Ragione Sociale");
    DBEdit2 = edit(formDitta, "DBEdit2", "Via", "Via");
    DBEdit3 = edit(formDitta, "DBEdit3", "Numero", "Numero", 100);
    DBLookupComboBox1 = new ui::DBLookupComboBox(ditta);
    DBLookupComboBox1->setObjectName(QStringLiteral("DBLookupComboBox1"));
    DBLookupComboBox1->setDataset(&dm.TableDitta);
    DBLookupComboBox1->setDataField(QStringLiteral("Comune"));
    DBLookupComboBox1->setListSource(&dm.Table7, QStringLiteral("Comune"), QStringLiteral("Comune"));
    DBLookupComboBox1->setMaximumWidth(320);
    formDitta->addRow(QStringLiteral("comune"), DBLookupComboBox1);
    order << DBLookupComboBox1;
    DBEdit4 = edit(formDitta, "DBEdit4", "Cap", "Cap", 100);
    DBEdit5 = edit(formDitta, "DBEdit5", "Provincia", "Provincia", 100);
    // Filled from the municipality: the Tab key passes them by.
    DBEdit4->setFocusPolicy(Qt::ClickFocus);
    DBEdit5->setFocusPolicy(Qt::ClickFocus);
    DBEdit6 = edit(formDitta, "DBEdit6", "Tel", "Telefono", 220);
    DBEdit7 = edit(formDitta, "DBEdit7", "Fax", "Fax", 220);
    DBEdit9 = edit(formDitta, "DBEdit9", "Email", "E-mail");
    DBEdit8 = edit(formDitta, "DBEdit8", "PIva", "P.Iva", 220);
    DBEdit10 = edit(formDitta, "DBEdit10", "CodFisc", "Cod Fiscale", 220);
    DBEdit11 = edit(formDitta, "DBEdit11", "Cell", "Cellulare", 220);
    DBEdit12 = edit(formDitta, "DBEdit12", "Internet", "Internet");
    DBEdit18 = edit(formDitta, "DBEdit18", "Pec", "Pec");
    DBEdit19 = edit(formDitta, "DBEdit19", "AltriDati", "Altri dati");
    DBEdit21 = edit(formDitta, "DBEdit21", "CodiceSdi", "Codice Sdi", 120);
    DBLookupComboBox2 = new ui::DBLookupComboBox(ditta);
    DBLookupComboBox2->setObjectName(QStringLiteral("DBLookupComboBox2"));
    DBLookupComboBox2->setDataset(&dm.TableDitta);
    DBLookupComboBox2->setDataField(QStringLiteral("Id_Banca"));
    DBLookupComboBox2->setListSource(&Banche, QStringLiteral("Id"), QStringLiteral("Banca"));
    DBLookupComboBox2->setMaximumWidth(320);
    formDitta->addRow(QStringLiteral("Banca"), DBLookupComboBox2);
    order << DBLookupComboBox2;

    DBEdit14 = edit(formOnline, "DBEdit14", "NomeDbOnline", "NomeDbOnline");
    DBEdit15 = edit(formOnline, "DBEdit15", "PasswordDbOnline", "PasswordDbOnline");
    DBEdit15->setEchoMode(QLineEdit::Password);
    DBEdit16 = edit(formOnline, "DBEdit16", "UtenteDbOnline", "Utente");
    DBEdit17 = edit(formOnline, "DBEdit17", "NomeHostOnline", "NomeHost");
    DBCheckBox2 = new ui::DBCheckBox(online);
    DBCheckBox2->setObjectName(QStringLiteral("DBCheckBox2"));
    DBCheckBox2->setText(QStringLiteral("LavoraOnline"));
    formOnline->addRow(DBCheckBox2); // the whole row: a caption never cut
    DBCheckBox3 = new ui::DBCheckBox(&dm.TableDitta, QStringLiteral("ServerAggiornamentoArticoliOnline"),
                                     QStringLiteral("Server per Aggiornamenti Articoli"), online);
    DBCheckBox3->setObjectName(QStringLiteral("DBCheckBox3"));
    formOnline->addRow(DBCheckBox3);
    order << DBCheckBox2 << DBCheckBox3;

    ditta->setMinimumWidth(560);
    online->setMinimumWidth(360);
    columns->addWidget(ditta, 3, Qt::AlignTop);
    columns->addWidget(online, 2, Qt::AlignTop);
    columns->addStretch(1);
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(body);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    top->addWidget(scroll, 1);

    for (int i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
    ui::FormConventions::install(this);
    DBEdit8->installEventFilter(this);

    connect(bitSalva, &QToolButton::clicked, this, [this] { bitSalvaClick(); });
    connect(spdIndietro, &QToolButton::clicked, this, &QWidget::close);
    connect(DBLookupComboBox1, &ui::DBLookupComboBox::choiceMade, this, [this] { DBLookupComboBox1Click(); });
    resize(1000, 640);
}

// The bank list is a member: its combo box goes first, while the list still exists.
TfrmDitta::~TfrmDitta() { delete DBLookupComboBox2; }

void TfrmDitta::mostra() {
    showMaximized();
    raise();
    activateWindow();
}

void TfrmDitta::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) FormActivate();
}

void TfrmDitta::FormActivate() {
    if (!m_dm.Connessione.isOpen()) return;
    // Banks may have changed since the last opening.
    if (Banche.isOpen()) Banche.requery();
    else Banche.open();
    DBLookupComboBox2->refresh();
    garantisciRigaUnica(m_dm.TableDitta, QStringLiteral("ID"), this,
                        QStringLiteral("I dati della ditta non erano presenti in archivio: è stata "
                                       "creata una nuova riga da compilare."));
}

void TfrmDitta::bitSalvaClick() {
    if (m_dm.TableDitta.isOpen() && m_dm.TableDitta.position() >= 0)
        common::SalvaRecord(m_dm.TableDitta, QStringLiteral("ID"));
}

void TfrmDitta::DBLookupComboBox1Click() {
    db::Dataset& ditta = m_dm.TableDitta;
    const db::Dataset& comuni = m_dm.Table7;
    if (ditta.position() < 0 || comuni.position() < 0) return;
    ditta.edit();
    const QString cap = comuni.value(QStringLiteral("Cap")).toString();
    const QString provincia = comuni.value(QStringLiteral("Provincia")).toString();
    if (!cap.isEmpty()) ditta.setValue(QStringLiteral("Cap"), cap);
    if (!provincia.isEmpty()) ditta.setValue(QStringLiteral("Provincia"), provincia);
}

void TfrmDitta::DBEdit8Exit() {
    const QString piva = DBEdit8->text();
    if (piva.isEmpty() || common::ControllaPartitaIva(piva)) return;
    ui::dialogs().message(this, QStringLiteral("Attenzione la partita Iva appena inserita non è valida!!!"),
                          QStringLiteral("Messaggio di Avviso"), ui::MessageIcon::Warning);
}

bool TfrmDitta::eventFilter(QObject* watched, QEvent* event) {
    // Only the cursor leaving the box counts, not the window losing the focus to another.
    if (watched == DBEdit8 && event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) DBEdit8Exit();
    }
    return QWidget::eventFilter(watched, event);
}

bool TfrmDitta::modifichePendenti() const {
    const auto state = m_dm.TableDitta.state();
    if (state == db::Dataset::State::Edit || state == db::Dataset::State::Insert) return true;
    for (const ui::DBEdit* e : findChildren<ui::DBEdit*>())
        if (e->hasPendingText()) return true;
    return false;
}

void TfrmDitta::closeEvent(QCloseEvent* event) {
    // The window is not modal: changes left unsaved would otherwise be posted later by
    // whichever window saves the same row next, or lost at exit without a word.
    if (m_dm.TableDitta.isOpen() && modifichePendenti()) {
        if (ui::dialogs().question(this, QStringLiteral("Vuoi salvare le modifiche ai dati della ditta ?"),
                                   QStringLiteral("Messaggio di avviso"))) {
            bitSalvaClick();
        } else {
            m_dm.TableDitta.cancel();
            for (ui::DBEdit* e : findChildren<ui::DBEdit*>()) e->refresh();
        }
    }
    event->accept();
}
