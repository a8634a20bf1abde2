// The print-job writer on a real database, and the main window's print buttons.

#include "printing_support.h"

#include "app/printing/catalogo.h"
#include "app/printing/install.h"
#include "app/shell/form1.h"
#include "common/paths.h"
#include "db/error.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QToolButton>

namespace {

struct Riga {
    QVariantMap v;
    QVariant operator[](const char* c) const { return v.value(QString::fromLatin1(c)); }
};

class Scrittura : public Stampe {
protected:
    long long cliente = 0, personale = 0;

    void SetUp() override {
        esegui("insert into anagraficaclienti (Cognome, Nome, NominativoDocumenti, "
               "NominativoVisualizzato, Quietanza_Cognome) values ('Rossi', 'Anna', 'Rossi Anna', "
               "'Rossi Anna', 'Rossi')");
        cliente = ultimo("anagraficaclienti");
        // A staff key that is no client key, so a job given the wrong one is seen.
        esegui("insert into anagraficapersonale (Cognome, Nome) values ('Verdi', 'Ugo')");
        esegui("insert into anagraficapersonale (Cognome, Nome) values ('Bianchi', 'Luca')");
        personale = ultimo("anagraficapersonale");
        apri("BANCO-1");
    }
    long long ultimo(const char* tabella) {
        return testing_support::scalar(tdb.connection(), QStringLiteral("select max(ID) from ") + tabella).toLongLong();
    }
    QList<Riga> righe(const QString& where = QString()) {
        QStringList nomi;
        QList<Riga> out;
        for (const QVariantList& valori : testing_support::rows(
                 tdb.connection(), QStringLiteral("select * from TempStampa") + where + QStringLiteral(" order by ID"), &nomi)) {
            Riga riga;
            for (int c = 0; c < nomi.size(); ++c) riga.v.insert(nomi[c], valori[c]);
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
        return testing_support::count(tdb.connection(), QStringLiteral("Select * from (") + query + u')');
    }
    void opzione(const char* colonna, const QString& valore) {
        esegui(QStringLiteral("update opzioni set %1 = %2").arg(QLatin1String(colonna), valore));
        dm.TableOpzioni.requery();
    }
};

TEST_F(Scrittura, EveryReportNumberWritesItsFilesFlagAndARunnableQuery) {
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
    anno->setText("2023");
    const QString id = QString::number(cliente);
    EXPECT_TRUE(scrivi(1)["Query"].toString().contains(" WHERE anagraficaclienti.ID =" + id + " ORDER BY"));
    EXPECT_TRUE(scrivi(16)["Query"].toString().endsWith(" FROM anagraficaclienti WHERE Id = " + id));
    EXPECT_TRUE(scrivi(21)["Query"].toString().contains(
        "Pagamenti.Data>=#01/01/2023# and Pagamenti.Data<=#12/31/2023 23.59.59# ORDER BY"));
    // The year goes in as typed: a year that is not a number makes a query the database rejects.
    anno->setText("2O24");
    EXPECT_THROW(righeDellaQuery(scrivi(22)["Query"].toString()), db::DatabaseError);
}

TEST_F(Scrittura, SetupIsTheNegationOfTheDefaultPrinterOptionAndPicturesFollowTheirs) {
    EXPECT_TRUE(scrivi(7)["Setup"].toBool()); // the shipped option is off
    opzione("StampanteDefault", "true");
    EXPECT_FALSE(scrivi(7)["Setup"].toBool());
    opzione("StampanteDefault", "false");
    EXPECT_TRUE(scrivi(7)["Setup"].toBool());

    // The exercise picture option picks the layouts and query without pictures.
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
    // No options row reads as "not chosen".
    esegui("delete from opzioni");
    dm.TableOpzioni.requery();
    EXPECT_TRUE(scrivi(7)["Setup"].toBool());
}

TEST_F(Scrittura, NumberOutsideTheCatalogueWritesNoReportButStillStartsTheViewer) {
    for (int numero : {0, 24, -3}) {
        SCOPED_TRACE(numero);
        const Riga r = scrivi(numero);
        EXPECT_TRUE(r["NomeReport"].isNull());
        EXPECT_TRUE(r["Query"].isNull());
        EXPECT_FALSE(r["Filtro"].toBool());
        EXPECT_EQ(r["NomeReportLandscape"].toString(), "");
    }
    EXPECT_EQ(avviati.size(), 3);
    EXPECT_EQ(avviati.value(0), QDir(common::programFolder()).filePath("stampa"));
}

TEST_F(Scrittura, ReplacesOnlyThisComputersJobsAndSaysWhenTheViewerCannotStart) {
    for (const char* job : {"'BANCO-1', 'vecchio.rpt'", "'BANCO-1', 'vecchissimo.rpt'", "'BANCO-2', 'altro.rpt'"})
        esegui(QStringLiteral("insert into TempStampa (NomeComputer, NomeReport) values (%1)").arg(job));
    scrivi(12);
    scrivi(11);
    const QList<Riga> tutte = righe();
    ASSERT_EQ(tutte.size(), 2);
    EXPECT_EQ(tutte[0]["NomeComputer"].toString(), "BANCO-2");
    EXPECT_EQ(tutte[0]["NomeReport"].toString(), "altro.rpt");
    EXPECT_TRUE(tutte[1]["NomeReport"].toString().endsWith("/Alimenti.rpt"));

    // A viewer that cannot start is reported.
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
        {"btnStampeClienti", 7, "/Clienti.rpt"}, {"btnStampePersonale", 8, "/Personale.rpt"},
        {"btnStampaOrari", 9, nullptr}, {"btnStampeEsercizi", 10, nullptr}, {"btnStampeAlimenti", 11, nullptr},
        {"btnStampePatologie", 12, nullptr}, {"btnStampePagamenti", 13, nullptr},
        {"btnStampeScadenziario", 14, nullptr}, {"btnStampeOrariClienti", 15, nullptr},
        {"btnStampeOccasionali", 19, nullptr}, {"BitBtn1", 20, nullptr},
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
    // A payment: its button prints the one row.
    esegui(QStringLiteral("insert into Pagamenti (Cliente_ID, Data, Importo) values (%1, #3/15/2024#, 45)").arg(cliente));
    dm.TablePagamenti.requery();
    esegui("delete from TempStampa");
    clic("btnStampePagamenti");
    ASSERT_EQ(righe().size(), 1);
    EXPECT_EQ(righeDellaQuery(righe()[0]["Query"].toString()), 1);
    // No client left: the list does nothing, the count is still printed.
    esegui("delete from Pagamenti");
    esegui("delete from anagraficaclienti");
    dm.Table1.requery();
    esegui("delete from TempStampa");
    clic("btnStampeClienti");
    EXPECT_TRUE(righe().isEmpty());
    clic("btnStampeConteggioClienti");
    ASSERT_EQ(righe().size(), 1);
    EXPECT_EQ(righeDellaQuery(righe()[0]["Query"].toString()), 0);
}

} // namespace
