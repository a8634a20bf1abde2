// The schema script db/schema.sql and the reference data of data/*.tsv.
//
// Every statement of the script goes through the Jet-dialect translator and runs on a real
// SQLite database in a temporary folder; the result is checked against the table and
// column list of every table, written out below as data. The reference files are read with a
// small reader of this test (the program's own loader lives in db/create.cpp) and checked
// against the created tables, then loaded and queried.

#include "db/fieldtype.h"
#include "db/sql/translator.h"
#include "db/sqlite_util.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <map>
#include <memory>
#include <optional>

namespace {

// ---------------------------------------------------------------------------------------
// Expected schema. Kinds: K auto-number key, T text, M memo, B yes/no, D date,
// C currency, I integer (LONG), F real (DOUBLE), P picture (LONGBINARY).
// ---------------------------------------------------------------------------------------

struct ExpectedTable {
    const char* name;
    const char* columns; // "Name:Kind Name:Kind …", the key first
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

struct ExpectedColumn {
    QString name;
    char kind;
};

std::vector<ExpectedColumn> expectedColumns(const ExpectedTable& t) {
    std::vector<ExpectedColumn> out;
    for (const QString& item : QString::fromUtf8(t.columns).split(u' ', Qt::SkipEmptyParts)) {
        const qsizetype colon = item.lastIndexOf(u':');
        out.push_back({item.left(colon), item.at(colon + 1).toLatin1()});
    }
    return out;
}

const ExpectedTable* expectedTable(const QString& name) {
    for (const auto& t : kExpected)
        if (name.compare(QString::fromUtf8(t.name), Qt::CaseInsensitive) == 0) return &t;
    return nullptr;
}

db::FieldType fieldTypeOfKind(char kind) {
    switch (kind) {
    case 'K': case 'I': return db::FieldType::Integer;
    case 'B': return db::FieldType::Bool;
    case 'D': return db::FieldType::Date;
    case 'C': case 'F': return db::FieldType::Double;
    case 'M': return db::FieldType::Memo;
    case 'P': return db::FieldType::Blob;
    default: return db::FieldType::Text;
    }
}

// ---------------------------------------------------------------------------------------
// Files
// ---------------------------------------------------------------------------------------

QString sourceDir() {
    const QByteArray env = qgetenv("VASTREL_SOURCE_DIR");
    if (!env.isEmpty()) return QString::fromLocal8Bit(env);
    // tests/db/schema_test.cpp → the source root two folders up
    return QFileInfo(QStringLiteral(__FILE__)).absoluteDir().absoluteFilePath(QStringLiteral("../.."));
}

QString readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return {};
    }
    return QString::fromUtf8(f.readAll());
}

// Splits a Jet script at ';' outside quotes and brackets; lines starting with "--" are
// dropped first; blank statements are skipped.
QStringList splitStatements(const QString& script) {
    QStringList kept;
    for (const QString& line : script.split(u'\n'))
        if (!line.trimmed().startsWith(QStringLiteral("--"))) kept << line;
    const QString text = kept.join(u'\n');
    QStringList out;
    QString current;
    QChar quote;
    bool bracket = false;
    for (const QChar c : text) {
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
        } else if (bracket) {
            if (c == u']') bracket = false;
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u'[') {
            bracket = true;
        } else if (c == u';') {
            if (!current.trimmed().isEmpty()) out << current.trimmed();
            current.clear();
            continue;
        }
        current += c;
    }
    if (!current.trimmed().isEmpty()) out << current.trimmed();
    return out;
}

// Declared sizes of TEXT(n) columns, read from the script: table → column → n.
QHash<QString, QHash<QString, int>> textSizes(const QStringList& statements) {
    QHash<QString, QHash<QString, int>> out;
    static const QRegularExpression create(QStringLiteral(R"(^\s*CREATE\s+TABLE\s+(\w+))"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression column(QStringLiteral(R"((\[[^\]]+\]|\w+)\s+TEXT\s*\((\d+)\))"),
                                           QRegularExpression::CaseInsensitiveOption);
    for (const QString& st : statements) {
        const auto m = create.match(st);
        if (!m.hasMatch()) continue;
        auto& cols = out[m.captured(1).toLower()];
        for (auto it = column.globalMatch(st); it.hasNext();) {
            const auto c = it.next();
            QString name = c.captured(1);
            if (name.startsWith(u'[')) name = name.mid(1, name.size() - 2);
            cols.insert(name.toLower(), c.captured(2).toInt());
        }
    }
    return out;
}

struct Tsv {
    QString table;
    QStringList header;
    std::vector<std::vector<std::optional<QString>>> rows; // nullopt = Null
    std::vector<int> lineNumbers;
};

std::optional<QString> unescapeField(const QString& field, bool* ok) {
    if (field.isEmpty()) return std::nullopt;
    QString out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        const QChar c = field[i];
        if (c != u'\\') {
            out += c;
            continue;
        }
        if (i + 1 >= field.size()) {
            *ok = false;
            return out;
        }
        const QChar n = field[++i];
        if (n == u't') out += u'\t';
        else if (n == u'n') out += u'\n';
        else if (n == u'\\') out += u'\\';
        else *ok = false;
    }
    return out;
}

Tsv readTsv(const QString& path) {
    Tsv t;
    t.table = QFileInfo(path).completeBaseName();
    const QString text = readFile(path);
    EXPECT_FALSE(text.contains(u'\r')) << path.toStdString() << ": lines must end in LF only";
    const QStringList lines = text.split(u'\n');
    if (lines.isEmpty()) return t;
    t.header = lines.first().split(u'\t');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines[i].isEmpty()) {
            EXPECT_EQ(i, lines.size() - 1) << path.toStdString() << ": empty line " << i + 1;
            continue;
        }
        const QStringList fields = lines[i].split(u'\t');
        EXPECT_EQ(fields.size(), t.header.size())
            << path.toStdString() << ", line " << i + 1 << ": field count";
        if (fields.size() != t.header.size()) continue;
        std::vector<std::optional<QString>> row;
        for (const QString& f : fields) {
            bool ok = true;
            row.push_back(unescapeField(f, &ok));
            EXPECT_TRUE(ok) << path.toStdString() << ", line " << i + 1 << ": bad escape in " << f.toStdString();
        }
        t.rows.push_back(std::move(row));
        t.lineNumbers.push_back(int(i + 1));
    }
    return t;
}

QStringList tsvFiles() {
    const QDir data(sourceDir() + QStringLiteral("/data"));
    QStringList out;
    for (const QString& f : data.entryList({QStringLiteral("*.tsv")}, QDir::Files, QDir::Name))
        out << data.absoluteFilePath(f);
    return out;
}

// ---------------------------------------------------------------------------------------
// A real SQLite database built from the script
// ---------------------------------------------------------------------------------------

struct ColumnInfo {
    QString name;
    QString declared;
    bool notNull = false;
    QString defaultValue; // as SQLite reports it; empty when none
    bool primaryKey = false;
};

class Database : public db::sql::Catalog {
public:
    explicit Database(const QString& path) {
        const QByteArray p = QFile::encodeName(path);
        if (sqlite3_open(p.constData(), &h) != SQLITE_OK) throw std::runtime_error("open failed");
        db::registerFunctions(h);
    }
    ~Database() override { sqlite3_close(h); }

    // Runs one engine statement; returns the error text, empty on success.
    QString exec(const QString& sql) {
        char* err = nullptr;
        const int rc = sqlite3_exec(h, sql.toUtf8().constData(), nullptr, nullptr, &err);
        QString msg;
        if (rc != SQLITE_OK) msg = QString::fromUtf8(err ? err : sqlite3_errmsg(h));
        sqlite3_free(err);
        return msg;
    }

    // Runs an engine query; rows as text (Null as an invalid QString marker "\x01NULL").
    std::vector<std::vector<QVariant>> query(const QString& sql, QString* error = nullptr,
                                             QStringList* names = nullptr) {
        std::vector<std::vector<QVariant>> rows;
        sqlite3_stmt* st = nullptr;
        const QByteArray utf8 = sql.toUtf8();
        if (sqlite3_prepare_v2(h, utf8.constData(), int(utf8.size()), &st, nullptr) != SQLITE_OK) {
            if (error) *error = QString::fromUtf8(sqlite3_errmsg(h));
            else ADD_FAILURE() << sqlite3_errmsg(h) << "\n  in: " << sql.toStdString();
            return rows;
        }
        const int n = sqlite3_column_count(st);
        if (names)
            for (int c = 0; c < n; ++c) *names << QString::fromUtf8(sqlite3_column_name(st, c));
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            std::vector<QVariant> row;
            for (int c = 0; c < n; ++c) {
                switch (sqlite3_column_type(st, c)) {
                case SQLITE_NULL: row.emplace_back(); break;
                case SQLITE_INTEGER: row.emplace_back(qlonglong(sqlite3_column_int64(st, c))); break;
                case SQLITE_FLOAT: row.emplace_back(sqlite3_column_double(st, c)); break;
                default:
                    row.emplace_back(QString::fromUtf8(
                        reinterpret_cast<const char*>(sqlite3_column_text(st, c))));
                }
            }
            rows.push_back(std::move(row));
        }
        if (rc != SQLITE_DONE) {
            if (error) *error = QString::fromUtf8(sqlite3_errmsg(h));
            else ADD_FAILURE() << sqlite3_errmsg(h) << "\n  in: " << sql.toStdString();
        }
        sqlite3_finalize(st);
        return rows;
    }

    // Translates a Jet statement (with this database as catalog) and runs it.
    std::vector<std::vector<QVariant>> jet(const QString& jetSql, QStringList* names = nullptr) {
        try {
            const auto tr = db::sql::translate(jetSql, this);
            return query(tr.sql, nullptr, names);
        } catch (const std::exception& e) {
            ADD_FAILURE() << "translation failed: " << e.what() << "\n  in: " << jetSql.toStdString();
            return {};
        }
    }

    QStringList tables() {
        QStringList out;
        for (const auto& r : query(QStringLiteral(
                 "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%'")))
            out << r[0].toString();
        return out;
    }

    std::vector<ColumnInfo> tableInfo(const QString& table) {
        std::vector<ColumnInfo> out;
        for (const auto& r : query(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table))) {
            ColumnInfo c;
            c.name = r[1].toString();
            c.declared = r[2].toString();
            c.notNull = r[3].toLongLong() != 0;
            c.defaultValue = r[4].isNull() ? QString() : r[4].toString();
            c.primaryKey = r[5].toLongLong() != 0;
            out.push_back(c);
        }
        return out;
    }

    QList<db::sql::CatalogColumn> columns(const QString& table) const override {
        QList<db::sql::CatalogColumn> out;
        const auto info = const_cast<Database*>(this)->tableInfo(table);
        for (const auto& c : info) {
            db::sql::CatalogColumn cc;
            cc.name = c.name;
            cc.type = db::sql::fieldTypeFromDeclared(c.declared);
            cc.autoNumber = c.primaryKey && cc.type == db::FieldType::Integer;
            out << cc;
        }
        return out;
    }

    // Loads a parsed TSV file with plain inserts (keys given are kept).
    void load(const Tsv& t) {
        QStringList cols, marks;
        for (const QString& c : t.header) {
            cols << QStringLiteral("\"%1\"").arg(c);
            marks << QStringLiteral("?");
        }
        const QByteArray sql = QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                                   .arg(t.table, cols.join(u','), marks.join(u','))
                                   .toUtf8();
        sqlite3_stmt* st = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(h, sql.constData(), -1, &st, nullptr), SQLITE_OK)
            << sqlite3_errmsg(h);
        exec(QStringLiteral("BEGIN"));
        for (size_t r = 0; r < t.rows.size(); ++r) {
            for (size_t f = 0; f < t.rows[r].size(); ++f) {
                if (t.rows[r][f]) {
                    const QByteArray v = t.rows[r][f]->toUtf8();
                    sqlite3_bind_text(st, int(f + 1), v.constData(), int(v.size()), SQLITE_TRANSIENT);
                } else {
                    sqlite3_bind_null(st, int(f + 1));
                }
            }
            EXPECT_EQ(sqlite3_step(st), SQLITE_DONE)
                << t.table.toStdString() << ".tsv line " << t.lineNumbers[r] << ": " << sqlite3_errmsg(h);
            sqlite3_reset(st);
        }
        exec(QStringLiteral("COMMIT"));
        sqlite3_finalize(st);
    }

    sqlite3* h = nullptr;
};

class SchemaTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        db = std::make_unique<Database>(dir.filePath(QStringLiteral("archivio.db")));
        statements = splitStatements(readFile(sourceDir() + QStringLiteral("/db/schema.sql")));
        ASSERT_FALSE(statements.isEmpty());
        for (const QString& st : statements) {
            QString sql;
            try {
                sql = db::sql::translate(st, nullptr).sql;
            } catch (const std::exception& e) {
                ADD_FAILURE() << "translation failed: " << e.what() << "\n  in: " << st.toStdString();
                continue;
            }
            const QString err = db->exec(sql);
            EXPECT_TRUE(err.isEmpty()) << err.toStdString() << "\n  Jet: " << st.toStdString()
                                       << "\n  SQLite: " << sql.toStdString();
        }
    }

    void loadAllData() {
        for (const QString& f : tsvFiles()) db->load(readTsv(f));
    }

    QTemporaryDir dir;
    std::unique_ptr<Database> db;
    QStringList statements;
};

QString keyOf(const ExpectedTable& t) { return expectedColumns(t).front().name; }

// ---------------------------------------------------------------------------------------
// Schema
// ---------------------------------------------------------------------------------------

TEST_F(SchemaTest, ScriptTranslatesAndCreatesEveryTable) {
    QSet<QString> actual;
    for (const QString& t : db->tables()) actual.insert(t.toLower());
    for (const auto& t : kExpected)
        EXPECT_TRUE(actual.contains(QString::fromUtf8(t.name).toLower())) << "missing table " << t.name;
    for (const QString& t : actual)
        EXPECT_NE(expectedTable(t), nullptr) << "table not in the expected list: " << t.toStdString();
}

TEST_F(SchemaTest, EveryColumnExistsWithItsNameAndKind) {
    for (const auto& t : kExpected) {
        const auto info = db->tableInfo(QString::fromUtf8(t.name));
        const auto expected = expectedColumns(t);
        ASSERT_FALSE(info.empty()) << t.name;
        QStringList actualNames;
        for (const auto& c : info) actualNames << c.name;
        QStringList expectedNames;
        for (const auto& c : expected) expectedNames << c.name;
        EXPECT_EQ(actualNames.join(u' ').toStdString(), expectedNames.join(u' ').toStdString())
            << "columns of " << t.name << " (names, spelling and order)";
        for (const auto& e : expected) {
            auto it = std::find_if(info.begin(), info.end(), [&](const ColumnInfo& c) {
                return c.name.compare(e.name, Qt::CaseInsensitive) == 0;
            });
            if (it == info.end()) continue;
            EXPECT_EQ(int(db::sql::fieldTypeFromDeclared(it->declared)), int(fieldTypeOfKind(e.kind)))
                << t.name << "." << e.name.toStdString() << " declared as "
                << it->declared.toStdString() << ", expected kind " << e.kind;
            EXPECT_EQ(it->primaryKey, e.kind == 'K') << t.name << "." << e.name.toStdString();
        }
    }
}

TEST_F(SchemaTest, PerWorkstationTablesHaveComputerNameOfFifteen) {
    const auto sizes = textSizes(statements);
    for (const char* t : {"Griglie", "TempStampa", "TempAvvisi", "TempAvvisiClienti"}) {
        const auto cols = sizes.value(QString::fromUtf8(t).toLower());
        EXPECT_EQ(cols.value(QStringLiteral("nomecomputer")), 15) << t;
    }
}

TEST_F(SchemaTest, FilteredColumnsAreIndexed) {
    for (const auto& [table, column] : kExpectedIndexes) {
        bool found = false;
        for (const auto& idx : db->query(QStringLiteral("PRAGMA index_list(\"%1\")").arg(QString::fromUtf8(table)))) {
            const auto cols = db->query(QStringLiteral("PRAGMA index_info(\"%1\")").arg(idx[1].toString()));
            if (!cols.empty() && cols.front()[2].toString().compare(QString::fromUtf8(column), Qt::CaseInsensitive) == 0)
                found = true;
        }
        EXPECT_TRUE(found) << "no index on " << table << "(" << column << ")";
    }
}

TEST_F(SchemaTest, KeyIsReachedAsIdIDAndidAndAutoNumbers) {
    for (const auto& t : kExpected) {
        const QString table = QString::fromUtf8(t.name);
        const QString key = keyOf(t);
        ASSERT_TRUE(db->exec(QStringLiteral("INSERT INTO \"%1\" DEFAULT VALUES").arg(table)).isEmpty()) << t.name;
        ASSERT_TRUE(db->exec(QStringLiteral("INSERT INTO \"%1\" DEFAULT VALUES").arg(table)).isEmpty()) << t.name;
        QStringList spellings{key.toUpper(), key.toLower()};
        if (key.compare(QStringLiteral("ID"), Qt::CaseInsensitive) == 0) spellings << QStringLiteral("Id");
        for (const QString& s : spellings) {
            const auto rows = db->jet(QStringLiteral("select %1 from %2 where %1 = 2").arg(s, table));
            ASSERT_EQ(rows.size(), 1u) << t.name << " by " << s.toStdString();
            EXPECT_EQ(rows[0][0].toLongLong(), 2) << t.name << " by " << s.toStdString();
            const auto qualified = db->jet(QStringLiteral("select %2.%1 from %2 order by %1").arg(s, table));
            EXPECT_EQ(qualified.size(), 2u) << t.name << " by " << s.toStdString();
        }
        // The key of a new row is the one "SELECT @@IDENTITY" reports.
        const auto id = db->jet(QStringLiteral("SELECT @@IDENTITY as ID;"));
        ASSERT_EQ(id.size(), 1u);
        EXPECT_EQ(id[0][0].toLongLong(), 2) << t.name;
    }
}

TEST_F(SchemaTest, YesNoColumnsDefaultToZeroAndAreNeverNull) {
    for (const auto& t : kExpected) {
        const QString table = QString::fromUtf8(t.name);
        QStringList bools;
        for (const auto& c : expectedColumns(t))
            if (c.kind == 'B') bools << c.name;
        if (bools.isEmpty()) continue;
        ASSERT_TRUE(db->exec(QStringLiteral("INSERT INTO \"%1\" DEFAULT VALUES").arg(table)).isEmpty()) << t.name;
        QStringList quoted;
        for (const QString& b : bools) quoted << QStringLiteral("\"%1\"").arg(b);
        const auto rows = db->query(QStringLiteral("SELECT %1 FROM \"%2\"").arg(quoted.join(u','), table));
        ASSERT_EQ(rows.size(), 1u);
        for (int i = 0; i < bools.size(); ++i) {
            EXPECT_FALSE(rows[0][size_t(i)].isNull()) << t.name << "." << bools[i].toStdString();
            EXPECT_EQ(rows[0][size_t(i)].toLongLong(), 0) << t.name << "." << bools[i].toStdString();
        }
        for (const auto& c : db->tableInfo(table))
            if (bools.contains(c.name)) {
                EXPECT_TRUE(c.notNull) << t.name << "." << c.name.toStdString();
                const QString err = db->exec(QStringLiteral("UPDATE \"%1\" SET \"%2\" = NULL").arg(table, c.name));
                EXPECT_FALSE(err.isEmpty()) << t.name << "." << c.name.toStdString() << " accepted Null";
            }
        // Jet's true/false compare with the stored 0/1.
        const auto f = db->jet(QStringLiteral("select count(*) from %1 where %2 = false").arg(table, bools.first()));
        ASSERT_EQ(f.size(), 1u);
        EXPECT_EQ(f[0][0].toLongLong(), 1) << t.name;
    }
}

// ---------------------------------------------------------------------------------------
// Reference data
// ---------------------------------------------------------------------------------------

TEST_F(SchemaTest, EveryTsvFileParsesAgainstItsTable) {
    const QStringList files = tsvFiles();
    ASSERT_FALSE(files.isEmpty());
    const auto sizes = textSizes(statements);
    static const QRegularExpression dateRe(QStringLiteral(R"(^\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}$)"));
    static const QRegularExpression intRe(QStringLiteral(R"(^-?\d+$)"));
    static const QRegularExpression realRe(QStringLiteral(R"(^-?\d+(\.\d+)?$)"));
    for (const QString& file : files) {
        const Tsv t = readTsv(file);
        const std::string f = QFileInfo(file).fileName().toStdString();
        const ExpectedTable* table = expectedTable(t.table);
        ASSERT_NE(table, nullptr) << f << " names no table of the schema";
        EXPECT_EQ(t.table, QString::fromUtf8(table->name)) << f << ": file name spelled as the table";
        const auto expected = expectedColumns(*table);
        std::vector<char> kinds;
        QSet<QString> seen;
        for (const QString& h : t.header) {
            EXPECT_FALSE(seen.contains(h.toLower())) << f << ": column " << h.toStdString() << " twice";
            seen.insert(h.toLower());
            auto it = std::find_if(expected.begin(), expected.end(), [&](const ExpectedColumn& c) {
                return c.name.compare(h, Qt::CaseInsensitive) == 0;
            });
            EXPECT_NE(it, expected.end()) << f << ": unknown column " << h.toStdString();
            kinds.push_back(it == expected.end() ? 'T' : it->kind);
        }
        const auto tableSizes = sizes.value(t.table.toLower());
        QSet<QString> keys;
        for (size_t r = 0; r < t.rows.size(); ++r) {
            for (size_t c = 0; c < t.rows[r].size(); ++c) {
                const auto& v = t.rows[r][c];
                const std::string where = f + " line " + std::to_string(t.lineNumbers[r]) + ", " +
                                          t.header[qsizetype(c)].toStdString();
                if (!v) {
                    EXPECT_NE(kinds[c], 'K') << where << ": empty key";
                    continue;
                }
                switch (kinds[c]) {
                case 'K':
                    EXPECT_TRUE(intRe.match(*v).hasMatch()) << where << ": " << v->toStdString();
                    EXPECT_FALSE(keys.contains(*v)) << where << ": duplicate key " << v->toStdString();
                    keys.insert(*v);
                    break;
                case 'I':
                    EXPECT_TRUE(intRe.match(*v).hasMatch()) << where << ": " << v->toStdString();
                    break;
                case 'B':
                    EXPECT_TRUE(*v == u"0" || *v == u"1") << where << ": " << v->toStdString();
                    break;
                case 'C': case 'F':
                    EXPECT_TRUE(realRe.match(*v).hasMatch()) << where << ": " << v->toStdString();
                    break;
                case 'D': {
                    EXPECT_TRUE(dateRe.match(*v).hasMatch()) << where << ": " << v->toStdString();
                    EXPECT_TRUE(QDateTime::fromString(*v, QStringLiteral("yyyy-MM-dd HH:mm:ss")).isValid())
                        << where << ": " << v->toStdString();
                    break;
                }
                case 'T': {
                    const int n = tableSizes.value(t.header[qsizetype(c)].toLower(), 255);
                    EXPECT_LE(v->size(), n) << where << ": longer than TEXT(" << n << ")";
                    EXPECT_FALSE(v->contains(u'\n')) << where << ": line break in a text column";
                    break;
                }
                default:
                    break;
                }
            }
        }
    }
}

TEST_F(SchemaTest, ReferenceDataLoadsAndAnswersTheProgramsQueries) {
    loadAllData();

    // Municipalities: every Italian one, with Rome's postcodes offered by the finder.
    const auto count = db->jet(QStringLiteral("select count(*) as N from Comuni"));
    ASSERT_EQ(count.size(), 1u);
    EXPECT_GT(count[0][0].toLongLong(), 7800);
    EXPECT_LT(count[0][0].toLongLong(), 8200);

    const auto roma = db->jet(QStringLiteral("select Provincia, Cap, CODICE_F, COD_ISTAT from Comuni where Comune = 'Roma'"));
    ASSERT_EQ(roma.size(), 1u);
    EXPECT_EQ(roma[0][0].toString(), QStringLiteral("RM"));
    EXPECT_EQ(roma[0][1].toString(), QStringLiteral("00118"));
    EXPECT_EQ(roma[0][2].toString(), QStringLiteral("H501"));
    EXPECT_EQ(roma[0][3].toString(), QStringLiteral("058091"));
    const auto romaCaps = db->jet(QStringLiteral(
        "SELECT Indirizzi.CAP,Indirizzi.Frazione FROM Indirizzi INNER JOIN Comuni ON Indirizzi.Comune_ID = Comuni.ID where Comuni.Comune = 'Roma'"));
    EXPECT_GT(romaCaps.size(), 50u);
    const auto finder = db->jet(QStringLiteral(
        "SELECT id_cap, Frazione, NumeroCivico, Indirizzi.Cap, Comune_ID, Indirizzo, Comuni.Comune FROM Indirizzi INNER JOIN Comuni ON Indirizzi.Comune_ID = Comuni.ID where Comune = 'Milano' order by Frazione, Indirizzo"));
    EXPECT_GT(finder.size(), 10u);

    // A single postcode: no street rows, so the client record fills it in directly.
    const auto cefalu = db->jet(QStringLiteral(
        "SELECT Indirizzi.CAP,Indirizzi.Frazione FROM Indirizzi INNER JOIN Comuni ON Indirizzi.Comune_ID = Comuni.ID where Comuni.Comune = 'Cefalù'"));
    EXPECT_EQ(cefalu.size(), 0u);
    const auto cefaluRow = db->jet(QStringLiteral("select Provincia, Cap from Comuni where Comune = 'Cefalù'"));
    ASSERT_EQ(cefaluRow.size(), 1u);
    EXPECT_EQ(cefaluRow[0][0].toString(), QStringLiteral("PA"));
    EXPECT_EQ(cefaluRow[0][1].toString(), QStringLiteral("90015"));

    // Apostrophes, doubled in the SQL text.
    const auto agata = db->jet(QStringLiteral("select Provincia from Comuni where Comune = 'Sant''Agata de'' Goti'"));
    ASSERT_EQ(agata.size(), 1u);
    EXPECT_EQ(agata[0][0].toString(), QStringLiteral("BN"));
    const auto agataLike = db->jet(QStringLiteral("select Comune from Comuni where Comune like 'Sant''Agata*'"));
    EXPECT_GE(agataLike.size(), 9u);

    // Every Indirizzi row names an existing municipality.
    const auto orphans = db->jet(QStringLiteral(
        "select count(*) as N from Indirizzi LEFT JOIN Comuni ON Indirizzi.Comune_ID = Comuni.ID where Comuni.ID is null"));
    ASSERT_EQ(orphans.size(), 1u);
    EXPECT_EQ(orphans[0][0].toLongLong(), 0);

    // Meals in the order of the day.
    const auto pasti = db->jet(QStringLiteral("select * from Pasti order by Ora"));
    ASSERT_GE(pasti.size(), 5u);
    EXPECT_EQ(pasti.front()[1].toString(), QStringLiteral("Colazione"));
    EXPECT_EQ(pasti.back()[1].toString(), QStringLiteral("Cena"));

    // Export formats: PDF, CSV, HTML, ODT, all active, distinct numbers; the option matches PDF.
    const auto formats = db->jet(QStringLiteral(
        "select Numero, Estensione from TipoEsportazioniCrystalReport where Attivo=true Order by Descrizione"));
    ASSERT_EQ(formats.size(), 4u);
    QSet<qlonglong> numbers;
    QSet<QString> extensions;
    for (const auto& r : formats) {
        numbers.insert(r[0].toLongLong());
        extensions.insert(r[1].toString());
    }
    EXPECT_EQ(numbers.size(), 4);
    EXPECT_EQ(extensions, (QSet<QString>{QStringLiteral("pdf"), QStringLiteral("csv"),
                                         QStringLiteral("html"), QStringLiteral("odt")}));
    const auto opzioni = db->jet(QStringLiteral(
        "SELECT opzioni.SmtpPorta, opzioni.SmtpCriptaggioTipo, opzioni.StampanteDefault, TipoEsportazioniCrystalReport.Estensione, opzioni.EstensioneEsportazione, opzioni.PasswordAmministratore FROM opzioni LEFT JOIN TipoEsportazioniCrystalReport ON opzioni.TipoEsportazione = TipoEsportazioniCrystalReport.Numero"));
    ASSERT_EQ(opzioni.size(), 1u);
    EXPECT_EQ(opzioni[0][0].toLongLong(), 587);
    EXPECT_EQ(opzioni[0][1].toLongLong(), 3);
    EXPECT_EQ(opzioni[0][2].toLongLong(), 0);
    EXPECT_EQ(opzioni[0][3].toString(), QStringLiteral("pdf"));
    EXPECT_EQ(opzioni[0][4].toString(), QStringLiteral("pdf"));
    EXPECT_TRUE(opzioni[0][5].isNull() || opzioni[0][5].toString().isEmpty());

    const auto ditta = db->jet(QStringLiteral("select RagSoc from Ditta"));
    ASSERT_EQ(ditta.size(), 1u);
    EXPECT_FALSE(ditta[0][0].toString().isEmpty());
}

TEST_F(SchemaTest, ExportSourcesRunAsTheExportToolRunsThem) {
    loadAllData();
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
        db->jet(QString::fromUtf8(s));

    const auto sources = db->jet(QStringLiteral("select * from QueryCreazioneStampe order by Descrizione"));
    ASSERT_GE(sources.size(), 7u);
    QSet<QString> names;
    for (const auto& src : sources) {
        const QString descr = src[1].toString();
        const QString query = src[2].toString();
        names.insert(descr);
        EXPECT_FALSE(query.trimmed().endsWith(u';')) << descr.toStdString();
        QStringList columns;
        const auto rows = db->jet(QStringLiteral("Select * from (") + query + QStringLiteral(")"), &columns);
        EXPECT_GE(rows.size(), 1u) << descr.toStdString() << " returns no row on the sample data";
        EXPECT_GE(columns.size(), 3) << descr.toStdString();
        QSet<QString> unique;
        for (const QString& c : columns) {
            EXPECT_FALSE(unique.contains(c.toLower())) << descr.toStdString() << ": column " << c.toStdString() << " twice";
            unique.insert(c.toLower());
        }
        // A filter as the export tool's filter window builds it, on the first offered column.
        QString offered;
        for (const QString& c : columns) {
            const QString u = c.toUpper();
            if (u != u"ID" && !u.contains(u"_ID") && !u.contains(u"ID_") && u != u"ANNULLATO") {
                offered = c;
                break;
            }
        }
        ASSERT_FALSE(offered.isEmpty()) << descr.toStdString();
        db->jet(QStringLiteral("select distinct [%1] from (%2) ORDER BY [%1]").arg(offered, query));
    }
    for (const char* n : {"Clienti", "Personale", "Pagamenti", "Scadenziario", "Presenze", "Occasionali", "Orari corsi"})
        EXPECT_TRUE(names.contains(QString::fromUtf8(n))) << "missing export source " << n;

    // Cancelled clients are left out of the clients source.
    for (const auto& src : sources)
        if (src[1].toString() == u"Clienti") {
            const auto rows = db->jet(QStringLiteral("Select * from (") + src[2].toString() + QStringLiteral(") Where [Cognome] >='Verdi'"));
            EXPECT_EQ(rows.size(), 0u);
        }
}

} // namespace
