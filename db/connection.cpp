#include "db/connection.h"

#include "db/collation.h"
#include "db/error.h"
#include "db/sqlite_util.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

struct Connection::Impl {
    QString connName;
    QString path;
    sqlite3* h = nullptr;
    SchemaCatalog catalog;
    int txDepth = 0;
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
        d->catalog.read(d->h);
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
    {
        QSqlDatabase qdb = QSqlDatabase::database(d->connName, false);
        qdb.close();
    }
    QSqlDatabase::removeDatabase(d->connName);
    d->connName.clear();
    d->path.clear();
}

bool Connection::isOpen() const { return d->h != nullptr; }
QString Connection::path() const { return d->path; }
sqlite3* Connection::handle() const { return d->h; }
const sql::Catalog& Connection::catalog() const { return d->catalog; }

void Connection::refreshCatalog() {
    if (d->h) d->catalog.read(d->h);
}

sql::Translation Connection::translate(const QString& jetSql) const {
    return sql::translate(jetSql, &d->catalog, sql::Dialect::SQLite);
}

static void requireOpen(sqlite3* h) {
    if (!h) throw DatabaseError(QStringLiteral("La connessione al database non è aperta"));
}

int Connection::execute(const QString& jetSql) {
    requireOpen(d->h);
    const sql::Translation t = translate(jetSql);
    if (t.kind == sql::StatementKind::Select || t.kind == sql::StatementKind::Identity) {
        // A select run as a command: run it and discard the rows, as a command object does.
        Statement st(d->h, t.sql);
        while (st.step()) {
        }
        return 0;
    }
    const int changed = executeEngine(t.sql);
    switch (t.kind) {
    case sql::StatementKind::CreateTable:
    case sql::StatementKind::AlterTable:
    case sql::StatementKind::DropTable:
        d->catalog.read(d->h);
        break;
    default:
        break;
    }
    return changed;
}

int Connection::executeEngine(const QString& engineSql, const QVariantList& params) {
    requireOpen(d->h);
    return withRetry([&] {
        Statement st(d->h, engineSql);
        for (int i = 0; i < params.size(); ++i) st.bind(i + 1, params[i]);
        while (st.step()) {
        }
        return sqlite3_changes(d->h);
    });
}

long long Connection::lastInsertId() const {
    requireOpen(d->h);
    return sqlite3_last_insert_rowid(d->h);
}

void Connection::begin() {
    requireOpen(d->h);
    if (d->txDepth++ == 0) {
        try {
            // IMMEDIATE takes the write lock now, so two writers queue on the busy timeout
            // instead of dead-locking when both upgrade a read lock.
            executeEngine(QStringLiteral("BEGIN IMMEDIATE"));
        } catch (...) {
            d->txDepth = 0;
            throw;
        }
    }
}

void Connection::commit() {
    requireOpen(d->h);
    if (d->txDepth == 0) return;
    if (--d->txDepth == 0) executeEngine(QStringLiteral("COMMIT"));
}

void Connection::rollback() {
    if (!d->h || d->txDepth == 0) return;
    d->txDepth = 0;
    executeEngine(QStringLiteral("ROLLBACK"));
}

bool Connection::inTransaction() const { return d->txDepth > 0; }

sql::Translation Connection::load(const QString& jetSql, RowStore& store) {
    requireOpen(d->h);
    sql::Translation t = translate(jetSql);
    if (t.kind != sql::StatementKind::Select && t.kind != sql::StatementKind::Identity)
        throw DatabaseError(QStringLiteral("L'istruzione non restituisce righe: %1").arg(jetSql));
    withRetry([&] {
        Statement st(d->h, t.sql);
        store = RowStore(st.columnInfos(t.columns, d->catalog));
        st.readAll(store);
        return 0;
    });
    return t;
}

void Connection::loadEngine(const QString& engineSql, const QVariantList& params,
                            RowStore& store) {
    requireOpen(d->h);
    withRetry([&] {
        Statement st(d->h, engineSql);
        for (int i = 0; i < params.size(); ++i) st.bind(i + 1, params[i]);
        store = RowStore(st.columnInfos({}, d->catalog));
        st.readAll(store);
        return 0;
    });
}

} // namespace db
