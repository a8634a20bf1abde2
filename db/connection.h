#pragma once

#include "db/rowstore.h"
#include "db/sql/translator.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <string_view>

struct sqlite3;

namespace db {

// The one connection of a program: an SQLite file opened through QtSql, with the system's
// collation, `like` and helper functions registered, a busy timeout, and a catalog of the
// schema for the translator. Every SQL text it receives is in the Jet dialect and reaches
// the engine through the translator; no engine handle leaves the database layer.
class Connection {
public:
    struct Options {
        bool create = false;     // create the file with schema and reference data when missing
        int busyTimeoutMs = 8000;
        // Accept any SQLite file, also an empty one (tests, converters). Otherwise a file
        // without the system's tables is refused before anything is written into it.
        bool anyDatabase = false;
    };

    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Throws DatabaseError naming the file when it is missing (and create is false), a
    // directory, unreadable, locked beyond the timeout, not a database, or (unless
    // anyDatabase) empty or lacking the system's tables.
    void open(const QString& path, const Options& options);
    void open(const QString& path) { open(path, Options{}); }
    void close();
    bool isOpen() const;
    QString path() const;

    // Translations are kept per text: the datasets post the same few statements over and
    // over. The cache is dropped whenever the schema changes.
    sql::Translation translate(const QString& jetSql) const;

    // Runs a statement that returns no rows; `params` bind its '?' markers in order.
    // Returns the number of rows it changed.
    int execute(const QString& jetSql, const QVariantList& params = {});
    // Runs a select (or SELECT @@IDENTITY) and loads every row into `store`, whose columns
    // are set from the translation. Returns the translation.
    sql::Translation load(const QString& jetSql, RowStore& store) { return load(jetSql, {}, store); }
    sql::Translation load(const QString& jetSql, const QVariantList& params, RowStore& store);

    // Key of the last row this connection inserted (@@IDENTITY).
    long long lastInsertId() const;

    // Transactions nest: only the outermost begin/commit reach the engine. A rollback at an
    // inner level marks the whole transaction rollback-only: the statements that follow
    // still run inside it, and the outermost commit rolls everything back and throws.
    // Prefer the Transaction scope below to calling these directly.
    void begin();
    void commit();
    void rollback();
    bool inTransaction() const;
    bool rollbackOnly() const;
    // `f` runs once when the outermost transaction ends, with true when it was committed.
    // One registration per owner and transaction; an owner destroyed meanwhile is skipped.
    void onTransactionEnd(QObject* owner, std::function<void(bool committed)> f);

    const sql::Catalog& catalog() const;
    void refreshCatalog(); // after DDL

    // A new database file with the schema script and the reference data, both built into
    // the library (db/schema.sql, data/*.tsv). Throws if the file exists.
    static void createDatabase(const QString& path);
    // Tables every database of the system has (those of the built-in schema).
    static const QStringList& systemTables();

    // The engine's integrity check and foreign-key check, run with the system's collation:
    // one line per problem, empty when the file is sound.
    QStringList integrityProblems();
    // Writes a consistent copy of the open database to `target` (replaced when present)
    // while other connections go on reading and writing. The copy appears only complete.
    void backup(const QString& target);

    struct Impl;

private:
    friend class Cursor;
    friend class Savepoint;
    sqlite3* engine() const; // throws when closed
    std::unique_ptr<Impl> d;
};

// A block that runs in one transaction: commit() makes it count; leaving the scope in any
// other way (an exception, an early return) rolls it back. Inside another transaction it
// joins it, and its rollback dooms the outer one.
class Transaction {
public:
    explicit Transaction(Connection& c) : m_c(c) { m_c.begin(); }
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Connection& m_c;
    bool m_done = false;
};

// A partial undo inside a transaction: release() keeps what ran since the savepoint, leaving
// the scope otherwise undoes just that part and the transaction goes on. Opens a
// transaction of its own when none is running.
class Savepoint {
public:
    explicit Savepoint(Connection& c);
    ~Savepoint();
    Savepoint(const Savepoint&) = delete;
    Savepoint& operator=(const Savepoint&) = delete;
    void release();

private:
    Connection& m_c;
    QString m_name;
    bool m_done = false;
};

// The rows of a select read one at a time, for exports of any size: nothing is kept but
// the current row. Texts are valid until the next call of next().
class Cursor {
public:
    Cursor(Connection& c, const QString& jetSql, const QVariantList& params = {});
    ~Cursor();
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;

    const std::vector<ColumnInfo>& columns() const;
    bool next(); // false after the last row
    bool isNull(int c) const;
    long long integer(int c) const;
    double real(int c) const;
    std::string_view text(int c) const; // text, memo and blob bytes

    struct Impl;

private:
    std::unique_ptr<Impl> d;
};

// The command object of a data module: a statement text executed once (`Comando`).
class Command {
public:
    explicit Command(Connection& c) : m_c(c) {}
    void setText(const QString& jetSql) { m_text = jetSql; }
    const QString& text() const { return m_text; }
    int execute() { return m_c.execute(m_text); }

private:
    Connection& m_c;
    QString m_text;
};

} // namespace db
