// vastrel-sql: the maintenance console. Runs Jet-dialect statements against the database
// the programs use (or --db) and prints what they return, one line per row.

#include "common/paths.h"
#include "db/connection.h"
#include "db/error.h"
#include "db/rowstore.h"
#include "db/script.h"
#include "db/sql/translator.h"
#include "db/values.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <cstdio>
#include <optional>
#include <unistd.h>

#ifndef VASTREL_VERSION
#define VASTREL_VERSION "0.1.0"
#endif

namespace {

const char* const Usage =
    "Uso: vastrel-sql [opzioni] [ISTRUZIONE ...]\n"
    "\n"
    "Esegue istruzioni SQL nel dialetto Jet sul database di Vastrel e ne stampa il risultato.\n"
    "Le istruzioni, separate da \";\", vengono dagli argomenti oppure, se non ce ne sono,\n"
    "dallo standard input. Tutte usano la stessa connessione (SELECT @@IDENTITY dopo una\n"
    "INSERT restituisce la sua chiave); alla prima istruzione che fallisce l'esecuzione si ferma.\n"
    "\n"
    "Il database è quello indicato da percorso.txt nella cartella di Vastrel (VASTREL_HOME),\n"
    "oppure archivio.db in quella cartella; vastrel-sql non crea né l'uno né l'altro.\n"
    "\n"
    "Una select stampa una riga di intestazione con i nomi delle colonne e una riga per record,\n"
    "valori separati da tabulazioni: date gg/mm/aaaa [hh:mm:ss], sì/no 1/0, numeri con il punto\n"
    "decimale, Null come testo vuoto; tabulazioni, a capo e \\ nei testi diventano \\t \\n \\\\.\n"
    "Le altre istruzioni stampano il numero di righe modificate.\n"
    "\n"
    "Opzioni:\n"
    "  --db PERCORSO   usa questo file di database\n"
    "  --create        crea un nuovo database (schema e dati di riferimento) e poi esegue\n"
    "  --translate     stampa l'SQL del motore invece di eseguire le istruzioni\n"
    "  --transaction   esegue tutte le istruzioni in una sola transazione: se una fallisce,\n"
    "                  nessuna resta applicata\n"
    "  --check         controlla l'integrità del database e dei riferimenti tra tabelle\n"
    "                  (con l'ordinamento di Vastrel); esce con 1 se trova problemi\n"
    "  --backup FILE   scrive in FILE una copia coerente del database, anche mentre i\n"
    "                  programmi lo usano (FILE viene sostituito solo a copia completa)\n"
    "  --help          mostra questo aiuto\n"
    "  --version       mostra la versione\n";

struct Options {
    QString databasePath; // empty: located as the programs do
    bool create = false;
    bool translate = false;
    bool transaction = false;
    bool check = false;
    QString backupPath;
    QStringList statements;
    bool statementsGiven = false;
};

void write(FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

// Keeps every row on one line, reversibly (the escapes of the data/*.tsv files).
QString escaped(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\\':
            out += QStringLiteral("\\\\");
            break;
        case u'\t':
            out += QStringLiteral("\\t");
            break;
        case u'\n':
            out += QStringLiteral("\\n");
            break;
        case u'\r':
            out += QStringLiteral("\\r");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString cellText(const db::RowStore& rows, int r, int c) {
    if (rows.isNull(r, c)) return QString();
    switch (rows.column(c).type) {
    case db::FieldType::Integer:
        return QString::number(rows.integer(r, c));
    case db::FieldType::Bool:
        return rows.integer(r, c) ? QStringLiteral("1") : QStringLiteral("0");
    case db::FieldType::Double:
        return db::numberLiteral(rows.real(r, c)); // '.' as decimal separator, as SQL writes it
    case db::FieldType::Date:
        return db::displayDate(rows.date(r, c));
    case db::FieldType::Text:
    case db::FieldType::Memo: {
        const auto t = rows.text(r, c);
        return escaped(QString::fromUtf8(t.data(), qsizetype(t.size())));
    }
    case db::FieldType::Blob: {
        const auto t = rows.text(r, c);
        return QString::fromLatin1(QByteArray(t.data(), qsizetype(t.size())).toBase64());
    }
    }
    return QString();
}

void printRows(const db::RowStore& rows) {
    QString out;
    for (int c = 0; c < rows.columnCount(); ++c) {
        if (c) out += u'\t';
        out += escaped(rows.column(c).name);
    }
    out += u'\n';
    for (int r = 0; r < rows.rowCount(); ++r) {
        if (rows.isDead(r)) continue;
        for (int c = 0; c < rows.columnCount(); ++c) {
            if (c) out += u'\t';
            out += cellText(rows, r, c);
        }
        out += u'\n';
    }
    write(stdout, out);
}

// Returns false (after a message) when the arguments make no sense.
bool parseArguments(const QStringList& args, Options& options, int& exitCode) {
    bool optionsEnded = false;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (optionsEnded || !a.startsWith(u"--")) {
            options.statements += db::splitScript(a);
            options.statementsGiven = true;
        } else if (a == u"--") {
            optionsEnded = true;
        } else if (a == u"--help") {
            write(stdout, QString::fromUtf8(Usage));
            exitCode = 0;
            return false;
        } else if (a == u"--version") {
            write(stdout, QStringLiteral("vastrel-sql " VASTREL_VERSION "\n"));
            exitCode = 0;
            return false;
        } else if (a == u"--create") {
            options.create = true;
        } else if (a == u"--translate") {
            options.translate = true;
        } else if (a == u"--transaction") {
            options.transaction = true;
        } else if (a == u"--check") {
            options.check = true;
        } else if (a == u"--backup" || a.startsWith(u"--backup=")) {
            if (a == u"--backup" && i + 1 == args.size()) {
                write(stderr, QStringLiteral("Manca il file di copia dopo --backup\n"));
                exitCode = 2;
                return false;
            }
            options.backupPath = a == u"--backup" ? args[++i] : a.mid(9);
        } else if (a == u"--db") {
            if (i + 1 == args.size()) {
                write(stderr, QStringLiteral("Manca il percorso del database dopo --db\n"));
                exitCode = 2;
                return false;
            }
            options.databasePath = args[++i];
        } else if (a.startsWith(u"--db=")) {
            options.databasePath = a.mid(5);
        } else {
            write(stderr, QStringLiteral("Opzione non valida: %1\n"
                                         "Usare --help per l'elenco delle opzioni.\n")
                              .arg(a));
            exitCode = 2;
            return false;
        }
    }
    return true;
}

void readStandardInput(Options& options) {
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly)) return;
    options.statements += db::splitScript(QString::fromUtf8(in.readAll()));
}

int run(Options& options) {
    if (options.databasePath.isEmpty())
        options.databasePath = common::locateDatabase(common::homeFolder(), false).path;
    if (options.create) db::Connection::createDatabase(options.databasePath);
    // `--create`, `--check` or `--backup` alone only do that; otherwise statements come
    // from standard input.
    const bool onlyUpkeep = options.check || !options.backupPath.isEmpty() ||
                            (options.create && isatty(STDIN_FILENO));
    if (!options.statementsGiven && !onlyUpkeep) readStandardInput(options);

    db::Connection connection;
    if (options.translate) {
        // Without a database, '*' stays unexpanded but everything else translates.
        if (QFileInfo(options.databasePath).isFile()) connection.open(options.databasePath);
        for (const QString& statement : options.statements) {
            const db::sql::Translation t = connection.isOpen()
                                               ? connection.translate(statement)
                                               : db::sql::translate(statement, nullptr);
            write(stdout, t.sql + QStringLiteral(";\n"));
        }
        return 0;
    }

    connection.open(options.databasePath);
    if (options.check) {
        const QStringList problems = connection.integrityProblems();
        if (!problems.isEmpty()) {
            write(stdout, problems.join(u'\n') + u'\n');
            write(stderr, QStringLiteral("Il database %1 ha %2 problemi\n")
                              .arg(connection.path())
                              .arg(problems.size()));
            return 1;
        }
        write(stdout, QStringLiteral("Il database %1 è integro\n").arg(connection.path()));
    }
    if (!options.backupPath.isEmpty()) {
        connection.backup(options.backupPath);
        write(stdout, QStringLiteral("Copia scritta in %1\n").arg(options.backupPath));
    }
    std::optional<db::Transaction> all;
    if (options.transaction) all.emplace(connection);
    for (const QString& statement : options.statements) {
        const db::sql::Translation t = connection.translate(statement);
        if (t.kind == db::sql::StatementKind::Select ||
            t.kind == db::sql::StatementKind::Identity) {
            db::RowStore rows;
            connection.load(statement, rows);
            printRows(rows);
        } else {
            write(stdout, QString::number(connection.execute(statement)) + u'\n');
        }
        std::fflush(stdout);
    }
    if (all) all->commit();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Options options;
    int exitCode = 0;
    if (!parseArguments(QCoreApplication::arguments(), options, exitCode)) return exitCode;
    try {
        return run(options);
    } catch (const std::exception& e) { // db::DatabaseError carries the engine's text
        std::fflush(stdout);
        write(stderr, QString::fromUtf8(e.what()) + u'\n');
        if (options.transaction && !options.translate)
            write(stderr, QStringLiteral("Transazione annullata: nessuna istruzione è stata applicata\n"));
        return 1;
    }
}
