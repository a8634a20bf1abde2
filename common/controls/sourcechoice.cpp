#include "common/controls/sourcechoice.h"

#include "common/controls/dialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace ui {

int chooseSource(QWidget* parent, const QStringList& devices, int current) {
    QDialog choice(parent);
    choice.setObjectName(QStringLiteral("frmSceltaSorgente"));
    choice.setWindowTitle(QStringLiteral("Scelta della sorgente"));
    auto* layout = new QVBoxLayout(&choice);
    auto* caption = new QLabel(QStringLiteral("Scegli lo scanner o la fotocamera da utilizzare:"), &choice);
    layout->addWidget(caption);
    auto* list = new QListWidget(&choice);
    list->setObjectName(QStringLiteral("lstSorgenti"));
    list->addItems(devices);
    list->setCurrentRow(current);
    list->setMinimumWidth(360);
    caption->setBuddy(list);
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &choice);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Seleziona"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &choice, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &choice, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemDoubleClicked, &choice, &QDialog::accept);
    if (dialogs().exec(&choice) != QDialog::Accepted) return -1;
    return list->currentRow();
}

} // namespace ui
