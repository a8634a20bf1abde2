#pragma once

#include "db/sql/translator.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <stdexcept>

struct sqlite3;

namespace testsupport {

// The one place where tests reach the engine directly, for what db::Connection does not
// show: the names SQLite gives result columns, declared types, indexes, storage classes.
// Opened with the sqlite3 C API (in memory unless a path is given) and with the
// connection's own collation and functions registered, so translated SQL runs as it does
// in the programs.
class RawSqlite : public db::sql::Catalog {
public:
    struct Error : std::runtime_error {
        using std::runtime_error::runtime_error;
    };
    struct Result {
        QStringList columns; // names as SQLite reports them
        QList<QVariantList> rows;
    };

    explicit RawSqlite(const QString& path = QStringLiteral(":memory:"));
    ~RawSqlite() override;
    RawSqlite(const RawSqlite&) = delete;
    RawSqlite& operator=(const RawSqlite&) = delete;

    // Engine SQL. Throws Error with SQLite's message.
    void execEngine(const QString& sql);
    Result queryEngine(const QString& sql) const;

    // Jet SQL through db::sql::translate with this database as the catalog.
    db::sql::Translation jet(const QString& jetSql);   // runs it, returns the translation
    Result jetQuery(const QString& jetSql);            // runs a select
    int changes() const;

    // db::sql::Catalog, from the live schema.
    QList<db::sql::CatalogColumn> columns(const QString& table) const override;
    QString tableName(const QString& table) const override;

    sqlite3* handle() const { return m_db; }

private:
    sqlite3* m_db = nullptr;
};

} // namespace testsupport
