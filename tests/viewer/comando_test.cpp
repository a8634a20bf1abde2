// stampa run by a scheduler: the real program writes this computer's job for a report
// number and exports the PDF (with the mode the umask gives a new file), or refuses with
// its exit status; a job that needs the filter window fails where nobody can answer it.

#include "aiuti.h"
#include "support/tempdb.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

class RigaDiComando : public ::testing::Test {
public:
    testing_support::TempDatabase tdb;
    QTemporaryDir home;
    const QString bin = qEnvironmentVariable("VASTREL_BIN_DIR");

    void SetUp() override {
        aiuti::scrivi(home.filePath("percorso.txt"), tdb.path().toUtf8() + "\n");
        for (const char* nome : {"Rossi Anna", "Bianchi Carlo"})
            tdb.connection().execute("insert into anagraficaclienti (NominativoDocumenti) values (?)", {nome});
    }
    // Exit status and error output; no screen, as under a scheduler.
    std::pair<int, QString> stampa(const QStringList& argomenti, bool nonInterattivo = false) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VASTREL_HOME", home.path());
        env.insert("VASTREL_COMPUTERNAME", "BANCO-2");
        for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(v);
        if (nonInterattivo) env.insert("VASTREL_NONINTERACTIVE", "1");
        p.setProcessEnvironment(env);
        p.start(QDir(bin).filePath("stampa"), argomenti);
        if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit) return {-1, {}};
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardError() + p.readAllStandardOutput())};
    }
};

TEST_F(RigaDiComando, ReportToPdfWithItsJobRowOrAClearRefusal) {
    const struct {
        QStringList argomenti; // --pdf FILE follows
        int stato;
        const char* presente; // in the PDF, or in the error output
        const char* assente;  // not in the PDF
    } casi[] = {
        {{"--report", "7"}, 0, "Bianchi Carlo", ""},
        {{"--report", "7", "--filtro", "[Cliente] like 'Rossi*'"}, 0, "Rossi Anna", "Bianchi"},
        {{"--report", "7", "--filtro", "[Manca] = 1"}, 1, "Manca", ""},
        {{"--report", "6", "--id", "2"}, 0, "Bianchi Carlo", "Rossi"}, // the last job written
        {{"--report", "24"}, 2, "Numero di report non valido: 24", ""},
        {{"--report", "sette"}, 2, "Numero di report non valido", ""},
        {{"--report", "6", "--id", "2 or 1=1"}, 2, "--id", ""},
        {{"--report", "21", "--id", "1"}, 2, "--anno", ""},
        {{"--report", "7"}, 2, "--pdf", ""}, // no file named
    };
    const mode_t prima = ::umask(027); // inherited by the program
    int n = 0;
    for (const auto& c : casi) {
        const QString pdf = home.filePath(QStringLiteral("report%1.pdf").arg(++n));
        const auto [stato, errori] = stampa(c.argomenti + (n < 9 ? QStringList{"--pdf", pdf} : QStringList{}));
        SCOPED_TRACE(c.argomenti.join(' ').toStdString() + "\n" + errori.toStdString());
        EXPECT_EQ(stato, c.stato);
        struct stat st{};
        EXPECT_EQ(::stat(QFile::encodeName(pdf).constData(), &st) == 0 ? st.st_mode & 0777 : 0,
                  c.stato == 0 ? 0640u : 0u);
        const QString testo = c.stato == 0 ? aiuti::testoPdf(pdf) : errori;
        EXPECT_TRUE(testo.contains(c.presente));
        EXPECT_FALSE(c.stato == 0 && *c.assente && testo.contains(c.assente));
    }
    ::umask(prima);
    // The last job written is as the main program writes an export caller's.
    db::RowStore job;
    tdb.connection().load("select NomeReport, FileEsportazione, Esportazione, TipoEsportazione, "
                          "Filtro, Setup from TempStampa where NomeComputer = 'BANCO-2'", job);
    ASSERT_EQ(job.rowCount(), 1);
    EXPECT_EQ(job.value(0, 0).toString(), QDir(bin).filePath("reports/GeneraleCliente.rpt"));
    EXPECT_EQ(job.value(0, 1).toString(), home.filePath("report4.pdf"));
    EXPECT_EQ((QList<int>{job.value(0, 2).toInt(), job.value(0, 3).toInt(), job.value(0, 4).toInt(),
                          job.value(0, 5).toInt()}),
              (QList<int>{1, 3, 0, 0})); // an export to PDF, no filter window, no printer choice
    const auto [aiuto, testo] = stampa({"--help"});
    EXPECT_EQ(aiuto, 0);
    EXPECT_TRUE(testo.contains("--report <N>") && testo.contains("--pdf <PERCORSO>")) << testo.toStdString();
}

TEST_F(RigaDiComando, AJobThatNeedsTheFilterWindowFailsWhereNoneCanBeShown) {
    const QString pdf = home.filePath("filtro.pdf");
    tdb.connection().execute(
        "insert into TempStampa (NomeComputer, NomeReport, Query, Filtro, Esportazione, "
        "FileEsportazione, TipoEsportazione) values ('BANCO-2', ?, 'select * from "
        "anagraficaclienti', true, true, ?, 3)",
        {QDir(bin).filePath("reports/Clienti.rpt"), pdf});
    for (bool nonInterattivo : {true, false}) {
        const auto [stato, errori] = stampa({}, nonInterattivo);
        EXPECT_EQ(stato, 1);
        EXPECT_TRUE(errori.contains("finestra dei filtri")) << errori.toStdString();
        EXPECT_FALSE(QFileInfo::exists(pdf));
    }
}

} // namespace
