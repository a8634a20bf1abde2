#include "common/records.h"

#include "db/dataset.h"
#include "db/error.h"

#include <optional>

namespace common {

namespace {

using Key = std::optional<long long>;

Key currentKey(const db::Dataset& query, const QString& keyField) {
    if (query.isNull(keyField)) return std::nullopt;
    return query.value(keyField).toLongLong();
}

// Post, then stay in edit mode with the controls' pending values written in, so the
// window can go on typing into the same record.
void postAndKeepEditing(db::Dataset& query) {
    query.edit();
    query.post();
    query.edit();
    query.updateRecord();
}

// Bound controls stay frozen while the query is switched to another SQL text and back.
class FrozenControls {
public:
    explicit FrozenControls(db::Dataset& query) : m_query(query) { m_query.disableControls(); }
    ~FrozenControls() { m_query.enableControls(); }
    FrozenControls(const FrozenControls&) = delete;
    FrozenControls& operator=(const FrozenControls&) = delete;

private:
    db::Dataset& m_query;
};

// Reopens the query on its own SQL text with the filter and sort it had, which a detour
// through another SQL text would otherwise lose.
void reopen(db::Dataset& query, const QString& sql, const QString& filter, const QString& sort) {
    query.close();
    query.setSql(sql);
    query.setFilter(filter);
    query.setSort(sort);
    query.open();
}

// The key of the row this connection inserted last, asked through the query itself.
// Any failure leaves the query open on `sql` again and gives no key.
Key identityThroughQuery(db::Dataset& query, const QString& sql) {
    const QString filter = query.filter();
    const QString sort = query.sort();
    FrozenControls frozen(query);
    Key key;
    try {
        query.close();
        // The query's filter and sort are about its own columns, not the identity row.
        query.setFilter(QString());
        query.setSort(QString());
        query.setSql(QStringLiteral("SELECT @@IDENTITY as ID;"));
        query.open();
        if (query.recordCount() != 1)
            throw db::DatabaseError(QStringLiteral("La chiave del nuovo record non è disponibile"));
        key = currentKey(query, QStringLiteral("ID"));
        query.close();
        reopen(query, sql, filter, sort);
    } catch (const db::DatabaseError&) {
        key.reset();
        reopen(query, sql, filter, sort);
    }
    return key;
}

} // namespace

void SalvaRecord(db::Dataset& query, const QString& keyField) {
    const Key noted = currentKey(query, keyField);
    const bool isNew = !noted.has_value();
    const QString sql = query.sql();

    postAndKeepEditing(query);

    Key key = noted;
    if (isNew) {
        const Key now = currentKey(query, keyField);
        if (now && *now > 0) {
            key = now;
            query.requery();
        } else if (!now) {
            key = identityThroughQuery(query, sql);
        }
    } else {
        query.requery();
    }

    if (key && currentKey(query, keyField) != key) query.locate(keyField, *key);
}

void ConfermaRecord(db::Dataset& query, const QString& /*keyField*/) {
    postAndKeepEditing(query);
}

void EliminaRecord(db::Dataset& query, const QString& keyField) {
    if (query.isEmpty()) return;
    const long long deleted = query.keyValue(keyField);
    query.prior();
    const long long previous = query.keyValue(keyField);
    if (previous != deleted) query.next(); // the cursor did move: back onto the record
    query.remove();
    if (!query.isEmpty() && query.keyValue(keyField) != previous) query.locate(keyField, previous);
}

void RiallineaRecord(db::Dataset& query, const QString& keyField) {
    const long long key = query.keyValue(keyField);
    if (key <= 0) return;
    query.requery();
    if (query.keyValue(keyField) != key) query.locate(keyField, key);
}

} // namespace common
