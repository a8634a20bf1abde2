// Editing a dataset: the edit buffer, posting rows to their base tables through the
// connection (Jet statements with parameters, so the engine's own dialect is the
// translator's business), deleting, and coming back in line after a rolled-back transaction.

#include "db/dataset.h"

#include "db/connection.h"
#include "db/error.h"
#include "db/values.h"

#include <QLocale>
#include <algorithm>

namespace db {

namespace {

// A name as a Jet statement takes it whatever it contains ("E%", "Nato a").
QString bracket(const QString& name) { return u'[' + name + u']'; }

} // namespace

void Dataset::setValue(const QString& name, const QVariant& v) { setValue(requireField(name), v); }

void Dataset::setValue(int c, const QVariant& v) {
    requireOpen();
    touch();
    if (!editing()) edit();
    m_scratch.setValue(0, c, v); // throws on a value of the wrong kind, nothing changed
    m_changed[size_t(c)] = 1;
    if (!controlsDisabled()) Q_EMIT rowChanged(m_pos);
}

void Dataset::setText(int c, const QString& typed) {
    const QString t = typed.trimmed();
    if (t.isEmpty()) return setValue(c, QVariant());
    const ColumnInfo& info = m_store.column(c);
    auto bad = [&](const QString& what, const QString& valid) {
        return DatabaseError(QStringLiteral("\"%1\" non è %2 %3 per il campo %4")
                                 .arg(typed, what, valid, info.name));
    };
    switch (info.type) {
    case FieldType::Date: {
        const std::optional<CivilTime> d = readDate(t, DateOrder::DayFirst);
        if (!d) throw bad(QStringLiteral("una data"), QStringLiteral("valida"));
        return setValue(c, qDateTimeFromCivil(*d));
    }
    case FieldType::Integer:
        if (const std::optional<long long> n = readInteger(t)) return setValue(c, qlonglong(*n));
        [[fallthrough]];
    case FieldType::Double: {
        const std::optional<double> d = readNumber(t);
        if (!d) throw bad(QStringLiteral("un numero"), QStringLiteral("valido"));
        return setValue(c, *d); // an Integer column rounds it half away from zero
    }
    default:
        return setValue(c, typed);
    }
}

long long Dataset::keyValue(const QString& keyField) const {
    const QVariant v = value(keyField);
    return v.isValid() ? v.toLongLong() : 0;
}

// --- editing ---------------------------------------------------------------------------------

void Dataset::edit() {
    requireOpen();
    touch();
    if (editing()) return;
    const int r = physicalCurrent();
    if (r < 0) throw DatabaseError(QStringLiteral("Impossibile modificare: la query è vuota"));
    for (int c = 0; c < m_store.columnCount(); ++c) {
        if (m_store.isNull(r, c)) {
            m_scratch.setNull(0, c);
            continue;
        }
        switch (m_store.column(c).type) {
        case FieldType::Double: m_scratch.setReal(0, c, m_store.real(r, c)); break;
        case FieldType::Text:
        case FieldType::Memo:
        case FieldType::Blob: m_scratch.setText(0, c, m_store.text(r, c)); break;
        default: m_scratch.setInteger(0, c, m_store.integer(r, c));
        }
    }
    std::fill(m_changed.begin(), m_changed.end(), 0);
    setState(State::Edit);
}

void Dataset::append() {
    requireOpen();
    touch();
    checkBrowse();
    m_scratch.clear();
    m_scratch.appendRow();
    std::fill(m_changed.begin(), m_changed.end(), 0);
    m_insertRow = m_store.appendRow();
    m_eqColumn = -1; // a new row the index does not know
    invalidateIndexes();
    m_baseOrder.push_back(m_insertRow);
    m_view.push_back(m_insertRow);
    m_pos = int(m_view.size()) - 1;
    m_bof = m_eof = false;
    setState(State::Insert);
    notifyReset();
}

void Dataset::updateRecord() {
    if (!controlsDisabled()) Q_EMIT updateRecordRequested();
}

void Dataset::post() {
    requireOpen();
    if (!editing()) return;
    // Bound controls hand over what the user typed before the row is written.
    updateRecord();
    const bool inserting = m_state == State::Insert;
    const int r = inserting ? m_insertRow : physicalCurrent();
    writeRow(r, inserting);
    if (inserting) m_insertRow = -1;
    setState(State::Browse);
    if (!controlsDisabled()) Q_EMIT rowChanged(m_pos);
}

void Dataset::cancel() {
    if (!editing()) return;
    if (m_state == State::Insert) {
        m_store.markDead(m_insertRow);
        m_baseOrder.erase(std::remove(m_baseOrder.begin(), m_baseOrder.end(), m_insertRow),
                          m_baseOrder.end());
        m_view.erase(std::remove(m_view.begin(), m_view.end(), m_insertRow), m_view.end());
        invalidateIndexes();
        m_insertRow = -1;
        m_pos = m_view.empty() ? -1 : std::min(m_pos, int(m_view.size()) - 1);
        m_bof = m_eof = m_view.empty();
        m_state = State::Browse;
        notifyReset();
        if (!controlsDisabled()) Q_EMIT stateChanged(m_state);
        return;
    }
    setState(State::Browse);
    if (!controlsDisabled()) Q_EMIT rowChanged(m_pos);
}

void Dataset::remove() {
    requireOpen();
    touch();
    if (m_state == State::Insert) return cancel();
    if (m_state == State::Edit) cancel();
    const int r = physicalCurrent();
    if (r < 0) throw DatabaseError(QStringLiteral("Impossibile eliminare: la query è vuota"));
    // Only the first table of the query loses its row; tables joined for their
    // descriptions are looked up, never deleted from.
    if (m_translation.tables.isEmpty())
        throw DatabaseError(QStringLiteral("La query non ha una tabella da cui eliminare"));
    const QString table = m_translation.tables.first();
    const int key = keyColumnOf(table);
    if (key < 0)
        throw DatabaseError(
            QStringLiteral("Impossibile eliminare: la chiave della tabella %1 non è nella query").arg(table));
    m_conn->execute(QStringLiteral("DELETE FROM %1 WHERE %2 = ?")
                        .arg(bracket(table), bracket(m_store.column(key).origin)),
                    {m_store.value(r, key)});
    if (m_conn->inTransaction())
        m_conn->onTransactionEnd(this, [this](bool committed) {
            if (committed) m_journal.clear();
            else recoverAfterRollback();
        });
    m_store.markDead(r);
    m_baseOrder.erase(std::remove(m_baseOrder.begin(), m_baseOrder.end(), r), m_baseOrder.end());
    m_view.erase(m_view.begin() + m_pos);
    invalidateIndexes();
    if (m_pos >= int(m_view.size())) m_pos = int(m_view.size()) - 1;
    m_bof = m_eof = m_view.empty();
    notifyReset();
}

int Dataset::keyColumnOf(const QString& table) const {
    int byName = -1;
    for (int c = 0; c < m_store.columnCount(); ++c) {
        const ColumnInfo& info = m_store.column(c);
        if (info.table.compare(table, Qt::CaseInsensitive) != 0) continue;
        if (info.autoNumber) return c;
        if (byName < 0 && info.origin.compare(u"ID", Qt::CaseInsensitive) == 0) byName = c;
    }
    return byName;
}

QString Dataset::keyNameOf(const QString& table) const {
    const int c = keyColumnOf(table);
    if (c >= 0) return m_store.column(c).origin;
    for (const sql::CatalogColumn& col : m_conn->catalog().columns(table))
        if (col.autoNumber) return col.name;
    return QStringLiteral("ID");
}

void Dataset::writeRow(int r, bool inserting) {
    m_eqColumn = -1; // values change below
    // Group the changed base columns by their table.
    QStringList tables;
    QHash<QString, QList<int>> columns;
    for (int c = 0; c < m_store.columnCount(); ++c) {
        const ColumnInfo& info = m_store.column(c);
        if (!m_changed[size_t(c)] || info.table.isEmpty()) continue;
        const QString key = info.table.toLower();
        if (!columns.contains(key)) tables << info.table;
        columns[key] << c;
    }
    if (inserting && tables.isEmpty() && !m_translation.tables.isEmpty())
        tables << m_translation.tables.first();

    {
        // A row spread over several tables is written wholly or not at all.
        Transaction tx(*m_conn);
        for (const QString& table : tables) {
            const QList<int> cols = columns.value(table.toLower());
            QVariantList params;
            QStringList names, marks;
            for (int c : cols) {
                names << bracket(m_store.column(c).origin);
                marks << QStringLiteral("?");
                params << m_scratch.value(0, c);
            }
            if (inserting) {
                const QString sql = names.isEmpty()
                    ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(bracket(table))
                    : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                          .arg(bracket(table), names.join(u','), marks.join(u','));
                m_conn->execute(sql, params);
                resyncRow(r, table, m_conn->lastInsertId());
            } else {
                const int key = keyColumnOf(table);
                if (key < 0)
                    throw DatabaseError(QStringLiteral(
                        "Impossibile salvare: la chiave della tabella %1 non è nella query").arg(table));
                QStringList sets;
                for (const QString& n : names) sets << n + QStringLiteral(" = ?");
                params << m_store.value(r, key);
                const int changed = m_conn->execute(
                    QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                        .arg(bracket(table), sets.join(u','), bracket(m_store.column(key).origin)),
                    params);
                if (changed == 0)
                    throw DatabaseError(QStringLiteral(
                        "Il record da salvare non esiste più nella tabella %1: forse è stato eliminato da un'altra postazione").arg(table));
            }
        }
        tx.commit();
    }
    // The row in memory takes the values written (and, for a new row, what the database
    // filled in: key and defaults, already set by resyncRow).
    for (int c = 0; c < m_store.columnCount(); ++c) {
        if (!m_changed[size_t(c)] && inserting) continue;
        if (m_scratch.isNull(0, c)) {
            m_store.setNull(r, c);
            continue;
        }
        switch (m_store.column(c).type) {
        case FieldType::Double: m_store.setReal(r, c, m_scratch.real(0, c)); break;
        case FieldType::Text:
        case FieldType::Memo:
        case FieldType::Blob: m_store.setText(r, c, m_scratch.text(0, c)); break;
        default: m_store.setInteger(r, c, m_scratch.integer(0, c));
        }
    }
    invalidateIndexes();
    if (m_conn->inTransaction()) journalWrite(r);
}

void Dataset::resyncRow(int r, const QString& table, long long newKey) {
    QStringList names;
    QList<int> cols;
    for (int c = 0; c < m_store.columnCount(); ++c) {
        const ColumnInfo& info = m_store.column(c);
        if (info.table.compare(table, Qt::CaseInsensitive) != 0) continue;
        names << bracket(info.origin);
        cols << c;
    }
    if (cols.isEmpty()) return;
    // Read back what the database stored: the new key and the columns' defaults.
    RowStore fresh;
    m_conn->load(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                     .arg(names.join(u','), bracket(table), bracket(keyNameOf(table))),
                 {newKey}, fresh);
    if (fresh.rowCount() != 1) return;
    for (int i = 0; i < cols.size(); ++i) m_store.setValue(r, cols[i], fresh.value(0, i));
}

// --- transactions ------------------------------------------------------------------------------

void Dataset::journalWrite(int r) {
    if (m_translation.tables.isEmpty()) return;
    const int key = keyColumnOf(m_translation.tables.first());
    if (key < 0 || m_store.isNull(r, key)) return;
    QHash<QString, QVariant>& written = m_journal[m_store.integer(r, key)];
    for (int c = 0; c < m_store.columnCount(); ++c)
        if (m_changed[size_t(c)] && !m_store.column(c).autoNumber)
            written.insert(m_store.column(c).name, m_store.value(r, c));
    m_conn->onTransactionEnd(this, [this](bool committed) {
        if (committed) m_journal.clear();
        else recoverAfterRollback();
    });
}

void Dataset::recoverAfterRollback() {
    auto journal = std::move(m_journal);
    m_journal.clear();
    if (!isOpen() || m_deferred || m_translation.tables.isEmpty()) return;
    const int key = keyColumnOf(m_translation.tables.first());
    const QString keyName = key >= 0 ? m_store.column(key).name : QString();
    // What the user has on screen now: the current row's key and its unsaved values.
    QVariant current = key >= 0 ? value(key) : QVariant();
    if (editing() && current.isValid()) {
        QHash<QString, QVariant>& pending = journal[current.toLongLong()];
        for (int c = 0; c < m_store.columnCount(); ++c)
            if (m_changed[size_t(c)] && !m_store.column(c).autoNumber)
                pending.insert(m_store.column(c).name, m_scratch.value(0, c));
    }
    // Memory goes back to what the database holds; the edit is dropped, never posted.
    disableControls();
    try {
        if (m_state == State::Insert) cancel();
        m_state = State::Browse;
        m_state = State::Inactive;
        open();
        const auto it = current.isValid() ? journal.find(current.toLongLong()) : journal.end();
        if (it != journal.end()) {
            // The row the user was working on gets their values back as an unsaved edit,
            // or, when the rollback took its insertion away, as a new row.
            if (!locate(keyName, current)) append();
            for (auto v = it->second.cbegin(); v != it->second.cend(); ++v)
                if (hasField(v.key())) setValue(v.key(), v.value());
        } else if (current.isValid()) {
            locate(keyName, current);
        }
    } catch (...) {
        enableControls();
        throw;
    }
    enableControls();
}

} // namespace db
