#include "db/connection.h"

#include "db/collation.h"
#include "db/error.h"
#include "db/sqlite_util.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QThread>
#include <QUrl>
#include <QUuid>
#include <sqlite3.h>

namespace db {

namespace {

class SchemaCatalog : public sql::Catalog {
public:
    QList<sql::CatalogColumn> columns(const QString& table) const override {
        return m_tables.value(table.toLower());
    }
    QString tableName(const QString& table) const override {
        return m_names.value(table.toLower(), table);
    }
    void read(sqlite3* h) {
        m_tables.clear();
        m_names.clear();
        Statement tables(h, "SELECT name FROM sqlite_master WHERE type = 'table'");
        QStringList names;
        while (tables.step()) names << tables.text(0);
        for (const QString& name : names) {
            Statement info(h, QStringLiteral("PRAGMA table_info(\"%1\")").arg(name));
            QList<sql::CatalogColumn> cols;
            while (info.step()) {
                sql::CatalogColumn c;
                c.name = info.text(1);
                const QString declared = info.text(2);
                c.type = sql::fieldTypeFromDeclared(declared);
                c.autoNumber = sql::isAutoNumberDeclared(declared, info.integer(5) > 0);
                c.amount = declared.compare(QStringLiteral("CURRENCY"), Qt::CaseInsensitive) == 0;
                cols << c;
            }
            m_tables.insert(name.toLower(), cols);
            m_names.insert(name.toLower(), name);
        }
    }

private:
    QHash<QString, QList<sql::CatalogColumn>> m_tables;
    QHash<QString, QString> m_names;
};

QString describe(const QString& path) { return QDir::toNativeSeparators(path); }

} // namespace

static void requireOpen(sqlite3* h) {
    if (!h) throw DatabaseError(QStringLiteral("La connessione al database non è aperta"));
}

struct Connection::Impl {
    QString connName;
    QString path;
    sqlite3* h = nullptr;
    SchemaCatalog catalog;
    mutable QHash<QString, sql::Translation> translations;
    int txDepth = 0;
    bool rollbackOnly = false;
    int savepoints = 0;
    struct EndHandler {
        QPointer<QObject> owner;
        std::function<void(bool)> f;
    };
    std::vector<EndHandler> endHandlers;

    // Prepared statements by engine text: a row posted or a key read back again costs no
    // new compilation. Each is reset after use, so none holds a lock between calls.
    QHash<QString, std::shared_ptr<Statement>> prepared;

    void schemaChanged() {
        prepared.clear();
        translations.clear();
        // Another process writing at this moment is waited out like any other statement.
        withRetry([&] {
            catalog.read(h);
            return 0;
        });
    }
    Statement& prepare(const QString& engineSql) {
        auto it = prepared.find(engineSql);
        if (it == prepared.end()) {
            if (prepared.size() >= 64) prepared.clear();
            it = prepared.insert(engineSql, std::make_shared<Statement>(h, engineSql));
        }
        return **it;
    }
    struct ResetAfterUse {
        Statement& st;
        ~ResetAfterUse() { st.reset(); }
    };
    int run(const QString& engineSql, const QVariantList& params = {}) {
        return withRetry([&] {
            Statement& st = prepare(engineSql);
            ResetAfterUse reset{st};
            for (int i = 0; i < params.size(); ++i) st.bind(i + 1, params[i]);
            while (st.step()) {
            }
            return sqlite3_changes(h);
        });
    }
    // The outermost transaction is over: tell whoever asked, once.
    void finish(bool committed) {
        txDepth = 0;
        rollbackOnly = false;
        savepoints = 0;
        std::vector<EndHandler> handlers;
        handlers.swap(endHandlers);
        for (const EndHandler& e : handlers) {
            if (!e.owner) continue;
            try {
                e.f(committed);
            } catch (const DatabaseError&) {
                // Bringing a window back in line after a failure must not hide the failure.
            }
        }
    }
};

Connection::Connection() : d(std::make_unique<Impl>()) {}

Connection::~Connection() {
    try {
        close();
    } catch (...) {
    }
}

void Connection::open(const QString& path, const Options& options) {
    close();
    const QFileInfo fi(path);
    if (path.trimmed().isEmpty())
        throw DatabaseError(QStringLiteral("Nessun database indicato"));
    if (fi.isDir())
        throw DatabaseError(
            QStringLiteral("%1 è una cartella, non un file di database").arg(describe(path)));
    if (!fi.exists()) {
        if (!options.create)
            throw DatabaseError(QStringLiteral("Il database %1 non esiste").arg(describe(path)));
        createDatabase(path);
    }
    // The engine takes an empty file for an empty database and would write a schema into
    // it; for the programs it is a damaged or mistaken file.
    if (!options.anyDatabase && QFileInfo(fi.absoluteFilePath()).size() == 0)
        throw DatabaseError(
            QStringLiteral("Il file %1 non è un database di Vastrel: è vuoto").arg(describe(fi.absoluteFilePath())));

    d->connName = QStringLiteral("vastrel-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    {
        QSqlDatabase qdb = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), d->connName);
        // mode=rw: never create a file in place of a missing database.
        const QString uri = QString::fromUtf8(QUrl::fromLocalFile(fi.absoluteFilePath()).toEncoded()) +
                            QStringLiteral("?mode=rw");
        qdb.setDatabaseName(uri);
        qdb.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1")
                                  .arg(options.busyTimeoutMs));
        if (!qdb.open()) {
            const QString err = qdb.lastError().text();
            qdb = QSqlDatabase();
            QSqlDatabase::removeDatabase(d->connName);
            throw DatabaseError(
                QStringLiteral("Impossibile aprire il database %1: %2").arg(describe(path), err));
        }
        const QVariant hv = qdb.driver()->handle();
        d->h = *static_cast<sqlite3* const*>(hv.constData());
    }
    d->path = fi.absoluteFilePath();
    try {
        if (sqlite3_db_readonly(d->h, "main") == 1)
            throw DatabaseError(
                QStringLiteral("Il database %1 è in sola lettura").arg(describe(path)));
        registerFunctions(d->h);
        sqlite3_busy_timeout(d->h, options.busyTimeoutMs);
        // Reading the schema also proves the file is a database and not locked for good.
        d->schemaChanged();
        if (!options.anyDatabase) {
            QStringList missing;
            for (const QString& table : systemTables())
                if (d->catalog.columns(table).isEmpty()) missing << table;
            if (!missing.isEmpty()) {
                QString shown = missing.mid(0, 5).join(QStringLiteral(", "));
                if (missing.size() > 5) shown += QStringLiteral(" e altre %1").arg(missing.size() - 5);
                throw DatabaseError(
                    QStringLiteral("Il file %1 non è un database di Vastrel: mancano le tabelle %2")
                        .arg(describe(fi.absoluteFilePath()), shown));
            }
        }
    } catch (const DatabaseError& e) {
        close();
        if (e.text().contains(describe(path))) throw;
        throw DatabaseError(QStringLiteral("Impossibile aprire il database %1: %2")
                                .arg(describe(path), e.text()));
    }
}

void Connection::close() {
    if (d->connName.isEmpty()) return;
    d->h = nullptr;
    d->txDepth = 0;
    d->rollbackOnly = false;
    d->endHandlers.clear();
    d->translations.clear();
    d->prepared.clear(); // finalized before the engine closes the file
    {
        QSqlDatabase qdb = QSqlDatabase::database(d->connName, false);
        qdb.close();
    }
    QSqlDatabase::removeDatabase(d->connName);
    d->connName.clear();
    d->path.clear();
}

bool Connection::isOpen() const { return d->h != nullptr; }
sqlite3* Connection::engine() const {
    requireOpen(d->h);
    return d->h;
}
QString Connection::path() const { return d->path; }
const sql::Catalog& Connection::catalog() const { return d->catalog; }

void Connection::refreshCatalog() {
    if (d->h) d->schemaChanged();
}

sql::Translation Connection::translate(const QString& jetSql) const {
    const auto it = d->translations.constFind(jetSql);
    if (it != d->translations.constEnd()) return *it;
    sql::Translation t = sql::translate(jetSql, &d->catalog, sql::Dialect::SQLite);
    if (d->translations.size() > 512) d->translations.clear();
    d->translations.insert(jetSql, t);
    return t;
}

static void checkParameters(const sql::Translation& t, const QVariantList& params) {
    if (t.parameters != params.size())
        throw DatabaseError(QStringLiteral("L'istruzione ha %1 parametri, ne sono stati dati %2")
                                .arg(t.parameters)
                                .arg(params.size()));
}

int Connection::execute(const QString& jetSql, const QVariantList& params) {
    requireOpen(d->h);
    const sql::Translation t = translate(jetSql);
    checkParameters(t, params);
    const int changed = d->run(t.sql, params);
    switch (t.kind) {
    case sql::StatementKind::Select:
    case sql::StatementKind::Identity:
        return 0; // a select run as a command: rows discarded, as a command object does
    case sql::StatementKind::CreateTable:
    case sql::StatementKind::AlterTable:
    case sql::StatementKind::DropTable:
    case sql::StatementKind::CreateIndex:
    case sql::StatementKind::DropIndex:
        d->schemaChanged();
        break;
    default:
        break;
    }
    return changed;
}

long long Connection::lastInsertId() const {
    requireOpen(d->h);
    return sqlite3_last_insert_rowid(d->h);
}

static QString doomedText() {
    return QStringLiteral("Le modifiche sono state annullate: un'operazione della transazione "
                          "non è riuscita");
}

void Connection::begin() {
    requireOpen(d->h);
    if (d->txDepth == 0) {
        // IMMEDIATE takes the write lock now, so two writers queue on the busy timeout
        // instead of dead-locking when both upgrade a read lock.
        d->run(QStringLiteral("BEGIN IMMEDIATE"));
        d->rollbackOnly = false;
    }
    ++d->txDepth;
}

void Connection::commit() {
    requireOpen(d->h);
    if (d->txDepth == 0)
        throw DatabaseError(QStringLiteral("Nessuna transazione da confermare"));
    if (d->txDepth > 1) {
        --d->txDepth;
        if (d->rollbackOnly) throw DatabaseError(doomedText());
        return;
    }
    if (d->rollbackOnly) {
        try {
            d->run(QStringLiteral("ROLLBACK"));
        } catch (const DatabaseError&) {
        }
        d->finish(false);
        throw DatabaseError(doomedText());
    }
    try {
        d->run(QStringLiteral("COMMIT"));
    } catch (const DatabaseError&) {
        if (!sqlite3_get_autocommit(d->h)) {
            try {
                d->run(QStringLiteral("ROLLBACK"));
            } catch (const DatabaseError&) {
            }
        }
        d->finish(false);
        throw;
    }
    d->finish(true);
}

void Connection::rollback() {
    if (!d->h || d->txDepth == 0) return;
    if (d->txDepth > 1) {
        --d->txDepth;
        d->rollbackOnly = true;
        return;
    }
    try {
        d->run(QStringLiteral("ROLLBACK"));
    } catch (const DatabaseError&) {
        d->finish(false);
        throw;
    }
    d->finish(false);
}

bool Connection::inTransaction() const { return d->txDepth > 0; }
bool Connection::rollbackOnly() const { return d->rollbackOnly; }

void Connection::onTransactionEnd(QObject* owner, std::function<void(bool)> f) {
    if (d->txDepth == 0) return;
    for (const Impl::EndHandler& e : d->endHandlers)
        if (e.owner == owner) return;
    d->endHandlers.push_back({owner, std::move(f)});
}

sql::Translation Connection::load(const QString& jetSql, const QVariantList& params,
                                  RowStore& store) {
    requireOpen(d->h);
    sql::Translation t = translate(jetSql);
    if (t.kind != sql::StatementKind::Select && t.kind != sql::StatementKind::Identity)
        throw DatabaseError(QStringLiteral("L'istruzione non restituisce righe: %1").arg(jetSql));
    checkParameters(t, params);
    withRetry([&] {
        Statement& st = d->prepare(t.sql);
        Impl::ResetAfterUse reset{st};
        for (int i = 0; i < params.size(); ++i) st.bind(i + 1, params[i]);
        store = RowStore(st.columnInfos(t.columns, d->catalog));
        st.readAll(store);
        return 0;
    });
    return t;
}

// --- Transaction, Savepoint -------------------------------------------------------------

Transaction::~Transaction() {
    if (m_done) return;
    try {
        m_c.rollback();
    } catch (...) {
    }
}

void Transaction::commit() {
    // The connection settles its own count even when the commit throws: the scope must not
    // roll back a second time.
    m_done = true;
    m_c.commit();
}

Savepoint::Savepoint(Connection& c) : m_c(c) {
    requireOpen(c.d->h);
    m_c.begin();
    m_name = QStringLiteral("vastrel_sp%1").arg(++m_c.d->savepoints);
    try {
        m_c.d->run(QStringLiteral("SAVEPOINT ") + m_name);
    } catch (...) {
        m_c.rollback();
        throw;
    }
}

Savepoint::~Savepoint() {
    if (m_done) return;
    try {
        m_c.d->run(QStringLiteral("ROLLBACK TO ") + m_name);
        m_c.d->run(QStringLiteral("RELEASE ") + m_name);
        // The part is undone; what ran before it still stands.
        m_c.commit();
    } catch (...) {
        try {
            m_c.rollback();
        } catch (...) {
        }
    }
}

void Savepoint::release() {
    m_done = true;
    try {
        m_c.d->run(QStringLiteral("RELEASE ") + m_name);
    } catch (...) {
        m_c.rollback();
        throw;
    }
    m_c.commit();
}

// --- Cursor --------------------------------------------------------------------------------

struct Cursor::Impl {
    std::unique_ptr<Statement> st;
    std::vector<ColumnInfo> columns;
    bool firstPending = false; // columnInfos already stepped onto the first row
};

Cursor::Cursor(Connection& c, const QString& jetSql, const QVariantList& params)
    : d(std::make_unique<Impl>()) {
    requireOpen(c.d->h);
    const sql::Translation t = c.translate(jetSql);
    if (t.kind != sql::StatementKind::Select)
        throw DatabaseError(QStringLiteral("L'istruzione non restituisce righe: %1").arg(jetSql));
    checkParameters(t, params);
    withRetry([&] {
        d->st = std::make_unique<Statement>(c.d->h, t.sql);
        for (int i = 0; i < params.size(); ++i) d->st->bind(i + 1, params[i]);
        d->columns = d->st->columnInfos(t.columns, c.d->catalog);
        d->firstPending = d->st->stepped();
        return 0;
    });
}

Cursor::~Cursor() = default;

const std::vector<ColumnInfo>& Cursor::columns() const { return d->columns; }

bool Cursor::next() {
    if (d->firstPending) {
        d->firstPending = false;
        return d->st->hasRow();
    }
    return d->st->step();
}

bool Cursor::isNull(int c) const { return d->st->isNull(c); }
long long Cursor::integer(int c) const { return d->st->integer(c); }
double Cursor::real(int c) const { return d->st->real(c); }
std::string_view Cursor::text(int c) const { return d->st->bytes(c); }

} // namespace db
