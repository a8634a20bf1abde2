// Municipalities: the six-box search, the street finder and the postcode lookup the client
// record uses.

#include "archives_support.h"

using namespace archives_test;

namespace {

class Municipalities : public Archives {
protected:
    void SetUp() override {
        Archives::SetUp();
        // Towns of our own, so the cases do not depend on the shipped lists.
        for (const char* town : {"'Borgo Unico', '35099', 'Z001', '999001'", "'Città Grande', '35100', 'Z002', '999002'",
                                 "'Sant''Elia Nuova', '35200', 'Z003', '999003'", "'Senza Strade', '35300', 'Z004', '999004'"})
            other(QStringLiteral("insert into Comuni (Comune, Cap, CODICE_F, COD_ISTAT, Provincia) values (%1, 'PD')").arg(town));
        const std::pair<const char*, const char*> streets[] = {
            {"Borgo Unico", "'Centro', 'Via Roma', '35098'"},        {"Città Grande", "'Centro', 'Via Dante', '35121'"},
            {"Città Grande", "'Centro', 'Via Verdi', '35122'"},      {"Città Grande", "'Arcella', 'Via Tiziano', '35132'"},
            {"Sant''Elia Nuova", "'Centro', 'Via dell''Olmo', '35201'"}, {"Sant''Elia Nuova", "'Mare', 'Via del Porto', '35202'"}};
        for (const auto& [town, street] : streets)
            other(QStringLiteral("insert into Indirizzi (Comune_ID, Frazione, Indirizzo, Cap) values "
                                 "((select ID from Comuni where Comune = '%1'), %2)").arg(town, street));
        dm.Table7.requery();
    }
    TfrmGrigliaComuni& list() { return *a.frmGrigliaComuni; }
    TfrmTrovaCap& finder() { return *a.frmTrovaCap; }
};

TEST_F(Municipalities, SixBoxesCombineInTheirFixedOrder) {
    // In the order the conditions are joined; "*" alone adds none.
    const std::tuple<const char*, const char*, const char*> boxes[] = {
        {"Edit2", "Sant'E", "Comune like 'Sant''E*'"}, {"Edit3", "9990", "COD_ISTAT like '9990*'"},
        {"Edit1", "Z", "CODICE_F like 'Z*'"},          {"Edit4", "PD", "Provincia like 'PD*'"},
        {"Edit5", "*", nullptr},                       {"txtCap", "352", "Cap like '352*'"},
    };
    QStringList expected;
    for (const auto& [name, text, condition] : boxes) {
        child<QLineEdit>(&list(), name)->setText(text);
        if (condition) expected << condition;
        EXPECT_EQ(dm.Table7.filter(), expected.join(" and "));
    }
    EXPECT_EQ(displayed(dm.Table7, "Comune"), QStringList{"Sant'Elia Nuova"});
    list().panel()->svuotaRicerca();
    EXPECT_EQ(dm.Table7.filter(), "");
    EXPECT_GT(dm.Table7.recordCount(), 7000);
}

TEST_F(Municipalities, SeveralPostcodesOpenTheFinderOnThatTownsStreets) {
    child<QLineEdit>(&finder(), "Edit1")->setText("vecchia ricerca");
    QStringList listed;
    when("frmTrovaCap", [&](QDialog* w) {
        EXPECT_EQ(child<QLineEdit>(w, "Edit1")->text(), "");
        listed = displayed(dm.TableIndirizzi, "Indirizzo");
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
        listed = displayed(dm.TableIndirizzi, "Indirizzo");
        click(w, "spdIndietro");
    });
    cap = "00000";
    EXPECT_FALSE(cercaCap(dm, finder(), nullptr, "Sant'Elia Nuova", cap));
    EXPECT_TRUE(finder().Annullato);
    EXPECT_EQ(cap, "00000");
    EXPECT_EQ(listed, (QStringList{"Via dell'Olmo", "Via del Porto"}));

    // No street rows: the finder opens empty; Escape is Indietro.
    when("frmTrovaCap", [&](QDialog* w) {
        listed = displayed(dm.TableIndirizzi, "Indirizzo");
        QTest::keyClick(w, Qt::Key_Escape);
    });
    EXPECT_FALSE(cercaCap(dm, finder(), nullptr, "Senza Strade", cap));
    EXPECT_TRUE(listed.isEmpty());
    EXPECT_EQ(cap, "00000");
    EXPECT_EQ(execs("frmTrovaCap"), 3);
}

TEST_F(Municipalities, OneStreetRowGivesThePostcodeAtOnceAndTheFinderIsAPickerWithItsOwnToolbar) {
    // Without a town: the message and nothing else.
    QString cap = "12345";
    EXPECT_FALSE(cercaCap(dm, finder(), nullptr, "", cap));
    EXPECT_EQ(cap, "12345");
    EXPECT_EQ(dialogs.messages(), QStringList{"Prima devi selezionare la Città !"});
    EXPECT_EQ(dialogs.shown.last().caption, "Messaggio di avviso");
    EXPECT_TRUE(cercaCap(dm, finder(), nullptr, "Borgo Unico", cap));
    EXPECT_EQ(cap, "35098");
    EXPECT_EQ(execs("frmTrovaCap"), 0);

    EXPECT_FALSE(finder().windowFlags() & Qt::WindowCloseButtonHint);
    for (const char* absent : {"spdAvanti", "spdInserisci", "spdElimina", "spdAggiorna", "SpeedButton1"})
        EXPECT_EQ(finder().findChild<QToolButton*>(absent), nullptr) << absent;
    when("frmTrovaCap", [&](QDialog*) {
        Q_EMIT finder().grid()->titleClicked(3, "Cap");
        EXPECT_EQ(dm.TableIndirizzi.sort(), "Cap ASC");
        child<QLineEdit>(&finder(), "Edit1")->setText("Arc");
        EXPECT_EQ(displayed(dm.TableIndirizzi, "Indirizzo"), QStringList{"Via Tiziano"});
        Q_EMIT finder().grid()->dblClicked();
    });
    EXPECT_TRUE(cercaCap(dm, finder(), nullptr, "Città Grande", cap));
    EXPECT_EQ(cap, "35132");
}

} // namespace
