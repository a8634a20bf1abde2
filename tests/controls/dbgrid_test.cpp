// DBGrid on real datasets.

#include "common/controls/dbgrid.h"
#include "common/controls/dialogs.h"
#include "controls_support.h"

#include <QAccessible>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace controls_test;
using ui::DBGrid;
using ui::GridColumn;

namespace {

class DBGridTest : public ::testing::Test {
protected:
    testing_support::TempDatabase tdb;
    std::unique_ptr<db::Dataset> foods;
    std::unique_ptr<DBGrid> grid;

    void SetUp() override {
        addFoods(tdb.connection());
        foods = openDataset(tdb.connection(), "select * from Alimenti order by Descrizione");
        grid = std::make_unique<DBGrid>();
        grid->setObjectName("DBGrid1");
        grid->resize(700, 300);
        grid->setDataset(foods.get());
        grid->setColumns({{"Descrizione", "Descrizione", 200},
                          {"KC", "KCal per 100 gr", 90}, {"E%", "% Edibile", 70},
                          {"ACQ", "Acqua gr.", 70}});
    }

    QPoint cellCenter(int row, int col) {
        return grid->visualRect(grid->model()->index(row, grid->horizontalHeader()->logicalIndex(col))).center();
    }
    void click(int row, int col, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, mods, cellCenter(row, col));
        settle();
    }
};

TEST_F(DBGridTest, ShowsTheVisibleRowsOfTheDatasetWithItalianTexts) {
    ASSERT_EQ(grid->model()->rowCount(), 4);
    EXPECT_EQ(grid->cellText(0, 0), "Arance");
    EXPECT_EQ(grid->cellText(0, 2), "80,5");
    EXPECT_EQ(grid->cellText(3, 0), "Zucchine");
    EXPECT_EQ(grid->cellText(3, 1), "1.234,5");
    EXPECT_EQ(grid->model()->data(grid->model()->index(3, 1)).toString(), "1.234,5");
    grid->setDrawEditText(true);
    EXPECT_EQ(grid->cellText(3, 1), "1234,5");
    EXPECT_EQ(grid->model()->headerData(1, Qt::Horizontal).toString(), "KCal per 100 gr");

    foods->setFilter("KC > 100");
    EXPECT_EQ(grid->model()->rowCount(), 3);
    foods->setFilter("");
    EXPECT_EQ(grid->model()->rowCount(), 4);
    foods->close();
    EXPECT_EQ(grid->model()->rowCount(), 0);
    foods->open();
    EXPECT_EQ(grid->model()->rowCount(), 4);

    // A column of a missing field shows empty cells and paints.
    grid->addColumn("Inesistente", "Manca", 50);
    EXPECT_EQ(grid->cellText(0, 4), "");
    EXPECT_EQ(grid->columnOfField("inesistente"), 4);
    ASSERT_TRUE(showActive(grid.get()));
    EXPECT_FALSE(grid->grab().isNull());
}

TEST_F(DBGridTest, CurrentRowFollowsTheDatasetBothWaysAndADoubleClickIsReported) {
    ASSERT_TRUE(showActive(grid.get()));
    EXPECT_EQ(grid->currentIndex().row(), 0);
    foods->setPosition(2);
    EXPECT_EQ(grid->currentIndex().row(), 2);
    foods->last();
    EXPECT_EQ(grid->currentIndex().row(), 3);

    click(1, 2);
    EXPECT_EQ(foods->position(), 1);
    EXPECT_EQ(foods->value("Descrizione").toString(), "Burro");
    EXPECT_EQ(grid->selectedColumn(), 2);

    QTest::keyClick(grid.get(), Qt::Key_Down);
    EXPECT_EQ(foods->position(), 2);
    QTest::keyClick(grid.get(), Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(foods->position(), 3);
    QTest::keyClick(grid.get(), Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(foods->position(), 0);

    // A sort keeps the current row; the grid follows it to its new place.
    foods->setPosition(1); // Burro
    grid->setSelectedColumn(2);
    foods->setSort("KC DESC");
    EXPECT_EQ(foods->value("Descrizione").toString(), "Burro");
    EXPECT_EQ(grid->currentIndex().row(), foods->position());
    EXPECT_EQ(grid->selectedColumn(), 2); // the current column survives the reset

    QSignalSpy doubleClicked(grid.get(), &DBGrid::dblClicked);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cellCenter(2, 0));
    EXPECT_EQ(doubleClicked.count(), 1);
    EXPECT_EQ(foods->position(), 2);
    // A screen reader selecting a row makes it the current one.
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(grid.get());
    ASSERT_TRUE(a && a->tableInterface());
    EXPECT_TRUE(a->tableInterface()->selectRow(3));
    EXPECT_EQ(foods->position(), 3);
}

TEST_F(DBGridTest, ShowingFitsColumnsToTitlesAndTextsAndAmountsHaveTwoDecimals) {
    tdb.connection().execute("insert into OperazionePagamenti (Descrizione, Importo) values ('Quota mensile', 8.5)");
    auto operazioni = openDataset(tdb.connection(), "select Descrizione, Importo, Importo * 2 as Doppio from OperazionePagamenti");
    grid->setDataset(operazioni.get());
    grid->setColumns({{"Descrizione", "Operazione", 10}, {"Importo", "Importo in euro del pagamento", 10}, {"Doppio", "D", 10}});
    EXPECT_EQ(grid->cellText(0, 1), "8,50");
    EXPECT_EQ(grid->cellText(0, 2), "17"); // computed: not an amount column
    ASSERT_TRUE(showActive(grid.get()));
    QHeaderView* h = grid->horizontalHeader();
    EXPECT_GT(grid->gridColumnWidth(0), grid->fontMetrics().horizontalAdvance("Quota mensile"));
    EXPECT_GE(grid->gridColumnWidth(1), h->sectionSizeHint(1));
    EXPECT_EQ(h->length(), grid->viewport()->width()); // the last column takes the rest
    // New rows (a filter being typed) leave the fitted widths as they are.
    const int fitted = grid->gridColumnWidth(0);
    tdb.connection().execute("insert into OperazionePagamenti (Descrizione) values ('Quota annuale con assicurazione')");
    operazioni->requery();
    EXPECT_EQ(grid->gridColumnWidth(0), fitted);
    // Widths the user chose (a layout of their own) are kept at the next showing.
    grid->hide();
    grid->setColumns({{"Descrizione", "Operazione", 10}, {"Importo", "Importo", 10}, {"Doppio", "D", 10}});
    grid->setAutoFit(false);
    grid->show();
    EXPECT_EQ(grid->gridColumnWidth(0), 10);
}

TEST_F(DBGridTest, UserWidthsAndOrderSurviveDatasetResetsAndDisabledControlsReadNothing) {
    grid->setGridColumnWidth(1, 133);
    grid->horizontalHeader()->moveSection(3, 0);
    foods->setFilter("KC > 100");
    foods->requery();
    EXPECT_EQ(grid->gridColumn(2).width, 133);
    EXPECT_EQ(grid->gridColumn(0).field, "ACQ");
    EXPECT_EQ(grid->cellText(0, 0), "15,5"); // Burro after requery with the filter kept
    EXPECT_EQ(grid->model()->rowCount(), 3);

    ASSERT_TRUE(showActive(grid.get()));
    foods->disableControls();
    foods->setFilter("KC > 1000"); // no signal: the grid still thinks it has 3 rows
    EXPECT_EQ(grid->model()->rowCount(), 3);
    EXPECT_EQ(grid->cellText(2, 1), ""); // a row the dataset no longer shows reads empty
    grid->viewport()->repaint();         // and painting is skipped without failing
    foods->enableControls();
    EXPECT_EQ(grid->model()->rowCount(), 1);
    EXPECT_EQ(grid->cellText(0, 1), "Zucchine");
    EXPECT_EQ(grid->currentIndex().row(), 0);
}

TEST_F(DBGridTest, TitleClickReportsTheDisplayedColumnAndItsField) {
    ASSERT_TRUE(showActive(grid.get()));
    QSignalSpy spy(grid.get(), &DBGrid::titleClicked);
    QHeaderView* h = grid->horizontalHeader();
    const auto clickTitle = [&](int display) {
        const int l = h->logicalIndex(display);
        QTest::mouseClick(h->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(h->sectionViewportPosition(l) + h->sectionSize(l) / 2, h->height() / 2));
    };
    clickTitle(1);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy[0], (QVariantList{1, "KC"}));
    // After a move the display index is reported.
    h->moveSection(3, 0);
    clickTitle(0);
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy[1], (QVariantList{0, "ACQ"}));
}

TEST_F(DBGridTest, DrawCellHookGivesTheColoursAndTheTextIsDrawnAtTwoPixels) {
    // A row colour rule like the client list's: red when KC > 500, the text always black.
    const int kc = foods->fieldIndex("KC");
    grid->setCellStyler([&](ui::CellStyle& cell) {
        cell.background = Qt::white;
        if (foods->valueAt(cell.row, kc).toDouble() > 500) cell.background = Qt::red;
        cell.foreground = Qt::black;
    });
    ASSERT_TRUE(showActive(grid.get()));
    foods->setPosition(0);
    EXPECT_EQ(grid->cellStyle(1, 0).background, QColor(Qt::red));  // Burro 717
    EXPECT_EQ(grid->cellStyle(2, 3).background, QColor(Qt::white)); // Pane 250
    EXPECT_EQ(grid->cellStyle(2, 0).text, "Pane");
    EXPECT_EQ(grid->cellStyle(2, 0).alignment, Qt::AlignLeft | Qt::AlignTop);

    const QImage img = grid->viewport()->grab().toImage();
    const QRect burro = grid->visualRect(grid->model()->index(1, 2));
    const QRect pane = grid->visualRect(grid->model()->index(2, 2));
    EXPECT_EQ(img.pixelColor(burro.right() - 3, burro.bottom() - 2), QColor(Qt::red));
    EXPECT_EQ(img.pixelColor(pane.right() - 3, pane.bottom() - 2), QColor(Qt::white));
    // Text pixels start 2 px right of the cell's left edge: none in the first two columns.
    const QRect descr = grid->visualRect(grid->model()->index(2, 0));
    bool darkInMargin = false, darkInText = false;
    for (int y = descr.top(); y < descr.bottom(); ++y) {
        for (int x = descr.left() + 1; x < descr.left() + 2; ++x)
            if (img.pixelColor(x, y).lightness() < 100) darkInMargin = true;
        for (int x = descr.left() + 2; x < descr.left() + 40; ++x)
            if (img.pixelColor(x, y).lightness() < 100) darkInText = true;
    }
    EXPECT_FALSE(darkInMargin);
    EXPECT_TRUE(darkInText);

    // Without a hook numbers are right-aligned and the current row highlighted.
    grid->setCellStyler({});
    EXPECT_EQ(grid->cellStyle(1, 1).alignment, Qt::AlignRight | Qt::AlignTop);
    EXPECT_TRUE(grid->cellStyle(0, 0).selected);
    EXPECT_NE(grid->cellStyle(0, 0).background, QColor(Qt::white));
}

TEST_F(DBGridTest, MultiSelectionByClicksKeysAndSelectAll) {
    grid->setMultiSelect(true);
    ASSERT_TRUE(showActive(grid.get()));
    QSignalSpy changed(grid.get(), &DBGrid::rowSelectionChanged);
    click(0, 0);
    EXPECT_EQ(grid->selectedRows(), (QList<int>{0}));
    click(2, 0, Qt::ControlModifier);
    EXPECT_EQ(grid->selectedRows(), (QList<int>{0, 2}));
    click(3, 1, Qt::ShiftModifier); // from the last row clicked
    EXPECT_EQ(grid->selectedRows(), (QList<int>{0, 2, 3}));
    click(0, 0, Qt::ControlModifier); // toggles off
    EXPECT_EQ(grid->selectedRows(), (QList<int>{2, 3}));
    click(1, 1);
    EXPECT_EQ(grid->selectedRows(), (QList<int>{1}));
    QTest::keyClick(grid.get(), Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(grid->selectedRows(), (QList<int>{1, 2}));
    EXPECT_GT(changed.count(), 0);

    // Rows are remembered by key: a sort keeps the same foods selected.
    auto selectedFoods = [&] {
        QStringList out;
        for (int r : grid->selectedRows()) out << foods->displayTextAt(r, foods->fieldIndex("Descrizione"));
        out.sort();
        return out;
    };
    EXPECT_EQ(selectedFoods(), (QStringList{"Burro", "Pane"}));
    foods->setSort("KC DESC");
    EXPECT_EQ(selectedFoods(), (QStringList{"Burro", "Pane"}));
    EXPECT_EQ(grid->selectedKeys().size(), 2);
    foods->setSort("");

    // "Seleziona Tutti" and "Seleziona tutte le Email": rows already selected stay.
    grid->clearRowSelection();
    EXPECT_EQ(grid->selectedRowCount(), 0);
    const int acq = foods->fieldIndex("ACQ");
    grid->setRowSelected(0, true);
    grid->selectAllRows([&](int row) { return foods->valueAt(row, acq).toDouble() > 50; });
    EXPECT_EQ(grid->selectedRows(), (QList<int>{0, 3}));
    const int before = foods->position();
    grid->selectAllRows();
    EXPECT_EQ(grid->selectedRowCount(), 4);
    EXPECT_EQ(foods->position(), before); // the dataset does not move

    // A filter hides rows without forgetting them.
    foods->setFilter("KC > 300");
    EXPECT_EQ(grid->selectedRowCount(), 2);
    foods->setFilter("");
    EXPECT_EQ(grid->selectedRowCount(), 4);
    EXPECT_TRUE(grid->cellStyle(3, 0).selected);
    EXPECT_FALSE(grid->grab().isNull());
}

TEST_F(DBGridTest, EditableGridWritesTypedTextIntoTheRow) {
    ASSERT_TRUE(showActive(grid.get()));
    EXPECT_FALSE(grid->model()->flags(grid->model()->index(0, 1)) & Qt::ItemIsEditable);
    grid->setReadOnly(false);
    ASSERT_TRUE(grid->model()->flags(grid->model()->index(0, 1)) & Qt::ItemIsEditable);

    // Typed into a cell of the third row, then the row is left.
    click(2, 1);
    QTest::keyClick(grid.get(), Qt::Key_2); // any key opens the cell's editor
    settle();
    ASSERT_NE(QApplication::focusWidget(), grid.get());
    QTest::keyClicks(QApplication::focusWidget(), "60,5");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    settle();
    EXPECT_EQ(foods->state(), db::Dataset::State::Edit);
    EXPECT_DOUBLE_EQ(foods->value("KC").toDouble(), 260.5);
    click(0, 0); // leaving the row posts it
    EXPECT_EQ(foods->state(), db::Dataset::State::Browse);
    EXPECT_DOUBLE_EQ(scalar(tdb.connection(), "select KC from Alimenti where Descrizione = 'Pane'").toDouble(), 260.5);

    // A text that is not a number: message, nothing written.
    ui::ScriptedDialogs dialogs;
    EXPECT_FALSE(grid->model()->setData(grid->model()->index(1, 1), "tanto"));
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.shown[0].caption, "Errore");
}

// A large dataset: the grid reads rows on demand (the times are in bench/), so resets and
// scrolling to the end keep rows and the current row right.
TEST_F(DBGridTest, LargeDatasetKeepsRowsAndTheCurrentRowThroughResetsAndScrolling) {
    tdb.engineSql(
        "INSERT INTO Alimenti (Descrizione, KC, ACQ) "
        "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 20000) "
        "SELECT 'Alimento ' || x, x * 1.5, x % 100 FROM n");
    auto big = openDataset(tdb.connection(), "select * from Alimenti");
    grid->resize(800, 600);
    ASSERT_TRUE(showActive(grid.get()));
    grid->setDataset(big.get());
    big->setFilter("ACQ < 50");
    EXPECT_EQ(grid->model()->rowCount(), big->recordCount());
    big->setFilter("");
    EXPECT_EQ(grid->model()->rowCount(), big->recordCount());
    QScrollBar* bar = grid->verticalScrollBar();
    bar->setValue(bar->maximum());
    big->last();
    grid->viewport()->repaint();
    EXPECT_EQ(grid->currentIndex().row(), big->recordCount() - 1);
    const int last = big->recordCount() - 1;
    EXPECT_EQ(grid->cellText(last, 0), big->displayTextAt(last, big->fieldIndex(grid->gridColumn(0).field)));
}

} // namespace
