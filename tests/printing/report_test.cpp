// Every report end to end: the main program's job, the real `stampa` program, the PDF's text.

#include "printing_support.h"

#include "db/script.h"
#include "support/files.h"
#include "support/pdf.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QProcess>

namespace {

QByteArray immagine(const char* formato, QColor colore) {
    QImage im(240, 160, QImage::Format_RGB32);
    im.fill(colore);
    QByteArray b;
    QBuffer buf(&b);
    buf.open(QIODevice::WriteOnly);
    im.save(&buf, formato);
    return b;
}

// A small centre: two clients (one a minor with a paying parent) and a cancelled one, an
// instructor, courses, exercises with a picture, foods and a diet, a pathology, payments,
// deadlines, a visitor, attendance and a notice. Texts carry quotes and markup characters.
class Report : public Stampe {
protected:
    const long long anna = 1, marco = 2;

    void SetUp() override {
        riempi();
        apri("D'ANGELO-PC"); // a quote in the computer's name: every query on its rows doubles it
    }

    // Every table filled here starts empty in a new database, so the keys are known; the
    // meals (1 breakfast, 3 lunch) come with the reference data.
    void riempi() {
        const QString foto = QDir(tdb.folder()).filePath("anna.jpg");
        testing_support::writeFile(foto, immagine("JPEG", QColor(0xc0, 0x80, 0x40)));
        const QString script = QStringLiteral(R"JET(
update Ditta set RagSoc = 'Palestra Olimpia S.S.D.', Via = 'Via Roma', Numero = '12', Comune = 'Padova', Cap = '35121', Provincia = 'PD', Tel = '049 8765432', Email = 'info@olimpia.example', PIva = '12345678903', CodFisc = '92012345678', ResponsabileDati = 'Dott.ssa Giulia Ferri', CodiceSdi = 'M5UXCR1';
insert into ModPagamento (Descrizione) values ('Contanti');
insert into ModPagamento (Descrizione) values ('Bancomat');
insert into Stagione (Descrizione) values ('Stagione 2024/2025');
insert into GruppoSportivo (Descrizione) values ('Agonisti');
insert into TipoPagamenti (Descrizione) values ('Mensile');
insert into anagraficapersonale (Cognome, Nome, Mansione, Codfiscale, Citta, Cell, Datanascita, Nato_a) values ('Bianchi', 'Luca', 'Istruttore di sala', 'BNCLCU80A01G224K', 'Padova', '333 1112223', #1/1/1980#, 'Vicenza');
insert into anagraficaclienti (Cognome, Nome, NominativoDocumenti, NominativoVisualizzato, Via, Numero_civico, Cap, Citta, Provincia, Codfiscale, Nato_a, Datanascita, Tel, Cell, Fax, E_mail, Sesso, Tessera, Note, Certificato_med, Scadenza_cert_medico, DataScadenzaAbbonamento, ScadenzaPagamento, ModPagamento_Id, Stagione_ID, GruppoSportivo_ID, Istruttore_ID, TipoPagamento_ID, Immagine) values ('Rossi', 'Anna', 'Rossi Anna', 'Rossi Anna', 'Via Dante', '7', '35121', 'Padova', 'PD', 'RSSNNA85M41G224X', 'Padova', #8/1/1985#, '049 111222', '347 1234567', '049 333444', 'anna.rossi@example.it', 'F', '101', 'Preferisce l''allenamento <serale> & corsi di gruppo', true, #6/30/2025#, #9/30/2025#, #1/31/2025#, 1, 1, 1, 1, 1, '%1');
insert into anagraficaclienti (Cognome, Nome, NominativoDocumenti, NominativoVisualizzato, Via, Numero_civico, Citta, Provincia, Nato_a, Datanascita, Sesso, Tessera, Stagione_ID, Quietanza_Cognome, Quietanza_Nome, Quietanza_Nato_a, Quietanza_Datanascita, Quietanza_CodiceFiscale, Quietanza_Indirizzo, Quietanza_Residente, Quietanza_Residente_Numero_civico, Quietanza_Residente_Prov, Quietanza_Sesso) values ('Neri', 'Marco', 'Neri Marco', 'Neri Marco', 'Via Garibaldi', '3', 'Padova', 'PD', 'Padova', #5/20/2012#, 'M', '102', 1, 'Neri', 'Paolo', 'Venezia', #2/10/1978#, 'NREPLA78B10L736Y', 'Via Garibaldi', 'Padova', '3', 'PD', 'M');
insert into anagraficaclienti (Cognome, Nome, NominativoDocumenti, NominativoVisualizzato, Annullato) values ('Verdi', 'Carlo', 'Verdi Carlo', 'Verdi Carlo', true);
insert into orari (Specialita, Corso, Giorno, OrarioInizio, OrarioFine, Istruttore_ID) values ('Pilates', 'Base', 'Martedì', '18.30', '19.30', 1);
insert into orari (Specialita, Corso, Giorno, OrarioInizio, OrarioFine, Istruttore_ID) values ('Spinning', 'Intermedio', 'Lunedì', '19.00', '20.00', 1);
insert into ClienteOrari (Cliente_ID, Orario_ID, OrarioInizio, OrarioFine) values (1, 1, '18.30', '19.30');
insert into ClienteOrari (Cliente_ID, Orario_ID, OrarioInizio, OrarioFine) values (2, 2, '19.00', '20.00');
insert into GruppiMuscolari (Descrizione) values ('Pettorali');
insert into GruppiMuscolari (Descrizione) values ('Dorsali');
insert into Esercizi (Descrizione, ModalitaUso, GruppoMuscolare_ID) values ('Panca piana', 'Schiena ben appoggiata, scendere lenti', 1);
insert into Esercizi (Descrizione, ModalitaUso, GruppoMuscolare_ID) values ('Trazioni alla sbarra', 'Presa prona, petto alla sbarra', 2);
insert into ClienteEsercizi (Cliente_ID, Esercizio_ID, EsercizioDescrizione, Serie, Quantita, Pausa, Note) values (1, 1, 'Panca piana', 3, 12, 90, 'Carico progressivo');
insert into Alimenti (Descrizione, [E%], ACQ, PRO, GRA, CAR, FIB, KC) values ('Mela', 89, 85.6, 0.2, 0.1, 10, 2, 52);
insert into Alimenti (Descrizione, [E%], ACQ, PRO, GRA, CAR, FIB, KC) values ('Pasta di semola', 100, 10.8, 10.9, 1.4, 79.1, 2.7, 353);
insert into ClienteDieta (Cliente_ID, ID_pasto, ID_Alimento, QTA_GRAMMI) values (1, 1, 1, 150);
insert into ClienteDieta (Cliente_ID, ID_pasto, ID_Alimento, QTA_GRAMMI) values (1, 3, 2, 80);
insert into Patologie (Descrizione, Cura) values ('Lombalgia', 'Esercizi di mobilizzazione e rinforzo del core');
insert into ClientePatologia (Cliente_ID, Patologia_ID, DataInizio, DataFine, Note) values (1, 1, #1/10/2024#, #3/10/2024#, 'Evitare carichi assiali');
insert into Pagamenti (Cliente_ID, Data, Operazione, Importo, ModPagamento_Id) values (1, #3/15/2024#, 'Abbonamento mensile', 45, 1);
insert into Pagamenti (Cliente_ID, Data, Operazione, Importo, ModPagamento_Id, Note) values (1, #4/15/2024#, 'Abbonamento mensile', 45, 2, 'Saldo <aprile> & maggio');
insert into Pagamenti (Cliente_ID, Data, Operazione, Importo, ModPagamento_Id) values (1, #1/15/2023#, 'Iscrizione annuale', 25, 1);
insert into Pagamenti (Cliente_ID, Data, Operazione, Importo, ModPagamento_Id) values (2, #9/10/2024#, 'Iscrizione annuale', 30, 1);
insert into Pagamenti (Cliente_ID, Data, Operazione, Importo, ModPagamento_Id) values (2, #10/1/2024#, 'Abbonamento trimestrale', 120, 2);
insert into Pagamenti (Cliente_ID, Data, Operazione, Importo, ModPagamento_Id) values (3, #5/5/2024#, 'Abbonamento mensile', 45, 1);
insert into Scadenze (Cliente_ID, DataScadenza, Operazione, Importo, Beneficiario, ModPagamento_Id) values (1, #12/31/2024#, 'Rata abbonamento', 45, 'Rossi Anna', 1);
insert into Scadenze (DataScadenza, Operazione, Importo, DataPagamento, Beneficiario, ModPagamento_Id) values (#11/30/2024#, 'Affitto sala', 800, #11/28/2024#, 'Immobiliare Euganea', 2);
insert into Occasionali (Cognome, Nome, Progressivo, DataInserimento, DataInizio, Scadenza_cert_medico, Stagione_ID, Note) values ('Galli', 'Sara', 1, #5/2/2024#, #5/3/2024#, #5/2/2025#, 1, 'Prova gratuita');
insert into Calendario (DataInizio, DataFine, Personale_Id, Personale, Cliente_Id, Cliente, Specialita, Note, DurataOre) values (#5/6/2024 18:00:00#, #5/6/2024 19:30:00#, 1, 'Bianchi Luca', 1, 'Rossi Anna', 'Personal training', 'Valutazione iniziale', 1.5);
insert into TempAvvisi (NomeComputer, Testo) values ('D''ANGELO-PC', 'Gentile cliente,
la palestra resterà chiusa per la chiusura estiva dal 12 al 18 agosto.');
insert into TempAvvisiClienti (NomeComputer, Cliente_ID) values ('D''ANGELO-PC', 1);
insert into TempAvvisiClienti (NomeComputer, Cliente_ID) values ('D''ANGELO-PC', 2);
insert into TempAvvisi (NomeComputer, Testo) values ('BANCO-2', 'Avviso di un altro banco');
insert into TempAvvisiClienti (NomeComputer, Cliente_ID) values ('BANCO-2', 3);
)JET");
        for (const QString& statement : db::splitScript(script.arg(foto))) esegui(statement);
        tdb.connection().execute(QStringLiteral("UPDATE Ditta SET Logo = ?"),
                                 {immagine("PNG", QColor(0x1f, 0x4e, 0x79))});
        tdb.connection().execute(QStringLiteral("UPDATE Esercizi SET Immagine = ? WHERE ID = 1"),
                                 {immagine("JPEG", QColor(0x40, 0xa0, 0x60))});
    }

    struct Esito : testing_support::PdfInfo {
        QString testo;
        bool orizzontale() const { return width > height; }
    };

    // Writes the job as the main program does, makes it an export to PDF and runs stampa.
    Esito esporta(int numero, long long cliente, bool orizzontale = false) {
        Esito e;
        EXPECT_TRUE(dm.Table1.locate("ID", cliente));
        dm.Table3.first();
        printing::scriviStampa(dm, numero);
        const QString pdf = QDir(tdb.folder()).filePath(QStringLiteral("report%1.pdf").arg(numero));
        const QString reports = QDir(qEnvironmentVariable("VASTREL_SOURCE_DIR")).filePath("reports") + '/';
        const QVariantList job = testing_support::rows(
            tdb.connection(), "select NomeReport, NomeReportLandscape from TempStampa where NomeComputer = 'D''ANGELO-PC'")
                                     .value(0);
        const QString file = QFileInfo(job.value(0).toString()).fileName();
        const QString lan = QFileInfo(job.value(1).toString()).fileName();
        // An export caller's job: the file, PDF, no printer choice, no filter window.
        esegui(QStringLiteral(
                   "update TempStampa set Esportazione = true, FileEsportazione = '%1', "
                   "TipoEsportazione = 3, Setup = false, Filtro = false, NomeReport = '%2', "
                   "NomeReportLandscape = '%3' where NomeComputer = 'D''ANGELO-PC'")
                   .arg(pdf, reports + (orizzontale ? lan : file), reports + lan));
        testing_support::writeFile(QDir(tdb.folder()).filePath("percorso.txt"), tdb.path().toUtf8() + '\n');

        QProcess stampa;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const auto& [name, value] : {std::pair{"VASTREL_HOME", tdb.folder()}, {"VASTREL_COMPUTERNAME", "D'ANGELO-PC"},
                                          {"VASTREL_NONINTERACTIVE", "1"}, {"QT_QPA_PLATFORM", "offscreen"}})
            env.insert(name, value);
        stampa.setProcessEnvironment(env);
        stampa.start(QDir(qEnvironmentVariable("VASTREL_BIN_DIR")).filePath("stampa"), {});
        EXPECT_TRUE(stampa.waitForFinished(120000));
        EXPECT_EQ(stampa.exitCode(), 0) << stampa.readAllStandardError().toStdString();
        EXPECT_TRUE(QFileInfo::exists(pdf)) << file.toStdString();

        e.testo = testing_support::pdfText(pdf);
        // VASTREL_REPORT_PDF names a folder where the PDFs are kept for a look.
        if (const QString copia = qEnvironmentVariable("VASTREL_REPORT_PDF"); !copia.isEmpty()) {
            const QString nome = QDir(copia).filePath((orizzontale ? lan : file) + ".pdf");
            QFile::remove(nome);
            QFile::copy(pdf, nome);
        }
        static_cast<testing_support::PdfInfo&>(e) = testing_support::pdfInfo(pdf);
        return e;
    }
};

struct Caso {
    int numero;
    bool minore; // the client is the minor with a paying parent
    std::vector<const char*> presenti;
    std::vector<const char*> assenti;
    int pagine; // 0: any
    int immagini = 1; // the logo, and the exercise's picture or the client's photo
};

const Caso kCasi[] = {
    {1, false, {"Scheda di allenamento", "Rossi Anna", "101", "RSSNNA85M41G224X", "Pettorali", "Panca piana",
        "Schiena ben appoggiata", "Carico progressivo", "90 s", "12", "347 1234567"}, {"Trazioni"}, 1, 2},
    {2, false, {"Orari del cliente", "Rossi Anna", "Martedì", "18.30", "19.30", "Pilates", "Via Dante 7"},
        {"Spinning"}, 1, 2},
    {3, false, {"Piano alimentare", "Mela", "Pasta di semola", "150", "78,00", "282,40", "360,40", "85,6"}, {}, 1},
    {4, false, {"Estratto dei pagamenti", "Rossi Anna", "Stagione 2024/2025", "Agonisti", "Saldo <aprile> & maggio",
        "Bancomat", "115,00"}, {"Neri"}, 1},
    {5, false, {"Patologie del cliente", "Lombalgia", "10/01/2024", "10/03/2024", "Evitare carichi assiali",
        "Esercizi di mobilizzazione"}, {}, 1},
    {6, false, {"Scheda del cliente", "Rossi Anna", "RSSNNA85M41G224X", "01/08/1985", "anna.rossi@example.it",
        "Bianchi Luca", "Mensile", "30/09/2025", "31/01/2025", "30/06/2025",
        "Preferisce l'allenamento <serale> & corsi di gruppo"}, {}, 1},
    {7, false, {"Elenco clienti", "Clienti: 2", "Rossi Anna", "Neri Marco", "101", "Bianchi Luca", "<serale>"},
        {"Verdi Carlo"}, 0},
    {8, false, {"Elenco del personale", "Bianchi Luca", "Istruttore di sala", "BNCLCU80A01G224K", "333 1112223"}, {},
        1},
    {9, false, {"Orario dei corsi", "Lunedì", "Spinning", "Martedì", "Pilates", "Bianchi"}, {}, 1},
    {10, false, {"Elenco degli esercizi", "Panca piana", "Trazioni alla sbarra", "Presa prona"}, {}, 1, 2},
    {11, false, {"Tabella degli alimenti", "Mela", "Pasta di semola", "353", "79,10"}, {}, 1},
    {12, false, {"Patologie e trattamenti", "Lombalgia", "mobilizzazione"}, {}, 1},
    {13, false, {"Pagamenti ricevuti", "Rossi Anna", "Neri Marco", "Totale generale", "265,00", "115,00", "150,00",
        "Saldo <aprile> & maggio"}, {"Verdi"}, 0},
    {14, false, {"Scadenziario", "Affitto sala", "Beneficiario", "Immobiliare Euganea", "800,00", "28/11/2024",
        "da pagare", "845,00"}, {}, 1},
    {15, false, {"Clienti per orario", "Pilates", "Martedì dalle 18.30 alle 19.30", "Rossi Anna", "Spinning",
        "Neri Marco"}, {"Verdi"}, 0},
    {16, false, {"Informativa sul trattamento dei dati personali", "Palestra Olimpia S.S.D.",
        "Dott.ssa Giulia Ferri", "La sottoscritta", "Rossi Anna", "RSSNNA85M41G224X", "anna.rossi@example.it",
        "Garante"}, {}, 0},
    {17, false, {"Informativa sul trattamento dei dati personali del personale", "Bianchi Luca",
        "Dott.ssa Giulia Ferri", "BNCLCU80A01G224K"}, {}, 0},
    // The count has no condition on cancelled clients: their payments count too.
    {18, false, {"Conteggio clienti", "Totale clienti: 3", "Rossi Anna", "Neri Marco", "Verdi Carlo", "15/01/2023",
        "15/04/2024"}, {}, 1},
    {19, false, {"Frequentatori occasionali", "Galli Sara", "Prova gratuita", "02/05/2024", "Stagione 2024/2025"},
        {}, 1},
    {20, false, {"Presenze", "Personal training", "Bianchi Luca", "Rossi Anna", "06/05/2024", "18:00", "19:30",
        "1,50", "Valutazione iniziale"}, {}, 1},
    {21, true, {"Ricevuta di pagamento", "anno 2024", "Neri Paolo", "NREPLA78B10L736Y", "del minore", "Neri Marco",
        "20/05/2012", "150,00", "i-quinquies"}, {"Rossi"}, 1},
    {22, false, {"Ricevuta di pagamento", "anno 2024", "Rossi Anna", "nata a Padova", "RSSNNA85M41G224X", "90,00",
        "Saldo <aprile> & maggio", "timbro e firma"}, {"Iscrizione annuale"}, 1},
    {23, false, {"Rossi Anna", "Neri Marco", "chiusura estiva dal 12 al 18 agosto", "Via Dante 7",
        "RSSNNA85M41G224X"}, {"Verdi", "altro banco"}, 2},
};

// Each report twice: its own layout, and its landscape layout (what the viewer opens when
// an installation turns the first one to landscape).
TEST_F(Report, EveryReportExportsToPdfWithItsValues) {
    for (const Caso& c : kCasi)
        for (const bool orizzontale : {false, true}) {
            SCOPED_TRACE(c.numero);
            SCOPED_TRACE(orizzontale ? "orizzontale" : "verticale");
            const Esito e = esporta(c.numero, c.minore ? marco : anna, orizzontale);
            for (const char* atteso : c.presenti)
                EXPECT_TRUE(e.testo.contains(QString::fromUtf8(atteso))) << atteso << "\n"
                                                                         << e.testo.toStdString();
            for (const char* escluso : c.assenti)
                EXPECT_FALSE(e.testo.contains(QString::fromUtf8(escluso))) << escluso;
            // The centre's header and the page footer are on every report.
            EXPECT_TRUE(e.testo.contains("Palestra Olimpia S.S.D.")) << c.numero;
            // Notice letters of one page each carry no page number.
            EXPECT_EQ(e.testo.contains(QStringLiteral("pagina 1 di %1").arg(e.pages)), c.numero != 23);
            EXPECT_GE(e.pictures, c.immagini);
            if (c.pagine) {
                EXPECT_EQ(e.pages, c.pagine);
            }
            EXPECT_EQ(e.orizzontale(), orizzontale);
        }
}

TEST_F(Report, LayoutsWithoutPicturesWhenTheOptionAsksForThem) {
    esegui("update opzioni set StampaSchedeNoImmagine = true");
    dm.TableOpzioni.requery();
    const Esito scheda = esporta(1, anna);
    EXPECT_TRUE(scheda.testo.contains("Panca piana"));
    EXPECT_TRUE(scheda.testo.contains("Carico progressivo"));
    EXPECT_EQ(scheda.pictures, 1); // the logo only
    const Esito esercizi = esporta(10, anna);
    EXPECT_TRUE(esercizi.testo.contains("Trazioni alla sbarra"));
    EXPECT_EQ(esercizi.pictures, 1);
}

TEST_F(Report, EmptyRecordSourcesSayWhyInsteadOfABlankPage) {
    esegui("update anagraficaclienti set Annullato = true where Cognome = 'Rossi'");
    EXPECT_TRUE(esporta(6, anna).testo.contains("nessuna scheda da stampare"));
    anno->setText("2019");
    EXPECT_TRUE(esporta(22, anna).testo.contains("nessuna ricevuta da stampare"));
    esegui("delete from TempAvvisiClienti");
    EXPECT_TRUE(esporta(23, anna).testo.contains("Nessun cliente scelto"));
}

} // namespace

namespace {

// A receipt states the year it covers and names the client's season only when every
// payment of that year falls within the season's dates.
TEST_F(Report, ReceiptNamesTheSeasonOnlyWhenItHoldsEveryPayment) {
    struct Periodo {
        int report;
        const char* dal; // Null when empty
        const char* al;
        const char* anno;
        bool stagione;
    };
    const Periodo casi[] = {
        {22, nullptr, nullptr, "2024", false},
        {22, "1/1/2024", "12/31/2024", "2024", true},
        {22, "3/15/2024", "4/15/2024", "2024", true}, // both ends count
        {22, "9/1/2024", "8/31/2025", "2024", false}, // March and April are before it
        {22, "1/1/2024", "12/31/2024", "2023", false},
        {21, "9/1/2024", "8/31/2025", "2024", true},
    };
    for (const Periodo& p : casi) {
        SCOPED_TRACE(std::string(p.dal ? p.dal : "-") + " " + p.anno);
        esegui(p.dal ? QStringLiteral("update Stagione set DallaData = #%1#, AllaData = #%2#")
                           .arg(p.dal, p.al)
                     : QStringLiteral("update Stagione set DallaData = null, AllaData = null"));
        anno->setText(p.anno);
        const QString t = esporta(p.report, p.report == 21 ? marco : anna).testo;
        EXPECT_TRUE(t.contains(QStringLiteral("versate nell'anno %1").arg(p.anno))) << t.toStdString();
        EXPECT_EQ(t.contains("nella Stagione 2024/2025"), p.stagione) << t.toStdString();
    }
}

// A client without any course hour is listed but is no enrolment.
TEST_F(Report, ClientsByTimetableCountEnrolments) {
    esegui("delete from ClienteOrari where Cliente_ID = 2");
    const QString t = esporta(15, anna).testo;
    EXPECT_TRUE(t.contains("iscrizioni ai corsi: 1")) << t.toStdString();
    EXPECT_TRUE(t.contains("Clienti senza orario (1)"));
}

} // namespace
