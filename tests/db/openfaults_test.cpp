// Opening under another process's lock, files that are not the system's databases, and the
// engine's and the translator's messages as a user reads them.

#include "db/connection.h"
#include "db/dataset.h"
#include "db/error.h"
#include "support/tempdb.h"
#include "support/values.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <sqlite3.h>

using testing_support::TempDatabase;

namespace {

QString errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const db::DatabaseError& e) {
        return e.text();
    }
    return QStringLiteral("(nessun errore)");
}

TEST(OpenUnderContention, WaitsOutAnotherProcessHoldingTheWriteLock) {
    TempDatabase tdb;
    const QString marker = tdb.folder() + "/preso";
    // The sqlite3 shell takes the exclusive lock, says so through the marker file and keeps
    // the lock for a second: several times this connection's busy timeout.
    QProcess holder;
    holder.start("sh", {"-c", QString("(printf 'BEGIN EXCLUSIVE;\\n.output %1\\nSELECT 1;\\n.output stdout\\n';"
                                      " sleep 1; echo 'COMMIT;') | sqlite3 '%2'")
                              .arg(marker, tdb.path())});
    ASSERT_TRUE(holder.waitForStarted());
    for (int i = 0; i < 500 && QFileInfo(marker).size() == 0; ++i) QThread::msleep(10);
    ASSERT_GT(QFileInfo(marker).size(), 0) << "the other process never took the lock";
    db::Connection c;
    EXPECT_NO_THROW(c.open(tdb.path(), {.busyTimeoutMs = 300}));
    EXPECT_EQ(testing_support::scalar(c, "select count(*) from Opzioni").toInt(), 1);
    EXPECT_TRUE(holder.waitForFinished(10000));
}

TEST(OpenForeignFile, EmptyOrForeignDatabasesAreRefusedByNameAndLeftUntouched) {
    QTemporaryDir dir;
    const QString empty = dir.filePath("vuoto.db");
    QFile(empty).open(QIODevice::WriteOnly);
    const QString foreign = dir.filePath("altro.db");
    sqlite3* h = nullptr;
    sqlite3_open(foreign.toUtf8().constData(), &h);
    sqlite3_exec(h, "CREATE TABLE Calendario (x); INSERT INTO Calendario VALUES (1)", nullptr, nullptr, nullptr);
    sqlite3_close(h);
    const struct {
        QString path;
        const char* says;
    } cases[] = {{empty, "è vuoto"}, {foreign, "mancano le tabelle"}};
    for (const auto& c : cases) {
        const QByteArray before = [&] { QFile f(c.path); f.open(QIODevice::ReadOnly); return f.readAll(); }();
        db::Connection conn;
        const QString err = errorOf([&] { conn.open(c.path); });
        EXPECT_TRUE(err.contains(c.path) && err.contains("non è un database di Vastrel") && err.contains(c.says))
            << err.toStdString();
        QFile f(c.path);
        f.open(QIODevice::ReadOnly);
        EXPECT_EQ(f.readAll(), before) << "nothing written into " << c.path.toStdString();
        EXPECT_FALSE(QFile::exists(c.path + "-journal"));
    }
}

TEST(Messages, PointAtTheUsersTextInItalianAndShowInvisibleCharactersByCode) {
    TempDatabase tdb;
    auto& c = tdb.connection();
    const struct {
        QString sql;
        const char* says;
    } cases[] = {
        {"select Nessuno from Ditta", "Campo inesistente: Nessuno"},
        {"select RagSoc from Ditta \x01", "'<U+0001>'"},
        {"insert into Ditta (ID) select ID from Ditta", "Valore già presente in Ditta.ID"},
        {"select count(*) from Ditta where RagSoc like '" + QString(50001, '*') + "'", "oltre 50.000 byte"},
    };
    for (const auto& k : cases) {
        const QString err = errorOf([&] { c.execute(k.sql); });
        EXPECT_TRUE(err.contains(k.says)) << k.says << " in " << err.left(200).toStdString();
    }
    // At the bound a pattern of stars still matches every text, on the server and in a filter.
    const QString stars(50000, '*');
    EXPECT_EQ(testing_support::scalar(c, "select count(*) from Ditta where RagSoc like '" + stars + "'").toInt(),
              testing_support::scalar(c, "select count(RagSoc) from Ditta").toInt());
    db::Dataset ds(&c);
    ds.setSql("select * from Ditta");
    ds.open();
    EXPECT_THROW(ds.setFilter("RagSoc like '" + stars + "*'"), db::SyntaxError);
}

} // namespace
