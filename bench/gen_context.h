#pragma once

// Shared state of the large-database generator: the connection with a small statement
// wrapper, the size of each table, and the people and places drawn so far,
// which later tables refer to.

#include "gen_random.h"

#include "db/connection.h"

#include <QVariant>

#include <algorithm>
#include <memory>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace gen {

struct Null {};

// A Jet statement run through the program's own connection: row(a, b, c) binds the values
// in order and runs an INSERT once; step() reads a SELECT a row at a time.
class Stmt {
public:
    Stmt(db::Connection& c, const char* sql) : m_c(c), m_sql(QString::fromUtf8(sql)) {}
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;

    template <class... T> void row(const T&... values) {
        QVariantList params;
        params.reserve(int(sizeof...(T)));
        (add(params, values), ...);
        m_c.execute(m_sql, params);
    }
    // The same with the values in a braced tuple, std::tuple{a(), b()}: unlike function
    // arguments, a braced list is evaluated left to right, so draws from one random
    // source land in the same columns with every compiler.
    template <class... T> void values(const std::tuple<T...>& t) {
        std::apply([this](const auto&... v) { row(v...); }, t);
    }
    // For a SELECT: steps, true while there is a row.
    bool step() {
        if (!m_cursor) m_cursor = std::make_unique<db::Cursor>(m_c, m_sql);
        return m_cursor->next();
    }
    long long integer(int c) const { return m_cursor->integer(c); }
    std::string text(int c) const { return std::string(m_cursor->text(c)); }

private:
    static void add(QVariantList& p, Null) { p << QVariant(); }
    static void add(QVariantList& p, int v) { p << qlonglong(v); }
    static void add(QVariantList& p, long long v) { p << qlonglong(v); }
    static void add(QVariantList& p, bool v) { p << qlonglong(v ? 1 : 0); }
    static void add(QVariantList& p, double v) { p << v; }
    static void add(QVariantList& p, std::string_view v) {
        p << QString::fromUtf8(v.data(), qsizetype(v.size()));
    }
    static void add(QVariantList& p, const std::string& v) { add(p, std::string_view(v)); }
    static void add(QVariantList& p, const char* v) { add(p, std::string_view(v)); }
    static void add(QVariantList& p, const std::vector<char>& blob) {
        p << QByteArray(blob.data(), qsizetype(blob.size()));
    }
    template <class T> static void add(QVariantList& p, const std::optional<T>& v) {
        if (v) add(p, *v);
        else add(p, Null{});
    }

    db::Connection& m_c;
    QString m_sql;
    std::unique_ptr<db::Cursor> m_cursor;
};

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
    db::Connection* conn = nullptr;
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
