#include "common/records.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/error.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

using namespace common;

namespace {

// A small register in a real database file: foods with an auto-number key, shown by a
// shared-style query ordered by description.
class Records : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("prova.db"));
        QFile empty(m_path);
        ASSERT_TRUE(empty.open(QIODevice::WriteOnly)); // an empty file is an empty database
        empty.close();
        m_conn.open(m_path, {.anyDatabase = true});
        m_conn.execute(
            QStringLiteral("CREATE TABLE Alimenti (Id COUNTER CONSTRAINT PK_Alimenti PRIMARY KEY, "
                           "Descrizione TEXT(100), Kcal DOUBLE)"));
        m_query = std::make_unique<db::Dataset>(&m_conn);
    }

    void addRows(std::initializer_list<const char*> names) {
        for (const char* name : names)
            m_conn.execute(QStringLiteral("INSERT INTO Alimenti (Descrizione) VALUES ('%1')")
                               .arg(QString::fromUtf8(name)));
    }

    db::Dataset&
    open(const QString& sql = QStringLiteral("select * from Alimenti order by Descrizione")) {
        m_query->setSql(sql);
        m_query->open();
        return *m_query;
    }

    QString current() const { return m_query->value(QStringLiteral("Descrizione")).toString(); }
    long long currentKey() const { return m_query->keyValue(QStringLiteral("Id")); }

    // What the table holds, read on the connection itself.
    QStringList stored() {
        db::RowStore rows;
        m_conn.load(QStringLiteral("select Descrizione from Alimenti order by Descrizione"), rows);
        QStringList out;
        for (int r = 0; r < rows.rowCount(); ++r)
            out << rows.value(r, 0).toString();
        return out;
    }

    long long keyOf(const QString& description) {
        db::RowStore rows;
        m_conn.load(
            QStringLiteral("select Id from Alimenti where Descrizione = '%1'").arg(description),
            rows);
        return rows.rowCount() == 1 ? rows.value(0, 0).toLongLong() : -1;
    }

    void moveTo(const char* description) {
        ASSERT_TRUE(m_query->locate(QStringLiteral("Descrizione"), QString::fromUtf8(description)));
    }

    QTemporaryDir m_dir;
    QString m_path;
    db::Connection m_conn;
    std::unique_ptr<db::Dataset> m_query;
};

} // namespace

// --- SalvaRecord -------------------------------------------------------------------------

TEST_F(Records, NewRecordIsCurrentAfterSavingAlthoughItMovedInTheOrder) {
    addRows({"Banana", "Mela", "Pera"});
    db::Dataset& q = open();
    q.append();
    q.setValue(QStringLiteral("Descrizione"), QStringLiteral("Kiwi"));
    SalvaRecord(q, QStringLiteral("Id"));

    EXPECT_EQ(stored(), QStringList({"Banana", "Kiwi", "Mela", "Pera"}));
    EXPECT_EQ(q.recordCount(), 4);
    EXPECT_EQ(current(), QStringLiteral("Kiwi"));
    EXPECT_EQ(q.position(), 1); // requeried: the row now sits in its place of the order
    EXPECT_EQ(currentKey(), keyOf(QStringLiteral("Kiwi")));
    EXPECT_EQ(q.state(), db::Dataset::State::Browse);
}

TEST_F(Records, NewRecordIsFoundUnderTheQuerysSortAndFilter) {
    addRows({"Banana", "Mela", "Pera"});
    db::Dataset& q = open();
    q.setSort(QStringLiteral("Descrizione DESC"));
    q.setFilter(QStringLiteral("Descrizione <> 'Mela'"));
    q.last();
    q.append();
    q.setValue(QStringLiteral("Descrizione"), QStringLiteral("Zucca"));
    SalvaRecord(q, QStringLiteral("id")); // the key's case does not matter

    EXPECT_EQ(current(), QStringLiteral("Zucca"));
    EXPECT_EQ(q.position(), 0);
    EXPECT_EQ(q.recordCount(), 3);
    EXPECT_EQ(q.filter(), QStringLiteral("Descrizione <> 'Mela'"));
    EXPECT_EQ(q.sort(), QStringLiteral("Descrizione DESC"));
}

TEST_F(Records, ExistingRecordFollowedAfterItsOrderColumnChanged) {
    addRows({"Banana", "Mela", "Pera"});
    db::Dataset& q = open();
    moveTo("Banana");
    const long long key = currentKey();
    q.setValue(QStringLiteral("Descrizione"), QStringLiteral("Uva"));
    SalvaRecord(q, QStringLiteral("Id"));

    EXPECT_EQ(stored(), QStringList({"Mela", "Pera", "Uva"}));
    EXPECT_EQ(current(), QStringLiteral("Uva"));
    EXPECT_EQ(q.position(), 2);
    EXPECT_EQ(currentKey(), key);
}

TEST_F(Records, PendingValuesOfBoundControlsAreSaved) {
    addRows({"Mela"});
    db::Dataset& q = open();
    // A bound edit control holding typed text hands it over when asked.
    QString typed = QStringLiteral("Mela renetta");
    QObject::connect(&q, &db::Dataset::updateRecordRequested, [&] {
        if (!typed.isEmpty()) q.setValue(QStringLiteral("Descrizione"), typed);
    });
    SalvaRecord(q, QStringLiteral("Id"));
    EXPECT_EQ(stored(), QStringList({"Mela renetta"}));
    EXPECT_EQ(current(), QStringLiteral("Mela renetta"));
}

TEST_F(Records, NewKeyIsAskedOfTheConnectionWhenTheQueryCannotSeeIt) {
    addRows({"Banana", "Pera"});
    // A computed key: the row posted does not bring it back, so only the identity
    // exchange can find the new record.
    const QString sql =
        QStringLiteral("select Id + 0 as Id, Descrizione from Alimenti order by Descrizione");
    db::Dataset& q = open(sql);
    q.setFilter(QStringLiteral("Descrizione <> 'Pera'"));
    QStringList seenByControls;
    QObject::connect(&q, &db::Dataset::layoutReset, [&] { seenByControls << q.sql(); });

    q.append();
    q.setValue(QStringLiteral("Descrizione"), QStringLiteral("Mela"));
    seenByControls.clear();
    SalvaRecord(q, QStringLiteral("Id"));

    EXPECT_EQ(q.sql(), sql);
    EXPECT_EQ(q.filter(), QStringLiteral("Descrizione <> 'Pera'"));
    EXPECT_EQ(q.recordCount(), 2);
    EXPECT_EQ(current(), QStringLiteral("Mela"));
    EXPECT_EQ(currentKey(), keyOf(QStringLiteral("Mela")));
    EXPECT_FALSE(q.controlsDisabled());
    // Bound controls never saw the identity query, only the final state.
    EXPECT_FALSE(seenByControls.isEmpty());
    for (const QString& s : seenByControls)
        EXPECT_EQ(s, sql);
}

// --- ConfermaRecord ----------------------------------------------------------------------

TEST_F(Records, ConfirmPostsAndStaysInEditModeOnTheSameRow) {
    addRows({"Banana", "Mela", "Pera"});
    db::Dataset& q = open();
    moveTo("Banana");
    q.setValue(QStringLiteral("Descrizione"), QStringLiteral("Zucca"));
    ConfermaRecord(q, QStringLiteral("Id"));

    EXPECT_EQ(stored(), QStringList({"Mela", "Pera", "Zucca"}));
    EXPECT_EQ(q.state(), db::Dataset::State::Edit);
    EXPECT_EQ(q.position(), 0); // no requery: the row stays where it was
    EXPECT_EQ(current(), QStringLiteral("Zucca"));

    // Still editing the same record: a further change and confirmation update it.
    q.setValue(QStringLiteral("Kcal"), 12.5);
    ConfermaRecord(q, QStringLiteral("Id"));
    EXPECT_EQ(stored().size(), 3);
    EXPECT_EQ(q.state(), db::Dataset::State::Edit);
}

TEST_F(Records, ConfirmOfANewRecordInsertsItOnceAndKeepsEditingIt) {
    db::Dataset& q = open();
    q.append();
    q.setValue(QStringLiteral("Descrizione"), QStringLiteral("Kiwi"));
    ConfermaRecord(q, QStringLiteral("Id"));
    EXPECT_EQ(q.state(), db::Dataset::State::Edit);
    EXPECT_EQ(currentKey(), keyOf(QStringLiteral("Kiwi")));
    q.setValue(QStringLiteral("Descrizione"), QStringLiteral("Kiwi gold"));
    ConfermaRecord(q, QStringLiteral("Id"));
    EXPECT_EQ(stored(), QStringList({"Kiwi gold"}));
}

// --- EliminaRecord -----------------------------------------------------------------------

TEST_F(Records, DeletingMakesThePreviousRecordCurrentOrTheNextAfterTheFirst) {
    struct Case {
        const char* deleted;
        const char* currentAfter;
    };
    for (const Case c :
         {Case{"Arancia", "Banana"}, Case{"Cedro", "Banana"}, Case{"Dattero", "Cedro"}}) {
        SCOPED_TRACE(c.deleted);
        m_conn.execute(QStringLiteral("delete * from Alimenti"));
        addRows({"Arancia", "Banana", "Cedro", "Dattero"});
        db::Dataset& q = open();
        moveTo(c.deleted);
        EliminaRecord(q, QStringLiteral("Id"));
        QStringList left = {"Arancia", "Banana", "Cedro", "Dattero"};
        left.removeOne(QString::fromUtf8(c.deleted));
        EXPECT_EQ(stored(), left);
        EXPECT_EQ(q.recordCount(), 3);
        EXPECT_EQ(current(), QString::fromUtf8(c.currentAfter));
    }
}

TEST_F(Records, PreviousMeansPreviousInTheSortedView) {
    addRows({"Arancia", "Banana", "Cedro", "Dattero"});
    db::Dataset& q = open();
    q.setSort(QStringLiteral("Descrizione DESC"));
    moveTo("Banana"); // Dattero, Cedro, Banana, Arancia
    EliminaRecord(q, QStringLiteral("Id"));
    EXPECT_EQ(current(), QStringLiteral("Cedro"));
}

TEST_F(Records, DeletingTheOnlyRecordLeavesAnEmptyQuery) {
    addRows({"Arancia"});
    db::Dataset& q = open();
    EliminaRecord(q, QStringLiteral("Id"));
    EXPECT_TRUE(q.isEmpty());
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_NO_THROW(EliminaRecord(q, QStringLiteral("Id"))); // nothing left: nothing done
}

// --- RiallineaRecord ---------------------------------------------------------------------

TEST_F(Records, RealignShowsOtherWorkstationsRowsAndKeepsTheCurrentRecord) {
    addRows({"Mela", "Pera"});
    db::Dataset& q = open();
    moveTo("Mela");
    db::Connection other;
    other.open(m_path, {.anyDatabase = true});
    other.execute(QStringLiteral("INSERT INTO Alimenti (Descrizione) VALUES ('Albicocca')"));
    other.execute(QStringLiteral("INSERT INTO Alimenti (Descrizione) VALUES ('Arancia')"));
    other.execute(QStringLiteral("UPDATE Alimenti SET Kcal = 52 WHERE Descrizione = 'Mela'"));

    RiallineaRecord(q, QStringLiteral("Id"));
    EXPECT_EQ(q.recordCount(), 4);
    EXPECT_EQ(current(), QStringLiteral("Mela"));
    EXPECT_EQ(q.position(), 2);
    EXPECT_EQ(q.value(QStringLiteral("Kcal")).toDouble(), 52.0);
}

TEST_F(Records, RealignOfAnEmptyQueryDoesNotRequery) {
    db::Dataset& q = open();
    addRows({"Mela"});
    RiallineaRecord(q, QStringLiteral("Id"));
    EXPECT_TRUE(q.isEmpty());
}
