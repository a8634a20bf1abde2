// The detail window family: the modified and error flags, the checks in order, saving on
// "Indietro", taking back a new record, and the way the window is left.

#include "archives_support.h"

#include <QKeyEvent>
#include <QPlainTextEdit>

using namespace archives_test;

namespace {

class DetailFamily : public Archives {
protected:
    void SetUp() override {
        Archives::SetUp();
        other("delete * from Alimenti");
        other("insert into Alimenti (Descrizione, KC, ACQ) values ('Pane', 250, 30)");
        other("insert into Alimenti (Descrizione, KC, ACQ) values ('Zucchine', 16, 93)");
        dm.TableAlimenti.requery();
        dm.TableAlimenti.locate("Descrizione", "Zucchine");
    }
    // Opens the record current in the foods list and runs `inside` while it is shown.
    void openFood(std::function<void(ArchiveDetailForm*)> inside) {
        when("frmAlimentiDett", [inside](QDialog* d) { inside(static_cast<ArchiveDetailForm*>(d)); });
        click(a.frmAlimenti, "spdAvanti");
    }
};

TEST_F(DetailFamily, ChecksRunInOrderAndKeepTheWindowOnTheMissingField) {
    openFood([&](ArchiveDetailForm* d) {
        EXPECT_FALSE(d->Modificato);
        EXPECT_TRUE(d->spdAnnulla->isHidden());
        EXPECT_TRUE(d->spdSalva->isHidden());
        type(d, "DBEdit1", "");
        type(d, "DBEdit2", "");
        EXPECT_TRUE(d->Modificato);
        click(d, "spdIndietro");
        EXPECT_TRUE(d->Errore);
        EXPECT_NE(d->result(), QDialog::Accepted);
        EXPECT_EQ(d->focusWidget(), d->control("DBEdit1"));

        type(d, "DBEdit1", "Zucchine lesse");
        click(d, "spdIndietro");
        EXPECT_EQ(d->focusWidget(), d->control("DBEdit2"));
        EXPECT_NE(d->result(), QDialog::Accepted);

        type(d, "DBEdit2", "17,5");
        click(d, "spdIndietro");
        EXPECT_FALSE(d->Errore);
        EXPECT_FALSE(d->Modificato);
        EXPECT_EQ(d->result(), QDialog::Accepted);
    });
    ASSERT_EQ(dialogs.shown.size(), 3); // the window and two messages
    EXPECT_EQ(dialogs.shown[1].text, "Attenzione manca la Descrizione");
    EXPECT_EQ(dialogs.shown[1].caption, "Messaggio di Avviso");
    EXPECT_EQ(dialogs.shown[2].text, "Attenzione mancano le KCalorie");
    EXPECT_EQ(scalar("select KC from Alimenti where Descrizione = 'Zucchine lesse'").toDouble(), 17.5);
    EXPECT_EQ(dm.TableAlimenti.value("Descrizione").toString(), "Zucchine lesse"); // the list stays on it
}

TEST_F(DetailFamily, RequiredFieldsOfEachMemberInTheirOrder) {
    struct Case {
        ArchiveDetailForm* form;
        QStringList messages;
        const char* caption;
    };
    const Case cases[] = {
        {a.frmComuniDettaglio, {"Attenzione manca la Provincia", "Attenzione manca la Descrizione del Comune"}, "Messaggio di errore"},
        {a.frmOperazionePagamenti, {"Attenzione manca la Descrizione", "Attenzione manca l'Importo"}, "Messaggio di Avviso"},
        {a.frmEserciziDett, {"Attenzione manca la descrizione"}, "Messaggio di errore"},
        {a.frmPatologieDett, {"Attenzione manca la descrizione"}, "Messaggio di errore"},
        {a.frmGruppiMuscolariDett, {"Attenzione manca la descrizione"}, "Messaggio di errore"},
        {a.frmGruppoSportivo, {"Attenzione manca la Descrizione"}, "Messaggio di Avviso"},
        {a.frmStagione, {"Attenzione manca la Descrizione"}, "Messaggio di Avviso"},
        {a.frmModPagamDett, {"Attenzione manca la Descrizione"}, "Messaggio di errore"},
        {a.frmTipoPagamenti, {"Attenzione manca la Descrizione"}, "Messaggio di Avviso"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.form->objectName().toStdString());
        // A record with every field empty.
        db::Dataset& q = c.form->query();
        q.setFilter("");
        q.append();
        q.post();
        q.last();
        dialogs.shown.clear();
        c.form->show();
        for (const RequiredField& r : c.form->descriptor().required) type(c.form, qPrintable(r.control), "");
        QStringList seen;
        for (int i = 0; i < c.messages.size(); ++i) {
            c.form->spdIndietroClick();
            ASSERT_FALSE(dialogs.shown.isEmpty());
            seen << dialogs.shown.last().text;
            EXPECT_EQ(dialogs.shown.last().caption, c.caption);
            const RequiredField& r = c.form->descriptor().required[i];
            EXPECT_EQ(c.form->focusWidget(), c.form->control(r.control));
            type(c.form, qPrintable(r.control), "1");
        }
        EXPECT_EQ(seen, c.messages);
        c.form->spdIndietroClick();
        EXPECT_FALSE(c.form->isVisible());
        EXPECT_EQ(dialogs.messages().size(), c.messages.size());
    }
}

TEST_F(DetailFamily, LeavingWithoutTypingSavesNothingEvenAfterAnEarlierFailedCheck) {
    // A new record whose check failed, taken back with Annulla...
    when("frmAlimentiDett", [&](QDialog* d) {
        click(d, "spdIndietro");
        dialogs.answers = {true};
        click(d, "spdAnnulla");
    });
    click(a.frmAlimenti, "spdInserisci");
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dm.TableAlimenti.recordCount(), 2);
    // ...does not hold the next opening: an untouched record closes at once.
    dm.TableAlimenti.locate("Descrizione", "Pane");
    openFood([&](ArchiveDetailForm* d) {
        EXPECT_FALSE(d->Errore);
        click(d, "spdIndietro");
        EXPECT_EQ(d->result(), QDialog::Accepted);
    });
    EXPECT_EQ(dialogs.messages().size(), 1);
}

TEST_F(DetailFamily, TypingOrARightClickMarksTheRecordModified) {
    openFood([&](ArchiveDetailForm* d) {
        QTest::mouseClick(d->control("DBEdit3"), Qt::LeftButton);
        EXPECT_FALSE(d->Modificato);
        QTest::mousePress(d->control("DBEdit3"), Qt::RightButton);
        EXPECT_TRUE(d->Modificato);
        d->Modificato = false;
        QTest::keyClicks(d->control("DBEdit3"), "5");
        EXPECT_TRUE(d->Modificato);
        click(d, "spdIndietro");
    });
    EXPECT_EQ(scalar("select [E%] from Alimenti where Descrizione = 'Zucchine'").toDouble(), 5.0);
}

TEST_F(DetailFamily, AnnullaTakesBackTheNewRecordWhateverWasTyped) {
    const int before = scalar("select count(*) from Alimenti").toInt();
    when("frmAlimentiDett", [&](QDialog* d) {
        dialogs.answers = {false};
        click(d, "spdAnnulla");
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(scalar("select count(*) from Alimenti").toInt(), before + 1);
        // A number field holding a text that is not a number does not stop the take-back.
        type(d, "DBEdit2", "tanta");
        dialogs.answers = {true};
        click(d, "spdAnnulla");
        EXPECT_FALSE(static_cast<ArchiveDetailForm*>(d)->Modificato);
        EXPECT_FALSE(d->isVisible());
    });
    click(a.frmAlimenti, "spdInserisci");
    EXPECT_EQ(scalar("select count(*) from Alimenti").toInt(), before);
    EXPECT_EQ(dialogs.shown.at(1).text, "Sei sicuro di voler annullare l'inserimento ?");
    EXPECT_EQ(dialogs.shown.at(1).caption, "Messaggio di avviso");
    EXPECT_EQ(dialogs.messages(), QStringList{});
    EXPECT_EQ(dm.TableAlimenti.recordCount(), before);
    EXPECT_EQ(dm.TableAlimenti.state(), db::Dataset::State::Browse);
}

TEST_F(DetailFamily, TheWindowIsLeftOnlyThroughItsButtons) {
    openFood([&](ArchiveDetailForm* d) {
        EXPECT_FALSE(d->windowFlags() & Qt::WindowCloseButtonHint);
        EXPECT_TRUE(d->windowFlags() & Qt::WindowContextHelpButtonHint);
        QTest::keyClick(d, Qt::Key_Escape);
        d->close();
        EXPECT_TRUE(d->isVisible());
        click(d, "spdIndietro");
        EXPECT_FALSE(d->isVisible());
    });
}

TEST_F(DetailFamily, AmountFieldTurnsThePointIntoTheDecimalComma) {
    other("insert into OperazionePagamenti (Descrizione, Importo) values ('Quota', 30)");
    dm.TableOperazionePagamenti.requery();
    when("frmOperazionePagamenti", [&](QDialog* d) {
        type(d, "DBEdit3", "45.5");
        EXPECT_EQ(child<QLineEdit>(d, "DBEdit3")->text(), "45,5");
        click(d, "spdIndietro");
    });
    click(a.frmGrigliaOperazionePagamenti, "spdAvanti");
    EXPECT_EQ(scalar("select Importo from OperazionePagamenti where Descrizione = 'Quota'").toDouble(), 45.5);
}

TEST_F(DetailFamily, EveryRecordWindowIsItsClassNamedInstance) {
    for (ArchiveDetailForm* form : host->findChildren<ArchiveDetailForm*>()) {
        SCOPED_TRACE(form->objectName().toStdString());
        EXPECT_EQ(QString(form->metaObject()->className()), "T" + form->objectName());
        for (const DetailField& f : form->descriptor().fields) EXPECT_NE(form->control(f.control), nullptr);
        for (QToolButton* b : {form->spdAnnulla, form->spdSalva, form->spdHelp, form->spdIndietro})
            EXPECT_EQ(b->focusPolicy(), Qt::NoFocus);
    }
    EXPECT_EQ(host->findChildren<ArchiveDetailForm*>().size(), 10);
}

} // namespace
