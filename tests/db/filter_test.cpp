// Client-side filter and sort of the datasets, on a RowStore built by hand: every filter
// text form the programs build (data module, grid layouts, default values, registers,
// clients, payments, appointments, occasional visitors), the edge cases of quoting,
// wildcards, dates, yes/no and Null, the errors, and the sort.

#include "db/collation.h"
#include "db/datetime.h"
#include "db/error.h"
#include "db/filter.h"
#include "db/rowstore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>

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
RowStore makeStore() {
    auto col = [](const char* name, FieldType type, const char* table = "T",
                  const char* origin = nullptr) {
        ColumnInfo c;
        c.name = QString::fromUtf8(name);
        c.table = QString::fromUtf8(table);
        c.origin = QString::fromUtf8(origin ? origin : name);
        c.type = type;
        return c;
    };
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

class FilterTest : public ::testing::Test {
protected:
    RowStore store = makeStore();

    std::vector<long long> ids(const QString& filter) {
        const CompiledFilter f = CompiledFilter::compile(filter, store);
        std::vector<long long> out;
        for (int r = 0; r < store.rowCount(); ++r)
            if (f.matches(store, r)) out.push_back(store.integer(r, 0));
        return out;
    }

    // Whatever the error, it must be a DatabaseError of exactly the expected kind.
    bool isSyntaxError(const QString& filter) {
        try {
            CompiledFilter::compile(filter, store);
        } catch (const SyntaxError&) {
            return true;
        } catch (const DatabaseError&) {
            return false;
        }
        return false;
    }
    bool isPlainDatabaseError(const QString& filter, QString* text = nullptr) {
        try {
            CompiledFilter::compile(filter, store);
        } catch (const SyntaxError&) {
            return false;
        } catch (const DatabaseError& e) {
            if (text) *text = e.text();
            return true;
        }
        return false;
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
        {"Cliente_ID >= 9", {4, 7}},
        {"Cliente_ID < 7.5", {1, 2, 6}},
        {"Cliente_ID = 7.5", {}},
        {"Cliente_ID = '8'", {3}},
        {"Importo = 12.5", {1, 6}},
        {"Importo = '12,5'", {1, 6}},
        {"Importo = +12.50", {1, 6}},
        {"Importo < 0", {5}},
        {"Importo <= -3.25", {5}},
        {"Importo > .5", {1, 2, 6, 7}},
        {"Importo = 1e2", {2}},
        {"Importo != 12.5", {2, 3, 5, 7}},
        {"Id=1", {1}},
        // Texts ignore case and accents.
        {"Cognome = 'rossi'", {1}},
        {"Cognome = 'peru'", {5}},
        {"Cognome = 'PERÙ'", {5}},
        {"Cognome = 'Rosa'", {3}},
        {"Cognome <> 'Rossi'", {2, 3, 4, 5, 7}}, // Null row 6 fails
        {"Cognome < 'c'", {7}},
        {"Cognome >= 'r'", {1, 2, 3}},
        {"Nome = 'alvaro'", {6}},
        {"Cognome = \"Rossi\"", {1}},
        // A card number is compared exactly: "12" does not find "123".
        {"Tessera = '12'", {1}},
        // A number on a text column compares as its text (ADO converts to the field's type).
        {"Tessera = 12", {1}},
        {"Tessera = 7", {3}},
        {"Note = 'NOTA 3'", {3}},
        // like: '*' and '%' any run, '?' and '_' one character.
        {"Cognome like 'ros*'", {1, 2, 3}},
        {"Cognome like 'ROS%'", {1, 2, 3}},
        {"Cognome like 'ros*' and Nome like 'a*'", {1, 2, 3}},
        {"Cognome like 'ros*' and Nome like 'an*'", {1, 2}},
        {"Cognome like 'rosa*'", {3}},
        {"Cognome like 'rosà*'", {3}},
        {"Cognome like 'd''a*'", {4}},
        {"Cognome like '*'", {1, 2, 3, 4, 5, 7}}, // not the Null one
        {"Cognome like '%'", {1, 2, 3, 4, 5, 7}},
        {"Cognome like 'R%i'", {1, 2}},
        {"Cognome like '*ss*'", {1, 2}},
        {"Cognome like 'Ros?'", {3}},
        {"Cognome like 'ros_'", {3}},
        {"Cognome like 'Ross?'", {1}},
        {"Cognome like 'peru'", {5}},
        {"Cognome Like 'B*'", {7}},
        {"Cognome LIKE 'zz*'", {}},
        {"Nome like 'Àl*'", {3, 6}}, // alberto, Àlvaro
        {"Nome like 'ALV*'", {6}},
        {"Cognome not like 'ros*'", {4, 5, 7}},
        // Search boxes: what a user types, quoted as the programs quote it.
        // Special characters match themselves (no escapes, no character classes).
        {like("Tessera", "abc%[#\"'"), {7}},
        {like("Tessera", "abc_[#"), {7}},
        {"Tessera like '*[#*'", {7}},
        {"Tessera like '*\"*'", {7}},
        {"Tessera like '*''*'", {7}},
        {"Tessera = 'abc%[#\"'''", {7}},
        {like("Cognome", "' or '1'='1"), {}},
        // Yes/no columns.
        {"Annullato = 0", {1, 3, 4, 6}},
        {"Annullato = false", {1, 3, 4, 6}},
        {"Annullato = FALSE", {1, 3, 4, 6}},
        {"Annullato = -1", {2, 5}},
        {"Annullato = true", {2, 5}},
        {"Annullato = 1", {2, 5}}, // any non-zero number means yes
        {"Annullato <> 0", {2, 5}},
        {"Annullato <> true", {1, 3, 4, 6}},
        {"Annullato = 'true'", {2, 5}},
        {"Annullato = '0'", {1, 3, 4, 6}},
        {"Annullato > false", {2, 5}}, // no before yes
        {"Annullato is null", {7}},
        {"Annullato = 0 and Cognome like 'ros*'", {1, 3}},
        // Dates in every literal form.
        {"Data = #3/15/2024#", {1}},
        {"Data = #2024-03-15#", {1}},
        {"Data = #2024-3-15#", {1}},
        {"Data = #03/15/2024 10.30#", {2}},
        {"Data = #3/15/2024 10:30:00#", {2}},
        {"Data = #3/15/2024 10:30 AM#", {2}},
        {"Data = #2024-03-15T10:30:00#", {2}},
        {"Data = #2024-12-31 11:59:59 PM#", {4}},
        {"Data >= #1/1/2024 0.00.00# and Data <= #12/31/2024 23.59.59#", {1, 2, 3, 4}},
        // Dates as the windows write them.
        {"Data >= #3/15/2024# and Data <#3/16/2024#", {1, 2}},
        {"Data >= #2024-03-15# and Data <= #2024-03-15 23.59.59#", {1, 2}},
        {"Data < #1/1/2024#", {5}},
        {"Data = '15/03/2024'", {1}}, // a text reads the Italian way
        {"Data = '2024-03-15 10:30:00'", {2}},
        {"Data is null", {6}},
        {"Data <> #3/15/2024#", {2, 3, 4, 5, 7}},
        // A real date no row has.
        {"Data = #2/29/2024#", {}},
        // Null.
        {"Importo = Null", {4}},
        {"Importo = null", {4}},
        {"Importo <> Null", {1, 2, 3, 5, 6, 7}},
        {"Importo is null", {4}},
        {"Importo Is Not Null", {1, 2, 3, 5, 6, 7}},
        {"Importo > Null", {}},
        {"Cognome like null", {}},
        {"Cognome = Null or Cliente_ID = Null", {5, 6}},
        {"Foto is null", {}},
        {"Foto <> null", {1, 2, 3, 4, 5, 6, 7}},
        // A Null cell fails every other comparison, even negated ones.
        {"Importo < 1000", {1, 2, 3, 5, 6, 7}},
        {"not Importo < 1000", {}},
        {"not (Importo = Null)", {1, 2, 3, 5, 6, 7}},
        // and binds tighter than or; not and parentheses.
        {"Cliente_ID = 8 or Cliente_ID = 7 and Annullato = -1", {2, 3}},
        {"(Cliente_ID = 8 or Cliente_ID = 7) and Annullato = -1", {2}},
        {"Cliente_ID = 7 and Annullato = 0 or Cliente_ID = 10", {1, 6, 7}},
        {"Cliente_ID = 7 and (Annullato = -1 or Importo = 12.5)", {1, 2, 6}},
        {"((Cliente_ID = 7)) AND ((Nome like 'a*') OR (Nome like 'b*'))", {1, 2, 6}},
        {"not (Cliente_ID = 7 or Cliente_ID = 8)", {4, 7}},
        {"not not Cliente_ID = 8", {3}},
        {"Cliente_ID = 7 or Cliente_ID = 8 or Cliente_ID = 9 or Cliente_ID = 10", {1, 2, 3, 4, 6, 7}},
        // Column names: case, brackets, Table.Column.
        {"cognome LIKE 'ROS*'", {1, 2, 3}},
        {"CLIENTE_ID = 8", {3}},
        {"[Cognome] like 'b*'", {7}},
        {"[E%] = 5", {1}},
        {"[e%] > 5", {2, 3, 4, 5, 6, 7}},
        {"Pasti.Descrizione = 'pranzo'", {1, 3, 5, 7}},
        {"[Pasti].[Descrizione] = 'Cena'", {2, 4, 6}},
        {"[Pasti.Descrizione] = 'Cena'", {2, 4, 6}},
        {"Alimenti.Descrizione like 'pas*'", {2, 4, 6}},
        {"T.Cognome = 'Rossi'", {1}}, // Table.Column by origin
        // Layouts, default values and the clients list.
        // The layout row of this computer and grid.
        {"NomeComputer = 'PC1' and NomeGriglia = 'frmAlimenti_Griglia'", {2}},
        // Default values (table name not quoted further).
        {"NomeGriglia = 'frmClienti_Griglia'", {1, 3, 4, 5, 6, 7}},
        // The clients list.
        {"Cognome like 'ros*' and Nome like 'and*' and Tessera = '123' and Note like 'nota*'", {2}},
        // six boxes joined with " and ".
        {"Cognome like 'r*' and Tessera like '1*' and Nome like '*'", {1, 2}},
        // The payments register.
        {" Data >= #2024-01-01# And Data <= #2024-12-31 23.59.59# And  (Cliente_ID = 7 or Cliente_ID = 9)", {1, 2, 4}},
        {" Cliente_ID = 0", {}},
        {" Data >= #2024-01-01# And Cliente_ID = 0", {}},
        // the running number is neither quoted nor wildcarded.
        {"Cognome like 'r*' and Nome like 'a*' and Id = 3", {3}},
        // like on a number or a date reads its canonical text.
        {"Importo like '12.5'", {1, 6}},
        {"Importo like '100.0'", {2}},
        {"Importo like '-3*'", {5}},
        {"Cliente_ID like '1*'", {7}},
        {"Data like '2024-03*'", {1, 2}},
        {"Data like '*10:30:00'", {2}},
        {"Annullato like '1'", {2, 5}},
        {"Id like 3", {3}},
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
    QString message;
    // Unknown columns and values that do not fit the column: a DatabaseError naming them.
    EXPECT_TRUE(isPlainDatabaseError("Pippo = 1", &message));
    EXPECT_TRUE(message.contains("Pippo")) << message.toStdString();
    EXPECT_TRUE(isPlainDatabaseError("Cognome = 'a' and ModPagamento_Id = 3", &message));
    EXPECT_TRUE(message.contains("ModPagamento_Id"));
    EXPECT_TRUE(isPlainDatabaseError("Importo = 'abc'", &message));
    EXPECT_TRUE(message.contains("abc") && message.contains("Importo")) << message.toStdString();
    EXPECT_TRUE(isPlainDatabaseError("Descrizione = 'Pane'", &message)); // two columns
    EXPECT_TRUE(message.contains("Descrizione"));
    for (const char* bad : {"DataInizio >= #3/15/2024# and DataInizio <#3/16/2024#", "Cliente_ID = '7a'",
                            "Cognome = #1/1/2024#", "Cognome = true", "Foto = 'x'", "Foto like 'x*'", "Data = 5",
                            "Data = '31/02/2024'", "Data = 'ieri'"})
        EXPECT_TRUE(isPlainDatabaseError(QString::fromUtf8(bad))) << bad;
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
        EXPECT_TRUE(isSyntaxError(QString::fromUtf8(bad))) << bad;
}

TEST_F(FilterTest, SyntaxErrorsCarryThePosition) {
    auto position = [this](const QString& filter) {
        try {
            CompiledFilter::compile(filter, store);
        } catch (const SyntaxError& e) {
            return e.position();
        }
        return -1;
    };
    EXPECT_EQ(position("Cognome = 'abc"), 10);     // the opening quote
    EXPECT_EQ(position("Importo = abc"), 10);      // the word that is no value
    EXPECT_EQ(position("Cliente_ID = 7)"), 14);    // the stray parenthesis
    EXPECT_EQ(position("(Cliente_ID = 7"), 15);    // where ')' was expected
    EXPECT_EQ(position("Data = #2/31/2024#"), 7);  // the date
    EXPECT_EQ(position("Cliente_ID = 12abc"), 13); // the number
}

TEST_F(FilterTest, CompiledFilterOutlivesItsText) {
    CompiledFilter f;
    {
        QString text = "Cognome like 'ros*'";
        f = CompiledFilter::compile(text, store);
        text.fill(u'x');
    }
    const CompiledFilter copy = f;
    int n = 0;
    for (int r = 0; r < store.rowCount(); ++r)
        n += copy.matches(store, r) ? 1 : 0;
    EXPECT_EQ(n, 3);
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
    for (const QString& text : corpus) {
        for (qsizetype n = 0; n <= text.size(); ++n) {
            check(text.left(n));
            check(text.mid(n));
        }
    }
    const QStringList tokens{"Cognome", "Importo", "Data", "Annullato", "Foto", "Cliente_ID", "[E%]",
                             "Pasti.Descrizione", "[", "]", ".", "=", "<>", "<", ">", "<=", ">=", "!", "like",
                             "not", "is", "null", "and", "or", "(", ")", "'ab*'", "'", "''", "\"", "#",
                             "#3/15/2024#", "#2/31/2024#", "#2024-03-15 10.30#", "12.5", "-1", "7", "1e400",
                             "99999999999999999999", "true", "false", "*", "%", "?", "_", " ", "  ", "\t", "é",
                             "😀", ",", ";", "-", "+", "e"};
    std::mt19937 rng(2024);
    std::uniform_int_distribution<qsizetype> pick(0, tokens.size() - 1);
    std::uniform_int_distribution<int> length(1, 14), ch(0, 127);
    for (int i = 0; i < 20000; ++i) {
        QString text;
        for (int n = length(rng); n > 0; --n) {
            text += tokens[pick(rng)];
            if (rng() % 2) text += u' ';
        }
        check(text);
    }
    for (int i = 0; i < 5000; ++i) {
        QString text;
        for (int n = length(rng) * 2; n > 0; --n)
            text += QChar(char16_t(ch(rng)));
        check(text);
    }
    // Deep nesting is refused cleanly, not by overflowing the stack.
    check(QString(100000, u'(') + "Id = 1" + QString(100000, u')'));
    check(QString("not ").repeated(100000) + "Id = 1");
    check(QString("Id = 1 and ").repeated(20000) + "Id = 1");
}

// ---------------------------------------------------------------------------------------
// Sort

namespace {

class SortTest : public ::testing::Test {
protected:
    RowStore store = makeStore();

    std::vector<long long> sorted(const QString& sort, std::vector<int> rows = {}) {
        if (rows.empty())
            for (int r = 0; r < store.rowCount(); ++r)
                rows.push_back(r);
        sortRows(rows, store, parseSort(sort, store));
        std::vector<long long> out;
        for (int r : rows)
            out.push_back(store.integer(r, 0));
        return out;
    }
    using Ids = std::vector<long long>;
};

RowStore namesStore(const std::vector<std::optional<std::string>>& names) {
    ColumnInfo id, name;
    id.name = "Id";
    id.type = FieldType::Integer;
    name.name = "Nome";
    name.type = FieldType::Text;
    RowStore s({id, name});
    for (size_t i = 0; i < names.size(); ++i) {
        const int r = s.appendRow();
        s.setInteger(r, 0, (long long)i);
        if (names[i]) s.setText(r, 1, *names[i]);
    }
    return s;
}

} // namespace

TEST_F(SortTest, ParsesSortTexts) {
    EXPECT_TRUE(parseSort("", store).empty());
    EXPECT_TRUE(parseSort("  ", store).empty());
    auto keys = parseSort("Cognome ASC", store);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].column, 2);
    EXPECT_FALSE(keys[0].descending);
    keys = parseSort("cognome desc, Nome,Importo  DESC ", store);
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_TRUE(keys[0].descending);
    EXPECT_EQ(keys[1].column, 3);
    EXPECT_FALSE(keys[1].descending);
    EXPECT_EQ(keys[2].column, 5);
    EXPECT_TRUE(keys[2].descending);
    // A grid title click writes the field name as it stands, brackets or not.
    keys = parseSort("E% ASC", store);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].column, 10);
    keys = parseSort("[E%] DESC", store);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].column, 10);
    EXPECT_TRUE(keys[0].descending);
    keys = parseSort("Pasti.Descrizione DESC, [Alimenti].[Descrizione]", store);
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].column, 11);
    EXPECT_EQ(keys[1].column, 12);

    EXPECT_THROW(parseSort("Pippo ASC", store), DatabaseError);
    try {
        parseSort("Pippo ASC", store);
    } catch (const SyntaxError&) {
        ADD_FAILURE() << "an unknown column is not a syntax error";
    } catch (const DatabaseError& e) {
        EXPECT_TRUE(e.text().contains("Pippo"));
    }
    EXPECT_THROW(parseSort("Cognome ASC,", store), SyntaxError);
    EXPECT_THROW(parseSort(",Cognome", store), SyntaxError);
    EXPECT_THROW(parseSort("[Cognome ASC", store), SyntaxError);
    EXPECT_THROW(parseSort("Cognome ASC DESC", store), DatabaseError);
    EXPECT_THROW(parseSort("Foto", store), DatabaseError);
    EXPECT_THROW(parseSort("Descrizione", store), DatabaseError); // ambiguous
}

TEST_F(SortTest, TextsInTheItalianCollation) {
    RowStore s = namesStore({"Fabio", "Èrica", std::nullopt, "Enrico", "erica", "ábaco", "Zeno",
                             "ERICA", "10", "9", "D'Amico", "Dalia"});
    auto order = [&s](const QString& sortText) {
        std::vector<int> rows(size_t(s.rowCount()));
        for (int r = 0; r < s.rowCount(); ++r)
            rows[size_t(r)] = r;
        sortRows(rows, s, parseSort(sortText, s));
        std::vector<long long> out;
        for (int r : rows)
            out.push_back(s.integer(r, 0));
        return out;
    };
    // Null first; "10" before "9" (texts); equal names keep their order (stable).
    EXPECT_EQ(order("Nome"), (std::vector<long long>{2, 8, 9, 5, 10, 11, 3, 1, 4, 7, 0, 6}));
    // Descending: reversed, equal names still in their original order, Null last.
    EXPECT_EQ(order("Nome DESC"), (std::vector<long long>{6, 0, 1, 4, 7, 3, 11, 10, 5, 9, 8, 2}));
}

TEST_F(SortTest, NumbersDatesAndNulls) {
    EXPECT_EQ(sorted("Importo"), (Ids{4, 5, 3, 7, 1, 6, 2}));
    EXPECT_EQ(sorted("Importo DESC"), (Ids{2, 1, 6, 7, 3, 5, 4}));
    EXPECT_EQ(sorted("Cliente_ID ASC"), (Ids{5, 1, 2, 6, 3, 4, 7}));
    EXPECT_EQ(sorted("Cliente_ID DESC"), (Ids{7, 4, 3, 1, 2, 6, 5}));
    EXPECT_EQ(sorted("Data"), (Ids{6, 5, 3, 1, 2, 4, 7}));
    EXPECT_EQ(sorted("Data DESC"), (Ids{7, 4, 2, 1, 3, 5, 6}));
    EXPECT_EQ(sorted("Annullato"), (Ids{7, 1, 3, 4, 6, 2, 5}));
    // Numbers by value, the same digits in a text column by text.
    EXPECT_EQ(sorted("Tessera"), (Ids{5, 1, 2, 4, 3, 6, 7})); // "12" "123" "45" "7" "99" "abc"
    EXPECT_EQ(sorted("Cliente_ID, Cognome DESC"), (Ids{5, 2, 1, 6, 3, 4, 7}));
    EXPECT_EQ(sorted("Cliente_ID DESC, Nome"), (Ids{7, 4, 3, 6, 2, 1, 5}));
    EXPECT_EQ(sorted("Cognome", {6, 4, 2, 0}), (Ids{7, 5, 3, 1}));
    std::vector<int> none;
    sortRows(none, store, parseSort("Cognome", store));
    EXPECT_TRUE(none.empty());
}

// Many random rows: every sort text orders them as the collation and the numbers say,
// equal keys in their original order.
TEST(SortRandom, ManyRowsOrderedAndStable) {
    ColumnInfo id, name, amount;
    id.name = "Id";
    id.type = FieldType::Integer;
    name.name = "Cognome";
    name.type = FieldType::Text;
    amount.name = "Importo";
    amount.type = FieldType::Double;
    RowStore s({id, name, amount});
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
            if (c == 0) ASSERT_LT(rows[size_t(i - 1)], rows[size_t(i)]) << "stability, " << sortText;
        }
    }
}
