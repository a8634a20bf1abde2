#pragma once

// The main program's data module on a fresh database as the print code finds it: the
// viewer's start is recorded instead of run, the client record's year chooser holds 2024.

#include "app/printing/scrittura.h"
#include "common/controls/dialogs.h"
#include "support/datamodule.h"

#include <QLineEdit>
#include <gtest/gtest.h>

class Stampe : public ::testing::Test {
protected:
    ui::ScriptedDialogs dialogs;
    testing_support::DataModule data{false};
    testing_support::TempDatabase& tdb = data.tdb;
    Tform_DB& dm = data.dm;
    QWidget sceltaAnno;
    QLineEdit* anno = new QLineEdit(QStringLiteral("2024"), &sceltaAnno);
    QStringList avviati;
    printing::Avvio precedente = printing::setAvvio([this](const QString& p) {
        avviati << p;
        return true;
    });

    Stampe() {
        sceltaAnno.setObjectName(QStringLiteral("frmSceltaAnno"));
        anno->setObjectName(QStringLiteral("txtAnno"));
    }
    ~Stampe() override { printing::setAvvio(precedente); }
    void esegui(const QString& sql) { tdb.connection().execute(sql); }
    // Opens the data module on what the test has written, as the computer named.
    void apri(const QString& computer) {
        dm.nomeComputer = computer;
        data.open();
    }
};
