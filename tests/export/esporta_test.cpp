#include "export_fixture.h"

#include "export/frmfiltri.h"
#include "export/scrittura.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

using namespace esportazioni;
using export_testing::ExportTool;
using export_testing::Rows;

namespace {

QStringList items(QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i) out.append(box->itemText(i));
    return out;
}

// frmFiltri's controls, for the scripts that drive it.
struct Filtri {
    explicit Filtri(QDialog* d)
        : lstCampi(d->findChild<QListWidget*>(QStringLiteral("lstCampi"))),
          cmbDA(d->findChild<QComboBox*>(QStringLiteral("cmbDA"))),
          cmbA(d->findChild<QComboBox*>(QStringLiteral("cmbA"))),
          txtFiltro(d->findChild<QLineEdit*>(QStringLiteral("txtFiltro"))),
          chkAnd(d->findChild<QCheckBox*>(QStringLiteral("chkAnd"))),
          azzera(d->findChild<QPushButton*>(QStringLiteral("Command1"))),
          aggiungi(d->findChild<QPushButton*>(QStringLiteral("Command2"))),
          conferma(d->findChild<QPushButton*>(QStringLiteral("Command3"))) {}
    void column(const QString& name) {
        const auto found = lstCampi->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        lstCampi->setCurrentItem(found.first());
    }
    void pick(QComboBox* box, const QString& value) {
        const int i = box->findText(value);
        ASSERT_GE(i, 0) << value.toStdString();
        box->setCurrentIndex(i);
    }
    QListWidget* lstCampi;
    QComboBox *cmbDA, *cmbA;
    QLineEdit* txtFiltro;
    QCheckBox* chkAnd;
    QPushButton *azzera, *aggiungi, *conferma;
};

class Exporting : public ExportTool {
protected:
    void SetUp() override {
        ExportTool::SetUp();
        start();
        choose(QStringLiteral("Pagamenti"));
        tick(columns());
    }
    // Runs "Esporta", answering the save dialog with `chosen`.
    void exportTo(const QString& chosen) {
        dialogs.files = QStringList{chosen};
        form->BitBtn4->click();
    }
    QStringList column(const Rows& rows, int c) {
        QStringList out;
        for (int r = 1; r < rows.size(); ++r) out.append(rows[r].value(c));
        return out;
    }
};

} // namespace

TEST_F(Exporting, NothingTickedStopsBeforeTheFilter) {
    form->CheckListBox1->item(0)->setCheckState(Qt::Unchecked);
    for (int i = 1; i < form->CheckListBox1->count(); ++i)
        form->CheckListBox1->item(i)->setCheckState(Qt::Unchecked);
    form->BitBtn4->click();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("seleziona i campi da esportare !"));
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("Messaggio di Avviso"));
}

TEST_F(Exporting, FilterThenSaveDialogThenFile) {
    dialogs.onExec = [](QDialog* d) { Filtri(d).conferma->click(); };
    exportTo(out.filePath(QStringLiteral("pagamenti")));
    ASSERT_EQ(dialogs.shown.size(), 2);
    EXPECT_EQ(dialogs.shown[0].kind, QStringLiteral("exec"));
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("Filtri"));
    EXPECT_EQ(dialogs.shown[1].kind, QStringLiteral("save"));
    EXPECT_TRUE(dialogs.shown[1].text.startsWith(QStringLiteral("Files csv (*.csv)")));

    const QString file = out.filePath(QStringLiteral("pagamenti.csv"));
    EXPECT_EQ(form->ultimoFile, file);
    const Rows rows = export_testing::readCsv(file);
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[0].mid(0, 9), columns());
    EXPECT_EQ(column(rows, 3), QStringList({"Quota \"gold\"; annuale", "Iscrizione 50 €", "Mensile"}));
    EXPECT_EQ(column(rows, 6), QStringList({"riga uno\nriga due", "東京; ő", ""}));
}

TEST_F(Exporting, FolderWithADotKeepsItsName) {
    ASSERT_TRUE(QDir(out.path()).mkdir(QStringLiteral("Dati.2024")));
    exportTo(out.filePath(QStringLiteral("Dati.2024/clienti")));
    EXPECT_TRUE(QFileInfo::exists(out.filePath(QStringLiteral("Dati.2024/clienti.csv"))));
    EXPECT_FALSE(QFileInfo::exists(out.filePath(QStringLiteral("Dati.csv"))));
    EXPECT_EQ(export_testing::readCsv(out.filePath(QStringLiteral("Dati.2024/clienti.csv"))).size(), 4);
}

TEST_F(Exporting, EachExportStartsWithAFreshFilter) {
    dialogs.onExec = [](QDialog* d) {
        Filtri f(d);
        f.column(QStringLiteral("Importo"));
        EXPECT_EQ(items(f.cmbDA), QStringList({"7,25", "12,5", "100"}));
        f.pick(f.cmbDA, QStringLiteral("12,5"));
        EXPECT_EQ(items(f.cmbA), QStringList({"12,5", "100"})); // not below the lower value
        f.aggiungi->click();
        EXPECT_EQ(f.txtFiltro->text(), QStringLiteral(" Da 12,5"));
        EXPECT_TRUE(f.cmbDA->currentText().isEmpty());
        // A quote in a value: the row of O'Neil is found, not a broken statement.
        f.column(QStringLiteral("Cliente"));
        f.pick(f.cmbDA, QStringLiteral("O'Neil Seán"));
        f.pick(f.cmbA, QStringLiteral("O'Neil Seán"));
        f.aggiungi->click();
        EXPECT_EQ(f.txtFiltro->text(), QStringLiteral(" Da 12,5 e  Da O'Neil Seán fino a O'Neil Seán"));
        f.conferma->click();
    };
    const QString file = out.filePath(QStringLiteral("p.csv"));
    exportTo(file);
    EXPECT_EQ(form->filtro, QStringLiteral(" Where [Importo] >=12.5 AND [Cliente] >='O''Neil Seán' "
                                           "AND [Cliente] <='O''Neil Seán'"));
    EXPECT_EQ(column(export_testing::readCsv(file), 1), QStringList({"O'Neil Seán"}));

    // The second export shows the window afresh and, closed as it is, exports every row.
    dialogs.onExec = [this](QDialog* d) {
        Filtri f(d);
        EXPECT_TRUE(f.txtFiltro->text().isEmpty());
        EXPECT_EQ(f.lstCampi->count(), columns().size());
        EXPECT_TRUE(f.lstCampi->selectedItems().isEmpty());
        EXPECT_EQ(f.cmbDA->count(), 0);
        d->reject();
    };
    exportTo(file);
    EXPECT_TRUE(form->filtro.isEmpty());
    EXPECT_EQ(export_testing::readCsv(file).size(), 4);
}

TEST_F(Exporting, ClosingWithoutConfirmKeepsTheClauseBuilt) {
    dialogs.onExec = [](QDialog* d) {
        Filtri f(d);
        f.chkAnd->setChecked(false);
        f.column(QStringLiteral("Data"));
        EXPECT_EQ(items(f.cmbDA), QStringList({"15/03/2024", "16/03/2024 18:45:00", "17/03/2024"}));
        f.pick(f.cmbDA, QStringLiteral("17/03/2024"));
        f.pick(f.cmbA, QStringLiteral("17/03/2024"));
        f.aggiungi->click();
        d->reject();
    };
    const QString file = out.filePath(QStringLiteral("p.csv"));
    exportTo(file);
    // The two bounds of one column joined by OR take every row.
    EXPECT_EQ(form->filtro, QStringLiteral(" Where [Data] >=#3/17/2024# OR [Data] <=#3/17/2024 0.0.59#"));
    EXPECT_EQ(export_testing::readCsv(file).size(), 4);

    dialogs.onExec = [](QDialog* d) {
        Filtri f(d);
        f.column(QStringLiteral("Data"));
        f.pick(f.cmbDA, QStringLiteral("16/03/2024 18:45:00"));
        f.aggiungi->click();
        d->close();
    };
    exportTo(file);
    EXPECT_EQ(column(export_testing::readCsv(file), 0), QStringList({"16/03/2024 18:45:00", "17/03/2024"}));
}

TEST_F(Exporting, FilterWindowRefusalsAndConfirmRule) {
    dialogs.onExec = [this](QDialog* d) {
        Filtri f(d);
        f.aggiungi->click(); // no column
        f.column(QStringLiteral("Operazione"));
        f.aggiungi->click(); // no value
        EXPECT_TRUE(f.txtFiltro->text().isEmpty());
        f.column(QStringLiteral("Importo"));
        f.cmbDA->setEditText(QStringLiteral("dieci"));
        EXPECT_EQ(items(f.cmbA).size(), 3); // typed, not chosen: the whole list
        f.aggiungi->click();                // not a number
        f.column(QStringLiteral("Operazione"));
        f.pick(f.cmbDA, QStringLiteral("Mensile"));
        f.aggiungi->click();
        f.azzera->click();
        EXPECT_TRUE(f.txtFiltro->text().isEmpty());
        f.conferma->click();
        EXPECT_TRUE(static_cast<TfrmFiltri*>(d)->confermato());
        // Only what a window shows has been shown so far.
        const QStringList m = dialogs.messages();
        ASSERT_EQ(m.size(), 3);
        EXPECT_EQ(m[0], QStringLiteral("Attenzione non e' stato selezionato alcun campo !"));
        EXPECT_EQ(m[1], QStringLiteral("Attenzione è necessario selezionare una voce prima di aggiungerla..."));
        EXPECT_TRUE(m[2].contains(QStringLiteral("dieci")));
        EXPECT_EQ(f.cmbDA->hasFocus() || !d->isActiveWindow(), true);
    };
    const QString file = out.filePath(QStringLiteral("p.csv"));
    exportTo(file);
    EXPECT_TRUE(form->filtro.isEmpty()); // "Azzera" then "Conferma": unfiltered
    EXPECT_EQ(export_testing::readCsv(file).size(), 4);
}

TEST_F(Exporting, EmptyResultStopsBeforeTheSaveDialog) {
    dialogs.onExec = [](QDialog* d) {
        Filtri f(d);
        f.column(QStringLiteral("Importo"));
        f.cmbDA->setEditText(QStringLiteral("1000"));
        f.aggiungi->click();
        f.conferma->click();
    };
    exportTo(out.filePath(QStringLiteral("vuoto")));
    ASSERT_EQ(dialogs.messages(), QStringList({"recordset vuoto !"}));
    for (const auto& s : dialogs.shown) EXPECT_NE(s.kind, QStringLiteral("save"));
    EXPECT_TRUE(QDir(out.path()).isEmpty());
}

TEST_F(Exporting, CancelledSaveDialogWritesNothing) {
    dialogs.files.clear();
    form->BitBtn4->click();
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_TRUE(QDir(out.path()).isEmpty());
}

TEST_F(Exporting, UnwritableTargetIsReportedAndLeavesNoFile) {
    QFile regular(out.filePath(QStringLiteral("documento")));
    ASSERT_TRUE(regular.open(QIODevice::WriteOnly));
    regular.close();
    const QString target = out.filePath(QStringLiteral("documento/pagamenti.csv"));
    exportTo(target);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].contains(target));
    EXPECT_EQ(dialogs.shown.last().caption, QStringLiteral("Messaggio di errore"));
    EXPECT_TRUE(form->ultimoFile.isEmpty());
    EXPECT_EQ(QDir(out.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"documento"}));
}

TEST_F(Exporting, WorkbookWhenTheNameAsksForIt) {
    if (!xlsxDisponibile()) GTEST_SKIP() << "built without xlsxwriter";
    exportTo(out.filePath(QStringLiteral("pagamenti.xlsx")));
    EXPECT_TRUE(dialogs.shown.last().text.contains(QStringLiteral("(*.xlsx)")));
    const QString file = out.filePath(QStringLiteral("pagamenti.xlsx"));
    EXPECT_EQ(form->ultimoFile, file);
    const QByteArray sheet = export_testing::unzipMember(file, QStringLiteral("xl/worksheets/sheet1.xml"));
    EXPECT_TRUE(sheet.contains("<v>45366</v>"));
    EXPECT_TRUE(sheet.contains("<v>12.5</v>"));
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"pagamenti.xlsx"}));
}
