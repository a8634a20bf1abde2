#include "export/frmcerca.h"

#include "common/controls/dialogs.h"
#include "db/error.h"
#include "export/definizioni.h"
#include "export/form_db.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

namespace esportazioni {

TfrmCerca::TfrmCerca(Tform_DB& dm, QWidget* parent) : QDialog(parent), m_dm(dm) {
    setObjectName(QStringLiteral("frmCerca"));
    setWindowTitle(QStringLiteral("Cerca"));
    DBGrid1 = new QTableWidget(0, 1, this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setHorizontalHeaderLabels({QStringLiteral("Nome Esportazione")});
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    DBGrid1->verticalHeader()->setDefaultSectionSize(22);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    btnProsegui = new QPushButton(QStringLiteral("Prosegui"), this);
    btnProsegui->setObjectName(QStringLiteral("btnProsegui"));
    btnCancella = new QPushButton(QStringLiteral("Cancella"), this);
    btnCancella->setObjectName(QStringLiteral("btnCancella"));
    btnEsci = new QPushButton(QStringLiteral("Esci"), this);
    btnEsci->setObjectName(QStringLiteral("btnEsci"));
    for (QPushButton* b : {btnProsegui, btnCancella, btnEsci}) b->setAutoDefault(false);

    auto* bottoni = new QHBoxLayout;
    bottoni->addWidget(btnCancella);
    bottoni->addStretch(1);
    bottoni->addWidget(btnProsegui);
    bottoni->addWidget(btnEsci);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DBGrid1, 1);
    layout->addLayout(bottoni);
    resize(380, 360);

    connect(btnProsegui, &QPushButton::clicked, this, &TfrmCerca::btnProseguiClick);
    connect(btnCancella, &QPushButton::clicked, this, &TfrmCerca::btnCancellaClick);
    connect(btnEsci, &QPushButton::clicked, this, &QDialog::reject);
    connect(DBGrid1, &QTableWidget::cellDoubleClicked, this, &TfrmCerca::DBGrid1DblClick);
    connect(DBGrid1, &QTableWidget::currentCellChanged, this, &TfrmCerca::seguiCursore);
}

void TfrmCerca::showEvent(QShowEvent* e) {
    Aggiorna();
    QDialog::showEvent(e);
}

void TfrmCerca::Aggiorna() {
    db::Dataset& t = m_dm.TableDatiReportTestata;
    const int posizione = t.isOpen() ? t.position() : 0;
    if (t.isOpen()) t.requery();
    else t.open();
    const QSignalBlocker b(DBGrid1);
    const int nome = t.fieldIndex(QStringLiteral("NomeReport"));
    DBGrid1->setRowCount(t.recordCount());
    for (int r = 0; r < t.recordCount(); ++r)
        DBGrid1->setItem(r, 0, new QTableWidgetItem(t.displayTextAt(r, nome)));
    if (t.recordCount() > 0) {
        t.setPosition(std::clamp(posizione, 0, t.recordCount() - 1));
        DBGrid1->setCurrentCell(t.position(), 0);
    }
}

void TfrmCerca::seguiCursore() {
    db::Dataset& t = m_dm.TableDatiReportTestata;
    const int r = DBGrid1->currentRow();
    if (t.isOpen() && r >= 0 && r < t.recordCount()) t.setPosition(r);
}

void TfrmCerca::btnProseguiClick() { accept(); }

void TfrmCerca::DBGrid1DblClick() { accept(); }

void TfrmCerca::btnCancellaClick() {
    db::Dataset& t = m_dm.TableDatiReportTestata;
    if (!t.isOpen() || t.isEmpty()) return;
    if (!ui::dialogs().question(this, QStringLiteral("Sei sicuro di voler eliminare l'Esportazione?"),
                                QStringLiteral("Messaggio di avviso")))
        return;
    try {
        eliminaDefinizione(m_dm.Connessione, t.keyValue(QStringLiteral("ID")));
        Aggiorna();
    } catch (const db::DatabaseError& e) {
        ui::dialogs().message(this, e.text(), QStringLiteral("Messaggio di errore"),
                              ui::MessageIcon::Error);
    }
}

} // namespace esportazioni
