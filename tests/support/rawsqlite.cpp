#include "support/rawsqlite.h"

#include <sqlite3.h>

namespace testsupport {

namespace {

QString fold(const QString& s) {
    const QString d = s.normalized(QString::NormalizationForm_D);
    QString out;
    out.reserve(d.size());
    for (QChar c : d)
        if (c.category() != QChar::Mark_NonSpacing)
            out += c;
    return out.toCaseFolded();
}

int italianCompare(void*, int n1, const void* p1, int n2, const void* p2) {
    const QString a = fold(QString::fromUtf8(static_cast<const char*>(p1), n1));
    const QString b = fold(QString::fromUtf8(static_cast<const char*>(p2), n2));
    return a.compare(b);
}

// Jet's like: '*' and '%' any run, '?' and '_' one character; case and accents ignored.
bool jetLike(const QString& pattern, const QString& text) {
    int p = 0, t = 0, starP = -1, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == u'*' || pattern[p] == u'%')) {
            starP = p++;
            starT = t;
        } else if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == u'_' || pattern[p] == text[t])) {
            ++p;
            ++t;
        } else if (starP >= 0) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && (pattern[p] == u'*' || pattern[p] == u'%'))
        ++p;
    return p == pattern.size();
}

QString textOf(sqlite3_value* v) {
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(v)),
                             sqlite3_value_bytes(v));
}

void likeFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    // like(pattern, value): SQLite passes the pattern first.
    sqlite3_result_int(ctx, jetLike(fold(textOf(argv[0])), fold(textOf(argv[1]))) ? 1 : 0);
}

void jetAdd(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const int ta = sqlite3_value_type(argv[0]);
    const int tb = sqlite3_value_type(argv[1]);
    if (ta == SQLITE_NULL || tb == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const bool na = ta == SQLITE_INTEGER || ta == SQLITE_FLOAT;
    const bool nb = tb == SQLITE_INTEGER || tb == SQLITE_FLOAT;
    if (na && nb) {
        if (ta == SQLITE_INTEGER && tb == SQLITE_INTEGER)
            sqlite3_result_int64(ctx, sqlite3_value_int64(argv[0]) + sqlite3_value_int64(argv[1]));
        else
            sqlite3_result_double(ctx, sqlite3_value_double(argv[0]) + sqlite3_value_double(argv[1]));
        return;
    }
    const QByteArray s = (textOf(argv[0]) + textOf(argv[1])).toUtf8();
    sqlite3_result_text(ctx, s.constData(), int(s.size()), SQLITE_TRANSIENT);
}

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
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    sqlite3_create_collation(m_db, "ITALIAN", SQLITE_UTF8, nullptr, italianCompare);
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(m_db, "like", 2, flags, nullptr, likeFunction, nullptr, nullptr);
    sqlite3_create_function(m_db, "jet_add", 2, flags, nullptr, jetAdd, nullptr, nullptr);
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
