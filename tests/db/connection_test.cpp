// Opening, creating and sharing database files: the failures a front desk can meet and
// the text rules every statement relies on.

#include "db/connection.h"
#include "db/error.h"
#include "support/files.h"
#include "support/tempdb.h"
#include "support/values.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using testing_support::scalar;
using testing_support::TempDatabase;

using testing_support::errorOf;

namespace {

TEST(Connection, RefusesFilesThatAreNotUsableDatabasesNamingThem) {
    QTemporaryDir dir;
    const QString text = dir.filePath("appunti.db");
    ASSERT_TRUE(testing_support::writeFile(text, QByteArray(4096, 'x')));
    // A missing folder, a missing file, a folder, a file that is no database.
    for (const QString& path : {dir.filePath("manca/archivio.db"), dir.filePath("archivio.db"), dir.path(), text}) {
        db::Connection c;
        const QString err = errorOf([&] { c.open(path); });
        EXPECT_TRUE(err.contains(QDir::toNativeSeparators(path))) << err.toStdString();
    }
    // Nothing is created unless asked, a foreign file is never touched.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"appunti.db"});
    EXPECT_EQ(QFile(text).size(), 4096);
}

TEST(Connection, RefusesAReadOnlyDatabaseNamingIt) {
    QTemporaryDir dir;
    db::Connection c;
    const QString readOnly = dir.filePath("solalettura.db");
    ASSERT_TRUE(QFile::copy(testing_support::templateDatabasePath(), readOnly));
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadUser);
    if (QFileInfo(readOnly).isWritable()) GTEST_SKIP() << "running as a user that ignores permissions";
    const QString err = errorOf([&] { c.open(readOnly); });
    EXPECT_TRUE(err.contains("solalettura.db")) << err.toStdString();
    EXPECT_FALSE(c.isOpen());
}

// What the new file holds is checked on the suites' template, made the same way.
TEST(Connection, CreatesANewDatabaseOnlyWhenAskedAndNeverOverAFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("nuovo.db");
    db::Connection c;
    c.open(path, {.create = true});
    EXPECT_TRUE(c.isOpen());
    EXPECT_GT(scalar(c, "select count(*) from Comuni").toInt(), 7500);
    EXPECT_EQ(scalar(c, "select count(*) from opzioni").toInt(), 1);
    EXPECT_FALSE(QFile::exists(path + ".creating"));
    EXPECT_ANY_THROW(db::Connection::createDatabase(path));
}

TEST(Connection, TextComparesWithoutCaseOrAccentsEverywhere) {
    TempDatabase tdb;
    auto& c = tdb.connection();
    for (const char* client : {"'Niccolò', 'Àlba'", "'NICCOLO', 'alba'", "'Nicola', 'Anna'"})
        c.execute(QStringLiteral("insert into anagraficaclienti (Cognome, Nome) values (%1)").arg(client));
    EXPECT_EQ(scalar(c, "select count(*) from anagraficaclienti where Cognome = 'niccolo'").toInt(), 2);
    EXPECT_EQ(scalar(c, "select count(*) from anagraficaclienti where Nome like 'AL*'").toInt(), 2);
    EXPECT_EQ(scalar(c, "select count(*) from anagraficaclienti where Cognome like 'nic%'").toInt(), 3);
    EXPECT_EQ(scalar(c, "select count(*) from (select distinct Cognome from anagraficaclienti)").toInt(), 2);
    EXPECT_EQ(scalar(c, "select Cognome from anagraficaclienti order by Cognome desc").toString(), "Nicola");
}

TEST(Connection, IdentityBelongsToTheConnectionThatInserted) {
    TempDatabase tdb;
    auto other = tdb.openAnother();
    tdb.connection().execute("insert into Patologie (Descrizione) values ('Lombalgia')");
    const auto mine = scalar(tdb.connection(), "SELECT @@IDENTITY as ID;").toLongLong();
    other->execute("insert into Patologie (Descrizione) values ('Tendinite')");
    other->execute("insert into Patologie (Descrizione) values ('Cervicalgia')");
    EXPECT_EQ(scalar(tdb.connection(), "SELECT @@IDENTITY as ID;").toLongLong(), mine);
    EXPECT_EQ(scalar(*other, "SELECT @@IDENTITY as ID;").toLongLong(), mine + 2);
    EXPECT_EQ(scalar(tdb.connection(), QString("select Descrizione from Patologie where id = %1").arg(mine)),
              "Lombalgia");
}

// Two real processes add and update rows of one file at the same time; none is lost and
// neither sees a lock error. The worker is this same test program, started again.
TEST(Concurrency, TwoProcessesWritingTogetherLoseNothing) {
    TempDatabase tdb;
    tdb.connection().execute("insert into Stagione (Descrizione) values ('contatore')");
    const QString exe = QCoreApplication::applicationFilePath();
    QList<QProcess*> workers;
    for (int i = 0; i < 2; ++i) {
        auto* p = new QProcess;
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert("VASTREL_WORKER_DB", tdb.path());
        env.insert("VASTREL_WORKER_NAME", QString("postazione%1").arg(i));
        p->setProcessEnvironment(env);
        p->start(exe, {"--gtest_filter=ConcurrencyWorker.*"});
        workers << p;
    }
    for (auto* p : workers) {
        ASSERT_TRUE(p->waitForFinished(120000));
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardOutput().toStdString();
        delete p;
    }
    auto& c = tdb.connection();
    EXPECT_EQ(scalar(c, "select count(*) from TempAvvisiClienti").toInt(), 2 * 150);
    EXPECT_EQ(scalar(c, "select count(*) from TempAvvisiClienti where NomeComputer = 'postazione0'").toInt(), 150);
    // Every increment of the shared counter arrived.
    EXPECT_EQ(scalar(c, "select count(*) from GruppoSportivo").toInt(), 2 * 150);
}

TEST(ConcurrencyWorker, AddsRowsAndBumpsACounter) {
    const QString path = qEnvironmentVariable("VASTREL_WORKER_DB");
    if (path.isEmpty()) GTEST_SKIP() << "started only by the concurrency test";
    const QString name = qEnvironmentVariable("VASTREL_WORKER_NAME");
    db::Connection c;
    c.open(path);
    for (int i = 0; i < 150; ++i) {
        c.execute(QString("insert into TempAvvisiClienti (NomeComputer, Cliente_ID) values ('%1', %2)")
                      .arg(name).arg(i));
        db::Transaction tx(c);
        c.execute(QString("insert into GruppoSportivo (Descrizione) values ('%1-%2')").arg(name).arg(i));
        tx.commit();
    }
}

} // namespace
