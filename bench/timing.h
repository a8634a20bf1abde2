#pragma once

// Helpers shared by the window benchmarks: the large database copied for a run, milliseconds
// of a timer, and the median and 95th percentile of a series of runs.

#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstdio>
#include <algorithm>
#include <functional>
#include <vector>

namespace bench {

struct Times {
    double median = 0, p95 = 0;
};

inline double ms(const QElapsedTimer& t) { return double(t.nsecsElapsed()) / 1e6; }

inline Times summarise(std::vector<double> v) {
    if (v.empty()) return {};
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v[std::min(v.size() - 1, size_t(double(v.size()) * 0.95))]};
}

// Runs `f(i)` for i in [0, runs) and times each run.
inline Times measure(int runs, const std::function<void(int)>& f) {
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        f(i);
        t.push_back(ms(timer));
    }
    return summarise(std::move(t));
}

// The benchmark's database (argv[1], else $VASTREL_BENCH_DB, else bench/out/large.db) copied
// into `dir` as archivio.db, so a run never changes the generated file. Empty on failure,
// after saying why.
inline QString copiaDatabase(int argc, char** argv, const QTemporaryDir& dir, const char* program) {
    QString source = argc > 1 ? QString::fromLocal8Bit(argv[1]) : qEnvironmentVariable("VASTREL_BENCH_DB");
    if (source.isEmpty()) source = QStringLiteral("bench/out/large.db");
    const QString path = dir.filePath(QStringLiteral("archivio.db"));
    if (!QFile::copy(source, path)) {
        std::fprintf(stderr, "%s: cannot copy %s (run bench/run-all once)\n", program, qPrintable(source));
        return {};
    }
    std::printf("database: %s\n", qPrintable(source));
    return path;
}

} // namespace bench
