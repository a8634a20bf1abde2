#include "app/payments/sceltaanno.h"

#include "app/shell/form_db.h"
#include "common/controls/formconventions.h"
#include "common/controls/toolbutton.h"
#include "db/dataset.h"

#include <QDate>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

TfrmSceltaAnno::TfrmSceltaAnno(Tform_DB& dm, QWidget* parent) : QDialog(parent), m_dm(dm) {
    setObjectName(QStringLiteral("frmSceltaAnno"));
    setWindowTitle(QStringLiteral("scelta Anno"));
    auto* top = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    spdAvanti = ui::toolButton(this, QStringLiteral("spdAvanti"), QStringLiteral("Stampa"), QStringLiteral("document-print"));
    spdIndietro = ui::toolButton(this, QStringLiteral("spdIndietro"), QStringLiteral("Indietro"), QStringLiteral("go-previous"));
    bar->addWidget(spdAvanti);
    bar->addStretch(1);
    bar->addWidget(spdIndietro);
    top->addLayout(bar);
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("scegli l'anno"), this);
    txtAnno = new QLineEdit(QString::number(QDate::currentDate().year()), this);
    txtAnno->setObjectName(QStringLiteral("txtAnno"));
    // The year goes into the receipt's query as typed: digits only.
    txtAnno->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,4}")), txtAnno));
    txtAnno->setFixedWidth(80);
    label->setBuddy(txtAnno);
    row->addWidget(label);
    row->addWidget(txtAnno);
    row->addStretch(1);
    top->addLayout(row);
    connect(spdAvanti, &QToolButton::clicked, this, [this] { spdAvantiClick(); });
    connect(spdIndietro, &QToolButton::clicked, this, &QDialog::close);
    setMinimumWidth(300);
    ui::FormConventions::install(this);
}

void TfrmSceltaAnno::mostra(QWidget* owner) {
    // A window of its own above the modal record, or the record would block it.
    if (owner && parentWidget() != owner) setParent(owner, windowFlags());
    if (!isVisible() && owner) {
        adjustSize();
        move(owner->geometry().center() - rect().center());
    }
    show();
    raise();
    activateWindow();
}

void TfrmSceltaAnno::spdAvantiClick() {
    db::Dataset& clienti = m_dm.Table1;
    if (txtAnno->text().isEmpty() || !clienti.isOpen() || clienti.isEmpty()) return;
    const bool pagante = !clienti.value(QStringLiteral("Quietanza_Cognome")).toString().trimmed().isEmpty();
    m_dm.tipoReport = pagante ? 21 : 22;
    m_dm.Button2Click();
}
