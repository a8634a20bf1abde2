// The list window family, once per kind of member: search, sort, open or pick, add,
// delete, requery, layout menus, on real windows over a real database.

#include "archives_support.h"

#include "common/controls/help.h"

#include <QMenu>
#include <QTextBrowser>

using namespace archives_test;

namespace {

class ListFamily : public Archives {
protected:
    void SetUp() override {
        Archives::SetUp();
        other("delete * from Alimenti");
        for (const char* f : {"Pane", "Pasta 50% integrale", "D'Annunzio dolci", "[x] strano", "#1 speciale",
                              "Arance", "Zucchine", "a*b miscela", "axxb"})
            other(QStringLiteral("insert into Alimenti (Descrizione, KC, [E%]) values ('%1', 100, 90)")
                      .arg(QString::fromLatin1(f).replace("'", "''")));
        dm.TableAlimenti.requery();
    }
    TfrmAlimenti& foods() { return *a.frmAlimenti; }
};

TEST_F(ListFamily, SearchFiltersByPrefixAndNoTextBreaksTheFilter) {
    struct Case {
        QString typed;
        QString filter;
        QStringList rows;
    };
    const Case cases[] = {
        {"", "", {}}, {"*", "", {}}, {"pa", "Descrizione like 'pa*'", {"Pane", "Pasta 50% integrale"}},
        {"d'a", "Descrizione like 'd''a*'", {"D'Annunzio dolci"}},
        {"Pasta 50%", "Descrizione like 'Pasta 50%*'", {"Pasta 50% integrale"}},
        {"[x]", "Descrizione like '[x]*'", {"[x] strano"}}, {"#1", "Descrizione like '#1*'", {"#1 speciale"}},
        {"a*b", "Descrizione like 'a*b*'", {"a*b miscela", "axxb"}}, {"'", "Descrizione like '''*'", {}},
        {"\"", "Descrizione like '\"*'", {}}, {"zz(", "Descrizione like 'zz(*'", {}},
    };
    QLineEdit* edit1 = child<QLineEdit>(&foods(), "Edit1");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        edit1->setText(c.typed);
        EXPECT_TRUE(dm.TableAlimenti.filtered());
        EXPECT_EQ(dm.TableAlimenti.filter(), c.filter);
        if (c.filter.isEmpty())
            EXPECT_EQ(dm.TableAlimenti.recordCount(), 9);
        else
            EXPECT_EQ(displayed(dm.TableAlimenti, "Descrizione"), c.rows);
    }
}

TEST_F(ListFamily, NumericBoxAddsItsConditionOnlyOnceItReadsAsANumber) {
    const SearchBox importo{"Edit2", "Importo", "Importo", SearchBox::Number};
    const std::pair<QString, QString> readings[] = {
        {"12", "Importo = 12"},  {"12,5", "Importo = 12.5"}, {"12.5", "Importo = 12.5"},
        {" 7 ", "Importo = 7"},  {"-3,25", "Importo = -3.25"}, {"", ""},
        {"*", ""},               {"1", "Importo = 1"},        {"1a", ""},
        {"abc", ""},             {",", ""},                   {"-", ""},
        {"1.234,5", ""},         {"nan", ""},                 {"inf", ""}, {"12'5", ""},
    };
    for (const auto& [typed, expected] : readings)
        EXPECT_EQ(condizioneRicerca(importo, typed), expected) << typed.toStdString();

    other("insert into OperazionePagamenti (Descrizione, Importo) values ('Quota', 12.5)");
    other("insert into OperazionePagamenti (Descrizione, Importo) values ('Quota ridotta', 8)");
    other("insert into OperazionePagamenti (Descrizione, Importo) values ('Tessera', 12.5)");
    dm.TableOperazionePagamenti.requery();
    auto* form = a.frmGrigliaOperazionePagamenti.data();
    // Every keystroke of an amount being typed: none raises, none filters on its own.
    for (const char* partial : {"1", "12", "12,", "12,5", "12,5x"}) {
        child<QLineEdit>(form, "Edit2")->setText(partial);
        EXPECT_EQ(dm.TableOperazionePagamenti.filter(), "");
    }
    child<QLineEdit>(form, "Edit2")->setText("12,5");
    child<QLineEdit>(form, "Edit1")->setText("Quo");
    EXPECT_EQ(dm.TableOperazionePagamenti.filter(), "Descrizione like 'Quo*' and Importo = 12.5");
    EXPECT_EQ(displayed(dm.TableOperazionePagamenti, "Descrizione"), QStringList{"Quota"});
    child<QLineEdit>(form, "Edit2")->setText("dodici");
    child<QLineEdit>(form, "Edit1")->setText("Quota");
    EXPECT_EQ(dm.TableOperazionePagamenti.filter(), "Descrizione like 'Quota*'");
    EXPECT_EQ(dm.TableOperazionePagamenti.recordCount(), 2);
    // Emptying the boxes leaves no amount condition behind.
    child<QLineEdit>(form, "Edit2")->setText("8");
    child<QLineEdit>(form, "Edit1")->setText("Quota ");
    ASSERT_EQ(dm.TableOperazionePagamenti.filter(), "Descrizione like 'Quota *' and Importo = 8");
    form->panel()->svuotaRicerca();
    EXPECT_EQ(dm.TableOperazionePagamenti.filter(), "");
    EXPECT_EQ(dm.TableOperazionePagamenti.recordCount(), 3);
}

TEST_F(ListFamily, TitleClicksToggleOnTheCurrentDirectionOnly) {
    ui::DBGrid* grid = foods().grid();
    dm.TableAlimenti.setSort("");
    const std::pair<const char*, const char*> clicks[] = {
        // The first click ascending, any title after an ascending sort descending; names that
        // need brackets still sort.
        {"Descrizione", "Descrizione ASC"}, {"KC", "KC DESC"}, {"KC", "KC ASC"}, {"E%", "[E%] DESC"}, {"E%", "[E%] ASC"},
    };
    for (const auto& [field, sort] : clicks) {
        Q_EMIT grid->titleClicked(grid->columnOfField(field), field);
        EXPECT_EQ(dm.TableAlimenti.sort(), sort);
    }
    Q_EMIT grid->titleClicked(0, "Descrizione");
    EXPECT_EQ(dm.TableAlimenti.sort(), "Descrizione DESC");
    EXPECT_EQ(dm.TableAlimenti.displayTextAt(0, dm.TableAlimenti.fieldIndex("Descrizione")), "Zucchine");

    // Sports groups have no title sort.
    dm.TableGruppoSportivo.setSort("");
    auto* groups = a.frmGrigliaGruppiSportivi->grid();
    Q_EMIT groups->titleClicked(0, "Descrizione");
    EXPECT_EQ(dm.TableGruppoSportivo.sort(), "");
}

TEST_F(ListFamily, AvantiOpensTheRecordOrDoesNothingOnAnEmptyList) {
    foods().panel()->Edit1Change();
    click(&foods(), "spdAvanti");
    EXPECT_EQ(execs("frmAlimentiDett"), 1);
    Q_EMIT foods().grid()->dblClicked();
    EXPECT_EQ(execs("frmAlimentiDett"), 2);

    // Nothing listed: no record window, no question.
    child<QLineEdit>(&foods(), "Edit1")->setText("nessuno così");
    ASSERT_EQ(dm.TableAlimenti.recordCount(), 0);
    click(&foods(), "spdAvanti");
    Q_EMIT foods().grid()->dblClicked();
    click(&foods(), "spdElimina");
    EXPECT_EQ(execs("frmAlimentiDett"), 2);
    EXPECT_EQ(questions(), 0);
}

TEST_F(ListFamily, AggiungiClearsTheFilterSavesDefaultsAndOffersAnnulla) {
    child<QLineEdit>(&foods(), "Edit1")->setText("Zu");
    ASSERT_EQ(dm.TableAlimenti.recordCount(), 1);
    bool annullaShown = false, modified = false;
    QVariant key;
    when("frmAlimentiDett", [&](QDialog* d) {
        auto* detail = static_cast<ArchiveDetailForm*>(d);
        annullaShown = !detail->spdAnnulla->isHidden();
        modified = detail->Modificato;
        key = dm.TableAlimenti.value("Id");
        type(d, "DBEdit1", "Yogurt");
        click(d, "spdIndietro");
    });
    click(&foods(), "spdInserisci");
    EXPECT_EQ(dm.TableAlimenti.filter(), "");
    EXPECT_EQ(child<QLineEdit>(&foods(), "Edit1")->text(), "Zu"); // the box keeps its text
    EXPECT_TRUE(annullaShown);
    EXPECT_TRUE(modified);
    EXPECT_TRUE(a.frmAlimentiDett->spdAnnulla->isHidden());
    ASSERT_TRUE(key.isValid() && key.toLongLong() > 0);
    EXPECT_EQ(dm.TableAlimenti.value("Id"), key); // the new record is current
    EXPECT_EQ(testing_support::rows(tdb.connection(), QStringLiteral("select Descrizione, [E%], ACQ, PRO, GRA, CAR, FIB, "
                                                                     "KC from Alimenti where ID = %1").arg(key.toLongLong())),
              (QList<QVariantList>{{"Yogurt", 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0}}));
}

// Every member but the exercises offers Annulla for a new record; every member but the
// payment methods opens it as modified, so leaving it untouched runs the checks.
TEST_F(ListFamily, EachMemberGivesItsOwnDefaultsToANewRecord) {
    struct Case {
        ArchiveListForm* form;
        const char* table;
        const char* field;
        QVariant expected;
        bool annulla = true, modified = true;
    };
    const QDate today = QDate::currentDate();
    const Case cases[] = {
        {a.frmEsercizi, "Esercizi", "GruppoMuscolare_ID", 0, false},
        {a.frmGrigliaStagioni, "Stagione", "DallaData", today}, {a.frmGrigliaStagioni, "Stagione", "AllaData", today},
        {a.frmGrigliaTipoAbbonamenti, "TipoPagamenti", "ScadenzaMesi", 0},
        {a.frmGrigliaOperazionePagamenti, "OperazionePagamenti", "Importo", 0},
        {a.frmGrigliaComuni, "Comuni", "Cap", "00000"}, {a.frmPatologie, "Patologie", "Descrizione", " "},
        {a.frmGruppiMuscolari, "GruppiMuscolari", "Descrizione", " "},
        {a.frmGrigliaGruppiSportivi, "GruppoSportivo", "Descrizione", " "},
        {a.frmModPagam, "ModPagamento", "Descrizione", " ", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.form->objectName().toStdString() + " " + c.field);
        QVariant stored, shown;
        bool annulla = !c.annulla, modified = !c.modified;
        when(c.form->panel()->detail()->objectName(), [&](QDialog* w) {
            auto* d = static_cast<ArchiveDetailForm*>(w);
            annulla = !d->spdAnnulla->isHidden();
            modified = d->Modificato;
            const long long id = c.form->query().keyValue("Id");
            stored = scalar(QStringLiteral("select %1 from %2 where ID = %3").arg(c.field, c.table).arg(id));
            shown = d->testo("DBEdit1");
            d->Modificato = false; // leave without checks
            click(d, "spdIndietro");
        });
        click(c.form, "spdInserisci");
        EXPECT_EQ(annulla, c.annulla);
        EXPECT_EQ(modified, c.modified);
        if (c.expected.typeId() == QMetaType::QDate)
            EXPECT_EQ(stored.toDateTime(), QDateTime(today, QTime(0, 0)));
        else
            EXPECT_EQ(stored.toString(), c.expected.toString());
        // A blank description is stored so the record exists, and shown empty.
        if (c.expected == QVariant(" ")) EXPECT_EQ(shown, "");
    }
}

TEST_F(ListFamily, RicaricaKeepsFilterAndSortAndEliminaAsksAndMakesThePrecedingRecordCurrent) {
    child<QLineEdit>(&foods(), "Edit1")->setText("P");
    Q_EMIT foods().grid()->titleClicked(0, "Descrizione");
    Q_EMIT foods().grid()->titleClicked(0, "Descrizione");
    other("insert into Alimenti (Descrizione) values ('Pesche')");
    EXPECT_EQ(dm.TableAlimenti.recordCount(), 2);
    click(&foods(), "spdAggiorna");
    EXPECT_EQ(displayed(dm.TableAlimenti, "Descrizione"), (QStringList{"Pesche", "Pasta 50% integrale", "Pane"}));
    EXPECT_EQ(dm.TableAlimenti.filter(), "Descrizione like 'P*'");

    dm.TableAlimenti.locate("Descrizione", "Pasta 50% integrale");
    dialogs.answers = {false, true};
    click(&foods(), "spdElimina");
    EXPECT_EQ(scalar("select count(*) from Alimenti").toInt(), 10);
    click(&foods(), "spdElimina");
    EXPECT_EQ(displayed(dm.TableAlimenti, "Descrizione"), (QStringList{"Pesche", "Pane"}));
    ASSERT_EQ(dialogs.shown.size(), 2);
    EXPECT_EQ(dialogs.shown[0].text, "Sei sicuro di voler eliminare l'alimento?");
    EXPECT_EQ(dialogs.shown[0].caption, "Messaggio di avviso");
    EXPECT_EQ(dm.TableAlimenti.value("Descrizione").toString(), "Pesche"); // the one before in the view
}

TEST_F(ListFamily, EveryListHasItsGridRegisteredAndAllButThreeTheLayoutMenuAndTheHelpButtonOpensItsPage) {
    const QList<ArchiveListForm*> withoutMenu{a.frmModPagam, a.frmGruppiMuscolari, a.frmGrigliaGruppiSportivi};
    for (ArchiveListForm* form : host->findChildren<ArchiveListForm*>()) {
        SCOPED_TRACE(form->objectName().toStdString());
        EXPECT_EQ(dm.griglie.value(form->descriptor().gridName), form->grid());
        EXPECT_EQ(form->grid()->popupMenu() == nullptr, withoutMenu.contains(form));
        for (QToolButton* tool : form->findChildren<QToolButton*>()) EXPECT_EQ(tool->focusPolicy(), Qt::NoFocus);
    }
    // The finder's own captions.
    QStringList items;
    for (QAction* act : a.frmTrovaCap->grid()->popupMenu()->actions()) items << act->text();
    EXPECT_EQ(items, (QStringList{"Salva Griglia", "Elimina colonna", "Reset Colonne"}));

    // The help button (SpeedButton2 in the muscle groups) opens the window's own page.
    ui::help().setHelpFolder(qEnvironmentVariable("VASTREL_SOURCE_DIR") + "/help");
    click(a.frmGruppiMuscolari, "SpeedButton2");
    ASSERT_FALSE(ui::help().windows().isEmpty());
    EXPECT_TRUE(ui::help().windows().last()->source().toString().endsWith("810.html"));
    ui::help().closeAll();
    ui::help().setHelpFolder(QString());
}

} // namespace
