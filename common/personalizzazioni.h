#pragma once

#include <QString>

namespace db {
class Dataset;
}

namespace common {

// Gives the record being added (the current record of `record`) the presets of table
// `tabella` kept in Personalizzazioni, read through `personalizzazioni` (the data module's
// TablePersonalizzazioni): for each preset, in the query's order, the field named NomeCampo
// receives Valore as text ("t"), as a whole number ("n") or as a real number written with
// the workstation's decimal separator ("f"); any other Tipo, compared exactly, is skipped.
// A later preset of the same field wins. The record is put in edit mode, not saved.
// A preset naming a missing field, or a Valore that does not convert, raises
// db::DatabaseError; the presets query is left unfiltered in every case.
void ApplicaPersonalizzazioni(const QString& tabella, db::Dataset& record,
                              db::Dataset& personalizzazioni);

} // namespace common
