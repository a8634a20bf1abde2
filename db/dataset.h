#pragma once

#include "db/filter.h"
#include "db/rowstore.h"
#include "db/sql/translator.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QVariant>
#include <memory>
#include <unordered_map>
#include <vector>

namespace db {

class Connection;

// The values of one row, copied: what a picker hands back, readable after the dataset it
// came from has moved on.
class Record {
public:
    Record() = default;
    bool isEmpty() const { return !m_row; }
    QVariant value(const QString& name) const; // invalid QVariant for Null or a missing name
    bool hasField(const QString& name) const;

private:
    friend class Dataset;
    std::shared_ptr<const RowStore> m_row;
};

// What a window changes on a shared query and must give back: filtering, filter and sort
// texts and the current row (by key).
struct ViewState {
    bool filtered = true;
    QString filter;
    QString sort;
    QString keyField;
    QVariant key; // invalid when there was no current row
};

// A query of the programs (ADO client-side cursor): Jet SQL text, every row in memory, a
// current row, a client-side filter and sort, and edits posted to the base table by key.
// Windows bind grids and edit controls to it and follow its signals.
class Dataset : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };

    explicit Dataset(Connection* connection = nullptr, QObject* parent = nullptr);
    ~Dataset() override;

    void setConnection(Connection* connection);
    Connection* connection() const { return m_conn; }

    // --- SQL and life cycle
    void setSql(const QString& jetSql); // closes the dataset when open
    const QString& sql() const { return m_sql; }
    void open();    // throws DatabaseError; on failure the dataset stays closed
    // Open now, read later: the rows are read at the first use of the dataset, so large
    // shared queries cost nothing until a window needs them.
    void openDeferred();
    bool deferred() const { return m_deferred; }
    void close();
    void requery(); // re-reads the rows; filter and sort stay; position goes to the first row
    bool isOpen() const { return m_state != State::Inactive; }
    State state() const { return m_state; }

    // --- navigation over the visible rows (filter and sort applied)
    int recordCount() const { touch(); return int(m_view.size()); }
    bool isEmpty() const { touch(); return m_view.empty(); }
    bool eof() const { touch(); return m_eof; }
    bool bof() const { touch(); return m_bof; }
    int position() const { touch(); return m_pos; } // -1 when empty
    void setPosition(int viewRow);
    void first();
    void next();
    void prior();
    void last();
    // Moves to the first visible row whose column equals value (text compares with the
    // system collation). Returns false and stays put when none does.
    bool locate(const QString& column, const QVariant& value);
    // The first visible row whose column equals value, -1 when none; the dataset does not
    // move. Integer and text columns are answered from an index built on first use and kept
    // until the visible rows change, so lookups over long lists cost no scan.
    int findRow(int column, const QVariant& value) const;
    // A copy of the current row's values (the pending edit, when editing).
    Record currentRecord() const;

    // --- state shared between windows
    ViewState viewState(const QString& keyField) const;
    // Puts back filter, sort and current row in one pass; a filter or sort that no longer
    // fits the columns is dropped. A key no longer visible leaves the first row current.
    void restoreViewState(const ViewState& state);

    // --- columns and values of the current row (the pending edit, when editing)
    int fieldCount() const { touch(); return m_store.columnCount(); }
    const ColumnInfo& field(int c) const { touch(); return m_store.column(c); }
    int fieldIndex(const QString& name) const; // -1 when missing; "Table.Column" also accepted
    bool hasField(const QString& name) const { return fieldIndex(name) >= 0; }
    QVariant value(const QString& name) const;     // throws DatabaseError for an unknown name
    QVariant value(int c) const;
    bool isNull(const QString& name) const;
    QString displayText(const QString& name) const; // Italian: dd/MM/yyyy, "1.234,5"
    QString displayText(int c) const;
    QString editText(int c) const;               // as typed: no thousands separator
    // Sets a value of the current row; enters edit mode first when browsing.
    void setValue(const QString& name, const QVariant& v);
    void setValue(int c, const QVariant& v);
    // The same for texts typed by the user, read with the Italian rules (dates dd/mm/yyyy,
    // "," or "." as decimal separator); empty text stores Null. Throws DatabaseError on a
    // text that does not read as the field's type.
    void setText(int c, const QString& text);

    // Values of any visible row, for grids (no move of the current row).
    QVariant valueAt(int viewRow, int c) const;
    QString displayTextAt(int viewRow, int c) const;
    int physicalRow(int viewRow) const { touch(); return m_view[size_t(viewRow)]; }

    // --- editing
    void edit();    // no effect when already editing or inserting
    void append();  // a new row at the end, current, in Insert state
    void insert() { append(); }
    void post();    // writes the pending row to the base table(s); throws DatabaseError
    void cancel();
    void remove();  // deletes the current row from the base table
    // Asks the bound controls to write their pending values into the row.
    void updateRecord();

    // --- client-side filter and sort
    void setFiltered(bool on);
    bool filtered() const { return m_filtered; }
    // Throws DatabaseError/SyntaxError with the parser's text; the previous filter stays.
    void setFilter(const QString& text);
    const QString& filter() const { return m_filterText; }
    void setSort(const QString& text); // "" restores the query's own order
    const QString& sort() const { return m_sortText; }

    // --- bound controls
    void disableControls();
    void enableControls();
    bool controlsDisabled() const { return m_disabled > 0; }

    const RowStore& store() const { touch(); return m_store; }
    const sql::Translation& translation() const { touch(); return m_translation; }
    // The value a key column should have to identify the current row ("Id", "ID", ...).
    long long keyValue(const QString& keyField) const;

Q_SIGNALS:
    void layoutReset();            // rows or columns changed as a whole
    void currentChanged(int pos);  // a different current row
    void rowChanged(int viewRow);  // values of a visible row changed
    void stateChanged(db::Dataset::State state);
    void updateRecordRequested();  // bound controls: write your pending values now
    void controlsEnabled();        // after the last enableControls()

private:
    void load();
    void touch() const {
        if (m_deferred) const_cast<Dataset*>(this)->load();
    }
    void rebuildView(int keepPhysical);
    void notifyReset();
    void notifyCurrent();
    void setState(State s);
    void moveTo(int pos);
    void checkBrowse(); // posts a pending edit before the cursor moves
    int physicalCurrent() const { return m_pos < 0 ? -1 : m_view[size_t(m_pos)]; }
    bool editing() const { return m_state == State::Edit || m_state == State::Insert; }
    void requireOpen() const;
    int requireField(const QString& name) const;
    void writeRow(int physical, bool inserting);
    int keyColumnOf(const QString& table) const;
    QString keyNameOf(const QString& table) const;
    void resyncRow(int physical, const QString& table, long long key);
    void invalidateIndexes();
    void journalWrite(int physical);
    void recoverAfterRollback();

    Connection* m_conn = nullptr;
    QString m_sql;
    sql::Translation m_translation;
    RowStore m_store;
    std::vector<int> m_baseOrder; // live physical rows in query order
    std::vector<int> m_view;
    int m_pos = -1;
    bool m_bof = true, m_eof = true;
    State m_state = State::Inactive;
    // edit buffer of the current row: one scratch row with the same columns
    RowStore m_scratch;
    std::vector<uint8_t> m_changed;
    int m_insertRow = -1; // physical row being inserted
    bool m_filtered = true;
    QString m_filterText;
    CompiledFilter m_filter;
    QString m_sortText;
    std::vector<SortKey> m_sortKeys;
    int m_disabled = 0;
    bool m_deferred = false;
    // Rows by value of one integer column, built on the first "column = n" filter and
    // dropped whenever rows change: the client record filters payments this way.
    int m_eqColumn = -1;
    std::unordered_map<long long, std::vector<int>> m_eqIndex;
    // findRow's index: first visible row by value of one column (integers, folded texts).
    mutable int m_findColumn = -1;
    mutable std::unordered_map<long long, int> m_findInts;
    mutable std::unordered_map<std::string, int> m_findTexts;
    // Rows posted inside a transaction that is still open, by key of the first table: what
    // was written, so that a rollback can give the user's edit back instead of losing it.
    std::unordered_map<long long, QHash<QString, QVariant>> m_journal;
};

// Saves a shared query's view state and puts it back when the scope ends, so that a window
// borrowing the query (a picker, a report) leaves it as it found it.
class ViewStateScope {
public:
    ViewStateScope(Dataset& dataset, const QString& keyField)
        : m_ds(dataset), m_state(dataset.viewState(keyField)) {}
    ~ViewStateScope();
    ViewStateScope(const ViewStateScope&) = delete;
    ViewStateScope& operator=(const ViewStateScope&) = delete;

private:
    Dataset& m_ds;
    ViewState m_state;
};

} // namespace db
