// The corpus statements return the rows Jet would return: translated, run on SQLite with
// fixture rows inserted through translated Jet INSERTs.

#include "db/error.h"
#include "db/sql/translator.h"
#include "support/rawsqlite.h"
#include "translator_corpus.h"
#include "translator_fixture.h"

#include <QDate>
#include <gtest/gtest.h>

using testsupport::RawSqlite;

namespace {

const char* kRows = R"JET(
insert into ModPagamento (Descrizione) values ('Contanti');
insert into Stagione (Descrizione, DallaData, AllaData) values ('2024/25', #9/1/2024#, #8/31/2025#);
insert into GruppoSportivo (Descrizione) values ("Agonisti");
insert into TipoPagamenti (Descrizione, ScadenzaMesi) values ('Mensile', 1);
insert into anagraficapersonale (Cognome, Nome) values ('Neri', 'Luca');
insert into anagraficapersonale (Cognome, Nome) values ('Gialli', Null);
insert into anagraficaclienti (Cognome, Nome, NominativoDocumenti, NominativoVisualizzato, Annullato, GruppoSportivo_ID, Stagione_ID, TipoPagamento_ID, ModPagamento_Id, Istruttore_ID, Datanascita) values ('Rossi', 'Mario', 'Rossi Mario', 'Rossi Mario', false, 1, 1, 1, 1, 1, #5/20/1980#);
insert into anagraficaclienti (Cognome, Nome, NominativoDocumenti, NominativoVisualizzato, Annullato) values ('Bianchi', 'Anna', 'Bianchi Anna', 'Bianchi Anna', False);
insert into anagraficaclienti (Cognome, Nome, NominativoDocumenti, NominativoVisualizzato, Annullato) values ('Verdi', Null, 'Verdi', 'Verdi', true);
insert into orari (Specialita, Corso, Giorno, OrarioInizio, OrarioFine, Istruttore_ID) values ('Yoga', 'Base', 'Lunedì', '09.00', '10.00', 1);
insert into orari (Specialita, Corso, Giorno, OrarioInizio, OrarioFine) values ('Pilates', 'Avanzato', 'Martedì', '18.00', '19.00');
insert into ClienteOrari (Cliente_ID, Orario_ID, OrarioInizio, OrarioFine) values (1, 1, '09.00', '10.00');
insert into ClienteOrari (Cliente_ID, Orario_ID, OrarioInizio, OrarioFine) values (1, 2, '18.00', '19.00');
insert into Pasti (Descrizione, Ora) values ('Colazione', '07.30');
insert into Pasti (Descrizione, Ora) values ('Pranzo', '13.00');
insert into Alimenti (Descrizione, [E%], KC) values ('Mela', 90, 52);
insert into Alimenti (Descrizione, [E%], KC) values ('Pane', 100, 265);
insert into ClienteDieta (Cliente_ID, ID_pasto, ID_Alimento, QTA_GRAMMI) values (1, 1, 1, 150);
insert into ClienteDieta (Cliente_ID, ID_pasto, ID_Alimento, QTA_GRAMMI) values (1, 99, 2, 50);
insert into GruppiMuscolari (Descrizione) values ('Gambe');
insert into Esercizi (Descrizione, GruppoMuscolare_ID) values ('Squat', 1);
insert into ClienteEsercizi (Cliente_ID, Esercizio_ID, EsercizioDescrizione) values (1, 1, 'Squat');
insert into Occasionali (Cognome, Progressivo) values ('Uno', 5);
insert into Occasionali (Cognome, Progressivo) values ('Due', 7);
insert into Pagamenti (Cliente_ID, Data, Operazione, Importo, ModPagamento_Id) values (1, #3/1/2024#, 'Quota', 50.5, 1);
insert into Pagamenti (Cliente_ID, Data, Operazione, Importo) values (1, #12/31/2023 18.00.00#, 'Iscrizione', 30);
insert into Calendario (DataInizio, Concluso, Storico, Cliente_Id, Cliente, Personale_Id, Personale) values (#12/31/2024 23.00.00#, true, false, 1, 'vecchio', 1, 'vecchio');
insert into Calendario (DataInizio, Concluso, Storico, Cliente_Id, Cliente) values (#12/31/2024 10.00.00#, false, false, 2, 'Bianchi Anna');
insert into Calendario (DataInizio, Concluso, Storico, Cliente_Id, Cliente) values (#1/1/2025#, true, false, 1, 'vecchio');
insert into Calendario (DataInizio, Concluso, Storico) values (#2025-06-01 10:00:00#, true, true);
insert into TempAvvisi (NomeComputer, Testo) values ('PC1', 'uno');
insert into TempAvvisi (NomeComputer, Testo) values ('PC1', 'due');
insert into TempAvvisi (NomeComputer, Testo) values ('PC2', 'altro');
insert into Indirizzi (Comune_ID, Frazione, Indirizzo, Cap) values (1, 'Centro', 'Via Roma', '20100');
insert into Comuni (Comune, Provincia, Cap) values ('Milano', 'MI', '20100');
)JET";

class TranslatorExec : public ::testing::Test {
protected:
    void SetUp() override {
        translator_test::createCorpusSchema(db);
        translator_test::runJetScript(db, QString::fromUtf8(kRows));
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

TEST_F(TranslatorExec, BracketedPercentColumn) {
    auto r = q("SELECT Alimenti.Descrizione, Alimenti.[E%] FROM Alimenti where [E%] > 95");
    ASSERT_EQ(r.rows.size(), 1);
    EXPECT_EQ(r.columns, (QStringList{"Descrizione", "E%"}));
    EXPECT_EQ(r.rows[0][0].toString(), "Pane");
    r = q(translator_test::reportQueries().at(11)); // report 11 (index: 10 has two variants)
    EXPECT_EQ(r.columns.value(1), "PercentualeEdibile");
    EXPECT_EQ(r.rows.value(0).value(1).toInt(), 90);
}

TEST_F(TranslatorExec, RightJoinKeepsTheClientWithoutRows) {
    QString report1 = translator_test::reportQueries().at(0);
    report1.replace(" WHERE anagraficaclienti.ID =1", " WHERE anagraficaclienti.ID =2");
    auto r = q(report1);
    ASSERT_EQ(r.rows.size(), 1);
    EXPECT_EQ(r.rows[0][col(r, "NominativoDocumenti")].toString(), "Bianchi Anna");
    EXPECT_TRUE(r.rows[0][col(r, "EsercizioDescrizione")].isNull());
    EXPECT_TRUE(r.rows[0][col(r, "Descrizione")].isNull());

    r = q(translator_test::reportQueries().at(0));
    ASSERT_EQ(r.rows.size(), 1);
    EXPECT_EQ(r.rows[0][col(r, "Descrizione")].toString(), "Gambe");
}

TEST_F(TranslatorExec, NestedJoinsReturnNullExtendedRows) {
    // Report 3: diet of client 1, one food with a meal that does not exist.
    auto r = q(translator_test::reportQueries().at(2));
    ASSERT_EQ(r.rows.size(), 2);
    const int pasto = col(r, "Pasti.Descrizione");
    const int alimento = col(r, "Alimenti.Descrizione");
    ASSERT_GE(pasto, 0);
    ASSERT_GE(alimento, 0);
    EXPECT_TRUE(r.rows[0][pasto].isNull()); // ordered by Pasti.Ora: Null first
    EXPECT_EQ(r.rows[0][alimento].toString(), "Pane");
    EXPECT_EQ(r.rows[1][pasto].toString(), "Colazione");

    // Client timetable: the slot without instructor is kept by the LEFT JOIN.
    r = q("SELECT orari.Specialita, orari.Giorno,orari.corso, anagraficapersonale.Cognome AS "
          "Istruttore, ClienteOrari.ID, ClienteOrari.Cliente_ID, ClienteOrari.Orario_ID, "
          "ClienteOrari.OrarioInizio, ClienteOrari.OrarioFine FROM (ClienteOrari INNER JOIN orari "
          "ON ClienteOrari.Orario_ID = orari.Id) LEFT JOIN anagraficapersonale ON "
          "orari.Istruttore_ID = anagraficapersonale.ID where ClienteOrari.Cliente_ID = 1 Order "
          "by orari.Giorno, ClienteOrari.OrarioInizio ");
    ASSERT_EQ(r.rows.size(), 2);
    EXPECT_EQ(r.columns.mid(0, 4), (QStringList{"Specialita", "Giorno", "Corso", "Istruttore"}));
    EXPECT_EQ(r.rows[0][3].toString(), "Neri");
    EXPECT_TRUE(r.rows[1][3].isNull());

    // Report 15: RIGHT JOIN onto a parenthesised pair of LEFT JOINs.
    r = q(translator_test::reportQueries().at(15));
    ASSERT_EQ(r.rows.size(), 3); // Rossi twice, Bianchi once with no slot; Verdi cancelled
    int bianchi = 0;
    for (const auto& row : r.rows)
        if (row[col(r, "Cliente")].toString() == "Bianchi Anna") {
            ++bianchi;
            EXPECT_TRUE(row[col(r, "Specialita")].isNull());
        }
    EXPECT_EQ(bianchi, 1);
    EXPECT_TRUE(r.rows[0][col(r, "Stagione")].isNull()); // ordered by Cognome: Bianchi first
    EXPECT_EQ(r.rows[1][col(r, "Stagione")].toString(), "2024/25");
    EXPECT_EQ(r.rows[1][col(r, "TipoAbbonamento")].toString(), "Mensile");
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

TEST_F(TranslatorExec, WrappedQueryWithFilter) {
    const QString clients = translator_test::reportQueries().at(6);
    auto r = q("Select * from (" + clients + ") Where [Cliente] >= 'R' AND [Cliente] <= 'Rz'");
    ASSERT_EQ(r.rows.size(), 1);
    EXPECT_EQ(r.rows[0][col(r, "Istruttore")].toString(), "Neri Luca");
    r = q("Select * from (" + clients + ") Where [Omaggi] = False");
    EXPECT_EQ(r.rows.size(), 2); // the cancelled client is left out by the inner query
    r = q("SELECT TOP 1 * FROM (" + clients + ")");
    EXPECT_EQ(r.rows.size(), 1);
    EXPECT_EQ(r.rows[0][0].toString(), "Bianchi Anna"); // the inner order holds
    r = q("select distinct [ModalitaPagamento] from (" + clients + ") ORDER BY [ModalitaPagamento]");
    ASSERT_EQ(r.rows.size(), 2);
    EXPECT_TRUE(r.rows[0][0].isNull());
    // Receipts of one year (report 21's tail).
    r = q(translator_test::reportQueries().at(22));
    ASSERT_EQ(r.rows.size(), 1);
    EXPECT_EQ(r.rows[0][col(r, "Operazione")].toString(), "Quota");
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
