// The export tool run by a scheduler: the real program, a saved definition, the file it
// writes (with the mode the umask gives a new file) and the exit status.

#include "export/definizioni.h"
#include "export/scrittura.h"
#include "export_fixture.h"

#include <sys/stat.h>

using export_testing::Rows;

namespace {

struct Outcome {
    int status = -1;
    QString out, err;
};

class CommandLine : public export_testing::ExportTool {
protected:
    void SetUp() override {
        ExportTool::SetUp();
        // Data, Cliente and Importo among the columns the main window lists for "Pagamenti".
        esportazioni::salvaDefinizione(tdb.connection(), "Mensile", "Pagamenti", {0, 1, 4});
    }
    Outcome run(const QStringList& args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VASTREL_HOME", home.path());
        env.remove("DISPLAY"); // a scheduler has no screen
        env.remove("QT_QPA_PLATFORM");
        p.setProcessEnvironment(env);
        p.start(QDir(qEnvironmentVariable("VASTREL_BIN_DIR")).filePath("esportazioni"), args);
        if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit) return {};
        return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
    }
};

TEST_F(CommandLine, SavedDefinitionWritesItsFileOrFailsWithTheRightStatus) {
    const Rows all{{"Data", "Cliente", "Importo", ""},
                   {"15/03/2024", "O'Neil Seán", "12,5", ""},
                   {"16/03/2024 18:45:00", "Kovács Ödön", "100", ""},
                   {"17/03/2024", "Rossi Mario", "7,25", ""}};
    const struct {
        QStringList args; // --file and the file follow
        const char* file;
        int status;
        Rows rows;        // a csv read back
        const char* said; // in the error output
    } cases[] = {
        {{"--definizione", "Mensile"}, "mese.csv", 0, all, ""},
        {{"--definizione", "mensile", "--formato", "csv"}, "mese.txt", 0, all, ""},
        {{"--definizione", "Mensile", "--filtro", "[Importo] >= 50"}, "grandi.csv", 0, {all[0], all[2]}, ""},
        {{"--definizione", "Mensile", "--filtro", "[Importo] > 1000"}, "vuoto.csv", 0, {all[0]}, "recordset vuoto"},
        {{"--definizione", "Mensile"}, "mese.xlsx", esportazioni::xlsxDisponibile() ? 0 : 1, {}, ""},
        {{"--definizione", "Annuale"}, "manca.csv", 2, {}, "\"Annuale\" non esiste; quelle salvate sono: Mensile"},
        {{"--definizione", "Mensile", "--formato", "pdf"}, "pdf.csv", 2, {}, "formato non previsto"},
        {{"--definizione", "Mensile", "--filtro", "[Nessuna] = 1"}, "colonna.csv", 1, {}, "Nessuna"},
        {{"--definizione", "Mensile"}, "manca/mese.csv", 1, {}, "manca/mese.csv"},
    };
    const mode_t previous = ::umask(027); // inherited by the program
    for (const auto& c : cases) {
        const QString file = out.filePath(c.file);
        const Outcome r = run(c.args + QStringList{"--file", file});
        SCOPED_TRACE(c.args.join(' ').toStdString() + " " + c.file + "\n" + r.err.toStdString());
        EXPECT_EQ(r.status, c.status);
        EXPECT_TRUE(r.err.contains(c.said));
        struct stat st{};
        EXPECT_EQ(::stat(QFile::encodeName(file).constData(), &st) == 0 ? st.st_mode & 0777 : 0,
                  c.status == 0 ? 0640u : 0u);
        if (!c.rows.isEmpty()) EXPECT_EQ(export_testing::readCsv(file), c.rows);
    }
    ::umask(previous);
    if (esportazioni::xlsxDisponibile())
        EXPECT_TRUE(export_testing::unzipMember(out.filePath("mese.xlsx"), "xl/worksheets/sheet1.xml")
                        .contains("<v>100</v>"));
}

TEST_F(CommandLine, ListAndHelp) {
    esportazioni::salvaDefinizione(tdb.connection(), "Anagrafica", "Clienti", {0});
    const Outcome list = run({"--elenco"});
    EXPECT_EQ(list.status, 0) << list.err.toStdString();
    EXPECT_EQ(list.out, "Anagrafica\tClienti\nMensile\tPagamenti\n");
    const Outcome help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* option : {"--elenco", "--definizione NOME", "--file PERCORSO", "--formato csv|xlsx"})
        EXPECT_TRUE(help.out.contains(option)) << option;
    EXPECT_EQ(run({"--elenco", "in più"}).status, 2);
}

} // namespace
