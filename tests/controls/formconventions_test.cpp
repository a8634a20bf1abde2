// The form conventions on a real offscreen form.

#include "common/controls/dbedits.h"
#include "common/controls/dbgrid.h"
#include "common/controls/formconventions.h"
#include "controls_support.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace controls_test;
using ui::FormConventions;

namespace {

QColor base(QWidget* w) { return w->palette().color(QPalette::Base); }

class FormConventionsTest : public ::testing::Test {
protected:
    testing_support::TempDatabase tdb;
    db::Connection& conn() { return tdb.connection(); }
    std::unique_ptr<db::Dataset> foods;
    QWidget form;
    QVBoxLayout* layout = new QVBoxLayout(&form);
    QLineEdit* edit1 = nullptr;
    ui::DBEdit* dbedit1 = nullptr;
    ui::DBEdit* importo = nullptr;
    QComboBox* combo = nullptr;
    ui::DBMemo* memo = nullptr;
    QCheckBox* check = nullptr;
    QPushButton* button = nullptr;
    QLineEdit* last = nullptr;
    QList<QWidget*> modified;

    template <class W>
    W* add(W* w, const QString& name) {
        w->setObjectName(name);
        layout->addWidget(w);
        return w;
    }

    void SetUp() override {
        addFoods(tdb.connection());
        foods = openDataset(tdb.connection(), "select * from Alimenti order by Descrizione");
        edit1 = add(new QLineEdit, "Edit1");
        dbedit1 = add(new ui::DBEdit(foods.get(), "Descrizione"), "DBEdit1");
        importo = add(new ui::DBEdit(foods.get(), "KC"), "DBEdit3");
        combo = add(new QComboBox, "ComboBox1");
        combo->addItems({"Maschio", "Femmina"});
        memo = add(new ui::DBMemo, "Memo1");
        check = add(new QCheckBox("Annullato"), "CheckBox1");
        button = add(new QPushButton("Cerca"), "Button1");
        last = add(new QLineEdit, "Edit2");
        FormConventions* fc = FormConventions::install(&form);
        fc->setModifiedCallback([this](QWidget* w) { modified << w; });
        FormConventions::setAmount(importo);
        ASSERT_TRUE(showActive(&form));
    }

    void focus(QWidget* w) {
        w->setFocus(Qt::TabFocusReason);
        settle();
        ASSERT_EQ(QApplication::focusWidget(), w);
    }
    QWidget* focused() { return QApplication::focusWidget(); }
    // Each key pressed in the focused control, and the control that has the focus after it.
    void walk(std::initializer_list<std::pair<Qt::Key, QWidget*>> steps) {
        for (const auto& [key, expected] : steps) {
            const QString from = focused()->objectName();
            QTest::keyClick(focused(), key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
            ASSERT_EQ(focused(), expected) << from.toStdString() << " + key " << key;
        }
    }
};

TEST_F(FormConventionsTest, FocusedEditTurnsAquaAndWhiteWhenLeft) {
    const QColor aqua(0, 255, 255);
    QWidget* before = nullptr;
    for (QWidget* w : std::initializer_list<QWidget*>{edit1, dbedit1, combo, memo, edit1}) {
        focus(w);
        EXPECT_EQ(base(w), aqua) << w->objectName().toStdString();
        if (before) EXPECT_EQ(base(before), QColor(Qt::white)) << before->objectName().toStdString();
        if (w == combo) EXPECT_EQ(combo->palette().color(QPalette::Button), aqua);
        if (w == memo) EXPECT_EQ(memo->viewport()->palette().color(QPalette::Base), aqua);
        before = w;
    }
    // A form's painted aqua is the real colour on screen.
    EXPECT_EQ(edit1->grab().toImage().pixelColor(edit1->width() / 2, edit1->height() / 2), aqua);

    // A failed check moves the focus while its message box is the active window: one field
    // stays aqua, not two.
    QWidget box;
    ASSERT_TRUE(showActive(&box));
    dbedit1->setFocus();
    ASSERT_TRUE(showActive(&form));
    EXPECT_EQ(base(dbedit1), aqua);
    EXPECT_EQ(base(edit1), QColor(Qt::white));
}

TEST_F(FormConventionsTest, EnterAndDownMoveToTheNextControlUpToThePrevious) {
    focus(edit1);
    // A closed combo moves on with Down and keeps its item; a memo keeps its arrows.
    walk({{Qt::Key_Return, dbedit1}, {Qt::Key_Down, importo}, {Qt::Key_Enter, combo}, {Qt::Key_Down, memo},
          {Qt::Key_Up, memo}, {Qt::Key_Tab, check}, {Qt::Key_Up, memo}});
    EXPECT_EQ(combo->currentIndex(), 0);
    focus(combo);
    // Up from the first control wraps round the tab order like Shift+Tab.
    walk({{Qt::Key_Up, importo}, {Qt::Key_Up, dbedit1}, {Qt::Key_Up, edit1}, {Qt::Key_Up, last}});
    EXPECT_EQ(base(last), QColor(0, 255, 255));
    EXPECT_EQ(base(edit1), QColor(Qt::white));
    EXPECT_TRUE(modified.isEmpty()); // moving is not typing
}

TEST_F(FormConventionsTest, TabOrderHiddenAndDisabledControlsAreRespected) {
    QWidget::setTabOrder(edit1, last);
    QWidget::setTabOrder(last, dbedit1);
    importo->setEnabled(false);
    combo->hide();
    focus(edit1);
    walk({{Qt::Key_Return, last}, {Qt::Key_Return, dbedit1}, {Qt::Key_Down, memo}});
}

TEST_F(FormConventionsTest, MemoKeepsEnterAndArrowsUnlessMarkedAndAnOpenComboListKeepsItsArrows) {
    focus(memo);
    QTest::keyClicks(memo, "uno");
    QTest::keyClick(memo, Qt::Key_Return);
    QTest::keyClicks(memo, "due");
    EXPECT_EQ(memo->toPlainText(), "uno\ndue");
    walk({{Qt::Key_Down, memo}});
    FormConventions::setArrowNavigation(memo);
    walk({{Qt::Key_Return, memo}, {Qt::Key_Down, check}}); // Enter still makes a new line
    focus(memo);
    walk({{Qt::Key_Up, combo}});
    // An open combo list keeps them too.
    combo->showPopup();
    settle();
    ASSERT_TRUE(combo->view()->isVisible());
    QTest::keyClick(combo->view(), Qt::Key_Down);
    QTest::keyClick(combo->view(), Qt::Key_Return);
    settle();
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_FALSE(combo->view()->isVisible());
    EXPECT_EQ(focused(), combo);
}

TEST_F(FormConventionsTest, PointInAnAmountFieldBecomesTheDecimalComma) {
    focus(importo);
    importo->selectAll();
    QTest::keyClicks(importo, "12.5");
    EXPECT_EQ(importo->text(), "12,5");
    QTest::keyClick(importo, Qt::Key_Period, Qt::KeypadModifier);
    EXPECT_EQ(importo->text(), "12,5,");
    QTest::keyClick(importo, Qt::Key_Backspace);
    QTest::keyClick(importo, Qt::Key_Return);
    EXPECT_EQ(foods->value("KC").toDouble(), 12.5);
    focus(edit1);
    QTest::keyClicks(edit1, "1.5");
    EXPECT_EQ(edit1->text(), "1.5"); // not an amount
}

TEST_F(FormConventionsTest, TypingRightClicksAndChoicesInBoundControlsCallTheModifiedHook) {
    focus(edit1);
    QTest::keyClicks(edit1, "abc"); // unbound
    EXPECT_TRUE(modified.isEmpty());
    focus(dbedit1);
    QTest::keyClick(dbedit1, Qt::Key_End);
    EXPECT_TRUE(modified.isEmpty()); // a movement key types nothing
    QTest::keyClick(dbedit1, Qt::Key_X);
    ASSERT_EQ(modified.size(), 1);
    EXPECT_EQ(modified[0], dbedit1);
    QTest::keyClick(dbedit1, Qt::Key_Backspace);
    EXPECT_EQ(modified.size(), 2);
    modified.clear();

    // Right button (paste through the context menu): on the memo's viewport too.
    memo->setDataset(foods.get());
    memo->setDataField("Descrizione");
    QTest::mousePress(importo, Qt::RightButton);
    QTest::mouseRelease(importo, Qt::RightButton);
    QTest::mousePress(memo->viewport(), Qt::RightButton);
    QTest::mouseRelease(memo->viewport(), Qt::RightButton);
    settle();
    EXPECT_EQ(modified, (QList<QWidget*>{importo, memo}));
    modified.clear();
    QTest::mouseClick(edit1, Qt::LeftButton);
    EXPECT_TRUE(modified.isEmpty());

    // A look-up choice and Backspace, added to the form after the conventions.
    conn().execute("insert into GruppiMuscolari (Descrizione) values ('Gambe')");
    auto groups = openDataset(conn(), "select * from GruppiMuscolari");
    conn().execute("insert into Esercizi (Descrizione) values ('Squat')");
    auto ex = openDataset(conn(), "select * from Esercizi");
    auto* lookup = add(new ui::DBLookupComboBox, "DBLookupComboBox1");
    lookup->setDataset(ex.get());
    lookup->setDataField("GruppoMuscolare_ID");
    lookup->setListSource(groups.get(), "Id", "Descrizione");
    conn().execute("insert into anagraficaclienti (Cognome) values ('Rossi')");
    auto clients = openDataset(conn(), "select * from anagraficaclienti");
    auto* cb = add(new ui::DBCheckBox(clients.get(), "Annullato", "Annullato"), "DBCheckBox1");
    settle();
    Q_EMIT lookup->activated(0);
    EXPECT_EQ(modified, QList<QWidget*>{lookup});
    focus(lookup);
    EXPECT_EQ(base(lookup), QColor(0, 255, 255)); // conventions reach late children
    QTest::keyClick(lookup, Qt::Key_Backspace);
    EXPECT_GE(modified.size(), 2);
    EXPECT_EQ(modified.last(), lookup);
    modified.clear();
    QTest::keyClick(lookup, Qt::Key_Down); // navigation, not a choice
    EXPECT_TRUE(modified.isEmpty());
    EXPECT_EQ(focused(), cb);
    QTest::mouseClick(cb, Qt::LeftButton, Qt::NoModifier, QPoint(8, cb->height() / 2));
    EXPECT_EQ(modified.size(), 1);
    EXPECT_TRUE(clients->value("Annullato").toBool());

    // Marked unbound controls count too.
    FormConventions::setWatched(edit1);
    focus(edit1);
    QTest::keyClick(edit1, Qt::Key_Z);
    EXPECT_EQ(modified.last(), edit1);
}

TEST_F(FormConventionsTest, GridsAndExcludedControlsKeepTheirKeys) {
    auto* grid = add(new ui::DBGrid, "DBGrid1");
    grid->setDataset(foods.get());
    grid->setColumns({{"Descrizione", "Descrizione", 100}});
    settle();
    focus(grid);
    foods->first();
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(focused(), grid);
    EXPECT_EQ(foods->position(), 1);
    // The cell editor of an editable grid keeps its keys too.
    grid->setReadOnly(false);
    QTest::keyClick(grid, Qt::Key_F2);
    settle();
    QWidget* editor = focused();
    ASSERT_NE(editor, grid);
    ASSERT_TRUE(grid->isAncestorOf(editor));
    EXPECT_NE(base(editor), QColor(0, 255, 255));
    QTest::keyClick(editor, Qt::Key_Down);
    settle();
    EXPECT_TRUE(focused() == grid || grid->isAncestorOf(focused()));
    EXPECT_EQ(foods->position(), 2);

    FormConventions::setExcluded(last);
    focus(last);
    EXPECT_NE(base(last), QColor(0, 255, 255));
    QTest::keyClick(last, Qt::Key_Return);
    EXPECT_EQ(focused(), last);
    EXPECT_EQ(FormConventions::install(&form), FormConventions::of(&form)); // one per form
}

} // namespace
