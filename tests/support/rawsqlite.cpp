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

RawSqlite::Result RawSqlite::queryEngine(const QString& sql) const {
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
    return queryEngine("SELECT name FROM sqlite_master WHERE type IN ('table','view') AND name = '" +
                       QString(table).replace(u'\'', QStringLiteral("''")) + "' COLLATE NOCASE")
        .rows.value(0).value(0).toString();
}

QList<db::sql::CatalogColumn> RawSqlite::columns(const QString& table) const {
    QList<db::sql::CatalogColumn> cols;
    const QString name = tableName(table);
    if (name.isEmpty()) return cols;
    for (const QVariantList& r : queryEngine("PRAGMA table_info(\"" + QString(name).replace(u'"', QStringLiteral("\"\"")) + "\")").rows) {
        const QString declared = r[2].toString();
        cols << db::sql::CatalogColumn{r[1].toString(), db::sql::fieldTypeFromDeclared(declared),
                                       db::sql::isAutoNumberDeclared(declared, r[5].toInt() != 0)};
    }
    return cols;
}

} // namespace testsupport
