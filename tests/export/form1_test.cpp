#include "export_fixture.h"

#include "export/definizioni.h"
#include "export/frmcerca.h"
#include "export/frmfiltri.h"

#include "db/rowstore.h"

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

const QString Avviso = QStringLiteral("Messaggio di Avviso");

class MainWindow : public ExportTool {
protected:
    void SetUp() override {
        ExportTool::SetUp();
        start();
    }
    // The lines of every saved definition: name, Campo, Valore, Ordinamento.
    Rows lines() {
        db::RowStore rows;
        tdb.connection().load(QStringLiteral(
            "select T.NomeReport, R.Campo, R.Valore, R.Ordinamento from DatiReportTestata T "
            "inner join DatiReportRighe R on R.TestataReport_ID = T.ID order by T.NomeReport, "
            "R.Ordinamento"), rows);
        Rows out;
        for (int r = 0; r < rows.rowCount(); ++r)
            out.append({rows.value(r, 0).toString(), rows.value(r, 1).toString(),
                        rows.value(r, 2).toString(), rows.value(r, 3).toString()});
        return out;
    }
    void save(const QString& name) {
        form->txtNomeEsportazione->setText(name);
        form->BitBtn2->click();
    }
};

} // namespace

TEST_F(ExportTool, MissingPercorsoEndsTheStartAndCreatesNothing) {
    QFile::remove(home.filePath(QStringLiteral("percorso.txt")));
    Tform_DB module;
    TForm1 w(module);
    EXPECT_FALSE(w.FormActivate());
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text,
              QStringLiteral("Attenzione E' assente il file di configurazione percorso.txt, "
                             "prego lanciare Vastrel per ricrearlo"));
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("Messaggio di avviso"));
    EXPECT_TRUE(QDir(home.path()).isEmpty());
    EXPECT_FALSE(module.Connessione.isOpen());
}

TEST_F(ExportTool, DatabaseThatCannotBeOpenedEndsTheStartWithItsName) {
    const QString missing = home.filePath(QStringLiteral("altro/archivio.db"));
    writePercorso(missing);
    Tform_DB module;
    TForm1 w(module);
    EXPECT_FALSE(w.FormActivate());
    ASSERT_FALSE(dialogs.messages().isEmpty());
    EXPECT_TRUE(dialogs.messages().last().contains(QStringLiteral("archivio.db")));
    EXPECT_FALSE(QFileInfo::exists(missing));
}

TEST_F(ExportTool, StartListsTheSourcesByDescription) {
    start();
    QStringList shown;
    for (int i = 0; i < form->DBLookupComboBox1->count(); ++i)
        shown.append(form->DBLookupComboBox1->itemText(i));
    EXPECT_EQ(shown, QStringList({"Clienti", "Iscritti ai corsi", "Occasionali", "Orari corsi",
                                  "Pagamenti", "Personale", "Presenze", "Scadenziario"}));
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

    tdb.connection().execute(QStringLiteral(
        "insert into QueryCreazioneStampe (Descrizione, Query) values ('Chiavi', 'SELECT ID, "
        "Cognome, Stagione_ID, Annullato, ModPagamento_Id, Nome FROM anagraficaclienti')"));
    start();
    choose(QStringLiteral("Chiavi"));
    EXPECT_EQ(columns(), QStringList({"Cognome", "Nome"}));

    // Backspace or Delete in the source box clears the choice and the list.
    QTest::keyClick(form->DBLookupComboBox1, Qt::Key_Backspace);
    EXPECT_EQ(form->DBLookupComboBox1->currentIndex(), -1);
    EXPECT_EQ(form->CheckListBox1->count(), 0);
    choose(QStringLiteral("Chiavi"));
    QTest::keyClick(form->DBLookupComboBox1, Qt::Key_Delete);
    EXPECT_EQ(form->CheckListBox1->count(), 0);
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(MainWindow, SourceWithInvalidSqlIsReportedNotFatal) {
    tdb.connection().execute(QStringLiteral(
        "insert into QueryCreazioneStampe (Descrizione, Query) values ('Rotta', 'SELECT Manca "
        "FROM Nessuna')"));
    start();
    choose(QStringLiteral("Rotta"));
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].contains(QStringLiteral("Rotta")));
    EXPECT_EQ(form->CheckListBox1->count(), 0);
    // Nothing to export: the tool says so and stays usable.
    form->BitBtn4->click();
    EXPECT_EQ(dialogs.messages().last(), QStringLiteral("seleziona i campi da esportare !"));
    choose(QStringLiteral("Clienti"));
    EXPECT_GT(form->CheckListBox1->count(), 10);
}

TEST_F(MainWindow, SaveNeedsANameAndASource) {
    save(QString());
    save(QStringLiteral("   "));
    form->txtNomeEsportazione->setText(QStringLiteral("Mensile"));
    form->BitBtn2->click();
    ASSERT_EQ(dialogs.shown.size(), 3);
    for (int i : {0, 1})
        EXPECT_EQ(dialogs.shown[i].text, QStringLiteral("Attenzione manca il nome dell'esportazione !"));
    EXPECT_EQ(dialogs.shown[2].text, QStringLiteral("Attenzione manca il nome della tabella !"));
    for (const auto& s : dialogs.shown) EXPECT_EQ(s.caption, Avviso);
    EXPECT_EQ(count(QStringLiteral("select * from DatiReportTestata")), 0);
}

TEST_F(MainWindow, SaveWritesPositionsAndReplacesByName) {
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
    dialogs.onExec = [](QDialog* d) { d->reject(); };
    form->BitBtn1->click();
    EXPECT_EQ(dialogs.shown.last().kind, QStringLiteral("exec"));
    EXPECT_EQ(dialogs.shown.last().caption, QStringLiteral("Cerca"));
    EXPECT_TRUE(form->txtNomeEsportazione->text().isEmpty());
    EXPECT_EQ(form->CheckListBox1->count(), 0);

    dialogs.onExec = [](QDialog* d) {
        auto* grid = d->findChild<QTableWidget*>(QStringLiteral("DBGrid1"));
        ASSERT_EQ(grid->rowCount(), 2);
        EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), QStringLiteral("Nome Esportazione"));
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

TEST_F(MainWindow, RecallUsesPositionsNotNames) {
    choose(QStringLiteral("Pagamenti"));
    tick({"Operazione"}); // position 3
    save(QStringLiteral("Operazioni"));
    // The source gains a column in front: position 3 now holds another column.
    db::RowStore q;
    tdb.connection().load(QStringLiteral("select Query from QueryCreazioneStampe where "
                                         "Descrizione = 'Pagamenti'"), q);
    QString sql = q.value(0, 0).toString();
    ASSERT_TRUE(sql.startsWith(QStringLiteral("SELECT ")));
    sql.insert(7, QStringLiteral("Pagamenti.Note AS Nota, "));
    tdb.connection().execute(QStringLiteral("update QueryCreazioneStampe set Query = '") +
                             sql.replace(u'\'', QStringLiteral("''")) +
                             QStringLiteral("' where Descrizione = 'Pagamenti'"));
    start();
    form->BitBtn1->click();
    EXPECT_EQ(columns().first(), QStringLiteral("Nota"));
    EXPECT_EQ(ticked(), QStringList({"Tessera"}));
}

TEST_F(MainWindow, RecallOfPositionsBeyondTheListOrAMissingSource) {
    auto& c = tdb.connection();
    const long long id = salvaDefinizione(c, QStringLiteral("Vecchia"), QStringLiteral("Pagamenti"), {1});
    c.execute(QStringLiteral("update DatiReportRighe set Valore = '1 40 x 8 ' where Campo = "
                             "'Campi' and TestataReport_ID = %1").arg(id));
    form->BitBtn1->click();
    EXPECT_EQ(ticked(), QStringList({"Cliente", "GruppoSportivo"}));
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
    int questions = 0;
    for (const auto& s : dialogs.shown)
        if (s.kind == u"question") {
            ++questions;
            EXPECT_EQ(s.text, QStringLiteral("Sei sicuro di voler eliminare l'Esportazione?"));
            EXPECT_EQ(s.caption, QStringLiteral("Messaggio di avviso"));
        }
    EXPECT_EQ(questions, 2);
    EXPECT_EQ(lines().size(), 4);
    EXPECT_EQ(count(QStringLiteral("select * from DatiReportRighe where Valore = 'Clienti'")), 2);
    EXPECT_EQ(count(QStringLiteral("select * from DatiReportTestata where NomeReport = 'Seconda'")), 0);
}

TEST_F(MainWindow, ResetForgetsEverything) {
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
}

TEST_F(MainWindow, HelpPageOrItsMissingPath) {
    form->show();
    form->percorsoHelp = home.filePath(QStringLiteral("manca.html"));
    form->btnHelp->click();
    EXPECT_EQ(dialogs.messages(), QStringList({"File di Help non Trovato\n" + form->percorsoHelp}));

    QFile page(home.filePath(QStringLiteral("aiuto.html")));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write("<html><body><h1>Esportazioni</h1></body></html>");
    page.close();
    form->percorsoHelp = page.fileName();
    form->btnHelp->click();
    auto* browser = form->findChild<QWidget*>(QStringLiteral("Aiuto"));
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->isVisible());
    form->close(); // closing the main window closes its help
    EXPECT_FALSE(browser->isVisible());
}

TEST_F(MainWindow, ExitClosesTheConnection) {
    form->show();
    form->btnEsci->click();
    EXPECT_FALSE(dm->Connessione.isOpen());
    EXPECT_FALSE(form->isVisible());
}
