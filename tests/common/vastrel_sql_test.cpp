// The maintenance console, run as the installed program is: a real process on a real file.

#include "support/files.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

class VastrelSql : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_home.isValid()); }

    static QString program() {
        QString bin = qEnvironmentVariable("VASTREL_BIN_DIR");
        if (bin.isEmpty()) bin = QCoreApplication::applicationDirPath();
        return bin + QStringLiteral("/vastrel-sql");
    }

    QString database() const { return m_home.filePath(QStringLiteral("prova.db")); }

    Outcome run(const QStringList& args, const QByteArray& input = QByteArray()) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VASTREL_HOME"), m_home.path());
        p.setProcessEnvironment(env);
        p.start(program(), args);
        Outcome r;
        if (!p.waitForStarted()) {
            r.err = QStringLiteral("cannot start ") + program();
            return r;
        }
        p.write(input);
        p.closeWriteChannel();
        p.waitForFinished(120000);
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }

    // A new database with one table of every kind of column.
    void createWithTable() {
        const Outcome r =
            run({QStringLiteral("--create"), QStringLiteral("--db"), database(),
                 QStringLiteral("CREATE TABLE Prova (ID COUNTER CONSTRAINT PK_Prova PRIMARY KEY, "
                                "Testo TEXT(50), Quando DATETIME, Attivo YESNO, Importo CURRENCY, Nota MEMO);")});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        ASSERT_EQ(r.out, QStringLiteral("0\n"));
    }

    Outcome sql(const QString& statements) {
        return run({QStringLiteral("--db"), database()}, statements.toUtf8());
    }

    QTemporaryDir m_home;
};

} // namespace

TEST_F(VastrelSql, CreatesADatabaseAndReadsBackTheKeyOfAnInsertInTheSameRun) {
    const Outcome r =
        run({QStringLiteral("--create"), QStringLiteral("--db"), database()},
            "CREATE TABLE Prova (ID COUNTER CONSTRAINT PK_Prova PRIMARY KEY, Testo TEXT(50));\n"
            "INSERT INTO Prova (Testo) VALUES ('uno');\nINSERT INTO Prova (Testo) VALUES ('due');\n"
            "SELECT @@IDENTITY as ID;\n");
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("0\n1\n1\nID\n2\n"));
    // The new database carries the schema and its reference data.
    const Outcome schema = sql(QStringLiteral("select count(*) as N from Ditta;"));
    EXPECT_EQ(schema.exitCode, 0) << schema.err.toStdString();
    EXPECT_TRUE(schema.out.startsWith(QStringLiteral("N\n")));

    // An existing file is never replaced.
    const Outcome again = run({QStringLiteral("--create"), QStringLiteral("--db"), database()});
    EXPECT_NE(again.exitCode, 0);
    EXPECT_FALSE(again.err.isEmpty());
    EXPECT_EQ(sql(QStringLiteral("select count(*) as N from Prova;")).out,
              QStringLiteral("N\n2\n"));
}

TEST_F(VastrelSql, SelectPrintsOneTabSeparatedLinePerRow) {
    createWithTable();
    const Outcome ins = sql(QStringLiteral(
        "insert into Prova (Testo, Quando, Attivo, Importo, Nota) values "
        "('L''Aquila', #3/5/2024 14.30.00#, true, 1234.5, 'a\tb\nc\\d');\n"
        "insert into Prova (Testo, Quando, Importo) values (Null, #2024-03-05#, -0.25);\n"
        "update Prova set Attivo = false where Testo is null;"));
    ASSERT_EQ(ins.exitCode, 0) << ins.err.toStdString();
    EXPECT_EQ(ins.out, QStringLiteral("1\n1\n1\n"));

    const Outcome r = sql(QStringLiteral("select * from Prova order by ID;"));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("ID\tTesto\tQuando\tAttivo\tImporto\tNota\n"
                                    "1\tL'Aquila\t05/03/2024 14:30:00\t1\t1234.5\ta\\tb\\nc\\\\d\n"
                                    "2\t\t05/03/2024\t0\t-0.25\t\n"));

    // A name two columns share is reached as Table.Column, as Jet names it.
    const Outcome names = sql(QStringLiteral("select a.Testo, b.Testo, a.Testo & '!' as Esclamato "
                                             "from Prova a, Prova b where a.ID = 1 and b.ID = 1;"));
    ASSERT_EQ(names.exitCode, 0) << names.err.toStdString();
    EXPECT_EQ(names.out,
              QStringLiteral("a.Testo\tb.Testo\tEsclamato\nL'Aquila\tL'Aquila\tL'Aquila!\n"));
}

TEST_F(VastrelSql, AnErrorStopsTheRunWithTheEnginesTextAndAFailingExit) {
    createWithTable();
    const Outcome r = sql(QStringLiteral("insert into Prova (Testo) values ('prima');\n"
                                         "insert into Inesistente (Testo) values ('x');\n"
                                         "insert into Prova (Testo) values ('dopo');\n"));
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Inesistente"))) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("1\n"));

    const Outcome after = sql(QStringLiteral("select Testo from Prova;"));
    EXPECT_EQ(after.out, QStringLiteral("Testo\nprima\n"));

    const Outcome syntax = sql(QStringLiteral("select from where;"));
    EXPECT_NE(syntax.exitCode, 0);
    EXPECT_TRUE(syntax.err.contains(QStringLiteral("posizione"))) << syntax.err.toStdString();
    EXPECT_TRUE(syntax.out.isEmpty());
}

TEST_F(VastrelSql, StatementsAsArgumentsAndTranslateOnlyPrintsTheEngineSql) {
    createWithTable();
    const Outcome args = run({QStringLiteral("--db"), database(),
                              QStringLiteral("insert into Prova (Testo) values ('uno'); insert into Prova (Testo) values ('due')"),
                              QStringLiteral("select count(*) as N from Prova")});
    ASSERT_EQ(args.exitCode, 0) << args.err.toStdString();
    EXPECT_EQ(args.out, QStringLiteral("1\n1\nN\n2\n"));
    sql(QStringLiteral("delete * from Prova;"));

    const Outcome r = run({QStringLiteral("--translate"), QStringLiteral("--db"), database(),
                           QStringLiteral("select top 1 Testo from Prova where Quando < #3/5/2024#;"
                                          "delete * from Prova")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << r.out.toStdString();
    EXPECT_TRUE(lines[0].contains(QStringLiteral("LIMIT 1")));
    EXPECT_TRUE(lines[0].contains(QStringLiteral("'2024-03-05 00:00:00'")));
    EXPECT_TRUE(lines[0].endsWith(u';'));
    EXPECT_FALSE(lines[1].contains(u'*'));

    // Translating a statement does not run it.
    sql(QStringLiteral("insert into Prova (Testo) values ('resta');"));
    run({QStringLiteral("--translate"), QStringLiteral("--db"), database(),
         QStringLiteral("delete * from Prova")});
    EXPECT_EQ(sql(QStringLiteral("select Testo from Prova;")).out,
              QStringLiteral("Testo\nresta\n"));
}

TEST_F(VastrelSql, FindsTheDatabaseThroughPercorsoTxtAndCreatesNeitherUnasked) {
    const Outcome r = run({}, "select * from Ditta;");
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains(QStringLiteral("archivio.db"))) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(m_home.filePath(QStringLiteral("percorso.txt"))));
    EXPECT_FALSE(QFile::exists(m_home.filePath(QStringLiteral("archivio.db"))));

    // Asked: the database appears where the programs look for it.
    const Outcome created = run({QStringLiteral("--create")}, "select count(*) as N from Prova_Assente;");
    EXPECT_TRUE(QFile::exists(m_home.filePath(QStringLiteral("archivio.db"))));
    EXPECT_NE(created.exitCode, 0);

    createWithTable();
    ASSERT_TRUE(testing_support::writeFile(m_home.filePath(QStringLiteral("percorso.txt")), (database() + "\r\n").toUtf8()));
    const Outcome found = run({}, "insert into Prova (Testo) values ('trovato'); select Testo from Prova;");
    ASSERT_EQ(found.exitCode, 0) << found.err.toStdString();
    EXPECT_EQ(found.out, QStringLiteral("1\nTesto\ntrovato\n"));
}

TEST_F(VastrelSql, HelpVersionAndBadOptions) {
    const Outcome help = run({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Uso: vastrel-sql")));
    const Outcome version = run({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith(QStringLiteral("vastrel-sql ")));
    const Outcome bad = run({QStringLiteral("--bogus")});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("--bogus")));
}

namespace {

TEST_F(VastrelSql, TransactionAppliesAllOrNoneAndCheckUsesTheSystemsOrder) {
    createWithTable();
    const Outcome r = run({"--transaction", "--db", database()},
                          "insert into Prova (Testo) values ('prima'); insert into Manca (Testo) values ('x');");
    EXPECT_TRUE(r.exitCode == 1 && r.err.contains("Tabella inesistente: Manca")) << r.err.toStdString();
    EXPECT_EQ(sql("select count(*) as N from Prova;").out, "N\n0\n");
    const QStringList check{"--check", "--db", database()};
    EXPECT_EQ(run(check).exitCode, 0);
    // Rows written under a reversed order leave the staff surname index out of order.
    sqlite3* h = nullptr;
    sqlite3_open(database().toUtf8().constData(), &h);
    sqlite3_create_collation(h, "ITALIAN", SQLITE_UTF8, nullptr, [](void*, int na, const void* a, int nb, const void* b) {
        return -std::string_view(static_cast<const char*>(a), size_t(na)).compare(std::string_view(static_cast<const char*>(b), size_t(nb)));
    });
    sqlite3_exec(h, "INSERT INTO anagraficapersonale (Cognome) VALUES ('Bianchi'), ('Rossi'), ('Amato')", nullptr, nullptr, nullptr);
    sqlite3_close(h);
    const Outcome damaged = run(check);
    EXPECT_TRUE(damaged.exitCode == 1 && damaged.out.contains("IX_anagraficapersonale_Cognome")) << damaged.out.toStdString();
}

TEST_F(VastrelSql, BackupIsAConsistentCopyWhileAnotherProcessWrites) {
    createWithTable();
    sql("insert into Prova (Testo) values ('confermato');");
    const QString copy = m_home.filePath("copia.db"), marker = m_home.filePath("preso");
    QProcess writer; // the sqlite3 shell holds an uncommitted insert until told to commit
    writer.start("sh", {"-c", QString("(printf \".timeout 10000\\nBEGIN IMMEDIATE;\\nINSERT INTO Prova (Testo) VALUES ('x');\\n"
                                      ".output %1\\nSELECT 1;\\n.output stdout\\n\"; for i in $(seq 400); do "
                                      "[ -e '%1.fine' ] && break; sleep 0.05; done; echo 'COMMIT;') | sqlite3 '%2'")
                                  .arg(marker, database())});
    ASSERT_TRUE(writer.waitForStarted());
    for (int i = 0; i < 500 && QFileInfo(marker).size() == 0; ++i) QThread::msleep(10);
    const Outcome r = run({"--backup", copy, "--db", database()});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    QFile(marker + ".fine").open(QIODevice::WriteOnly);
    writer.waitForFinished(30000);
    EXPECT_EQ(run({"--db", copy, "select Testo from Prova;"}).out, "Testo\nconfermato\n");
    EXPECT_EQ(sql("select count(*) as N from Prova;").out, "N\n2\n");
}

} // namespace
