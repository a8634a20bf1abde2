#include "export_fixture.h"

#include "export/frmfiltri.h"
#include "export/scrittura.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace esportazioni;
using export_testing::ExportTool;
using export_testing::Rows;

namespace {

QStringList items(QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i) out.append(box->itemText(i));
    return out;
}

// The filter window shown by an export, with its choices made as a click makes them.
struct Filtri {
    TfrmFiltri* w;
    explicit Filtri(QDialog* d) : w(static_cast<TfrmFiltri*>(d)) {}
    TfrmFiltri* operator->() const { return w; }
    void column(const QString& name) {
        const auto found = w->lstCampi->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        w->lstCampi->setCurrentItem(found.first());
    }
    void pick(QComboBox* box, const QString& value) {
        const int i = box->findText(value);
        ASSERT_GE(i, 0) << value.toStdString();
        box->setCurrentIndex(i);
    }
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

TEST_F(Exporting, FilterThenSaveDialogThenFileInAFolderWithADot) {
    ASSERT_TRUE(QDir(out.path()).mkdir(QStringLiteral("Dati.2024")));
    dialogs.onExec = [](QDialog* d) { Filtri(d)->Command3->click(); };
    exportTo(out.filePath(QStringLiteral("Dati.2024/pagamenti")));
    ASSERT_EQ(dialogs.shown.size(), 2);
    EXPECT_EQ(dialogs.shown[0].kind, QStringLiteral("exec"));
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("Filtri"));
    EXPECT_EQ(dialogs.shown[1].kind, QStringLiteral("save"));
    EXPECT_TRUE(dialogs.shown[1].text.startsWith(QStringLiteral("Files csv (*.csv)")));

    const QString file = out.filePath(QStringLiteral("Dati.2024/pagamenti.csv"));
    EXPECT_EQ(form->ultimoFile, file);
    const Rows rows = export_testing::readCsv(file);
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[0].mid(0, 9), columns());
    EXPECT_EQ(column(rows, 3), QStringList({"Quota \"gold\"; annuale", "Iscrizione 50 €", "Mensile"}));
    EXPECT_EQ(column(rows, 6), QStringList({"riga uno\nriga due", "東京; ő", ""}));
}

TEST_F(Exporting, EachExportStartsWithAFreshFilter) {
    dialogs.onExec = [](QDialog* d) {
        Filtri f(d);
        f.column(QStringLiteral("Importo"));
        EXPECT_EQ(items(f->cmbDA), QStringList({"7,25", "12,5", "100"}));
        f.pick(f->cmbDA, QStringLiteral("12,5"));
        EXPECT_EQ(items(f->cmbA), QStringList({"12,5", "100"})); // not below the lower value
        f->Command2->click();
        EXPECT_EQ(f->txtFiltro->text(), QStringLiteral(" Da 12,5"));
        EXPECT_TRUE(f->cmbDA->currentText().isEmpty());
        // A quote in a value: the row of O'Neil is found, not a broken statement.
        f.column(QStringLiteral("Cliente"));
        f.pick(f->cmbDA, QStringLiteral("O'Neil Seán"));
        f.pick(f->cmbA, QStringLiteral("O'Neil Seán"));
        f->Command2->click();
        f->Command3->click();
    };
    const QString file = out.filePath(QStringLiteral("p.csv"));
    exportTo(file);
    EXPECT_EQ(form->filtro, QStringLiteral(" Where [Importo] >=12.5 AND [Cliente] >='O''Neil Seán' "
                                           "AND [Cliente] <='O''Neil Seán'"));
    EXPECT_EQ(column(export_testing::readCsv(file), 1), QStringList({"O'Neil Seán"}));

    // The second export shows the window afresh and, closed as it is, exports every row.
    dialogs.onExec = [this](QDialog* d) {
        Filtri f(d);
        EXPECT_TRUE(f->txtFiltro->text().isEmpty());
        EXPECT_EQ(f->lstCampi->count(), columns().size());
        EXPECT_TRUE(f->lstCampi->selectedItems().isEmpty());
        EXPECT_EQ(f->cmbDA->count(), 0);
        QTest::keyClick(f->lstCampi, Qt::Key_Escape); // closed from the keyboard
        EXPECT_FALSE(d->isVisible());
    };
    exportTo(file);
    EXPECT_TRUE(form->filtro.isEmpty());
    EXPECT_EQ(export_testing::readCsv(file).size(), 4);
}

// Refusals change nothing; closing the window without "Conferma" keeps the clause built.
TEST_F(Exporting, RefusalsThenClosingWithoutConfirmKeepsTheClauseBuilt) {
    dialogs.onExec = [this](QDialog* d) {
        Filtri f(d);
        f->Command2->click(); // no column
        f.column(QStringLiteral("Operazione"));
        f->Command2->click(); // no value
        f.column(QStringLiteral("Importo"));
        f->cmbDA->setFocus();
        QTest::keyClicks(f->cmbDA, QStringLiteral("dieci"));
        EXPECT_EQ(items(f->cmbA).size(), 3); // typed, not chosen: the whole list
        f->Command2->click();                // not a number
        const QStringList m = dialogs.messages();
        ASSERT_EQ(m.size(), 3);
        EXPECT_EQ(m.mid(0, 2), QStringList({"Attenzione non e' stato selezionato alcun campo !",
                                            "Attenzione è necessario selezionare una voce prima di aggiungerla..."}));
        EXPECT_TRUE(m[2].contains(QStringLiteral("dieci")));
        f->chkAnd->setChecked(false);
        f.column(QStringLiteral("Data"));
        EXPECT_EQ(items(f->cmbDA), QStringList({"15/03/2024", "16/03/2024 18:45:00", "17/03/2024"}));
        f.pick(f->cmbDA, QStringLiteral("17/03/2024"));
        f.pick(f->cmbA, QStringLiteral("17/03/2024"));
        f->Command2->click();
        d->reject();
    };
    const QString file = out.filePath(QStringLiteral("p.csv"));
    exportTo(file);
    // The two bounds of one column joined by OR take every row.
    EXPECT_EQ(form->filtro, QStringLiteral(" Where [Data] >=#3/17/2024# OR [Data] <=#3/17/2024 0.0.59#"));
    EXPECT_EQ(export_testing::readCsv(file).size(), 4);

    dialogs.onExec = [](QDialog* d) {
        Filtri f(d);
        f.column(QStringLiteral("Operazione"));
        f.pick(f->cmbDA, QStringLiteral("Mensile"));
        f->Command2->click();
        f->Command1->click();
        EXPECT_TRUE(f->txtFiltro->text().isEmpty());
        f.column(QStringLiteral("Data"));
        f.pick(f->cmbDA, QStringLiteral("16/03/2024 18:45:00"));
        f->Command2->click();
        d->close();
    };
    exportTo(file);
    EXPECT_EQ(column(export_testing::readCsv(file), 0), QStringList({"16/03/2024 18:45:00", "17/03/2024"}));
}

TEST_F(Exporting, EmptyResultCancelledSaveOrUnwritableTargetWritesNothing) {
    dialogs.onExec = [](QDialog* d) {
        Filtri f(d);
        f.column(QStringLiteral("Importo"));
        f->cmbDA->setEditText(QStringLiteral("1000"));
        f->Command2->click();
        f->Command3->click();
        EXPECT_TRUE(static_cast<TfrmFiltri*>(d)->confermato());
    };
    exportTo(out.filePath(QStringLiteral("vuoto")));
    ASSERT_EQ(dialogs.messages(), QStringList({"recordset vuoto !"}));
    for (const auto& s : dialogs.shown) EXPECT_NE(s.kind, QStringLiteral("save"));

    dialogs.onExec = nullptr;
    dialogs.shown.clear();
    dialogs.files.clear();
    form->BitBtn4->click();
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_TRUE(QDir(out.path()).isEmpty());

    // An unwritable target is reported and leaves no file.
    ASSERT_TRUE(testing_support::writeFile(out.filePath(QStringLiteral("documento")), {}));
    const QString target = out.filePath(QStringLiteral("documento/pagamenti.csv"));
    exportTo(target);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].contains(target));
    EXPECT_TRUE(form->ultimoFile.isEmpty());
    EXPECT_EQ(QDir(out.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"documento"}));
}

TEST_F(Exporting, WorkbookWhenTheNameAsksForIt) {
    if (!xlsxDisponibile()) GTEST_SKIP() << "built without xlsxwriter";
    const QString file = out.filePath(QStringLiteral("pagamenti.xlsx"));
    exportTo(file);
    EXPECT_TRUE(dialogs.shown.last().text.contains(QStringLiteral("(*.xlsx)")));
    EXPECT_EQ(form->ultimoFile, file);
    EXPECT_TRUE(export_testing::unzipMember(file, QStringLiteral("xl/worksheets/sheet1.xml")).contains("<v>12.5</v>"));
}
