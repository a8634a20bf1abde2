// The client-side filter and sort texts, compiled against a store of every column type and
// run over its rows.

#include "db/error.h"
#include "db/filter.h"
#include "fuzz.h"

#include <QDateTime>

namespace {

db::RowStore makeStore() {
    using db::FieldType;
    db::RowStore s({{QStringLiteral("ID"), {}, {}, FieldType::Integer, true},
                    {QStringLiteral("Cognome"), {}, {}, FieldType::Text},
                    {QStringLiteral("Quota"), {}, {}, FieldType::Double},
                    {QStringLiteral("Annullato"), {}, {}, FieldType::Bool},
                    {QStringLiteral("Nato"), {}, {}, FieldType::Date},
                    {QStringLiteral("Note"), {}, {}, FieldType::Memo}});
    const QVariantList rows[] = {
        {1, QStringLiteral("Rossi"), 12.5, true, QDateTime(QDate(1980, 3, 5), QTime(0, 0)), QStringLiteral("città")},
        {2, QStringLiteral("D'Amico"), -1.0, false, QDateTime(QDate(2024, 12, 31), QTime(18, 30)), QVariant()},
        {3, QVariant(), QVariant(), false, QVariant(), QStringLiteral("*%_[")}};
    for (const QVariantList& r : rows) {
        const int row = s.appendRow();
        for (int c = 0; c < r.size(); ++c) s.setValue(row, c, r[c]);
    }
    return s;
}

} // namespace

VASTREL_FUZZ_TARGET {
    static const db::RowStore store = makeStore();
    const QString text = fuzzText(data, size);
    try {
        const db::CompiledFilter f = db::CompiledFilter::compile(text, store);
        for (int r = 0; r < store.rowCount(); ++r) f.matches(store, r);
    } catch (const db::DatabaseError&) {
    }
    try {
        std::vector<int> rows{0, 1, 2};
        db::sortRows(rows, store, db::parseSort(text, store));
    } catch (const db::DatabaseError&) {
    }
    return 0;
}
