// The print-job writer on a real database: the row it leaves in TempStampa for every report
// number, the options it reads, the rows of other computers, and the start of the viewer.

#include "app/printing/catalogo.h"
#include "app/printing/install.h"
#include "app/printing/scrittura.h"
#include "app/shell/form1.h"
#include "app/shell/form_db.h"
#include "common/controls/dialogs.h"
#include "common/paths.h"
#include "db/error.h"
#include "support/tempdb.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

struct Riga {
    QVariantMap v;
    QVariant operator[](const char* c) const { return v.value(QString::fromLatin1(c)); }
};

class Scrittura : public ::testing::Test {
protected:
    testing_support::TempDatabase tdb;
    ui::ScriptedDialogs dialogs;
    Tform_DB dm;
    QStringList avviati;
    printing::Avvio precedente;
    long long cliente = 0, personale = 0;

    void SetUp() override {
        precedente = printing::setAvvio([this](const QString& p) {
            avviati << p;
            return true;
        });
        dm.nomeComputer = QStringLiteral("BANCO-1");
        esegui("insert into anagraficaclienti (Cognome, Nome, NominativoDocumenti, "
               "NominativoVisualizzato, Quietanza_Cognome) values ('Rossi', 'Anna', 'Rossi Anna', "
               "'Rossi Anna', 'Rossi')");
        cliente = ultimo("anagraficaclienti");
        // A staff key that is no client key, so a job given the wrong one is seen.
        esegui("insert into anagraficapersonale (Cognome, Nome) values ('Verdi', 'Ugo')");
        esegui("insert into anagraficapersonale (Cognome, Nome) values ('Bianchi', 'Luca')");
        personale = ultimo("anagraficapersonale");
        dm.Connessione.open(tdb.path());
        dm.riapriQuery();
        dm.cmdFiltriClick();
    }
    void TearDown() override { printing::setAvvio(precedente); }

    void esegui(const QString& sql) { tdb.connection().execute(sql); }
    long long ultimo(const char* tabella) {
        db::RowStore s;
        tdb.connection().load(QStringLiteral("select max(ID) as M from ") + QLatin1String(tabella),
                              s);
        return s.integer(0, 0);
    }
    QList<Riga> righe(const QString& where = QString()) {
        db::RowStore s;
        tdb.connection().load(
            QStringLiteral("select * from TempStampa") + where + QStringLiteral(" order by ID"), s);
        QList<Riga> out;
        for (int r = 0; r < s.rowCount(); ++r) {
            Riga riga;
            for (int c = 0; c < s.columnCount(); ++c)
                riga.v.insert(s.column(c).name, s.value(r, c));
            out << riga;
        }
        return out;
    }
    Riga scrivi(int numero) {
        printing::scriviStampa(dm, numero);
        const QList<Riga> r = righe(QStringLiteral(" where NomeComputer = 'BANCO-1'"));
        EXPECT_EQ(r.size(), 1);
        return r.value(0);
    }
    // The rows the job's query gives, as the viewer reads them.
    int righeDellaQuery(const QString& query) {
        db::RowStore s;
        tdb.connection().load(QStringLiteral("Select * from (") + query + u')', s);
        return s.rowCount();
    }
    void opzione(const char* colonna, const QString& valore) {
        esegui(QStringLiteral("update opzioni set %1 = %2").arg(QLatin1String(colonna), valore));
        dm.TableOpzioni.requery();
    }
};

TEST_F(Scrittura, EveryReportNumberWritesItsFilesFlagAndARunnableQuery) {
    // The year chooser of the client record, as the year-receipt reports read it.
    QWidget sceltaAnno;
    sceltaAnno.setObjectName("frmSceltaAnno");
    auto* anno = new QLineEdit("2024", &sceltaAnno);
    anno->setObjectName("txtAnno");
    const QString cartella = QDir(common::programFolder()).filePath("reports") + '/';
    const QSet<int> conFiltro{7, 8, 9, 10, 11, 12, 13, 14, 15, 18, 20};
    for (int numero = 1; numero <= 23; ++numero) {
        SCOPED_TRACE(numero);
        const Riga r = scrivi(numero);
        const auto voce = printing::voceReport(numero, false);
        ASSERT_TRUE(voce);
        EXPECT_EQ(r["NomeProgramma"].toString(), "Vastrel");
        EXPECT_EQ(r["NomeReport"].toString(), cartella + voce->file);
        EXPECT_EQ(r["NomeReportLandscape"].toString(), cartella + voce->fileLandscape);
        EXPECT_TRUE(QFileInfo::exists(r["NomeReport"].toString()));
        EXPECT_TRUE(QFileInfo::exists(r["NomeReportLandscape"].toString()));
        EXPECT_EQ(r["Filtro"].toBool(), conFiltro.contains(numero));
        EXPECT_TRUE(r["PresenzaTestata"].toBool());
        EXPECT_EQ(r["NomeComputer"].toString(), "BANCO-1");
        EXPECT_TRUE(r["Parametro"].isNull());
        EXPECT_TRUE(r["Esportazione"].isNull() || !r["Esportazione"].toBool());
        for (int n = 1; n <= 7; ++n)
            EXPECT_TRUE(r.v.value(QStringLiteral("QuerySottoreport%1").arg(n)).isNull());
        const QString query = r["Query"].toString();
        EXPECT_EQ(query, printing::queryReport(
                             numero, {QString::number(numero == 17 ? personale : cliente),
                                        "2024", false, "BANCO-1"}));
        EXPECT_NO_THROW(righeDellaQuery(query)) << query.toStdString();
    }
    EXPECT_EQ(avviati.size(), 23);
}

TEST_F(Scrittura, KeysAndYearFollowTheirPieceDirectly) {
    QWidget sceltaAnno;
    sceltaAnno.setObjectName("frmSceltaAnno");
    auto* anno = new QLineEdit("2023", &sceltaAnno);
    anno->setObjectName("txtAnno");
    const QString id = QString::number(cliente);
    EXPECT_TRUE(
        scrivi(1)["Query"].toString().contains(" WHERE anagraficaclienti.ID =" + id + " ORDER BY"));
    EXPECT_TRUE(scrivi(6)["Query"].toString().endsWith("anagraficaclienti.ID =" + id));
    EXPECT_TRUE(
        scrivi(16)["Query"].toString().endsWith(" FROM anagraficaclienti WHERE Id = " + id));
    EXPECT_TRUE(
        scrivi(17)["Query"].toString().endsWith("WHERE Id = " + QString::number(personale)));
    const QString q21 = scrivi(21)["Query"].toString();
    EXPECT_TRUE(q21.contains(
        "Pagamenti.Data>=#01/01/2023# and Pagamenti.Data<=#12/31/2023 23.59.59# ORDER BY"));
    // The year goes in as typed: a year that is not a number makes a query the database rejects.
    anno->setText("2O24");
    EXPECT_THROW(righeDellaQuery(scrivi(22)["Query"].toString()), db::DatabaseError);
}

TEST_F(Scrittura, SetupIsTheNegationOfTheDefaultPrinterOption) {
    EXPECT_TRUE(scrivi(7)["Setup"].toBool()); // the shipped option is off
    opzione("StampanteDefault", "true");
    EXPECT_FALSE(scrivi(7)["Setup"].toBool());
    opzione("StampanteDefault", "false");
    EXPECT_TRUE(scrivi(7)["Setup"].toBool());
    // No options row reads as "not chosen".
    esegui("delete from opzioni");
    dm.TableOpzioni.requery();
    EXPECT_TRUE(scrivi(7)["Setup"].toBool());
}

TEST_F(Scrittura, ExercisePictureOptionPicksTheLayoutsAndQueryWithoutPictures) {
    opzione("StampaSchedeNoImmagine", "true");
    Riga r = scrivi(1);
    EXPECT_TRUE(r["NomeReport"].toString().endsWith("/SchedaClienteNoImmagine.rpt"));
    EXPECT_TRUE(r["NomeReportLandscape"].toString().endsWith("/SchedaClienteNoImmagineLan.rpt"));
    r = scrivi(10);
    EXPECT_TRUE(r["NomeReport"].toString().endsWith("/EserciziNoImmagine.rpt"));
    EXPECT_TRUE(r["NomeReportLandscape"].toString().endsWith("/EserciziNoImmagineLan.rpt"));
    EXPECT_EQ(r["Query"].toString(), "SELECT Esercizi.Descrizione, Esercizi.ModalitaUso FROM "
                                     "Esercizi ORDER BY Esercizi.Descrizione");
    EXPECT_TRUE(r["Filtro"].toBool());
}

TEST_F(Scrittura, NumberOutsideTheCatalogueWritesNoReportButStillStartsTheViewer) {
    for (int numero : {0, 24, -3}) {
        SCOPED_TRACE(numero);
        const Riga r = scrivi(numero);
        EXPECT_TRUE(r["NomeReport"].isNull());
        EXPECT_TRUE(r["Query"].isNull());
        EXPECT_FALSE(r["Filtro"].toBool());
        EXPECT_EQ(r["NomeReportLandscape"].toString(), "");
        EXPECT_TRUE(r["PresenzaTestata"].toBool());
        EXPECT_EQ(r["NomeComputer"].toString(), "BANCO-1");
        EXPECT_EQ(r["NomeProgramma"].toString(), "Vastrel");
    }
    EXPECT_EQ(avviati.size(), 3);
    EXPECT_EQ(avviati.value(0), QDir(common::programFolder()).filePath("stampa"));
}

TEST_F(Scrittura, ReplacesOnlyThisComputersJobs) {
    esegui("insert into TempStampa (NomeComputer, NomeReport) values ('BANCO-1', 'vecchio.rpt')");
    esegui(
        "insert into TempStampa (NomeComputer, NomeReport) values ('BANCO-1', 'vecchissimo.rpt')");
    esegui("insert into TempStampa (NomeComputer, NomeReport) values ('BANCO-2', 'altro.rpt')");
    scrivi(12);
    scrivi(11);
    const QList<Riga> tutte = righe();
    ASSERT_EQ(tutte.size(), 2);
    EXPECT_EQ(tutte[0]["NomeComputer"].toString(), "BANCO-2");
    EXPECT_EQ(tutte[0]["NomeReport"].toString(), "altro.rpt");
    EXPECT_TRUE(tutte[1]["NomeReport"].toString().endsWith("/Alimenti.rpt"));
}

TEST_F(Scrittura, NoticesJoinOnlyThisComputersClientsEvenWithAQuoteInItsName) {
    esegui("insert into anagraficaclienti (Cognome, NominativoDocumenti) values ('Verdi', 'Verdi "
           "Carlo')");
    const long long altro = ultimo("anagraficaclienti");
    dm.nomeComputer = "D'ANGELO-PC";
    esegui(
        "insert into TempAvvisi (NomeComputer, Testo) values ('D''ANGELO-PC', 'Chiusura estiva')");
    esegui("insert into TempAvvisi (NomeComputer, Testo) values ('BANCO-2', 'Altro avviso')");
    esegui(
        QStringLiteral(
            "insert into TempAvvisiClienti (NomeComputer, Cliente_ID) values ('D''ANGELO-PC', %1)")
            .arg(cliente));
    esegui(QStringLiteral(
               "insert into TempAvvisiClienti (NomeComputer, Cliente_ID) values ('BANCO-2', %1)")
               .arg(altro));
    printing::scriviStampa(dm, 23);
    const QList<Riga> r = righe(" where NomeComputer = 'D''ANGELO-PC'");
    ASSERT_EQ(r.size(), 1);
    db::RowStore s;
    tdb.connection().load("Select * from (" + r[0]["Query"].toString() + ")", s);
    ASSERT_EQ(s.rowCount(), 1);
    EXPECT_EQ(s.value(0, s.findColumn(u"NominativoDocumenti")).toString(), "Rossi Anna");
    EXPECT_EQ(s.value(0, s.findColumn(u"Testo")).toString(), "Chiusura estiva");
}

TEST_F(Scrittura, AViewerThatCannotStartIsReported) {
    printing::setAvvio([](const QString&) { return false; });
    scrivi(12);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].startsWith("Impossibile avviare il programma:"));
    EXPECT_TRUE(dialogs.messages()[0].endsWith("stampa"));
}

// The "Stampe  " tab of the main window.
class PulsantiStampe : public Scrittura {
protected:
    QTemporaryDir home;
    std::unique_ptr<TForm1> form;
    void SetUp() override {
        Scrittura::SetUp();
        form = std::make_unique<TForm1>(dm, home.path());
        installPrinting(*form, dm);
    }
    void clic(const char* nome) {
        QToolButton* b = form->button(nome);
        ASSERT_NE(b, nullptr) << nome;
        ASSERT_TRUE(b->isEnabled()) << nome;
        b->click();
    }
};

TEST_F(PulsantiStampe, ButtonsHandTheirReportOverOnlyWhenTheirQueryHasRows) {
    struct Caso {
        const char* pulsante;
        int report;
        const char* file;
    };
    // Only clients and staff exist: their buttons print, the others do nothing.
    const Caso casi[] = {
        {"btnStampeClienti", 7, "/Clienti.rpt"},
        {"btnStampePersonale", 8, "/Personale.rpt"},
        {"btnStampaOrari", 9, nullptr},
        {"btnStampeEsercizi", 10, nullptr},
        {"btnStampeAlimenti", 11, nullptr},
        {"btnStampePatologie", 12, nullptr},
        {"btnStampePagamenti", 13, nullptr},
        {"btnStampeScadenziario", 14, nullptr},
        {"btnStampeOrariClienti", 15, nullptr},
        {"btnStampeOccasionali", 19, nullptr},
        {"BitBtn1", 20, nullptr},
        {"btnStampeConteggioClienti", 18, "/ConteggioCliente.rpt"},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.pulsante);
        esegui("delete from TempStampa");
        const int prima = int(avviati.size());
        dm.tipoReport = 0;
        clic(c.pulsante);
        const QList<Riga> r = righe();
        if (!c.file) {
            EXPECT_TRUE(r.isEmpty());
            EXPECT_EQ(avviati.size(), prima);
            EXPECT_EQ(dm.tipoReport, 0);
            continue;
        }
        ASSERT_EQ(r.size(), 1);
        EXPECT_TRUE(r[0]["NomeReport"].toString().endsWith(c.file));
        EXPECT_EQ(dm.tipoReport, c.report);
        EXPECT_EQ(avviati.size(), prima + 1);
    }
}

TEST_F(PulsantiStampe, ClientCountIsPrintedEvenWithoutClients) {
    esegui("delete from anagraficaclienti");
    dm.Table1.requery();
    clic("btnStampeClienti");
    EXPECT_TRUE(righe().isEmpty());
    clic("btnStampeConteggioClienti");
    ASSERT_EQ(righe().size(), 1);
    EXPECT_EQ(righeDellaQuery(righe()[0]["Query"].toString()), 0);
}

TEST_F(PulsantiStampe, PaymentButtonFollowsThePaymentsQuery) {
    esegui(QStringLiteral(
               "insert into Pagamenti (Cliente_ID, Data, Importo) values (%1, #3/15/2024#, 45)")
               .arg(cliente));
    dm.TablePagamenti.requery();
    clic("btnStampePagamenti");
    ASSERT_EQ(righe().size(), 1);
    EXPECT_EQ(righeDellaQuery(righe()[0]["Query"].toString()), 1);
}

} // namespace
