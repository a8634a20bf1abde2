#pragma once

// The main program's data module on a fresh database, opened as the start-up leaves it:
// every shared query open, the standard filters set. For the suites that link the shell.

#include "app/shell/form_db.h"
#include "support/tempdb.h"
#include "support/values.h"

namespace testing_support {

struct DataModule {
    TempDatabase tdb;
    Tform_DB dm;
    // `openNow` false leaves the data module closed, for a test that fills the file first.
    explicit DataModule(bool openNow = true) {
        if (openNow) open();
    }
    void open() {
        dm.Connessione.open(tdb.path());
        dm.riapriQuery();
        dm.cmdFiltriClick();
    }
    // One value read straight from the file, through another connection; invalid for Null
    // or no row.
    QVariant stored(const QString& jetSql) { return scalar(tdb.connection(), jetSql); }
    int count(const QString& jetSql) { return testing_support::count(tdb.connection(), jetSql); }
};

} // namespace testing_support
