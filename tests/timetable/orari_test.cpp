// The course timetable (deleting a slot is tested with the client's course hours).

#include "../archives/archives_support.h"

#include "app/printing/install.h"
#include "app/shell/form1.h"
#include "app/timetable/install.h"
#include "app/timetable/orari.h"
#include "common/controls/dbedits.h"

#include <QComboBox>
#include <QTemporaryDir>

using namespace archives_test;

namespace {

class Timetable : public Archives {
protected:
    Orari o;
    long long rossi = 0, verdi = 0;

    void SetUp() override {
        Archives::SetUp();
        o = creaOrari(dm, host.get());
        other("insert into anagraficapersonale (Cognome, Nome) values ('Rossi', 'Carla')");
        rossi = scalar("select max(ID) from anagraficapersonale").toLongLong();
        other("insert into anagraficapersonale (Cognome, Nome, Annullato) values ('Verdi', 'Ugo', true)");
        verdi = scalar("select max(ID) from anagraficapersonale").toLongLong();
        slot("Yoga", "Lunedì", "09.00", "10.00", "Base", rossi);
        slot("Pilates", "Martedì", "09.45", "10.45", "Dell'Acqua", verdi);
        slot("Yoga", "Lunedì", "18.00", "19.00", "Avanzato", 0);
        slot("Spinning", "Giovedì", "19.30", "20.30", "Serale", rossi);
        dm.Table2.requery();
        dm.Table3.requery();
    }
    void slot(const char* specialita, const char* giorno, const char* inizio, const char* fine, const char* corso,
              long long istruttore) {
        other(QString("insert into orari (Specialita, Giorno, OrarioInizio, OrarioFine, Corso, Istruttore_ID) values "
                      "('%1', '%2', '%3', '%4', '%5', %6)")
                  .arg(specialita, giorno, inizio, fine, QString(corso).replace("'", "''"))
                  .arg(istruttore ? QString::number(istruttore) : QString("Null")));
    }
    ListPanel* panel() { return o.frmOrari->panel(); }
};

TEST_F(Timetable, SixBoxesFilterInTheirOrderAndTheInstructorBySurname) {
    struct Case {
        std::map<const char*, QString> boxes;
        QStringList rows; // courses, in the list's order
        QString filter; // "" : not checked
    };
    const Case cases[] = {
        {{{"Edit4", "Lu"}}, {"Base", "Avanzato"}, "Giorno like 'Lu*'"},
        {{{"Edit2", "09"}}, {"Dell'Acqua", "Base"}, ""},
        {{{"Edit3", "Dell'A"}}, {"Dell'Acqua"}, "Corso like 'Dell''A*'"},
        {{{"Edit1", "*"}, {"Edit5", ""}}, {"Dell'Acqua", "Serale", "Base", "Avanzato"}, ""},
        {{{"Edit5", "20"}}, {"Serale"}, ""},
        {{{"ComboBox1", "rossi"}}, {"Serale", "Base"}, QString("Istruttore_ID = %1").arg(rossi)},
        // A cancelled instructor is not in the drop-down but is still found by surname.
        {{{"ComboBox1", "Verdi"}}, {"Dell'Acqua"}, ""},
        {{{"ComboBox1", "Nessuno"}}, {"Dell'Acqua", "Serale", "Base", "Avanzato"}, ""},
        {{{"ComboBox1", "Rossi"}, {"Edit1", "Yo"}, {"Edit5", "1"}, {"Edit2", "09"}, {"Edit4", "L"}, {"Edit3", "B"}},
         {"Base"},
         QString("OrarioInizio like '09*' and Corso like 'B*' and Specialita like 'Yo*' and Giorno like 'L*' and "
                 "OrarioFine like '1*' and Istruttore_ID = %1")
             .arg(rossi)},
    };
    o.frmOrari->show();
    auto* combo = child<QComboBox>(o.frmOrari, "ComboBox1");
    QStringList choices;
    for (int i = 0; i < combo->count(); ++i) choices << combo->itemText(i);
    EXPECT_EQ(choices, QStringList({"", "Rossi"}));
    for (const Case& c : cases) {
        panel()->svuotaRicerca();
        for (const auto& [box, text] : c.boxes) {
            if (auto* edit = qobject_cast<QLineEdit*>(panel()->searchBox(box))) edit->setText(text);
            else combo->setCurrentText(text);
        }
        SCOPED_TRACE(dm.Table2.filter().toStdString());
        EXPECT_EQ(displayed(dm.Table2, "Corso"), c.rows);
        if (!c.filter.isEmpty()) {
            EXPECT_EQ(dm.Table2.filter(), c.filter);
        }
    }
}

TEST_F(Timetable, AddedSlotsStartNowEndAnHourLaterAndPassTheirOwnCheck) {
    const std::tuple<QTime, QString, QString> cases[] = {{QTime(10, 7), "10.07", "11.07"}, {QTime(9, 5), "09.05", "10.05"},
                                                         {QTime(23, 40), "23.40", "00.40"}, {QTime(0, 0), "00.00", "01.00"}};
    panel()->impostaRicerca("Edit1", "Pil");
    panel()->Edit1Change();
    for (const auto& [now, start, end] : cases) {
        SCOPED_TRACE(start.toStdString());
        o.frmOrari->orari()->orologio = [&] { return now; };
        bool shownNew = false;
        when("frmOrariDett", [&](QDialog* d) {
            auto* w = static_cast<ArchiveDetailForm*>(d);
            shownNew = w->Modificato && w->spdAnnulla->isVisibleTo(w) && dm.Table2.filter().isEmpty();
            EXPECT_EQ(w->testo("DBEdit2") + ' ' + w->testo("DBEdit3") + '-' + w->testo("DBEdit4"),
                      "Lunedì " + start + '-' + end);
            type(d, "DBEdit1", "Zumba");
            click(d, "spdIndietro");
            EXPECT_EQ(d->result(), QDialog::Accepted);
        });
        click(o.frmOrari, "spdInserisci");
        EXPECT_TRUE(shownNew);
        EXPECT_TRUE(o.frmOrariDett->spdAnnulla->isHidden());
        EXPECT_EQ(scalar(QString("select count(*) from orari where Specialita = 'Zumba' and OrarioInizio = '%1' and "
                                 "OrarioFine = '%2' and Giorno = 'Lunedì'").arg(start, end)).toInt(), 1);
    }
    EXPECT_EQ(panel()->testoRicerca("Edit1"), "Pil"); // the box keeps its text
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(Timetable, TheSixChecksStopAtTheFirstFailureWithTheFocusOnItsBox) {
    const QString formato =
        "Attenzione il formato di ora non è corretto!! Utilizzare il punto per separare le ore dai minuti";
    const QString inizio = "Attenzione manca l'orario di inizio o non è scritto correttamente";
    const QString fine = "Attenzione manca l'orario di fine o non è scritto correttamente";
    struct Case {
        const char* specialita;
        const char* giorno;
        const char* inizio;
        const char* fine;
        QString message; // "" : saved and closed
        const char* focus;
    };
    const Case cases[] = {
        {"", "Lunedì", "9.30", "xx", "Attenzione manca la specialità", "DBEdit1"},
        {"Yoga", "", "9.30", "xx", "Attenzione manca il Giorno", "DBEdit2"},
        {"Yoga", "Lunedì", "9.30", "25.00", inizio, "DBEdit3"}, {"Yoga", "Lunedì", "", "10.30", inizio, "DBEdit3"},
        {"Yoga", "Lunedì", "25.00", "10.3", fine, "DBEdit4"},
        {"Yoga", "Lunedì", "25.00", "10.30", formato, "DBEdit3"},
        {"Yoga", "Lunedì", "09.75", "10.30", formato, "DBEdit3"},
        {"Yoga", "Lunedì", "09:30", "10.30", formato, "DBEdit3"},
        {"Yoga", "Lunedì", "ab.cd", "10.30", formato, "DBEdit3"},
        {"Yoga", "Lunedì", "09.30", "24.00", formato, "DBEdit4"}, {"Yoga", "Lunedì", "09.30", "10.30", "", nullptr},
    };
    dm.Table2.locate("Corso", "Base");
    when("frmOrariDett", [&](QDialog* d) {
        auto* w = static_cast<ArchiveDetailForm*>(d);
        for (const Case& c : cases) {
            SCOPED_TRACE(c.message.toStdString() + " / " + c.inizio);
            dialogs.shown.clear();
            const char* fields[][2] = {{"Specialita", c.specialita}, {"Giorno", c.giorno},
                                       {"OrarioInizio", c.inizio}, {"OrarioFine", c.fine}};
            for (const auto& f : fields) dm.Table2.setValue(f[0], QString::fromUtf8(f[1]));
            w->Modificato = true;
            click(d, "spdIndietro");
            if (c.message.isEmpty()) {
                EXPECT_TRUE(dialogs.shown.isEmpty());
                EXPECT_EQ(d->result(), QDialog::Accepted);
                continue;
            }
            EXPECT_EQ(dialogs.messages(), QStringList{c.message});
            EXPECT_EQ(d->focusWidget(), w->control(c.focus));
            EXPECT_TRUE(w->Errore);
            EXPECT_NE(d->result(), QDialog::Accepted);
        }
    });
    click(o.frmOrari, "spdAvanti");
    EXPECT_EQ(scalar("select OrarioInizio & '-' & OrarioFine from orari where Corso = 'Base'").toString(), "09.30-10.30");
}

TEST_F(Timetable, RealKeysOnTheSlotRecord) {
    dm.Table2.locate("Corso", "Base");
    o.frmOrari->show();
    when("frmOrariDett", [&](QDialog* d) {
        auto* w = static_cast<ArchiveDetailForm*>(d);
        auto* dalle = child<QLineEdit>(d, "DBEdit3");
        dalle->setFocus();
        QTest::keyClick(dalle, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(dalle, Qt::Key_Delete);
        EXPECT_TRUE(w->Modificato);
        for (char key : {'0', '9', ':', '3', '0'}) QTest::keyClick(dalle, key);
        EXPECT_EQ(dalle->text(), "09.30");
        QTest::keyClick(dalle, '5'); // five characters at most
        EXPECT_EQ(dalle->text(), "09.30");
        QTest::keyClick(dalle, Qt::Key_Return);
        auto* alle = child<QLineEdit>(d, "DBEdit4");
        EXPECT_EQ(d->focusWidget(), alle);
        QTest::keyClick(alle, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(alle, "11");
        QTest::keyClick(alle, Qt::Key_Backspace); // Backspace still deletes
        QTest::keyClicks(alle, "1 45");
        EXPECT_EQ(alle->text(), "11.45");
        QTest::keyClick(alle, Qt::Key_Down);
        auto* istruttore = child<QComboBox>(d, "DBLookupComboBox1");
        istruttore->setFocus();
        EXPECT_EQ(istruttore->currentText(), "Rossi");
        QTest::keyClick(istruttore, Qt::Key_Backspace);
        EXPECT_TRUE(dm.Table2.isNull("Istruttore_ID"));
        click(d, "spdIndietro");
        EXPECT_EQ(d->result(), QDialog::Accepted);
    });
    click(o.frmOrari, "spdAvanti");
    EXPECT_EQ(scalar("select OrarioInizio & '-' & OrarioFine & '-' & Istruttore_ID from orari where Corso = 'Base'").toString(),
              "09.30-11.45-");
}

// The main window's "Orari" button and the two timetable prints.
TEST_F(Timetable, MainWindowButtonsShowTheRegisterAndPrintOnlyWithSlots) {
    QTemporaryDir home;
    TForm1 form(dm, home.path());
    installTimetable(form, dm);
    installPrinting(form, dm);
    QList<int> printed;
    dm.scriviStampa = [&](Tform_DB&, int report) { printed << report; };
    Orari& installed = orari();
    installed.frmOrari->panel()->scelta = true; // left over: the button opens the register
    dm.Table2.setFilter("Giorno = 'Lunedì'");
    when("frmOrari", [&](QDialog* d) {
        EXPECT_TRUE(dm.Table2.filter().isEmpty());
        click(d, "spdAvanti");
        dm.Table2.setFilter("Corso = 'Base'");
        click(d, "spdIndietro");
    });
    when("frmOrariDett", [&](QDialog* d) { click(d, "spdIndietro"); });
    form.button("btnOrari")->click();
    EXPECT_EQ(execs("frmOrariDett"), 1);
    EXPECT_TRUE(dm.Table2.filter().isEmpty());

    // With slots both prints go (without, the print buttons' own test shows they do nothing).
    form.button("btnStampaOrari")->click();
    form.button("btnStampeOrariClienti")->click();
    EXPECT_EQ(printed, QList<int>({9, 15}));
}

} // namespace
