// Month arithmetic of subscription expiries.

#include "common/scadenze.h"

#include <gtest/gtest.h>

namespace {

TEST(ScadenzaAbbonamento, MonthsFromToday) {
    struct Case {
        QDate oggi;
        QVariant mesi;
        QDate attesa; // invalid: nothing computed
    };
    const Case cases[] = {
        {{2024, 1, 31}, 1, {2024, 2, 29}},      // leap year: last day of February
        {{2025, 1, 31}, 1, {2025, 2, 28}},
        {{2024, 11, 15}, 3, {2025, 2, 15}},     // into the next year
        {{2024, 2, 29}, 12, {2025, 2, 28}},
        {{2024, 3, 10}, 2.9, {2024, 5, 10}},    // only whole months count
        {{2024, 3, 31}, 1, {2024, 4, 30}}, {{2024, 12, 31}, 2, {2025, 2, 28}}, {{2024, 8, 31}, 1, {2024, 9, 30}},
        {{2024, 3, 10}, 0.5, {2024, 3, 10}},    // above 0, but no whole month
        {{2024, 11, 15}, 14, {2026, 1, 15}},    // more than 12 months: whole years carried
        {{2024, 11, 15}, 26, {2027, 1, 15}},    // past 24: carried twice
        {{2024, 1, 31}, 25, {2026, 2, 28}}, {{2024, 1, 15}, 120, {2034, 1, 15}},
        {{2024, 3, 10}, "3", {2024, 6, 10}},    // a number held as text
        {{2024, 3, 10}, 0, {}}, {{2024, 3, 10}, -1, {}}, {{2024, 3, 10}, -0.5, {}}, {{2024, 3, 10}, QVariant(), {}},
        {{2024, 3, 10}, QVariant(QMetaType::fromType<double>()), {}}, {{2024, 3, 10}, "tre", {}},
        {{2024, 3, 10}, 1e12, {}},              // beyond any date
        {{2024, 3, 10}, std::numeric_limits<double>::infinity(), {}},
        {{2024, 3, 10}, std::numeric_limits<double>::quiet_NaN(), {}},
    };
    for (const Case& c : cases) {
        const std::optional<QDate> got = common::ScadenzaAbbonamento(c.oggi, c.mesi);
        SCOPED_TRACE(c.oggi.toString("dd/MM/yyyy").toStdString() + " + " + c.mesi.toString().toStdString());
        if (c.attesa.isValid()) {
            ASSERT_TRUE(got.has_value());
            EXPECT_EQ(*got, c.attesa);
        } else {
            EXPECT_FALSE(got.has_value());
        }
    }
}

TEST(ScadenzaAbbonamento, RecomputedFromTheNewTodayNotFromThePreviousExpiry) {
    const QDate first = *common::ScadenzaAbbonamento({2024, 3, 1}, 1);
    const QDate weekLater = *common::ScadenzaAbbonamento({2024, 3, 8}, 1);
    EXPECT_EQ(first, QDate(2024, 4, 1));
    EXPECT_EQ(weekLater, QDate(2024, 4, 8));
}

TEST(AggiungiMesi, KeepsTheDayOrTakesTheLastDayOfTheMonth) {
    EXPECT_EQ(common::AggiungiMesi({2024, 8, 31}, 1), QDate(2024, 9, 30)); // a new client on 31 August
    EXPECT_EQ(common::AggiungiMesi({2024, 1, 31}, 0), QDate(2024, 1, 31));
    EXPECT_EQ(common::AggiungiMesi({2023, 12, 31}, 2), QDate(2024, 2, 29));
    EXPECT_EQ(common::AggiungiMesi({2100, 1, 29}, 1), QDate(2100, 2, 28)); // not a leap year
    EXPECT_EQ(common::AggiungiMesi({2000, 1, 29}, 1), QDate(2000, 2, 29));
    EXPECT_FALSE(common::AggiungiMesi({2024, 1, 1}, -1).isValid());
    EXPECT_FALSE(common::AggiungiMesi(QDate(), 1).isValid());
    EXPECT_FALSE(common::AggiungiMesi({9999, 12, 1}, 1).isValid());
}

} // namespace
