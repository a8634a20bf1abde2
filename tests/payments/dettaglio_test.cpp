// The payment record and the year chooser, from the register and from the client's tab.

#include "payments_support.h"

#include <QDate>

using namespace payments_test;

namespace {

class Record : public Payments {
protected:
    // Opens the record from the register on the payment of `client` dated `date`.
    void inRecord(long long client, const QString& date, std::function<void(QDialog*)> inside) {
        dm.TablePagamenti.setFilter(QString("Cliente_ID = %1").arg(client));
        ASSERT_TRUE(dm.TablePagamenti.locate("Data", QDate::fromString(date, "dd/MM/yyyy")));
        when("frmPagamentiDettaglio", std::move(inside));
        click(p.frmPagamenti, "spdAvanti");
    }
    QVariant stored(const char* column, long long client, const char* date) {
        return scalar(QString("select %1 from Pagamenti where Cliente_ID = %2 and Data = #%3#").arg(column).arg(client).arg(date));
    }
};

TEST_F(Record, ChoosingAnOperationTakesItsDefaultAmountOrLeavesTheTypedOne) {
    const struct {
        const char* operation;
        const char* typed;
        double saved;
    } cases[] = {{"Mensile", "12,5", 45}, {"Iscrizione", "12,5", 12.5}, {"Iscrizione", "", 45}};
    for (const auto& k : cases) {
        SCOPED_TRACE(std::string(k.operation) + " after " + k.typed);
        other(QString("update Pagamenti set Importo = 45, Operazione = 'Mensile' where Cliente_ID = %1").arg(bianchi));
        dm.TablePagamenti.requery();
        bool modified = false;
        inRecord(bianchi, "20/01/2024", [&](QDialog* d) {
            if (*k.typed) {
                type(d, "DBEdit3", k.typed);
                static_cast<ui::DBEdit*>(child<QWidget>(d, "DBEdit3"))->commit();
            }
            static_cast<TfrmPagamentiDettaglio*>(d)->Modificato = false;
            choose(d, "DBLookupComboBox3", k.operation);
            modified = static_cast<TfrmPagamentiDettaglio*>(d)->Modificato;
            click(d, "spdIndietro");
        });
        EXPECT_TRUE(modified);
        EXPECT_EQ(stored("Operazione", bianchi, "1/20/2024").toString(), k.operation);
        EXPECT_DOUBLE_EQ(stored("Importo", bianchi, "1/20/2024").toDouble(), k.saved);
    }
}

TEST_F(Record, TheTwoChecksKeepTheRecordOpenWithTheFocusOnTheEmptyCombo) {
    struct Case {
        const char* column;
        QVariant value;
        const char* message;
        const char* focus;
    };
    const Case cases[] = {
        {"Operazione", QVariant(), "Attenzione manca l' Operazione", "DBLookupComboBox3"},
        {"Operazione", "Tessera smarrita", "Attenzione manca l' Operazione", "DBLookupComboBox3"}, // not in the list
        {"Cliente_ID", QVariant(), "Attenzione manca il Cliente", "DBLookupComboBox2"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.message);
        dialogs.shown.clear();
        bool checked = false;
        inRecord(rossi, "10/02/2024", [&](QDialog* d) {
            auto* r = static_cast<TfrmPagamentiDettaglio*>(d);
            dm.TablePagamenti.setValue(k.column, k.value);
            r->Modificato = true;
            click(d, "spdSalva");
            click(d, "spdIndietro");
            checked = d->isVisible() && r->Errore && d->focusWidget() == r->control(k.focus);
            EXPECT_EQ(dialogs.messages(), QStringList({k.message, k.message})); // "Salva", then "Indietro"
            dm.TablePagamenti.cancel();
            r->Modificato = false;
            click(d, "spdIndietro");
        });
        EXPECT_TRUE(checked) << "still open, failed, the focus on " << k.focus;
    }
    EXPECT_EQ(stored("Operazione", rossi, "2/10/2024").toString(), "Mensile");
}

TEST_F(Record, TheButtonsBesideTheLookUpsShowTheChosenRowOrAddANewOne) {
    struct Case {
        const char* button;
        const char* window;
        db::Dataset* list;
        QVariant current; // the row shown: its description; empty for a new row
    };
    const Case cases[] = {
        {"SpeedButton1", "frmOperazionePagamenti", &dm.TableOperazionePagamenti, "Mensile"},
        {"SpeedButton12", "frmOperazionePagamenti", &dm.TableOperazionePagamenti, QVariant()},
        {"SpeedButton3", "frmModPagamDett", &dm.TableModPaga, "Bancomat"},
        {"SpeedButton2", "frmModPagamDett", &dm.TableModPaga, QVariant()},
    };
    const long long operations = scalar("select count(*) from OperazionePagamenti").toLongLong();
    const long long methods = scalar("select count(*) from ModPagamento").toLongLong();
    inRecord(rossi, "02/03/2024", [&](QDialog* d) {
        for (const Case& k : cases) {
            SCOPED_TRACE(k.button);
            QVariant shown = "none";
            when(k.window, [&](QDialog* w) {
                shown = k.list->value("Descrizione");
                dialogs.answers = {true};
                click(w, k.current.isValid() ? "spdIndietro" : "spdAnnulla"); // a new row is taken back
            });
            click(d, k.button);
            EXPECT_EQ(shown.toString().trimmed(), k.current.toString());
        }
        click(d, "spdIndietro");
    });
    EXPECT_EQ(execs("frmOperazionePagamenti") + execs("frmModPagamDett"), 4);
    EXPECT_EQ(scalar("select count(*) from OperazionePagamenti").toLongLong(), operations);
    EXPECT_EQ(scalar("select count(*) from ModPagamento").toLongLong(), methods);
}

TEST_F(Record, ANewPaymentIsStoredForTheCurrentClientAndAnnullaTakesItBack) {
    other("insert into Personalizzazioni (NomeTabella, NomeCampo, Tipo, Valore) values ('Pagamenti', 'Note', 't', 'in sede')");
    dm.TablePersonalizzazioni.requery();
    dm.Table1.locate("ID", bianchi);
    p.frmPagamenti->show();
    child<QLineEdit>(p.frmPagamenti, "Edit1")->setText("Rossi");
    dialogs.answers = {false, true};
    QVariantList added; // the new row while shown: its note, its date; "Annulla" and the window after "No"
    when("frmPagamentiDettaglio", [&](QDialog* d) {
        auto* r = static_cast<TfrmPagamentiDettaglio*>(d);
        const QString where = QString(" from Pagamenti where Cliente_ID = %1 and Operazione is null").arg(bianchi);
        added = {scalar("select Note" + where), scalar("select Data" + where).toDate(),
                 !r->spdAnnulla->isHidden() && r->Modificato};
        click(d, "spdAnnulla");
        added << d->isVisible();
        click(d, "spdAnnulla");
    });
    click(p.frmPagamenti, "spdInserisci");
    EXPECT_EQ(added, (QVariantList{"in sede", QDate::currentDate(), true, true}));
    EXPECT_EQ(payments(), 5);
    EXPECT_TRUE(p.frmPagamentiDettaglio->spdAnnulla->isHidden());
    EXPECT_EQ(questions(), 2);
    QApplication::processEvents();
    EXPECT_EQ(p.frmPagamenti->lblTotale()->text(), "175,63"); // the list was unfiltered for the new row
}

// A payment typed with the keyboard from the client's tab: each Enter moves on, letters pick
// look-up entries, "." becomes the decimal comma; the tab shows the payment at once.
TEST_F(Record, RealKeysFromTheClientTabAndTheTabShowsTheNewPaymentAtOnce) {
    recordOn(rossetti);
    ASSERT_EQ(tab()->query().recordCount(), 1);
    QString amountShown;
    when("frmPagamentiDettaglio", [&](QDialog* d) {
        auto* r = static_cast<TfrmPagamentiDettaglio*>(d);
        QWidget* operation = r->control("DBLookupComboBox3");
        operation->setFocus();
        QTest::keyClicks(operation, "m");
        EXPECT_EQ(dm.TablePagamenti.value("Importo").toDouble(), 45);
        QTest::keyClick(operation, Qt::Key_Return);
        auto* date = static_cast<QLineEdit*>(r->focusWidget());
        EXPECT_EQ(date, r->control("DBEdit2"));
        EXPECT_EQ(date->text(), QDate::currentDate().toString("dd/MM/yyyy"));
        QTest::keyClick(date, Qt::Key_Home);
        QTest::keyClicks(date, "05032024");
        QTest::keyClick(date, Qt::Key_Return);
        EXPECT_EQ(r->focusWidget(), r->control("DBLookupComboBox1"));
        QTest::keyClicks(r->focusWidget(), "b");
        QTest::keyClick(r->focusWidget(), Qt::Key_Down);
        auto* amount = static_cast<QLineEdit*>(r->focusWidget());
        EXPECT_EQ(amount, r->control("DBEdit3"));
        amount->selectAll();
        QTest::keyClicks(amount, "50.5");
        amountShown = amount->text();
        QTest::keyClick(amount, Qt::Key_Return);
        EXPECT_EQ(r->focusWidget(), r->control("DBLookupComboBox2"));
        EXPECT_EQ(r->testo("DBLookupComboBox2"), "Rossetti Luca");
        QTest::keyClick(r->focusWidget(), Qt::Key_Return);
        QTest::keyClicks(r->focusWidget(), "bonifico");
        click(d, "spdIndietro");
        EXPECT_FALSE(d->isVisible());
    });
    click(tab(), "SpeedButton6");
    EXPECT_EQ(amountShown, "50,5");
    EXPECT_EQ(stored("Operazione", rossetti, "3/5/2024").toString(), "Mensile");
    EXPECT_DOUBLE_EQ(stored("Importo", rossetti, "3/5/2024").toDouble(), 50.5);
    EXPECT_EQ(stored("ModPagamento_Id", rossetti, "3/5/2024").toInt(), 2);
    EXPECT_EQ(stored("Note", rossetti, "3/5/2024").toString(), "bonifico");
    EXPECT_EQ(dm.TablePagamenti.filter(), QString("Cliente_ID = %1").arg(rossetti));
    EXPECT_EQ(displayed(tab()->query(), "Data"), QStringList({"15/03/2024", "05/03/2024"}));
    EXPECT_EQ(tab()->query().value("Data").toDate(), QDate(2024, 3, 5)); // on the new payment

    // "Modifica" and a double click open the record on the current payment.
    when("frmPagamentiDettaglio", [&](QDialog* d) { click(d, "spdIndietro"); });
    click(tab(), "spdAvanti");
    Q_EMIT tab()->grid()->dblClicked();
    EXPECT_EQ(execs("frmPagamentiDettaglio"), 3);
}

TEST_F(Record, TheYearChooserTakesDigitsAndHandsTheReceiptOfTheRightKind) {
    recordOn(rossi);
    click(tab(), "SpeedButton10");
    TfrmSceltaAnno* chooser = p.frmSceltaAnno;
    ASSERT_TRUE(chooser->isVisible());
    EXPECT_EQ(chooser->parentWidget(), record); // above the modal record
    QLineEdit* year = chooser->txtAnno;
    EXPECT_EQ(year->text(), QString::number(QDate::currentDate().year()));
    year->setFocus();
    year->selectAll();
    QTest::keyClicks(year, "20x245");
    EXPECT_EQ(year->text(), "2024");
    // Without a paying parent the client's own receipt, with one the minor's.
    for (const auto& [payer, file] : {std::pair{"", "QuietanzaCliente.rpt"}, std::pair{"Verdi", "QuietanzaMinore.rpt"}}) {
        SCOPED_TRACE(file);
        other(QString("update anagraficaclienti set Quietanza_Cognome = '%1' where ID = %2").arg(payer).arg(rossi));
        dm.Table1.requery();
        dm.Table1.locate("ID", rossi);
        click(chooser, "spdAvanti");
        EXPECT_TRUE(scalar("select NomeReport from TempStampa").toString().endsWith(QString("/") + file));
        EXPECT_TRUE(scalar("select Query from TempStampa").toString().contains("Pagamenti.Data<=#12/31/2024 23.59.59#"));
    }
    other("delete from TempStampa");
    for (int i = 0; i < 4; ++i) QTest::keyClick(year, Qt::Key_Backspace);
    click(chooser, "spdAvanti");
    EXPECT_EQ(scalar("select count(*) from TempStampa").toInt(), 0);
    click(chooser, "spdIndietro");
    EXPECT_FALSE(chooser->isVisible());

    // The client's payments list.
    click(tab(), "SpeedButton30");
    EXPECT_TRUE(scalar("select NomeReport from TempStampa").toString().endsWith("/PagamentiCliente.rpt"));
}

} // namespace
