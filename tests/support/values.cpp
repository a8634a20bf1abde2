#include "support/values.h"

#include "db/dataset.h"
#include "db/rowstore.h"

namespace testing_support {

QList<QVariantList> rows(db::Connection& connection, const QString& jetSql, QStringList* columns) {
    db::RowStore store;
    connection.load(jetSql, store);
    if (columns)
        for (int c = 0; c < store.columnCount(); ++c) *columns << store.column(c).name;
    QList<QVariantList> out;
    for (int r = 0; r < store.rowCount(); ++r) {
        if (store.isDead(r)) continue;
        QVariantList row;
        for (int c = 0; c < store.columnCount(); ++c) row << store.value(r, c);
        out << row;
    }
    return out;
}

QVariant scalar(db::Connection& connection, const QString& jetSql) {
    const QList<QVariantList> r = rows(connection, jetSql);
    return r.isEmpty() || r.first().isEmpty() ? QVariant() : r.first().first();
}

int count(db::Connection& connection, const QString& jetSql) { return int(rows(connection, jetSql).size()); }

QStringList displayed(db::Dataset& dataset, const QString& field) {
    QStringList out;
    const int c = dataset.fieldIndex(field);
    for (int r = 0; r < dataset.recordCount(); ++r) out << dataset.displayTextAt(r, c);
    return out;
}

} // namespace testing_support
