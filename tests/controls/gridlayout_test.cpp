// Grid layout persistence: SalvaGriglia / CaricaGriglia and the pop-up commands on
// real DBGrids bound to real datasets, with the real Griglie table of a fresh database.
// "Restarting" means what the start-up pass does: a new grid with its design-time columns,
// a freshly opened TableGriglie, and CaricaGriglia with restore defaults clear.

#include "common/controls/dbgrid.h"
#include "common/controls/gridlayout.h"
#include "controls_support.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <gtest/gtest.h>

using namespace controls_test;
using ui::DBGrid;
using ui::GridColumn;

namespace {

const QString Griglia = QStringLiteral("frmAlimenti_Griglia");
const QString PC = QStringLiteral("POSTAZIONE1");

QList<GridColumn> design() {
    return {{"Descrizione", "Descrizione", 274},
            {"KC", "KCal per 100 gr", 80},
            {"E%", "% Edibile", 60},
            {"ACQ", "Acqua gr.", 60}};
}

QStringList fieldsOf(const DBGrid& g) {
    QStringList out;
    for (const auto& c : g.columns()) out << c.field;
    return out;
}
QList<int> widthsOf(const DBGrid& g) {
    QList<int> out;
    for (const auto& c : g.columns()) out << c.width;
    return out;
}
QStringList titlesOf(const DBGrid& g) {
    QStringList out;
    for (const auto& c : g.columns()) out << c.title;
    return out;
}

struct Row {
    int count = 0; // rows for this computer and grid
    QString campiUtente, widthUtente, captionUtente;
    QString campiPredefiniti, widthPredefiniti, captionPredefiniti;
    QVariant totale;
};

class GridLayoutTest : public ::testing::Test {
protected:
    testing_support::TempDatabase tdb;
    std::unique_ptr<db::Dataset> foods;

    void SetUp() override {
        addFoods(tdb.connection());
        foods = openDataset(tdb.connection(), "select * from Alimenti order by Descrizione");
    }

    // The shared TableGriglie of a workstation, as the data module opens it.
    std::unique_ptr<db::Dataset> griglie(const QString& computer = PC) {
        return openDataset(tdb.connection(), ui::SqlGriglie(computer));
    }

    // A grid as the form creates it: design-time columns.
    std::unique_ptr<DBGrid> newGrid(const QList<GridColumn>& cols = design()) {
        auto g = std::make_unique<DBGrid>();
        g->setDataset(foods.get());
        g->setColumns(cols);
        return g;
    }

    // Start-up: new grid, new TableGriglie, CaricaGriglia with restore defaults clear.
    std::unique_ptr<DBGrid> restart(const QList<GridColumn>& cols = design(), const QString& computer = PC,
                                    const QString& grid = Griglia) {
        auto g = newGrid(cols);
        auto t = griglie(computer);
        ui::CaricaGriglia(grid, *g, *t, false, computer);
        EXPECT_TRUE(t->filter().isEmpty());
        EXPECT_EQ(t->state(), db::Dataset::State::Browse);
        return g;
    }

    Row row(const QString& computer = PC, const QString& grid = Griglia) {
        auto ds = openDataset(tdb.connection(), "select * from Griglie");
        Row r;
        for (int i = 0; i < ds->recordCount(); ++i) {
            ds->setPosition(i);
            if (ds->value("NomeComputer").toString() != computer || ds->value("NomeGriglia").toString() != grid)
                continue;
            ++r.count;
            r.campiUtente = ds->value("CampiUtente").toString();
            r.widthUtente = ds->value("WidthUtente").toString();
            r.captionUtente = ds->value("CaptionUtente").toString();
            r.campiPredefiniti = ds->value("CampiPredefiniti").toString();
            r.widthPredefiniti = ds->value("WidthPredefiniti").toString();
            r.captionPredefiniti = ds->value("CaptionPredefiniti").toString();
            r.totale = ds->value("TotaleCampiPredefiniti");
        }
        return r;
    }

    int rowsInTable() { return scalar(tdb.connection(), "select count(*) from Griglie").toInt(); }

    // The pop-up commands, triggered as the user does.
    static void command(DBGrid& g, const char* name) {
        ASSERT_NE(g.popupMenu(), nullptr);
        auto* a = g.popupMenu()->findChild<QAction*>(QString::fromLatin1(name));
        ASSERT_NE(a, nullptr) << name;
        a->trigger();
    }
    std::unique_ptr<db::Dataset> table; // TableGriglie of the running "program"
    void attachMenu(DBGrid& g, const QString& computer = PC) {
        if (!table) table = griglie(computer);
        ui::attachLayoutMenu(g, Griglia, *table, computer);
    }
};

TEST_F(GridLayoutTest, SqlAndFilterTextsQuoteTheirValues) {
    EXPECT_EQ(ui::SqlGriglie("PC1"), "select * from Griglie where NomeComputer ='PC1'");
    EXPECT_EQ(ui::SqlGriglie("O'Brien"), "select * from Griglie where NomeComputer ='O''Brien'");
    EXPECT_EQ(ui::FiltroGriglia("PC1", "frmAlimenti_Griglia"),
              "NomeComputer = 'PC1' and NomeGriglia = 'frmAlimenti_Griglia'");
    EXPECT_EQ(ui::FiltroGriglia("O'Brien", "a'b"), "NomeComputer = 'O''Brien' and NomeGriglia = 'a''b'");
}

TEST_F(GridLayoutTest, FirstStartWritesBothLayoutsFromTheDesign) {
    auto g = restart();
    Row r = row();
    ASSERT_EQ(r.count, 1);
    EXPECT_EQ(r.campiUtente, "Descrizione|KC|E%|ACQ|");
    EXPECT_EQ(r.widthUtente, "274|80|60|60|");
    EXPECT_EQ(r.captionUtente, "Descrizione|KCal per 100 gr|% Edibile|Acqua gr.|");
    EXPECT_EQ(r.campiPredefiniti, r.campiUtente);
    EXPECT_EQ(r.widthPredefiniti, r.widthUtente);
    EXPECT_EQ(r.captionPredefiniti, r.captionUtente);
    EXPECT_EQ(r.totale.toInt(), 4);
    // The grid keeps its design.
    EXPECT_EQ(g->columns(), design());
}

TEST_F(GridLayoutTest, FirstStartGivesEveryGridOfTheTableItsRow) {
    const QStringList ids = {"frmTrovaCap", "frmAlimenti_Griglia", "frmClienti_Griglia",
                             "frmClientiDett_DBGrid1", "frmClientiDett_DBGrid5", "frmGrigliaAvvisi"};
    auto t = griglie();
    std::vector<std::unique_ptr<DBGrid>> grids;
    for (int i = 0; i < ids.size(); ++i) {
        QList<GridColumn> cols = design().mid(0, 1 + i % 4);
        grids.push_back(newGrid(cols));
        ui::CaricaGriglia(ids[i], *grids.back(), *t, false, PC);
    }
    EXPECT_EQ(rowsInTable(), ids.size());
    for (int i = 0; i < ids.size(); ++i) {
        Row r = row(PC, ids[i]);
        EXPECT_EQ(r.count, 1) << ids[i].toStdString();
        EXPECT_EQ(r.totale.toInt(), 1 + i % 4);
        EXPECT_EQ(r.campiUtente, r.campiPredefiniti);
    }
    // A second start-up adds nothing.
    for (int i = 0; i < ids.size(); ++i) ui::CaricaGriglia(ids[i], *grids[size_t(i)], *t, false, PC);
    EXPECT_EQ(rowsInTable(), ids.size());
}

TEST_F(GridLayoutTest, DesignThatGainedAColumnReplacesBothLayouts) {
    {
        auto g = restart();
        g->setGridColumnWidth(0, 400);
        attachMenu(*g);
        command(*g, "SalvaGriglia1");
        EXPECT_EQ(row().widthUtente, "400|80|60|60|");
    }
    // New program version: the foods grid has a fifth column.
    QList<GridColumn> v2 = design();
    v2 << GridColumn{"PRO", "Proteine gr.", 60};
    auto g = restart(v2);
    EXPECT_EQ(g->columns(), v2); // the saved widths are gone
    Row r = row();
    EXPECT_EQ(r.count, 1);
    EXPECT_EQ(r.campiUtente, "Descrizione|KC|E%|ACQ|PRO|");
    EXPECT_EQ(r.widthUtente, "274|80|60|60|60|");
    EXPECT_EQ(r.campiPredefiniti, r.campiUtente);
    EXPECT_EQ(r.widthPredefiniti, r.widthUtente);
    EXPECT_EQ(r.totale.toInt(), 5);
}

TEST_F(GridLayoutTest, ResizedColumnsComeBackAfterSaveAndRestartAndResetRestoresTheDesign) {
    {
        auto g = restart();
        g->setGridColumnWidth(0, 300);
        g->setGridColumnWidth(2, 95);
        attachMenu(*g);
        command(*g, "SalvaGriglia1");
        Row r = row();
        EXPECT_EQ(r.widthUtente, "300|80|95|60|");
        EXPECT_EQ(r.widthPredefiniti, "274|80|60|60|"); // defaults are not touched
    }
    table.reset();
    auto g = restart();
    EXPECT_EQ(widthsOf(*g), (QList<int>{300, 80, 95, 60}));
    EXPECT_EQ(titlesOf(*g), (QStringList{"Descrizione", "KCal per 100 gr", "% Edibile", "Acqua gr."}));

    attachMenu(*g);
    command(*g, "ResetGriglia1");
    EXPECT_EQ(widthsOf(*g), (QList<int>{274, 80, 60, 60}));
    Row r = row();
    EXPECT_EQ(r.widthUtente, "274|80|60|60|"); // the design is the user layout too
    EXPECT_EQ(r.widthPredefiniti, "274|80|60|60|");
    EXPECT_EQ(table->filter(), "");

    table.reset();
    auto again = restart();
    EXPECT_EQ(widthsOf(*again), (QList<int>{274, 80, 60, 60}));
}

TEST_F(GridLayoutTest, MovedColumnsKeepTheirOrderAfterSaving) {
    {
        auto g = restart();
        // The user drags "ACQ" to the front with the mouse: the header moves the section.
        g->horizontalHeader()->moveSection(3, 0);
        EXPECT_EQ(fieldsOf(*g), (QStringList{"ACQ", "Descrizione", "KC", "E%"}));
        attachMenu(*g);
        command(*g, "SalvaGriglia1");
    }
    EXPECT_EQ(row().campiUtente, "ACQ|Descrizione|KC|E%|");
    EXPECT_EQ(row().captionUtente, "Acqua gr.|Descrizione|KCal per 100 gr|% Edibile|");
    table.reset();
    auto g = restart();
    EXPECT_EQ(fieldsOf(*g), (QStringList{"ACQ", "Descrizione", "KC", "E%"}));
    EXPECT_EQ(widthsOf(*g), (QList<int>{60, 274, 80, 60}));
}

TEST_F(GridLayoutTest, RemovedAndSavedColumnStaysRemovedAndResetMakesTheReducedSetTheDefault) {
    {
        auto g = restart();
        attachMenu(*g);
        g->setSelectedColumn(1); // the current cell is in "KC"
        command(*g, "EliminaColonna1");
        EXPECT_EQ(fieldsOf(*g), (QStringList{"Descrizione", "E%", "ACQ"}));
        EXPECT_EQ(row().campiUtente, "Descrizione|KC|E%|ACQ|"); // nothing written yet
        command(*g, "SalvaGriglia1");
        Row r = row();
        EXPECT_EQ(r.campiUtente, "Descrizione|E%|ACQ|");
        EXPECT_EQ(r.campiPredefiniti, "Descrizione|KC|E%|ACQ|");
        EXPECT_EQ(r.totale.toInt(), 4);
    }
    // Restart: the stored default still counts four columns, like the design: the user
    // layout (three columns) is applied.
    table.reset();
    auto g = restart();
    EXPECT_EQ(fieldsOf(*g), (QStringList{"Descrizione", "E%", "ACQ"}));

    // Reset: the grid shows three columns but the stored default has four, so the current
    // columns become the default and user layout.
    attachMenu(*g);
    command(*g, "ResetGriglia1");
    EXPECT_EQ(fieldsOf(*g), (QStringList{"Descrizione", "E%", "ACQ"}));
    Row r = row();
    EXPECT_EQ(r.count, 1);
    EXPECT_EQ(r.campiPredefiniti, "Descrizione|E%|ACQ|");
    EXPECT_EQ(r.widthPredefiniti, "274|60|60|");
    EXPECT_EQ(r.captionPredefiniti, "Descrizione|% Edibile|Acqua gr.|");
    EXPECT_EQ(r.campiUtente, r.campiPredefiniti);
    EXPECT_EQ(r.totale.toInt(), 3);

    // The next start-up finds the design (four columns) different from the stored count
    // and goes back to it.
    table.reset();
    auto next = restart();
    EXPECT_EQ(next->columns(), design());
    EXPECT_EQ(row().totale.toInt(), 4);
}

TEST_F(GridLayoutTest, RemovedColumnWithoutSavingIsBackAfterRestart) {
    {
        auto g = restart();
        attachMenu(*g);
        g->setSelectedColumn(2);
        command(*g, "EliminaColonna1");
        EXPECT_EQ(g->columnCount(), 3);
    }
    table.reset();
    auto g = restart();
    EXPECT_EQ(g->columns(), design());
    EXPECT_EQ(row().campiUtente, "Descrizione|KC|E%|ACQ|");
}

TEST_F(GridLayoutTest, EliminaColonnaRemovesTheColumnOfTheCurrentCell) {
    auto g = restart();
    foods->setPosition(2);
    g->setCurrentIndex(g->model()->index(2, 3)); // a click on the "ACQ" cell of row 3
    EXPECT_EQ(g->selectedColumn(), 3);
    ui::EliminaColonna(*g);
    EXPECT_EQ(fieldsOf(*g), (QStringList{"Descrizione", "KC", "E%"}));
    EXPECT_EQ(foods->position(), 2);
}

// A caption containing "|" is stored unescaped. On the next load the caption list has one
// entry more than the field list; the columns are counted on the field list (step 6), so
// the caption splits: its second half becomes the next column's caption, and the last
// caption entry is left over.
TEST_F(GridLayoutTest, CaptionContainingTheSeparatorIsStoredUnescapedAndSplitsOnTheNextLoad) {
    QList<GridColumn> cols = design();
    cols[1].title = "KCal|100 gr";
    {
        auto g = restart(cols);
        Row r = row();
        EXPECT_EQ(r.captionUtente, "Descrizione|KCal|100 gr|% Edibile|Acqua gr.|");
        EXPECT_EQ(r.captionPredefiniti, r.captionUtente);
        EXPECT_EQ(r.campiUtente, "Descrizione|KC|E%|ACQ|");
    }
    auto g = restart(cols);
    EXPECT_EQ(fieldsOf(*g), (QStringList{"Descrizione", "KC", "E%", "ACQ"}));
    EXPECT_EQ(titlesOf(*g), (QStringList{"Descrizione", "KCal", "100 gr", "% Edibile"}));
    EXPECT_EQ(widthsOf(*g), (QList<int>{274, 80, 60, 60}));
    // Saving now stores the split captions, one per column.
    attachMenu(*g);
    command(*g, "SalvaGriglia1");
    EXPECT_EQ(row().captionUtente, "Descrizione|KCal|100 gr|% Edibile|");
    // The field count still matches the design: the row is kept, not rebuilt.
    EXPECT_EQ(row().totale.toInt(), 4);
    EXPECT_EQ(row().count, 1);
}

TEST_F(GridLayoutTest, WidthThatIsNotANumberStopsTheLoadRewritesTheRowAndTheNextStartRestoresTheDesign) {
    restart();
    tdb.connection().execute("update Griglie set WidthUtente = '274|8O|60|60|' where NomeGriglia = 'frmAlimenti_Griglia'");
    auto g = restart();
    // The load stopped at the second column: it was added with its field name only.
    ASSERT_EQ(g->columnCount(), 2);
    EXPECT_EQ(fieldsOf(*g), (QStringList{"Descrizione", "KC"}));
    EXPECT_EQ(g->gridColumn(0).width, 274);
    EXPECT_EQ(g->gridColumn(0).title, "Descrizione");
    EXPECT_EQ(g->gridColumn(1).width, GridColumn::DefaultWidth);
    EXPECT_EQ(g->gridColumn(1).title, "");
    Row r = row();
    EXPECT_EQ(r.count, 1);
    EXPECT_EQ(r.campiUtente, "Descrizione|KC|");
    EXPECT_EQ(r.widthUtente, "274|64|");
    EXPECT_EQ(r.captionUtente, "Descrizione||");
    EXPECT_EQ(r.campiPredefiniti, r.campiUtente);
    EXPECT_EQ(r.totale.toInt(), 2);

    auto next = restart();
    EXPECT_EQ(next->columns(), design());
    r = row();
    EXPECT_EQ(r.campiUtente, "Descrizione|KC|E%|ACQ|");
    EXPECT_EQ(r.widthUtente, "274|80|60|60|");
    EXPECT_EQ(r.totale.toInt(), 4);
}

TEST_F(GridLayoutTest, MissingWidthEntryFailsTheLoadToo) {
    restart();
    tdb.connection().execute("update Griglie set WidthUtente = '274|80|' where NomeGriglia = 'frmAlimenti_Griglia'");
    auto g = restart();
    EXPECT_EQ(fieldsOf(*g), (QStringList{"Descrizione", "KC", "E%"}));
    EXPECT_EQ(row().totale.toInt(), 3);
}

TEST_F(GridLayoutTest, NullUserListsOrCountAreRepairedFromTheGrid) {
    restart();
    tdb.connection().execute("update Griglie set WidthUtente = Null");
    auto g = newGrid();
    g->setGridColumnWidth(0, 111);
    auto t = griglie();
    ui::CaricaGriglia(Griglia, *g, *t, false, PC);
    EXPECT_EQ(row().widthUtente, "111|80|60|60|");
    EXPECT_EQ(row().widthPredefiniti, "111|80|60|60|"); // forced

    tdb.connection().execute("update Griglie set CampiUtente = Null, WidthUtente = '1|2|3|4|'");
    auto g2 = restart();
    EXPECT_EQ(row().campiUtente, "Descrizione|KC|E%|ACQ|");
    EXPECT_EQ(row().widthUtente, "274|80|60|60|");
}

TEST_F(GridLayoutTest, GridWithNoColumnsWritesNothing) {
    auto g = newGrid({});
    auto t = griglie();
    ui::SalvaGriglia(Griglia, *g, *t, true, PC);
    EXPECT_EQ(rowsInTable(), 0);
    EXPECT_EQ(t->state(), db::Dataset::State::Browse);
    EXPECT_EQ(t->filter(), "");
    EXPECT_EQ(t->recordCount(), 0);
    ui::CaricaGriglia(Griglia, *g, *t, false, PC);
    EXPECT_EQ(rowsInTable(), 0);
    // With a row stored, saving an emptied grid leaves the row as it was.
    auto full = restart();
    auto t2 = griglie();
    ui::SalvaGriglia(Griglia, *g, *t2, false, PC);
    EXPECT_EQ(row().campiUtente, "Descrizione|KC|E%|ACQ|");
    EXPECT_EQ(t2->state(), db::Dataset::State::Browse);
}

TEST_F(GridLayoutTest, TwoWorkstationsKeepTheirOwnRows) {
    const QString pc2 = "POSTAZIONE2";
    {
        auto g1 = restart(design(), PC);
        g1->setGridColumnWidth(0, 333);
        auto t1 = griglie(PC);
        ui::SalvaGriglia(Griglia, *g1, *t1, false, PC);
    }
    {
        auto g2 = restart(design(), pc2);
        EXPECT_EQ(widthsOf(*g2), (QList<int>{274, 80, 60, 60}));
        g2->setGridColumnWidth(3, 99);
        auto t2 = griglie(pc2);
        ui::SalvaGriglia(Griglia, *g2, *t2, false, pc2);
    }
    EXPECT_EQ(rowsInTable(), 2);
    EXPECT_EQ(row(PC).widthUtente, "333|80|60|60|");
    EXPECT_EQ(row(pc2).widthUtente, "274|80|60|99|");
    EXPECT_EQ(widthsOf(*restart(design(), PC)), (QList<int>{333, 80, 60, 60}));
    EXPECT_EQ(widthsOf(*restart(design(), pc2)), (QList<int>{274, 80, 60, 99}));

    // Even on an unrestricted Griglie query the filter keeps the workstations apart.
    auto all = openDataset(tdb.connection(), "select * from Griglie");
    auto g = newGrid();
    ui::CaricaGriglia(Griglia, *g, *all, false, pc2);
    EXPECT_EQ(widthsOf(*g), (QList<int>{274, 80, 60, 99}));
    EXPECT_EQ(all->recordCount(), 2);
}

TEST_F(GridLayoutTest, ComputerNameWithAnApostropheWorks) {
    const QString pc = "PC-D'ANGELO";
    {
        auto g = restart(design(), pc);
        g->setGridColumnWidth(1, 123);
        auto t = griglie(pc);
        ASSERT_EQ(t->recordCount(), 1);
        ui::SalvaGriglia(Griglia, *g, *t, false, pc);
    }
    Row r = row(pc);
    EXPECT_EQ(r.count, 1);
    EXPECT_EQ(r.widthUtente, "274|123|60|60|");
    EXPECT_EQ(widthsOf(*restart(design(), pc)), (QList<int>{274, 123, 60, 60}));
    EXPECT_EQ(rowsInTable(), 1);
}

TEST_F(GridLayoutTest, ResetBeforeAnyRowCreatesIt) {
    auto g = newGrid();
    auto t = griglie();
    ui::ResetGriglia(Griglia, *g, *t, PC);
    EXPECT_EQ(row().count, 1);
    EXPECT_EQ(row().totale.toInt(), 4);
}

TEST_F(GridLayoutTest, ColumnsOfFieldsTheQueryLacksAreKept) {
    QList<GridColumn> cols = design();
    cols << GridColumn{"NonEsiste", "Manca", 70};
    auto g = restart(cols);
    EXPECT_EQ(g->columnCount(), 5);
    EXPECT_EQ(g->cellText(0, 4), "");
    EXPECT_EQ(row().campiUtente, "Descrizione|KC|E%|ACQ|NonEsiste|");
}

TEST_F(GridLayoutTest, PopupMenusCarryTheirNamesCaptionsAndOrder) {
    auto g = newGrid();
    auto t = griglie();
    QMenu* m = ui::attachLayoutMenu(*g, Griglia, *t, PC);
    EXPECT_EQ(m->objectName(), "PopupMenu1");
    EXPECT_EQ(g->findChild<QMenu*>("PopupMenu1"), m);
    ASSERT_EQ(m->actions().size(), 3);
    EXPECT_EQ(m->actions()[0]->objectName(), "SalvaGriglia1");
    EXPECT_EQ(m->actions()[0]->text(), "Salva Griglia");
    EXPECT_EQ(m->actions()[1]->objectName(), "EliminaColonna1");
    EXPECT_EQ(m->actions()[1]->text(), "Elimina Colonna");
    EXPECT_EQ(m->actions()[2]->objectName(), "ResetGriglia1");
    EXPECT_EQ(m->actions()[2]->text(), "Reset Griglia");

    auto cap = newGrid();
    QMenu* m2 = ui::attachLayoutMenu(*cap, "frmTrovaCap", *t, PC, ui::LayoutMenuNames::trovaCap());
    ASSERT_EQ(m2->actions().size(), 3);
    EXPECT_EQ(m2->actions()[0]->objectName(), "SalvaGriglia1");
    EXPECT_EQ(m2->actions()[0]->text(), "Salva Griglia");
    EXPECT_EQ(m2->actions()[1]->objectName(), "eliminacolonna1");
    EXPECT_EQ(m2->actions()[1]->text(), "Elimina colonna");
    EXPECT_EQ(m2->actions()[2]->objectName(), "ResetColonne1");
    EXPECT_EQ(m2->actions()[2]->text(), "Reset Colonne");
    m2->actions()[0]->trigger();
    EXPECT_EQ(row(PC, "frmTrovaCap").count, 1);

    // Extra commands around the layout ones (the client list's menu).
    QMenu own;
    own.addAction("Seleziona Tutti");
    auto acts = ui::addLayoutActions(own, *g, Griglia, *t, PC,
                                     ui::LayoutMenuNames::items("PopupMenu2", "MenuItem1", "MenuItem2", "MenuItem3"));
    own.addAction("Conta records");
    EXPECT_EQ(own.actions().size(), 5);
    EXPECT_EQ(acts.salva->objectName(), "MenuItem1");
    EXPECT_EQ(acts.reset->text(), "Reset Griglia");
}

} // namespace
