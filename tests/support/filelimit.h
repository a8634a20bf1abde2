#pragma once

// A disk that fills up half-way through a write: this process's files are limited to a few
// bytes while `write` runs, so a write past the limit fails instead of ending the process.

#include <csignal>
#include <functional>
#include <sys/resource.h>

namespace testing_support {

inline void withFileSizeLimit(rlim_t bytes, const std::function<void()>& write) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    rlimit small = before;
    small.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &small);
    struct Restore {
        rlimit r;
        ~Restore() { setrlimit(RLIMIT_FSIZE, &r); }
    } restore{before};
    write();
}

} // namespace testing_support
