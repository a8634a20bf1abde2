#pragma once

#include "app/shell/form_db.h"
#include "common/controls/dialogs.h"
#include "support/tempdb.h"

#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QUrl>
#include <QVariant>

namespace testing_support {

// A fresh database and the data module open on it, as after the start-up.
struct DataModule {
    TempDatabase tdb;
    Tform_DB dm;

    DataModule() { open(); }
    void open() {
        dm.Connessione.open(tdb.path());
        dm.riapriQuery();
        dm.cmdFiltriClick();
    }
    // One value read straight from the file, through another connection; invalid for Null
    // or no row.
    QVariant stored(const QString& jetSql);
    int count(const QString& jetSql);
};

// Receives what the windows hand to the desktop (folders, the logo for the image editor).
class UrlSink : public QObject {
    Q_OBJECT
public:
    UrlSink();
    ~UrlSink() override;
    QList<QUrl> opened;
public Q_SLOTS:
    void open(const QUrl& url) { opened << url; }
};

} // namespace testing_support
