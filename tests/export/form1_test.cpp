#include "export_fixture.h"

#include "export/definizioni.h"
#include "export/frmcerca.h"
#include "export/frmfiltri.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using namespace esportazioni;
using export_testing::ExportTool;
using export_testing::Rows;

namespace {

class MainWindow : public ExportTool {
protected:
    void SetUp() override {
        ExportTool::SetUp();
        start();
    }
    // The lines of every saved definition: name, Campo, Valore, Ordinamento.
    Rows lines() {
        Rows out;
        for (const QVariantList& r : testing_support::rows(tdb.connection(), QStringLiteral(
                 "select T.NomeReport, R.Campo, R.Valore, R.Ordinamento from DatiReportTestata T inner join "
                 "DatiReportRighe R on R.TestataReport_ID = T.ID order by T.NomeReport, R.Ordinamento")))
            out.append(QVariant(r).toStringList());
        return out;
    }
    void save(const QString& name) {
        form->txtNomeEsportazione->setText(name);
        form->BitBtn2->click();
    }
};

} // namespace

TEST_F(ExportTool, AStartWithoutPercorsoOrItsDatabaseEndsAndCreatesNothing) {
    QFile::remove(home.filePath(QStringLiteral("percorso.txt")));
    Tform_DB module;
    EXPECT_FALSE(TForm1(module).FormActivate());
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text,
              QStringLiteral("Attenzione E' assente il file di configurazione percorso.txt, "
                             "prego lanciare Vastrel per ricrearlo"));
    EXPECT_TRUE(QDir(home.path()).isEmpty());
    EXPECT_FALSE(module.Connessione.isOpen());

    const QString missing = home.filePath(QStringLiteral("altro/archivio.db"));
    writePercorso(missing);
    EXPECT_FALSE(TForm1(module).FormActivate());
    EXPECT_TRUE(dialogs.messages().last().contains(QStringLiteral("archivio.db")));
    EXPECT_FALSE(QFileInfo::exists(missing));
}

TEST_F(ExportTool, StartListsTheSourcesByDescription) {
    start();
    QStringList shown;
    for (int i = 0; i < form->DBLookupComboBox1->count(); ++i) shown.append(form->DBLookupComboBox1->itemText(i));
    EXPECT_EQ(shown, QStringList({"Clienti", "Iscritti ai corsi", "Occasionali", "Orari corsi", "Pagamenti",
                                  "Personale", "Presenze", "Scadenziario"}));
    EXPECT_EQ(form->DBLookupComboBox1->currentIndex(), -1);
    EXPECT_EQ(form->CheckListBox1->count(), 0);
    EXPECT_TRUE(form->FormActivate()); // later activations do nothing
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(MainWindow, ChoosingASourceListsItsColumnsWithoutKeys) {
    choose(QStringLiteral("Pagamenti"));
    EXPECT_EQ(columns(), QStringList({"Data", "Cliente", "Tessera", "Operazione", "Importo",
                                      "ModalitaPagamento", "Note", "Stagione", "GruppoSportivo"}));
    EXPECT_EQ(form->querySorgente.left(20), QStringLiteral("SELECT Pagamenti.Dat"));
    // A source whose tables hold no rows still lists its columns.
    choose(QStringLiteral("Presenze"));
    EXPECT_EQ(columns().mid(0, 3), QStringList({"DataInizio", "DataFine", "Personale"}));

    // Backspace or Delete in the source box clears the choice and the list.
    QTest::keyClick(form->DBLookupComboBox1, Qt::Key_Backspace);
    EXPECT_EQ(form->DBLookupComboBox1->currentIndex(), -1);
    EXPECT_EQ(form->CheckListBox1->count(), 0);
    choose(QStringLiteral("Presenze"));
    QTest::keyClick(form->DBLookupComboBox1, Qt::Key_Delete);
    EXPECT_EQ(form->CheckListBox1->count(), 0);
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(MainWindow, SourceWithInvalidSqlIsReportedNotFatal) {
    tdb.connection().execute(QStringLiteral(
        "insert into QueryCreazioneStampe (Descrizione, Query) values ('Rotta', 'SELECT Manca FROM Nessuna')"));
    start();
    choose(QStringLiteral("Rotta"));
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].contains(QStringLiteral("Rotta")));
    EXPECT_EQ(form->CheckListBox1->count(), 0);
    // Nothing to export: the tool says so before any filter window and stays usable.
    form->BitBtn4->click();
    EXPECT_EQ(dialogs.messages().last(), QStringLiteral("seleziona i campi da esportare !"));
    EXPECT_EQ(dialogs.shown.size(), 2);
    choose(QStringLiteral("Clienti"));
    EXPECT_GT(form->CheckListBox1->count(), 10);
}

TEST_F(MainWindow, SaveNeedsANameAndASourceWritesPositionsAndReplacesByName) {
    save(QStringLiteral("   "));
    save(QStringLiteral("Mensile"));
    ASSERT_EQ(dialogs.messages(), QStringList({"Attenzione manca il nome dell'esportazione !",
                                               "Attenzione manca il nome della tabella !"}));
    EXPECT_EQ(count(QStringLiteral("select * from DatiReportTestata")), 0);
    dialogs.shown.clear();
    choose(QStringLiteral("Pagamenti"));
    tick({"Data", "Tessera", "ModalitaPagamento"});
    save(QStringLiteral("Mensile"));
    EXPECT_EQ(dialogs.messages(), QStringList({"Salvataggio avvenuto con successo !"}));
    EXPECT_EQ(lines(), Rows({{"Mensile", "Tabella2", "Pagamenti", "0"},
                             {"Mensile", "Campi", "0 2 5 ", "1"}}));
    EXPECT_TRUE(form->esportazioneCaricata);
    const long long id = form->idEsportazione;
    EXPECT_GT(id, 0);

    // The same name (the database ignores case) replaces that definition's lines.
    choose(QStringLiteral("Clienti"));
    tick({"Nome"});
    save(QStringLiteral("MENSILE"));
    EXPECT_EQ(form->idEsportazione, id);
    EXPECT_EQ(lines(), Rows({{"Mensile", "Tabella2", "Clienti", "0"},
                             {"Mensile", "Campi", "1 ", "1"}}));

    // Names with quotes are stored as typed; nothing ticked stores an empty list.
    save(QStringLiteral("L'anno \"vecchio\""));
    EXPECT_EQ(count(QStringLiteral("select * from DatiReportTestata")), 2);
    EXPECT_EQ(lines()[0], QStringList({"L'anno \"vecchio\"", "Tabella2", "Clienti", "0"}));
}

TEST_F(MainWindow, SearchWithNoneOneOrSeveralDefinitions) {
    form->BitBtn1->click();
    EXPECT_EQ(dialogs.messages(), QStringList({"non sono presenti records in archivio !"}));

    choose(QStringLiteral("Pagamenti"));
    tick({"Importo"});
    save(QStringLiteral("Importi"));
    form->BitBtn3->click();
    dialogs.shown.clear();
    // One definition is taken without asking.
    form->BitBtn1->click();
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_EQ(form->txtNomeEsportazione->text(), QStringLiteral("Importi"));
    EXPECT_EQ(form->DBLookupComboBox1->currentText(), QStringLiteral("Pagamenti"));
    EXPECT_EQ(ticked(), QStringList({"Importo"}));

    choose(QStringLiteral("Clienti"));
    tick({"Cognome", "Citta"});
    save(QStringLiteral("Anagrafe"));
    form->BitBtn3->click();

    // Several: chosen in frmCerca; closing it without "Prosegui" takes none.
    dialogs.onExec = [](QDialog* d) {
        QTest::keyClick(d->findChild<QTableWidget*>(QStringLiteral("DBGrid1")), Qt::Key_Escape); // from the keyboard
        EXPECT_FALSE(d->isVisible());
    };
    form->BitBtn1->click();
    EXPECT_EQ(dialogs.execs(QStringLiteral("frmCerca")), 1);
    EXPECT_TRUE(form->txtNomeEsportazione->text().isEmpty());
    EXPECT_EQ(form->CheckListBox1->count(), 0);

    dialogs.onExec = [](QDialog* d) {
        auto* grid = d->findChild<QTableWidget*>(QStringLiteral("DBGrid1"));
        ASSERT_EQ(grid->rowCount(), 2);
        EXPECT_EQ(grid->item(0, 0)->text(), QStringLiteral("Anagrafe")); // by name
        grid->setCurrentCell(1, 0);
        d->findChild<QPushButton*>(QStringLiteral("btnProsegui"))->click();
    };
    form->BitBtn1->click();
    EXPECT_EQ(form->txtNomeEsportazione->text(), QStringLiteral("Importi"));
    EXPECT_EQ(ticked(), QStringList({"Importo"}));

    dialogs.onExec = [](QDialog* d) {
        auto* grid = d->findChild<QTableWidget*>(QStringLiteral("DBGrid1"));
        grid->setCurrentCell(0, 0);
        static_cast<TfrmCerca*>(d)->DBGrid1DblClick();
    };
    form->BitBtn1->click();
    EXPECT_EQ(form->txtNomeEsportazione->text(), QStringLiteral("Anagrafe"));
    EXPECT_EQ(form->DBLookupComboBox1->currentText(), QStringLiteral("Clienti"));
    EXPECT_EQ(ticked(), QStringList({"Cognome", "Citta"}));
}

TEST_F(MainWindow, RecallUsesPositionsNotNamesAndNamesWhatItCannotRecall) {
    choose(QStringLiteral("Pagamenti"));
    tick({"Operazione"}); // position 3
    save(QStringLiteral("Operazioni"));
    // The source gains a column in front: position 3 now holds another column.
    QString sql =
        testing_support::scalar(tdb.connection(), "select Query from QueryCreazioneStampe where Descrizione = 'Pagamenti'")
            .toString();
    ASSERT_TRUE(sql.startsWith(QStringLiteral("SELECT ")));
    tdb.connection().execute("update QueryCreazioneStampe set Query = ? where Descrizione = 'Pagamenti'",
                             {sql.insert(7, QStringLiteral("Pagamenti.Note AS Nota, "))});
    start();
    form->BitBtn1->click();
    EXPECT_EQ(columns().first(), QStringLiteral("Nota"));
    EXPECT_EQ(ticked(), QStringList({"Tessera"}));

    // Positions beyond the list or not numbers are named; then a source that has gone.
    auto& c = tdb.connection();
    c.execute(QStringLiteral("update DatiReportRighe set Valore = '1 40 x 9 ' where Campo = 'Campi'"));
    dialogs.shown.clear();
    form->BitBtn1->click();
    EXPECT_EQ(ticked(), QStringList({"Data", "GruppoSportivo"}));
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].contains(QStringLiteral("40, x")));

    c.execute(QStringLiteral("update DatiReportRighe set Valore = 'Sparita' where Campo = 'Tabella2'"));
    dialogs.shown.clear();
    form->BitBtn1->click();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].contains(QStringLiteral("Sparita")));
    EXPECT_EQ(form->DBLookupComboBox1->currentIndex(), -1);
    EXPECT_EQ(form->CheckListBox1->count(), 0);
}

TEST_F(MainWindow, DeleteInSearchAsksAndRemovesTheLines) {
    for (const char* name : {"Prima", "Seconda", "Terza"})
        salvaDefinizione(tdb.connection(), QString::fromLatin1(name), QStringLiteral("Clienti"), {0});
    dialogs.answers = {false, true};
    dialogs.onExec = [](QDialog* d) {
        auto* grid = d->findChild<QTableWidget*>(QStringLiteral("DBGrid1"));
        auto* cancella = d->findChild<QPushButton*>(QStringLiteral("btnCancella"));
        grid->setCurrentCell(1, 0);
        cancella->click(); // No
        EXPECT_EQ(grid->rowCount(), 3);
        cancella->click(); // Yes
        ASSERT_EQ(grid->rowCount(), 2);
        EXPECT_EQ(grid->item(0, 0)->text(), QStringLiteral("Prima"));
        EXPECT_EQ(grid->item(1, 0)->text(), QStringLiteral("Terza"));
        d->reject();
    };
    form->BitBtn1->click();
    EXPECT_EQ(dialogs.count(QStringLiteral("question")), 2);
    EXPECT_EQ(dialogs.shown.last().text, QStringLiteral("Sei sicuro di voler eliminare l'Esportazione?"));
    EXPECT_EQ(lines().size(), 4);
    EXPECT_EQ(count(QStringLiteral("select * from DatiReportRighe where Valore = 'Clienti'")), 2);
    EXPECT_EQ(count(QStringLiteral("select * from DatiReportTestata where NomeReport = 'Seconda'")), 0);
}

TEST_F(MainWindow, ResetForgetsEverythingAndExitClosesTheConnection) {
    choose(QStringLiteral("Pagamenti"));
    tick({"Data"});
    save(QStringLiteral("Date"));
    form->filtro = QStringLiteral(" Where [Importo] >=1");
    form->BitBtn3->click();
    EXPECT_TRUE(form->txtNomeEsportazione->text().isEmpty());
    EXPECT_EQ(form->DBLookupComboBox1->currentIndex(), -1);
    EXPECT_EQ(form->CheckListBox1->count(), 0);
    EXPECT_TRUE(form->querySorgente.isEmpty());
    EXPECT_TRUE(form->filtro.isEmpty());
    EXPECT_EQ(form->idEsportazione, 0);
    EXPECT_FALSE(form->esportazioneCaricata);
    form->show();
    form->btnEsci->click();
    EXPECT_FALSE(dm->Connessione.isOpen());
    EXPECT_FALSE(form->isVisible());
}

TEST_F(MainWindow, HelpPageOrItsMissingPath) {
    form->show();
    form->percorsoHelp = home.filePath(QStringLiteral("manca.html"));
    form->btnHelp->click();
    EXPECT_EQ(dialogs.messages(), QStringList({"File di Help non Trovato\n" + form->percorsoHelp}));

    form->percorsoHelp = home.filePath(QStringLiteral("aiuto.html"));
    ASSERT_TRUE(testing_support::writeFile(form->percorsoHelp, "<html><body><h1>Esportazioni</h1></body></html>"));
    form->btnHelp->click();
    auto* browser = form->findChild<QWidget*>(QStringLiteral("Aiuto"));
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->isVisible());
    form->close(); // closing the main window closes its help
    EXPECT_FALSE(browser->isVisible());
}
