#include "app/shell/frmpass.h"

#include "common/controls/dialogs.h"
#include "common/controls/formconventions.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmPass::TfrmPass(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmPass"));
    setWindowTitle(QStringLiteral("Password"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowContextHelpButtonHint);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("Inserisci la Password"), this);
    layout->addWidget(label);
    Edit1 = new QLineEdit(this);
    label->setBuddy(Edit1);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setEchoMode(QLineEdit::Password);
    Edit1->setMinimumWidth(240);
    layout->addWidget(Edit1);
    connect(Edit1, &QLineEdit::returnPressed, this, &QDialog::accept);
    ui::FormConventions::install(this);
    ui::FormConventions::setOwnEnter(Edit1);
}

QString TfrmPass::chiedi(QWidget* parent) {
    TfrmPass dialog(parent);
    ui::dialogs().exec(&dialog);
    return dialog.Edit1->text();
}

TfrmRealizzazione::TfrmRealizzazione(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmRealizzazione"));
    setWindowTitle(QStringLiteral("Realizzazione"));
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(QStringLiteral("<h2>Vastrel</h2>"), this);
    layout->addWidget(title);
    layout->addWidget(new QLabel(
        QStringLiteral("Gestione di palestre e centri fitness<br>Versione %1<br><br>"
                       "Assistenza: <a href=\"mailto:assistenza@vastrel.it\">assistenza@vastrel.it</a><br><br>"
                       "Dati dei comuni italiani: Fonte: ISTAT (CC BY 3.0 IT).")
            .arg(QCoreApplication::applicationVersion()),
        this));
    auto* close = new QPushButton(QStringLiteral("Chiudi"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(close, 0, Qt::AlignRight);
}
