#include "app/shell/frmutilita.h"

#include "app/shell/form_db.h"
#include "common/controls/dbedits.h"
#include "common/controls/dialogs.h"
#include "common/controls/formconventions.h"
#include "common/controls/help.h"
#include "common/controls/icons.h"
#include "common/controls/toolbutton.h"

#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

TfrmUtilita::TfrmUtilita(Tform_DB& dm, QWidget* parent) : QDialog(parent), m_dm(dm) {
    setObjectName(QStringLiteral("frmUtilita"));
    setWindowTitle(QStringLiteral("Utilità"));
    ui::HelpService::setHelpContext(this, 800);

    auto tool = [this](const char* name, const char* caption, const char* icon) {
        return ui::toolButton(this, QString::fromLatin1(name), QString::fromUtf8(caption), QString::fromLatin1(icon));
    };
    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(8, 6, 8, 10);
    auto* bar = new QHBoxLayout;
    bar->addStretch(1);
    spdHelp = tool("spdHelp", "Aiuto", "help-contents");
    spdIndietro = tool("spdIndietro", "Indietro", "go-previous");
    bar->addWidget(spdHelp);
    bar->addWidget(spdIndietro);
    top->addLayout(bar);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    top->addWidget(line);

    auto* group = new QGroupBox(QStringLiteral("Clienti di una stagione"), this);
    auto* row = new QHBoxLayout(group);
    auto* label = new QLabel(QStringLiteral("Utenti della Stagione : "), group);
    DBLookupComboBox1 = new ui::DBLookupComboBox(group);
    DBLookupComboBox1->setObjectName(QStringLiteral("DBLookupComboBox1"));
    DBLookupComboBox1->setListSource(&dm.TableStagione, QStringLiteral("Id"), QStringLiteral("Descrizione"));
    DBLookupComboBox1->setMinimumWidth(220);
    label->setBuddy(DBLookupComboBox1);
    SpeedButton10 = new QToolButton(group);
    SpeedButton10->setObjectName(QStringLiteral("SpeedButton10"));
    SpeedButton10->setText(QStringLiteral("Annulla"));
    SpeedButton10->setToolTip(QStringLiteral("Annulla tutti i clienti della stagione"));
    SpeedButton10->setIcon(ui::themeIcon(QStringLiteral("user-group-delete")));
    SpeedButton1 = new QToolButton(group);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setText(QStringLiteral("Riabilita"));
    SpeedButton1->setToolTip(QStringLiteral("Riabilita tutti i clienti della stagione"));
    SpeedButton1->setIcon(ui::themeIcon(QStringLiteral("user-group-new")));
    for (QToolButton* b : {SpeedButton10, SpeedButton1}) {
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setMinimumWidth(100);
    }
    row->addWidget(label);
    row->addWidget(DBLookupComboBox1, 1);
    row->addSpacing(12);
    row->addWidget(SpeedButton10);
    row->addWidget(SpeedButton1);
    top->addWidget(group);
    top->addStretch(1);

    connect(SpeedButton10, &QToolButton::clicked, this, [this] { SpeedButton10Click(); });
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    connect(spdHelp, &QToolButton::clicked, this, [this] { spdHelpClick(); });
    connect(spdIndietro, &QToolButton::clicked, this, &QDialog::accept);
    ui::FormConventions::install(this);
}

int TfrmUtilita::impostaAnnullato(bool annullato) {
    const QVariant stagione = DBLookupComboBox1->keyValue();
    if (!stagione.isValid() || stagione.isNull() || stagione.toLongLong() <= 0) {
        ui::dialogs().message(this, QStringLiteral("Prima devi scegliere la stagione di Lavoro"),
                              QStringLiteral("AVVISO"), ui::MessageIcon::Warning);
        DBLookupComboBox1->setFocus(Qt::OtherFocusReason);
        return -1;
    }
    db::Dataset& clienti = m_dm.Table1;
    // The season's filter replaces the standard one, so its cancelled clients are included.
    clienti.disableControls();
    int conta = 0;
    try {
        clienti.setFilter(QStringLiteral("Stagione_ID = ") + QString::number(stagione.toLongLong()));
        // All or nothing: a failure half-way must not leave the season half-cancelled.
        db::Transaction transazione(m_dm.Connessione);
        for (clienti.first(); !clienti.eof(); clienti.next()) {
            clienti.edit();
            clienti.setValue(QStringLiteral("Annullato"), annullato);
            ++conta;
        }
        if (clienti.state() == db::Dataset::State::Edit) clienti.post();
        transazione.commit();
    } catch (...) {
        // The rows already posted were rolled back: read them again as they are stored.
        if (clienti.state() != db::Dataset::State::Browse) clienti.cancel();
        clienti.requery();
        clienti.setFilter(QString());
        clienti.enableControls();
        throw;
    }
    clienti.setFilter(QString());
    clienti.enableControls();
    return conta;
}

void TfrmUtilita::SpeedButton10Click() {
    const int n = impostaAnnullato(true);
    if (n < 0) return;
    ui::dialogs().message(this,
                          QStringLiteral("Sono stati annullati : ") + QString::number(n) +
                              QStringLiteral(" Record di clienti in archivio"),
                          QStringLiteral("Avviso"), ui::MessageIcon::Information);
}

void TfrmUtilita::SpeedButton1Click() {
    const int n = impostaAnnullato(false);
    if (n < 0) return;
    ui::dialogs().message(this,
                          QStringLiteral("Sono stati riabilitati : ") + QString::number(n) +
                              QStringLiteral(" Record di clienti in archivio"),
                          QStringLiteral("Avviso"), ui::MessageIcon::Information);
}

void TfrmUtilita::spdHelpClick() { ui::help().showHelp(this); }
