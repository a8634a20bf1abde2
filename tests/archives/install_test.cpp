// The "Archivio  " buttons of the main window: each shows its register and treats the shared
// query's filter and the search boxes as the button requires.

#include "archives_support.h"

#include "app/shell/form1.h"
#include "common/controls/gridlayout.h"

#include <QTemporaryDir>

using namespace archives_test;

namespace {

class ArchiveButtons : public ::testing::Test {
protected:
    ui::ScriptedDialogs dialogs;
    testing_support::TempDatabase tdb;
    QTemporaryDir home;
    Tform_DB dm;
    std::unique_ptr<TForm1> form;

    void SetUp() override {
        dm.Connessione.open(tdb.path());
        dm.riapriQuery();
        dm.cmdFiltriClick();
        form = std::make_unique<TForm1>(dm, home.path());
        installArchives(*form, dm);
    }
    void TearDown() override { form.reset(); }
};

TEST_F(ArchiveButtons, EachButtonShowsItsRegisterAndSetsTheFiltersAround) {
    struct Case {
        const char* button;
        ArchiveListForm* window;
        bool filters;       // filter cleared before and after
        bool clearsSearch;
    };
    Archivi& a = archivi();
    const Case cases[] = {
        {"btnModalitaPagamento", a.frmModPagam, true, true},
        {"btnComuni", a.frmGrigliaComuni, false, false},
        {"btnGruppiMuscolari", a.frmGruppiMuscolari, true, false},
        {"btnGruppiSportivi", a.frmGrigliaGruppiSportivi, true, false},
        {"btnOperazioniPagamenti", a.frmGrigliaOperazionePagamenti, true, false},
        {"btnStagioni", a.frmGrigliaStagioni, true, false},
        {"btnTipoAbbonamento", a.frmGrigliaTipoAbbonamenti, true, false},
        {"btnEsercizi", a.frmEsercizi, false, false},
        {"btnAlimenti", a.frmAlimenti, false, false},
        {"btnPatologie", a.frmPatologie, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        ASSERT_NE(c.window, nullptr);
        ASSERT_TRUE(form->button(c.button)->isEnabled());
        const QString firstBox = c.window->descriptor().boxes.first().name;
        const QString column = c.window->descriptor().boxes.first().column;
        db::Dataset& q = c.window->query();
        // The window's search left a filter behind.
        qobject_cast<QLineEdit*>(c.window->panel()->searchBox(firstBox))->setText("Q");
        const QString narrowed = column + " like 'Q*'";
        ASSERT_EQ(q.filter(), narrowed);
        QString during;
        bool maximised = false;
        dialogs.onExec = [&](QDialog* d) {
            EXPECT_EQ(d, c.window);
            during = q.filter();
            maximised = d->windowState() & Qt::WindowMaximized;
            click(d, "spdIndietro");
        };
        form->button(c.button)->click();
        EXPECT_TRUE(maximised);
        EXPECT_EQ(during, c.filters ? "" : narrowed);
        EXPECT_EQ(q.filter(), c.filters ? "" : narrowed);
        EXPECT_EQ(c.window->panel()->testoRicerca(firstBox), c.clearsSearch ? "" : "Q");
        c.window->panel()->svuotaRicerca();
    }
    EXPECT_EQ(dialogs.shown.size(), std::size(cases));
}

TEST_F(ArchiveButtons, StartUpPassRestoresTheRegistersGrids) {
    for (const char* name : {"frmAlimenti_Griglia", "frmEsercizi_Griglia", "frmModPagam_Griglia", "frmPatologie_Griglia",
                             "frmGruppiMuscolari_Griglia", "frmGrigliaGruppiSportivi", "frmGrigliaOperazionePagamenti",
                             "frmGrigliaStagioni", "frmGrigliaTipoAbbonamenti", "frmGrigliaComuni", "frmTrovaCap"})
        ASSERT_NE(dm.griglie.value(name), nullptr) << name;
    // A layout saved on this computer comes back through the main window's loader.
    ui::DBGrid* grid = dm.griglie.value("frmAlimenti_Griglia");
    grid->setGridColumnWidth(0, 333);
    ui::SalvaGriglia("frmAlimenti_Griglia", *grid, dm.TableGriglie, false, dm.nomeComputer);
    grid->setGridColumnWidth(0, 100);
    form->caricaGriglia("frmAlimenti_Griglia");
    EXPECT_EQ(grid->gridColumnWidth(0), 333);
}

} // namespace
