#pragma once

// Thin RAII layer over the SQLite C API, private to the database layer.

#include "db/error.h"
#include "db/rowstore.h"
#include "db/sql/translator.h"

#include <QThread>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

namespace db {

// The engine answered "database is locked/busy" after its own timeout.
class BusyError : public DatabaseError {
public:
    using DatabaseError::DatabaseError;
};

class Statement {
public:
    Statement(sqlite3* h, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(int index, const QVariant& v); // 1-based
    bool step();                             // true while a row is available
    void reset();

    int columnCount() const;
    QString text(int c) const;
    long long integer(int c) const;
    double real(int c) const;
    std::string_view bytes(int c) const; // text or blob bytes, valid until the next step
    bool isNull(int c) const;
    // Whether step() already ran, and whether it left a row (columnInfos may step once).
    bool stepped() const { return m_stepped; }
    bool hasRow() const { return m_hasRow; }

    // Column descriptions for a result: Jet names from the translation when it matches the
    // engine's column count, otherwise the engine's names; origins and declared types from
    // the engine; computed columns typed by their first value.
    std::vector<ColumnInfo> columnInfos(const QList<sql::ResultColumn>& jetColumns,
                                        const sql::Catalog& catalog);
    // Reads every remaining row into the store (whose columns came from columnInfos).
    void readAll(RowStore& store);

private:
    [[noreturn]] void fail(int rc) const;
    sqlite3* m_h;
    sqlite3_stmt* m_st = nullptr;
    bool m_stepped = false;
    bool m_hasRow = false;
};

// The engine's message in Italian, naming the table or column it is about; a message not
// known here comes through as it is.
QString italianMessage(const QString& engineText);
// The last error of a connection, in Italian.
QString engineMessage(sqlite3* h);

// Registers the ITALIAN collation and the functions the translator emits.
void registerFunctions(sqlite3* h);

// Runs `f`, retrying while another process holds the write lock beyond the busy timeout.
template <typename F> auto withRetry(F&& f) {
    for (int attempt = 0;; ++attempt) {
        try {
            return f();
        } catch (const BusyError&) {
            if (attempt >= 5) throw;
            QThread::msleep(50 * (attempt + 1));
        }
    }
}

} // namespace db
