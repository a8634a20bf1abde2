// The payments register on a real window.

#include "payments_support.h"

#include "app/archives/install.h"
#include "app/shell/form1.h"

#include <QComboBox>
#include <QTemporaryDir>

using namespace payments_test;

namespace {

class Register : public Payments {
protected:
    ListPanel* list() { return p.frmPagamenti->panel(); }
    QString total() {
        QApplication::processEvents();
        return p.frmPagamenti->lblTotale()->text();
    }
};

TEST_F(Register, EachFilterNarrowsTheListAtOnceTheTotalFollowsAndTheDateBoxesTakeKeys) {
    struct Case {
        const char* da;
        const char* a;
        const char* cliente;
        const char* metodo;
        QStringList dates; // the rows, newest first
        const char* total;
    };
    const Case cases[] = {
        {"", "", "", "", {"15/03/2024", "02/03/2024", "01/03/2024", "10/02/2024", "20/01/2024"}, "175,63"},
        {"", "", "ros", "", {"15/03/2024", "02/03/2024", "10/02/2024"}, "120,5"},
        {"", "", "ROSSI", "", {"02/03/2024", "10/02/2024"}, "90"},
        {"", "", "*", "", {"15/03/2024", "02/03/2024", "01/03/2024", "10/02/2024", "20/01/2024"}, "175,63"},
        {"", "", "Verdi", "", {}, "0"},
        {"", "", "d'a", "", {"01/03/2024"}, "10,13"}, // 10.125 rounded half away from zero
        {"", "", "r*ti", "", {"15/03/2024"}, "30,5"}, {"", "", "", "Bancomat", {"02/03/2024", "20/01/2024"}, "90"},
        {"", "", "", "Assegno", {"15/03/2024", "02/03/2024", "01/03/2024", "10/02/2024", "20/01/2024"}, "175,63"},
        // Day first: 2 March, not 3 February.
        {"02/03/2024", "", "", "", {"15/03/2024", "02/03/2024"}, "75,5"},
        {"", "01/03/2024", "", "", {"01/03/2024", "10/02/2024", "20/01/2024"}, "100,13"},
        {"01/02/2024", "29/02/2024", "", "", {"10/02/2024"}, "45"},
        {"01/02/20", "", "", "", {"15/03/2024", "02/03/2024", "01/03/2024", "10/02/2024", "20/01/2024"}, "175,63"},
        {"01/03/2024", "", "ros", "Contanti", {"15/03/2024"}, "30,5"},
    };
    p.frmPagamenti->show();
    for (const Case& k : cases) {
        SCOPED_TRACE(std::string(k.da) + "|" + k.a + "|" + k.cliente + "|" + k.metodo);
        list()->svuotaRicerca();
        child<QLineEdit>(p.frmPagamenti, "maskDaScadenza")->setText(k.da);
        child<QLineEdit>(p.frmPagamenti, "maskAScadenza")->setText(k.a);
        child<QLineEdit>(p.frmPagamenti, "Edit1")->setText(k.cliente);
        child<QComboBox>(p.frmPagamenti, "cboModPagamento")->setCurrentText(k.metodo);
        EXPECT_EQ(displayed(dm.TablePagamenti, "Data"), k.dates) << dm.TablePagamenti.filter().toStdString();
        EXPECT_EQ(total(), k.total);
    }
    // "Totali" counts again what another workstation added.
    other(QString("insert into Pagamenti (Cliente_ID, Data, Importo) values (%1, #3/20/2024#, 4.5)").arg(rossi));
    list()->svuotaRicerca();
    click(p.frmPagamenti, "spdAggiorna");
    EXPECT_EQ(total(), "180,13");
    EXPECT_EQ(condizioneCliente(dm.Connessione, ""), "");

    // The date boxes' keys: typing filters, Enter moves on, Escape empties and goes to the surname.
    auto* da = child<ui::DateMaskEdit>(p.frmPagamenti, "maskDaScadenza");
    da->setFocus();
    da->setCursorPosition(0);
    QTest::keyClicks(da, "02032024");
    EXPECT_EQ(dm.TablePagamenti.filter(), "Data >= #2024-03-02#");
    QTest::keyClick(da, Qt::Key_Return);
    EXPECT_EQ(p.frmPagamenti->focusWidget(), child<QWidget>(p.frmPagamenti, "maskAScadenza"));
    QTest::keyClick(p.frmPagamenti->focusWidget(), Qt::Key_Up);
    EXPECT_EQ(p.frmPagamenti->focusWidget(), da);
    QTest::keyClick(da, Qt::Key_Escape);
    EXPECT_TRUE(da->isBlank());
    EXPECT_EQ(dm.TablePagamenti.filter(), "");
    EXPECT_EQ(p.frmPagamenti->focusWidget(), child<QWidget>(p.frmPagamenti, "Edit1"));
    EXPECT_TRUE(p.frmPagamenti->isVisible());
    EXPECT_EQ(dm.TablePagamenti.recordCount(), 6); // the five and the one added elsewhere
}

TEST_F(Register, TheMainWindowButtonShowsEveryPaymentAndLeavesTheQueryUnfiltered) {
    QTemporaryDir home;
    TForm1 form(dm, home.path());
    installArchives(form, dm);
    installPayments(form, dm);
    TfrmPagamenti* installed = pagamenti().frmPagamenti;
    installed->show();
    child<QLineEdit>(installed, "Edit1")->setText("Bianchi");
    child<QComboBox>(installed, "cboModPagamento")->setCurrentText("Contanti");
    installed->hide();
    dm.TablePagamenti.setFilter(QString("Cliente_ID = %1").arg(rossi));
    QString seen; // the rows shown, and the two boxes, emptied
    when("frmPagamenti", [&](QDialog* d) {
        seen = QString::number(dm.TablePagamenti.recordCount()) + child<QLineEdit>(d, "Edit1")->text() +
               child<QComboBox>(d, "cboModPagamento")->currentText();
        child<QLineEdit>(d, "Edit1")->setText("Rossi");
        click(d, "spdIndietro");
    });
    form.button("btnAttivitaPagamenti")->click();
    EXPECT_EQ(execs("frmPagamenti"), 1);
    EXPECT_EQ(seen, "5");
    EXPECT_EQ(dm.TablePagamenti.filter(), "");
    EXPECT_EQ(dm.TablePagamenti.recordCount(), 5);
}

TEST_F(Register, DeletingAsksInTheRegisterAndInTheClientTabEachInItsOwnWords) {
    recordOn(rossi);
    struct Case {
        ListPanel* list;
        const char* button;
        QString question;
    };
    const Case cases[] = {
        {list(), "spdElimina", "Sei sicuro di voler eliminare il Pagamento?"},
        {tab(), "SpeedButton5", "Sei Sicuro di voler eliminare il Pagamento?"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.button);
        const long long before = payments();
        dialogs.shown.clear();
        dialogs.answers = {false, true};
        click(k.list, k.button);
        EXPECT_EQ(payments(), before);
        click(k.list, k.button);
        EXPECT_EQ(payments(), before - 1);
        ASSERT_EQ(dialogs.shown.size(), 2);
        EXPECT_EQ(dialogs.shown[0].text, k.question);
    }
    // The client's list empty: nothing is asked.
    dialogs.shown.clear();
    click(tab(), "SpeedButton5");
    EXPECT_EQ(payments(QString("Cliente_ID = %1").arg(rossi)), 0);
    EXPECT_EQ(questions(), 0);
}

} // namespace
