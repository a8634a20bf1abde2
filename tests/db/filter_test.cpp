// Client-side filter and sort of the datasets, on a RowStore built by hand: every filter
// text form the programs build (data module, grid layouts, default values, lists, clients,
// 6.2, 10.2), the edge cases of quoting, wildcards, dates, yes/no and Null, the errors,
// and the sort.

#include "db/collation.h"
#include "db/datetime.h"
#include "db/error.h"
#include "db/filter.h"
#include "db/rowstore.h"

#include <QElapsedTimer>
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
    using Ids = std::vector<long long>;

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
QString searchLike(const QString& column, QString text) {
    return column + QStringLiteral(" like '") + text.replace(u'\'', QStringLiteral("''")) +
           QStringLiteral("*'");
}

} // namespace

TEST_F(FilterTest, EmptyFilterPassesEverything) {
    EXPECT_TRUE(CompiledFilter().isEmpty());
    EXPECT_TRUE(CompiledFilter::compile("", store).isEmpty());
    EXPECT_TRUE(CompiledFilter::compile("   \t ", store).isEmpty());
    EXPECT_EQ(ids(""), (Ids{1, 2, 3, 4, 5, 6, 7}));
}

TEST_F(FilterTest, NumbersCompareByValue) {
    EXPECT_EQ(ids("Cliente_ID = 7"), (Ids{1, 2, 6}));
    EXPECT_EQ(ids("Cliente_ID <> 7"), (Ids{3, 4, 7})); // Null fails <> too
    EXPECT_EQ(ids("Cliente_ID >= 9"), (Ids{4, 7}));
    EXPECT_EQ(ids("Cliente_ID < 7.5"), (Ids{1, 2, 6}));
    EXPECT_EQ(ids("Cliente_ID = 7.5"), (Ids{}));
    EXPECT_EQ(ids("Cliente_ID = '8'"), (Ids{3}));
    EXPECT_EQ(ids("Importo = 12.5"), (Ids{1, 6}));
    EXPECT_EQ(ids("Importo = '12,5'"), (Ids{1, 6}));
    EXPECT_EQ(ids("Importo = +12.50"), (Ids{1, 6}));
    EXPECT_EQ(ids("Importo < 0"), (Ids{5}));
    EXPECT_EQ(ids("Importo <= -3.25"), (Ids{5}));
    EXPECT_EQ(ids("Importo > .5"), (Ids{1, 2, 6, 7}));
    EXPECT_EQ(ids("Importo = 1e2"), (Ids{2}));
    EXPECT_EQ(ids("Importo != 12.5"), (Ids{2, 3, 5, 7}));
    EXPECT_EQ(ids("Id=1"), (Ids{1}));
}

TEST_F(FilterTest, TextsIgnoreCaseAndAccents) {
    EXPECT_EQ(ids("Cognome = 'rossi'"), (Ids{1}));
    EXPECT_EQ(ids("Cognome = 'peru'"), (Ids{5}));
    EXPECT_EQ(ids("Cognome = 'PERÙ'"), (Ids{5}));
    EXPECT_EQ(ids("Cognome = 'Rosa'"), (Ids{3}));
    EXPECT_EQ(ids("Cognome <> 'Rossi'"), (Ids{2, 3, 4, 5, 7})); // Null row 6 fails
    EXPECT_EQ(ids("Cognome < 'c'"), (Ids{7}));
    EXPECT_EQ(ids("Cognome >= 'r'"), (Ids{1, 2, 3}));
    EXPECT_EQ(ids("Nome = 'alvaro'"), (Ids{6}));
    EXPECT_EQ(ids("Cognome = \"Rossi\""), (Ids{1}));
    // A card number is compared exactly: "12" does not find "123".
    EXPECT_EQ(ids("Tessera = '12'"), (Ids{1}));
    // A number on a text column compares as its text (ADO converts to the field's type).
    EXPECT_EQ(ids("Tessera = 12"), (Ids{1}));
    EXPECT_EQ(ids("Tessera = 7"), (Ids{3}));
    EXPECT_EQ(ids("Note = 'NOTA 3'"), (Ids{3}));
}

TEST_F(FilterTest, LikeIsAPrefixSearchWithWildcards) {
    EXPECT_EQ(ids("Cognome like 'ros*'"), (Ids{1, 2, 3}));
    EXPECT_EQ(ids("Cognome like 'ROS%'"), (Ids{1, 2, 3}));
    EXPECT_EQ(ids("Cognome like 'ros*' and Nome like 'a*'"), (Ids{1, 2, 3}));
    EXPECT_EQ(ids("Cognome like 'ros*' and Nome like 'an*'"), (Ids{1, 2}));
    EXPECT_EQ(ids("Cognome like 'rosa*'"), (Ids{3}));
    EXPECT_EQ(ids("Cognome like 'rosà*'"), (Ids{3}));
    EXPECT_EQ(ids("Cognome like 'd''a*'"), (Ids{4}));
    EXPECT_EQ(ids("Cognome like '*'"), (Ids{1, 2, 3, 4, 5, 7})); // not the Null one
    EXPECT_EQ(ids("Cognome like '%'"), (Ids{1, 2, 3, 4, 5, 7}));
    EXPECT_EQ(ids("Cognome like 'R%i'"), (Ids{1, 2}));
    EXPECT_EQ(ids("Cognome like '*ss*'"), (Ids{1, 2}));
    EXPECT_EQ(ids("Cognome like 'Ros?'"), (Ids{3}));
    EXPECT_EQ(ids("Cognome like 'ros_'"), (Ids{3}));
    EXPECT_EQ(ids("Cognome like 'Ross?'"), (Ids{1}));
    EXPECT_EQ(ids("Cognome like 'peru'"), (Ids{5}));
    EXPECT_EQ(ids("Cognome Like 'B*'"), (Ids{7}));
    EXPECT_EQ(ids("Cognome LIKE 'zz*'"), (Ids{}));
    EXPECT_EQ(ids("Nome like 'Àl*'"), (Ids{3, 6})); // alberto, Àlvaro
    EXPECT_EQ(ids("Nome like 'ALV*'"), (Ids{6}));
    EXPECT_EQ(ids("Cognome not like 'ros*'"), (Ids{4, 5, 7}));
}

TEST_F(FilterTest, SearchTextsWithSpecialCharactersNeverBreak) {
    // What a user may type into a search box, quoted as the programs quote it.
    const QStringList typed{"%",          "[",
                            "]",          "#",
                            "\"",         "'",
                            "''",         "*",
                            "?",          "_",
                            "\\",         "[a-z]",
                            "#1/1/2024#", "' or '1'='1",
                            "d'a",        "a\"b",
                            "(",          ")",
                            "and",        "or",
                            "not",        "null",
                            "%%%",        "é",
                            "\t",         QString(QChar(0)),
                            "😀",          "abc%[#\"'"};
    for (const QString& t : typed) {
        for (const char* column : {"Cognome", "Tessera", "Note", "Data", "Importo", "Id"}) {
            const QString filter = searchLike(QString::fromLatin1(column), t);
            try {
                const CompiledFilter f = CompiledFilter::compile(filter, store);
                for (int r = 0; r < store.rowCount(); ++r)
                    (void)f.matches(store, r);
            } catch (const DatabaseError& e) {
                ADD_FAILURE() << "search text " << t.toStdString() << " on " << column << ": "
                              << e.what();
            }
        }
    }
    // Special characters match themselves (no escapes, no character classes).
    EXPECT_EQ(ids(searchLike("Tessera", "abc%[#\"'")), (Ids{7}));
    EXPECT_EQ(ids(searchLike("Tessera", "abc_[#")), (Ids{7}));
    EXPECT_EQ(ids("Tessera like '*[#*'"), (Ids{7}));
    EXPECT_EQ(ids("Tessera like '*\"*'"), (Ids{7}));
    EXPECT_EQ(ids("Tessera like '*''*'"), (Ids{7}));
    EXPECT_EQ(ids("Tessera = 'abc%[#\"'''"), (Ids{7}));
    EXPECT_EQ(ids(searchLike("Cognome", "' or '1'='1")), (Ids{}));
}

TEST_F(FilterTest, YesNoColumns) {
    EXPECT_EQ(ids("Annullato = 0"), (Ids{1, 3, 4, 6}));
    EXPECT_EQ(ids("Annullato = false"), (Ids{1, 3, 4, 6}));
    EXPECT_EQ(ids("Annullato = FALSE"), (Ids{1, 3, 4, 6}));
    EXPECT_EQ(ids("Annullato = -1"), (Ids{2, 5}));
    EXPECT_EQ(ids("Annullato = true"), (Ids{2, 5}));
    EXPECT_EQ(ids("Annullato = 1"), (Ids{2, 5})); // any non-zero number means yes
    EXPECT_EQ(ids("Annullato <> 0"), (Ids{2, 5}));
    EXPECT_EQ(ids("Annullato <> true"), (Ids{1, 3, 4, 6}));
    EXPECT_EQ(ids("Annullato = 'true'"), (Ids{2, 5}));
    EXPECT_EQ(ids("Annullato = '0'"), (Ids{1, 3, 4, 6}));
    EXPECT_EQ(ids("Annullato > false"), (Ids{2, 5})); // no before yes
    EXPECT_EQ(ids("Annullato is null"), (Ids{7}));
    EXPECT_EQ(ids("Annullato = 0 and Cognome like 'ros*'"), (Ids{1, 3}));
}

TEST_F(FilterTest, Dates) {
    EXPECT_EQ(ids("Data = #3/15/2024#"), (Ids{1}));
    EXPECT_EQ(ids("Data = #2024-03-15#"), (Ids{1}));
    EXPECT_EQ(ids("Data = #2024-3-15#"), (Ids{1}));
    EXPECT_EQ(ids("Data = #03/15/2024 10.30#"), (Ids{2}));
    EXPECT_EQ(ids("Data = #3/15/2024 10:30:00#"), (Ids{2}));
    EXPECT_EQ(ids("Data = #3/15/2024 10:30 AM#"), (Ids{2}));
    EXPECT_EQ(ids("Data = #2024-03-15T10:30:00#"), (Ids{2}));
    EXPECT_EQ(ids("Data = #2024-12-31 11:59:59 PM#"), (Ids{4}));
    EXPECT_EQ(ids("Data >= #1/1/2024 0.00.00# and Data <= #12/31/2024 23.59.59#"),
              (Ids{1, 2, 3, 4}));
}

TEST_F(FilterTest, DatesInTheProgramsForms) {
    EXPECT_EQ(ids("Data >= #3/15/2024# and Data <#3/16/2024#"), (Ids{1, 2}));
    EXPECT_EQ(ids("Data >= #2024-03-15# and Data <= #2024-03-15 23.59.59#"), (Ids{1, 2}));
    EXPECT_EQ(ids("Data < #1/1/2024#"), (Ids{5}));
    EXPECT_EQ(ids("Data = '15/03/2024'"), (Ids{1})); // a text reads the Italian way
    EXPECT_EQ(ids("Data = '2024-03-15 10:30:00'"), (Ids{2}));
    EXPECT_EQ(ids("Data is null"), (Ids{6}));
    EXPECT_EQ(ids("Data <> #3/15/2024#"), (Ids{2, 3, 4, 5, 7}));
}

TEST_F(FilterTest, ImpossibleDatesAreErrors) {
    EXPECT_TRUE(isSyntaxError("Data = #2/31/2024#"));
    EXPECT_TRUE(isSyntaxError("Data = #2/29/2023#"));
    EXPECT_TRUE(isSyntaxError("Data = #13/1/2024#"));
    EXPECT_TRUE(isSyntaxError("Data = #15/03/2024#")); // day first is not m/d/yyyy
    EXPECT_TRUE(isSyntaxError("Data = #2024-02-30#"));
    EXPECT_TRUE(isSyntaxError("Data = #3/15/2024 24.00#"));
    EXPECT_TRUE(isSyntaxError("Data = #3/15/2024 10.60#"));
    EXPECT_TRUE(isSyntaxError("Data = #3/15/24#"));
    EXPECT_TRUE(isSyntaxError("Data = ##"));
    EXPECT_TRUE(isSyntaxError("Data = #3/15/2024"));
    EXPECT_EQ(ids("Data = #2/29/2024#"), (Ids{}));
    EXPECT_TRUE(isPlainDatabaseError("Data = '31/02/2024'"));
    EXPECT_TRUE(isPlainDatabaseError("Data = 'ieri'"));
    EXPECT_TRUE(isPlainDatabaseError("Data = 5"));
}

TEST_F(FilterTest, NullTests) {
    EXPECT_EQ(ids("Importo = Null"), (Ids{4}));
    EXPECT_EQ(ids("Importo = null"), (Ids{4}));
    EXPECT_EQ(ids("Importo <> Null"), (Ids{1, 2, 3, 5, 6, 7}));
    EXPECT_EQ(ids("Importo is null"), (Ids{4}));
    EXPECT_EQ(ids("Importo Is Not Null"), (Ids{1, 2, 3, 5, 6, 7}));
    EXPECT_EQ(ids("Importo > Null"), (Ids{}));
    EXPECT_EQ(ids("Cognome like null"), (Ids{}));
    EXPECT_EQ(ids("Cognome = Null or Cliente_ID = Null"), (Ids{5, 6}));
    EXPECT_EQ(ids("Foto is null"), (Ids{}));
    EXPECT_EQ(ids("Foto <> null"), (Ids{1, 2, 3, 4, 5, 6, 7}));
    // A Null cell fails every other comparison, even negated ones.
    EXPECT_EQ(ids("Importo < 1000"), (Ids{1, 2, 3, 5, 6, 7}));
    EXPECT_EQ(ids("not Importo < 1000"), (Ids{}));
    EXPECT_EQ(ids("not (Importo = Null)"), (Ids{1, 2, 3, 5, 6, 7}));
}

TEST_F(FilterTest, AndBindsTighterThanOr) {
    EXPECT_EQ(ids("Cliente_ID = 8 or Cliente_ID = 7 and Annullato = -1"), (Ids{2, 3}));
    EXPECT_EQ(ids("(Cliente_ID = 8 or Cliente_ID = 7) and Annullato = -1"), (Ids{2}));
    EXPECT_EQ(ids("Cliente_ID = 7 and Annullato = 0 or Cliente_ID = 10"), (Ids{1, 6, 7}));
    EXPECT_EQ(ids("Cliente_ID = 7 and (Annullato = -1 or Importo = 12.5)"), (Ids{1, 2, 6}));
    EXPECT_EQ(ids("((Cliente_ID = 7)) AND ((Nome like 'a*') OR (Nome like 'b*'))"), (Ids{1, 2, 6}));
    EXPECT_EQ(ids("not (Cliente_ID = 7 or Cliente_ID = 8)"), (Ids{4, 7}));
    EXPECT_EQ(ids("not not Cliente_ID = 8"), (Ids{3}));
    EXPECT_EQ(ids("Cliente_ID = 7 or Cliente_ID = 8 or Cliente_ID = 9 or Cliente_ID = 10"),
              (Ids{1, 2, 3, 4, 6, 7}));
}

TEST_F(FilterTest, ColumnNames) {
    EXPECT_EQ(ids("cognome LIKE 'ROS*'"), (Ids{1, 2, 3}));
    EXPECT_EQ(ids("CLIENTE_ID = 8"), (Ids{3}));
    EXPECT_EQ(ids("[Cognome] like 'b*'"), (Ids{7}));
    EXPECT_EQ(ids("[E%] = 5"), (Ids{1}));
    EXPECT_EQ(ids("[e%] > 5"), (Ids{2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(ids("Pasti.Descrizione = 'pranzo'"), (Ids{1, 3, 5, 7}));
    EXPECT_EQ(ids("[Pasti].[Descrizione] = 'Cena'"), (Ids{2, 4, 6}));
    EXPECT_EQ(ids("[Pasti.Descrizione] = 'Cena'"), (Ids{2, 4, 6}));
    EXPECT_EQ(ids("Alimenti.Descrizione like 'pas*'"), (Ids{2, 4, 6}));
    EXPECT_EQ(ids("T.Cognome = 'Rossi'"), (Ids{1})); // Table.Column by origin
    QString message;
    EXPECT_TRUE(isPlainDatabaseError("Descrizione = 'Pane'", &message)); // two columns
    EXPECT_TRUE(message.contains("Descrizione"));
}

TEST_F(FilterTest, TheProgramsFilterTexts) {
    // The layout row of this computer and grid.
    EXPECT_EQ(ids("NomeComputer = 'PC1' and NomeGriglia = 'frmAlimenti_Griglia'"), (Ids{2}));
    // Default values (table name not quoted further).
    EXPECT_EQ(ids("NomeGriglia = 'frmClienti_Griglia'").size(), 6u);
    // The clients list.
    EXPECT_EQ(ids("Annullato = 0"), (Ids{1, 3, 4, 6}));
    EXPECT_EQ(
        ids("Cognome like 'ros*' and Nome like 'and*' and Tessera = '123' and Note like 'nota*'"),
        (Ids{2}));
    // six boxes joined with " and ".
    EXPECT_EQ(ids("Cognome like 'r*' and Tessera like '1*' and Nome like '*'"), (Ids{1, 2}));
}

TEST_F(FilterTest, PaymentsRegisterFilter) {
    EXPECT_EQ(ids(" Data >= #2024-01-01# And Data <= #2024-12-31 23.59.59# And  (Cliente_ID = 7 "
                  "or Cliente_ID = 9)"),
              (Ids{1, 2, 4}));
    EXPECT_EQ(ids(" Cliente_ID = 0"), (Ids{}));
    EXPECT_EQ(ids(" Data >= #2024-01-01# And Cliente_ID = 0"), (Ids{}));
    // the running number is neither quoted nor wildcarded.
    EXPECT_EQ(ids("Cognome like 'r*' and Nome like 'a*' and Id = 3"), (Ids{3}));
}

// Every filter form the windows build, on a store with their columns.
TEST(FilterCorpus, EveryFormTheProgramsBuild) {
    struct C {
        const char* name;
        FieldType type;
    };
    const std::vector<C> cols{{"Id", FieldType::Integer},
                              {"Descrizione", FieldType::Text},
                              {"Importo", FieldType::Double},
                              {"Annullato", FieldType::Bool},
                              {"NomeComputer", FieldType::Text},
                              {"NomeGriglia", FieldType::Text},
                              {"NomeTabella", FieldType::Text},
                              {"Cognome", FieldType::Text},
                              {"Nome", FieldType::Text},
                              {"Tessera", FieldType::Text},
                              {"Citta", FieldType::Text},
                              {"Cliente_ID", FieldType::Integer},
                              {"Comune", FieldType::Text},
                              {"COD_ISTAT", FieldType::Text},
                              {"CODICE_F", FieldType::Text},
                              {"Provincia", FieldType::Text},
                              {"PrefNaz", FieldType::Text},
                              {"Cap", FieldType::Text},
                              {"Frazione", FieldType::Text},
                              {"Indirizzo", FieldType::Text},
                              {"Data", FieldType::Date},
                              {"ModPagamento_Id", FieldType::Integer},
                              {"DataScadenza", FieldType::Date},
                              {"OrarioInizio", FieldType::Text},
                              {"OrarioFine", FieldType::Text},
                              {"Corso", FieldType::Text},
                              {"Specialita", FieldType::Text},
                              {"Giorno", FieldType::Text},
                              {"Istruttore_ID", FieldType::Integer},
                              {"Personale", FieldType::Text},
                              {"Cliente", FieldType::Text},
                              {"Note", FieldType::Memo},
                              {"DataInizio", FieldType::Date},
                              {"Progressivo", FieldType::Integer}};
    std::vector<ColumnInfo> infos;
    for (const C& c : cols) {
        ColumnInfo info;
        info.name = QString::fromLatin1(c.name);
        info.type = c.type;
        infos.push_back(info);
    }
    RowStore s(infos);
    auto fill = [&s](const std::vector<std::pair<const char*, QVariant>>& values) {
        const int r = s.appendRow();
        for (const auto& [name, v] : values)
            s.setValue(r, s.findColumn(QString::fromLatin1(name)), v);
    };
    auto day = [](int y, int m, int d, int h = 0) {
        return QVariant(QDateTime(QDate(y, m, d), QTime(h, 0)));
    };
    fill({{"Id", 1},
          {"Descrizione", "D'Annunzio"},
          {"Importo", 12.5},
          {"Annullato", false},
          {"NomeComputer", "PC1"},
          {"NomeGriglia", "frmAlimenti_Griglia"},
          {"NomeTabella", "anagraficaclienti"},
          {"Cognome", "Rossi"},
          {"Nome", "Anna"},
          {"Tessera", "12"},
          {"Citta", "Milano"},
          {"Cliente_ID", 1},
          {"Comune", "Milano"},
          {"COD_ISTAT", "015146"},
          {"CODICE_F", "F205"},
          {"Provincia", "MI"},
          {"PrefNaz", "02"},
          {"Cap", "20121"},
          {"Frazione", "Affori"},
          {"Indirizzo", "Via Roma"},
          {"Data", day(2024, 3, 15)},
          {"ModPagamento_Id", 3},
          {"DataScadenza", day(2024, 6, 30)},
          {"OrarioInizio", "09.30"},
          {"OrarioFine", "10.30"},
          {"Corso", "Dell'Acqua"},
          {"Specialita", "Yoga"},
          {"Giorno", "Lunedì"},
          {"Istruttore_ID", 4},
          {"Personale", "Rossi Mario"},
          {"Cliente", "Bianchi Luca"},
          {"Note", "x-ray"},
          {"DataInizio", day(2024, 3, 15, 18)},
          {"Progressivo", 5}});
    fill({{"Id", 2},
          {"Descrizione", "Pasta"},
          {"Importo", 12.5},
          {"Annullato", true},
          {"NomeComputer", "PC2"},
          {"NomeGriglia", "frmAlimenti_Griglia"},
          {"NomeTabella", "Scadenze"},
          {"Cognome", "Bianchi"},
          {"Nome", "Bruno"},
          {"Tessera", "123"},
          {"Citta", "Roma"},
          {"Cliente_ID", 2},
          {"Comune", "Roma"},
          {"COD_ISTAT", "058091"},
          {"CODICE_F", "H501"},
          {"Provincia", "RM"},
          {"PrefNaz", "06"},
          {"Cap", "00118"},
          {"Frazione", "Borgo"},
          {"Indirizzo", "Piazza Navona"},
          {"Data", day(2023, 12, 31)},
          {"ModPagamento_Id", 1},
          {"DataScadenza", day(2025, 1, 1)},
          {"OrarioInizio", "10.00"},
          {"OrarioFine", "11.00"},
          {"Corso", "Pilates"},
          {"Specialita", "Pilates"},
          {"Giorno", "Martedì"},
          {"Istruttore_ID", 2},
          {"Personale", "Verdi"},
          {"Cliente", "Rossi"},
          {"Note", ""},
          {"DataInizio", day(2024, 3, 16)},
          {"Progressivo", 6}});
    fill({{"Id", 3}, {"Descrizione", "Contanti"}, {"Annullato", false}});

    const std::vector<std::pair<const char*, std::vector<long long>>> corpus{
        {"Annullato = 0", {1, 3}},                                             // 1.4
        {"NomeComputer = 'PC1' and NomeGriglia = 'frmAlimenti_Griglia'", {1}}, // 2.1
        {"NomeTabella = 'anagraficaclienti'", {1}},                            // 2.2
        {"Descrizione like 'd''a*'", {1}},                                     // 3.1
        {"Descrizione like 'pa*' and Importo = 12.5", {2}},                    // 3.1
        {"Cognome like 'ros*' and Nome like 'a*' and Tessera = '12' and Citta like 'mil*'",
         {1}},                   // 3.3
        {"Tessera = '1'", {}},   // 3.3
        {"Cliente_ID = 1", {1}}, // 3.3
        {"Comune like 'mil*' and COD_ISTAT like '015*' and CODICE_F like 'F2*' and Provincia "
         "like 'MI*' and PrefNaz like '02*' and Cap like '201*'",
         {1}},                                                 // 3.6
        {"Provincia like 'mi*' and Cap like '201*'", {1}},     // 3.6
        {"Frazione like 'a*' and Indirizzo like 'via*'", {1}}, // 3.6
        {" Data >= #2024-01-01# And Data <= #2024-12-31# And (Cliente_ID = 1 or Cliente_ID = "
         "2) And ModPagamento_Id = 3",
         {1}},                                                                   // 5.1
        {" Cliente_ID = 0", {}},                                                 // 5.1
        {"Descrizione = 'Contanti'", {3}},                                       // 5.1
        {" DataScadenza >= #2024-01-01# And DataScadenza <= #2024-12-31#", {1}}, // 5.3
        {"OrarioInizio like '09*' and Corso like 'Dell''Acqua*' and Specialita like 'yo*' and "
         "Giorno like 'Lu*' and OrarioFine like '1*' and Istruttore_ID = 4",
         {1}}, // 6.1
        {"Personale like 'ros*' and Specialita like 'yo*' and Cliente like 'b*' and Note like "
         "'x*' and DataInizio >= #2024-03-15# and DataInizio <#2024-03-16#",
         {1}},                                                                          // 6.2
        {"DataInizio >= #2024-03-01# and DataInizio <= #2024-03-31 23.59.59#", {1, 2}}, // 6.2
        {"DataInizio >= #3/16/2024# and DataInizio <#3/17/2024#", {2}},                 // 6.2
        {"Descrizione like 'cont*'", {3}},                                              // 7.1
        {"Cognome Like 'ros%'", {1}},                                                   // 10.1
        {"Cognome like 'r*' and Nome like 'a*' and Progressivo = 5", {1}},              // 10.2
        {"Nome like 'Ros*'", {}},                                                       // 10.2
    };
    for (const auto& [filter, expected] : corpus) {
        const CompiledFilter f = CompiledFilter::compile(QString::fromUtf8(filter), s);
        std::vector<long long> got;
        for (int r = 0; r < s.rowCount(); ++r)
            if (f.matches(s, r)) got.push_back(s.integer(r, 0));
        EXPECT_EQ(got, expected) << filter;
    }
    // a running number that is not a number makes the filter invalid.
    EXPECT_THROW(CompiledFilter::compile("Cognome like 'a*' and Progressivo = abc", s),
                 SyntaxError);
}

TEST_F(FilterTest, LikeOnNonTextColumnsUsesTheCanonicalText) {
    EXPECT_EQ(ids("Importo like '12.5'"), (Ids{1, 6}));
    EXPECT_EQ(ids("Importo like '100.0'"), (Ids{2}));
    EXPECT_EQ(ids("Importo like '-3*'"), (Ids{5}));
    EXPECT_EQ(ids("Cliente_ID like '1*'"), (Ids{7}));
    EXPECT_EQ(ids("Data like '2024-03*'"), (Ids{1, 2}));
    EXPECT_EQ(ids("Data like '*10:30:00'"), (Ids{2}));
    EXPECT_EQ(ids("Annullato like '1'"), (Ids{2, 5}));
    EXPECT_EQ(ids("Id like 3"), (Ids{3}));
}

TEST_F(FilterTest, Errors) {
    QString message;
    // Unknown columns: a DatabaseError naming the column.
    EXPECT_TRUE(isPlainDatabaseError("Pippo = 1", &message));
    EXPECT_TRUE(message.contains("Pippo")) << message.toStdString();
    EXPECT_TRUE(isPlainDatabaseError("DataInizio >= #3/15/2024# and DataInizio <#3/16/2024#"));
    EXPECT_TRUE(isPlainDatabaseError("Cognome = 'a' and ModPagamento_Id = 3", &message));
    EXPECT_TRUE(message.contains("ModPagamento_Id"));
    // Values that do not fit the column.
    EXPECT_TRUE(isPlainDatabaseError("Importo = 'abc'", &message));
    EXPECT_TRUE(message.contains("abc") && message.contains("Importo")) << message.toStdString();
    EXPECT_TRUE(isPlainDatabaseError("Cliente_ID = '7a'"));
    EXPECT_TRUE(isPlainDatabaseError("Cognome = #1/1/2024#"));
    EXPECT_TRUE(isPlainDatabaseError("Cognome = true"));
    EXPECT_TRUE(isPlainDatabaseError("Foto = 'x'"));
    EXPECT_TRUE(isPlainDatabaseError("Foto like 'x*'"));
    EXPECT_TRUE(isPlainDatabaseError("Data = 5"));
    // Unreadable texts: SyntaxError.
    for (const char* bad : {"Importo = abc",
                            "(Cliente_ID = 7",
                            "Cliente_ID = 7)",
                            "((Cliente_ID = 7)",
                            "Cliente_ID = ",
                            "Cliente_ID",
                            "Cliente_ID == 7",
                            "Cliente_ID = 7 8",
                            "Cliente_ID = 12abc",
                            "Cliente_ID = 1.2.3",
                            "Cognome like",
                            "Cognome like 'abc",
                            "Cognome = 'abc",
                            "Cognome like ros*",
                            "Cognome like #1/1/2024#",
                            "= 7",
                            "7 = Cliente_ID",
                            "and",
                            "Cliente_ID = 7 and",
                            "Cliente_ID = 7 or or Id = 1",
                            "()",
                            "[Cognome = 'a'",
                            "[] = 1",
                            "Cognome is 'a'",
                            "Cognome not = 'a'",
                            "Cliente_ID = 7 Cliente_ID = 8",
                            "Cliente_ID => 7",
                            "Cognome = 'a' ;",
                            "Id = - 1",
                            "Id = 1e",
                            "Id = --1"}) {
        EXPECT_TRUE(isSyntaxError(QString::fromUtf8(bad))) << bad;
    }
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
    const QStringList corpus{
        "Cliente_ID = 7",
        "Cognome like 'ros*' and Nome like 'a*'",
        "Cognome like 'd''a*'",
        "NomeComputer = 'PC1' and NomeGriglia = 'frmAlimenti_Griglia'",
        "Annullato = 0",
        "Tessera = '123'",
        " Data >= #3/15/2024# And Data <= #3/15/2024 23.59.59# And (Cliente_ID = 7 or "
        "Cliente_ID = 9) And Id = 3",
        "Data >= #2024-03-15# and Data <#2024-03-16#",
        "Importo = 12.5",
        "[E%] >= -1.5e1 or Pasti.Descrizione = \"x\"",
        "not (Importo is not null and Cognome not like '%a_b?')",
        "Annullato = true or Annullato = -1 or Annullato = false",
        "Importo = Null or Cognome <> NULL",
    };
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
    const QStringList tokens{"Cognome",
                             "Importo",
                             "Data",
                             "Annullato",
                             "Foto",
                             "Cliente_ID",
                             "[E%]",
                             "Pasti.Descrizione",
                             "[",
                             "]",
                             ".",
                             "=",
                             "<>",
                             "<",
                             ">",
                             "<=",
                             ">=",
                             "!",
                             "like",
                             "not",
                             "is",
                             "null",
                             "and",
                             "or",
                             "(",
                             ")",
                             "'ab*'",
                             "'",
                             "''",
                             "\"",
                             "#",
                             "#3/15/2024#",
                             "#2/31/2024#",
                             "#2024-03-15 10.30#",
                             "12.5",
                             "-1",
                             "7",
                             "1e400",
                             "99999999999999999999",
                             "true",
                             "false",
                             "*",
                             "%",
                             "?",
                             "_",
                             " ",
                             "  ",
                             "\t",
                             "é",
                             "😀",
                             ",",
                             ";",
                             "-",
                             "+",
                             "e"};
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

TEST(SortLarge, TwoHundredThousandRowsStableAndOrdered) {
    ColumnInfo id, name, amount;
    id.name = "Id";
    id.type = FieldType::Integer;
    name.name = "Cognome";
    name.type = FieldType::Text;
    amount.name = "Importo";
    amount.type = FieldType::Double;
    RowStore s({id, name, amount});
    const std::vector<std::string> surnames{"Rossi",  "Russo",    "Ferrari", "Esposito", "Bianchi",
                                            "Romano", "Colombo",  "Ricci",   "Marino",   "Greco",
                                            "Bruno",  "Gallo",    "Conti",   "De Luca",  "Mancini",
                                            "Costa",  "Giordano", "Rizzo",   "Lombardi", "Moretti",
                                            "Èrica",  "Nicolò",   "Perù",    "D'Amico",  "ROSSINI"};
    std::mt19937 rng(1);
    const int n = 200000;
    s.reserve(n);
    for (int i = 0; i < n; ++i) {
        const int r = s.appendRow();
        s.setInteger(r, 0, i);
        if (rng() % 50)
            s.setText(r, 1, surnames[rng() % surnames.size()] + std::to_string(rng() % 300));
        if (rng() % 50) s.setReal(r, 2, double(rng() % 100000) / 100.0);
    }
    for (const char* sortText :
         {"Cognome", "Cognome DESC", "Importo DESC", "Cognome, Importo DESC"}) {
        std::vector<int> rows(n);
        for (int i = 0; i < n; ++i)
            rows[size_t(i)] = i;
        const auto keys = parseSort(sortText, s);
        QElapsedTimer timer;
        timer.start();
        sortRows(rows, s, keys);
        const qint64 ms = timer.elapsed();
        std::printf("sortRows(%s) on %d rows: %lld ms\n", sortText, n, (long long)ms);
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
        EXPECT_LT(ms, 3000);
    }
}
