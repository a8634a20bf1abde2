#pragma once

// Shared state of the large-database generator: the SQLite handle with a small prepared
// statement wrapper, the size of each table, and the people and places drawn so far,
// which later tables refer to.

#include "gen_random.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace gen {

struct Null {};

// A prepared INSERT run once per row: row(a, b, c) binds the values in order and steps.
class Stmt {
public:
    Stmt(sqlite3* h, const char* sql) : m_h(h) {
        if (sqlite3_prepare_v2(h, sql, -1, &m_st, nullptr) != SQLITE_OK) fail();
    }
    ~Stmt() { sqlite3_finalize(m_st); }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;

    template <class... T> void row(const T&... values) {
        int i = 0;
        (bind(++i, values), ...);
        if (sqlite3_step(m_st) != SQLITE_DONE) fail();
        sqlite3_reset(m_st);
    }
    // The same with the values in a braced tuple, std::tuple{a(), b()}: unlike function
    // arguments, a braced list is evaluated left to right, so draws from one random
    // source land in the same columns with every compiler.
    template <class... T> void values(const std::tuple<T...>& t) {
        std::apply([this](const auto&... v) { row(v...); }, t);
    }
    // For a SELECT: steps, true while there is a row.
    bool step() {
        const int rc = sqlite3_step(m_st);
        if (rc == SQLITE_ROW) return true;
        if (rc != SQLITE_DONE) fail();
        return false;
    }
    long long integer(int c) const { return sqlite3_column_int64(m_st, c); }
    std::string text(int c) const {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_st, c));
        return p ? std::string(p, size_t(sqlite3_column_bytes(m_st, c))) : std::string();
    }

private:
    void bind(int i, Null) { check(sqlite3_bind_null(m_st, i)); }
    void bind(int i, int v) { check(sqlite3_bind_int64(m_st, i, v)); }
    void bind(int i, long long v) { check(sqlite3_bind_int64(m_st, i, v)); }
    void bind(int i, bool v) { check(sqlite3_bind_int64(m_st, i, v ? 1 : 0)); }
    void bind(int i, double v) { check(sqlite3_bind_double(m_st, i, v)); }
    void bind(int i, std::string_view v) {
        check(sqlite3_bind_text(m_st, i, v.data(), int(v.size()), SQLITE_TRANSIENT));
    }
    void bind(int i, const std::string& v) { bind(i, std::string_view(v)); }
    void bind(int i, const char* v) { bind(i, std::string_view(v)); }
    void bind(int i, const std::vector<char>& blob) {
        check(sqlite3_bind_blob(m_st, i, blob.data(), int(blob.size()), SQLITE_TRANSIENT));
    }
    template <class T> void bind(int i, const std::optional<T>& v) {
        if (v) bind(i, *v);
        else bind(i, Null{});
    }
    void check(int rc) { if (rc != SQLITE_OK) fail(); }
    [[noreturn]] void fail() { throw std::runtime_error(sqlite3_errmsg(m_h)); }

    sqlite3* m_h;
    sqlite3_stmt* m_st = nullptr;
};

inline void exec(sqlite3* h, const char* sql) {
    char* err = nullptr;
    if (sqlite3_exec(h, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        const std::string msg = err ? err : "sqlite3_exec failed";
        sqlite3_free(err);
        throw std::runtime_error(msg);
    }
}

struct Town {
    int id;
    std::string name, province, cap, code;
};

struct Person {
    std::string surname, name;
    bool female = false;
    int birth = 0; // days since 1970
    const Town* birthplace = nullptr;
    std::string taxCode() const {
        return gen::taxCode(surname, name, civilFromDays(birth), female,
                            birthplace ? birthplace->code : std::string());
    }
};

struct Client {
    int id;
    std::string documentName; // NominativoDocumenti: copied into Calendario and Scadenze
    int join, leave;          // days: entered, and last day of activity (today when active)
    bool cancelled, active;
    int payMethod;
};

struct StaffMember {
    int id;
    std::string calendarName; // the Personale text of their appointments
    int job;                  // index into Jobs
    bool teaches, cancelled;
};

struct Slot {
    int id, specialty, weekday, start, end, instructor;
};

struct Sizes {
    int clients, staff, slots, payments, deadlines, calendar, visitors;
    static Sizes scaled(double s) {
        auto n = [s](int base, int min) { return std::max(min, int(base * s + 0.5)); };
        return {n(10000, 50), n(150, 12), n(400, 20), n(200000, 100), n(50000, 50),
                n(300000, 100), n(2000, 10)};
    }
};

struct Context {
    sqlite3* h = nullptr;
    Rng root{1};
    int today = 0;      // days since 1970: the reference day of the data
    int historyFrom = 0; // five years before today: payments and attendances start here
    Sizes sizes{};
    std::vector<Town> towns;
    std::vector<int> homeProvince; // indexes of towns in the centre's province
    int homeTown = 0;
    std::vector<int> bigCities;
    std::vector<Client> clients;
    std::vector<StaffMember> staff;
    std::vector<Slot> slots;
    std::vector<int> foodsByCategory[8]; // ids, by gen::Food category order "cmpvfdo"
    std::vector<std::pair<int, std::string>> exercises; // id, description
    int pathologies = 0, meals = 0;

    Rng rng(std::string_view table) const { return root.fork(table); }

    // Seasons run from September to August; key 1 is the one starting in firstSeasonYear.
    int firstSeasonYear = 0, seasonCount = 0;
    int seasonOf(int day) const {
        const Ymd c = civilFromDays(day);
        const int y = c.m >= 9 ? c.y : c.y - 1;
        return std::clamp(y - firstSeasonYear + 1, 1, seasonCount);
    }
};

} // namespace gen
