// Opening, creating and sharing database files: the failures a front desk can meet and
// the text rules every statement relies on.

#include "db/connection.h"
#include "db/error.h"
#include "support/tempdb.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using testing_support::TempDatabase;

namespace {

QString errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const db::DatabaseError& e) {
        return e.text();
    }
    return QString();
}

QVariant scalar(db::Connection& c, const QString& sql) {
    db::RowStore rows;
    c.load(sql, rows);
    return rows.rowCount() ? rows.value(0, 0) : QVariant();
}

TEST(Connection, RefusesFilesThatAreNotUsableDatabasesNamingThem) {
    QTemporaryDir dir;
    db::Connection c;

    const QString missing = dir.filePath("manca/archivio.db");
    QString err = errorOf([&] { c.open(missing); });
    EXPECT_TRUE(err.contains("archivio.db")) << err.toStdString();
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_FALSE(QFile::exists(dir.filePath("manca")));

    const QString notThere = dir.filePath("archivio.db");
    err = errorOf([&] { c.open(notThere); });
    EXPECT_TRUE(err.contains(notThere)) << err.toStdString();
    EXPECT_FALSE(QFile::exists(notThere)) << "nothing is created unless asked";

    err = errorOf([&] { c.open(dir.path()); });
    EXPECT_TRUE(err.contains(QDir::toNativeSeparators(dir.path()))) << err.toStdString();

    const QString text = dir.filePath("appunti.db");
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
    }
    err = errorOf([&] { c.open(text); });
    EXPECT_TRUE(err.contains("appunti.db")) << err.toStdString();
    EXPECT_EQ(QFile(text).size(), 4096) << "a foreign file is never touched";

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

TEST(Connection, CreatesANewDatabaseWithSchemaAndReferenceData) {
    QTemporaryDir dir;
    const QString path = dir.filePath("nuovo.db");
    db::Connection c;
    c.open(path, {.create = true});
    EXPECT_TRUE(c.isOpen());
    EXPECT_GT(scalar(c, "select count(*) from Comuni").toInt(), 7500);
    EXPECT_GE(scalar(c, "select count(*) from Pasti").toInt(), 5);
    EXPECT_EQ(scalar(c, "select count(*) from opzioni").toInt(), 1);
    EXPECT_EQ(scalar(c, "select count(*) from Ditta").toInt(), 1);
    EXPECT_GE(scalar(c, "select count(*) from TipoEsportazioniCrystalReport where Attivo=true").toInt(), 4);
    EXPECT_GE(scalar(c, "select count(*) from QueryCreazioneStampe").toInt(), 7);
    // A town with several postcodes offers them street by street.
    EXPECT_GT(scalar(c, "SELECT count(*) FROM Indirizzi INNER JOIN Comuni ON Indirizzi.Comune_ID = "
                        "Comuni.ID where Comuni.Comune = 'Roma'").toInt(), 1);
    EXPECT_FALSE(QFile::exists(path + ".creating"));
    EXPECT_ANY_THROW(db::Connection::createDatabase(path)); // never over an existing file
}

TEST(Connection, TextComparesWithoutCaseOrAccentsEverywhere) {
    TempDatabase tdb;
    auto& c = tdb.connection();
    c.execute("insert into anagraficaclienti (Cognome, Nome) values ('Niccolò', 'Àlba')");
    c.execute("insert into anagraficaclienti (Cognome, Nome) values ('NICCOLO', 'alba')");
    c.execute("insert into anagraficaclienti (Cognome, Nome) values ('Nicola', 'Anna')");
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
