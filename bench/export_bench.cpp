// export_bench: the export tool writing every payment with all the columns of the
// "Pagamenti" source to a CSV file, beside `sqlite3 -csv` writing the same rows from the
// same database file, in one run. Target: at most 3 times the time of sqlite3, with memory
// that does not grow with the rows.
//
//   export_bench [database]
//
// The database is the argument, else $VASTREL_BENCH_DB, else a new one made by the
// generator beside this program (200,000 payments). Each side runs three times,
// alternately; the best time of each is compared. The verdict is printed, not asserted.

#include "common/filterclause.h"
#include "db/connection.h"
#include "db/error.h"
#include "db/rowstore.h"
#include "export/scrittura.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point t0) {
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

// Peak resident memory of this process in KiB since the last reset.
long peakKiB() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

void resetPeak() {
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly)) f.write("5");
}

// The same rows as the "Pagamenti" source, in plain SQLite (the shell has no ITALIAN
// collation, so the name is ordered ignoring case only).
const char* ShellSql =
    "SELECT P.Data, A.NominativoDocumenti, A.Tessera, P.Operazione, P.Importo, M.Descrizione, "
    "P.Note, S.Descrizione, G.Descrizione FROM Pagamenti P "
    "LEFT JOIN anagraficaclienti A ON P.Cliente_ID = A.ID "
    "LEFT JOIN ModPagamento M ON P.ModPagamento_Id = M.id "
    "LEFT JOIN Stagione S ON A.Stagione_ID = S.ID "
    "LEFT JOIN GruppoSportivo G ON A.GruppoSportivo_ID = G.ID "
    "ORDER BY P.Data, A.NominativoDocumenti COLLATE NOCASE;";

struct ShellRun {
    double seconds = -1;
    long peakKiB = -1;
};

// sqlite3 -csv with its output into `file`; time from start to exit, its peak memory.
ShellRun runShell(const QString& database, const QString& file) {
    const QByteArray db = QFile::encodeName(database), out = QFile::encodeName(file);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 1, out.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    char* argv[] = {const_cast<char*>("sqlite3"), const_cast<char*>("-csv"),
                    const_cast<char*>("-separator"), const_cast<char*>(";"),
                    const_cast<char*>(db.constData()), const_cast<char*>(ShellSql), nullptr};
    ShellRun r;
    const auto t0 = Clock::now();
    pid_t pid;
    if (posix_spawnp(&pid, "sqlite3", &fa, nullptr, argv, environ) != 0) return r;
    int status = 0;
    rusage ru{};
    wait4(pid, &status, 0, &ru);
    r.seconds = since(t0);
    posix_spawn_file_actions_destroy(&fa);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) r.seconds = -1;
    r.peakKiB = ru.ru_maxrss;
    return r;
}

qint64 lines(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    qint64 n = 0;
    while (!f.atEnd()) {
        const QByteArray chunk = f.read(1 << 20);
        n += chunk.count('\n');
    }
    return n;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir work;
    QString database = argc > 1 ? QString::fromLocal8Bit(argv[1]) : qEnvironmentVariable("VASTREL_BENCH_DB");
    if (database.isEmpty()) {
        database = work.filePath(QStringLiteral("large.db"));
        std::printf("generating %s\n", qPrintable(database));
        const QString gen = QCoreApplication::applicationDirPath() + QStringLiteral("/generate");
        if (QProcess::execute(gen, {database}) != 0) {
            std::fprintf(stderr, "export_bench: %s could not make a database\n", qPrintable(gen));
            return 2;
        }
    }
    if (!QFileInfo::exists(database)) {
        std::fprintf(stderr, "export_bench: %s does not exist\n", qPrintable(database));
        return 2;
    }

    try {
        db::Connection c;
        c.open(database);
        db::RowStore src;
        c.load(QStringLiteral("select Query from QueryCreazioneStampe where Descrizione = 'Pagamenti'"), src);
        if (src.rowCount() == 0) throw db::DatabaseError(QStringLiteral("no Pagamenti source"));
        const QString query = src.value(0, 0).toString();
        const QStringList columns = common::filterableColumns(c, query);
        const QString ours = work.filePath(QStringLiteral("esportazione.csv"));
        const QString theirs = work.filePath(QStringLiteral("sqlite3.csv"));

        double best = 1e9, bestShell = 1e9;
        long peak = 0, peakShell = 0;
        qint64 rows = 0;
        const long before = peakKiB();
        for (int run = 0; run < 3; ++run) {
            const ShellRun s = runShell(database, theirs);
            if (s.seconds < 0) throw db::DatabaseError(QStringLiteral("sqlite3 failed"));
            bestShell = std::min(bestShell, s.seconds);
            peakShell = std::max(peakShell, s.peakKiB);

            resetPeak();
            const long base = peakKiB();
            const auto t0 = Clock::now();
            esportazioni::Esportazione e(c, QStringLiteral("Select * from (") + query + u')', columns);
            rows = e.scrivi(ours, esportazioni::Formato::Csv);
            best = std::min(best, since(t0));
            peak = std::max(peak, peakKiB() - base);
        }
        // For information: the same rows as a workbook, once.
        double xlsxSeconds = -1;
        long xlsxPeak = -1;
        if (esportazioni::xlsxDisponibile()) {
            resetPeak();
            const long base = peakKiB();
            const auto t0 = Clock::now();
            esportazioni::Esportazione e(c, QStringLiteral("Select * from (") + query + u')', columns);
            e.scrivi(work.filePath(QStringLiteral("esportazione.xlsx")), esportazioni::Formato::Xlsx);
            xlsxSeconds = since(t0);
            xlsxPeak = peakKiB() - base;
        }
        const qint64 shellRows = lines(theirs);
        const double ratio = best / bestShell;
        std::printf("database            %s\n", qPrintable(database));
        std::printf("rows                %lld (sqlite3: %lld), %d columns\n", rows, shellRows,
                    int(columns.size()));
        std::printf("file size           %.1f MB (sqlite3: %.1f MB)\n",
                    QFileInfo(ours).size() / 1e6, QFileInfo(theirs).size() / 1e6);
        std::printf("esportazioni csv    %.3f s   peak memory growth %ld KiB (process %ld KiB before)\n",
                    best, peak, before);
        std::printf("sqlite3 -csv        %.3f s   peak memory %ld KiB\n", bestShell, peakShell);
        if (xlsxSeconds >= 0)
            std::printf("esportazioni xlsx   %.3f s   peak memory growth %ld KiB (not compared)\n",
                        xlsxSeconds, xlsxPeak);
        std::printf("ratio               %.2f (target <= 3): %s\n", ratio, ratio <= 3 ? "ok" : "MISSED");
        if (shellRows != rows) // sqlite3 writes no header; a line break inside a value adds one
            std::printf("note: the two files hold different numbers of lines\n");
        return 0;
    } catch (const db::DatabaseError& e) {
        std::fprintf(stderr, "export_bench: %s\n", qPrintable(e.text()));
        return 2;
    } catch (const esportazioni::ErroreFile& e) {
        std::fprintf(stderr, "export_bench: %s\n", qPrintable(e.testo()));
        return 2;
    }
}
