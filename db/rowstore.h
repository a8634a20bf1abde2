#pragma once

#include "db/datetime.h"
#include "db/fieldtype.h"

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <string_view>
#include <vector>

namespace db {

// Description of one column of a dataset's result.
struct ColumnInfo {
    QString name;       // Jet-style result name ("Descrizione", "Pasti.Descrizione")
    QString table;      // base table, empty for a computed column
    QString origin;     // base column name, empty for a computed column
    FieldType type = FieldType::Text;
    bool autoNumber = false;
    bool currency = false; // declared CURRENCY/MONEY: an amount in euro
};

// The rows of a dataset in memory, column by column: numbers, flags and dates as 64-bit
// integers or doubles, texts as UTF-8 in one arena per column. Physical rows never move:
// deleting marks a row dead, appending adds one at the end; the dataset keeps its own view
// (filter and sort) as a list of physical row numbers.
class RowStore {
public:
    explicit RowStore(std::vector<ColumnInfo> columns = {});

    int columnCount() const { return int(m_columns.size()); }
    int rowCount() const { return m_rows; } // physical rows, dead ones included
    const ColumnInfo& column(int c) const { return m_columns[size_t(c)].info; }
    const std::vector<ColumnInfo> columnInfos() const;
    int findColumn(QStringView name) const; // case-insensitive, -1 when missing

    bool isDead(int row) const { return m_dead[size_t(row)] != 0; }
    void markDead(int row) { m_dead[size_t(row)] = 1; }

    // Typed access; the caller knows the column's type. Values of a null cell are 0 / "".
    bool isNull(int row, int c) const { return m_columns[size_t(c)].nulls[size_t(row)] != 0; }
    long long integer(int row, int c) const { return m_columns[size_t(c)].ints[size_t(row)]; }
    double real(int row, int c) const { return m_columns[size_t(c)].reals[size_t(row)]; }
    CivilTime date(int row, int c) const { return m_columns[size_t(c)].ints[size_t(row)]; }
    std::string_view text(int row, int c) const; // Text, Memo and Blob bytes
    // A number of any numeric kind as a double (Integer, Bool, Double, Date seconds).
    double number(int row, int c) const;

    // Conversions at the edge: QVariant of the natural Qt type (qlonglong, double, bool,
    // QDateTime, QString, QByteArray), invalid QVariant for Null.
    QVariant value(int row, int c) const;
    // Stores `v` converted to the column's type; an invalid or null QVariant stores Null.
    // Throws DatabaseError when the value does not convert (text into a number column).
    void setValue(int row, int c, const QVariant& v);

    // Loading: append a row of Nulls, then fill its cells.
    int appendRow();
    void setNull(int row, int c);
    void setInteger(int row, int c, long long v);
    void setReal(int row, int c, double v);
    void setText(int row, int c, std::string_view utf8);
    void reserve(int rows);
    void clear(); // drops rows, keeps columns

    // Bytes held by the cells (arenas, vectors, flags): the benchmarks' memory figure.
    size_t memoryBytes() const;

private:
    struct Column {
        ColumnInfo info;
        std::vector<uint8_t> nulls;
        std::vector<long long> ints;    // Integer, Bool, Date
        std::vector<double> reals;      // Double
        std::vector<uint32_t> offsets;  // Text/Memo/Blob: start in arena
        std::vector<uint32_t> lengths;
        std::string arena;
        bool isText() const { return isTextual(info.type) || info.type == FieldType::Blob; }
    };
    std::vector<Column> m_columns;
    std::vector<uint8_t> m_dead;
    int m_rows = 0;
};

} // namespace db
