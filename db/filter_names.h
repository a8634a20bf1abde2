#pragma once

// Private to the database layer: how filter and sort texts find a column of a RowStore.

#include "db/rowstore.h"

#include <QString>
#include <QStringList>

namespace db::detail {

// The column a filter or sort text names, -1 when the store has none. `parts` are the
// name's dot-separated parts with brackets removed ("[Pasti].[Descrizione]" -> Pasti,
// Descrizione). In order: the store's own name lookup (case-insensitive, which also finds
// result names such as "Pasti.Descrizione"); then "Table.Column" by the columns' base
// table and origin; then a bare name that is the last part of exactly one qualified
// result name. Throws DatabaseError when a name fits several columns.
int resolveColumn(const RowStore& store, const QStringList& parts, const QString& context);

} // namespace db::detail
