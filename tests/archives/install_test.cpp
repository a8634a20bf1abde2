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
    testing_support::DataModule data;
    Tform_DB& dm = data.dm;
    QTemporaryDir home;
    std::unique_ptr<TForm1> form;

    void SetUp() override {
        form = std::make_unique<TForm1>(dm, home.path());
        installArchives(*form, dm);
    }
    void TearDown() override { form.reset(); }
};

// Every button shows a register maximised; one button of each kind shows how the shared
// query's filter and the search boxes are treated around it.
TEST_F(ArchiveButtons, EachButtonShowsItsRegisterAndSetsTheFiltersAround) {
    Archivi& a = archivi();
    const struct {
        const char* button;
        ArchiveListForm* window;
        bool filters;     // filter cleared before and after
        bool clearsSearch;
    } kinds[] = {{"btnModalitaPagamento", a.frmModPagam, true, true},
                 {"btnStagioni", a.frmGrigliaStagioni, true, false},
                 {"btnAlimenti", a.frmAlimenti, false, false}};
    for (const auto& c : kinds) {
        SCOPED_TRACE(c.button);
        const QString firstBox = c.window->descriptor().boxes.first().name;
        db::Dataset& q = c.window->query();
        // The window's search leaves a filter behind.
        qobject_cast<QLineEdit*>(c.window->panel()->searchBox(firstBox))->setText("Q");
        const QString narrowed = c.window->descriptor().boxes.first().column + " like 'Q*'";
        ASSERT_EQ(q.filter(), narrowed);
        QString during;
        dialogs.when(c.window->objectName(), [&](QDialog*) { during = q.filter(); });
        form->button(c.button)->click();
        EXPECT_EQ(during, c.filters ? "" : narrowed);
        EXPECT_EQ(q.filter(), c.filters ? "" : narrowed);
        EXPECT_EQ(c.window->panel()->testoRicerca(firstBox), c.clearsSearch ? "" : "Q");
        c.window->panel()->svuotaRicerca();
        dialogs.when(c.window->objectName(), {});
    }
    const char* buttons[] = {"btnModalitaPagamento", "btnComuni", "btnGruppiMuscolari", "btnGruppiSportivi",
                             "btnOperazioniPagamenti", "btnStagioni", "btnTipoAbbonamento", "btnEsercizi",
                             "btnAlimenti", "btnPatologie"};
    dialogs.shown.clear();
    for (const char* b : buttons) {
        bool maximised = false;
        dialogs.onExec = [&](QDialog* d) {
            maximised = d->windowState() & Qt::WindowMaximized;
            EXPECT_NE(qobject_cast<ArchiveListForm*>(d), nullptr) << b;
        };
        form->button(b)->click();
        EXPECT_TRUE(maximised) << b;
    }
    EXPECT_EQ(dialogs.count("exec"), int(std::size(buttons)));
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
