#include "settings_support.h"

#include "db/rowstore.h"

namespace testing_support {

QVariant DataModule::stored(const QString& jetSql) {
    db::RowStore rows;
    tdb.connection().load(jetSql, rows);
    for (int r = 0; r < rows.rowCount(); ++r)
        if (!rows.isDead(r)) return rows.value(r, 0);
    return {};
}

int DataModule::count(const QString& jetSql) {
    db::RowStore rows;
    tdb.connection().load(jetSql, rows);
    return rows.rowCount();
}

UrlSink::UrlSink() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
UrlSink::~UrlSink() { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

} // namespace testing_support
