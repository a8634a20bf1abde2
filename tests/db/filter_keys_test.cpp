// Filters that list keys ("Cliente_ID = 3 or Cliente_ID = 9 or ..."), as the payments
// register builds for the clients of a surname: the same rows as the comparisons one by one,
// Null cells failing, negation, other columns or kinds in the chain, and a thousand keys.

#include "db/datetime.h"
#include "db/filter.h"
#include "db/rowstore.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <random>
#include <set>

using namespace db;

namespace {

// Columns Id, Cliente_ID (Null on every seventh row), Data; row r has Id r + 1.
RowStore store(int rows, int clients) {
    auto col = [](const char* name, FieldType type) {
        ColumnInfo c;
        c.name = QString::fromLatin1(name);
        c.table = QStringLiteral("Pagamenti");
        c.origin = c.name;
        c.type = type;
        return c;
    };
    RowStore s({col("Id", FieldType::Integer), col("Cliente_ID", FieldType::Integer), col("Data", FieldType::Date)});
    std::mt19937 random(7);
    for (int r = 0; r < rows; ++r) {
        const int i = s.appendRow();
        s.setInteger(i, 0, r + 1);
        if (r % 7 != 6) s.setInteger(i, 1, long(random() % unsigned(clients)) + 1);
        s.setInteger(i, 2, civilFromParts(2024, 1 + r % 12, 1 + r % 28, 0, 0, 0));
    }
    return s;
}

std::vector<long long> ids(const RowStore& s, const QString& filter) {
    const CompiledFilter f = CompiledFilter::compile(filter, s);
    std::vector<long long> out;
    for (int r = 0; r < s.rowCount(); ++r)
        if (f.matches(s, r)) out.push_back(s.integer(r, 0));
    return out;
}

QString keys(const std::vector<int>& clients, const char* column = "Cliente_ID") {
    QStringList parts;
    for (int c : clients) parts << QStringLiteral("%1 = %2").arg(QLatin1String(column)).arg(c);
    return parts.join(QStringLiteral(" or "));
}

TEST(FilterKeys, AChainOfKeysSelectsTheRowsOfThoseKeysOnly) {
    const RowStore s = store(20000, 5000);
    const std::vector<int> few{3, 9, 17, 21, 9, 3};
    std::vector<int> many; // a thousand keys, as one letter of a surname gives
    for (int c = 1; c <= 5000; c += 5) many.push_back(c);
    const std::set<long long> chosen(few.begin(), few.end());
    // What each row holds, read plainly: the oracle of the cases below.
    auto where = [&](auto test) {
        std::vector<long long> out;
        for (int r = 0; r < s.rowCount(); ++r)
            if (test(r)) out.push_back(r + 1);
        return out;
    };
    auto in = [&](int r) { return !s.isNull(r, 1) && chosen.count(s.integer(r, 1)) > 0; };
    auto notIn = [&](int r) { return !s.isNull(r, 1) && chosen.count(s.integer(r, 1)) == 0; };
    const CivilTime june = civilFromParts(2024, 6, 1, 0, 0, 0);
    struct Case {
        QString filter;
        std::vector<long long> expected;
    };
    const Case cases[] = {
        {keys(few), where(in)},
        {"(" + keys(few) + ")", where(in)},
        {"not (" + keys(few) + ")", where(notIn)},
        {"Data >= #2024-06-01# and (" + keys(few) + ")", where([&](int r) { return in(r) && s.date(r, 2) >= june; })},
        {"(" + keys(few) + ") or Id = 1", where([&](int r) { return in(r) || r == 0; })},
        // Another column, a fraction or another operator in the chain: compared one by one.
        {keys({3, 9, 17}) + " or Id = 2 or Cliente_ID = 21", where([&](int r) { return in(r) || r == 1; })},
        {keys(few) + " or Cliente_ID = 2.5", where(in)},
        {keys(few) + " or Cliente_ID > 28",
         where([&](int r) { return in(r) || (!s.isNull(r, 1) && s.integer(r, 1) > 28); })},
        {keys({0, 0, 0, 0}), {}},
        {keys(many), where([&](int r) { return !s.isNull(r, 1) && (s.integer(r, 1) - 1) % 5 == 0; })},
        {"Data = #2024-01-01# or Data = #2024-02-02# or Data = #2024-03-03# or Data = #2024-03-03#",
         where([&](int r) { return r % 12 == r % 28 && r % 12 < 3; })},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.filter.left(120).toStdString());
        EXPECT_EQ(ids(s, k.filter), k.expected);
    }
}

} // namespace
