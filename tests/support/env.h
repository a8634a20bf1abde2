#pragma once

// Environment variables set (or removed) for one test; the old state comes back when it ends.

#include <QByteArray>
#include <QList>
#include <optional>
#include <utility>

namespace testing_support {

struct ScopedEnv {
    ScopedEnv() = default;
    ScopedEnv(const char* name, std::optional<QByteArray> value) { set(name, std::move(value)); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
    void set(const char* name, std::optional<QByteArray> value) {
        old.append({name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt});
        if (value) qputenv(name, *value);
        else qunsetenv(name);
    }
    ~ScopedEnv() {
        for (auto it = old.crbegin(); it != old.crend(); ++it)
            if (it->second) qputenv(it->first, *it->second);
            else qunsetenv(it->first);
    }
    QList<std::pair<const char*, std::optional<QByteArray>>> old;
};

} // namespace testing_support
