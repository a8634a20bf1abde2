// How filter and sort texts find a column of a RowStore (see filter_names.h).

#include "db/filter_names.h"

#include "db/error.h"

namespace db {

namespace detail {

int resolveColumn(const RowStore& store, const QStringList& parts, const QString& context) {
    if (parts.isEmpty()) return -1;
    const QString full = parts.join(u'.');
    if (const int c = store.findColumn(full); c >= 0) return c;

    int found = -1, matches = 0;
    const auto ambiguous = [&] {
        throw DatabaseError(QStringLiteral("Il nome %1 %2 indica più di un campo: "
                                           "scrivere Tabella.Campo")
                                .arg(full, context));
    };
    if (parts.size() >= 2) {
        const QString table = parts.mid(0, parts.size() - 1).join(u'.');
        const QString& name = parts.last();
        for (int c = 0; c < store.columnCount(); ++c) {
            const ColumnInfo& info = store.column(c);
            if (info.table.compare(table, Qt::CaseInsensitive) != 0) continue;
            if (info.origin.compare(name, Qt::CaseInsensitive) == 0 ||
                info.name.compare(name, Qt::CaseInsensitive) == 0) {
                found = c;
                ++matches;
            }
        }
    } else {
        const QString suffix = u'.' + full;
        for (int c = 0; c < store.columnCount(); ++c)
            if (store.column(c).name.endsWith(suffix, Qt::CaseInsensitive)) {
                found = c;
                ++matches;
            }
    }
    if (matches > 1) ambiguous();
    return found;
}

} // namespace detail

} // namespace db
