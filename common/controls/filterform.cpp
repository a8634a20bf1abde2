#include "common/controls/filterform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace ui {

namespace {
template <class W> W* named(W* w, const char* name) {
    w->setObjectName(QString::fromLatin1(name));
    return w;
}
} // namespace

FilterFormControls buildFilterForm(QDialog* d, const QString& listName) {
    FilterFormControls c;
    c.list = new QListWidget(d);
    c.list->setObjectName(listName);
    c.Label1 = named(new QLabel(QStringLiteral("DA"), d), "Label1");
    c.cmbDA = named(new QComboBox(d), "cmbDA");
    c.Label2 = named(new QLabel(QStringLiteral("A"), d), "Label2");
    c.cmbA = named(new QComboBox(d), "cmbA");
    for (QComboBox* b : {c.cmbDA, c.cmbA}) {
        b->setEditable(true);
        b->setInsertPolicy(QComboBox::NoInsert);
        b->setMinimumWidth(220);
        b->setMaxVisibleItems(20);
    }
    c.Label1->setBuddy(c.cmbDA);
    c.Label2->setBuddy(c.cmbA);
    c.chkAnd = named(new QCheckBox(QStringLiteral("Filtra con AND"), d), "chkAnd");
    c.txtFiltro = named(new QLineEdit(d), "txtFiltro");
    c.txtFiltro->setReadOnly(true);
    c.Command1 = named(new QPushButton(QStringLiteral("Azzera"), d), "Command1");
    c.Command2 = named(new QPushButton(QStringLiteral("Aggiungi"), d), "Command2");
    c.Command3 = named(new QPushButton(QStringLiteral("Conferma"), d), "Command3");
    for (QPushButton* b : {c.Command1, c.Command2, c.Command3}) b->setAutoDefault(false);

    auto* valori = new QGridLayout;
    valori->addWidget(c.Label1, 0, 0);
    valori->addWidget(c.cmbDA, 0, 1);
    valori->addWidget(c.Label2, 1, 0);
    valori->addWidget(c.cmbA, 1, 1);
    valori->addWidget(c.chkAnd, 2, 1);
    valori->setRowStretch(3, 1);
    valori->setColumnStretch(1, 1);
    valori->setContentsMargins(0, 22, 0, 0); // level with the list below its title
    auto* campi = new QVBoxLayout;
    // The labels name the list and the description for a screen reader.
    auto* lblCampi = new QLabel(QStringLiteral("Campi"), d);
    lblCampi->setBuddy(c.list);
    campi->addWidget(lblCampi);
    campi->addWidget(c.list);
    auto* sopra = new QHBoxLayout;
    sopra->addLayout(campi, 1);
    sopra->addLayout(valori, 1);
    auto* bottoni = new QHBoxLayout;
    bottoni->addWidget(c.Command1);
    bottoni->addStretch(1);
    bottoni->addWidget(c.Command2);
    bottoni->addWidget(c.Command3);
    auto* layout = new QVBoxLayout(d);
    layout->addLayout(sopra, 1);
    auto* lblFiltro = new QLabel(QStringLiteral("Filtro"), d);
    lblFiltro->setBuddy(c.txtFiltro);
    layout->addWidget(lblFiltro);
    layout->addWidget(c.txtFiltro);
    layout->addLayout(bottoni);
    d->resize(560, 380);
    return c;
}

} // namespace ui
