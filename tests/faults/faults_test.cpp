// kill -9 half-way through the programs' multi-statement actions, a full disk while saving
// and exporting, and several workstations at once, all in real processes: the file stays a
// sound database, an action counts wholly or not at all, nothing is lost or mixed.

#include "support/rawsqlite.h"
#include "support/tempdb.h"
#include "support/values.h"

#include <QDir>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>

namespace {

using testing_support::TempDatabase;

// A program of the build on `tdb`'s folder as workstation `pc`. KILL's scratch row is
// seeded, so that a program's first write is the action under test.
void start(QProcess& p, const TempDatabase& tdb, const char* program, const QStringList& args,
           const QString& pc = QStringLiteral("KILL")) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VASTREL_HOME"), tdb.folder());
    env.insert(QStringLiteral("VASTREL_NONINTERACTIVE"), QStringLiteral("1"));
    env.insert(QStringLiteral("VASTREL_COMPUTERNAME"), pc);
    p.setProcessEnvironment(env);
    p.start(qEnvironmentVariable("VASTREL_BIN_DIR") + u'/' + QLatin1String(program), args);
}

// `clients` clients in season "2024/25", the first with `children` rows in each table that
// hangs off a client.
void seed(const TempDatabase& tdb, int clients, int children = 0) {
    testsupport::RawSqlite db(tdb.path());
    const QString n = QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) ");
    db.execEngine(QStringLiteral("insert into Stagione (Descrizione) values ('2024/25')"));
    db.execEngine(QStringLiteral("insert into TempAvvisi (NomeComputer) values ('KILL')"));
    db.execEngine(n.arg(clients) + QStringLiteral("insert into anagraficaclienti (Cognome, NominativoVisualizzato,"
                                                  " Stagione_ID, Annullato) select 'C' || i, 'C' || i, 1, 0 from n"));
    for (const char* t : {"ClienteOrari", "Scadenze", "ClienteEsercizi", "ClienteDieta", "ClientePatologia", "Pagamenti"})
        db.execEngine(n.arg(children) + QStringLiteral("insert into %1 (Cliente_ID) select 1 from n").arg(QLatin1String(t)));
}

QString integrity(const QString& path) {
    return testsupport::RawSqlite(path).queryEngine(QStringLiteral("PRAGMA integrity_check")).rows.value(0).value(0).toString();
}

struct Action {
    const char* name;     // of the fault driver's action; "vastrel": the main program's start
    const char* argument; // %1: the database's folder
    const char* count;    // what the action changes; nullptr: it writes the file `argument`
    int clients, children; // enough for the action to outlast the kill
};
void PrintTo(const Action& a, std::ostream* os) { *os << a.name; }

const Action kActions[] = {
    {"annulla", "2024/25", "select count(*) from anagraficaclienti where Annullato = true", 30000, 0},
    {"elimina", "1", "select (select count(*) from anagraficaclienti) + (select count(*) from ClienteOrari)"
                     " + (select count(*) from Scadenze) + (select count(*) from Pagamenti)", 10, 40000},
    // The update script beside the database, which the main program applies at its start.
    {"vastrel", "--exit-when-ready", "select count(*) from Griglie", 10, 0},
    {"esporta", "%1/uscita/clienti.csv", nullptr, 100000, 0},
};

class Kill : public ::testing::TestWithParam<Action> {};

TEST_P(Kill, HalfWayLeavesTheActionUndoneAndTheFileSound) {
    const Action& a = GetParam();
    TempDatabase tdb;
    seed(tdb, a.clients, a.children);
    const QDir out(tdb.folder() + QStringLiteral("/uscita"));
    out.mkpath(QStringLiteral("."));
    QFile script(tdb.folder() + QStringLiteral("/SQLAggio.sql"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(QByteArray("insert into Griglie (NomeComputer) values ('S');\n").repeated(30000));
    script.close();
    const QString arg = QString::fromLatin1(a.argument).replace(QStringLiteral("%1"), tdb.folder());
    const bool driver = std::string_view(a.name) != "vastrel";
    auto state = [&]() -> long long {
        if (a.count) return testing_support::scalar(tdb.connection(), QString::fromLatin1(a.count)).toLongLong();
        QFile f(arg);
        return f.open(QIODevice::ReadOnly) ? f.readAll().count('\n') : -1;
    };
    auto run = [&](QProcess& p) {
        if (driver) start(p, tdb, "faultdriver", {QString::fromLatin1(a.name), tdb.path(), arg});
        else start(p, tdb, "vastrel", {arg});
    };
    const long long before = state();
    const QString journal = tdb.path() + QStringLiteral("-journal");

    QProcess p;
    run(p);
    // Under way: a write transaction has its journal; an export has its file open (unnamed
    // until complete, so only the process's descriptors show it).
    auto started = [&] {
        if (a.count) return QFile::exists(journal);
        for (const QFileInfo& fd : QDir(QStringLiteral("/proc/%1/fd").arg(p.processId()))
                                       .entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
            if (fd.symLinkTarget().startsWith(out.path())) return true;
        return false;
    };
    while (!started() && !p.waitForFinished(1)) {}
    ASSERT_EQ(p.state(), QProcess::Running) << "the action ended before the kill";
    QThread::msleep(100); // past the first statements
    p.kill();
    p.waitForFinished();
    const bool interrupted = a.count ? QFile::exists(journal) : !QFile::exists(arg);
    EXPECT_TRUE(interrupted) << "killed after the commit: make the action longer";
    EXPECT_EQ(integrity(tdb.path()), "ok");
    const long long killed = state();
    EXPECT_TRUE(script.exists()); // the update script is still there to run

    run(p);
    ASSERT_TRUE(p.waitForFinished(120000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const long long done = state();
    EXPECT_NE(done, before);
    EXPECT_EQ(killed, interrupted ? before : done);
    EXPECT_EQ(script.exists(), driver); // applied once whole, then removed
    EXPECT_EQ(integrity(tdb.path()), "ok");
}

INSTANTIATE_TEST_SUITE_P(Actions, Kill, ::testing::ValuesIn(kActions), [](const auto& i) { return std::string(i.param.name); });

TEST(DiskFull, SavingAndExportingSayWhyAndWriteNothingHalfWay) {
    TempDatabase tdb;
    seed(tdb, 3000);
    if (QProcess::execute(QStringLiteral("unshare"), {QStringLiteral("-rm"), QStringLiteral("true")}) != 0)
        GTEST_SKIP() << "NOTICE: no tmpfs can be mounted here (unshare -rm failed): the full-disk test did not run";
    // The database and the export on a disk with room for little more than the database.
    QDir(tdb.folder()).mkdir(QStringLiteral("pieno"));
    QProcess::execute(QStringLiteral("unshare"), {QStringLiteral("-rm"), QStringLiteral("sh"), QStringLiteral("-c"), QStringLiteral(
        "cd '%1' && mount -t tmpfs -o size=%2k tmpfs pieno && cd pieno && cp ../archivio.db . && { printf \"insert into"
        " anagraficaclienti (Cognome, Note) values ('Pieno', '\"; head -c 2000000 /dev/zero | tr '\\0' x; printf \"')\"; }"
        " | %3/vastrel-sql --db archivio.db 2> ../salva.err; cp archivio.db ../dopo.db;"
        " %3/faultdriver esporta archivio.db clienti.csv 2> ../esporta.err; ls -A > ../resto")
        .arg(tdb.folder()).arg(QFileInfo(tdb.path()).size() / 1024 + 64).arg(qEnvironmentVariable("VASTREL_BIN_DIR"))});
    auto text = [&](const char* name) {
        QFile f(tdb.folder() + u'/' + QLatin1String(name));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).trimmed() : QStringLiteral("(none)");
    };
    EXPECT_TRUE(text("salva.err").contains(QStringLiteral("Il disco è pieno: impossibile scrivere nel database ") +
                                             tdb.folder() + QStringLiteral("/pieno/archivio.db"))) << text("salva.err").toStdString();
    EXPECT_TRUE(text("esporta.err").endsWith(QStringLiteral("clienti.csv: spazio su disco esaurito"))) << text("esporta.err").toStdString();
    EXPECT_EQ(text("resto"), "archivio.db"); // neither the csv nor its temporary file
    EXPECT_EQ(integrity(tdb.folder() + QStringLiteral("/dopo.db")), "ok");
    db::Connection after;
    after.open(tdb.folder() + QStringLiteral("/dopo.db"));
    EXPECT_EQ(testing_support::count(after, QStringLiteral("select ID from anagraficaclienti")), 3000);
}

class Workstations : public ::testing::TestWithParam<int> {};

TEST_P(Workstations, ThousandEditsEachWhileAReportReadsLoseNothingAndStayApart) {
    // In memory: what is tested is the locking, and flushing a thousand commits each to a
    // disk would take a minute.
    if (QDir(QStringLiteral("/dev/shm")).exists()) qputenv("TMPDIR", "/dev/shm");
    TempDatabase tdb;
    seed(tdb, 100);
    std::vector<std::unique_ptr<QProcess>> pcs;
    for (int w = 1; w <= GetParam(); ++w) {
        pcs.push_back(std::make_unique<QProcess>());
        start(*pcs.back(), tdb, "faultdriver", {QStringLiteral("postazione"), tdb.path(), QStringLiteral("1000")},
              QStringLiteral("PC%1").arg(w));
    }
    // A long report reads over and over, with a pause for its pages, until all are done.
    auto busy = [&] { return std::any_of(pcs.begin(), pcs.end(), [](auto& p) { return !p->waitForFinished(0) && p->state() != QProcess::NotRunning; }); };
    int reads = 0;
    for (; busy(); ++reads) {
        QProcess report;
        start(report, tdb, "vastrel-sql", {QStringLiteral("--db"), tdb.path(),
              QStringLiteral("select count(*) from Comuni a, Comuni b where a.ID < b.ID and a.ID < 400")});
        ASSERT_TRUE(report.waitForFinished(60000));
        EXPECT_EQ(report.exitCode(), 0) << report.readAllStandardError().toStdString();
        QThread::msleep(300);
    }
    EXPECT_GT(reads, 0);
    for (auto& p : pcs) EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString(); // no lock message

    auto n = [&](const QString& sql) { return testing_support::scalar(tdb.connection(), sql).toInt(); };
    // Each: 250 new clients, each changed once; 250 rows of its own pointing at its own
    // clients, every second one deleted; one scratch row.
    for (int w = 1; w <= GetParam(); ++w) {
        const QString pc = QStringLiteral("'PC%1").arg(w);
        EXPECT_EQ(n("select count(*) from anagraficaclienti where Cognome like " + pc + "-*' and Nome = 'modificato'"), 250) << w;
        EXPECT_EQ(n("select count(*) from TempAvvisiClienti t inner join anagraficaclienti a on a.ID = t.Cliente_ID"
                    " where t.NomeComputer = " + pc + "' and a.Cognome like " + pc + "-*'"), 125) << w;
        EXPECT_EQ(n("select count(*) from TempAvvisi where NomeComputer = " + pc + "'"), 1) << w;
    }
    EXPECT_EQ(n("select count(*) from TempAvvisiClienti"), 125 * GetParam());
    EXPECT_EQ(n("select count(*) from anagraficaclienti"), 100 + 250 * GetParam());
    EXPECT_EQ(integrity(tdb.path()), "ok");
}

INSTANTIATE_TEST_SUITE_P(SideBySide, Workstations, ::testing::Values(2, 3));

} // namespace
