// The front desk's whole path from a payment to its receipt, read back from the PDF.

#include "payments_support.h"

#include "common/paths.h"
#include "support/env.h"
#include "support/files.h"
#include "support/pdf.h"
#include "viewer/form1.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QTabWidget>
#include <QTemporaryDir>

using namespace payments_test;

namespace {

TEST_F(Payments, APaymentGoesFromTheClientListToTheYearReceiptPdf) {
    other("update Ditta set RagSoc = 'Palestra Olimpia', Comune = 'Padova'");
    other("insert into anagraficaclienti (Cognome, Nome, NominativoDocumenti, NominativoVisualizzato, Sesso, "
          "Citta, Via, Numero_civico, Codfiscale, Stagione_ID, GruppoSportivo_ID, DataScadenzaAbbonamento) "
          "values ('Ferri', 'Giulia', 'Ferri Giulia', 'Ferri Giulia', 'F', 'Padova', 'Via Dante', '7', "
          "'FRRGLI90A41G224X', 1, 1, #12/31/2099#)");
    dm.Table1.requery();
    const QString year = QString::number(QDate::currentDate().year());
    child<QLineEdit>(a.frmClienti, "Edit1")->setText("Ferri");
    ASSERT_EQ(dm.Table1.recordCount(), 1);
    int payments = -1;
    when("frmClientiDett", [&](QDialog* d) {
        auto* r = static_cast<TfrmClientiDett*>(d);
        r->pagine()->setCurrentIndex(4);
        ASSERT_EQ(r->pagine()->currentIndex(), 4) << dialogs.messages().join(", ").toStdString();
        auto* tab = r->findChild<TabPagamenti*>();
        when("frmPagamentiDettaglio", [&](QDialog* pd) {
            choose(pd, "DBLookupComboBox3", "Mensile");
            choose(pd, "DBLookupComboBox1", "Contanti");
            click(pd, "spdSalva");
            click(pd, "spdIndietro");
        });
        click(tab, "SpeedButton6");
        payments = tab->query().recordCount();
        click(tab, "SpeedButton10");
        EXPECT_EQ(p.frmSceltaAnno->txtAnno->text(), year);
        click(p.frmSceltaAnno, "spdAvanti");
        click(p.frmSceltaAnno, "spdIndietro");
        click(d, "spdIndietro");
    });
    click(a.frmClienti, "spdAvanti");
    EXPECT_EQ(execs("frmClientiDett"), 1);
    EXPECT_EQ(payments, 1);
    EXPECT_DOUBLE_EQ(scalar("select Importo from Pagamenti where Operazione = 'Mensile' and ModPagamento_Id = 1 and "
                            "Data >= #1/1/" + year + "#").toDouble(), 45);

    // The job as the main program left it, for the client's own receipt.
    const QString report = scalar("select NomeReport from TempStampa").toString();
    ASSERT_EQ(QFileInfo(report).fileName(), "QuietanzaCliente.rpt");
    // The viewer's export mode on that job: same query and layout, the file instead of the screen.
    QTemporaryDir home;
    const QString pdf = QDir(home.path()).filePath("ricevuta.pdf");
    const QString layouts = QDir(qEnvironmentVariable("VASTREL_SOURCE_DIR")).filePath("reports/");
    db::Connection& c = tdb.connection();
    c.execute("update TempStampa set Esportazione = true, FileEsportazione = ?, TipoEsportazione = 3, Setup = false, "
              "NomeReport = ?, NomeReportLandscape = ?",
              {pdf, QString(layouts + "QuietanzaCliente.rpt"), QString(layouts + "QuietanzaClienteLan.rpt")});
    ASSERT_TRUE(testing_support::writeFile(QDir(home.path()).filePath("percorso.txt"), tdb.path().toUtf8() + "\n"));
    testing_support::ScopedEnv env;
    env.set("VASTREL_HOME", home.path().toUtf8());
    env.set("VASTREL_COMPUTERNAME", dm.nomeComputer.toUtf8());
    stampa::TForm1 viewer;
    ASSERT_EQ(viewer.FormLoad(), stampa::TForm1::Esito::Esportato) << dialogs.messages().join(", ").toStdString();
    const QString text = testing_support::pdfText(pdf);
    for (const QString& expected : QStringList{"Ferri Giulia", "45,00", "anno " + year, "Mensile", "Palestra Olimpia"})
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << "\n" << text.toStdString();
    // Only this client's payments of that year.
    EXPECT_FALSE(text.contains("Rossi"));
}

} // namespace
