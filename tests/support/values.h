#pragma once

// Small readers shared by every suite: rows and single values through a real connection,
// and texts printed as texts in failure messages.

#include "db/connection.h"
#include "db/error.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <ostream>

namespace db {
class Dataset;
}

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace testing_support {

// Every row of a Jet-dialect select, as the program's connection reads it; the column names
// go to `columns` when given.
QList<QVariantList> rows(db::Connection& connection, const QString& jetSql, QStringList* columns = nullptr);
// The first column of the first row; invalid when there is no row.
QVariant scalar(db::Connection& connection, const QString& jetSql);
// Number of rows a select returns.
int count(db::Connection& connection, const QString& jetSql);
// The display texts of one field down the rows a dataset shows, in its order.
QStringList displayed(db::Dataset& dataset, const QString& field);
// The message of the database error `f` raises; empty when it raises none.
inline QString errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const db::DatabaseError& e) {
        return e.text();
    }
    return {};
}

} // namespace testing_support
