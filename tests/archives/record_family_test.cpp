// The families carrying a record with tabs, on a descriptor of their own.

#include "archives_support.h"

#include "app/archives/listform.h"
#include "common/controls/dbedits.h"
#include "db/detaillink.h"
#include "db/error.h"

#include <QLayout>

#include <QLabel>
#include <QTabWidget>

using namespace archives_test;

namespace {

const QString kErr = QStringLiteral("Messaggio di errore");

DetailDescriptor scheda(Tform_DB& dm) {
    DetailDescriptor d;
    d.objectName = QStringLiteral("frmScheda");
    d.caption = QStringLiteral("Scheda");
    d.query = &dm.Table1;
    d.pages = {QStringLiteral("Generale"), QStringLiteral("Altro"), QStringLiteral("Pagamenti")};
    DetailField sesso = campoDi("DBComboBox1", "Sesso", "sesso", DetailField::List);
    sesso.items = {QStringLiteral("M"), QStringLiteral("F")};
    DetailField stagione = campoDi("DBLookupComboBox6", "Stagione_ID", "Stagione", DetailField::Lookup, 1);
    stagione.list = &dm.TableStagione;
    stagione.listKey = QStringLiteral("ID");
    stagione.listField = QStringLiteral("Descrizione");
    d.fields = {campoDi("DBEdit1", "Cognome", "cognome", DetailField::Edit),
                campoDi("DBEdit24", "DataScadenzaAbbonamento", "Scadenza Iscrizione", DetailField::Date),
                sesso,
                campoDi("DBCheckBox1", "Annullato", "Annullato", DetailField::Check),
                stagione};
    d.required = {{"DBEdit1", "Attenzione manca il cognome", kErr},
                  {"DBEdit24", "Attenzione manca la Scadenza Iscrizione", kErr},
                  {"DBComboBox1", "Attenzione manca il Sesso", kErr},
                  {"DBLookupComboBox6", "Attenzione manca la Stagione", kErr}};
    return d;
}

// A record whose save also renames the client in the calendar, in the same transaction.
class SchedaConCalendario : public ArchiveDetailForm {
public:
    SchedaConCalendario(Tform_DB& dm, QWidget* parent) : ArchiveDetailForm(dm, scheda(dm), parent) {}

protected:
    void salvaFigli() override {
        m_dm.esegui(QStringLiteral("UPDATE Calendario INNER JOIN anagraficaclienti ON calendario.Cliente_Id = "
                                   "anagraficaclienti.Id SET calendario.Cliente = [anagraficaclienti].[Cognome] "
                                   "where anagraficaclienti.Id=") +
                    QString::number(query().keyValue(QStringLiteral("ID"))));
    }
};

class RecordFamily : public Archives {
protected:
    QPointer<SchedaConCalendario> form; // a child of the host, gone with it

    void SetUp() override {
        Archives::SetUp();
        other("insert into anagraficaclienti (Cognome) values ('Rossi')");
        other("insert into anagraficaclienti (Cognome, Sesso, Stagione_ID, DataScadenzaAbbonamento) "
              "values ('Verdi', 'F', 1, #12/31/2026#)");
        other("insert into Calendario (Cliente_Id, Cliente) values (1, 'Rossi')");
        for (int client : {1, 1, 2}) other(QString("insert into Pagamenti (Cliente_ID, Importo) values (%1, 10.25)").arg(client));
        apri();
    }
    // A valid client 1 with its season, current in the clients query, in a new window.
    void apri() {
        dm.Table1.cancel(); // what the last case typed goes, it is not posted by the requery
        other("delete * from Stagione");
        other("insert into Stagione (ID, Descrizione) values (1, '2026/27')");
        other("update anagraficaclienti set Cognome = 'Rossi', Sesso = 'M', Stagione_ID = 1, "
              "DataScadenzaAbbonamento = #12/31/2026#, Annullato = false where ID = 1");
        for (db::Dataset* q : {&dm.Table1, &dm.TableStagione, &dm.TablePagamenti}) q->requery();
        dm.Table1.locate("Cognome", "Rossi");
        delete form;
        form = new SchedaConCalendario(dm, host.get());
        form->show();
        dialogs.shown.clear();
    }
    QTabWidget* tabs() { return form->pagine(); }
};

TEST_F(RecordFamily, EachKindOfFieldIsRequiredByItsValueAndShownOnItsTab) {
    struct Case {
        const char* what;
        std::function<void()> spoil;
        const char* message; // nullptr: every check passes and the record is saved
        int page;
        const char* focus;
    };
    const Case cases[] = {
        {"a date mask left blank", [&] { type(form.data(), "DBEdit24", ""); },
         "Attenzione manca la Scadenza Iscrizione", 0, "DBEdit24"},
        {"a surname of blanks", [&] { type(form.data(), "DBEdit1", "   "); }, "Attenzione manca il cognome", 0, "DBEdit1"},
        {"a sex that is not an item", [&] { dm.Table1.setValue("Sesso", "X"); }, "Attenzione manca il Sesso", 0,
         "DBComboBox1"},
        {"a season deleted by another workstation",
         [&] { other("delete * from Stagione"); dm.TableStagione.requery(); },
         "Attenzione manca la Stagione", 1, "DBLookupComboBox6"},
        {"a check box, whatever its state", [&] { click(form.data(), "DBCheckBox1"); }, nullptr, 0, nullptr},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        apri();
        k.spoil();
        form->Modificato = true;
        click(form.data(), "spdIndietro");
        if (!k.message) {
            EXPECT_TRUE(dialogs.messages().isEmpty());
            EXPECT_EQ(form->result(), QDialog::Accepted);
            continue;
        }
        EXPECT_EQ(dialogs.messages(), QStringList{k.message});
        EXPECT_TRUE(form->Errore);
        EXPECT_EQ(tabs()->currentIndex(), k.page);
        EXPECT_EQ(form->focusWidget(), form->control(k.focus));
        EXPECT_NE(form->result(), QDialog::Accepted);
    }
}

TEST_F(RecordFamily, LeavingTheFirstTabChecksAndSavesParentAndChildRowsInOneTransaction) {
    type(form.data(), "DBEdit1", "");
    tabs()->setCurrentIndex(2);
    EXPECT_EQ(dialogs.messages(), QStringList{"Attenzione manca il cognome"});
    EXPECT_EQ(tabs()->currentIndex(), 0);
    EXPECT_FALSE(form->Errore); // a tab change does not hold the window open
    type(form.data(), "DBEdit1", "Rossetti");
    tabs()->setCurrentIndex(2);
    EXPECT_EQ(tabs()->currentIndex(), 2);
    EXPECT_FALSE(form->Modificato);
    EXPECT_EQ(scalar("select Cognome from anagraficaclienti where ID = 1").toString(), "Rossetti");
    EXPECT_EQ(scalar("select Cliente from Calendario").toString(), "Rossetti");

    // A child statement that fails writes nothing and keeps the typing.
    tdb.engineSql("CREATE TRIGGER no_calendar BEFORE UPDATE ON Calendario "
                  "BEGIN SELECT RAISE(ABORT, 'calendario bloccato'); END");
    tabs()->setCurrentIndex(0);
    type(form.data(), "DBEdit1", "Rossini");
    EXPECT_THROW(click(form.data(), "spdIndietro"), db::DatabaseError);
    EXPECT_EQ(scalar("select Cognome from anagraficaclienti where ID = 1").toString(), "Rossetti");
    EXPECT_TRUE(form->Modificato);
    EXPECT_NE(form->result(), QDialog::Accepted);
    EXPECT_EQ(form->testo("DBEdit1"), "Rossini");
    tdb.engineSql("DROP TRIGGER no_calendar");
    click(form.data(), "spdIndietro");
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(scalar("select Cliente from Calendario").toString(), "Rossini");
}

TEST_F(RecordFamily, AListEmbeddedInATabFollowsTheRecordWithItsTotal) {
    ListDescriptor pagamenti;
    pagamenti.query = &dm.TablePagamenti;
    pagamenti.gridObjectName = QStringLiteral("DBGrid3");
    pagamenti.columns = {{"Importo", "Importo", 80}, {"Data", "Data", 90}};
    pagamenti.tools = {{"SpeedButton5", "Elimina", "", ListTool::Delete, {}}};
    pagamenti.deleteQuestion = QStringLiteral("Sei Sicuro di voler eliminare il Pagamento?");
    pagamenti.hasTotal = true;
    pagamenti.total.field = QStringLiteral("Importo");
    auto* panel = new ListPanel(dm, pagamenti, form->pagina(2));
    form->pagina(2)->layout()->addWidget(panel);
    db::DetailLink link(dm.Table1, "ID", dm.TablePagamenti, QStringLiteral("Cliente_ID"));
    link.setActive(true);
    tabs()->setCurrentIndex(2);
    QApplication::processEvents();
    EXPECT_EQ(panel->grid()->model()->rowCount(), 2);
    EXPECT_EQ(panel->etichettaTotale()->text(), "20,5");
    dm.Table1.locate("Cognome", "Verdi");
    QApplication::processEvents();
    EXPECT_EQ(panel->grid()->model()->rowCount(), 1);
    EXPECT_EQ(panel->etichettaTotale()->text(), "10,25");
    dialogs.answers = {true};
    click(panel, "SpeedButton5");
    QApplication::processEvents();
    EXPECT_EQ(panel->etichettaTotale()->text(), "0");
    EXPECT_EQ(scalar("select count(*) from Pagamenti where Cliente_ID = 2").toInt(), 0);
}

TEST_F(RecordFamily, APickerGivesTheChosenRowAndTheRegisterBackAsItWas) {
    other("delete * from Alimenti");
    for (const char* f : {"Pane", "Pasta", "Zucchine"})
        other(QString("insert into Alimenti (Descrizione, KC) values ('%1', 100)").arg(f));
    dm.TableAlimenti.requery();
    ListPanel& foods = *a.frmAlimenti->panel();
    qobject_cast<QLineEdit*>(foods.searchBox("Edit1"))->setText("pa");
    dm.TableAlimenti.setSort("Descrizione DESC");
    dm.TableAlimenti.locate("Descrizione", "Pane");
    const QString filter = dm.TableAlimenti.filter();

    when("frmAlimenti", [&](QDialog* d) {
        type(d, "Edit1", "zu");
        QTest::keyClick(foods.grid(), Qt::Key_Return); // no choice by a stray key
        Q_EMIT foods.grid()->dblClicked();
        EXPECT_EQ(d->result(), QDialog::Accepted);
    });
    const std::optional<Scelta> chosen = a.frmAlimenti->pick();
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(chosen->riga.value("Descrizione").toString(), "Zucchine");
    EXPECT_EQ(chosen->key, scalar("select ID from Alimenti where Descrizione = 'Zucchine'").toLongLong());
    EXPECT_EQ(foods.testoRicerca("Edit1"), "pa");
    EXPECT_EQ(dm.TableAlimenti.filter(), filter);
    EXPECT_EQ(dm.TableAlimenti.sort(), "Descrizione DESC");
    EXPECT_EQ(dm.TableAlimenti.value("Descrizione").toString(), "Pane");
    EXPECT_FALSE(foods.scelta);

    when("frmAlimenti", [&](QDialog* d) { click(d, "spdIndietro"); });
    EXPECT_FALSE(a.frmAlimenti->pick().has_value());
    EXPECT_EQ(dm.TableAlimenti.value("Descrizione").toString(), "Pane");
}

} // namespace
