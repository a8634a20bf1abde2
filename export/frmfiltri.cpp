#include "export/frmfiltri.h"

#include "common/controls/dialogs.h"
#include "common/controls/filterform.h"
#include "db/error.h"
#include "export/form_db.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QListWidget>
#include <QSignalBlocker>

namespace esportazioni {

TfrmFiltri::TfrmFiltri(Tform_DB& dm, QWidget* parent)
    : QDialog(parent), m_dm(dm), m_filtro(common::FilterOptions::exportTool()) {
    setObjectName(QStringLiteral("frmFiltri"));
    setWindowTitle(QStringLiteral("Filtri"));

    const ui::FilterFormControls c = ui::buildFilterForm(this, QStringLiteral("lstCampi"));
    lstCampi = c.list;
    Label1 = c.Label1;
    cmbDA = c.cmbDA;
    Label2 = c.Label2;
    cmbA = c.cmbA;
    chkAnd = c.chkAnd;
    chkAnd->setChecked(true);
    txtFiltro = c.txtFiltro;
    Command1 = c.Command1;
    Command2 = c.Command2;
    Command3 = c.Command3;

    // Values are read for a selected column only: focus alone makes a row current.
    connect(lstCampi, &QListWidget::itemSelectionChanged, this, &TfrmFiltri::lstCampiClick);
    connect(cmbDA, &QComboBox::currentIndexChanged, this, &TfrmFiltri::cmbDAChange);
    connect(cmbDA, &QComboBox::editTextChanged, this, &TfrmFiltri::cmbDAChange);
    connect(Command1, &QPushButton::clicked, this, &TfrmFiltri::Command1Click);
    connect(Command2, &QPushButton::clicked, this, &TfrmFiltri::Command2Click);
    connect(Command3, &QPushButton::clicked, this, &TfrmFiltri::Command3Click);
}

void TfrmFiltri::Pulisci(const QStringList& colonne, const QString& querySorgente) {
    m_query = querySorgente;
    m_filtro.clear();
    m_clausola.clear();
    m_confermato = false;
    m_tipo.reset();
    m_valori.clear();
    const QSignalBlocker b(lstCampi);
    lstCampi->clear();
    lstCampi->addItems(colonne);
    lstCampi->setCurrentRow(-1);
    riempi(cmbDA, {});
    riempi(cmbA, {});
    txtFiltro->clear();
}

void TfrmFiltri::riempi(QComboBox* box, const QStringList& voci) {
    const QSignalBlocker b(box);
    box->clear();
    box->addItems(voci);
    box->setCurrentIndex(-1);
    box->setEditText(QString());
}

void TfrmFiltri::lstCampiClick() {
    m_tipo.reset();
    m_valori.clear();
    riempi(cmbDA, {});
    riempi(cmbA, {});
    QListWidgetItem* item = lstCampi->currentItem();
    if (!item || !item->isSelected()) return;
    try {
        const common::DistinctValues v =
            common::distinctValues(m_dm.Connessione, m_query, item->text(), m_filtro.options());
        m_tipo = v.type;
        m_valori = v.items;
    } catch (const db::DatabaseError& e) {
        ui::dialogs().message(this, e.text(), QStringLiteral("Messaggio di errore"),
                              ui::MessageIcon::Error);
        return;
    }
    riempi(cmbDA, m_valori);
    riempi(cmbA, m_valori);
}

void TfrmFiltri::cmbDAChange() {
    // A typed text that is no item leaves the whole list above it.
    const int scelto = cmbDA->findText(cmbDA->currentText(), Qt::MatchExactly);
    riempi(cmbA, common::upperChoices(m_valori, cmbDA->currentText().isEmpty() ? -1 : scelto));
}

void TfrmFiltri::Command1Click() {
    m_filtro.clear();
    m_clausola.clear();
    txtFiltro->clear();
}

void TfrmFiltri::Command2Click() {
    QListWidgetItem* item = lstCampi->currentItem();
    const QString colonna = item && item->isSelected() ? item->text() : QString();
    const common::FilterOptions& o = m_filtro.options();
    common::FilterClause::Outcome esito;
    try {
        esito = m_filtro.add(colonna, m_tipo, cmbDA->currentText(), cmbA->currentText(),
                             chkAnd->isChecked());
    } catch (const db::DatabaseError& e) {
        ui::dialogs().message(this, e.text(), o.noValueCaption, ui::MessageIcon::Warning);
        cmbDA->setFocus();
        return;
    }
    txtFiltro->setText(m_filtro.description());
    m_clausola = m_filtro.clause();
    switch (esito) {
    case common::FilterClause::Outcome::NoColumn:
        ui::dialogs().message(this, o.noColumnText, o.noColumnCaption,
                              o.noColumnErrorIcon ? ui::MessageIcon::Error
                                                  : ui::MessageIcon::Warning);
        return;
    case common::FilterClause::Outcome::NoValue:
        ui::dialogs().message(this, o.noValueText, o.noValueCaption, ui::MessageIcon::Warning);
        cmbDA->setFocus();
        return;
    case common::FilterClause::Outcome::Added:
        break;
    }
    riempi(cmbA, m_valori);
    riempi(cmbDA, m_valori);
}

void TfrmFiltri::Command3Click() {
    m_confermato = true;
    m_clausola = m_filtro.confirmedClause();
    accept();
}

} // namespace esportazioni
