// The start-up sequence of the main program on real files and databases: locating the
// database, the update script, the history move, this workstation's rows, the password.

#include "app/shell/form_db.h"
#include "app/shell/startup.h"
#include "common/controls/dialogs.h"
#include "support/files.h"
#include "support/tempdb.h"
#include "support/values.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using testing_support::fileBytes;
using testing_support::scalar;
using testing_support::writeFile;
using Result = StartupSequence::Result;

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
    void start() { ASSERT_EQ(make().run(nullptr), Result::Ready) << dialogs.messages().join("\n").toStdString(); }
    QString path(const char* name) const { return QDir(home.path()).filePath(name); }
};

TEST_F(Startup, FirstStartWritesPercorsoWithTheDefaultDatabaseAndTheNextFollowsIt) {
    auto s = make();
    ASSERT_EQ(s.run(nullptr), Result::Ready) << dialogs.messages().join("\n").toStdString();
    EXPECT_EQ(s.databasePath, path("archivio.db"));
    EXPECT_EQ(fileBytes(path("percorso.txt")), path("archivio.db").toUtf8() + "\n");
    EXPECT_TRUE(dm.Table1.isOpen());
    EXPECT_EQ(dm.Table1.filter(), "Annullato = 0");
    EXPECT_EQ(dm.Table3.filter(), "Annullato = 0");
    // Every workstation owns one notice row while it runs.
    EXPECT_EQ(dm.TableTempAvvisi.recordCount(), 1);
    EXPECT_EQ(dm.TableTempAvvisi.value("NomeComputer").toString(), dm.nomeComputer);
    EXPECT_EQ(gridsLoaded, kGriglieAvvio);
    EXPECT_EQ(passwordPrompts, 0);
    EXPECT_EQ(dialogs.count("question"), 0) << "a first start asks nothing";

    // A path ending with a line break names the file without it; Memo1 shows the file.
    const QString other = path("altro.db");
    QFile::copy(testing_support::templateDatabasePath(), other);
    writeFile(path("percorso.txt"), other.toUtf8() + "\r\n");
    auto again = make();
    ASSERT_EQ(again.run(nullptr), Result::Ready);
    EXPECT_EQ(again.databasePath, other);
    EXPECT_EQ(dm.Connessione.path(), other);
    EXPECT_EQ(shownPath, other + "\r\n");
}

TEST_F(Startup, UnusableDatabasesShowTheErrorAndTheSequenceRunsAgain) {
    writeFile(path("note.txt"), QByteArray(2048, 'z'));
    for (const QString& line : {path("manca/archivio.db"), home.path(), path("note.txt")}) {
        SCOPED_TRACE(line.toStdString());
        dialogs.shown.clear();
        writeFile(path("percorso.txt"), line.toUtf8() + "\n");
        EXPECT_EQ(make().run(nullptr), Result::Failed);
        ASSERT_EQ(dialogs.messages().size(), 1);
        EXPECT_FALSE(dm.Connessione.isOpen());
    }
    EXPECT_EQ(fileBytes(path("note.txt")), QByteArray(2048, 'z'));
    EXPECT_FALSE(QFile::exists(path("manca")));
    // Once percorso.txt is put right, the next activation succeeds.
    writeFile(path("percorso.txt"), "");
    start();
}

TEST_F(Startup, UpdateScriptAppliesWholeInFileOrderOrNotAtAllAndStaysUntilApplied) {
    const QString script = path("SQLAggio.sql");
    const QByteArray failing = "ALTER TABLE Ditta ADD COLUMN Motto TEXT(80);\n"
                               "insert into Patologie (Descrizione) values ('da script');\n"
                               "insert into TabellaInesistente (x) values (1);\n";
    writeFile(script, failing);
    EXPECT_EQ(make().run(nullptr), Result::Failed);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().first().contains("TabellaInesistente", Qt::CaseInsensitive))
        << dialogs.messages().first().toStdString();
    EXPECT_EQ(fileBytes(script), failing);
    db::Connection check;
    check.open(path("archivio.db"));
    EXPECT_EQ(scalar(check, "select count(*) from Patologie").toInt(), 0);
    EXPECT_ANY_THROW(scalar(check, "select Motto from Ditta"));

    // Mended: it applies from its first statement, each needing the one before; the tail after
    // the last ';' is not a statement. Then it disappears.
    writeFile(script, "ALTER TABLE Ditta ADD COLUMN Motto TEXT(80);\n"
                      "insert into Patologie (Descrizione) values ('da script');\r\n"
                      "update Patologie set Descrizione = Descrizione & ' e secondo';\n"
                      "update Ditta set Motto = 'Forza!';\n"
                      "insert into Patologie (Descrizione) values ('coda senza punto e virgola')\n");
    start();
    EXPECT_FALSE(QFile::exists(script));
    check.close();
    check.open(path("archivio.db"));
    EXPECT_EQ(testing_support::rows(check, "select Descrizione from Patologie"), QList<QVariantList>{{"da script e secondo"}});
    EXPECT_EQ(scalar(check, "select Motto from Ditta").toString(), "Forza!");
    // The connection was reopened and knows the new column.
    EXPECT_NO_THROW(dm.esegui("update Ditta set Motto = 'dopo'"));
}

TEST_F(Startup, HistoryKeepsLastYearsConcludedAppointmentsOnly) {
    start();
    const std::pair<const char*, const char*> rows[] = {
        {"dic concluso", "#12/20/2024#, true, false"}, {"dic aperto", "#12/20/2024#, false, false"},
        {"gen storico", "#1/2/2025#, true, true"},     {"31 dic sera", "#12/31/2024 23.59.59#, true, false"},
        {"capodanno", "#1/1/2025#, true, false"}};
    for (const auto& [note, values] : rows)
        dm.Connessione.execute(QStringLiteral("insert into Calendario (Note, DataInizio, Concluso, Storico) "
                                              "values ('%1', %2)").arg(note, values));
    auto s = make();
    s.today = QDate(2025, 3, 5);
    ASSERT_EQ(s.run(nullptr), Result::Ready);
    EXPECT_EQ(testing_support::rows(dm.Connessione, "select Note from Calendario where Storico = true order by Note"),
              (QList<QVariantList>{{"31 dic sera"}, {"dic concluso"}}));
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

    auto start = [&](Tform_DB& d) { return StartupSequence(d, home.path(), {}).run(nullptr); };
    ASSERT_EQ(start(first), Result::Ready) << dialogs.messages().join("\n").toStdString();
    first.esegui("insert into TempAvvisiClienti (NomeComputer, Cliente_ID) values ('BANCO''1', 7)");
    ASSERT_EQ(start(unnamed), Result::Ready);
    unnamed.esegui("insert into TempAvvisiClienti (NomeComputer, Cliente_ID) values ('SenzaNome', 8)");
    // Starting again clears only that workstation's scratch rows.
    ASSERT_EQ(start(unnamed), Result::Ready);
    EXPECT_EQ(testing_support::rows(first.Connessione, "select NomeComputer from TempAvvisiClienti"),
              QList<QVariantList>{{"BANCO'1"}});
    EXPECT_EQ(scalar(first.Connessione, "select count(*) from TempAvvisi").toInt(), 2);
    EXPECT_EQ(first.TableTempAvvisi.value("NomeComputer").toString(), "BANCO'1");
}

TEST_F(Startup, AdministratorPasswordIsCaseSensitive) {
    start();
    dm.esegui("update opzioni set PasswordAmministratore = 'Segreta'");
    typedPassword = "segreta";
    EXPECT_EQ(make().run(nullptr), Result::Quit);
    EXPECT_TRUE(dialogs.messages().isEmpty()) << "a wrong password ends without a word";
    typedPassword = "Segreta";
    EXPECT_EQ(make().run(nullptr), Result::Ready);
    EXPECT_EQ(passwordPrompts, 2);
}

// A percorso.txt naming a missing file never gets a silent new database.
TEST_F(Startup, AMissingDatabaseIsChosenOrCreatedOnlyWhenTheUserSaysSo) {
    const QString other = path("altro.db"), missing = path("rete.db");
    ASSERT_TRUE(QFile::copy(testing_support::templateDatabasePath(), other));
    const struct {
        QList<bool> answers; // "Lavora in Rete?", then "Creare?"
        QString file, opened;
    } cases[] = {{{false, false}, {}, {}}, {{true}, other, other}, {{false, true}, {}, missing}};
    for (const auto& c : cases) {
        writeFile(path("percorso.txt"), missing.toUtf8() + "\n");
        dialogs.shown.clear();
        dialogs.answers = c.answers;
        dialogs.files = QStringList{c.file};
        EXPECT_EQ(make().run(nullptr) == Result::Ready, !c.opened.isEmpty());
        EXPECT_EQ(dialogs.count("question"), c.answers.size());
        EXPECT_TRUE(dialogs.shown.last().text.contains(missing) || !c.opened.isEmpty());
        EXPECT_EQ(dm.Connessione.path(), c.opened);
        EXPECT_EQ(QFile::exists(missing), c.opened == missing);
        EXPECT_EQ(fileBytes(path("percorso.txt")), (c.opened.isEmpty() ? missing : c.opened).toUtf8() + "\n");
    }
}

} // namespace
