#pragma once

#include <QString>

namespace db {
class Dataset;
}

// Saving and deleting the current record of a shared query while keeping the grid on a
// sensible row. `keyField` names the query's auto-number key ("Id", "ID": case is ignored).
// Database errors (db::DatabaseError) reach the caller, except where noted.
namespace common {

// Posts the current record, new or not, and makes it current again wherever the query's
// order and filter now put it. A new record's key is read back from the connection when
// the query could not see it.
void SalvaRecord(db::Dataset& query, const QString& keyField);

// Posts the current record and leaves it in edit mode.
void ConfermaRecord(db::Dataset& query, const QString& keyField);

// Deletes the current record; the one before it becomes current (the one after it when the
// first record was deleted). Does nothing on an empty query.
void EliminaRecord(db::Dataset& query, const QString& keyField);

// Re-reads the query (other workstations' changes) and goes back to the current record.
void RiallineaRecord(db::Dataset& query, const QString& keyField);

} // namespace common
