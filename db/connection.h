#pragma once

#include "db/rowstore.h"
#include "db/sql/translator.h"

#include <QString>
#include <QVariant>
#include <memory>

struct sqlite3;

namespace db {

// The one connection of a program: an SQLite file opened through QtSql, with the system's
// collation, `like` and helper functions registered, a busy timeout, and a catalog of the
// schema for the translator. Every SQL text it receives is in the Jet dialect.
class Connection {
public:
    struct Options {
        bool create = false;     // create the file with schema and reference data when missing
        int busyTimeoutMs = 8000;
    };

    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Throws DatabaseError naming the file when it is missing (and create is false), a
    // directory, unreadable, locked beyond the timeout, or not a database.
    void open(const QString& path, const Options& options);
    void open(const QString& path) { open(path, Options{}); }
    void close();
    bool isOpen() const;
    QString path() const;

    sql::Translation translate(const QString& jetSql) const;

    // Runs a statement that returns no rows; returns the number of rows it changed.
    int execute(const QString& jetSql);
    // Runs a select (or SELECT @@IDENTITY) and loads every row into `store`, whose columns
    // are set from the translation. Returns the translation.
    sql::Translation load(const QString& jetSql, RowStore& store);

    // Engine-dialect statement with positional parameters ('?'); used by the datasets to
    // post rows. Returns rows changed.
    int executeEngine(const QString& engineSql, const QVariantList& params = {});

    // Engine-dialect select with positional parameters, loaded like load().
    void loadEngine(const QString& engineSql, const QVariantList& params, RowStore& store);

    // Key of the last row this connection inserted (@@IDENTITY).
    long long lastInsertId() const;

    void begin();
    void commit();
    void rollback();
    bool inTransaction() const;

    const sql::Catalog& catalog() const;
    void refreshCatalog(); // after DDL
    sqlite3* handle() const;

    // A new database file with the schema script and the reference data, both built into
    // the library (db/schema.sql, data/*.tsv). Throws if the file exists.
    static void createDatabase(const QString& path);

    struct Impl;

private:
    std::unique_ptr<Impl> d;
};

// Runs a block in one transaction: commits on commit(), rolls back when destroyed before.
class Transaction {
public:
    explicit Transaction(Connection& c) : m_c(c) { m_c.begin(); }
    ~Transaction() {
        if (!m_done) {
            try { m_c.rollback(); } catch (...) {}
        }
    }
    void commit() { m_c.commit(); m_done = true; }

private:
    Connection& m_c;
    bool m_done = false;
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
