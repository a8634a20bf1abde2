#pragma once

#include "db/fieldtype.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

namespace db {
class Connection;
}

// The logic behind the filter windows of the report viewer (frmFiltro) and of the export
// tool (frmFiltri): the columns a filter may use, the values that occur in a column, and
// the SQL clause plus readable description that "Aggiungi" builds. No widgets here; the
// two windows differ only in the options below.
namespace common {

struct FilterOptions {
    // Which dates the value boxes offer: empty dates are stored as day 0 or 1 of the
    // old calendar, so both variants drop the earliest years.
    enum class OfferedDates {
        AfterFirstJanuary1900, // later than 1 January 1900 00:00
        YearAfter1901,         // year 1902 or later
    };
    // How a date bound is written.
    enum class DateBounds {
        ValueTime,       // both bounds #M/D/Y h.m.s# with the value's own time
        DayAndEndMinute, // lower #M/D/Y#, upper #M/D/Y h.m.59#
    };
    // How a number bound is written.
    enum class NumberBounds {
        LeadingNumber, // "] >= " + the leading number of the text (0 when none)
        AsTyped,       // "] >=" / "] <= " + the typed number (db::readNumber) with "." decimal
    };

    OfferedDates offeredDates = OfferedDates::AfterFirstJanuary1900;
    DateBounds dateBounds = DateBounds::ValueTime;
    NumberBounds numberBounds = NumberBounds::LeadingNumber;
    bool spaceBeforeTextQuote = true; // "] >= '" rather than "] >='"
    bool spaceAfterYesNoEquals = true; // "] = True" rather than "] =True"

    // The two messages of "Aggiungi".
    QString noColumnText, noColumnCaption;
    QString noValueText, noValueCaption;
    bool noColumnErrorIcon = true;

    static FilterOptions reportViewer(); // frmFiltro
    static FilterOptions exportTool();   // frmFiltri
};

// Whether a column of a source may be offered: not a key ("ID"), not a foreign key
// (containing "ID_" or "_ID", "HYPER_ID" among them) and not "Annullato"; case ignored.
bool isFilterableColumn(const QString& name);

// The offered columns of a source query, in result order, read with
// "SELECT TOP 1 * FROM (" + query + ")". Empty for an empty query. Throws
// db::DatabaseError when the query does not run.
QStringList filterableColumns(db::Connection& connection, const QString& query);

// The values of one column that a filter can offer, ascending, Nulls left out.
struct DistinctValues {
    db::FieldType type = db::FieldType::Text;
    QStringList items; // yes/no: "Si", "No"; dates dd/MM/yyyy[ hh:mm:ss]; numbers "12,5"
};
// Runs "select distinct [column] from (query) ORDER BY [column]". Throws db::DatabaseError.
DistinctValues distinctValues(db::Connection& connection, const QString& query,
                              const QString& column, const FilterOptions& options);

// The upper box after a lower choice: the items from the chosen one to the last; all of
// them when nothing (or no item of the list) is chosen.
QStringList upperChoices(const QStringList& items, int chosenIndex);

// Reads a date as a person types it (db::readDate, day first): dd/MM/yyyy (also d/M/yy) or
// yyyy-MM-dd, optionally followed by a time hh:mm[:ss] or hh.mm[.ss].
std::optional<QDateTime> readDateTime(const QString& text);

// The clause and its description as "Aggiungi" grows them.
class FilterClause {
public:
    enum class Outcome {
        Added,
        NoColumn, // no column chosen, or its values could not be read
        NoValue,  // both boxes empty: the connector already went into the description
    };

    explicit FilterClause(FilterOptions options);

    // Adds the condition(s) for one column. `type` is the field type from the column's
    // values (none when they were not read). Throws db::DatabaseError, with nothing
    // changed, when a value does not read as the column's type (a date, or a number
    // typed for the export).
    Outcome add(const QString& column, std::optional<db::FieldType> type,
                const QString& lower, const QString& upper, bool useAnd);

    // One bound of a condition, without its connector: "[Data] >= #3/15/2024 0.0.0#".
    QString bound(const QString& column, db::FieldType type, const QString& value,
                  bool upper) const;

    void clear(); // "Azzera"
    const QString& clause() const { return m_clause; }
    const QString& description() const { return m_description; }
    // "Conferma": a clause of six characters or fewer counts as no filter.
    QString confirmedClause() const;
    const FilterOptions& options() const { return m_options; }

private:
    QString connector(bool first, bool useAnd) const;
    FilterOptions m_options;
    QString m_clause;
    QString m_description;
};

} // namespace common
