// The database a new installation gets: db/schema.sql and the reference data of data/,
// made by the program's own creation (script splitter, translator, data loader) and checked
// against the tables and columns written out below as data, then queried as the programs
// query it.

#include "common/filterclause.h"
#include "db/error.h"
#include "db/script.h"
#include "support/rawsqlite.h"
#include "support/tempdb.h"
#include "support/values.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <gtest/gtest.h>

using testing_support::rows;
using testing_support::scalar;
using testsupport::RawSqlite;

namespace {

// Expected schema, "Name:Kind …" with the key first. Kinds: K auto-number key, T text,
// M memo, B yes/no, D date, C currency, I integer (LONG), F real (DOUBLE), P picture.
struct ExpectedTable {
    const char* name;
    const char* columns;
};

const ExpectedTable kExpected[] = {
    {"anagraficaclienti",
     "ID:K Cognome:T Nome:T NominativoDocumenti:T NominativoVisualizzato:T Via:T Numero_civico:T "
     "Cap:T Citta:T Provincia:T Nato_a:T Datanascita:D Sesso:T Codfiscale:T Tel:T Cell:T Fax:T "
     "E_mail:T Skype:T Tessera:T Immagine:T Note:M DataInserimento:D Annullato:B "
     "Certificato_med:B Scadenza_cert_medico:D Omaggi:B PrivacyFirmata:B "
     "DataScadenzaAbbonamento:D ScadenzaPagamento:D TipoPagamento_ID:I ModPagamento_Id:I "
     "Istruttore_ID:I GruppoSportivo_ID:I Stagione_ID:I Quietanza_Cognome:T Quietanza_Nome:T "
     "Quietanza_Datanascita:D Quietanza_Nato_a:T Quietanza_Sesso:T Quietanza_CodiceFiscale:T "
     "Quietanza_PIva:T Quietanza_Indirizzo:T Quietanza_Residente:T "
     "Quietanza_Residente_Numero_civico:T Quietanza_Residente_Prov:T Quietanza_Residente_cap:T"},
    {"anagraficapersonale",
     "ID:K Cognome:T Nome:T Via:T Numero_civico:T Cap:T Citta:T Provincia:T Nato_a:T "
     "Datanascita:D Sesso:T Codfiscale:T Tel:T Cell:T Fax:T E_mail:T Skype:T Tessera:T Note:M "
     "Mansione:T Dataavviorapporto:D Tariffa_ad_ora_euro:C Immagine:P Annullato:B "
     "PrivacyFirmata:B"},
    {"Occasionali",
     "ID:K Cognome:T Nome:T Note:M Progressivo:I DataInserimento:D DataInizio:D "
     "Scadenza_cert_medico:D Stagione_ID:I"},
    {"orari", "Id:K Specialita:T Corso:T Giorno:T OrarioInizio:T OrarioFine:T Istruttore_ID:I"},
    {"ClienteOrari", "ID:K Cliente_ID:I Orario_ID:I OrarioInizio:T OrarioFine:T"},
    {"Calendario",
     "Id:K DataInizio:D DataFine:D Personale_Id:I Personale:T Cliente_Id:I Cliente:T "
     "Specialita:T Note:M DurataOre:F DurataMinuti:I Concluso:B Storico:B"},
    {"Esercizi", "ID:K Descrizione:T ModalitaUso:M Immagine:P GruppoMuscolare_ID:I"},
    {"GruppiMuscolari", "Id:K Descrizione:T"},
    {"ClienteEsercizi",
     "ID:K Cliente_ID:I Esercizio_ID:I EsercizioDescrizione:T Serie:I Quantita:I Pausa:I Note:T"},
    {"Alimenti", "ID:K Descrizione:T E%:F ACQ:F PRO:F GRA:F CAR:F FIB:F KC:F"},
    {"Pasti", "ID:K Descrizione:T Ora:T"},
    {"ClienteDieta", "ID:K Cliente_ID:I ID_pasto:I ID_Alimento:I QTA_GRAMMI:F"},
    {"Patologie", "ID:K Descrizione:T Cura:M"},
    {"ClientePatologia", "ID:K Cliente_ID:I Patologia_ID:I DataInizio:D DataFine:D Note:M"},
    {"Pagamenti",
     "Id:K Cliente_ID:I Data:D Operazione:T Importo:C ModPagamento_Id:I Note:T"},
    {"Scadenze",
     "ID:K Cliente_ID:I DataScadenza:D Operazione:T Importo:C DataPagamento:D Beneficiario:T "
     "ModPagamento_Id:I"},
    {"ModPagamento", "id:K Descrizione:T"},
    {"TipoPagamenti", "Id:K Descrizione:T ScadenzaMesi:F"},
    {"OperazionePagamenti", "ID:K Descrizione:T Importo:C"},
    {"Stagione", "ID:K Descrizione:T DallaData:D AllaData:D"},
    {"GruppoSportivo", "ID:K Descrizione:T"},
    {"Comuni",
     "ID:K Comune:T Provincia:T Cap:T CODICE_F:T COD_ISTAT:T PrefNaz:T Latitudine:F "
     "Longitudine:F"},
    {"Indirizzi", "id_cap:K Comune_ID:I Frazione:T Indirizzo:T NumeroCivico:T Cap:T"},
    {"Avvisi", "ID:K Descrizione:T Testo:M"},
    {"TempAvvisi", "ID:K NomeComputer:T Testo:M"},
    {"TempAvvisiClienti", "ID:K NomeComputer:T Cliente_ID:I"},
    {"TempStampa",
     "ID:K NomeComputer:T NomeProgramma:T NomeReport:T NomeReportLandscape:T Query:M Filtro:B "
     "Parametro:T PresenzaTestata:B Setup:B Esportazione:B FileEsportazione:T "
     "TipoEsportazione:I QuerySottoreport1:M QuerySottoreport2:M QuerySottoreport3:M "
     "QuerySottoreport4:M QuerySottoreport5:M QuerySottoreport6:M QuerySottoreport7:M"},
    {"TipoEsportazioniCrystalReport", "ID:K Descrizione:T Numero:I Estensione:T Attivo:B"},
    {"QueryCreazioneStampe", "ID:K Descrizione:T Query:M"},
    {"DatiReportTestata", "ID:K NomeReport:T"},
    {"DatiReportRighe", "ID:K TestataReport_ID:I Campo:T Valore:M Ordinamento:I"},
    {"Banche", "Id:K Banca:T"},
    {"Ditta",
     "ID:K RagSoc:T Via:T Numero:T Comune:T Cap:T Provincia:T Tel:T Fax:T Cell:T Email:T Pec:T "
     "Internet:T PIva:T CodFisc:T CodiceSdi:T AltriDati:T ResponsabileDati:T Logo:P Id_Banca:I "
     "NomeDbOnline:T UtenteDbOnline:T PasswordDbOnline:T NomeHostOnline:T "
     "ServerAggiornamentoArticoliOnline:B"},
    {"opzioni",
     "ID:K PasswordAmministratore:T CartellaEsportazioneDocumenti:T TipoEsportazione:I "
     "EstensioneEsportazione:T StampaSchedeNoImmagine:B StampanteDefault:B EmailTestoDefault:M "
     "SmtpHost:T SmtpPorta:I SmtpUserName:T SmtpPassword:T SmtpMittenteEmail:T "
     "SmtpAutenticazioneServer:B SmtpCriptato:B SmtpCriptaggioTipo:I AzioneImportazioneVCard:I"},
    {"Griglie",
     "ID:K NomeComputer:T NomeGriglia:T CampiUtente:M CaptionUtente:M WidthUtente:M "
     "CampiPredefiniti:M CaptionPredefiniti:M WidthPredefiniti:M TotaleCampiPredefiniti:I "
     "CampoOrdinamento:T"},
    {"Personalizzazioni", "ID:K NomeTabella:T NomeCampo:T Tipo:T Valore:T"},
};

// Indexes the programs' filters rely on: table and first column.
const std::pair<const char*, const char*> kExpectedIndexes[] = {
    {"Griglie", "NomeComputer"},       {"TempStampa", "NomeComputer"},
    {"TempAvvisi", "NomeComputer"},    {"TempAvvisiClienti", "NomeComputer"},
    {"ClienteOrari", "Cliente_ID"},    {"ClienteEsercizi", "Cliente_ID"},
    {"ClienteDieta", "Cliente_ID"},    {"ClientePatologia", "Cliente_ID"},
    {"Pagamenti", "Cliente_ID"},       {"Scadenze", "Cliente_ID"},
    {"Indirizzi", "Comune_ID"},        {"DatiReportRighe", "TestataReport_ID"},
    {"Calendario", "Cliente_Id"},      {"Calendario", "Personale_Id"},
};


// The kinds as the connection's catalog reports them (currency is a real number there).
QString kindsOf(db::Connection& c, const QString& table) {
    QStringList out;
    for (const auto& col : c.catalog().columns(table)) {
        QChar k = u'T';
        switch (col.type) {
        case db::FieldType::Integer: k = col.autoNumber ? u'K' : u'I'; break;
        case db::FieldType::Bool: k = u'B'; break;
        case db::FieldType::Date: k = u'D'; break;
        case db::FieldType::Double: k = u'F'; break;
        case db::FieldType::Memo: k = u'M'; break;
        case db::FieldType::Blob: k = u'P'; break;
        default: break;
        }
        out << col.name + u':' + k;
    }
    return out.join(u' ');
}

QString sourceDir() { return qEnvironmentVariable("VASTREL_SOURCE_DIR"); }

class Schema : public ::testing::Test {
protected:
    testing_support::TempDatabase tdb;
    db::Connection& conn = tdb.connection();
    RawSqlite engine{tdb.path()};

    QList<QVariantList> engineRows(const QString& sql) { return engine.queryEngine(sql).rows; }
    // Column of PRAGMA table_info (1 name, 2 declared type) for every column of a table.
    QStringList pragma(const QString& table, int field) {
        QStringList out;
        for (const auto& r : engineRows(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table)))
            out << r[field].toString();
        return out;
    }
};

} // namespace

TEST_F(Schema, EveryTableWithItsColumnsInOrderAndOfTheirKind) {
    QSet<QString> expectedNames;
    for (const auto& t : kExpected) {
        const QString name = QString::fromUtf8(t.name);
        expectedNames.insert(name.toLower());
        EXPECT_EQ(kindsOf(conn, name), QString::fromUtf8(t.columns).replace(QStringLiteral(":C"), QStringLiteral(":F")))
            << t.name;
    }
    for (const auto& r : engineRows(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%'")))
        EXPECT_TRUE(expectedNames.contains(r[0].toString().toLower())) << "unexpected table " << r[0].toString().toStdString();
}

TEST_F(Schema, ComputerNamesHoldFifteenCharactersAndFilteredColumnsAreIndexed) {
    for (const char* t : {"Griglie", "TempStampa", "TempAvvisi", "TempAvvisiClienti"}) {
        const QStringList names = pragma(QString::fromUtf8(t), 1);
        EXPECT_EQ(pragma(QString::fromUtf8(t), 2).value(int(names.indexOf("NomeComputer"))), "TEXT(15)") << t;
    }
    for (const auto& [table, column] : kExpectedIndexes) {
        QStringList first;
        for (const auto& idx : engineRows(QStringLiteral("PRAGMA index_list(\"%1\")").arg(table)))
            first << engineRows(QStringLiteral("PRAGMA index_info(\"%1\")").arg(idx[1].toString())).value(0).value(2).toString().toLower();
        EXPECT_TRUE(first.contains(QString::fromUtf8(column).toLower())) << "no index on " << table << "(" << column << ")";
    }
}

// A new row gets the next key, reached however the key is spelt, and its yes/no columns
// start as No and never hold Null.
TEST_F(Schema, KeysAutoNumberAndYesNoColumnsDefaultToNo) {
    for (const auto& t : kExpected) {
        SCOPED_TRACE(t.name);
        const QString table = QString::fromUtf8(t.name);
        const auto cols = conn.catalog().columns(table);
        const QString key = cols.first().name;
        QString plain;
        QStringList bools;
        for (const auto& c : cols.mid(1)) {
            if (c.type == db::FieldType::Bool) bools << c.name;
            else if (plain.isEmpty()) plain = c.name;
        }
        const qlonglong before = scalar(conn, QStringLiteral("select max(%1) from %2").arg(key, table)).toLongLong();
        conn.execute(QStringLiteral("insert into %1 ([%2]) values (Null)").arg(table, plain));
        const qlonglong id = scalar(conn, QStringLiteral("SELECT @@IDENTITY as ID;")).toLongLong();
        EXPECT_GT(id, before);
        QStringList spellings{key.toUpper(), key.toLower()};
        if (key.compare(QStringLiteral("ID"), Qt::CaseInsensitive) == 0) spellings << QStringLiteral("Id");
        for (const QString& spelling : spellings)
            EXPECT_EQ(scalar(conn, QStringLiteral("select %1 from %2 where %1 = %3").arg(spelling, table).arg(id)).toLongLong(), id);
        for (const QString& b : bools) {
            EXPECT_EQ(scalar(conn, QStringLiteral("select count(*) from %1 where %2 = false and %3 = %4").arg(table, b, key).arg(id)).toInt(), 1) << b.toStdString();
            EXPECT_THROW(conn.execute(QStringLiteral("update %1 set %2 = Null").arg(table, b)), db::DatabaseError) << b.toStdString();
        }
    }
}

// Every file of data/ is loaded whole, each value stored as its column's type.
TEST_F(Schema, ReferenceDataIsLoadedWholeAndTyped) {
    const QDir data(sourceDir() + QStringLiteral("/data"));
    const QStringList files = data.entryList({QStringLiteral("*.tsv")}, QDir::Files);
    ASSERT_GE(files.size(), 8);
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        QFile f(data.filePath(file));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray text = f.readAll();
        EXPECT_FALSE(text.contains('\r')) << "lines end in LF only";
        const QString table = QFileInfo(file).completeBaseName();
        EXPECT_EQ(scalar(conn, QStringLiteral("select count(*) from ") + table).toInt(), text.count('\n') - 1);
        const QStringList names = pragma(table, 1), declared = pragma(table, 2);
        for (const auto& c : conn.catalog().columns(table)) {
            const QString col = u'"' + c.name + u'"';
            QString wrong; // a condition true for a badly stored value, '@' for the column
            switch (c.type) {
            case db::FieldType::Integer: wrong = QStringLiteral("typeof(@) NOT IN ('integer', 'null')"); break;
            case db::FieldType::Bool: wrong = QStringLiteral("@ NOT IN (0, 1) OR typeof(@) <> 'integer'"); break;
            case db::FieldType::Double: wrong = QStringLiteral("typeof(@) NOT IN ('integer', 'real', 'null')"); break;
            case db::FieldType::Date:
                wrong = QStringLiteral("@ NOT GLOB '[0-9][0-9][0-9][0-9]-[01][0-9]-[0-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-5][0-9]'");
                break;
            case db::FieldType::Blob: break;
            default: {
                const QString decl = declared.value(int(names.indexOf(c.name)));
                const int size = decl.startsWith(QStringLiteral("TEXT(")) ? decl.mid(5).chopped(1).toInt() : 1 << 30;
                wrong = QStringLiteral("typeof(@) NOT IN ('text', 'null') OR length(@) > %1 OR @ = ''").arg(size);
            }
            }
            if (wrong.isEmpty()) continue;
            const auto bad = engineRows(QStringLiteral("SELECT count(*) FROM \"%1\" WHERE ").arg(table) + wrong.replace(u'@', col));
            EXPECT_EQ(bad.value(0).value(0).toInt(), 0) << c.name.toStdString();
        }
    }
}

// The splitter of the schema script and of the maintenance console.
TEST(ScriptSplitter, CutsAtSemicolonsOutsideQuotesBracketsAndComments) {
    const struct {
        const char* script;
        bool keepTail;
        QStringList statements;
    } cases[] = {
        {"a; b;", true, {"a", "b"}},
        {"a; b", true, {"a", "b"}},
        {"a; b", false, {"a"}},
        {" ;  ;\n; a ;", true, {"a"}},
        {"-- x; y\nselect 1;\n  -- indented; too\nselect 2", true, {"select 1", "select 2"}},
        {"select ';--' ; select \"a;b\"", true, {"select ';--'", "select \"a;b\""}},
        {"select [a;b] from t; z", true, {"select [a;b] from t", "z"}},
        {"insert into t values ('it''s; ok');", true, {"insert into t values ('it''s; ok')"}},
        {"select 1 -- not a comment; here", true, {"select 1 -- not a comment", "here"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(db::splitScript(QString::fromUtf8(c.script), c.keepTail), c.statements) << c.script;
}

TEST_F(Schema, ReferenceDataAnswersTheProgramsQueries) {
    // Every Italian municipality, Rome's postcodes offered by the finder.
    const int comuni = scalar(conn, "select count(*) as N from Comuni").toInt();
    EXPECT_GT(comuni, 7800);
    EXPECT_LT(comuni, 8200);
    EXPECT_EQ(rows(conn, "select Provincia, Cap, CODICE_F, COD_ISTAT from Comuni where Comune = 'Roma'"),
              (QList<QVariantList>{{"RM", "00118", "H501", "058091"}}));
    EXPECT_GT(testing_support::count(conn, "SELECT Indirizzi.CAP,Indirizzi.Frazione FROM Indirizzi INNER JOIN Comuni ON Indirizzi.Comune_ID = Comuni.ID where Comuni.Comune = 'Roma'"), 50);
    // A single postcode: no street rows, the client record fills it in directly.
    EXPECT_EQ(testing_support::count(conn, "SELECT Indirizzi.CAP FROM Indirizzi INNER JOIN Comuni ON Indirizzi.Comune_ID = Comuni.ID where Comuni.Comune = 'Cefalù'"), 0);
    EXPECT_EQ(rows(conn, "select Provincia, Cap from Comuni where Comune = 'Cefalù'"), (QList<QVariantList>{{"PA", "90015"}}));
    // Apostrophes, doubled in the SQL text.
    EXPECT_EQ(scalar(conn, "select Provincia from Comuni where Comune = 'Sant''Agata de'' Goti'").toString(), "BN");
    EXPECT_GE(testing_support::count(conn, "select Comune from Comuni where Comune like 'Sant''Agata*'"), 9);
    // Every street names an existing municipality.
    EXPECT_EQ(scalar(conn, "select count(*) from Indirizzi LEFT JOIN Comuni ON Indirizzi.Comune_ID = Comuni.ID where Comuni.ID is null").toInt(), 0);
    // Meals in the order of the day.
    const auto pasti = rows(conn, "select Descrizione from Pasti order by Ora");
    ASSERT_GE(pasti.size(), 5);
    EXPECT_EQ(pasti.front().front(), "Colazione");
    EXPECT_EQ(pasti.back().front(), "Cena");
    // Export formats: four active ones with distinct numbers; the options row points at PDF.
    EXPECT_EQ(rows(conn, "select Estensione from TipoEsportazioniCrystalReport where Attivo=true Order by Estensione"),
              (QList<QVariantList>{{"csv"}, {"html"}, {"odt"}, {"pdf"}}));
    EXPECT_EQ(scalar(conn, "select count(*) from (select distinct Numero from TipoEsportazioniCrystalReport)").toInt(), 4);
    EXPECT_EQ(rows(conn, "SELECT opzioni.SmtpPorta, opzioni.SmtpCriptaggioTipo, opzioni.StampanteDefault, TipoEsportazioniCrystalReport.Estensione, opzioni.EstensioneEsportazione FROM opzioni LEFT JOIN TipoEsportazioniCrystalReport ON opzioni.TipoEsportazione = TipoEsportazioniCrystalReport.Numero"),
              (QList<QVariantList>{{587, 3, 0, "pdf", "pdf"}}));
    EXPECT_EQ(scalar(conn, "select count(*) from opzioni where PasswordAmministratore > ''").toInt(), 0);
    EXPECT_FALSE(scalar(conn, "select RagSoc from Ditta").toString().isEmpty());
}

TEST_F(Schema, ExportSourcesRunAsTheExportToolRunsThem) {
    // A little data so that every join has something to join.
    for (const char* s : {
             "insert into Stagione (Descrizione, DallaData, AllaData) values ('2024/2025', #9/1/2024#, #6/30/2025#)",
             "insert into GruppoSportivo (Descrizione) values ('Adulti')",
             "insert into TipoPagamenti (Descrizione, ScadenzaMesi) values ('Mensile', 1)",
             "insert into ModPagamento (Descrizione) values ('Contanti')",
             "insert into anagraficapersonale (Cognome, Nome, Annullato) values ('Bianchi', 'Anna', false)",
             "insert into anagraficaclienti (Cognome, Nome, NominativoDocumenti, NominativoVisualizzato, Annullato, Stagione_ID, GruppoSportivo_ID, TipoPagamento_ID, ModPagamento_Id, Istruttore_ID, Datanascita) values ('Rossi', 'Mario', 'Rossi Mario', 'Rossi Mario', false, 1, 1, 1, 1, 1, #3/15/1980#)",
             "insert into anagraficaclienti (Cognome, Nome, NominativoDocumenti, NominativoVisualizzato, Annullato) values ('Verdi', 'Luca', 'Verdi Luca', 'Verdi Luca', true)",
             "insert into Pagamenti (Cliente_ID, Data, Operazione, Importo, ModPagamento_Id) values (1, #1/10/2025#, 'Abbonamento', 40.5, 1)",
             "insert into Scadenze (Cliente_ID, DataScadenza, Operazione, Importo, ModPagamento_Id) values (1, #2/10/2025#, 'Rata', 40, 1)",
             "insert into Calendario (DataInizio, DataFine, Personale_Id, Personale, Cliente_Id, Cliente, Specialita, DurataOre, DurataMinuti, Concluso) values (#1/10/2025 10.00.00#, #1/10/2025 11.30.00#, 1, 'Bianchi Anna', 1, 'Rossi Mario', 'Pilates', 1.5, 90, true)",
             "insert into Occasionali (Cognome, Nome, Progressivo, DataInserimento, Stagione_ID) values ('Neri', 'Paolo', 1, #1/5/2025#, 1)",
             "insert into orari (Specialita, Corso, Giorno, OrarioInizio, OrarioFine, Istruttore_ID) values ('Pilates', 'Base', 'Lunedì', '18.00', '19.00', 1)",
             "insert into ClienteOrari (Cliente_ID, Orario_ID, OrarioInizio, OrarioFine) values (1, 1, '18.00', '19.00')",
         })
        conn.execute(QString::fromUtf8(s));

    QStringList names;
    for (const auto& src : rows(conn, "select Descrizione, Query from QueryCreazioneStampe order by Descrizione")) {
        const QString descr = src[0].toString(), query = src[1].toString();
        SCOPED_TRACE(descr.toStdString());
        names << descr;
        EXPECT_FALSE(query.trimmed().endsWith(u';'));
        QStringList columns;
        EXPECT_GE(rows(conn, QStringLiteral("Select * from (") + query + u')', &columns).size(), 1) << "no row on the sample data";
        EXPECT_EQ(QSet<QString>(columns.begin(), columns.end()).size(), columns.size()) << "a column twice";
        // The filter window's first offered column, its values, and a condition on them.
        const QStringList offered = common::filterableColumns(conn, query);
        ASSERT_FALSE(offered.isEmpty());
        const auto values = common::distinctValues(conn, query, offered.first(), common::FilterOptions::exportTool());
        EXPECT_FALSE(values.items.isEmpty());
        common::FilterClause clause(common::FilterOptions::exportTool());
        clause.add(offered.first(), values.type, values.items.first(), values.items.first(), true);
        EXPECT_GE(rows(conn, QStringLiteral("Select * from (") + query + u')' + clause.confirmedClause()).size(), 1);
    }
    for (const char* n : {"Clienti", "Personale", "Pagamenti", "Scadenziario", "Presenze", "Occasionali", "Orari corsi"})
        EXPECT_TRUE(names.contains(QString::fromUtf8(n))) << "missing export source " << n;
    // Cancelled clients are left out of the clients source.
    const QString clienti = scalar(conn, "select Query from QueryCreazioneStampe where Descrizione = 'Clienti'").toString();
    EXPECT_EQ(testing_support::count(conn, QStringLiteral("Select * from (") + clienti + QStringLiteral(") Where [Cognome] >='Verdi'")), 0);
}
