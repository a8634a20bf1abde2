// The Jet-dialect translator on any statement text, against a small catalog.

#include "db/error.h"
#include "db/sql/translator.h"
#include "fuzz.h"

namespace {

class Catalog final : public db::sql::Catalog {
public:
    QList<db::sql::CatalogColumn> columns(const QString& table) const override {
        using db::FieldType;
        if (table.compare(u"Clienti", Qt::CaseInsensitive) == 0)
            return {{QStringLiteral("ID"), FieldType::Integer, true}, {QStringLiteral("Cognome"), FieldType::Text},
                    {QStringLiteral("Nato"), FieldType::Date}, {QStringLiteral("Annullato"), FieldType::Bool},
                    {QStringLiteral("Quota"), FieldType::Double}, {QStringLiteral("Note"), FieldType::Memo}};
        if (table.compare(u"Pagamenti", Qt::CaseInsensitive) == 0)
            return {{QStringLiteral("ID"), FieldType::Integer, true}, {QStringLiteral("Cliente_ID"), FieldType::Integer},
                    {QStringLiteral("Importo"), FieldType::Double}, {QStringLiteral("Data"), FieldType::Date}};
        return {};
    }
};

} // namespace

VASTREL_FUZZ_TARGET {
    static const Catalog catalog;
    try {
        db::sql::translate(fuzzText(data, size), &catalog);
    } catch (const db::DatabaseError&) {
    }
    return 0;
}
