// Client-side filter and sort of the datasets, on a RowStore built by hand, with every
// filter text form the programs build.

#include "db/collation.h"
#include "db/datetime.h"
#include "db/error.h"
#include "db/filter.h"
#include "db/rowstore.h"
#include "support/fuzz.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <set>

using namespace db;

namespace {

struct Row {
    long long id;
    std::optional<long long> cliente;
    std::optional<std::string> cognome, nome, tessera;
    std::optional<double> importo;
    std::optional<bool> annullato;
    std::optional<CivilTime> data;
};

CivilTime at(int y, int m, int d, int h = 0, int mi = 0, int s = 0) {
    return civilFromParts(y, m, d, h, mi, s);
}

// Columns: Id, Cliente_ID, Cognome, Nome, Tessera, Importo, Annullato, Data, Note (memo),
// Foto (blob), E% (double), Pasti.Descrizione, Alimenti.Descrizione, NomeComputer,
// NomeGriglia.
ColumnInfo col(const char* name, FieldType type, const char* table = "T", const char* origin = nullptr) {
    ColumnInfo c;
    c.name = QString::fromUtf8(name);
    c.table = QString::fromUtf8(table);
    c.origin = QString::fromUtf8(origin ? origin : name);
    c.type = type;
    return c;
}

RowStore makeStore() {
    RowStore s({col("Id", FieldType::Integer), col("Cliente_ID", FieldType::Integer),
                col("Cognome", FieldType::Text), col("Nome", FieldType::Text),
                col("Tessera", FieldType::Text), col("Importo", FieldType::Double),
                col("Annullato", FieldType::Bool), col("Data", FieldType::Date),
                col("Note", FieldType::Memo), col("Foto", FieldType::Blob),
                col("E%", FieldType::Double),
                col("Pasti.Descrizione", FieldType::Text, "Pasti", "Descrizione"),
                col("Alimenti.Descrizione", FieldType::Text, "Alimenti", "Descrizione"),
                col("NomeComputer", FieldType::Text), col("NomeGriglia", FieldType::Text)});
    const std::vector<Row> rows{
        {1, 7, "Rossi", "Anna", "12", 12.5, false, at(2024, 3, 15)},
        {2, 7, "ROSSINI", "Andrea", "123", 100, true, at(2024, 3, 15, 10, 30)},
        {3, 8, "Rosà", "alberto", "7", 0, false, at(2024, 1, 1)},
        {4, 9, "D'Amico", "Bruno", "45", std::nullopt, false, at(2024, 12, 31, 23, 59, 59)},
        {5, std::nullopt, "Perù", "Carla", std::nullopt, -3.25, true, at(2023, 12, 31, 23, 59, 59)},
        {6, 7, std::nullopt, "Àlvaro", "99", 12.5, false, std::nullopt},
        {7, 10, "Bianchi", "Luca", "abc%[#\"'", 7, std::nullopt, at(2025, 1, 1)},
    };
    for (const Row& r : rows) {
        const int i = s.appendRow();
        s.setInteger(i, 0, r.id);
        if (r.cliente) s.setInteger(i, 1, *r.cliente);
        if (r.cognome) s.setText(i, 2, *r.cognome);
        if (r.nome) s.setText(i, 3, *r.nome);
        if (r.tessera) s.setText(i, 4, *r.tessera);
        if (r.importo) s.setReal(i, 5, *r.importo);
        if (r.annullato) s.setInteger(i, 6, *r.annullato ? 1 : 0);
        if (r.data) s.setInteger(i, 7, *r.data);
        s.setText(i, 8, "nota " + std::to_string(r.id));
        s.setText(i, 9, std::string("\x89PNG\0\x01", 6));
        s.setReal(i, 10, r.id == 1 ? 5.0 : 100.0);
        s.setText(i, 11, r.id % 2 ? "Pranzo" : "Cena");
        s.setText(i, 12, r.id % 2 ? "Pane" : "Pasta");
        s.setText(i, 13, r.id <= 3 ? "PC1" : "PC2");
        s.setText(i, 14, r.id == 2 ? "frmAlimenti_Griglia" : "frmClienti_Griglia");
    }
    return s;
}

// The ids (column 0) of the rows of `s` a filter lets through.
std::vector<long long> ids(const RowStore& s, const CompiledFilter& f) {
    std::vector<long long> out;
    for (int r = 0; r < s.rowCount(); ++r)
        if (f.matches(s, r)) out.push_back(s.integer(r, 0));
    return out;
}
std::vector<long long> ids(const RowStore& s, const QString& filter) { return ids(s, CompiledFilter::compile(filter, s)); }

class FilterTest : public ::testing::Test {
protected:
    RowStore store = makeStore();

    std::vector<long long> ids(const QString& filter) { return ::ids(store, filter); }
    std::vector<long long> ids(const CompiledFilter& f) { return ::ids(store, f); }

    // The kind of error a text raises: 'S' syntax (with its position), 'D' any other
    // DatabaseError (with its text), 0 none.
    char errorKind(const QString& filter, QString* text = nullptr, int* position = nullptr) {
        try {
            CompiledFilter::compile(filter, store);
        } catch (const SyntaxError& e) {
            if (position) *position = e.position();
            return 'S';
        } catch (const DatabaseError& e) {
            if (text) *text = e.text();
            return 'D';
        }
        return 0;
    }
};

// The programs' own search texts: "Col like '" + text with quotes doubled + "*'".
QString like(const QString& column, QString text) {
    return column + QStringLiteral(" like '") + text.replace(u'\'', QStringLiteral("''")) + QStringLiteral("*'");
}

struct Case {
    QString filter;
    std::vector<long long> ids;
};

// Every filter with the rows of makeStore() it lets through.
const std::vector<Case>& cases() {
    static const std::vector<Case> all{
        // An empty filter passes every row.
        {"", {1, 2, 3, 4, 5, 6, 7}},
        // Numbers compare by value.
        {"Cliente_ID = 7", {1, 2, 6}},
        {"Cliente_ID <> 7", {3, 4, 7}}, // Null fails <> too
        {"Cliente_ID >= 9", {4, 7}}, {"Cliente_ID < 7.5", {1, 2, 6}}, {"Cliente_ID = 7.5", {}},
        {"Cliente_ID = '8'", {3}}, {"Importo = 12.5", {1, 6}}, {"Importo = '12,5'", {1, 6}},
        {"Importo = +12.50", {1, 6}}, {"Importo <= -3.25", {5}}, {"Importo > .5", {1, 2, 6, 7}},
        {"Importo = 1e2", {2}}, {"Importo != 12.5", {2, 3, 5, 7}}, {"Id=1", {1}},
        // Texts ignore case and accents.
        {"Cognome = 'rossi'", {1}}, {"Cognome = 'peru'", {5}}, {"Cognome = 'Rosa'", {3}},
        {"Cognome <> 'Rossi'", {2, 3, 4, 5, 7}}, // Null row 6 fails
        {"Cognome < 'c'", {7}}, {"Cognome >= 'r'", {1, 2, 3}}, {"Nome = 'alvaro'", {6}}, {"Cognome = \"Rossi\"", {1}},
        // A card number is compared exactly: "12" does not find "123".
        {"Tessera = '12'", {1}},
        // A number on a text column compares as its text (ADO converts to the field's type).
        {"Tessera = 12", {1}}, {"Tessera = 7", {3}}, {"Note = 'NOTA 3'", {3}},
        // like: '*' and '%' any run, '?' and '_' one character.
        {"Cognome like 'ros*'", {1, 2, 3}}, {"Cognome like 'ros*' and Nome like 'an*'", {1, 2}},
        {"Cognome like 'rosà*'", {3}}, {"Cognome like 'd''a*'", {4}},
        {"Cognome like '*'", {1, 2, 3, 4, 5, 7}}, // not the Null one
        {"Cognome like 'R%i'", {1, 2}}, {"Cognome like '*ss*'", {1, 2}}, {"Cognome like 'Ros?'", {3}},
        {"Cognome like 'ros_'", {3}}, {"Cognome like 'Ross?'", {1}}, {"Cognome like 'peru'", {5}},
        {"Cognome Like 'B*'", {7}},
        {"Nome like 'Àl*'", {3, 6}}, // alberto, Àlvaro
        {"Cognome not like 'ros*'", {4, 5, 7}},
        // Search boxes: what a user types, quoted as the programs quote it.
        // Special characters match themselves (no escapes, no character classes).
        {like("Tessera", "abc%[#\"'"), {7}}, {like("Tessera", "abc_[#"), {7}}, {"Tessera like '*[#*'", {7}},
        {"Tessera like '*\"*'", {7}}, {"Tessera like '*''*'", {7}}, {"Tessera = 'abc%[#\"'''", {7}},
        {like("Cognome", "' or '1'='1"), {}},
        // Yes/no columns.
        {"Annullato = 0", {1, 3, 4, 6}}, {"Annullato = false", {1, 3, 4, 6}}, {"Annullato = -1", {2, 5}},
        {"Annullato = true", {2, 5}},
        {"Annullato = 1", {2, 5}}, // any non-zero number means yes
        {"Annullato <> true", {1, 3, 4, 6}}, {"Annullato = 'true'", {2, 5}}, {"Annullato = '0'", {1, 3, 4, 6}},
        {"Annullato > false", {2, 5}}, // no before yes
        {"Annullato is null", {7}}, {"Annullato = 0 and Cognome like 'ros*'", {1, 3}},
        // Dates in every literal form.
        {"Data = #3/15/2024#", {1}}, {"Data = #2024-03-15#", {1}}, {"Data = #2024-3-15#", {1}},
        {"Data = #03/15/2024 10.30#", {2}}, {"Data = #3/15/2024 10:30:00#", {2}},
        {"Data = #3/15/2024 10:30 AM#", {2}}, {"Data = #2024-03-15T10:30:00#", {2}},
        {"Data = #2024-12-31 11:59:59 PM#", {4}},
        {"Data >= #1/1/2024 0.00.00# and Data <= #12/31/2024 23.59.59#", {1, 2, 3, 4}},
        // Dates as the windows write them.
        {"Data >= #3/15/2024# and Data <#3/16/2024#", {1, 2}},
        {"Data >= #2024-03-15# and Data <= #2024-03-15 23.59.59#", {1, 2}}, {"Data < #1/1/2024#", {5}},
        {"Data = '15/03/2024'", {1}}, // a text reads the Italian way
        {"Data = '2024-03-15 10:30:00'", {2}}, {"Data is null", {6}}, {"Data <> #3/15/2024#", {2, 3, 4, 5, 7}},
        // A real date no row has.
        {"Data = #2/29/2024#", {}},
        // Null.
        {"Importo = Null", {4}}, {"Importo <> Null", {1, 2, 3, 5, 6, 7}}, {"Importo is null", {4}},
        {"Importo Is Not Null", {1, 2, 3, 5, 6, 7}}, {"Importo > Null", {}}, {"Cognome like null", {}},
        {"Cognome = Null or Cliente_ID = Null", {5, 6}}, {"Foto is null", {}},
        {"Foto <> null", {1, 2, 3, 4, 5, 6, 7}},
        // A Null cell fails every other comparison, even negated ones.
        {"Importo < 1000", {1, 2, 3, 5, 6, 7}}, {"not Importo < 1000", {}},
        {"not (Importo = Null)", {1, 2, 3, 5, 6, 7}},
        // and binds tighter than or; not and parentheses.
        {"Cliente_ID = 8 or Cliente_ID = 7 and Annullato = -1", {2, 3}},
        {"(Cliente_ID = 8 or Cliente_ID = 7) and Annullato = -1", {2}},
        {"Cliente_ID = 7 and Annullato = 0 or Cliente_ID = 10", {1, 6, 7}},
        {"Cliente_ID = 7 and (Annullato = -1 or Importo = 12.5)", {1, 2, 6}},
        {"((Cliente_ID = 7)) AND ((Nome like 'a*') OR (Nome like 'b*'))", {1, 2, 6}},
        {"not (Cliente_ID = 7 or Cliente_ID = 8)", {4, 7}}, {"not not Cliente_ID = 8", {3}},
        {"Cliente_ID = 7 or Cliente_ID = 8 or Cliente_ID = 9 or Cliente_ID = 10", {1, 2, 3, 4, 6, 7}},
        // Column names: case, brackets, Table.Column.
        {"cognome LIKE 'ROS*'", {1, 2, 3}}, {"CLIENTE_ID = 8", {3}}, {"[Cognome] like 'b*'", {7}}, {"[E%] = 5", {1}},
        {"Pasti.Descrizione = 'pranzo'", {1, 3, 5, 7}}, {"[Pasti].[Descrizione] = 'Cena'", {2, 4, 6}},
        {"[Pasti.Descrizione] = 'Cena'", {2, 4, 6}}, {"Alimenti.Descrizione like 'pas*'", {2, 4, 6}},
        {"T.Cognome = 'Rossi'", {1}}, // Table.Column by origin
        // Layouts, default values and the clients list.
        // The layout row of this computer and grid.
        {"NomeComputer = 'PC1' and NomeGriglia = 'frmAlimenti_Griglia'", {2}},
        // The clients list.
        {"Cognome like 'ros*' and Nome like 'and*' and Tessera = '123' and Note like 'nota*'", {2}},
        // six boxes joined with " and ".
        {"Cognome like 'r*' and Tessera like '1*' and Nome like '*'", {1, 2}},
        // The payments register.
        {" Data >= #2024-01-01# And Data <= #2024-12-31 23.59.59# And  (Cliente_ID = 7 or Cliente_ID = 9)", {1, 2, 4}},
        {" Cliente_ID = 0", {}},
        // the running number is neither quoted nor wildcarded.
        {"Cognome like 'r*' and Nome like 'a*' and Id = 3", {3}},
        // like on a number or a date reads its canonical text.
        {"Importo like '12.5'", {1, 6}}, {"Importo like '100.0'", {2}}, {"Importo like '-3*'", {5}},
        {"Cliente_ID like '1*'", {7}}, {"Data like '2024-03*'", {1, 2}}, {"Data like '*10:30:00'", {2}},
        {"Annullato like '1'", {2, 5}}, {"Id like 3", {3}},
    };
    return all;
}

} // namespace

TEST_F(FilterTest, EachFilterLetsThroughItsRows) {
    EXPECT_TRUE(CompiledFilter().isEmpty());
    EXPECT_TRUE(CompiledFilter::compile("   \t ", store).isEmpty());
    for (const Case& c : cases()) EXPECT_EQ(ids(c.filter), c.ids) << c.filter.toStdString();
}

TEST_F(FilterTest, AnythingTypedIntoASearchBoxIsAFilter) {
    const QStringList typed{"%", "[", "]", "#", "\"", "'", "''", "*", "?", "_", "\\", "[a-z]", "#1/1/2024#",
                            "' or '1'='1", "d'a", "a\"b", "(", ")", "and", "or", "not", "null", "%%%", "é",
                            "\t", QString(QChar(0)), "😀", "abc%[#\"'"};
    for (const QString& t : typed)
        for (const char* column : {"Cognome", "Tessera", "Note", "Data", "Importo", "Id"}) {
            try {
                const CompiledFilter f = CompiledFilter::compile(like(QString::fromLatin1(column), t), store);
                for (int r = 0; r < store.rowCount(); ++r) (void)f.matches(store, r);
            } catch (const DatabaseError& e) {
                ADD_FAILURE() << "search text " << t.toStdString() << " on " << column << ": " << e.what();
            }
        }
}

TEST_F(FilterTest, ErrorsOfEachKind) {
    // Unknown columns and values that do not fit the column: a DatabaseError naming them.
    const std::pair<const char*, QStringList> named[] = {
        {"Pippo = 1", {"Pippo"}}, {"Cognome = 'a' and ModPagamento_Id = 3", {"ModPagamento_Id"}},
        {"Importo = 'abc'", {"abc", "Importo"}},
        {"Descrizione = 'Pane'", {"Descrizione"}}, // two columns
    };
    for (const auto& [filter, words] : named) {
        QString message;
        EXPECT_EQ(errorKind(QString::fromUtf8(filter), &message), 'D') << filter;
        for (const QString& w : words) EXPECT_TRUE(message.contains(w)) << message.toStdString();
    }
    for (const char* bad : {"DataInizio >= #3/15/2024# and DataInizio <#3/16/2024#", "Cliente_ID = '7a'",
                            "Cognome = #1/1/2024#", "Cognome = true", "Foto = 'x'", "Foto like 'x*'", "Data = 5",
                            "Data = '31/02/2024'", "Data = 'ieri'"})
        EXPECT_EQ(errorKind(QString::fromUtf8(bad)), 'D') << bad;
    // Unreadable texts and impossible dates: SyntaxError.
    for (const char* bad : {"Importo = abc", "(Cliente_ID = 7", "Cliente_ID = 7)", "((Cliente_ID = 7)",
                            "Cliente_ID = ", "Cliente_ID", "Cliente_ID == 7", "Cliente_ID = 7 8",
                            "Cliente_ID = 12abc", "Cliente_ID = 1.2.3", "Cognome like", "Cognome like 'abc",
                            "Cognome = 'abc", "Cognome like ros*", "Cognome like #1/1/2024#", "= 7",
                            "7 = Cliente_ID", "and", "Cliente_ID = 7 and", "Cliente_ID = 7 or or Id = 1", "()",
                            "[Cognome = 'a'", "[] = 1", "Cognome is 'a'", "Cognome not = 'a'",
                            "Cliente_ID = 7 Cliente_ID = 8", "Cliente_ID => 7", "Cognome = 'a' ;", "Id = - 1",
                            "Id = 1e", "Id = --1", "Data = #2/31/2024#", "Data = #2/29/2023#",
                            "Data = #13/1/2024#", "Data = #15/03/2024#", "Data = #2024-02-30#",
                            "Data = #3/15/2024 24.00#", "Data = #3/15/2024 10.60#", "Data = #3/15/24#",
                            "Data = ##", "Data = #3/15/2024"})
        EXPECT_EQ(errorKind(QString::fromUtf8(bad)), 'S') << bad;
    // Syntax errors point at the opening quote, the word that is no value, the stray
    // parenthesis, where ')' was expected, the date, the number.
    const std::pair<const char*, int> positions[] = {{"Cognome = 'abc", 10},  {"Importo = abc", 10},
                                                     {"Cliente_ID = 7)", 14}, {"(Cliente_ID = 7", 15},
                                                     {"Data = #2/31/2024#", 7}, {"Cliente_ID = 12abc", 13}};
    for (const auto& [filter, expected] : positions) {
        int at = -1;
        errorKind(QString::fromUtf8(filter), nullptr, &at);
        EXPECT_EQ(at, expected) << filter;
    }
}

TEST_F(FilterTest, CompiledFilterOutlivesItsText) {
    CompiledFilter f;
    {
        QString text = "Cognome like 'ros*'";
        f = CompiledFilter::compile(text, store);
        text.fill(u'x');
    }
    const CompiledFilter copy = f;
    EXPECT_EQ(ids(copy), (std::vector<long long>{1, 2, 3}));
}

// Random and truncated texts: either a filter or a DatabaseError (SyntaxError included),
// never a crash or another exception. Run under ASan/UBSan to catch the silent kinds.
TEST_F(FilterTest, FuzzedTextsOnlyRaiseDatabaseErrors) {
    QStringList corpus{"[E%] >= -1.5e1 or Pasti.Descrizione = \"x\"",
                       "not (Importo is not null and Cognome not like '%a_b?')",
                       "Annullato = true or Annullato = -1 or Annullato = false", "Importo = Null or Cognome <> NULL"};
    for (const Case& c : cases()) corpus << c.filter;
    auto check = [this](const QString& filter) {
        try {
            const CompiledFilter f = CompiledFilter::compile(filter, store);
            for (int r = 0; r < store.rowCount(); ++r)
                (void)f.matches(store, r);
        } catch (const SyntaxError& e) {
            EXPECT_GE(e.position(), 0) << filter.toStdString();
            EXPECT_LE(e.position(), filter.size()) << filter.toStdString();
        } catch (const DatabaseError&) {
        } catch (const std::exception& e) {
            ADD_FAILURE() << "unexpected exception for <" << filter.toStdString()
                          << ">: " << e.what();
        }
    };
    testing_support::fuzzTexts(
        corpus,
        {"Cognome", "Importo", "Data", "Annullato", "Foto", "Cliente_ID", "[E%]", "Pasti.Descrizione", "[", "]", ".",
         "=", "<>", "<", ">", "<=", ">=", "!", "like", "not", "is", "null", "and", "or", "(", ")", "'ab*'", "'", "''",
         "\"", "#", "#3/15/2024#", "#2/31/2024#", "#2024-03-15 10.30#", "12.5", "-1", "7", "1e400",
         "99999999999999999999", "true", "false", "*", "%", "?", "_", " ", "  ", "\t", "é", "😀", ",", ";", "-", "+", "e"},
        2024, check);
    // Deep nesting is refused cleanly, not by overflowing the stack.
    check(QString(100000, u'(') + "Id = 1" + QString(100000, u')'));
    check(QString("not ").repeated(100000) + "Id = 1");
    check(QString("Id = 1 and ").repeated(20000) + "Id = 1");
}

// ---------------------------------------------------------------------------------------
// Sort

namespace {

// Ids of the rows of `s` in the order a sort text gives them (all rows unless some are given).
std::vector<long long> sortedIds(const RowStore& s, const QString& sort, std::vector<int> rows = {}) {
    if (rows.empty())
        for (int r = 0; r < s.rowCount(); ++r) rows.push_back(r);
    sortRows(rows, s, parseSort(sort, s));
    std::vector<long long> out;
    for (int r : rows) out.push_back(s.integer(r, 0));
    return out;
}
using Ids = std::vector<long long>;

} // namespace

TEST(SortTest, ParsesSortTexts) {
    const RowStore store = makeStore();
    // Each key as column number and '+' ascending or '-' descending; brackets or not, as a
    // grid title click writes the field name.
    const std::pair<const char*, const char*> cases[] = {
        {"", ""}, {"  ", ""}, {"Cognome ASC", "2+"}, {"cognome desc, Nome,Importo  DESC ", "2- 3+ 5-"},
        {"E% ASC", "10+"}, {"[E%] DESC", "10-"}, {"Pasti.Descrizione DESC, [Alimenti].[Descrizione]", "11- 12+"},
    };
    for (const auto& [text, expected] : cases) {
        QStringList keys;
        for (const SortKey& k : parseSort(QString::fromUtf8(text), store))
            keys << QString::number(k.column) + (k.descending ? u'-' : u'+');
        EXPECT_EQ(keys.join(u' '), QString::fromUtf8(expected)) << text;
    }
    try {
        parseSort("Pippo ASC", store);
        ADD_FAILURE() << "an unknown column was accepted";
    } catch (const SyntaxError&) {
        ADD_FAILURE() << "an unknown column is not a syntax error";
    } catch (const DatabaseError& e) {
        EXPECT_TRUE(e.text().contains("Pippo"));
    }
    for (const char* bad : {"Cognome ASC,", ",Cognome", "[Cognome ASC"})
        EXPECT_THROW(parseSort(bad, store), SyntaxError) << bad;
    for (const char* bad : {"Cognome ASC DESC", "Foto", "Descrizione" /* ambiguous */})
        EXPECT_THROW(parseSort(bad, store), DatabaseError) << bad;
}

TEST(SortTest, TextsNumbersDatesAndNulls) {
    RowStore names({col("Id", FieldType::Integer), col("Nome", FieldType::Text)});
    int i = 0;
    for (const char* n : {"Fabio", "Èrica", "", "Enrico", "erica", "ábaco", "Zeno", "ERICA", "10", "9", "D'Amico", "Dalia"}) {
        const int r = names.appendRow();
        names.setInteger(r, 0, i++);
        if (*n) names.setText(r, 1, n);
    }
    // Italian collation, Null first; "10" before "9" (texts); equal names keep their order
    // (stable), also when descending, with Null last.
    EXPECT_EQ(sortedIds(names, "Nome"), (Ids{2, 8, 9, 5, 10, 11, 3, 1, 4, 7, 0, 6}));
    EXPECT_EQ(sortedIds(names, "Nome DESC"), (Ids{6, 0, 1, 4, 7, 3, 11, 10, 5, 9, 8, 2}));

    const RowStore store = makeStore();
    const std::pair<const char*, Ids> cases[] = {
        {"Importo", {4, 5, 3, 7, 1, 6, 2}},        {"Importo DESC", {2, 1, 6, 7, 3, 5, 4}},
        {"Cliente_ID ASC", {5, 1, 2, 6, 3, 4, 7}}, {"Cliente_ID DESC", {7, 4, 3, 1, 2, 6, 5}},
        {"Data", {6, 5, 3, 1, 2, 4, 7}},           {"Data DESC", {7, 4, 2, 1, 3, 5, 6}},
        {"Annullato", {7, 1, 3, 4, 6, 2, 5}},
        // The digits of a text column sort as text: "12" "123" "45" "7" "99" "abc".
        {"Tessera", {5, 1, 2, 4, 3, 6, 7}},
        {"Cliente_ID, Cognome DESC", {5, 2, 1, 6, 3, 4, 7}}, {"Cliente_ID DESC, Nome", {7, 4, 3, 6, 2, 1, 5}},
    };
    for (const auto& [sort, expected] : cases) EXPECT_EQ(sortedIds(store, sort), expected) << sort;
    EXPECT_EQ(sortedIds(store, "Cognome", {6, 4, 2, 0}), (Ids{7, 5, 3, 1}));
    std::vector<int> none;
    sortRows(none, store, parseSort("Cognome", store));
    EXPECT_TRUE(none.empty());
}

// Many random rows: every sort text orders them as the collation and the numbers say,
// equal keys in their original order.
TEST(SortRandom, ManyRowsOrderedAndStable) {
    RowStore s({col("Id", FieldType::Integer), col("Cognome", FieldType::Text), col("Importo", FieldType::Double)});
    const std::vector<std::string> surnames{"Rossi", "Russo", "Ferrari", "De Luca", "Èrica", "Nicolò",
                                            "Perù", "D'Amico", "ROSSINI", "Rossinelli", "rossini"};
    std::mt19937 rng(1);
    const int n = 5000;
    for (int i = 0; i < n; ++i) {
        const int r = s.appendRow();
        s.setInteger(r, 0, i);
        if (rng() % 50) s.setText(r, 1, surnames[rng() % surnames.size()] + std::to_string(rng() % 30));
        if (rng() % 50) s.setReal(r, 2, double(rng() % 1000) / 100.0);
    }
    for (const char* sortText : {"Cognome", "Cognome DESC", "Importo DESC", "Cognome, Importo DESC"}) {
        std::vector<int> rows(n);
        for (int i = 0; i < n; ++i) rows[size_t(i)] = i;
        const auto keys = parseSort(sortText, s);
        sortRows(rows, s, keys);
        auto cmp = [&](int a, int b) {
            for (const SortKey& k : keys) {
                int c = 0;
                const bool na = s.isNull(a, k.column), nb = s.isNull(b, k.column);
                if (na || nb)
                    c = na == nb ? 0 : (na ? -1 : 1);
                else if (k.column == 1)
                    c = text::compare(s.text(a, 1), s.text(b, 1));
                else
                    c = s.real(a, 2) < s.real(b, 2) ? -1 : s.real(a, 2) > s.real(b, 2) ? 1 : 0;
                if (k.descending) c = -c;
                if (c != 0) return c;
            }
            return 0;
        };
        for (int i = 1; i < n; ++i) {
            const int c = cmp(rows[size_t(i - 1)], rows[size_t(i)]);
            ASSERT_LE(c, 0) << sortText << " at " << i;
            if (c == 0) {
                ASSERT_LT(rows[size_t(i - 1)], rows[size_t(i)]) << "stability, " << sortText;
            }
        }
    }
}

// Filters that list keys ("Cliente_ID = 3 or Cliente_ID = 9 or ..."), as the payments
// register builds for the clients of a surname: the same rows as the comparisons one by one,
// Null cells failing, negation, other columns or kinds in the chain, and a thousand keys.
namespace {

// Columns Id, Cliente_ID (Null on every seventh row), Data; row r has Id r + 1.
RowStore store(int rows, int clients) {
    RowStore s({col("Id", FieldType::Integer, "Pagamenti"), col("Cliente_ID", FieldType::Integer, "Pagamenti"),
                col("Data", FieldType::Date, "Pagamenti")});
    std::mt19937 random(7);
    for (int r = 0; r < rows; ++r) {
        const int i = s.appendRow();
        s.setInteger(i, 0, r + 1);
        if (r % 7 != 6) s.setInteger(i, 1, long(random() % unsigned(clients)) + 1);
        s.setInteger(i, 2, civilFromParts(2024, 1 + r % 12, 1 + r % 28, 0, 0, 0));
    }
    return s;
}

QString keys(const std::vector<int>& clients, const char* column = "Cliente_ID") {
    QStringList parts;
    for (int c : clients) parts << QStringLiteral("%1 = %2").arg(QLatin1String(column)).arg(c);
    return parts.join(QStringLiteral(" or "));
}

TEST(FilterKeys, AChainOfKeysSelectsTheRowsOfThoseKeysOnly) {
    const RowStore s = store(20000, 5000);
    const std::vector<int> few{21, 3, 17, 9, 3, 21}; // out of order, with repeats
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
        {keys(few), where(in)}, {"(" + keys(few) + ")", where(in)}, {"not (" + keys(few) + ")", where(notIn)},
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
