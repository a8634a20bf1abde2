// The start-up sequence of the main program on real files and databases: locating the
// database, the update script, the history move, this workstation's rows, the password.

#include "app/shell/form_db.h"
#include "app/shell/startup.h"
#include "common/controls/dialogs.h"
#include "db/error.h"
#include "support/tempdb.h"
#include "support/values.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void writeFile(const QString& path, const QByteArray& content) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

using testing_support::scalar;

class Startup : public ::testing::Test {
protected:
    QTemporaryDir home;
    ui::ScriptedDialogs dialogs;
    Tform_DB dm;
    QString shownPath;
    QStringList gridsLoaded;
    int passwordPrompts = 0;
    QString typedPassword;

    StartupSequence make() {
        StartupSequence::Hooks hooks;
        hooks.showPath = [this](const QString& t) { shownPath = t; };
        hooks.askPassword = [this] {
            ++passwordPrompts;
            return typedPassword;
        };
        hooks.loadGrid = [this](const QString& name) { gridsLoaded << name; };
        return StartupSequence(dm, home.path(), hooks);
    }
    QString defaultDb() const { return QDir(home.path()).filePath("archivio.db"); }
    QString percorso() const { return QDir(home.path()).filePath("percorso.txt"); }
};

TEST_F(Startup, FirstStartCreatesTheDefaultDatabaseAndWritesPercorso) {
    auto s = make();
    ASSERT_EQ(s.run(nullptr), StartupSequence::Result::Ready) << dialogs.messages().join("\n").toStdString();
    EXPECT_EQ(s.databasePath, defaultDb());
    EXPECT_EQ(readFile(percorso()), defaultDb().toUtf8() + "\n");
    EXPECT_TRUE(QFile::exists(defaultDb()));
    EXPECT_TRUE(dm.Table1.isOpen());
    EXPECT_EQ(dm.Table1.filter(), "Annullato = 0");
    EXPECT_EQ(dm.Table3.filter(), "Annullato = 0");
    // Every workstation owns one notice row while it runs.
    EXPECT_EQ(dm.TableTempAvvisi.recordCount(), 1);
    EXPECT_EQ(dm.TableTempAvvisi.value("NomeComputer").toString(), dm.nomeComputer);
    EXPECT_EQ(gridsLoaded, kGriglieAvvio);
    EXPECT_EQ(passwordPrompts, 0);
    EXPECT_EQ(dialogs.count("question"), 0) << "a first start asks nothing";
}

TEST_F(Startup, PercorsoIsReadWithoutLineBreaksAndAnEmptyOneIsRewritten) {
    // Empty file: the default database, and the file gets its line.
    writeFile(percorso(), "  \r\n");
    {
        auto s = make();
        ASSERT_EQ(s.run(nullptr), StartupSequence::Result::Ready);
        EXPECT_EQ(s.databasePath, defaultDb());
        EXPECT_EQ(readFile(percorso()), defaultDb().toUtf8() + "\n");
    }
    // A path ending with a line break names the file without it; Memo1 shows the file.
    const QString other = QDir(home.path()).filePath("altro.db");
    QFile::copy(testing_support::templateDatabasePath(), other);
    writeFile(percorso(), other.toUtf8() + "\r\n");
    auto s = make();
    ASSERT_EQ(s.run(nullptr), StartupSequence::Result::Ready);
    EXPECT_EQ(s.databasePath, other);
    EXPECT_EQ(dm.Connessione.path(), other);
    EXPECT_EQ(shownPath, other + "\r\n");
}

TEST_F(Startup, UnusableDatabasesShowTheErrorAndTheSequenceRunsAgain) {
    const struct {
        const char* what;
        QByteArray percorsoLine;
    } cases[] = {
        {"missing folder", QDir(home.path()).filePath("manca/archivio.db").toUtf8()},
        {"a directory", home.path().toUtf8()},
        {"not a database", QDir(home.path()).filePath("note.txt").toUtf8()},
    };
    writeFile(QDir(home.path()).filePath("note.txt"), QByteArray(2048, 'z'));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        dialogs.shown.clear();
        writeFile(percorso(), c.percorsoLine + "\n");
        auto s = make();
        EXPECT_EQ(s.run(nullptr), StartupSequence::Result::Failed);
        ASSERT_EQ(dialogs.messages().size(), 1);
        EXPECT_FALSE(dm.Connessione.isOpen());
    }
    EXPECT_EQ(readFile(QDir(home.path()).filePath("note.txt")), QByteArray(2048, 'z'));
    EXPECT_FALSE(QFile::exists(QDir(home.path()).filePath("manca")));
    // Once percorso.txt is put right, the next activation succeeds.
    writeFile(percorso(), "");
    auto s = make();
    EXPECT_EQ(s.run(nullptr), StartupSequence::Result::Ready);
}

TEST_F(Startup, UpdateScriptRunsItsStatementsInOrderAndIsDeleted) {
    const QString script = QDir(home.path()).filePath("SQLAggio.sql");
    // Three statements, each ended by ';', that only work in file order; the tail after the
    // last ';' is not a statement and must not run.
    writeFile(script,
              "CREATE TABLE Note2 (ID COUNTER PRIMARY KEY, Testo TEXT(50));\n"
              "insert into Note2 (Testo) values ('primo');\r\n"
              "update Note2 set Testo = Testo & ' e secondo';\n"
              "insert into Note2 (Testo) values ('coda senza punto e virgola')\n");
    auto s = make();
    ASSERT_EQ(s.run(nullptr), StartupSequence::Result::Ready) << dialogs.messages().join("\n").toStdString();
    EXPECT_FALSE(QFile::exists(script));
    db::Connection check;
    check.open(defaultDb());
    EXPECT_EQ(scalar(check, "select count(*) from Note2").toInt(), 1);
    EXPECT_EQ(scalar(check, "select Testo from Note2").toString(), "primo e secondo");
    // The connection was reopened and knows the new table.
    EXPECT_NO_THROW(dm.esegui("insert into Note2 (Testo) values ('dopo')"));
}

TEST_F(Startup, AFailingUpdateScriptChangesNothingAndStaysForTheNextStart) {
    {
        auto s = make();
        ASSERT_EQ(s.run(nullptr), StartupSequence::Result::Ready);
    }
    const QString script = QDir(home.path()).filePath("SQLAggio.sql");
    const QByteArray text = "ALTER TABLE Ditta ADD COLUMN Motto TEXT(80);\n"
                            "insert into Patologie (Descrizione) values ('da script');\n"
                            "insert into TabellaInesistente (x) values (1);\n";
    writeFile(script, text);
    auto s = make();
    EXPECT_EQ(s.run(nullptr), StartupSequence::Result::Failed);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().first().contains("TabellaInesistente", Qt::CaseInsensitive))
        << dialogs.messages().first().toStdString();
    EXPECT_EQ(readFile(script), text);
    db::Connection check;
    check.open(defaultDb());
    EXPECT_EQ(scalar(check, "select count(*) from Patologie").toInt(), 0);
    EXPECT_ANY_THROW(scalar(check, "select Motto from Ditta"));

    // Mended script: it applies from its first statement, then disappears.
    writeFile(script, "ALTER TABLE Ditta ADD COLUMN Motto TEXT(80);\n"
                      "insert into Patologie (Descrizione) values ('da script');\n"
                      "update Ditta set Motto = 'Forza!';\n"
                      "delete * from Patologie where Descrizione = 'mai'");
    auto again = make();
    ASSERT_EQ(again.run(nullptr), StartupSequence::Result::Ready)
        << dialogs.messages().join("\n").toStdString();
    EXPECT_FALSE(QFile::exists(script));
    check.close();
    check.open(defaultDb());
    EXPECT_EQ(scalar(check, "select count(*) from Patologie").toInt(), 1);
    EXPECT_EQ(scalar(check, "select Motto from Ditta").toString(), "Forza!");
}

TEST_F(Startup, HistoryKeepsLastYearsConcludedAppointmentsOnly) {
    {
        auto s = make();
        ASSERT_EQ(s.run(nullptr), StartupSequence::Result::Ready);
    }
    auto& c = dm.Connessione;
    c.execute("insert into Calendario (Note, DataInizio, Concluso, Storico) values ('dic concluso', #12/20/2024#, true, false)");
    c.execute("insert into Calendario (Note, DataInizio, Concluso, Storico) values ('dic aperto', #12/20/2024#, false, false)");
    c.execute("insert into Calendario (Note, DataInizio, Concluso, Storico) values ('gen storico', #1/2/2025#, true, true)");
    c.execute("insert into Calendario (Note, DataInizio, Concluso, Storico) values ('31 dic sera', #12/31/2024 23.59.59#, true, false)");
    c.execute("insert into Calendario (Note, DataInizio, Concluso, Storico) values ('capodanno', #1/1/2025#, true, false)");
    auto s = make();
    s.today = QDate(2025, 3, 5);
    ASSERT_EQ(s.run(nullptr), StartupSequence::Result::Ready);
    auto storico = [&](const char* note) {
        return scalar(c, QString("select Storico from Calendario where Note = '%1'").arg(note)).toBool();
    };
    EXPECT_TRUE(storico("dic concluso"));
    EXPECT_FALSE(storico("dic aperto"));
    EXPECT_FALSE(storico("gen storico"));
    EXPECT_TRUE(storico("31 dic sera"));
    EXPECT_FALSE(storico("capodanno"));
    // The shared calendar lists only current appointments.
    EXPECT_EQ(dm.TableCalendario.recordCount(), 3);
}

TEST_F(Startup, WorkstationsKeepTheirOwnRows) {
    qputenv("VASTREL_COMPUTERNAME", "BANCO'1");
    Tform_DB first;
    qputenv("VASTREL_COMPUTERNAME", "");
    Tform_DB unnamed;
    qunsetenv("VASTREL_COMPUTERNAME");
    EXPECT_EQ(first.nomeComputer, "BANCO'1");
    EXPECT_EQ(unnamed.nomeComputer, "SenzaNome");

    auto start = [&](Tform_DB& d) {
        StartupSequence s(d, home.path(), {});
        return s.run(nullptr);
    };
    ASSERT_EQ(start(first), StartupSequence::Result::Ready) << dialogs.messages().join("\n").toStdString();
    first.esegui("insert into TempAvvisiClienti (NomeComputer, Cliente_ID) values ('BANCO''1', 7)");
    ASSERT_EQ(start(unnamed), StartupSequence::Result::Ready);
    unnamed.esegui("insert into TempAvvisiClienti (NomeComputer, Cliente_ID) values ('SenzaNome', 8)");
    // Starting again clears only that workstation's scratch rows.
    ASSERT_EQ(start(unnamed), StartupSequence::Result::Ready);
    auto& c = first.Connessione;
    EXPECT_EQ(scalar(c, "select count(*) from TempAvvisiClienti where NomeComputer = 'BANCO''1'").toInt(), 1);
    EXPECT_EQ(scalar(c, "select count(*) from TempAvvisiClienti where NomeComputer = 'SenzaNome'").toInt(), 0);
    EXPECT_EQ(scalar(c, "select count(*) from TempAvvisi").toInt(), 2);
    EXPECT_EQ(first.TableTempAvvisi.value("NomeComputer").toString(), "BANCO'1");
}

TEST_F(Startup, AdministratorPasswordIsCaseSensitive) {
    {
        auto s = make();
        ASSERT_EQ(s.run(nullptr), StartupSequence::Result::Ready);
    }
    dm.esegui("update opzioni set PasswordAmministratore = 'Segreta'");
    typedPassword = "segreta";
    EXPECT_EQ(make().run(nullptr), StartupSequence::Result::Quit);
    EXPECT_TRUE(dialogs.messages().isEmpty()) << "a wrong password ends without a word";
    typedPassword = "Segreta";
    EXPECT_EQ(make().run(nullptr), StartupSequence::Result::Ready);
    EXPECT_EQ(passwordPrompts, 2);
}

} // namespace

namespace {

// A percorso.txt naming a missing file never gets a silent new database.
TEST_F(Startup, AMissingDatabaseIsChosenOrCreatedOnlyWhenTheUserSaysSo) {
    const QString other = QDir(home.path()).filePath("altro.db"), missing = QDir(home.path()).filePath("rete.db");
    ASSERT_TRUE(QFile::copy(testing_support::templateDatabasePath(), other));
    const struct {
        QList<bool> answers; // "Lavora in Rete?", then "Creare?"
        QString file, opened;
    } cases[] = {{{false, false}, {}, {}}, {{true}, other, other}, {{false, true}, {}, missing}};
    for (const auto& c : cases) {
        writeFile(percorso(), missing.toUtf8() + "\n");
        dialogs.shown.clear();
        dialogs.answers = c.answers;
        dialogs.files = QStringList{c.file};
        EXPECT_EQ(make().run(nullptr) == StartupSequence::Result::Ready, !c.opened.isEmpty());
        EXPECT_EQ(dialogs.count("question"), c.answers.size());
        EXPECT_TRUE(dialogs.shown.last().text.contains(missing) || !c.opened.isEmpty());
        EXPECT_EQ(dm.Connessione.path(), c.opened);
        EXPECT_EQ(QFile::exists(missing), c.opened == missing);
        EXPECT_EQ(readFile(percorso()), (c.opened.isEmpty() ? missing : c.opened).toUtf8() + "\n");
    }
}

} // namespace
