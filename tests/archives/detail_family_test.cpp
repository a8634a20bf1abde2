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

TEST_F(DetailFamily, OpenedFromTheListTheRecordSavesWhatIsTypedAndTheListStaysOnIt) {
    openFood([&](ArchiveDetailForm* d) {
        EXPECT_FALSE(d->Modificato);
        EXPECT_TRUE(d->spdAnnulla->isHidden());
        EXPECT_TRUE(d->spdSalva->isHidden());
        type(d, "DBEdit1", "Zucchine lesse");
        type(d, "DBEdit2", "17,5");
        EXPECT_TRUE(d->Modificato);
        click(d, "spdIndietro");
        EXPECT_FALSE(d->Modificato);
        EXPECT_EQ(d->result(), QDialog::Accepted);
    });
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_EQ(scalar("select KC from Alimenti where Descrizione = 'Zucchine lesse'").toDouble(), 17.5);
    EXPECT_EQ(dm.TableAlimenti.value("Descrizione").toString(), "Zucchine lesse");
}

// The checks run in order: each failure says what is missing, holds the window open and puts
// the focus on the field; once all are met the window closes.
TEST_F(DetailFamily, RequiredFieldsOfEachMemberInTheirOrder) {
    struct Case {
        ArchiveDetailForm* form;
        QStringList messages;
        const char* caption;
    };
    const Case cases[] = {
        {a.frmAlimentiDett, {"Attenzione manca la Descrizione", "Attenzione mancano le KCalorie"}, "Messaggio di Avviso"},
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
            EXPECT_TRUE(c.form->Errore);
            EXPECT_TRUE(c.form->isVisible());
            const RequiredField& r = c.form->descriptor().required[i];
            EXPECT_EQ(c.form->focusWidget(), c.form->control(r.control));
            type(c.form, qPrintable(r.control), "1");
        }
        EXPECT_EQ(seen, c.messages);
        c.form->spdIndietroClick();
        EXPECT_FALSE(c.form->Errore);
        EXPECT_FALSE(c.form->isVisible());
        EXPECT_EQ(dialogs.messages().size(), c.messages.size());
    }
}

TEST_F(DetailFamily, TypingOrARightClickMarksTheRecordModifiedAndOnlyItsButtonsLeaveIt) {
    openFood([&](ArchiveDetailForm* d) {
        EXPECT_FALSE(d->windowFlags() & Qt::WindowCloseButtonHint);
        EXPECT_TRUE(d->windowFlags() & Qt::WindowContextHelpButtonHint);
        QTest::mouseClick(d->control("DBEdit3"), Qt::LeftButton);
        EXPECT_FALSE(d->Modificato);
        QTest::mousePress(d->control("DBEdit3"), Qt::RightButton);
        EXPECT_TRUE(d->Modificato);
        d->Modificato = false;
        QTest::keyClicks(d->control("DBEdit3"), "5");
        EXPECT_TRUE(d->Modificato);
        QTest::keyClick(d, Qt::Key_Escape);
        d->close();
        EXPECT_TRUE(d->isVisible());
        click(d, "spdIndietro");
        EXPECT_FALSE(d->isVisible());
    });
    EXPECT_EQ(scalar("select [E%] from Alimenti where Descrizione = 'Zucchine'").toDouble(), 5.0);
}

TEST_F(DetailFamily, AnnullaTakesBackTheNewRecordWhateverWasTypedAndAFailedCheckDoesNotHoldTheNextOpening) {
    when("frmAlimentiDett", [&](QDialog* d) {
        click(d, "spdIndietro"); // the description is missing
        dialogs.answers = {false};
        click(d, "spdAnnulla");
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(scalar("select count(*) from Alimenti").toInt(), 3);
        // A number field holding a text that is not a number does not stop the take-back.
        type(d, "DBEdit2", "tanta");
        dialogs.answers = {true};
        click(d, "spdAnnulla");
        EXPECT_FALSE(static_cast<ArchiveDetailForm*>(d)->Modificato);
        EXPECT_FALSE(d->isVisible());
    });
    click(a.frmAlimenti, "spdInserisci");
    EXPECT_EQ(scalar("select count(*) from Alimenti").toInt(), 2);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.shown.at(2).text, "Sei sicuro di voler annullare l'inserimento ?");
    EXPECT_EQ(dialogs.shown.at(2).caption, "Messaggio di avviso");
    EXPECT_EQ(dm.TableAlimenti.recordCount(), 2);
    EXPECT_EQ(dm.TableAlimenti.state(), db::Dataset::State::Browse);
    // The failed check does not hold the next opening: an untouched record closes at once.
    dm.TableAlimenti.locate("Descrizione", "Pane");
    openFood([&](ArchiveDetailForm* d) {
        EXPECT_FALSE(d->Errore);
        click(d, "spdIndietro");
        EXPECT_EQ(d->result(), QDialog::Accepted);
    });
    EXPECT_EQ(dialogs.messages().size(), 1);
}

TEST_F(DetailFamily, EveryRecordWindowHasTheControlsOfItsFieldsAndButtonsTabPasses) {
    for (ArchiveDetailForm* form : host->findChildren<ArchiveDetailForm*>()) {
        SCOPED_TRACE(form->objectName().toStdString());
        for (const DetailField& f : form->descriptor().fields) EXPECT_NE(form->control(f.control), nullptr);
        for (QToolButton* b : {form->spdAnnulla, form->spdSalva, form->spdHelp, form->spdIndietro})
            EXPECT_EQ(b->focusPolicy(), Qt::NoFocus);
    }
    EXPECT_EQ(host->findChildren<ArchiveDetailForm*>().size(), 10);
}

} // namespace
