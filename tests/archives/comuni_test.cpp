// Municipalities: the six-box search, the record's required fields, the street finder and
// the postcode lookup the client record uses.

#include "archives_support.h"

using namespace archives_test;

namespace {

class Municipalities : public Archives {
protected:
    void SetUp() override {
        Archives::SetUp();
        // Towns of our own, so the cases do not depend on the shipped lists.
        other("insert into Comuni (Comune, Provincia, Cap, CODICE_F, COD_ISTAT) values ('Borgo Unico', 'PD', '35099', 'Z001', '999001')");
        other("insert into Comuni (Comune, Provincia, Cap, CODICE_F, COD_ISTAT) values ('Città Grande', 'PD', '35100', 'Z002', '999002')");
        other("insert into Comuni (Comune, Provincia, Cap, CODICE_F, COD_ISTAT) values ('Sant''Elia Nuova', 'PD', '35200', 'Z003', '999003')");
        other("insert into Comuni (Comune, Provincia, Cap, CODICE_F, COD_ISTAT) values ('Senza Strade', 'PD', '35300', 'Z004', '999004')");
        const auto id = [&](const char* town) {
            return scalar(QStringLiteral("select ID from Comuni where Comune = '%1'").arg(QString(town).replace("'", "''"))).toInt();
        };
        other(QStringLiteral("insert into Indirizzi (Comune_ID, Frazione, Indirizzo, Cap) values (%1, 'Centro', 'Via Roma', '35098')").arg(id("Borgo Unico")));
        for (const auto& [fraz, via, cap] : {std::tuple{"Centro", "Via Dante", "35121"}, std::tuple{"Centro", "Via Verdi", "35122"},
                                            std::tuple{"Arcella", "Via Tiziano", "35132"}})
            other(QStringLiteral("insert into Indirizzi (Comune_ID, Frazione, Indirizzo, Cap) values (%1, '%2', '%3', '%4')")
                      .arg(id("Città Grande")).arg(fraz, via, cap));
        other(QStringLiteral("insert into Indirizzi (Comune_ID, Frazione, Indirizzo, Cap) values (%1, 'Centro', 'Via dell''Olmo', '35201')").arg(id("Sant'Elia Nuova")));
        other(QStringLiteral("insert into Indirizzi (Comune_ID, Frazione, Indirizzo, Cap) values (%1, 'Mare', 'Via del Porto', '35202')").arg(id("Sant'Elia Nuova")));
        dm.Table7.requery();
    }
    TfrmGrigliaComuni& list() { return *a.frmGrigliaComuni; }
    TfrmTrovaCap& finder() { return *a.frmTrovaCap; }
};

TEST_F(Municipalities, SixBoxesCombineInTheirFixedOrder) {
    child<QLineEdit>(&list(), "Edit4")->setText("MI");
    child<QLineEdit>(&list(), "txtCap")->setText("201");
    EXPECT_EQ(dm.Table7.filter(), "Provincia like 'MI*' and Cap like '201*'");
    ASSERT_GT(dm.Table7.recordCount(), 0);
    for (int r = 0; r < dm.Table7.recordCount(); ++r) {
        EXPECT_EQ(dm.Table7.displayTextAt(r, dm.Table7.fieldIndex("Provincia")), "MI");
        EXPECT_TRUE(dm.Table7.displayTextAt(r, dm.Table7.fieldIndex("Cap")).startsWith("201"));
    }
    list().panel()->svuotaRicerca();
    const std::pair<const char*, const char*> boxes[] = {
        {"Edit2", "Comune like 'Sant''E*'"},   {"Edit3", "COD_ISTAT like '9990*'"},
        {"Edit1", "CODICE_F like 'Z*'"},        {"Edit4", "Provincia like 'PD*'"},
        {"Edit5", "PrefNaz like '*'"},          {"txtCap", "Cap like '352*'"},
    };
    const QStringList texts = {"Sant'E", "9990", "Z", "PD", "*", "352"};
    int i = 0;
    QStringList expected;
    for (const auto& [name, condition] : boxes) {
        child<QLineEdit>(&list(), name)->setText(texts[i++]);
        if (QString(condition) != "PrefNaz like '*'") expected << condition;
        EXPECT_EQ(dm.Table7.filter(), expected.join(" and "));
    }
    EXPECT_EQ(column(dm.Table7, "Comune"), QStringList{"Sant'Elia Nuova"});
    list().panel()->svuotaRicerca();
    EXPECT_EQ(dm.Table7.filter(), "");
    EXPECT_GT(dm.Table7.recordCount(), 7000);
}

TEST_F(Municipalities, NewTownNeedsProvinceThenName) {
    when("frmComuniDettaglio", [&](QDialog* w) {
        auto* d = static_cast<ArchiveDetailForm*>(w);
        EXPECT_EQ(d->testo("DBEdit2"), "00000");
        click(w, "spdIndietro");
        type(w, "DBEdit4", "VE");
        click(w, "spdIndietro");
        EXPECT_EQ(w->focusWidget(), d->control("DBEdit1"));
        type(w, "DBEdit1", "Nuovo Borgo");
        click(w, "spdIndietro");
        EXPECT_EQ(w->result(), QDialog::Accepted);
    });
    click(&list(), "spdInserisci");
    EXPECT_EQ(dialogs.messages(), (QStringList{"Attenzione manca la Provincia", "Attenzione manca la Descrizione del Comune"}));
    EXPECT_EQ(scalar("select Cap from Comuni where Comune = 'Nuovo Borgo' and Provincia = 'VE'"), "00000");
}

TEST_F(Municipalities, PostcodeOfATownWithOneStreetRowIsFilledAtOnce) {
    QString cap = "12345";
    EXPECT_TRUE(cercaCap(dm, finder(), nullptr, "Borgo Unico", cap));
    EXPECT_EQ(cap, "35098");
    EXPECT_EQ(execs("frmTrovaCap"), 0);

    // Without a town: the message and nothing else.
    cap = "12345";
    EXPECT_FALSE(cercaCap(dm, finder(), nullptr, "", cap));
    EXPECT_EQ(cap, "12345");
    EXPECT_EQ(dialogs.messages(), QStringList{"Prima devi selezionare la Città !"});
    EXPECT_EQ(dialogs.shown.last().caption, "Messaggio di avviso");
}

TEST_F(Municipalities, SeveralPostcodesOpenTheFinderOnThatTownsStreets) {
    child<QLineEdit>(&finder(), "Edit1")->setText("vecchia ricerca");
    QStringList listed;
    when("frmTrovaCap", [&](QDialog* w) {
        EXPECT_EQ(child<QLineEdit>(w, "Edit1")->text(), "");
        listed = column(dm.TableIndirizzi, "Indirizzo");
        child<QLineEdit>(w, "Edit2")->setText("via v");
        EXPECT_EQ(dm.TableIndirizzi.filter(), "Indirizzo like 'via v*'");
        Q_EMIT finder().grid()->dblClicked();
    });
    QString cap = "00000";
    EXPECT_TRUE(cercaCap(dm, finder(), nullptr, "Città Grande", cap));
    EXPECT_FALSE(finder().Annullato);
    EXPECT_EQ(cap, "35122");
    EXPECT_EQ(listed, (QStringList{"Via Tiziano", "Via Dante", "Via Verdi"})); // by Frazione, Indirizzo

    // A town with an apostrophe finds its streets; leaving with Indietro changes nothing.
    when("frmTrovaCap", [&](QDialog* w) {
        listed = column(dm.TableIndirizzi, "Indirizzo");
        click(w, "spdIndietro");
    });
    cap = "00000";
    EXPECT_FALSE(cercaCap(dm, finder(), nullptr, "Sant'Elia Nuova", cap));
    EXPECT_TRUE(finder().Annullato);
    EXPECT_EQ(cap, "00000");
    EXPECT_EQ(listed, (QStringList{"Via dell'Olmo", "Via del Porto"}));

    // No street rows: the finder opens empty; Escape is Indietro.
    when("frmTrovaCap", [&](QDialog* w) {
        listed = column(dm.TableIndirizzi, "Indirizzo");
        QTest::keyClick(w, Qt::Key_Escape);
    });
    EXPECT_FALSE(cercaCap(dm, finder(), nullptr, "Senza Strade", cap));
    EXPECT_TRUE(listed.isEmpty());
    EXPECT_EQ(cap, "00000");
    EXPECT_EQ(execs("frmTrovaCap"), 3);
}

TEST_F(Municipalities, FinderIsAPickerWithItsOwnToolbarAndGrid) {
    EXPECT_EQ(finder().windowTitle(), "Trova Cap");
    EXPECT_FALSE(finder().windowFlags() & Qt::WindowCloseButtonHint);
    for (const char* absent : {"spdAvanti", "spdInserisci", "spdElimina", "spdAggiorna", "SpeedButton1"})
        EXPECT_EQ(finder().findChild<QToolButton*>(absent), nullptr) << absent;
    QString cap;
    when("frmTrovaCap", [&](QDialog*) {
        Q_EMIT finder().grid()->titleClicked(3, "Cap");
        EXPECT_EQ(dm.TableIndirizzi.sort(), "Cap ASC");
        child<QLineEdit>(&finder(), "Edit1")->setText("Arc");
        EXPECT_EQ(column(dm.TableIndirizzi, "Indirizzo"), QStringList{"Via Tiziano"});
        Q_EMIT finder().grid()->dblClicked();
    });
    EXPECT_TRUE(cercaCap(dm, finder(), nullptr, "Città Grande", cap));
    EXPECT_EQ(cap, "35132");
}

} // namespace
