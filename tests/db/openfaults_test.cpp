// Opening under another process's lock, files that are not the system's databases, and
// messages as the user reads them.

#include "db/connection.h"
#include "db/error.h"
#include "support/tempdb.h"
#include "support/values.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using testing_support::errorOf;

namespace {

TEST(OpenFaults, WaitsOutAnotherProcessHoldingTheWriteLockForSeveralTimeouts) {
    testing_support::TempDatabase tdb;
    const QString marker = tdb.folder() + "/preso";
    QProcess holder; // the sqlite3 shell: exclusive lock, marker written, a second, commit
    holder.start("sh", {"-c", QString("(printf 'BEGIN EXCLUSIVE;\\n.output %1\\nSELECT 1;\\n.output stdout\\n';"
                                      " sleep 1; echo 'COMMIT;') | sqlite3 '%2'").arg(marker, tdb.path())});
    ASSERT_TRUE(holder.waitForStarted());
    for (int i = 0; i < 500 && QFileInfo(marker).size() == 0; ++i) QThread::msleep(10);
    db::Connection c;
    EXPECT_NO_THROW(c.open(tdb.path(), {.busyTimeoutMs = 300}));
    EXPECT_TRUE(holder.waitForFinished(10000));
}

TEST(OpenFaults, EmptyOrForeignFilesAreRefusedByNameAndMessagesSpeakItalian) {
    QTemporaryDir dir;
    const QString empty = dir.filePath("vuoto.db"), foreign = dir.filePath("altro.db");
    QFile(empty).open(QIODevice::WriteOnly);
    QFile(foreign).open(QIODevice::WriteOnly);
    db::Connection other; // another application's database, with one table of the same name
    other.open(foreign, {.anyDatabase = true});
    other.execute("CREATE TABLE Calendario (ID COUNTER PRIMARY KEY)");
    other.close();
    const qint64 foreignSize = QFileInfo(foreign).size();
    for (const QString& path : {empty, foreign})
        EXPECT_TRUE(errorOf([&] { db::Connection().open(path); }).contains(path + " non è un database di Vastrel"));
    EXPECT_EQ(QFileInfo(empty).size(), 0);
    EXPECT_EQ(QFileInfo(foreign).size(), foreignSize);

    testing_support::TempDatabase tdb;
    const struct {
        QString sql;
        const char* says;
    } cases[] = {
        {"select Nessuno from Ditta", "Campo inesistente: Nessuno"},
        {"select RagSoc from Ditta \x01", "'<U+0001>'"},
        {"insert into Ditta (ID) select ID from Ditta", "Valore già presente in Ditta.ID"},
        {"select RagSoc from Ditta where RagSoc like '" + QString(50001, '*') + "'", "oltre 50.000 byte"},
    };
    for (const auto& k : cases)
        EXPECT_TRUE(errorOf([&] { tdb.connection().execute(k.sql); }).contains(k.says)) << k.says;
}

} // namespace
