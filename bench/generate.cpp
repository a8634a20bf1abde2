// generate: a new database filled like a large, busy centre (10,000 clients, five years of
// payments and attendances), for the benchmarks and for trying the programs at size.
//
//   generate <path> [--scale 1.0] [--seed N] [--today YYYY-MM-DD]
//
// The same seed and reference day give the same file. The database is built beside the
// target as <path>.partial and renamed when complete; an existing file is never replaced.

#include "gen_activity.h"

#include "db/connection.h"
#include "db/dataset.h"
#include "db/error.h"

#include <QCoreApplication>
#include <QDate>
#include <QFile>

#include <chrono>
#include <cstdio>
#include <functional>

namespace {

struct Args {
    QString path;
    double scale = 1.0;
    uint64_t seed = 1;
    QDate today = QDate::currentDate();
};

[[noreturn]] void usage(const char* error) {
    if (error) std::fprintf(stderr, "generate: %s\n", error);
    std::fprintf(stderr, "usage: generate <path> [--scale 1.0] [--seed N] [--today YYYY-MM-DD]\n");
    std::exit(2);
}

Args parseArgs(const QStringList& argv) {
    Args a;
    for (qsizetype i = 1; i < argv.size(); ++i) {
        const QString& s = argv[i];
        auto value = [&]() -> QString {
            if (i + 1 >= argv.size()) usage("missing value");
            return argv[++i];
        };
        bool ok = true;
        if (s == u"--scale") {
            a.scale = value().toDouble(&ok);
            ok = ok && a.scale > 0 && a.scale <= 20;
        } else if (s == u"--seed") {
            a.seed = value().toULongLong(&ok);
        } else if (s == u"--today") {
            a.today = QDate::fromString(value(), Qt::ISODate);
            ok = a.today.isValid();
        } else if (s == u"--help" || s == u"-h") {
            usage(nullptr);
        } else if (s.startsWith(u"--") || !a.path.isEmpty()) {
            usage("unknown argument");
        } else {
            a.path = s;
        }
        if (!ok) usage("invalid value");
    }
    if (a.path.isEmpty()) usage("no database path");
    return a;
}

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// Runs one step in its own transaction and prints how long it took.
void step(db::Connection& conn, const char* what, const std::function<void()>& f) {
    const auto t0 = Clock::now();
    db::Transaction tx(conn);
    f();
    tx.commit();
    std::printf("  %-44s %7.2f s\n", what, seconds(t0));
    std::fflush(stdout);
}

long long count(db::Connection& conn, const QString& jetSql) {
    db::RowStore store;
    conn.load(jetSql, store);
    return store.rowCount() ? store.integer(0, 0) : -1;
}

// Counts per table, and queries of the programs that must find rows in a centre this size.
bool sanityCheck(const QString& path) {
    db::Connection conn;
    conn.open(path);
    static const char* const tables[] = {
        "anagraficaclienti", "anagraficapersonale", "Occasionali", "orari", "ClienteOrari",
        "Pagamenti", "Scadenze", "Calendario", "Alimenti", "ClienteDieta", "Esercizi",
        "ClienteEsercizi", "GruppiMuscolari", "Patologie", "ClientePatologia", "Stagione",
        "GruppoSportivo", "ModPagamento", "TipoPagamenti", "OperazionePagamenti", "Comuni"};
    std::printf("\nRows per table:\n");
    for (const char* t : tables)
        std::printf("  %-22s %9lld\n", t,
                    count(conn, QStringLiteral("SELECT count(*) AS N FROM %1").arg(QLatin1String(t))));

    struct Check {
        const char* what;
        const char* sql;
        const char* filter;
        long long min, max;
    };
    const char* const table1 =
        "SELECT *, Cognome + \"  \" + Nome as Nominativo FROM anagraficaclienti order by NominativoVisualizzato";
    const Check checks[] = {
        {"clients not cancelled", table1, "Annullato = 0", 1, -1},
        {"clients Ros*/A*", table1, "Cognome like 'ros*' and Nome like 'a*'", 1, -1},
        {"surname with apostrophe", "select * from anagraficaclienti where Cognome = 'D''Angelo'", "", 1, -1},
        {"name without its accent", "select * from anagraficaclienti where Nome = 'niccolo'", "", 1, -1},
        {"payments, newest first", "select * from Pagamenti order by Data Desc", "", 1, -1},
        {"current appointments",
         "SELECT * from Calendario where Storico=false order by DataInizio desc,Personale", "", 1, -1},
        {"appointments in the history", "SELECT * from Calendario where Storico=true", "", 1, -1},
        {"calendar names out of step",
         "SELECT Calendario.Id FROM Calendario INNER JOIN anagraficaclienti ON "
         "Calendario.Cliente_Id = anagraficaclienti.ID WHERE Calendario.Cliente <> "
         "anagraficaclienti.NominativoDocumenti", "", 0, 0},
        {"diet with meals and foods",
         "SELECT ClienteDieta.*, Pasti.Descrizione, Alimenti.Descrizione FROM (ClienteDieta "
         "INNER JOIN Pasti ON ClienteDieta.ID_pasto = Pasti.ID) INNER JOIN Alimenti ON "
         "ClienteDieta.ID_Alimento = Alimenti.ID order by Pasti.Ora, Alimenti.Descrizione", "", 1, -1},
        {"the centre's own bills", "select * from Scadenze where Cliente_ID is null", "", 1, -1},
        {"exercises with a picture", "select * from Esercizi where Immagine is not null", "", 1, -1},
        {"Monday slots", "select * from orari where Giorno = 'Lunedì' order by OrarioInizio", "", 1, -1},
        {"minors with a payer", "select * from anagraficaclienti where Quietanza_Cognome is not null", "", 1, -1},
    };
    bool ok = true;
    std::printf("\nChecks:\n");
    for (const Check& c : checks) {
        db::Dataset ds(&conn);
        ds.setSql(QString::fromUtf8(c.sql));
        ds.open();
        if (*c.filter) ds.setFilter(QString::fromUtf8(c.filter));
        const long long n = ds.recordCount();
        const bool pass = n >= c.min && (c.max < 0 || n <= c.max);
        ok = ok && pass;
        std::printf("  %-4s %-32s %8lld rows\n", pass ? "ok" : "FAIL", c.what, n);
    }
    const long long next = count(conn, QStringLiteral("SELECT max(Progressivo) as Prog FROM Occasionali"));
    const long long visitors = count(conn, QStringLiteral("SELECT count(*) AS N FROM Occasionali"));
    const bool progOk = next == visitors;
    ok = ok && progOk;
    std::printf("  %-4s %-32s %8lld\n", progOk ? "ok" : "FAIL", "highest Progressivo", next);
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const Args args = parseArgs(app.arguments());
    if (QFile::exists(args.path)) {
        std::fprintf(stderr, "generate: %s already exists\n", qPrintable(args.path));
        return 1;
    }
    const QString partial = args.path + QStringLiteral(".partial");
    QFile::remove(partial);
    const auto start = Clock::now();
    try {
        gen::Context ctx;
        ctx.root = gen::Rng(args.seed);
        ctx.today = gen::daysFromCivil(args.today.year(), args.today.month(), args.today.day());
        ctx.historyFrom = ctx.today - 5 * 365 - 1;
        ctx.sizes = gen::Sizes::scaled(args.scale);
        std::printf("Generating %s (scale %.2f, seed %llu, reference day %s)\n", qPrintable(args.path),
                    args.scale, (unsigned long long)args.seed, qPrintable(args.today.toString(Qt::ISODate)));
        {
            const auto t0 = Clock::now();
            db::Connection::createDatabase(partial);
            std::printf("  %-44s %7.2f s\n", "schema and reference data", seconds(t0));
        }
        {
            db::Connection conn;
            conn.open(partial);
            ctx.conn = &conn;
            gen::readTowns(ctx);
            const auto& s = ctx.sizes;
            step(conn, "registers, foods, exercises, pathologies", [&] { gen::fillReference(ctx); });
            char label[64];
            std::snprintf(label, sizeof label, "staff (%d)", s.staff);
            step(conn, label, [&] { gen::fillStaff(ctx); });
            std::snprintf(label, sizeof label, "clients (%d)", s.clients);
            step(conn, label, [&] { gen::fillClients(ctx); });
            std::snprintf(label, sizeof label, "occasional visitors (%d)", s.visitors);
            step(conn, label, [&] { gen::fillVisitors(ctx); });
            std::snprintf(label, sizeof label, "timetable (%d) and enrolments", s.slots);
            step(conn, label, [&] { gen::fillTimetable(ctx); });
            std::snprintf(label, sizeof label, "payments (%d)", s.payments);
            step(conn, label, [&] { gen::fillPayments(ctx); });
            std::snprintf(label, sizeof label, "deadlines (%d)", s.deadlines);
            step(conn, label, [&] { gen::fillDeadlines(ctx); });
            std::snprintf(label, sizeof label, "attendances (%d)", s.calendar);
            step(conn, label, [&] { gen::fillCalendar(ctx); });
            step(conn, "diets, training programmes, pathologies", [&] { gen::fillProgrammes(ctx); });
            ctx.conn = nullptr;
        }
        if (!QFile::rename(partial, args.path)) throw std::runtime_error("cannot rename the finished file");
        std::printf("  %-44s %7.2f s\n", "total", seconds(start));
        const auto t0 = Clock::now();
        const bool ok = sanityCheck(args.path);
        std::printf("\nChecked in %.2f s; file size %.1f MB\n", seconds(t0),
                    double(QFile(args.path).size()) / (1024.0 * 1024.0));
        return ok ? 0 : 3;
    } catch (const db::DatabaseError& e) {
        std::fprintf(stderr, "generate: %s\n", qPrintable(e.text()));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "generate: %s\n", e.what());
    }
    QFile::remove(partial);
    return 1;
}
