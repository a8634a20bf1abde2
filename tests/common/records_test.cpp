// Saving, confirming, deleting and realigning the current record of a shared query, on the
// foods register of a real database shown in the order of their description.

#include "common/records.h"
#include "db/dataset.h"
#include "db/error.h"
#include "support/tempdb.h"
#include "support/values.h"

#include <gtest/gtest.h>

using namespace common;
using testing_support::scalar;

namespace {

class Records : public ::testing::Test {
protected:
    testing_support::TempDatabase tdb;
    db::Connection& m_conn = tdb.connection();
    db::Dataset q{&tdb.connection()};

    // Adds the foods and opens the query on them.
    db::Dataset& open(QStringList names, const QString& sql = "select * from Alimenti order by Descrizione") {
        for (const QString& name : names) m_conn.execute("INSERT INTO Alimenti (Descrizione) VALUES (?)", {name});
        q.setSql(sql);
        q.open();
        return q;
    }
    QString current() const { return q.value("Descrizione").toString(); }
    long long currentKey() const { return q.keyValue("Id"); }
    // What the table holds, read on the connection itself.
    QStringList stored() {
        QStringList out;
        for (const auto& row : testing_support::rows(m_conn, "select Descrizione from Alimenti order by Descrizione"))
            out << row[0].toString();
        return out;
    }
    long long keyOf(const QString& description) {
        return scalar(m_conn, QString("select ID from Alimenti where Descrizione = '%1'").arg(description)).toLongLong();
    }
    void moveTo(const char* description) { ASSERT_TRUE(q.locate("Descrizione", QString::fromUtf8(description))); }
};

} // namespace

TEST_F(Records, NewRecordIsCurrentAfterSavingAlthoughItMovedInTheOrder) {
    open({"Banana", "Mela", "Pera"}).append();
    q.setValue("Descrizione", "Kiwi");
    SalvaRecord(q, "Id");
    EXPECT_EQ(stored(), QStringList({"Banana", "Kiwi", "Mela", "Pera"}));
    EXPECT_EQ(q.recordCount(), 4);
    EXPECT_EQ(current(), "Kiwi");
    EXPECT_EQ(q.position(), 1); // requeried: the row now sits in its place of the order
    EXPECT_EQ(currentKey(), keyOf("Kiwi"));
    EXPECT_EQ(q.state(), db::Dataset::State::Browse);

    // Under the query's own sort and filter, which stay.
    q.setSort("Descrizione DESC");
    q.setFilter("Descrizione <> 'Mela'");
    q.last();
    q.append();
    q.setValue("Descrizione", "Zucca");
    SalvaRecord(q, "id"); // the key's case does not matter
    EXPECT_EQ(current(), "Zucca");
    EXPECT_EQ(q.position(), 0);
    EXPECT_EQ(q.recordCount(), 4);
    EXPECT_EQ(q.filter(), "Descrizione <> 'Mela'");
    EXPECT_EQ(q.sort(), "Descrizione DESC");
}

TEST_F(Records, ExistingRecordFollowedAfterItsOrderColumnChanged) {
    open({"Banana", "Mela", "Pera"});
    moveTo("Banana");
    const long long key = currentKey();
    // A bound edit control holding typed text hands it over when asked.
    QObject::connect(&q, &db::Dataset::updateRecordRequested, [&] { q.setValue("Descrizione", "Uva"); });
    SalvaRecord(q, "Id");
    EXPECT_EQ(stored(), QStringList({"Mela", "Pera", "Uva"}));
    EXPECT_EQ(current(), "Uva");
    EXPECT_EQ(q.position(), 2);
    EXPECT_EQ(currentKey(), key);
}

TEST_F(Records, NewKeyIsAskedOfTheConnectionWhenTheQueryCannotSeeIt) {
    // A computed key: the row posted does not bring it back, so only the identity
    // exchange can find the new record.
    const QString sql = "select ID + 0 as Id, Descrizione from Alimenti order by Descrizione";
    open({"Banana", "Pera"}, sql).setFilter("Descrizione <> 'Pera'");
    QStringList seenByControls;
    QObject::connect(&q, &db::Dataset::layoutReset, [&] { seenByControls << q.sql(); });
    q.append();
    q.setValue("Descrizione", "Mela");
    seenByControls.clear();
    SalvaRecord(q, "Id");

    EXPECT_EQ(q.sql(), sql);
    EXPECT_EQ(q.filter(), "Descrizione <> 'Pera'");
    EXPECT_EQ(q.recordCount(), 2);
    EXPECT_EQ(current(), "Mela");
    EXPECT_EQ(currentKey(), keyOf("Mela"));
    EXPECT_FALSE(q.controlsDisabled());
    // Bound controls never saw the identity query, only the final state.
    EXPECT_FALSE(seenByControls.isEmpty());
    for (const QString& s : seenByControls) EXPECT_EQ(s, sql);
}

TEST_F(Records, ConfirmPostsAndStaysInEditModeOnTheSameRow) {
    open({"Banana", "Mela", "Pera"});
    moveTo("Banana");
    q.setValue("Descrizione", "Zucca");
    ConfermaRecord(q, "Id");
    EXPECT_EQ(stored(), QStringList({"Mela", "Pera", "Zucca"}));
    EXPECT_EQ(q.state(), db::Dataset::State::Edit);
    EXPECT_EQ(q.position(), 0); // no requery: the row stays where it was
    EXPECT_EQ(current(), "Zucca");

    // A new record is inserted once and stays in edit: a further confirmation updates it.
    q.append();
    q.setValue("Descrizione", "Kiwi");
    ConfermaRecord(q, "Id");
    EXPECT_EQ(q.state(), db::Dataset::State::Edit);
    EXPECT_EQ(currentKey(), keyOf("Kiwi"));
    q.setValue("Descrizione", "Kiwi gold");
    ConfermaRecord(q, "Id");
    EXPECT_EQ(stored(), QStringList({"Kiwi gold", "Mela", "Pera", "Zucca"}));
}

TEST_F(Records, DeletingMakesThePreviousRecordCurrentOrTheNextAfterTheFirst) {
    const struct {
        const char* sort;
        const char* deleted;
        const char* currentAfter;
    } cases[] = {
        {"", "Arancia", "Banana"}, {"", "Cedro", "Banana"}, {"", "Dattero", "Cedro"},
        {"Descrizione DESC", "Banana", "Cedro"}, // previous in the sorted view
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.deleted);
        m_conn.execute("delete * from Alimenti");
        open({"Arancia", "Banana", "Cedro", "Dattero"}).setSort(c.sort);
        moveTo(c.deleted);
        EliminaRecord(q, "Id");
        QStringList left = {"Arancia", "Banana", "Cedro", "Dattero"};
        left.removeOne(QString::fromUtf8(c.deleted));
        EXPECT_EQ(stored(), left);
        EXPECT_EQ(q.recordCount(), 3);
        EXPECT_EQ(current(), QString::fromUtf8(c.currentAfter));
    }
    // The only record: an empty query, then nothing to do.
    m_conn.execute("delete * from Alimenti");
    EliminaRecord(open({"Arancia"}), "Id");
    EXPECT_TRUE(q.isEmpty());
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_NO_THROW(EliminaRecord(q, "Id"));
}

TEST_F(Records, RealignShowsOtherWorkstationsRowsAndKeepsTheCurrentRecord) {
    open({"Mela", "Pera"});
    moveTo("Mela");
    auto other = tdb.openAnother();
    other->execute("INSERT INTO Alimenti (Descrizione) VALUES ('Albicocca')");
    other->execute("INSERT INTO Alimenti (Descrizione) VALUES ('Arancia')");
    other->execute("UPDATE Alimenti SET KC = 52 WHERE Descrizione = 'Mela'");
    RiallineaRecord(q, "Id");
    EXPECT_EQ(q.recordCount(), 4);
    EXPECT_EQ(current(), "Mela");
    EXPECT_EQ(q.position(), 2);
    EXPECT_EQ(q.value("KC").toDouble(), 52.0);
}

TEST_F(Records, RealignOfAnEmptyQueryDoesNotRequery) {
    open({});
    m_conn.execute("INSERT INTO Alimenti (Descrizione) VALUES ('Mela')");
    RiallineaRecord(q, "Id");
    EXPECT_TRUE(q.isEmpty());
}
