// Rendering a layout's template with real record sets.

#include "aiuti.h"
#include "support/script.h"
#include "support/tempdb.h"
#include "viewer/errore.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace stampa;

namespace {

class Modello : public ::testing::Test {
protected:
    testing_support::TempDatabase tdb;
    void esegui(const QString& sql) { tdb.connection().execute(sql); }
    RecordSet carica(const QString& sql, const std::vector<Calcolato>& c = {}) {
        return aiuti::carica(tdb.connection(), sql, c);
    }
    QString rendi(const QString& modello, const RecordSet& rs, std::vector<Legame> sezioni = {},
                  std::optional<QString> data = std::nullopt,
                  const QString& percorso = "/tmp/prova.rpt") {
        Sorgenti s;
        s.principale = &rs;
        s.sezioni = std::move(sezioni);
        s.parametroData = std::move(data);
        s.oggi = QDate(2024, 7, 1);
        return aiuti::html(aiuti::layout(modello, percorso), s);
    }
    // Three payments of two clients, newest first.
    RecordSet pagamenti() {
        testing_support::runScript(tdb.connection(), R"(
insert into anagraficaclienti (ID, NominativoDocumenti, Sesso, Omaggi) values (1, 'Rossi Anna', 'F', true);
insert into anagraficaclienti (ID, NominativoDocumenti, Sesso) values (2, 'Bianchi Ugo', 'M');
insert into Pagamenti (Cliente_ID, Data, Operazione, Importo, Note) values (1, #3/15/2024#, 'Mensile', 1234.5, 'R&D <b>"x"</b> l''acconto
seconda riga');
insert into Pagamenti (Cliente_ID, Data, Operazione, Importo) values (2, #5/6/2024 18:30:00#, 'Annuale', 30);
insert into Pagamenti (Cliente_ID, Data, Operazione, Importo) values (1, #1/2/2023#, 'Iscrizione', 25);)");
        return carica(
            "Select * from (SELECT Pagamenti.Data, Pagamenti.Operazione, Pagamenti.Importo, "
            "Pagamenti.Note, anagraficaclienti.NominativoDocumenti AS Cliente, anagraficaclienti.Sesso, "
            "anagraficaclienti.Omaggi FROM Pagamenti INNER JOIN anagraficaclienti ON "
            "Pagamenti.Cliente_ID = anagraficaclienti.ID ORDER BY Pagamenti.Data DESC)");
    }
};

TEST_F(Modello, TemplatesOnThePayments) {
    const RecordSet rs = pagamenti();
    struct Caso {
        const char* cosa;
        const char* modello;
        const char* atteso;
        std::optional<QString> data = std::nullopt;
    };
    const Caso casi[] = {
        {"values as typed and in Italian", "{{#righe}}[{{Data}}|{{Importo}}|{{Note}}|{{Omaggi}}]{{/righe}}",
         "[06/05/2024 18:30|30,00||No][15/03/2024|1.234,50|R&amp;D &lt;b&gt;&quot;x&quot;&lt;/b&gt; "
         "l&#39;acconto<br>seconda riga|Sì][02/01/2023|25,00||Sì]"},
        {"forms of a column", "{{#primo}}{{Data.data}} {{Data.ora}} {{Data.anno}} {{Importo.numero}}{{/primo}}",
         "06/05/2024 18:30 2024 30"},
        {"yes, equals and not empty", "{{#righe}}{{#Omaggi.si}}O{{/Omaggi.si}}{{^Omaggi.si}}-{{/Omaggi.si}}"
         "{{#Sesso=f}}F{{/Sesso=f}}{{#Note.si}}N{{/Note.si}};{{/righe}}", "-;OFN;OF;"},
        {"either column", "{{#righe}}{{#Note|Inesistente}}n{{/Note|Inesistente}}{{^Note|Sesso}}-{{/Note|Sesso}};"
         "{{/righe}}", ";n;;"},
        // An unknown form or column prints nothing rather than something wrong.
        {"unknown", "{{#primo}}[{{Data.colore}}{{Inesistente}}]{{/primo}}", "[]"},
        {"rows", "{{Conteggio}}:{{#righe}}{{Operazione}},{{/righe}}{{^righe}}vuoto{{/righe}}",
         "3:Annuale,Mensile,Iscrizione,"},
        {"first and last", "{{#primo}}{{Operazione}}{{/primo}}-{{#ultimo}}{{Operazione}}{{/ultimo}}-"
         "{{Primo.Operazione}}", "Annuale-Iscrizione-Annuale"},
        {"groups, totals, counts, extremes", "---\ngruppo: Cliente\nordine-gruppi: Cliente\n---\n"
         "{{#gruppi}}<{{Cliente}} n={{Conteggio}} t={{Totale.Importo}} da={{Minimo.Data.data}} "
         "a={{Massimo.Data.data}}{{#righe}} {{Operazione}}{{/righe}}>{{/gruppi}} clienti={{NumeroGruppi}} "
         "totale={{Totale.Importo}}",
         "<Bianchi Ugo n=1 t=30,00 da=06/05/2024 a=06/05/2024 Annuale>"
         "<Rossi Anna n=2 t=1.259,50 da=02/01/2023 a=15/03/2024 Mensile Iscrizione> clienti=2 totale=1.289,50"},
        {"groups without an order follow the rows", "---\ngruppo: Cliente\n---\n{{#gruppi}}{{Cliente}};{{/gruppi}}",
         "Bianchi Ugo;Rossi Anna;"},
        {"Data parameter", "---\nparametri: Data\n---\n{{Data}}|{{#primo}}{{Data}}{{/primo}}",
         "dal 1° all&#39;&quot;ultimo&quot;|06/05/2024 18:30", QString("dal 1° all'\"ultimo\"")},
        // Not a parameter of the layout: at the top "Data" is the first row's column.
        {"Data not a parameter", "{{Data}}", "06/05/2024 18:30", QString("ignorato")},
    };
    for (const Caso& c : casi)
        EXPECT_EQ(rendi(QString::fromUtf8(c.modello), rs, {}, c.data), QString::fromUtf8(c.atteso)) << c.cosa;
    const RecordSet vuoto = carica("Select * from (SELECT Pagamenti.Operazione FROM Pagamenti WHERE Importo < 0)");
    EXPECT_EQ(rendi("{{Conteggio}}:{{#primo}}x{{/primo}}{{#righe}}r{{/righe}}{{^righe}}Nessun pagamento{{/righe}}",
                    vuoto),
              "0:Nessun pagamento");
    // Parts come from the layout's folder.
    QTemporaryDir dir;
    aiuti::scrivi(dir.filePath("parti/riga.mustache"), "<{{Operazione}}>");
    EXPECT_EQ(rendi("{{#primo}}{{> parti/riga}}{{/primo}}", rs, {}, {}, dir.filePath("Prova.rpt")), "<Annuale>");
}

TEST_F(Modello, WeekdaysOrderAsTheWeekAndCompositeGroups) {
    for (const char* giorno : {"Sabato 10.00", "martedì 10.00", "Lunedì 10.00", "Domenica 10.00", "Martedi 10.00",
                               "Lunedì 18.00"})
        esegui(QStringLiteral("insert into orari (Specialita, Giorno, OrarioInizio) values ('Yoga', '%1', '%2')")
                   .arg(QString::fromUtf8(giorno).section(' ', 0, 0), QString::fromUtf8(giorno).section(' ', 1)));
    const RecordSet rs = carica("Select * from (SELECT orari.Giorno, orari.OrarioInizio FROM orari ORDER BY orari.Giorno)");
    EXPECT_EQ(rendi("---\ngruppo: Giorno\nordine-gruppi: Giorno:settimana\n---\n"
                    "{{#gruppi}}{{Giorno}}({{Conteggio}}) {{/gruppi}}", rs),
              "Lunedì(2) martedì(2) Sabato(1) Domenica(1) ");
    const QString h = rendi("---\ngruppo: Giorno, OrarioInizio\nordine-gruppi: Giorno:settimana, OrarioInizio\n---\n"
                            "{{#gruppi}}{{Giorno}} {{OrarioInizio}};{{/gruppi}}", rs);
    EXPECT_TRUE(h.startsWith("Lunedì 10.00;Lunedì 18.00;")) << h.toStdString();
    EXPECT_TRUE(h.endsWith("Sabato 10.00;Domenica 10.00;")) << h.toStdString();
}

TEST_F(Modello, ComputedColumnsLeaveNullsOutOfTotals) {
    testing_support::runScript(tdb.connection(), "insert into Alimenti (ID, Descrizione, KC) values (1, 'Mela', 52);"
                               "insert into Alimenti (ID, Descrizione, KC) values (2, 'Acqua', Null);"
                               "insert into ClienteDieta (Cliente_ID, ID_Alimento, QTA_GRAMMI) values (1, 1, 150);"
                               "insert into ClienteDieta (Cliente_ID, ID_Alimento, QTA_GRAMMI) values (1, 2, 500);");
    const QString modello =
        "---\ncalcola: Kcal = QTA_GRAMMI * KC / 100\n---\n"
        "{{#righe}}{{Descrizione}}={{Kcal}}{{^Kcal}}-{{/Kcal}};{{/righe}}{{Totale.Kcal}}";
    const Layout l = aiuti::layout(modello);
    const RecordSet rs = carica("Select * from (SELECT Alimenti.Descrizione, Alimenti.KC, ClienteDieta.QTA_GRAMMI FROM "
                                "ClienteDieta INNER JOIN Alimenti ON ClienteDieta.ID_Alimento = Alimenti.ID ORDER BY "
                                "Alimenti.ID)", l.calcolati);
    EXPECT_EQ(rendi(modello, rs), "Mela=78,00;Acqua=-;78,00");
}

TEST_F(Modello, SectionsOfSubReportsAndTheCompanyHeader) {
    const RecordSet rs = pagamenti();
    esegui("update Ditta set RagSoc = 'Olimpia & C.', PIva = '12345678903'");
    const RecordSet ditta = carica("SELECT ditta.RagSoc, ditta.PIva, ditta.Logo FROM ditta");
    const RecordSet clienti =
        carica("SELECT NominativoDocumenti FROM anagraficaclienti ORDER BY NominativoDocumenti");
    const QString modello = "{{#Subreportx1}}{{RagSoc}} {{PIva}}{{/Subreportx1}}|{{#Clienti}}{{NominativoDocumenti}};"
                            "{{/Clienti}}|{{^Orari}}senza orari{{/Orari}}|{{#Subreportx2}}x{{/Subreportx2}}";
    EXPECT_EQ(rendi(modello, rs, {{"Subreportx1", &ditta}, {"Clienti", &clienti}, {"Orari", nullptr}}),
              "Olimpia &amp; C. 12345678903|Bianchi Ugo;Rossi Anna;|senza orari|");
    // The fields of the enclosing row stay reachable inside a section.
    EXPECT_EQ(rendi("{{#primo}}{{#Subreportx1}}{{RagSoc}}: {{Operazione}}{{/Subreportx1}}{{/primo}}", rs,
                    {{"Subreportx1", &ditta}}),
              "Olimpia &amp; C.: Annuale");
}

TEST_F(Modello, PicturesThatDecodeAndOnesThatDoNot) {
    QTemporaryDir dir;
    const QString foto = dir.filePath("foto.png");
    QImage logo(40, 20, QImage::Format_RGB32);
    logo.fill(Qt::red);
    logo.save(foto);
    const QByteArray png = testing_support::fileBytes(foto);
    tdb.connection().execute("UPDATE Ditta SET Logo = ?", {png});
    const RecordSet ditta = carica("SELECT ditta.Logo, ditta.RagSoc FROM ditta");
    Sorgenti s;
    s.principale = &ditta;
    ReportReso r = rendiReport(aiuti::layout("{{#Logo}}<img src=\"{{Logo}}\">{{/Logo}}"), s);
    EXPECT_EQ(QString::fromStdString(r.html), "<img src=\"" + urlImmagine(0) + "\">");
    ASSERT_EQ(r.immagini.size(), 1u);
    EXPECT_EQ(r.immagini[0].immagine.size(), QSize(40, 20));
    EXPECT_EQ(r.immagini[0].dati, png);

    tdb.connection().execute("UPDATE Ditta SET Logo = ?", {QByteArray("non è un'immagine")});
    const RecordSet rotta = carica("SELECT ditta.Logo FROM ditta");
    s.principale = &rotta;
    r = rendiReport(aiuti::layout("{{#Logo}}<img src=\"{{Logo}}\">{{/Logo}}{{^Logo}}senza logo{{/Logo}}"), s);
    EXPECT_EQ(QString::fromStdString(r.html), "senza logo");
    EXPECT_TRUE(r.immagini.empty());

    // A text column naming a picture file.
    esegui("insert into anagraficaclienti (Immagine) values ('" + foto + "')");
    esegui("insert into anagraficaclienti (Immagine) values ('" + dir.filePath("manca.png") + "')");
    const RecordSet clienti = carica("SELECT Immagine FROM anagraficaclienti ORDER BY ID");
    s.principale = &clienti;
    r = rendiReport(
        aiuti::layout("{{#righe}}[{{#Immagine.immagine}}{{Immagine.immagine}}{{/Immagine.immagine}}]{{/righe}}"), s);
    EXPECT_EQ(QString::fromStdString(r.html), "[" + urlImmagine(0) + "][]");
}

TEST_F(Modello, TemplateErrorsNameTheFileAndLine) {
    const RecordSet rs = pagamenti();
    try {
        rendi("---\ntitolo: Prova\n---\n<p>uno</p>\n{{#righe}}\n<p>{{Operazione}}</p>\n", rs, {},
              {}, "/tmp/Rotto.rpt");
        FAIL() << "no error";
    } catch (const ErroreStampa& e) {
        EXPECT_TRUE(e.text().contains("Rotto.rpt")) << e.text().toStdString();
        EXPECT_TRUE(e.text().contains("riga 5")) << e.text().toStdString();
        EXPECT_TRUE(e.text().contains("\"righe\" non è chiusa")) << e.text().toStdString();
    }
    EXPECT_THROW(rendi("{{> parti/manca}}", rs), ErroreStampa);
    EXPECT_THROW(rendi("---\ngruppo: Inesistente\n---\n{{#gruppi}}x{{/gruppi}}", rs), ErroreStampa);
}

} // namespace
