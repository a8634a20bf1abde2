#include "support/rawsqlite.h"

#include "db/sqlite_util.h"

#include <sqlite3.h>

namespace testsupport {

namespace {

QVariant valueOf(sqlite3_stmt* st, int i) {
    switch (sqlite3_column_type(st, i)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(st, i)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(st, i));
    case SQLITE_NULL:
        return QVariant();
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(st, i)),
                                   sqlite3_column_bytes(st, i)));
    default:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)),
                                          sqlite3_column_bytes(st, i)));
    }
}

} // namespace

RawSqlite::RawSqlite(const QString& path) {
    if (sqlite3_open(path.toUtf8().constData(), &m_db) != SQLITE_OK)
        throw Error("cannot open database");
    db::registerFunctions(m_db);
}

RawSqlite::~RawSqlite() { sqlite3_close(m_db); }

void RawSqlite::execEngine(const QString& sql) { queryEngine(sql); }

RawSqlite::Result RawSqlite::queryEngine(const QString& sql) {
    sqlite3_stmt* st = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &st, nullptr) != SQLITE_OK)
        throw Error(std::string(sqlite3_errmsg(m_db)) + " in: " + utf8.toStdString());
    Result r;
    const int n = sqlite3_column_count(st);
    for (int i = 0; i < n; ++i)
        r.columns << QString::fromUtf8(sqlite3_column_name(st, i));
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        QVariantList row;
        for (int i = 0; i < n; ++i)
            row << valueOf(st, i);
        r.rows << row;
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE)
        throw Error(std::string(sqlite3_errmsg(m_db)) + " in: " + utf8.toStdString());
    return r;
}

db::sql::Translation RawSqlite::jet(const QString& jetSql) {
    db::sql::Translation t = db::sql::translate(jetSql, this);
    execEngine(t.sql);
    return t;
}

RawSqlite::Result RawSqlite::jetQuery(const QString& jetSql) {
    return queryEngine(db::sql::translate(jetSql, this).sql);
}

int RawSqlite::changes() const { return sqlite3_changes(m_db); }

QString RawSqlite::tableName(const QString& table) const {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(m_db,
                       "SELECT name FROM sqlite_master WHERE type IN ('table','view') AND "
                       "name = ?1 COLLATE NOCASE",
                       -1, &st, nullptr);
    const QByteArray name = table.toUtf8();
    sqlite3_bind_text(st, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
    QString result;
    if (sqlite3_step(st) == SQLITE_ROW)
        result = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    return result;
}

QList<db::sql::CatalogColumn> RawSqlite::columns(const QString& table) const {
    QList<db::sql::CatalogColumn> cols;
    const QString name = tableName(table);
    if (name.isEmpty())
        return cols;
    sqlite3_stmt* st = nullptr;
    QString pragma = name;
    pragma.replace(u'"', QStringLiteral("\"\""));
    const QByteArray sql = QString(QStringLiteral("PRAGMA table_info(\"") + pragma + QStringLiteral("\")")).toUtf8();
    sqlite3_prepare_v2(m_db, sql.constData(), -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW) {
        db::sql::CatalogColumn c;
        c.name = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
        const QString declared =
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 2)));
        c.type = db::sql::fieldTypeFromDeclared(declared);
        c.autoNumber = db::sql::isAutoNumberDeclared(declared, sqlite3_column_int(st, 5) != 0);
        cols << c;
    }
    sqlite3_finalize(st);
    return cols;
}

} // namespace testsupport
