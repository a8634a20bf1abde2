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
// Also accepted: `not`, `Is [Not] Null`, `not like`, "double-quoted" texts, `!=`. The
// conversions between a constant and a column of another type (number on a text column,
// text on a number or date column, like on a number or date column) are listed at the top
// of db/filter_bind.cpp. A compiled filter keeps column numbers: use it with the store it was
// compiled against (or one with the same columns).
class CompiledFilter {
public:
    CompiledFilter(); // the empty filter: every row passes

    // Throws db::SyntaxError for unreadable text and db::DatabaseError for a column the
    // store lacks or a value that does not fit the column's type.
    static CompiledFilter compile(const QString& text, const RowStore& store);

    bool isEmpty() const { return !m_impl; }
    bool matches(const RowStore& store, int row) const;
    // True when the whole filter is "integer column = constant" (e.g. "Cliente_ID = 7"),
    // which a dataset can answer from an index instead of testing every row.
    bool integerEquality(int& column, long long& value) const;

    struct Impl;

private:
    std::shared_ptr<const Impl> m_impl;
};

struct SortKey {
    int column = -1;
    bool descending = false;
};

// "Column [ASC|DESC][, ...]" with bracketed names allowed; empty text gives no keys. Read
// leniently like ADO: a piece's last word ASC/DESC is the direction, the rest is the name,
// so "E% ASC" works without brackets.
// Throws db::SyntaxError / db::DatabaseError like CompiledFilter::compile.
std::vector<SortKey> parseSort(const QString& text, const RowStore& store);

// Stable sort of physical row numbers; Null first when ascending, last when descending;
// text in the db::text collation; yes/no as stored (no before yes).
void sortRows(std::vector<int>& rows, const RowStore& store, const std::vector<SortKey>& keys);

} // namespace db
