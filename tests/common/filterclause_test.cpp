#include "common/filterclause.h"
#include "support/values.h"
#include "db/error.h"
#include "db/rowstore.h"
#include "support/script.h"
#include "support/tempdb.h"

#include <gtest/gtest.h>


using common::FilterClause;
using common::FilterOptions;
using db::FieldType;

namespace {

const QString Clienti = QStringLiteral(
    "SELECT ID, Cognome, Nome, Datanascita, Certificato_med, Annullato, Istruttore_ID, Note FROM anagraficaclienti");
const QString Importi = QStringLiteral("SELECT Id, Cliente_ID, Data, Importo FROM Pagamenti");

class FilterDatabase : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::runScript(tdb.connection(), R"(
insert into anagraficaclienti (Cognome, Nome, Datanascita, Certificato_med) values ('O''Neil', 'Sean', #3/15/1980#, true);
insert into anagraficaclienti (Cognome, Nome, Datanascita) values ('Rossi', 'Mario', #1/1/1900#);
insert into anagraficaclienti (Cognome, Nome, Datanascita) values ('Bianchi', 'Anna', #6/1/1901#);
insert into anagraficaclienti (Cognome, Datanascita, Annullato) values ('Verdi', #12/31/1975 10.30.00#, true);
insert into Pagamenti (Cliente_ID, Data, Importo) values (1, #3/15/2024#, 12.5);
insert into Pagamenti (Cliente_ID, Data, Importo) values (1, #3/16/2024 18.45.00#, 100);
insert into Pagamenti (Cliente_ID, Data, Importo) values (2, #3/17/2024#, 7.25);)");
    }

    // Values of one column of the source filtered by a clause, sorted.
    QStringList run(const QString& query, const QString& clause, const QString& column) {
        QStringList names, out;
        const auto rows = testing_support::rows(tdb.connection(), "Select * from (" + query + u')' + clause, &names);
        for (const QVariantList& r : rows) out.append(r.value(int(names.indexOf(column))).toString());
        out.sort();
        return out;
    }

    testing_support::TempDatabase tdb;
};

} // namespace

TEST(FilterColumns, KeysForeignKeysAndCancelledFlagAreNotOffered) {
    const struct {
        const char* name;
        bool offered;
    } cases[] = {
        {"Id", false},          {"ID", false},           {"Cliente_ID", false},
        {"ID_Alimento", false}, {"Annullato", false},    {"HYPER_ID", false},
        {"ModPagamento_Id", false}, {"Cognome", true},   {"Idoneo", true},
        {"Valido", true},       {"Annullato2", true},    {"Tessera", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(common::isFilterableColumn(QString::fromLatin1(c.name)), c.offered) << c.name;
}

TEST_F(FilterDatabase, DistinctValuesByFieldType) {
    auto& c = tdb.connection();
    const FilterOptions report = FilterOptions::reportViewer();
    const FilterOptions tool = FilterOptions::exportTool();

    // Text: ascending, the Null of Verdi's first name left out.
    auto v = common::distinctValues(c, Clienti, QStringLiteral("Nome"), report);
    EXPECT_EQ(v.type, FieldType::Text);
    EXPECT_EQ(v.items, QStringList({"Anna", "Mario", "Sean"}));

    // Yes/no: only the two words, whatever the rows hold.
    v = common::distinctValues(c, Clienti, QStringLiteral("Certificato_med"), tool);
    EXPECT_EQ(v.type, FieldType::Bool);
    EXPECT_EQ(v.items, QStringList({"Si", "No"}));

    // Dates: the viewer drops 1 January 1900, the export tool every year up to 1901.
    v = common::distinctValues(c, Clienti, QStringLiteral("Datanascita"), report);
    EXPECT_EQ(v.type, FieldType::Date);
    EXPECT_EQ(v.items, QStringList({"01/06/1901", "31/12/1975 10:30:00", "15/03/1980"}));
    v = common::distinctValues(c, Clienti, QStringLiteral("Datanascita"), tool);
    EXPECT_EQ(v.items, QStringList({"31/12/1975 10:30:00", "15/03/1980"}));

    // Numbers: ascending by value, decimal comma.
    v = common::distinctValues(c, Importi, QStringLiteral("Importo"), tool);
    EXPECT_EQ(v.type, FieldType::Double);
    EXPECT_EQ(v.items, QStringList({"7,25", "12,5", "100"}));

    EXPECT_THROW(common::distinctValues(c, Clienti, QStringLiteral("Manca"), tool),
                 db::DatabaseError);
}

TEST(FilterValues, UpperListStartsAtTheLowerChoice) {
    const QStringList items{"A", "B", "C", "D"};
    EXPECT_EQ(common::upperChoices(items, 2), QStringList({"C", "D"}));
    EXPECT_EQ(common::upperChoices(items, 0), items);
    EXPECT_EQ(common::upperChoices(items, 3), QStringList({"D"}));
    EXPECT_EQ(common::upperChoices(items, -1), items); // typed, not chosen
    EXPECT_EQ(common::upperChoices(items, 9), items);
}

TEST(FilterValues, DatesReadAsTyped) {
    const struct {
        const char* text;
        QDateTime expected;
    } cases[] = {
        {"15/03/2024", QDateTime(QDate(2024, 3, 15), QTime(0, 0))},
        {"5/3/2024 9:07", QDateTime(QDate(2024, 3, 5), QTime(9, 7))},
        {"31/12/1975 10:30:05", QDateTime(QDate(1975, 12, 31), QTime(10, 30, 5))},
        {"01/02/24", QDateTime(QDate(2024, 2, 1), QTime(0, 0))},
        {"01/02/45", QDateTime(QDate(1945, 2, 1), QTime(0, 0))},
        {"2024-03-15 18.45.00", QDateTime(QDate(2024, 3, 15), QTime(18, 45))},
    };
    for (const auto& c : cases) {
        const auto dt = common::readDateTime(QString::fromLatin1(c.text));
        ASSERT_TRUE(dt) << c.text;
        EXPECT_EQ(*dt, c.expected) << c.text;
    }
    for (const char* bad : {"31/02/2024", "domani", "15/03", "15/03/2024 25:00", ""})
        EXPECT_FALSE(common::readDateTime(QString::fromLatin1(bad))) << bad;
}

namespace {

struct ClauseCase {
    const char* name;
    bool exportTool;
    FieldType type;
    const char* lower;
    const char* upper;
    bool useAnd;
    const char* clause;
    const char* description;
};

} // namespace

TEST(FilterClause, ConditionForEachFieldTypeInBothWindows) {
    const ClauseCase cases[] = {
        // the report viewer
        {"text lower", false, FieldType::Text, "O'Neil", "", true, " Where [c] >= 'O''Neil'", " Da O'Neil"},
        {"text both AND", false, FieldType::Memo, "B", "R", true, " Where [c] >= 'B' AND [c] <= 'R'", " Da B fino a R"},
        {"text both OR", false, FieldType::Text, "B", "R", false, " Where [c] >= 'B' OR [c] <= 'R'", " Da B fino a R"},
        {"upper alone", false, FieldType::Text, "", "R", true, " Where [c] <= 'R'", " fino a R"},
        {"yes", false, FieldType::Bool, "Si", "", true, " Where [c] = True", " Da Si"},
        {"no", false, FieldType::Bool, "No", "", true, " Where [c] = False", " Da No"},
        {"yes lower case", false, FieldType::Bool, "si", "Si", true, " Where [c] = False AND [c] = True", " Da si fino a Si"},
        {"date", false, FieldType::Date, "15/03/2024", "", true, " Where [c] >= #3/15/2024 0.0.0#", " Da 15/03/2024"},
        {"date time", false, FieldType::Date, "", "31/12/1975 10:30:05", true, " Where [c] <= #12/31/1975 10.30.5#", " fino a 31/12/1975 10:30:05"},
        {"number comma", false, FieldType::Double, "12,5", "100", true, " Where [c] >= 12.5 AND [c] <= 100", " Da 12,5 fino a 100"},
        {"number text", false, FieldType::Integer, "abc", "", true, " Where [c] >= 0", " Da abc"},
        {"number prefix", false, FieldType::Integer, "-3.5 kg", "", true, " Where [c] >= -3.5", " Da -3.5 kg"},
        {"other type", false, FieldType::Blob, "7", "", true, " Where [c] >= 7", " Da 7"},
        // the export tool
        {"x text", true, FieldType::Text, "O'Neil", "R", true, " Where [c] >='O''Neil' AND [c] <='R'", " Da O'Neil fino a R"},
        {"x text OR", true, FieldType::Memo, "B", "R", false, " Where [c] >='B' OR [c] <='R'", " Da B fino a R"},
        {"x yes", true, FieldType::Bool, "Si", "", true, " Where [c] =True", " Da Si"},
        {"x no upper", true, FieldType::Bool, "", "No", true, " Where [c] =False", " fino a No"},
        {"x date", true, FieldType::Date, "15/03/2024 10:30", "15/03/2024", true, " Where [c] >=#3/15/2024# AND [c] <=#3/15/2024 0.0.59#", " Da 15/03/2024 10:30 fino a 15/03/2024"},
        {"x date time", true, FieldType::Date, "", "16/03/2024 18:45:00", true, " Where [c] <=#3/16/2024 18.45.59#", " fino a 16/03/2024 18:45:00"},
        {"x number", true, FieldType::Double, "12,5", "100", true, " Where [c] >=12.5 AND [c] <= 100", " Da 12,5 fino a 100"},
        {"x other", true, FieldType::Blob, "7", "8", false, " Where [c] >= 7 OR [c] <= 8", " Da 7 fino a 8"},
    };
    for (const auto& k : cases) {
        FilterClause f(k.exportTool ? FilterOptions::exportTool() : FilterOptions::reportViewer());
        EXPECT_EQ(f.add(QStringLiteral("c"), k.type, QString::fromUtf8(k.lower),
                        QString::fromUtf8(k.upper), k.useAnd),
                  FilterClause::Outcome::Added)
            << k.name;
        EXPECT_EQ(f.clause(), QString::fromUtf8(k.clause)) << k.name;
        EXPECT_EQ(f.description(), QString::fromUtf8(k.description)) << k.name;
    }
}

// Each later condition brings its own connector; refusals change nothing.
TEST(FilterClause, LaterConditionsJoinWithTheChosenConnectorUntilCleared) {
    FilterClause f(FilterOptions::exportTool());
    f.add(QStringLiteral("Omaggi"), FieldType::Bool, QStringLiteral("Si"), QString(), true);
    f.add(QStringLiteral("Sesso"), FieldType::Bool, QString(), QStringLiteral("No"), false);
    f.add(QStringLiteral("Tessera"), FieldType::Bool, QStringLiteral("No"), QString(), true);
    const QString clause(" Where [Omaggi] =True OR [Sesso] =False AND [Tessera] =False");
    EXPECT_EQ(f.clause(), clause);
    EXPECT_EQ(f.description(), QStringLiteral(" Da Si o  fino a No e  Da No"));
    EXPECT_EQ(f.add(QString(), FieldType::Text, QStringLiteral("x"), QString(), true), FilterClause::Outcome::NoColumn);
    EXPECT_EQ(f.add(QStringLiteral("Nome"), std::nullopt, QStringLiteral("x"), QString(), true),
              FilterClause::Outcome::NoColumn);
    // Not a number for the export tool (the viewer reads a leading number instead).
    EXPECT_THROW(f.add(QStringLiteral("Importo"), FieldType::Double, QStringLiteral("1 OR 1=1"), QString(), true),
                 db::DatabaseError);
    EXPECT_EQ(f.clause(), clause);
    EXPECT_EQ(f.description(), QStringLiteral(" Da Si o  fino a No e  Da No"));
    f.clear();
    EXPECT_TRUE(f.clause().isEmpty());
    EXPECT_TRUE(f.description().isEmpty());
    // After "Azzera" the next condition starts a new clause.
    f.add(QStringLiteral("Omaggi"), FieldType::Bool, QStringLiteral("No"), QString(), false);
    EXPECT_EQ(f.clause(), QStringLiteral(" Where [Omaggi] =False"));
}

TEST(FilterClause, ConfirmDropsAClauseOfSixCharactersOrFewer) {
    FilterClause f(FilterOptions::reportViewer());
    EXPECT_EQ(f.confirmedClause(), QString());
    f.add(QStringLiteral("c"), FieldType::Integer, QStringLiteral("1"), QString(), true);
    EXPECT_EQ(f.confirmedClause(), QStringLiteral(" Where [c] >= 1"));
}

TEST_F(FilterDatabase, BuiltClausesSelectTheRightRows) {
    for (bool exportTool : {false, true}) {
        SCOPED_TRACE(exportTool ? "export tool" : "report viewer");
        const FilterOptions o = exportTool ? FilterOptions::exportTool() : FilterOptions::reportViewer();
        auto clause = [&](const QString& col, FieldType t, const QString& lo, const QString& up,
                          bool useAnd = true) {
            FilterClause f(o);
            f.add(col, t, lo, up, useAnd);
            return f.clause();
        };
        // A quote inside a value.
        EXPECT_EQ(run(Clienti, clause("Cognome", FieldType::Text, "O'Neil", "O'Neil"), "Cognome"),
                  QStringList({"O'Neil"}));
        // Text bounds ignore case, as the database compares.
        EXPECT_EQ(run(Clienti, clause("Cognome", FieldType::Text, "b", "rossi"), "Cognome"),
                  QStringList({"Bianchi", "O'Neil", "Rossi"}));
        // The two bounds of one column joined by OR take every row.
        EXPECT_EQ(run(Clienti, clause("Cognome", FieldType::Text, "P", "C", false), "Cognome"),
                  QStringList({"Bianchi", "Rossi", "Verdi"}));
        EXPECT_EQ(run(Clienti, clause("Certificato_med", FieldType::Bool, "Si", ""), "Cognome"),
                  QStringList({"O'Neil"}));
        EXPECT_EQ(run(Clienti, clause("Certificato_med", FieldType::Bool, "No", ""), "Cognome").size(), 3);
        EXPECT_EQ(run(Importi, clause("Importo", FieldType::Double, "12,5", "100"), "Importo"),
                  QStringList({"100", "12.5"}));
        // A payment at 18:45 on the 16th: inside the upper minute of the export tool, and
        // inside the viewer's bound written with its own time.
        EXPECT_EQ(run(Importi, clause("Data", FieldType::Date, "16/03/2024", "16/03/2024 18:45:00"), "Importo"),
                  QStringList({"100"}));
        EXPECT_EQ(run(Importi, clause("Data", FieldType::Date, "", "16/03/2024 18:44:00"), "Importo"),
                  QStringList({"12.5"}));
    }
}
