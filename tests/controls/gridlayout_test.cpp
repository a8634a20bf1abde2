// Grid layouts saved and loaded on real DBGrids and the real Griglie table. "Restarting" is the
// start-up pass: a new grid with its design-time columns, a fresh TableGriglie, CaricaGriglia.

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
            {"KC", "KCal per 100 gr", 80}, {"E%", "% Edibile", 60},
            {"ACQ", "Acqua gr.", 60}};
}
// The design's columns in another order or subset, with other widths where given.
QList<GridColumn> columns(const QList<int>& which, const QList<int>& widths = {}) {
    QList<GridColumn> out;
    for (int i = 0; i < which.size(); ++i) {
        out << design()[which[i]];
        if (i < widths.size()) out.last().width = widths[i];
    }
    return out;
}

// One stored row of Griglie: the user lists, the default lists, the default count.
struct Stored {
    QString campiUtente, widthUtente, captionUtente, campiPredefiniti, widthPredefiniti, captionPredefiniti;
    int totale = 0;
    bool operator==(const Stored&) const = default;
};
void PrintTo(const Stored& s, std::ostream* os) {
    *os << QStringList{s.campiUtente, s.widthUtente, s.captionUtente, s.campiPredefiniti, s.widthPredefiniti,
                       s.captionPredefiniti, QString::number(s.totale)}.join(" ; ").toStdString();
}
const QString kFields = "Descrizione|KC|E%|ACQ|", kWidths = "274|80|60|60|",
              kCaptions = "Descrizione|KCal per 100 gr|% Edibile|Acqua gr.|";
// A row whose user and default layouts are the same lists.
Stored both(const QString& fields, const QString& widths, const QString& captions, int totale) {
    return {fields, widths, captions, fields, widths, captions, totale};
}
const Stored kDesign = both(kFields, kWidths, kCaptions, 4);

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
        table.reset();
        auto g = newGrid(cols);
        auto t = griglie(computer);
        ui::CaricaGriglia(grid, *g, *t, false, computer);
        EXPECT_TRUE(t->filter().isEmpty());
        EXPECT_EQ(t->state(), db::Dataset::State::Browse);
        return g;
    }

    // How many rows this computer and grid have, and the last of them.
    int rows(const QString& computer = PC, const QString& grid = Griglia) {
        return scalar(tdb.connection(), QStringLiteral("select count(*) from Griglie where NomeComputer = '%1' and NomeGriglia = '%2'")
                                            .arg(QString(computer).replace("'", "''"), grid))
            .toInt();
    }
    Stored row(const QString& computer = PC, const QString& grid = Griglia) {
        auto ds = openDataset(tdb.connection(), "select * from Griglie");
        ds->setFilter(ui::FiltroGriglia(computer, grid));
        ds->last();
        auto v = [&](const char* f) { return ds->value(f).toString(); };
        return {v("CampiUtente"), v("WidthUtente"), v("CaptionUtente"), v("CampiPredefiniti"),
                v("WidthPredefiniti"), v("CaptionPredefiniti"), ds->value("TotaleCampiPredefiniti").toInt()};
    }
    int rowsInTable() { return scalar(tdb.connection(), "select count(*) from Griglie").toInt(); }

    // The pop-up commands, triggered as the user does.
    std::unique_ptr<db::Dataset> table; // TableGriglie of the running "program"
    void command(DBGrid& g, const char* name) {
        if (!g.popupMenu()) {
            if (!table) table = griglie(PC);
            ui::attachLayoutMenu(g, Griglia, *table, PC);
        }
        auto* a = g.popupMenu()->findChild<QAction*>(QString::fromLatin1(name));
        ASSERT_NE(a, nullptr) << name;
        a->trigger();
    }
};

TEST_F(GridLayoutTest, FirstStartWritesBothLayoutsFromTheDesignOncePerGridAndAGrownDesignReplacesThem) {
    EXPECT_EQ(restart()->columns(), design());
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(row(), kDesign);
    // Every grid of the table gets its own row, once.
    const QStringList ids = {"frmTrovaCap", "frmClienti_Griglia", "frmClientiDett_DBGrid1", "frmGrigliaAvvisi"};
    auto t = griglie();
    std::vector<std::unique_ptr<DBGrid>> grids;
    for (int pass = 0; pass < 2; ++pass)
        for (int i = 0; i < ids.size(); ++i) {
            if (pass == 0) grids.push_back(newGrid(design().mid(0, 1 + i)));
            ui::CaricaGriglia(ids[i], *grids[size_t(i)], *t, false, PC);
        }
    EXPECT_EQ(rowsInTable(), 1 + ids.size());
    EXPECT_EQ(row(PC, "frmClienti_Griglia"), both("Descrizione|KC|", "274|80|", "Descrizione|KCal per 100 gr|", 2));

    // A design that gained a column replaces both layouts: the saved widths are gone.
    {
        auto g = restart();
        g->setGridColumnWidth(0, 400);
        command(*g, "SalvaGriglia1");
        EXPECT_EQ(row().widthUtente, "400|80|60|60|");
    }
    QList<GridColumn> v2 = design();
    v2 << GridColumn{"PRO", "Proteine gr.", 60};
    EXPECT_EQ(restart(v2)->columns(), v2);
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(row(), both(kFields + "PRO|", kWidths + "60|", kCaptions + "Proteine gr.|", 5));
}

TEST_F(GridLayoutTest, ResizedAndMovedColumnsComeBackAfterSaveAndRestartAndResetRestoresTheDesign) {
    {
        auto g = restart();
        g->setGridColumnWidth(0, 300);
        g->setGridColumnWidth(2, 95);
        // The user drags "ACQ" to the front with the mouse: the header moves the section.
        g->horizontalHeader()->moveSection(3, 0);
        EXPECT_EQ(g->columns(), columns({3, 0, 1, 2}, {60, 300, 80, 95}));
        command(*g, "SalvaGriglia1");
    }
    EXPECT_EQ(row(), (Stored{"ACQ|Descrizione|KC|E%|", "60|300|80|95|", "Acqua gr.|Descrizione|KCal per 100 gr|% Edibile|",
                             kFields, kWidths, kCaptions, 4}));
    auto g = restart();
    EXPECT_EQ(g->columns(), columns({3, 0, 1, 2}, {60, 300, 80, 95}));
    EXPECT_FALSE(g->autoFit()); // the user's widths win over fitted ones
    command(*g, "ResetGriglia1");
    EXPECT_EQ(g->columns(), design());
    EXPECT_TRUE(g->autoFit());
    EXPECT_EQ(row(), kDesign); // the design is the user layout too
    EXPECT_EQ(table->filter(), "");
    EXPECT_EQ(restart()->columns(), design());
}

TEST_F(GridLayoutTest, RemovedAndSavedColumnStaysRemovedAndResetMakesTheReducedSetTheDefault) {
    {
        auto g = restart();
        g->setSelectedColumn(1); // the current cell is in "KC"
        command(*g, "EliminaColonna1");
        EXPECT_EQ(g->columns(), columns({0, 2, 3}));
        EXPECT_EQ(row(), kDesign); // nothing written yet
        command(*g, "SalvaGriglia1");
        EXPECT_EQ(row(), (Stored{"Descrizione|E%|ACQ|", "274|60|60|", "Descrizione|% Edibile|Acqua gr.|", kFields,
                                 kWidths, kCaptions, 4}));
    }
    // Restart: the stored default still counts four columns, like the design: the user
    // layout (three columns) is applied.
    auto g = restart();
    EXPECT_EQ(g->columns(), columns({0, 2, 3}));
    // Reset: the grid shows three columns but the stored default has four, so the current
    // columns become the default and user layout.
    command(*g, "ResetGriglia1");
    EXPECT_EQ(g->columns(), columns({0, 2, 3}));
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(row(), both("Descrizione|E%|ACQ|", "274|60|60|", "Descrizione|% Edibile|Acqua gr.|", 3));
    // The next start-up finds the design (four columns) different from the stored count
    // and goes back to it.
    EXPECT_EQ(restart()->columns(), design());
    EXPECT_EQ(row(), kDesign);
}

TEST_F(GridLayoutTest, EliminaColonnaRemovesTheCurrentCellsColumnUntilTheNextStartUnlessSaved) {
    {
        auto g = restart();
        foods->setPosition(2);
        g->setCurrentIndex(g->model()->index(2, 3)); // a click on the "ACQ" cell of row 3
        EXPECT_EQ(g->selectedColumn(), 3);
        command(*g, "EliminaColonna1");
        EXPECT_EQ(g->columns(), columns({0, 1, 2}));
        EXPECT_EQ(foods->position(), 2);
    }
    EXPECT_EQ(restart()->columns(), design());
    EXPECT_EQ(row(), kDesign);
}

// A caption containing "|" is stored unescaped. On the next load the caption list has one
// entry more than the field list; the columns are counted on the field list, so the
// caption splits: its second half becomes the next column's caption, and the last caption
// entry is left over.
TEST_F(GridLayoutTest, CaptionContainingTheSeparatorIsStoredUnescapedAndSplitsOnTheNextLoad) {
    QList<GridColumn> cols = design();
    cols[1].title = "KCal|100 gr";
    const QString split = "Descrizione|KCal|100 gr|% Edibile|Acqua gr.|";
    restart(cols);
    EXPECT_EQ(row(), both(kFields, kWidths, split, 4));
    auto g = restart(cols);
    QList<GridColumn> shown = design();
    shown[1].title = "KCal";
    shown[2].title = "100 gr";
    shown[3].title = "% Edibile";
    EXPECT_EQ(g->columns(), shown);
    // Saving now stores the split captions, one per column; the row is kept, not rebuilt.
    command(*g, "SalvaGriglia1");
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(row(), (Stored{kFields, kWidths, "Descrizione|KCal|100 gr|% Edibile|", kFields, kWidths, split, 4}));
}

TEST_F(GridLayoutTest, DamagedRowsAreRewrittenAndABadWidthStopsTheLoadUntilTheNextStartRestoresTheDesign) {
    restart();
    tdb.connection().execute("update Griglie set WidthUtente = '274|8O|60|60|'");
    // The load stopped at the second column: it was added with its field name only.
    EXPECT_EQ(restart()->columns(), (QList<GridColumn>{design()[0], {"KC", "", GridColumn::DefaultWidth}}));
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(row(), both("Descrizione|KC|", "274|64|", "Descrizione||", 2));
    EXPECT_EQ(restart()->columns(), design());
    EXPECT_EQ(row(), kDesign);
    // A missing width entry fails the load the same way.
    tdb.connection().execute("update Griglie set WidthUtente = '274|80|'");
    EXPECT_EQ(restart()->columnCount(), 3);
    EXPECT_EQ(row().totale, 3);

    // Null user lists are repaired from the grid.
    tdb.connection().execute("update Griglie set WidthUtente = Null");
    auto g = newGrid();
    g->setGridColumnWidth(0, 111);
    auto t = griglie();
    ui::CaricaGriglia(Griglia, *g, *t, false, PC);
    EXPECT_EQ(row(), both(kFields, "111|80|60|60|", kCaptions, 4)); // defaults forced too

    tdb.connection().execute("update Griglie set CampiUtente = Null, WidthUtente = '1|2|3|4|'");
    restart();
    EXPECT_EQ(row(), kDesign);
    // A row without its default layout gets one at the next save.
    tdb.connection().execute("update Griglie set CampiPredefiniti = Null, WidthPredefiniti = Null");
    auto again = restart();
    again->setGridColumnWidth(0, 222);
    command(*again, "SalvaGriglia1");
    EXPECT_EQ(row(), both(kFields, "222|80|60|60|", kCaptions, 4));
}

TEST_F(GridLayoutTest, GridWithNoColumnsWritesNothingAndResetBeforeAnyRowCreatesIt) {
    auto g = newGrid({});
    auto t = griglie();
    ui::SalvaGriglia(Griglia, *g, *t, true, PC);
    ui::CaricaGriglia(Griglia, *g, *t, false, PC);
    EXPECT_EQ(rowsInTable(), 0);
    EXPECT_EQ(t->state(), db::Dataset::State::Browse);
    EXPECT_EQ(t->filter(), "");
    ui::ResetGriglia(Griglia, *newGrid(), *t, PC);
    EXPECT_EQ(row(), kDesign);
    // With a row stored, saving an emptied grid leaves the row as it was.
    ui::SalvaGriglia(Griglia, *g, *t, false, PC);
    EXPECT_EQ(row(), kDesign);
    EXPECT_EQ(t->state(), db::Dataset::State::Browse);
    // A column of a field the query lacks is kept in the layout.
    QList<GridColumn> cols = design();
    cols << GridColumn{"NonEsiste", "Manca", 70};
    EXPECT_EQ(restart(cols)->columnCount(), 5);
    EXPECT_EQ(row().campiUtente, kFields + "NonEsiste|");
}

TEST_F(GridLayoutTest, WorkstationsKeepTheirOwnRowsWhateverTheirName) {
    const QString pc2 = "PC-D'ANGELO";
    for (const auto& [pc, column, width] : {std::tuple{PC, 0, 333}, std::tuple{pc2, 3, 99}}) {
        auto g = restart(design(), pc);
        EXPECT_EQ(g->columns(), design());
        g->setGridColumnWidth(column, width);
        auto t = griglie(pc);
        ASSERT_EQ(t->recordCount(), 1);
        ui::SalvaGriglia(Griglia, *g, *t, false, pc);
    }
    EXPECT_EQ(rowsInTable(), 2);
    EXPECT_EQ(row(PC).widthUtente, "333|80|60|60|");
    EXPECT_EQ(row(pc2).widthUtente, "274|80|60|99|");
    EXPECT_EQ(restart(design(), PC)->columns(), columns({0, 1, 2, 3}, {333, 80, 60, 60}));
    EXPECT_EQ(restart(design(), pc2)->columns(), columns({0, 1, 2, 3}, {274, 80, 60, 99}));
    // Even on an unrestricted Griglie query the filter keeps the workstations apart.
    auto all = openDataset(tdb.connection(), "select * from Griglie");
    auto g = newGrid();
    ui::CaricaGriglia(Griglia, *g, *all, false, pc2);
    EXPECT_EQ(g->columns(), columns({0, 1, 2, 3}, {274, 80, 60, 99}));
    EXPECT_EQ(all->recordCount(), 2);
}

TEST_F(GridLayoutTest, LayoutCommandsComeInTheirOrderAloneOrAmongAMenusOwn) {
    auto names = [](const QList<QAction*>& actions) {
        QStringList out;
        for (const QAction* a : actions) out << a->objectName() + u'=' + a->text();
        return out;
    };
    auto g = newGrid();
    auto t = griglie();
    QMenu* m = ui::attachLayoutMenu(*g, Griglia, *t, PC);
    EXPECT_EQ(g->findChild<QMenu*>("PopupMenu1"), m);
    EXPECT_EQ(names(m->actions()), (QStringList{"SalvaGriglia1=Salva Griglia", "EliminaColonna1=Elimina Colonna",
                                                "ResetGriglia1=Reset Griglia"}));
    // Extra commands around the layout ones (the client list's menu).
    QMenu own;
    own.addAction("Seleziona Tutti");
    ui::addLayoutActions(own, *g, Griglia, *t, PC, ui::LayoutMenuNames::items("PopupMenu2", "MenuItem1", "MenuItem2", "MenuItem3"));
    own.addAction("Conta records");
    EXPECT_EQ(names(own.actions()), (QStringList{"=Seleziona Tutti", "MenuItem1=Salva Griglia", "MenuItem2=Elimina Colonna",
                                                 "MenuItem3=Reset Griglia", "=Conta records"}));
}

} // namespace
