// db_bench: the database layer measured against plain SQLite on the same file, in the
// same run. Every figure is printed beside its reference with the ratio and the target;
// PASS/MISS is information, not an assertion.
//
//   db_bench [--db PATH] [--repeat N] [--only memory|open|filter|like|table1]
//
// PATH defaults to $VASTREL_BENCH_DB, else bench/out/large.db.
//
// --only runs one section, e.g. under valgrind --tool=callgrind.
//
// Times are medians of N runs (10 N for the filters, which take a millisecond or less);
// figure and reference alternate, so a busy moment of the machine hits both; the first run
// of each is a discarded warm-up.

#include "db/connection.h"
#include "db/dataset.h"
#include "db/error.h"

#include <QCoreApplication>
#include <QFile>

#include <malloc.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double millis(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Runs figure and reference alternately `repeat` times after one warm-up each; returns the
// two medians in milliseconds. `between` runs untimed after each figure run (clean-up).
std::pair<double, double> timePair(int repeat, const std::function<void()>& figure,
                                   const std::function<void()>& reference,
                                   const std::function<void()>& between = {}) {
    std::vector<double> f, r;
    for (int i = 0; i <= repeat; ++i) {
        auto t0 = Clock::now();
        figure();
        auto t1 = Clock::now();
        if (between) between();
        auto t2 = Clock::now();
        reference();
        auto t3 = Clock::now();
        if (i == 0) continue;
        f.push_back(millis(t0, t1));
        r.push_back(millis(t2, t3));
    }
    return {median(f), median(r)};
}

long rssKb() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

// A plain connection: no functions or collations of ours.
struct PlainDb {
    explicit PlainDb(const QString& path) {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &h, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(h));
    }
    ~PlainDb() { sqlite3_close(h); }
    sqlite3* h = nullptr;
};

long long countQuery(sqlite3* h, const std::string& sql) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(h, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(h));
    long long n = -1;
    if (sqlite3_step(st) == SQLITE_ROW) n = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    return n;
}

// The reference reader: one std::vector per column, texts as std::string, integers and
// reals as int64/double, chosen by the declared type as SQLite reports it.
struct RawColumn {
    enum Kind { Int, Real, Text } kind = Text;
    std::vector<int64_t> ints;
    std::vector<double> reals;
    std::vector<std::string> texts;
};

struct RawResult {
    std::vector<RawColumn> columns;
    size_t rows = 0;
    size_t valueBytes = 0; // text lengths + 8 per number that is not Null
};

RawResult readRaw(sqlite3* h, const std::string& sql, bool countBytes = false) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(h, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(h));
    RawResult out;
    const int n = sqlite3_column_count(st);
    out.columns.resize(size_t(n));
    for (int c = 0; c < n; ++c) {
        const char* decl = sqlite3_column_decltype(st, c);
        const std::string d = decl ? decl : "";
        auto& col = out.columns[size_t(c)];
        if (d.find("INT") != std::string::npos) col.kind = RawColumn::Int;
        else if (d == "CURRENCY" || d == "DOUBLE" || d == "REAL") col.kind = RawColumn::Real;
        else col.kind = RawColumn::Text;
    }
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (int c = 0; c < n; ++c) {
            auto& col = out.columns[size_t(c)];
            const bool isNull = sqlite3_column_type(st, c) == SQLITE_NULL;
            switch (col.kind) {
            case RawColumn::Int:
                col.ints.push_back(sqlite3_column_int64(st, c));
                if (countBytes && !isNull) out.valueBytes += 8;
                break;
            case RawColumn::Real:
                col.reals.push_back(sqlite3_column_double(st, c));
                if (countBytes && !isNull) out.valueBytes += 8;
                break;
            case RawColumn::Text: {
                const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
                const int len = sqlite3_column_bytes(st, c);
                col.texts.emplace_back(p ? p : "", size_t(len));
                if (countBytes) out.valueBytes += size_t(len);
                break;
            }
            }
        }
        ++out.rows;
    }
    sqlite3_finalize(st);
    return out;
}

// The same reader over the connection's streaming cursor, for queries that need the
// system's collation (ORDER BY on texts), which a bare SQLite handle does not have.
RawResult readCursor(db::Connection& conn, const QString& jetSql) {
    db::Cursor cur(conn, jetSql);
    RawResult out;
    const size_t n = cur.columns().size();
    out.columns.resize(n);
    for (size_t c = 0; c < n; ++c) {
        const db::FieldType t = cur.columns()[c].type;
        auto& col = out.columns[c];
        if (t == db::FieldType::Integer || t == db::FieldType::Bool || t == db::FieldType::Date)
            col.kind = RawColumn::Int;
        else if (t == db::FieldType::Double) col.kind = RawColumn::Real;
        else col.kind = RawColumn::Text;
    }
    while (cur.next()) {
        for (size_t c = 0; c < n; ++c) {
            auto& col = out.columns[c];
            switch (col.kind) {
            case RawColumn::Int: col.ints.push_back(cur.integer(int(c))); break;
            case RawColumn::Real: col.reals.push_back(cur.real(int(c))); break;
            case RawColumn::Text: col.texts.emplace_back(cur.text(int(c))); break;
            }
        }
        ++out.rows;
    }
    return out;
}

long long countThrough(db::Connection& conn, const std::string& sql) {
    db::RowStore store;
    conn.load(QString::fromStdString(sql), store);
    return store.rowCount() ? store.integer(0, 0) : -1;
}

struct Line {
    std::string what, figure, reference;
    double ratio, target;
};

std::vector<Line> lines;

std::string ms(double v) {
    char b[32];
    std::snprintf(b, sizeof b, v < 1 ? "%.3f ms" : v < 100 ? "%.2f ms" : "%.1f ms", v);
    return b;
}

std::string mb(double bytes) {
    char b[32];
    std::snprintf(b, sizeof b, "%.2f MB", bytes / (1024.0 * 1024.0));
    return b;
}

void add(const std::string& what, const std::string& figure, const std::string& reference,
         double ratio, double target) {
    lines.push_back({what, figure, reference, ratio, target});
}

void printTable() {
    std::printf("\n%-58s %13s %13s %8s %7s  %s\n", "measure (figure vs reference)", "figure",
                "reference", "ratio", "target", "result");
    std::printf("%s\n", std::string(112, '-').c_str());
    for (const Line& l : lines)
        std::printf("%-58s %13s %13s %8.2f %7s  %s\n", l.what.c_str(), l.figure.c_str(),
                    l.reference.c_str(), l.ratio,
                    l.target > 0 ? ("<= " + std::to_string(l.target).substr(0, 3)).c_str() : "-",
                    l.target <= 0 ? "(info)" : l.ratio <= l.target ? "PASS" : "MISS");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // bench/run-all names the generated database in VASTREL_BENCH_DB.
    QString path = qEnvironmentVariable("VASTREL_BENCH_DB", QStringLiteral("bench/out/large.db"));
    int repeat = 7;
    std::string only;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--db") && i + 1 < argc) path = QString::fromLocal8Bit(argv[++i]);
        else if (!std::strcmp(argv[i], "--repeat") && i + 1 < argc) repeat = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--only") && i + 1 < argc) only = argv[++i];
        else {
            std::fprintf(stderr, "usage: db_bench [--db PATH] [--repeat N] [--only SECTION]\n");
            return 2;
        }
    }
    auto run = [&](const char* section) { return only.empty() || only == section; };
    if (!QFile::exists(path)) {
        std::fprintf(stderr, "db_bench: %s is missing; run bench/generate first\n", qPrintable(path));
        return 2;
    }
    try {
        db::Connection conn;
        conn.open(path);
        PlainDb plain(path);
        const QString pagamenti = QStringLiteral("select * from Pagamenti order by Data Desc");
        const std::string engineSql = conn.translate(pagamenti).sql.toStdString();
        std::printf("db_bench on %s, %d timed runs per figure (median)\n", qPrintable(path), repeat);
        std::printf("engine SQL of TablePagamenti: %s\n", engineSql.c_str());

        // --- memory first, in a fresh process: RSS moves least before the allocator churns.
        countThrough(conn, "SELECT count(*) FROM Pagamenti WHERE Note IS NOT NULL"); // warm cache
        malloc_trim(0);
        const long rss0 = rssKb();
        db::Dataset payments(&conn);
        payments.setSql(pagamenti);
        payments.open();
        const long rss1 = rssKb();
        const size_t storeBytes = payments.store().memoryBytes();
        const RawResult raw = readRaw(plain.h, engineSql, true);
        std::printf("rows: dataset %d, raw reader %zu\n", payments.recordCount(), raw.rows);
        if (run("memory")) {
        add("memory: RowStore::memoryBytes() vs raw value bytes", mb(double(storeBytes)),
            mb(double(raw.valueBytes)), double(storeBytes) / double(raw.valueBytes), 3.0);
        add("memory: RSS growth on open vs raw value bytes", mb((rss1 - rss0) * 1024.0),
            mb(double(raw.valueBytes)), (rss1 - rss0) * 1024.0 / double(raw.valueBytes), 3.0);
        }

        // --- opening TablePagamenti
        if (run("open")) {
            db::Dataset ds(&conn);
            ds.setSql(pagamenti);
            size_t sink = 0;
            const auto [f, r] = timePair(
                repeat, [&] { ds.open(); }, [&] { sink += readRaw(plain.h, engineSql).rows; },
                [&] { ds.close(); });
            add("open TablePagamenti (200k rows) vs raw C API into vectors", ms(f), ms(r), f / r, 2.5);
            (void)sink;
        }

        // --- client-side filter over the payments: the client with the most payments
        const std::string busiest =
            "SELECT Cliente_ID FROM Pagamenti GROUP BY Cliente_ID ORDER BY count(*) DESC, Cliente_ID LIMIT 1";
        const long long client = countQuery(plain.h, busiest);
        const QString filter = QStringLiteral("Cliente_ID = %1").arg(client);
        const std::string where = " WHERE Cliente_ID = " + std::to_string(client);
        payments.setFilter(filter);
        const int filtered = payments.recordCount();
        payments.setFilter(QString());
        const long long expected = countQuery(plain.h, "SELECT count(*) FROM Pagamenti" + where);
        std::printf("filter \"%s\": dataset %d rows, SQLite count %lld\n", qPrintable(filter), filtered, expected);
        if (run("filter")) {
            const auto [f, r] = timePair(
                repeat * 10, [&] { payments.setFilter(filter); },
                [&] { countQuery(plain.h, "SELECT count(*) FROM Pagamenti" + where); },
                [&] { payments.setFilter(QString()); });
            add("filter Cliente_ID = n (200k) vs count(*) using its index", ms(f), ms(r), f / r, 1.0);
            const auto [f2, r2] = timePair(
                repeat * 10, [&] { payments.setFilter(filter); },
                [&] { countQuery(plain.h, "SELECT count(*) FROM Pagamenti NOT INDEXED" + where); },
                [&] { payments.setFilter(QString()); });
            add("filter Cliente_ID = n (200k) vs count(*) NOT INDEXED scan", ms(f2), ms(r2), f2 / r2, 1.0);
        }

        // --- client-side filter over the clients (Table1)
        const QString table1 = QStringLiteral(
            "SELECT *, Cognome + \"  \" + Nome as Nominativo FROM anagraficaclienti order by NominativoVisualizzato");
        db::Dataset clients(&conn);
        clients.setSql(table1);
        clients.open();
        const QString like = QStringLiteral("Cognome like 'ros*' and Nome like 'a*'");
        const std::string likeSql =
            "SELECT count(*) FROM anagraficaclienti WHERE Cognome like 'ros%' and Nome like 'a%'";
        clients.setFilter(like);
        std::printf("filter \"%s\": dataset %d of %d rows, SQLite count %lld (plain like), %lld (our like)\n",
                    qPrintable(like), clients.recordCount(), int(clients.store().rowCount()),
                    countQuery(plain.h, likeSql), countThrough(conn, likeSql));
        clients.setFilter(QString());
        if (run("like")) {
            const auto [f, r] = timePair(
                repeat * 10, [&] { clients.setFilter(like); }, [&] { countQuery(plain.h, likeSql); },
                [&] { clients.setFilter(QString()); });
            add("filter like ros*/a* (10k clients) vs count(*), SQLite's like", ms(f), ms(r), f / r, 1.0);
            const auto [f2, r2] = timePair(
                repeat * 10, [&] { clients.setFilter(like); }, [&] { countThrough(conn, likeSql); },
                [&] { clients.setFilter(QString()); });
            add("filter like ros*/a* (10k clients) vs count(*), our like()", ms(f2), ms(r2), f2 / r2, 1.0);
            // The longest pattern accepted costs one fold, not one per row.
            const std::string longest =
                "SELECT count(*) FROM anagraficaclienti WHERE Cognome like '" + std::string(49999, '*') + "a'";
            const std::string shortest = "SELECT count(*) FROM anagraficaclienti WHERE Cognome like '*a'";
            const auto [f3, r3] = timePair(
                repeat, [&] { countThrough(conn, longest); }, [&] { countThrough(conn, shortest); }, [] {});
            add("count(*) like 50,000-byte '**…a' (10k clients) vs like '*a'", ms(f3), ms(r3), f3 / r3, 3.0);
        }

        // --- for context: opening Table1 (10k clients, 49 columns, sorted by the collation)
        if (run("table1")) {
            db::Dataset ds(&conn);
            ds.setSql(table1);
            const auto [f, r] = timePair(
                repeat, [&] { ds.open(); }, [&] { readCursor(conn, table1); }, [&] { ds.close(); });
            add("open Table1 (10k clients) vs a bare cursor into vectors", ms(f), ms(r), f / r, 0);
        }
        printTable();
        return 0;
    } catch (const db::DatabaseError& e) {
        std::fprintf(stderr, "db_bench: %s\n", qPrintable(e.text()));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "db_bench: %s\n", e.what());
    }
    return 1;
}
