#pragma once

#include "db/rowstore.h"

#include <QString>
#include <memory>
#include <vector>

namespace db {

// A client-side filter text (ADO rules) compiled against the columns of a RowStore:
// comparisons =, <>, <, >, <=, >=, like ('*' or '%'), and/or with parentheses (and binds
// tighter), numbers, 'text' with doubled quotes, #date# (m/d/yyyy or yyyy-mm-dd, optional
// time with '.' or ':'), true/false/0/-1 for yes/no, Column = Null / <> Null. A Null cell
// fails every other comparison. Text compares with db::text rules (case and accents ignored).
class CompiledFilter {
public:
    CompiledFilter(); // the empty filter: every row passes

    // Throws db::SyntaxError for unreadable text and db::DatabaseError for a column the
    // store lacks or a value that does not fit the column's type.
    static CompiledFilter compile(const QString& text, const RowStore& store);

    bool isEmpty() const { return !m_impl; }
    bool matches(const RowStore& store, int row) const;

    struct Impl;

private:
    std::shared_ptr<const Impl> m_impl;
};

struct SortKey {
    int column = -1;
    bool descending = false;
};

// "Column [ASC|DESC][, ...]" with bracketed names allowed; empty text gives no keys.
// Throws db::SyntaxError / db::DatabaseError like CompiledFilter::compile.
std::vector<SortKey> parseSort(const QString& text, const RowStore& store);

// Stable sort of physical row numbers; Null first when ascending, last when descending;
// text in the db::text collation.
void sortRows(std::vector<int>& rows, const RowStore& store, const std::vector<SortKey>& keys);

} // namespace db
