// The corpus statements return the rows Jet would return: translated, run on SQLite with
// fixture rows inserted through translated Jet INSERTs.

#include "db/error.h"
#include "db/sql/translator.h"
#include "support/rawsqlite.h"
#include "translator_fixture.h"

#include <QDate>
#include <gtest/gtest.h>

using testsupport::RawSqlite;

namespace {



class TranslatorExec : public ::testing::Test {
protected:
    void SetUp() override {
        translator_test::createSampleDatabase(db);
    }
    RawSqlite::Result q(const QString& jet) { return db.jetQuery(jet); }
    QVariant one(const QString& jet) {
        const auto r = q(jet);
        return r.rows.isEmpty() ? QVariant() : r.rows[0][0];
    }
    static int col(const RawSqlite::Result& r, const QString& name) {
        return int(r.columns.indexOf(name));
    }
    RawSqlite db;
};

} // namespace

TEST_F(TranslatorExec, KeyReachedAsIdIDAndid) {
    EXPECT_EQ(one("select Descrizione from ModPagamento where ID = 1").toString(), "Contanti");
    EXPECT_EQ(one("select Descrizione from ModPagamento where Id = 1").toString(), "Contanti");
    EXPECT_EQ(one("select Descrizione from modpagamento where id = 1").toString(), "Contanti");
    const auto t = db::sql::translate("select ID from MODPAGAMENTO", &db);
    EXPECT_EQ(t.columns.value(0).name, "id"); // as the schema spells it
    EXPECT_EQ(t.columns.value(0).table, "ModPagamento");
    EXPECT_EQ(t.tables, QStringList{"ModPagamento"});
}

TEST_F(TranslatorExec, CalendarRenamingThroughInnerJoin) {
    db.jet("UPDATE anagraficaclienti SET NominativoDocumenti = 'Rossi Mario Jr' WHERE ID = 1");
    db.jet("UPDATE Calendario INNER JOIN anagraficaclienti ON calendario.Cliente_Id = "
           "anagraficaclienti.Id SET calendario.Cliente = "
           "[anagraficaclienti].[NominativoDocumenti] where anagraficaclienti.Id=1");
    EXPECT_EQ(db.changes(), 2);
    auto r = q("select Cliente from Calendario order by Id");
    EXPECT_EQ(r.rows[0][0].toString(), "Rossi Mario Jr");
    EXPECT_EQ(r.rows[1][0].toString(), "Bianchi Anna");
    EXPECT_EQ(r.rows[2][0].toString(), "Rossi Mario Jr");
    EXPECT_TRUE(r.rows[3][0].isNull());

    db.jet("UPDATE Calendario INNER JOIN anagraficapersonale ON calendario.Personale_Id = "
           "anagraficapersonale.Id SET calendario.Personale = [anagraficapersonale].[Cognome] & ' ' "
           "& [anagraficapersonale].[Nome] where anagraficapersonale.Id=1");
    EXPECT_EQ(one("select Personale from Calendario where Id = 1").toString(), "Neri Luca");
}

TEST_F(TranslatorExec, HistoryUpdatesAroundTheYearBoundary) {
    db.jet("UPDATE Calendario SET Storico = true where Concluso=true and DataInizio < #01/01/2025#");
    db.jet("UPDATE Calendario SET Storico = false where DataInizio >= #01/01/2025#");
    auto r = q("select Id, Storico from Calendario order by Id");
    ASSERT_EQ(r.rows.size(), 4);
    EXPECT_EQ(r.rows[0][1].toInt(), 1); // concluded on 31/12/2024 at 23:00
    EXPECT_EQ(r.rows[1][1].toInt(), 0); // not concluded
    EXPECT_EQ(r.rows[2][1].toInt(), 0); // 1/1/2025 at midnight is this year
    EXPECT_EQ(r.rows[3][1].toInt(), 0); // wrongly in the history, brought back
    EXPECT_EQ(q("SELECT * from Calendario where Storico=false order by DataInizio desc,Personale")
                  .rows.size(),
              3);
    // Today's attendances, the history view's window.
    EXPECT_EQ(q("Select * From Calendario where Concluso=false and DataInizio>=#12/31/2024# and "
                "DataInizio <=#12/31/2024 23.59.59#")
                  .rows.size(),
              1);
    EXPECT_EQ(q("select * from Calendario WHERE DataInizio >= #1/1/2024# AND DataInizio <= "
                "#12/31/2024 23.59.59# order by DataInizio desc")
                  .rows.size(),
              2);
}

TEST_F(TranslatorExec, TopOneAndTheWorkstationRows) {
    EXPECT_EQ(q("select top 1 * from TempAvvisi where NomeComputer ='PC1'").rows.size(), 1);
    EXPECT_EQ(q("select * from TempAvvisi where NomeComputer ='pc1'").rows.size(), 2);
    db.jet("delete * from TempAvvisi where NomeComputer ='PC1'");
    EXPECT_EQ(db.changes(), 2);
    EXPECT_EQ(one("select Testo from TempAvvisi").toString(), "altro");
    const auto r = q("SELECT top 1 id_cap, Frazione, NumeroCivico, Indirizzi.Cap, Comune_ID, "
                     "Indirizzo, Comuni.Comune FROM Indirizzi INNER JOIN Comuni ON "
                     "Indirizzi.Comune_ID = Comuni.ID order by Frazione, Indirizzo");
    ASSERT_EQ(r.rows.size(), 1);
    EXPECT_EQ(r.columns, (QStringList{"id_cap", "Frazione", "NumeroCivico", "Cap", "Comune_ID",
                                      "Indirizzo", "Comune"}));
    EXPECT_EQ(r.rows[0][6].toString(), "Milano");
}

TEST_F(TranslatorExec, DuplicateNamesAreQualified) {
    const auto r = q("SELECT Pasti.Descrizione, Alimenti.Descrizione, ClienteDieta.* FROM "
                     "(ClienteDieta LEFT JOIN Pasti ON ClienteDieta.ID_pasto = Pasti.ID) INNER "
                     "JOIN Alimenti ON ClienteDieta.ID_Alimento = Alimenti.ID  where Cliente_ID = "
                     "1 ORDER BY Pasti.Ora, Alimenti.Descrizione");
    EXPECT_EQ(r.columns, (QStringList{"Pasti.Descrizione", "Alimenti.Descrizione", "ID",
                                      "Cliente_ID", "ID_pasto", "ID_Alimento", "QTA_GRAMMI"}));
    ASSERT_EQ(r.rows.size(), 2);
    EXPECT_EQ(r.rows[1][0].toString(), "Colazione");
    EXPECT_EQ(r.rows[1][1].toString(), "Mela");
    // A join of two tables with '*' qualifies every shared name.
    const auto t = db::sql::translate("select * from indirizzi inner join COMUNI on "
                                      "Indirizzi.Comune_ID = Comuni.ID",
                                      &db);
    QStringList names;
    for (const auto& c : t.columns)
        names << c.name;
    EXPECT_TRUE(names.contains("Indirizzi.Cap"));
    EXPECT_TRUE(names.contains("Comuni.Cap"));
    EXPECT_TRUE(names.contains("Frazione"));
    EXPECT_EQ(db.queryEngine(t.sql).columns, names);
}

TEST_F(TranslatorExec, TextJoiningWithAmpersandAndPlus) {
    auto r = q("SELECT *, Cognome + \"  \" + Nome as Nominativo FROM anagraficaclienti order by "
               "NominativoVisualizzato");
    const int n = col(r, "Nominativo");
    ASSERT_EQ(r.rows.size(), 3);
    EXPECT_EQ(r.rows[0][n].toString(), "Bianchi  Anna");
    EXPECT_TRUE(r.rows[2][n].isNull()); // Verdi has no Nome: '+' propagates Null
    EXPECT_EQ(one("select Cognome & ' ' & Nome from anagraficaclienti where Cognome = 'Verdi'")
                  .toString(),
              "Verdi ");
    EXPECT_EQ(one("select Progressivo + 1 from Occasionali where Cognome = 'Due'").toInt(), 8);
    // Operands of unknown type go through jet_add.
    EXPECT_EQ(one("select iif(true, 2, 'x') + 3").toInt(), 5);
    EXPECT_EQ(one("select iif(true, 'a', 1) + iif(true, 'b', 2)").toString(), "ab");
    EXPECT_TRUE(one("select iif(true, Null, 1) + 3").isNull());
    EXPECT_EQ(one("select 7 / 2").toDouble(), 3.5);
    EXPECT_EQ(one("select 7 \\ 2").toInt(), 3);
    EXPECT_EQ(one("select 7 mod 3").toInt(), 1);
    EXPECT_EQ(one("select -(2 - 5) * 2").toInt(), 6);
    EXPECT_EQ(one("select - -1").toInt(), 1);
}

TEST_F(TranslatorExec, LikeWithBothWildcards) {
    EXPECT_EQ(one("Select id from Anagraficaclienti where Cognome like 'ro%'").toInt(), 1);
    EXPECT_EQ(one("Select id from Anagraficaclienti where Cognome like 'RO*'").toInt(), 1);
    EXPECT_EQ(one("Select id from Anagraficaclienti where Cognome like \"b?anch_\"").toInt(), 2);
    EXPECT_EQ(q("Select id from Anagraficaclienti where Cognome not like '*i'").rows.size(), 0);
    EXPECT_EQ(q("Select id from Anagraficaclienti where Nome like '*'").rows.size(), 2);
}

TEST_F(TranslatorExec, IdentityAndMax) {
    db.jet("insert into Occasionali (Cognome, Progressivo) values ('Tre', 8)");
    const auto t = db.jet("SELECT @@IDENTITY as ID;");
    EXPECT_EQ(t.kind, db::sql::StatementKind::Identity);
    EXPECT_EQ(t.sql, "SELECT last_insert_rowid() AS \"ID\"");
    EXPECT_EQ(one("SELECT @@IDENTITY as ID;").toInt(), 3);
    const auto r = q("SELECT max(Progressivo) as Prog FROM Occasionali");
    EXPECT_EQ(r.columns, QStringList{"Prog"});
    EXPECT_EQ(r.rows[0][0].toInt(), 8);
    EXPECT_EQ(one("select count(*) from Occasionali").toInt(), 3);
    EXPECT_EQ(one("select count(Nome) from Occasionali").toInt(), 0);
    EXPECT_EQ(q("select count(*) as N, Stagione_ID from Occasionali group by Stagione_ID having "
                "count(*) > 1")
                  .rows.size(),
              1);
}

TEST_F(TranslatorExec, DateLiteralsAllMeanTheSameInstant) {
    for (const char* lit : {"#3/1/2024#", "#03/01/2024#", "#2024-03-01#", "#3/1/2024 0.00.00#",
                            "#3/1/2024 00:00:00#"})
        EXPECT_EQ(one(QStringLiteral("select Operazione from Pagamenti where Data = %1").arg(lit))
                      .toString(),
                  "Quota")
            << lit;
    EXPECT_EQ(one("select count(*) from Pagamenti where Data between #12/31/2023# and #12/31/2023 23.59.59#")
                  .toInt(),
              1);
    EXPECT_EQ(one("select year(Data) from Pagamenti where Operazione = 'Quota'").toInt(), 2024);
    EXPECT_EQ(one("select month(Data) * 100 + day(Data) from Pagamenti where Operazione = 'Quota'")
                  .toInt(),
              301);
    const QString today = one("select date()").toString();
    EXPECT_EQ(today, QDate::currentDate().toString("yyyy-MM-dd") + " 00:00:00");
    EXPECT_EQ(one("select now()").toString().size(), 19);
}

TEST_F(TranslatorExec, OperatorsAndFunctions) {
    EXPECT_EQ(q("select * from anagraficaclienti where Annullato = true").rows.size(), 1);
    EXPECT_EQ(q("select * from anagraficaclienti where not Annullato = true").rows.size(), 2);
    EXPECT_EQ(q("select * from anagraficaclienti where Nome Is Null").rows.size(), 1);
    EXPECT_EQ(q("select * from anagraficaclienti where Nome is not null").rows.size(), 2);
    EXPECT_EQ(q("select * from anagraficaclienti where ID in (1, 3)").rows.size(), 2);
    EXPECT_EQ(q("select * from anagraficaclienti where ID not in (select Cliente_ID from "
                "Pagamenti)")
                  .rows.size(),
              2);
    EXPECT_EQ(q("select * from anagraficaclienti where ID between 2 and 3").rows.size(), 2);
    EXPECT_EQ(q("select * from anagraficaclienti where ID not between 2 and 3").rows.size(), 1);
    EXPECT_EQ(q("select * from anagraficaclienti where ID <> 1 and (Cognome = 'Verdi' or "
                "Cognome = 'Bianchi')")
                  .rows.size(),
              2);
    EXPECT_EQ(one("select ucase(Cognome) & lcase('X') & len(Nome) from anagraficaclienti where "
                  "ID = 1")
                  .toString(),
              "ROSSIx5");
    EXPECT_EQ(one("select left('Milano', 3) & '|' & right('Milano', 2) & '|' & right('ab', 0) & "
                  "'|' & right('ab', 5) & '|' & mid('Milano', 2, 3) & '|' & mid('Milano', 4)")
                  .toString(),
              "Mil|no||ab|ila|ano");
    EXPECT_EQ(one("select trim('  a  ') & iif(1 > 2, 'x', 'y') & nz(Null, 'z') & cstr(12)")
                  .toString(),
              "ayz12");
    EXPECT_EQ(one("select sum(Importo) from Pagamenti").toDouble(), 80.5);
    EXPECT_EQ(one("select avg(KC) from Alimenti").toDouble(), 158.5);
    EXPECT_EQ(one("select clng(2.6) + cint(1.2) + fix(-1.7) + abs(-2)").toInt(), 5);
    EXPECT_EQ(one("select count(*) from Pagamenti where exists (select * from anagraficaclienti "
                  "where anagraficaclienti.ID = Pagamenti.Cliente_ID and Annullato = false)")
                  .toInt(),
              2);
    EXPECT_EQ(one("select (select max(Importo) from Pagamenti) as M").toDouble(), 50.5);
    EXPECT_EQ(q("select distinct Cliente_ID from Pagamenti").rows.size(), 1);
}

TEST_F(TranslatorExec, InsertSelectAndAliases) {
    db.jet("insert into TempAvvisiClienti (NomeComputer, Cliente_ID) VALUES('PC1',1)");
    db.jet("insert into TempAvvisiClienti (NomeComputer, Cliente_ID) select 'PC2', ID from "
           "anagraficaclienti where Annullato = false");
    EXPECT_EQ(one("select count(*) from TempAvvisiClienti").toInt(), 3);
    const auto r = q("select p.Importo, c.Cognome as Chi from Pagamenti AS p inner join "
                     "anagraficaclienti c on p.Cliente_ID = c.ID order by p.Data");
    ASSERT_EQ(r.rows.size(), 2);
    EXPECT_EQ(r.columns, (QStringList{"Importo", "Chi"}));
    EXPECT_EQ(r.rows[0][0].toInt(), 30);
    const auto t = db::sql::translate("select p.Importo, c.Cognome as Chi, p.* from Pagamenti AS "
                                      "p inner join anagraficaclienti c on p.Cliente_ID = c.ID",
                                      &db);
    EXPECT_EQ(t.columns[0].table, "Pagamenti");
    EXPECT_EQ(t.columns[1].table, "anagraficaclienti");
    EXPECT_EQ(t.columns[1].column, "Cognome");
    EXPECT_EQ(t.columns[0].name, "p.Importo"); // twice in the result: qualified by the alias
    EXPECT_EQ(db.queryEngine(t.sql).columns.value(0), "p.Importo");
}
