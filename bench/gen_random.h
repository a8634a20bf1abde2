#pragma once

// Helpers of the large-database generator: a seeded random source that gives the same
// sequence on every platform, civil dates as day numbers, and text helpers for tax codes
// and e-mail addresses.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace gen {

// splitmix64: tiny, fast, and its output depends on nothing but the seed (the standard
// distributions differ between library implementations, so they are not used).
class Rng {
public:
    explicit Rng(uint64_t seed) : m_s(seed) {}
    // An independent stream per table, so that changing one table leaves the others alone.
    Rng fork(std::string_view name) const {
        uint64_t h = 1469598103934665603ull;
        for (char c : name) h = (h ^ uint8_t(c)) * 1099511628211ull;
        return Rng(m_s ^ h);
    }
    uint64_t next() {
        uint64_t z = (m_s += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }
    // 0 <= r < n
    uint32_t below(uint32_t n) { return uint32_t(((next() >> 32) * uint64_t(n)) >> 32); }
    // lo <= r <= hi
    int range(int lo, int hi) { return lo + int(below(uint32_t(hi - lo + 1))); }
    double unit() { return double(next() >> 11) * 0x1.0p-53; }
    bool chance(double p) { return unit() < p; }
    template <class T> const T& pick(std::span<const T> items) { return items[below(uint32_t(items.size()))]; }
    template <class T, size_t N> const T& pick(const T (&items)[N]) { return items[below(uint32_t(N))]; }

private:
    uint64_t m_s;
};

// A choice among n items with given weights, by binary search over the running sums.
class Weighted {
public:
    Weighted() = default;
    explicit Weighted(const std::vector<double>& weights) {
        double sum = 0;
        m_cum.reserve(weights.size());
        for (double w : weights) m_cum.push_back(sum += w);
    }
    // Zipf-like weights 1/(i+1)^s: the first names of a list are the most common.
    static Weighted zipf(size_t n, double s) {
        std::vector<double> w(n);
        for (size_t i = 0; i < n; ++i) w[i] = 1.0 / std::pow(double(i + 1), s);
        return Weighted(w);
    }
    size_t operator()(Rng& rng) const {
        const double x = rng.unit() * m_cum.back();
        return size_t(std::upper_bound(m_cum.begin(), m_cum.end(), x) - m_cum.begin());
    }
    size_t size() const { return m_cum.size(); }

private:
    std::vector<double> m_cum;
};

// Days since 1970-01-01 (Howard Hinnant's algorithms).
inline int daysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = unsigned((153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1);
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + int(doe) - 719468;
}

struct Ymd {
    int y, m, d;
};

inline Ymd civilFromDays(int z) {
    z += 719468;
    const int era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const int d = int(doy - (153 * mp + 2) / 5 + 1);
    const int m = int(mp < 10 ? mp + 3 : mp - 9);
    return {int(yoe) + era * 400 + (m <= 2), m, d};
}

// 0 = Monday ... 6 = Sunday
inline int weekday(int days) { return ((days % 7) + 7 + 3) % 7; }

// The stored form of dates: "YYYY-MM-DD HH:MM:SS".
inline std::string storedDate(int days, int minuteOfDay = 0) {
    const Ymd c = civilFromDays(days);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:00", c.y, c.m, c.d,
                  minuteOfDay / 60, minuteOfDay % 60);
    return buf;
}

inline std::string italianDate(int days) {
    const Ymd c = civilFromDays(days);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", c.d, c.m, c.y);
    return buf;
}

// "hh.mm", the timetable's way of writing a time.
inline std::string hhmm(int minuteOfDay) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%02d.%02d", minuteOfDay / 60, minuteOfDay % 60);
    return buf;
}

// Upper-case ASCII letters of a UTF-8 name: accents dropped (à -> A), anything that is
// not a letter (apostrophes, blanks) skipped. Enough for Italian names.
inline std::string asciiLetters(std::string_view s, bool upper = true) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        unsigned char c = uint8_t(s[i]);
        char base = 0;
        if (c < 0x80) {
            if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) base = char(c);
        } else if (c == 0xC3 && i + 1 < s.size()) {
            const unsigned char n = uint8_t(s[++i]);
            static const char map[] = "AAAAAAACEEEEIIIIDNOOOOOxOUUUUYxsaaaaaaaceeeeiiiidnooooo/ouuuuyxy";
            if (n >= 0x80 && n < 0xC0) base = map[n - 0x80];
            if (base == 'x' || base == '/') base = 0;
        } else {
            while (i + 1 < s.size() && (uint8_t(s[i + 1]) & 0xC0) == 0x80) ++i;
        }
        if (!base) continue;
        out += upper ? char(base & ~0x20) : char(base | 0x20);
    }
    return out;
}

// Italian tax code (codice fiscale): surname, name, birth date and sex, municipality
// code, check letter, computed the official way.
inline std::string taxCode(std::string_view surname, std::string_view name, Ymd birth,
                           bool female, std::string_view placeCode) {
    auto split = [](const std::string& s, std::string& cons, std::string& vow) {
        for (char c : s) (std::string_view("AEIOU").find(c) != std::string_view::npos ? vow : cons) += c;
    };
    std::string c1, v1, c2, v2;
    split(asciiLetters(surname), c1, v1);
    split(asciiLetters(name), c2, v2);
    std::string out = (c1 + v1 + "XXX").substr(0, 3);
    if (c2.size() >= 4)
        out += std::string{c2[0], c2[2], c2[3]};
    else
        out += (c2 + v2 + "XXX").substr(0, 3);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%02d%c%02d", birth.y % 100, "ABCDEHLMPRST"[birth.m - 1],
                  birth.d + (female ? 40 : 0));
    out += buf;
    out += placeCode.empty() ? std::string("H501") : std::string(placeCode);
    static const int odd[] = {1, 0, 5, 7, 9, 13, 15, 17, 19, 21, 2, 4, 18, 20, 11, 3, 6, 8,
                              12, 14, 16, 10, 22, 25, 24, 23};
    int sum = 0;
    for (size_t i = 0; i < 15 && i < out.size(); ++i) {
        const char ch = out[i];
        const int v = ch >= '0' && ch <= '9' ? ch - '0' : ch - 'A';
        sum += (i % 2 == 0) ? odd[v] : v; // positions count from 1: odd ones use the table
    }
    out += char('A' + sum % 26);
    return out;
}

} // namespace gen
