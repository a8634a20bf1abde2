#pragma once

// Timing helpers shared by the window benchmarks: milliseconds of a timer, and the median and
// 95th percentile of a series of runs.

#include <QElapsedTimer>
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

} // namespace bench
