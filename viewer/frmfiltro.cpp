#include "viewer/frmfiltro.h"

#include "common/controls/dialogs.h"
#include "common/controls/filterform.h"
#include "common/text.h"
#include "db/connection.h"
#include "db/error.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QListWidget>

namespace stampa {

TfrmFiltro::TfrmFiltro(Globali& globali, QWidget* parent)
    : QDialog(parent), m_g(globali), m_clausola(common::FilterOptions::reportViewer()) {
    setObjectName(QStringLiteral("frmFiltro"));
    setWindowTitle(QStringLiteral("Selezione filtri"));
    setModal(true);

    const ui::FilterFormControls c = ui::buildFilterForm(this, QStringLiteral("lstCampiFiltro"));
    lstCampiFiltro = c.list;
    Label1 = c.Label1;
    cmbDA = c.cmbDA;
    Label2 = c.Label2;
    cmbA = c.cmbA;
    chkAnd = c.chkAnd;
    txtFiltro = c.txtFiltro;
    Command1 = c.Command1;
    Command2 = c.Command2;
    Command3 = c.Command3;

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
        // The user reads captions; the column's own name goes into the SQL.
        for (const QString& colonna : common::filterableColumns(*m_g.connessione, m_g.query)) {
            auto* item = new QListWidgetItem(common::DidascaliaColonna(colonna), lstCampiFiltro);
            item->setData(Qt::UserRole, colonna);
        }
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
            common::distinctValues(*m_g.connessione, m_g.query, item->data(Qt::UserRole).toString(),
                                   m_clausola.options());
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
    const QString colonna = scelta && scelta->isSelected() ? scelta->data(Qt::UserRole).toString() : QString();
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
