#pragma once

// The translator's tests run on a bare engine database holding the project's own schema
// script (db/schema.sql, split and translated as a new database is made) and, for the
// tests that read rows, a few sample rows inserted through translated Jet INSERTs.

#include "db/script.h"
#include "support/rawsqlite.h"

#include <QFile>
#include <QStringList>

namespace translator_test {

inline QStringList schemaStatements() {
    QFile f(QStringLiteral(":/db/schema.sql"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return db::splitScript(QString::fromUtf8(f.readAll()));
}

inline void createCorpusSchema(testsupport::RawSqlite& db) {
    for (const QString& statement : schemaStatements()) db.jet(statement);
}

inline const char* kSampleRows = R"JET(
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
insert into Scadenze (Cliente_ID, DataScadenza, Operazione, Importo, ModPagamento_Id) values (1, #2/10/2025#, 'Rata', 40, 1);
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

inline void createSampleDatabase(testsupport::RawSqlite& db) {
    createCorpusSchema(db);
    for (const QString& statement : db::splitScript(QString::fromUtf8(kSampleRows))) db.jet(statement);
}

} // namespace translator_test
