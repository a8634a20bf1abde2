#include "viewer/frmfiltro.h"

#include "common/controls/dialogs.h"
#include "db/connection.h"
#include "db/error.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace stampa {

TfrmFiltro::TfrmFiltro(Globali& globali, QWidget* parent)
    : QDialog(parent), m_g(globali), m_clausola(common::FilterOptions::reportViewer()) {
    setObjectName(QStringLiteral("frmFiltro"));
    setWindowTitle(QStringLiteral("Selezione filtri"));
    setModal(true);

    lstCampiFiltro = new QListWidget(this);
    lstCampiFiltro->setObjectName(QStringLiteral("lstCampiFiltro"));
    Label1 = new QLabel(QStringLiteral("DA"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    cmbDA = new QComboBox(this);
    cmbDA->setObjectName(QStringLiteral("cmbDA"));
    cmbDA->setEditable(true);
    Label2 = new QLabel(QStringLiteral("A"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    cmbA = new QComboBox(this);
    cmbA->setObjectName(QStringLiteral("cmbA"));
    cmbA->setEditable(true);
    txtFiltro = new QLineEdit(this);
    txtFiltro->setObjectName(QStringLiteral("txtFiltro"));
    txtFiltro->setReadOnly(true);
    chkAnd = new QCheckBox(QStringLiteral("Filtra con AND"), this);
    chkAnd->setObjectName(QStringLiteral("chkAnd"));
    Command2 = new QPushButton(QStringLiteral("Aggiungi"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command1 = new QPushButton(QStringLiteral("Azzera"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command3 = new QPushButton(QStringLiteral("Conferma"), this);
    Command3->setObjectName(QStringLiteral("Command3"));
    for (QPushButton* b : {Command1, Command2, Command3})
        b->setAutoDefault(false);

    auto* valori = new QGridLayout;
    valori->addWidget(Label1, 0, 0);
    valori->addWidget(cmbDA, 0, 1);
    valori->addWidget(Label2, 1, 0);
    valori->addWidget(cmbA, 1, 1);
    valori->addWidget(chkAnd, 2, 1);
    auto* destra = new QVBoxLayout;
    destra->addLayout(valori);
    destra->addStretch();
    auto* alto = new QHBoxLayout;
    alto->addWidget(lstCampiFiltro, 1);
    alto->addLayout(destra, 1);
    auto* pulsanti = new QHBoxLayout;
    pulsanti->addWidget(Command2);
    pulsanti->addWidget(Command1);
    pulsanti->addStretch();
    pulsanti->addWidget(Command3);
    auto* tutto = new QVBoxLayout(this);
    tutto->addLayout(alto, 1);
    tutto->addWidget(txtFiltro);
    tutto->addLayout(pulsanti);
    resize(560, 360);

    connect(lstCampiFiltro, &QListWidget::itemClicked, this, &TfrmFiltro::lstCampiFiltroClick);
    connect(cmbDA, qOverload<int>(&QComboBox::activated), this, &TfrmFiltro::cmbDAClick);
    connect(Command2, &QPushButton::clicked, this, &TfrmFiltro::Command2Click);
    connect(Command1, &QPushButton::clicked, this, &TfrmFiltro::Command1Click);
    connect(Command3, &QPushButton::clicked, this, &TfrmFiltro::Command3Click);
}

void TfrmFiltro::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    FormActivate();
}

void TfrmFiltro::FormActivate() {
    m_g.confermato = false;
    lstCampiFiltro->clear();
    m_clausola.clear();
    m_g.filtro.clear();
    txtFiltro->clear();
    cmbDA->clear();
    cmbA->clear();
    m_tipo.reset();
    m_valori.clear();
    if (!m_g.connessione) return;
    try {
        lstCampiFiltro->addItems(common::filterableColumns(*m_g.connessione, m_g.query));
    } catch (const db::DatabaseError&) {
        // A query that does not run offers no columns; the report shows the error later.
    }
}

void TfrmFiltro::lstCampiFiltroClick(QListWidgetItem* item) {
    cmbDA->clear();
    cmbA->clear();
    m_tipo.reset();
    m_valori.clear();
    if (!item || lstCampiFiltro->count() == 0 || !item->isSelected() || !m_g.connessione) return;
    try {
        const common::DistinctValues v =
            common::distinctValues(*m_g.connessione, m_g.query, item->text(), m_clausola.options());
        m_tipo = v.type;
        m_valori = v.items;
    } catch (const db::DatabaseError&) {
        return; // no values: "Aggiungi" asks for a column again
    }
    cmbDA->addItems(m_valori);
    cmbA->addItems(m_valori);
    cmbDA->setCurrentIndex(-1);
    cmbA->setCurrentIndex(-1);
}

void TfrmFiltro::cmbDAClick(int index) {
    const QString da = cmbDA->currentText();
    cmbA->clear();
    cmbA->addItems(common::upperChoices(m_valori, index));
    cmbA->setCurrentIndex(-1);
    cmbDA->setCurrentText(da);
}

void TfrmFiltro::Command2Click() {
    const QListWidgetItem* scelta = lstCampiFiltro->currentItem();
    const QString colonna = scelta && scelta->isSelected() ? scelta->text() : QString();
    const common::FilterOptions& o = m_clausola.options();
    if (colonna.isEmpty() || !m_tipo) {
        ui::dialogs().message(this, o.noColumnText, o.noColumnCaption, ui::MessageIcon::Error);
        return;
    }
    common::FilterClause::Outcome esito;
    try {
        esito = m_clausola.add(colonna, m_tipo, cmbDA->currentText(), cmbA->currentText(),
                               chkAnd->isChecked());
    } catch (const db::DatabaseError& e) {
        // A value that does not read as the column's type: nothing is added.
        ui::dialogs().message(this, e.text(), o.noValueCaption, ui::MessageIcon::Error);
        return;
    }
    txtFiltro->setText(m_clausola.description());
    if (esito == common::FilterClause::Outcome::NoValue) {
        ui::dialogs().message(this, o.noValueText, o.noValueCaption, ui::MessageIcon::None);
        cmbDA->setFocus();
        return;
    }
    m_g.filtro = m_clausola.clause();
    cmbA->setCurrentIndex(-1);
    cmbA->setEditText(QString());
    cmbDA->setCurrentIndex(-1);
    cmbDA->setEditText(QString());
}

void TfrmFiltro::Command1Click() {
    m_clausola.clear();
    m_g.filtro.clear();
    txtFiltro->clear();
}

void TfrmFiltro::Command3Click() {
    m_g.confermato = true;
    m_g.filtro = m_clausola.confirmedClause();
    accept();
}

} // namespace stampa
