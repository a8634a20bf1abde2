// The load of stampa on a real database and home folder, from its job to the screen or a file.

#include "aiuti.h"
#include "common/controls/dialogs.h"
#include "support/env.h"
#include "support/tempdb.h"
#include "viewer/anteprima.h"
#include "viewer/form1.h"
#include "viewer/impaginazione.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QCoreApplication>
#include <gtest/gtest.h>

using namespace stampa;

namespace {

const char* const kPagamenti =
    "SELECT Pagamenti.Data, Pagamenti.Operazione, Pagamenti.Importo, Pagamenti.Note, "
    "anagraficaclienti.NominativoDocumenti AS Cliente FROM Pagamenti INNER JOIN anagraficaclienti "
    "ON Pagamenti.Cliente_ID = anagraficaclienti.ID ORDER BY Pagamenti.Data";

const char* const kModello =
    "---\ntitolo: Incassi\nsottoreport: Subreportx1\n---\n<html><body>{{#Subreportx1}}<p>{{RagSoc}}</p>"
    "{{/Subreportx1}}<h1>Incassi</h1><table class=\"elenco\"><thead><tr><th>Data</th><th>Cliente</th>"
    "<th>Note</th><th>Importo</th></tr></thead>{{#righe}}<tr><td>{{Data}}</td><td>{{Cliente}}</td><td>{{Note}}"
    "</td><td>{{Importo}}</td></tr>{{/righe}}</table>{{^righe}}<p>Nessun incasso</p>{{/righe}}</body></html>";

class Caricamento : public ::testing::Test {
public:
    testing_support::TempDatabase tdb;
    QTemporaryDir home;
    ui::ScriptedDialogs dialogs;
    testing_support::ScopedEnv env;
    std::unique_ptr<TForm1> form;

    void SetUp() override {
        env.set("VASTREL_HOME", home.path().toUtf8());
        env.set("VASTREL_COMPUTERNAME", "D'ANGELO-PC");
        aiuti::scrivi(home.filePath("percorso.txt"), tdb.path().toUtf8() + "\n");
        esegui("update Ditta set RagSoc = 'Palestra Olimpia'");
        esegui("insert into anagraficaclienti (ID, NominativoDocumenti) values (1, 'Rossi Anna')");
        esegui("insert into anagraficaclienti (ID, NominativoDocumenti) values (2, 'O''Neil Sean')");
        esegui("insert into Pagamenti (Cliente_ID, Data, Operazione, Importo, Note) values "
               "(1, #3/15/2024#, 'Mensile', 45, 'contanti; \"ricevuta\" data\nin sede')");
        esegui("insert into Pagamenti (Cliente_ID, Data, Operazione, Importo, Note) values "
               "(2, #4/2/2024#, 'Annuale', 1200.5, '<b>R&D</b>')");
        layout("Incassi.rpt", kModello);
        form = std::make_unique<TForm1>();
    }
    void TearDown() override { form.reset(); }

    void esegui(const QString& sql) { tdb.connection().execute(sql); }
    QString layout(const QString& nome, const QString& testo) {
        const QString p = home.filePath("reports/" + nome);
        aiuti::scrivi(p, testo.toUtf8());
        return p;
    }
    // This computer's job: the report above on the payments, exported to PDF unless
    // the columns given say otherwise.
    void lavoro(QVariantMap colonne = {}, const QString& computer = "D'ANGELO-PC") {
        QVariantMap c{{"NomeComputer", computer}, {"NomeProgramma", "Vastrel"},
                      {"NomeReport", home.filePath("reports/Incassi.rpt")},
                      {"NomeReportLandscape", home.filePath("reports/IncassiLan.rpt")}, {"Query", kPagamenti},
                      {"Filtro", false}, {"Setup", false}, {"PresenzaTestata", true}, {"Esportazione", true},
                      {"FileEsportazione", file("pdf")}, {"TipoEsportazione", 3}};
        c.insert(colonne);
        tdb.connection().execute("INSERT INTO TempStampa ([" + c.keys().join("],[") + "]) VALUES (" +
                                     QStringList(c.size(), "?").join(',') + ")",
                                 c.values());
    }
    QString file(const QString& estensione) const { return home.filePath("uscita." + estensione); }
    TForm1::Esito carica() { return form->FormLoad(); }
    // A new job in place of the last one, loaded by a new window.
    TForm1::Esito rifai(const QVariantMap& colonne = {}) {
        esegui("delete from TempStampa");
        lavoro(colonne);
        form = std::make_unique<TForm1>();
        return carica();
    }
};

// Without percorso or a job for this computer the load ends silently; an error after the job
// is read is shown and ends it.
TEST_F(Caricamento, EndsSilentlyOrWithTheErrorShown) {
    struct Caso {
        const char* nome;
        QVariantMap colonne;
        std::function<void(Caricamento&)> prepara;
        const char* messaggio; // nullptr: silently
    };
    const std::vector<Caso> casi = {
        {"another computer's job", {{"NomeComputer", "ALTRO-PC"}}, nullptr, nullptr},
        {"no percorso", {}, [](Caricamento& t) { QFile::remove(t.home.filePath("percorso.txt")); }, nullptr},
        {"query Null", {{"Query", QVariant()}}, nullptr, "posizione"},
        {"query invalid", {{"Query", "SELECT Inesistente FROM Pagamenti"}}, nullptr, "Inesistente"},
        {"layout missing", {{"NomeReport", "/non/esiste/Manca.rpt"}}, nullptr, "Manca.rpt"},
        {"template error", {}, [](Caricamento& t) { t.layout("Incassi.rpt", "---\n---\n<p>{{#righe}}</p>"); },
         "non è chiusa"},
        {"layout a picture", {},
         [](Caricamento& t) { aiuti::scrivi(t.home.filePath("reports/Incassi.rpt"), QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)); },
         "non è un file di testo"},
        {"layout without header", {}, [](Caricamento& t) { t.layout("Incassi.rpt", "<p>x</p>"); }, "manca l'intestazione"},
        // Positions count in the job's own query, not in the text the viewer wraps it in.
        {"query position", {{"Query", "SELECT Data FROM Pagamenti WHERE Importo > > 3"}}, nullptr, "(posizione 44)\nSELECT Data"},
        {"engine in Italian", {{"Query", "SELECT Data FROM Pagamenti WHERE Nessuno = 1"}}, nullptr, "Campo inesistente: Nessuno"},
        {"folder missing", {{"FileEsportazione", "/non/esiste/uscita.pdf"}}, nullptr, "/non/esiste/uscita.pdf"},
        {"format unknown", {{"TipoEsportazione", 9}}, nullptr, "Formato di esportazione non previsto: 9"},
        {"database gone", {},
         [](Caricamento& t) { aiuti::scrivi(t.home.filePath("percorso.txt"), t.home.filePath("sparito.db").toUtf8()); },
         "sparito.db"},
        {"percorso unreadable", {},
         [](Caricamento& t) {
             QFile::remove(t.home.filePath("percorso.txt"));
             QDir(t.home.path()).mkdir("percorso.txt");
         },
         "percorso.txt"},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        esegui("delete from TempStampa");
        aiuti::scrivi(home.filePath("percorso.txt"), tdb.path().toUtf8());
        layout("Incassi.rpt", kModello);
        lavoro(c.colonne);
        if (c.prepara) c.prepara(*this);
        dialogs.shown.clear();
        form = std::make_unique<TForm1>();
        EXPECT_EQ(carica(), c.messaggio ? TForm1::Esito::Errore : TForm1::Esito::Terminato);
        EXPECT_FALSE(QFileInfo::exists(file("pdf")));
        EXPECT_EQ(form->documento(), nullptr);
        ASSERT_EQ(dialogs.shown.size(), c.messaggio ? 1 : 0);
        if (!c.messaggio) continue;
        EXPECT_EQ(dialogs.shown[0].caption, "Stampa");
        EXPECT_TRUE(dialogs.shown[0].text.contains(c.messaggio)) << dialogs.shown[0].text.toStdString();
        QDir(home.path()).rmdir("percorso.txt");
    }
}

TEST_F(Caricamento, ExportsWriteEachFormatAndNeverShowTheWindow) {
    lavoro();
    EXPECT_EQ(carica(), TForm1::Esito::Esportato);
    EXPECT_FALSE(form->inPrimoPiano());
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(aiuti::pdfText(file("pdf")).contains("O'Neil Sean"));

    EXPECT_EQ(rifai({{"TipoEsportazione", 2}, {"FileEsportazione", file("html")}}), TForm1::Esito::Esportato);
    const QString h = QString::fromUtf8(testing_support::fileBytes(file("html")));
    EXPECT_TRUE(h.startsWith("<!DOCTYPE html>\n<html lang=\"it\">")) << h.left(60).toStdString();
    EXPECT_TRUE(h.contains("&lt;b&gt;R&amp;D&lt;/b&gt;"));
    EXPECT_TRUE(h.contains("O&#39;Neil Sean"));
    EXPECT_TRUE(h.contains("contanti; &quot;ricevuta&quot; data<br>in sede"));

    EXPECT_EQ(rifai({{"TipoEsportazione", 4}, {"FileEsportazione", file("odt")}}), TForm1::Esito::Esportato);
    const QString odt = testing_support::toolOutput("unzip", {"-p", file("odt"), "content.xml"});
    EXPECT_TRUE(odt.contains("O'Neil Sean") || odt.contains("O&apos;Neil Sean"))
        << odt.left(300).toStdString();
    EXPECT_TRUE(odt.contains("1.200,50"));

    EXPECT_EQ(rifai({{"TipoEsportazione", 1}, {"FileEsportazione", file("csv")}}), TForm1::Esito::Esportato);
    EXPECT_EQ(
        testing_support::fileBytes(file("csv")),
        QByteArray(
            "\xEF\xBB\xBF"
            "Data;Operazione;Importo;Note;Cliente\r\n"
            "15/03/2024;Mensile;45,00;\"contanti; \"\"ricevuta\"\" data\nin sede\";Rossi Anna\r\n"
            "02/04/2024;Annuale;1.200,50;<b>R&D</b>;O'Neil Sean\r\n"));
}

TEST_F(Caricamento, ThePreviewOpensAtFullSizeOnTheFirstPage) {
    for (int i = 0; i < 120; ++i)
        esegui(QStringLiteral("insert into Pagamenti (Cliente_ID, Data, Operazione, Importo) values (1, #5/%1/2024#, "
                              "'Ingresso %2', 8)").arg(i % 28 + 1).arg(i));
    lavoro({{"Esportazione", false}, {"FileEsportazione", QVariant()}, {"TipoEsportazione", QVariant()}});
    ASSERT_EQ(carica(), TForm1::Esito::Mostrato);
    EXPECT_TRUE(form->inPrimoPiano());
    EXPECT_TRUE(form->isVisible());
    AnteprimaReport* viewer = form->CRViewer1;
    EXPECT_EQ(viewer->zoom(), 100);
    const int n = viewer->numeroPagine();
    ASSERT_GE(n, 3);
    auto* etichetta = form->findChild<QLabel*>("lblPagina");
    EXPECT_EQ(etichetta->text(), QStringLiteral("Pagina 1 di %1").arg(n));
    form->findChild<QToolButton*>("btnUltima")->click();
    EXPECT_EQ(viewer->pagina(), n - 1);
    EXPECT_FALSE(form->findChild<QToolButton*>("btnSuccessiva")->isEnabled());
    form->findChild<QToolButton*>("btnPrecedente")->click();
    EXPECT_EQ(etichetta->text(), QStringLiteral("Pagina %1 di %2").arg(n - 1).arg(n));
    EXPECT_FALSE(viewer->immagine().isNull());
    // Every active export format is offered; exporting asks where.
    EXPECT_EQ(form->formati().size(), 4);
    dialogs.files << file("pdf");
    form->esportaClick(3);
    EXPECT_TRUE(aiuti::pdfText(file("pdf")).contains(QStringLiteral("pagina %1 di %1").arg(n)));
    // No printer on this machine and none chosen: said, not silently dropped.
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        form->stampaClick();
        ASSERT_FALSE(dialogs.messages().isEmpty());
        EXPECT_TRUE(dialogs.messages().last().startsWith("Nessuna stampante disponibile"));
    }
}

// A long report shows its opening pages at once, printing held back, and the whole of it
// once the first page has been painted.
TEST_F(Caricamento, ALongReportShowsItsFirstPageBeforeTheRest) {
    tdb.connection().begin();
    for (int i = 0; i <= TForm1::kRigheAnteprima; ++i)
        esegui(QStringLiteral("insert into Pagamenti (Cliente_ID, Data, Operazione, Importo) "
                              "values (1, #5/%1/2024#, 'Ingresso %2', 8)").arg(i % 28 + 1).arg(i));
    tdb.connection().commit();
    lavoro({{"Esportazione", false}, {"FileEsportazione", QVariant()}, {"TipoEsportazione", QVariant()}});
    ASSERT_EQ(carica(), TForm1::Esito::Mostrato);
    auto* etichetta = form->findChild<QLabel*>("lblPagina");
    EXPECT_EQ(etichetta->text(), QStringLiteral("Pagina 1 di …"));
    EXPECT_FALSE(form->findChild<QToolButton*>("btnStampa")->isEnabled());
    form->CRViewer1->widget()->grab(); // the first page painted
    QCoreApplication::processEvents();
    const int n = form->CRViewer1->numeroPagine();
    EXPECT_GT(n, 30);
    EXPECT_EQ(etichetta->text(), QStringLiteral("Pagina 1 di %1").arg(n));
    EXPECT_TRUE(form->findChild<QToolButton*>("btnStampa")->isEnabled());
}

TEST_F(Caricamento, FilterWindowNarrowsTheRowsOrEndsTheProgram) {
    lavoro({{"Filtro", true}});
    dialogs.onExec = [](QDialog* d) { d->reject(); };
    EXPECT_EQ(carica(), TForm1::Esito::Terminato);
    EXPECT_FALSE(QFileInfo::exists(file("pdf")));
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, "frmFiltro");

    dialogs.onExec = [](QDialog* d) {
        auto* campi = d->findChild<QListWidget*>("lstCampiFiltro");
        const QList<QListWidgetItem*> cliente = campi->findItems("Cliente", Qt::MatchExactly);
        ASSERT_EQ(cliente.size(), 1);
        campi->setCurrentItem(cliente[0]);
        Q_EMIT campi->itemClicked(cliente[0]);
        d->findChild<QComboBox*>("cmbDA")->setCurrentText("O'Neil Sean");
        d->findChild<QComboBox*>("cmbA")->setCurrentText("O'Neil Sean");
        d->findChild<QCheckBox*>("chkAnd")->setChecked(true);
        d->findChild<QPushButton*>("Command2")->click();
        d->findChild<QPushButton*>("Command3")->click();
    };
    EXPECT_EQ(rifai({{"Filtro", true}}), TForm1::Esito::Esportato);
    EXPECT_EQ(form->globali().filtro,
              " Where [Cliente] >= 'O''Neil Sean' AND [Cliente] <= 'O''Neil Sean'");
    const QString pdf = aiuti::pdfText(file("pdf"));
    EXPECT_TRUE(pdf.contains("O'Neil Sean"));
    EXPECT_FALSE(pdf.contains("Rossi Anna"));
}

// The landscape layout replaces only a layout that asks for it; the printer set-up is shown
// only when the job asks, and without it the default printer is kept.
TEST_F(Caricamento, LandscapeLayoutAndPrinterSetupOnlyWhenAsked) {
    layout("IncassiLan.rpt",
           "---\norientamento: orizzontale\ntitolo: Incassi larghi\n---\n<p>versione larga</p>");
    lavoro({{"Setup", true}});
    EXPECT_EQ(carica(), TForm1::Esito::Esportato);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].kind, "exec");
    EXPECT_EQ(dialogs.shown[0].caption, "Imposta stampante");
    EXPECT_EQ(form->layout().percorso, home.filePath("reports/Incassi.rpt"));
    EXPECT_FALSE(aiuti::pdfText(file("pdf")).contains("versione larga"));

    layout("Incassi.rpt", QString(kModello).replace("titolo: Incassi",
                                                    "orientamento: orizzontale\ntitolo: Incassi"));
    dialogs.shown.clear();
    EXPECT_EQ(rifai(), TForm1::Esito::Esportato);
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_EQ(form->layout().percorso, home.filePath("reports/IncassiLan.rpt"));
    EXPECT_TRUE(form->layout().orizzontale);
    EXPECT_EQ(form->stampante()->pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_EQ(form->stampante()->printerName(), QPrinterInfo::defaultPrinterName());
    EXPECT_TRUE(aiuti::pdfText(file("pdf")).contains("versione larga"));
}

TEST_F(Caricamento, DataParameterOnlyForALayoutThatTakesIt) {
    const QString periodo = "dal 1/1 al 31/3 \"primo trimestre\" <prova>";
    lavoro({{"Parametro", periodo}});
    EXPECT_EQ(carica(), TForm1::Esito::Esportato);
    EXPECT_FALSE(form->parametroData().has_value());
    layout("Incassi.rpt", "---\nparametri: Data\n---\n<p>Periodo: {{Data}}</p>");
    EXPECT_EQ(rifai({{"Parametro", periodo}}), TForm1::Esito::Esportato);
    EXPECT_EQ(form->parametroData().value_or(""), periodo);
    EXPECT_TRUE(aiuti::pdfText(file("pdf")).contains("Periodo: " + periodo));
}

TEST_F(Caricamento, SubReportsAreBoundByTheHeaderFlagAndTheFirstQuery) {
    const QString sezioni =
        "---\nsottoreport: Subreportx1, Primo, subreportx2, Secondo, Subreportx9, Terzo, "
        "Quarto, Quinto, Sesto, Settimo, Ottavo\n---\n<p>x</p>";
    layout("Incassi.rpt", sezioni);
    // Each query names its own number, so the section it went to can be told.
    auto q = [](int n) { return QStringLiteral("SELECT %1 AS Sotto%1 FROM Ditta").arg(n); };
    QVariantMap tutte;
    for (int n = 1; n <= 7; ++n) tutte[QStringLiteral("QuerySottoreport%1").arg(n)] = q(n);
    struct Caso {
        const char* nome;
        QVariantMap colonne;
        const char* atteso; // per section: 'D' the company, N QuerySottoreportN, '-' unbound
    };
    const Caso casi[] = {
        {"header, no first query", {{"PresenzaTestata", true}, {"QuerySottoreport2", q(2)}, {"QuerySottoreport3", ""}},
         "D-2-D------"},
        {"no header, no first query", {{"PresenzaTestata", false}, {"QuerySottoreport2", q(2)}}, "-----------"},
        {"no header, first query", {{"PresenzaTestata", false}, {"QuerySottoreport1", q(1)}, {"QuerySottoreport7", q(7)}},
         "D1--D---7--"},
        {"every query", tutte, "D123D4567--"},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        ASSERT_EQ(rifai(c.colonne), TForm1::Esito::Esportato);
        QString visto;
        for (const Legame& l : form->legami()) {
            QChar segno = '-';
            if (l.righe && l.righe->colonna(QStringLiteral("RagSoc")) >= 0) segno = 'D';
            for (int n = 1; n <= 7; ++n)
                if (l.righe && l.righe->colonna(QStringLiteral("Sotto%1").arg(n)) >= 0)
                    segno = QChar('0' + n);
            visto += segno;
        }
        // "subreportx2" is an ordinary sub-report (the first ten characters are compared
        // exactly); the eighth ordinary one and later stay unbound.
        EXPECT_EQ(visto, QString::fromLatin1(c.atteso));
        EXPECT_EQ(form->legami().size(), 11u);
    }
}

} // namespace
