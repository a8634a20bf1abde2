#pragma once

// The SQL texts the programs run, with their composed pieces filled in
// (client 1, computer "PC1", year 2024): the translator's test corpus.
// The report record sources are the print catalogue's, verbatim.

#include <QStringList>

namespace translator_test {

inline QStringList reportQueries() {
    return {
        // report 1
        QStringLiteral("SELECT anagraficaclienti.NominativoDocumenti, anagraficaclienti.Via, anagraficaclienti.Citta, anagraficaclienti.Codfiscale, anagraficaclienti.Numero_civico, anagraficaclienti.Nato_a, anagraficaclienti.Fax, anagraficaclienti.Cell, anagraficaclienti.Provincia, anagraficaclienti.Tessera, ClienteEsercizi.Note, ClienteEsercizi.Serie, ClienteEsercizi.Pausa, ClienteEsercizi.Quantita, ClienteEsercizi.EsercizioDescrizione, Esercizi.Immagine, Esercizi.ModalitaUso, GruppiMuscolari.Descrizione FROM ((ClienteEsercizi LEFT JOIN Esercizi ON ClienteEsercizi.Esercizio_ID = Esercizi.ID) RIGHT JOIN anagraficaclienti ON ClienteEsercizi.Cliente_ID = anagraficaclienti.ID) LEFT JOIN GruppiMuscolari ON Esercizi.GruppoMuscolare_ID = GruppiMuscolari.Id WHERE anagraficaclienti.ID =1 ORDER BY GruppiMuscolari.Descrizione"),
        // report 2
        QStringLiteral("SELECT anagraficaclienti.NominativoDocumenti, anagraficaclienti.Via, anagraficaclienti.Citta, anagraficaclienti.Codfiscale, anagraficaclienti.Numero_civico, anagraficaclienti.Nato_a, anagraficaclienti.Fax, anagraficaclienti.Cell, anagraficaclienti.Provincia, anagraficaclienti.Immagine, anagraficaclienti.Tessera, orari.Giorno, ClienteOrari.OrarioInizio, orari.Specialita, ClienteOrari.OrarioFine FROM (ClienteOrari RIGHT JOIN anagraficaclienti ON ClienteOrari.Cliente_ID = anagraficaclienti.ID) LEFT JOIN orari ON ClienteOrari.Orario_ID = orari.Id WHERE anagraficaclienti.ID =1 ORDER BY orari.Giorno, ClienteOrari.OrarioInizio, orari.Specialita"),
        // report 3
        QStringLiteral("SELECT anagraficaclienti.NominativoDocumenti, anagraficaclienti.Via, anagraficaclienti.Citta, anagraficaclienti.Codfiscale, anagraficaclienti.Numero_civico, anagraficaclienti.Nato_a, anagraficaclienti.Fax, anagraficaclienti.Cell, anagraficaclienti.Provincia, anagraficaclienti.Immagine, anagraficaclienti.Tessera, ClienteDieta.QTA_GRAMMI, Alimenti.[E%], Alimenti.ACQ, Alimenti.PRO, Alimenti.GRA, Alimenti.CAR, Alimenti.FIB, Alimenti.KC, Pasti.Descrizione, Pasti.Ora, Alimenti.Descrizione FROM ((ClienteDieta RIGHT JOIN anagraficaclienti ON ClienteDieta.Cliente_ID = anagraficaclienti.ID) LEFT JOIN Alimenti ON ClienteDieta.ID_Alimento = Alimenti.ID) LEFT JOIN Pasti ON ClienteDieta.ID_pasto = Pasti.ID WHERE anagraficaclienti.ID =1 ORDER BY Pasti.Ora, Alimenti.Descrizione"),
        // report 4
        QStringLiteral("SELECT Pagamenti.Operazione, Pagamenti.Data, Pagamenti.Importo, Pagamenti.Note, anagraficaclienti.NominativoDocumenti as Cliente, anagraficaclienti.Via as ClienteIndirizzo, anagraficaclienti.Citta as ClienteCitta, anagraficaclienti.Codfiscale as ClienteCodiceFiscale, anagraficaclienti.Numero_civico as ClienteNumeroCivico, anagraficaclienti.Nato_a as ClienteNato_A, anagraficaclienti.Fax as ClienteFax, anagraficaclienti.Cell as ClienteCellulare, anagraficaclienti.Provincia as ClienteProvincia, anagraficaclienti.Tessera as ClienteTessera, ModPagamento.Descrizione AS ModalitaPagamento, Stagione.Descrizione AS Stagione, GruppoSportivo.Descrizione AS GruppoSportivo FROM (Pagamenti LEFT JOIN ((anagraficaclienti LEFT JOIN GruppoSportivo ON anagraficaclienti.GruppoSportivo_ID = GruppoSportivo.ID) LEFT JOIN Stagione ON anagraficaclienti.Stagione_ID = Stagione.ID) ON Pagamenti.Cliente_ID = anagraficaclienti.ID) LEFT JOIN ModPagamento ON Pagamenti.ModPagamento_Id = ModPagamento.id WHERE anagraficaclienti.ID =1 ORDER BY Pagamenti.Data"),
        // report 5
        QStringLiteral("SELECT anagraficaclienti.NominativoDocumenti, anagraficaclienti.Via, anagraficaclienti.Citta, anagraficaclienti.Codfiscale, anagraficaclienti.Numero_civico, anagraficaclienti.Nato_a, anagraficaclienti.Fax, anagraficaclienti.Cell, anagraficaclienti.Provincia, anagraficaclienti.Immagine, anagraficaclienti.Tessera, ClientePatologia.DataInizio, ClientePatologia.DataFine, ClientePatologia.Note, Patologie.Descrizione, Patologie.Cura FROM (ClientePatologia LEFT JOIN Patologie ON ClientePatologia.Patologia_ID = Patologie.ID) RIGHT JOIN anagraficaclienti ON ClientePatologia.Cliente_ID = anagraficaclienti.ID WHERE anagraficaclienti.ID =1 ORDER BY ClientePatologia.DataInizio"),
        // report 6
        QStringLiteral("SELECT anagraficaclienti.NominativoDocumenti, anagraficaclienti.Via, anagraficaclienti.Datanascita, anagraficaclienti.Cap, anagraficaclienti.Citta, anagraficaclienti.Codfiscale, anagraficaclienti.Scadenza_cert_medico, anagraficaclienti.Numero_civico, anagraficaclienti.Nato_a, anagraficaclienti.Tel, anagraficaclienti.Fax, anagraficaclienti.Cell, anagraficaclienti.E_mail, anagraficaclienti.Provincia, anagraficaclienti.Sesso, anagraficaclienti.Note, anagraficaclienti.Tessera, anagraficaclienti.DataScadenzaAbbonamento as ScadenzaIscrizione, ModPagamento.Descrizione AS ModalitaPagamento, GruppoSportivo.Descrizione AS GruppoSportivo, Stagione.Descrizione AS Stagione, anagraficapersonale.Cognome & ' ' & anagraficapersonale.Nome AS Istruttore, TipoPagamenti.Descrizione as TipoAbbonamento, anagraficaclienti.ScadenzaPagamento as ScadenzaAbbonamento FROM ((((anagraficaclienti LEFT JOIN ModPagamento ON anagraficaclienti.ModPagamento_Id = ModPagamento.id) LEFT JOIN GruppoSportivo ON anagraficaclienti.GruppoSportivo_ID = GruppoSportivo.ID) LEFT JOIN Stagione ON anagraficaclienti.Stagione_ID = Stagione.ID) LEFT JOIN anagraficapersonale ON anagraficaclienti.Istruttore_ID = anagraficapersonale.ID) LEFT JOIN TipoPagamenti ON anagraficaclienti.TipoPagamento_ID = TipoPagamenti.Id WHERE anagraficaclienti.Annullato = false and anagraficaclienti.ID =1"),
        // report 7
        QStringLiteral("SELECT anagraficaclienti.NominativoDocumenti as Cliente, anagraficaclienti.Citta, anagraficaclienti.Tel AS Telefono, anagraficaclienti.Cell AS Cellulare, anagraficaclienti.Sesso, anagraficaclienti.Tessera, ModPagamento.Descrizione AS ModalitaPagamento, anagraficapersonale.Cognome & ' ' & anagraficapersonale.Nome AS Istruttore, Stagione.Descrizione AS Stagione, GruppoSportivo.Descrizione AS GruppoSportivo, anagraficaclienti.DataScadenzaAbbonamento AS ScadenzaIscrizione, anagraficaclienti.Note, TipoPagamenti.Descrizione AS TipoAbbonamento, anagraficaclienti.ScadenzaPagamento AS ScadenzaAbbonamento, anagraficaclienti.Omaggi, anagraficaclienti.Certificato_med, anagraficaclienti.Scadenza_cert_medico FROM ((((anagraficaclienti LEFT JOIN ModPagamento ON anagraficaclienti.ModPagamento_Id = ModPagamento.id) LEFT JOIN anagraficapersonale ON anagraficaclienti.Istruttore_ID = anagraficapersonale.ID) LEFT JOIN GruppoSportivo ON anagraficaclienti.GruppoSportivo_ID = GruppoSportivo.ID) LEFT JOIN Stagione ON anagraficaclienti.Stagione_ID = Stagione.ID) LEFT JOIN TipoPagamenti ON anagraficaclienti.TipoPagamento_ID = TipoPagamenti.Id WHERE (((anagraficaclienti.Annullato)=False)) ORDER BY anagraficaclienti.NominativoDocumenti"),
        // report 8
        QStringLiteral("SELECT anagraficapersonale.Cognome, anagraficapersonale.Nome, anagraficapersonale.Datanascita, anagraficapersonale.Via, anagraficapersonale.Cap, anagraficapersonale.Citta, anagraficapersonale.Codfiscale, anagraficapersonale.Numero_civico, anagraficapersonale.Nato_a, anagraficapersonale.Tel, anagraficapersonale.Fax, anagraficapersonale.Cell, anagraficapersonale.E_mail, anagraficapersonale.Provincia, anagraficapersonale.Mansione, anagraficapersonale.Note, anagraficapersonale.Tessera FROM anagraficapersonale ORDER BY anagraficapersonale.Cognome, anagraficapersonale.Nome"),
        // report 9
        QStringLiteral("SELECT anagraficapersonale.Cognome AS Istruttore, orari.Specialita, orari.Giorno, orari.OrarioInizio, orari.OrarioFine, orari.Corso FROM orari LEFT JOIN anagraficapersonale ON orari.Istruttore_ID = anagraficapersonale.ID ORDER BY orari.Giorno, orari.OrarioInizio"),
        // report 10
        QStringLiteral("SELECT Esercizi.Descrizione, Esercizi.ModalitaUso FROM Esercizi ORDER BY Esercizi.Descrizione"),
        QStringLiteral("SELECT Esercizi.Descrizione, Esercizi.ModalitaUso, Esercizi.Immagine FROM Esercizi ORDER BY Esercizi.Descrizione"),
        // report 11
        QStringLiteral("SELECT Alimenti.Descrizione, Alimenti.[E%] as PercentualeEdibile, Alimenti.ACQ as Acqua, Alimenti.PRO as Proteine, Alimenti.GRA as Grassi, Alimenti.CAR as Carboidrati, Alimenti.FIB as Fibre, Alimenti.KC as KiloCalorie FROM Alimenti ORDER BY Alimenti.Descrizione"),
        // report 12
        QStringLiteral("SELECT Patologie.Descrizione, Patologie.Cura FROM Patologie ORDER BY Patologie.Descrizione"),
        // report 13
        QStringLiteral("SELECT Pagamenti.Operazione, Pagamenti.Data, Pagamenti.Importo, Pagamenti.Note, anagraficaclienti.NominativoDocumenti as Cliente, anagraficaclienti.Via as ClienteIndirizzo, anagraficaclienti.Citta as ClienteCitta, anagraficaclienti.Codfiscale as ClienteCodiceFiscale, anagraficaclienti.Numero_civico as ClienteNumeroCivico, anagraficaclienti.Nato_a as ClienteNato_A, anagraficaclienti.Fax as ClienteFax, anagraficaclienti.Cell as ClienteCellulare, anagraficaclienti.Provincia as ClienteProvincia, anagraficaclienti.Tessera as ClienteTessera, ModPagamento.Descrizione AS ModalitaPagamento, Stagione.Descrizione AS Stagione, GruppoSportivo.Descrizione AS GruppoSportivo FROM (Pagamenti LEFT JOIN ((anagraficaclienti LEFT JOIN GruppoSportivo ON anagraficaclienti.GruppoSportivo_ID = GruppoSportivo.ID) LEFT JOIN Stagione ON anagraficaclienti.Stagione_ID = Stagione.ID) ON Pagamenti.Cliente_ID = anagraficaclienti.ID) LEFT JOIN ModPagamento ON Pagamenti.ModPagamento_Id = ModPagamento.id Where anagraficaclienti.Annullato = false ORDER BY Pagamenti.Data"),
        // report 14
        QStringLiteral("SELECT ModPagamento.Descrizione AS ModalitaPagamento, Scadenze.DataScadenza, Scadenze.Operazione, Scadenze.DataPagamento, Scadenze.Importo, Scadenze.Beneficiario FROM Scadenze LEFT JOIN ModPagamento ON Scadenze.ModPagamento_Id = ModPagamento.id ORDER BY Scadenze.DataScadenza"),
        // report 15
        QStringLiteral("SELECT anagraficaclienti.NominativoDocumenti as Cliente, anagraficaclienti.Citta, anagraficaclienti.Tel AS Telefono, anagraficaclienti.Cell AS Cellulare, anagraficaclienti.Sesso, anagraficaclienti.Tessera, Stagione.Descrizione AS Stagione, GruppoSportivo.Descrizione AS GruppoSportivo, anagraficaclienti.DataScadenzaAbbonamento AS ScadenzaIscrizione, anagraficaclienti.Note, anagraficaclienti.ScadenzaPagamento AS ScadenzaAbbonamento, anagraficaclienti.Omaggi, anagraficaclienti.Certificato_med, anagraficaclienti.Scadenza_cert_medico, orari.Specialita, orari.Giorno, orari.Corso, ClienteOrari.OrarioInizio, ClienteOrari.OrarioFine, TipoPagamenti.Descrizione as TipoAbbonamento FROM ((ClienteOrari LEFT JOIN orari ON ClienteOrari.Orario_ID = orari.Id) RIGHT JOIN ((anagraficaclienti LEFT JOIN GruppoSportivo ON anagraficaclienti.GruppoSportivo_ID = GruppoSportivo.ID) LEFT JOIN Stagione ON anagraficaclienti.Stagione_ID = Stagione.ID) ON ClienteOrari.Cliente_ID = anagraficaclienti.ID) LEFT JOIN TipoPagamenti ON anagraficaclienti.TipoPagamento_ID = TipoPagamenti.Id WHERE (((anagraficaclienti.Annullato)=False)) ORDER BY anagraficaclienti.Cognome"),
        // report 16
        QStringLiteral("SELECT anagraficaclienti.NominativoDocumenti, anagraficaclienti.Via, anagraficaclienti.Cap, anagraficaclienti.Citta, anagraficaclienti.Codfiscale, anagraficaclienti.Numero_civico, anagraficaclienti.Tel, anagraficaclienti.Fax, anagraficaclienti.Cell, anagraficaclienti.Provincia, anagraficaclienti.E_mail, anagraficaclienti.Sesso FROM anagraficaclienti WHERE Id = 1"),
        // report 17
        QStringLiteral("SELECT anagraficapersonale.Cognome, anagraficapersonale.Nome, anagraficapersonale.Via, anagraficapersonale.Cap, anagraficapersonale.Citta, anagraficapersonale.Codfiscale, anagraficapersonale.Numero_civico, anagraficapersonale.Tel, anagraficapersonale.Fax, anagraficapersonale.Cell, anagraficapersonale.E_mail, anagraficapersonale.Provincia FROM anagraficapersonale WHERE Id = 1"),
        // report 18
        QStringLiteral("SELECT anagraficaclienti.ID, Pagamenti.Data, anagraficaclienti.NominativoDocumenti as Cliente, anagraficaclienti.Tessera FROM Pagamenti INNER JOIN anagraficaclienti ON Pagamenti.Cliente_ID = anagraficaclienti.ID ORDER BY anagraficaclienti.ID"),
        // report 19
        QStringLiteral("SELECT Occasionali.Cognome, Occasionali.Nome, Occasionali.Scadenza_cert_medico, Occasionali.DataInserimento, Occasionali.Progressivo, Occasionali.DataInizio, Occasionali.Note, Stagione.Descrizione AS Stagione FROM Occasionali LEFT JOIN Stagione ON Occasionali.Stagione_ID = Stagione.ID  ORDER BY Occasionali.Cognome, Occasionali.Nome"),
        // report 20
        QStringLiteral("SELECT Calendario.Id, Calendario.DataInizio,  Calendario.DataFine, Calendario.Note, Calendario.Personale, Calendario.Cliente, Calendario.DurataOre as NumeroOre, Calendario.Specialita FROM Calendario ORDER BY Calendario.DataInizio, Calendario.Personale"),
        // report 21
        QStringLiteral("SELECT Pagamenti.Operazione, Pagamenti.Data, Pagamenti.Importo, Pagamenti.Note, anagraficaclienti.Quietanza_Cognome & ' ' & anagraficaclienti.Quietanza_Nome AS Cliente, anagraficaclienti.Quietanza_Indirizzo AS ClienteIndirizzo, anagraficaclienti.Quietanza_Residente AS ClienteCitta, anagraficaclienti.Quietanza_CodiceFiscale AS ClienteCodiceFiscale, anagraficaclienti.Quietanza_Residente_Numero_civico AS ClienteNumeroCivico, anagraficaclienti.Quietanza_Nato_a AS ClienteNato_A, anagraficaclienti.Quietanza_Residente_Prov AS ClienteProvincia, Stagione.Descrizione AS Stagione, GruppoSportivo.Descrizione AS GruppoSportivo, anagraficaclienti.Quietanza_Datanascita AS ClienteDataNascita, anagraficaclienti.Quietanza_Sesso as ClienteSesso,  anagraficaclienti.NominativoDocumenti AS MinoreNominativo, anagraficaclienti.Nato_a AS MinoreNato_A, anagraficaclienti.Datanascita AS MinoreDataNascita,anagraficaclienti.Citta as MinoreCittaResidenza , anagraficaclienti.Via as MinoreIndirizzo , anagraficaclienti.Numero_civico as MinoreCivico,  anagraficaclienti.sesso as MinoreSesso FROM (Pagamenti LEFT JOIN ((anagraficaclienti LEFT JOIN GruppoSportivo ON anagraficaclienti.GruppoSportivo_ID = GruppoSportivo.ID) LEFT JOIN Stagione ON anagraficaclienti.Stagione_ID = Stagione.ID) ON Pagamenti.Cliente_ID = anagraficaclienti.ID) LEFT JOIN ModPagamento ON Pagamenti.ModPagamento_Id = ModPagamento.id WHERE anagraficaclienti.ID =1 and Pagamenti.Data>=#01/01/2024# and Pagamenti.Data<=#12/31/2024 23.59.59# ORDER BY Pagamenti.Data"),
        // report 22
        QStringLiteral("SELECT Pagamenti.Operazione, Pagamenti.Data, Pagamenti.Importo, Pagamenti.Note, anagraficaclienti.NominativoDocumenti AS Cliente,anagraficaclienti.Via AS ClienteIndirizzo, anagraficaclienti.Citta AS ClienteCitta, anagraficaclienti.Codfiscale AS ClienteCodiceFiscale, anagraficaclienti.Numero_civico AS ClienteNumeroCivico, anagraficaclienti.Nato_a AS ClienteNato_A, anagraficaclienti.Provincia AS ClienteProvincia, Stagione.Descrizione AS Stagione, GruppoSportivo.Descrizione AS GruppoSportivo, anagraficaclienti.Datanascita AS ClienteDataNascita, anagraficaclienti.Sesso as ClienteSesso FROM (Pagamenti LEFT JOIN ((anagraficaclienti LEFT JOIN GruppoSportivo ON anagraficaclienti.GruppoSportivo_ID = GruppoSportivo.ID) LEFT JOIN Stagione ON anagraficaclienti.Stagione_ID = Stagione.ID) ON Pagamenti.Cliente_ID = anagraficaclienti.ID) LEFT JOIN ModPagamento ON Pagamenti.ModPagamento_Id = ModPagamento.id WHERE anagraficaclienti.ID =1 and Pagamenti.Data>=#01/01/2024# and Pagamenti.Data<=#12/31/2024 23.59.59# ORDER BY Pagamenti.Data"),
        // report 23
        QStringLiteral("SELECT anagraficaclienti.NominativoDocumenti, anagraficaclienti.Via AS Indirizzo, anagraficaclienti.Tel, anagraficaclienti.Cell, anagraficaclienti.Citta AS ClienteComune, anagraficaclienti.Provincia, anagraficaclienti.Cap, anagraficaclienti.Codfiscale, anagraficaclienti.Numero_civico, TempAvvisi.Testo FROM (TempAvvisiClienti INNER JOIN anagraficaclienti ON TempAvvisiClienti.Cliente_ID = anagraficaclienti.Id) INNER JOIN TempAvvisi ON TempAvvisiClienti.NomeComputer = TempAvvisi.NomeComputer ORDER BY anagraficaclienti.NominativoDocumenti"),
    };
}

inline QStringList corpusStatements() {
    return {
        QStringLiteral("SELECT @@IDENTITY as ID;"),
        QStringLiteral("SELECT max(Progressivo) as Prog FROM Occasionali"),
        QStringLiteral("UPDATE Calendario SET Storico = true where Concluso=true and DataInizio < #01/01/2025#"),
        QStringLiteral("UPDATE Calendario SET Storico = false where DataInizio >= #01/01/2025#"),
        QStringLiteral("delete * from TempAvvisi where NomeComputer ='PC1'"),
        QStringLiteral("delete * from TempAvvisiClienti where NomeComputer ='PC1'"),
        QStringLiteral("select * from TempStampa where NomeComputer ='PC1'"),
        QStringLiteral("select * from Griglie where NomeComputer ='PC1'"),
        QStringLiteral("select * from TempAvvisiClienti where NomeComputer ='PC1'"),
        QStringLiteral("select top 1 * from TempAvvisi where NomeComputer ='PC1'"),
        QStringLiteral("SELECT *, Cognome + \"  \" + Nome as Nominativo FROM anagraficaclienti order by NominativoVisualizzato"),
        QStringLiteral("select * from orari order by Specialita, Giorno, OrarioInizio"),
        QStringLiteral("select *,Cognome + \"  \" + Nome as Nominativo from anagraficapersonale order by Cognome,Nome"),
        QStringLiteral("select * from Comuni"),
        QStringLiteral("select * from Ditta"),
        QStringLiteral("SELECT * from opzioni"),
        QStringLiteral("select * from modPagamento"),
        QStringLiteral("select * from Scadenze order by DataScadenza Desc"),
        QStringLiteral("select * from Esercizi order by Descrizione"),
        QStringLiteral("select top 1 * from ClienteEsercizi"),
        QStringLiteral("select * from Alimenti order by Descrizione"),
        QStringLiteral("select * from Patologie order by Descrizione"),
        QStringLiteral("select * from Pasti order by Ora"),
        QStringLiteral("select * from GruppiMuscolari order by Descrizione"),
        QStringLiteral("select * from Pagamenti order by Data Desc"),
        QStringLiteral("SELECT NominativoDocumenti,NominativoVisualizzato, ID\r\nFROM anagraficaclienti order by Cognome,Nome;"),
        QStringLiteral("select * from GruppoSportivo order by Descrizione"),
        QStringLiteral("select * from Personalizzazioni"),
        QStringLiteral("select * from Stagione order by Descrizione"),
        QStringLiteral("select * from TipoPagamenti order by Descrizione"),
        QStringLiteral("select * from OperazionePagamenti order by Descrizione"),
        QStringLiteral("select * from TempStampa"),
        QStringLiteral("select * from Griglie"),
        QStringLiteral("select * from TipoEsportazioniCrystalReport where Attivo=true Order by Descrizione"),
        QStringLiteral("select * from Occasionali order by Cognome,Nome"),
        QStringLiteral("SELECT * from Calendario where Storico=false order by DataInizio desc,Personale"),
        QStringLiteral("SELECT top 1 id_cap, Frazione, NumeroCivico, Indirizzi.Cap, Comune_ID, Indirizzo, Comuni.Comune FROM Indirizzi INNER JOIN Comuni ON Indirizzi.Comune_ID = Comuni.ID order by Frazione, Indirizzo"),
        QStringLiteral("select * from Avvisi Order by Descrizione"),
        QStringLiteral("select top 1 * from TempAvvisi "),
        QStringLiteral("select top 1 * from TempAvvisiClienti"),
        QStringLiteral("SELECT * from anagraficaclienti where Id = 1"),
        QStringLiteral("select * from ClienteEsercizi where Cliente_ID = 1"),
        QStringLiteral("SELECT orari.Specialita, orari.Giorno,orari.corso, anagraficapersonale.Cognome AS Istruttore, ClienteOrari.ID, ClienteOrari.Cliente_ID, ClienteOrari.Orario_ID, ClienteOrari.OrarioInizio, ClienteOrari.OrarioFine FROM (ClienteOrari INNER JOIN orari ON ClienteOrari.Orario_ID = orari.Id) LEFT JOIN anagraficapersonale ON orari.Istruttore_ID = anagraficapersonale.ID where ClienteOrari.Cliente_ID = 1 Order by orari.Giorno, ClienteOrari.OrarioInizio "),
        QStringLiteral("SELECT Pasti.Descrizione, Alimenti.Descrizione, ClienteDieta.* FROM (ClienteDieta LEFT JOIN Pasti ON ClienteDieta.ID_pasto = Pasti.ID) INNER JOIN Alimenti ON ClienteDieta.ID_Alimento = Alimenti.ID  where Cliente_ID = 1 ORDER BY Pasti.Ora, Alimenti.Descrizione"),
        QStringLiteral("SELECT Patologie.Descrizione, Patologie.Cura, ClientePatologia.* FROM ClientePatologia INNER JOIN Patologie ON ClientePatologia.Patologia_ID = Patologie.ID where Cliente_ID = 1 ORDER BY Patologie.Descrizione"),
        QStringLiteral("SELECT top 1 orari.Specialita, orari.Giorno,orari.corso, anagraficapersonale.Cognome AS Istruttore, ClienteOrari.ID, ClienteOrari.Cliente_ID, ClienteOrari.Orario_ID, ClienteOrari.OrarioInizio, ClienteOrari.OrarioFine FROM (ClienteOrari INNER JOIN orari ON ClienteOrari.Orario_ID = orari.Id) LEFT JOIN anagraficapersonale ON orari.Istruttore_ID = anagraficapersonale.ID where ClienteOrari.Cliente_ID = 1 Order by orari.Giorno, ClienteOrari.OrarioInizio"),
        QStringLiteral("delete * from ClienteOrari where Cliente_ID = 1"),
        QStringLiteral("delete * from Scadenze where Cliente_ID = 1"),
        QStringLiteral("delete * from ClienteEsercizi where Cliente_ID = 1"),
        QStringLiteral("delete * from ClienteDieta where Cliente_ID = 1"),
        QStringLiteral("delete * from ClientePatologia where Cliente_ID = 1"),
        QStringLiteral("delete * from Pagamenti where Cliente_ID = 1"),
        QStringLiteral("SELECT Indirizzi.CAP,Indirizzi.Frazione FROM Indirizzi INNER JOIN Comuni ON Indirizzi.Comune_ID = Comuni.ID where Comuni.Comune = 'Sant''Angelo'"),
        QStringLiteral("SELECT id_cap, Frazione, NumeroCivico, Indirizzi.Cap, Comune_ID, Indirizzo, Comuni.Comune FROM Indirizzi INNER JOIN Comuni ON Indirizzi.Comune_ID = Comuni.ID where Comune = 'Milano' order by Frazione, Indirizzo"),
        QStringLiteral("UPDATE Calendario INNER JOIN anagraficaclienti ON calendario.Cliente_Id = anagraficaclienti.Id SET calendario.Cliente = [anagraficaclienti].[NominativoDocumenti] where anagraficaclienti.Id=1"),
        QStringLiteral("SELECT Codfiscale FROM anagraficaclienti where CodFiscale = 'RSSMRA80A01F205X' and Id <> 1"),
        QStringLiteral("SELECT Alimenti.KC,ClienteDieta.QTA_GRAMMI FROM ClienteDieta INNER JOIN Alimenti ON ClienteDieta.ID_Alimento = Alimenti.ID where ClienteDieta.Cliente_ID = 1"),
        QStringLiteral("delete * from ClienteDieta where ID = 1"),
        QStringLiteral("delete * from ClientePatologia where ID = 1"),
        QStringLiteral("delete * from ClienteOrari where ID = 1"),
        QStringLiteral("Select id from Anagraficaclienti where Cognome like 'Ro%'"),
        QStringLiteral("Select Id from anagraficapersonale where Cognome ='Bianchi'"),
        QStringLiteral("Select * From Calendario where Concluso=false and DataInizio>=#3/7/2025# and DataInizio <=#3/7/2025 23.59.59#"),
        QStringLiteral("select * from Calendario WHERE DataInizio >= #1/1/2024# AND DataInizio <= #12/31/2024 23.59.59# order by DataInizio desc"),
        QStringLiteral("SELECT distinct anagraficaclienti.NominativoVisualizzato, anagraficaclienti.Datanascita,anagraficaclienti.Id FROM anagraficaclienti INNER JOIN Pagamenti ON Pagamenti.Cliente_ID = anagraficaclienti.Id WHERE anagraficaclienti.Annullato=False and anagraficaclienti.ModPagamento_Id=1 and anagraficaclienti.Istruttore_ID=1 and anagraficaclienti.GruppoSportivo_ID=1 and anagraficaclienti.Stagione_ID=1 and anagraficaclienti.TipoPagamento_ID=1 and anagraficaclienti.Sesso ='M' and anagraficaclienti.Note like 'l''%' and Pagamenti.Data >=#1/1/2024# and Pagamenti.Data <=#12/31/2024 23.59.59#"),
        QStringLiteral("SELECT distinct anagraficaclienti.NominativoVisualizzato, anagraficaclienti.Datanascita,anagraficaclienti.Id FROM anagraficaclienti WHERE anagraficaclienti.Annullato=False"),
        QStringLiteral("insert into TempAvvisiClienti (NomeComputer, Cliente_ID) VALUES('PC1',1)"),
        QStringLiteral("SELECT ditta.RagSoc, ditta.Via, ditta.Numero, ditta.Comune, ditta.Cap, ditta.Tel, ditta.Fax, ditta.PIva, ditta.CodFisc, ditta.Provincia, ditta.Email, ditta.Cell, ditta.Internet, ditta.ResponsabileDati, ditta.Logo, ditta.Pec, ditta.AltriDati, ditta.CodiceSdi FROM ditta"),
        QStringLiteral("SELECT * FROM TempStampa where NomeComputer = 'PC1'"),
        QStringLiteral("select * from QueryCreazioneStampe order by Descrizione"),
        QStringLiteral("select * from DatiReportTestata order by NomeReport"),
        QStringLiteral("select * from DatiReportRighe order by Ordinamento"),
        QStringLiteral("delete * from DatiReportRighe where TestataReport_ID = 1"),
        QStringLiteral("UPDATE Calendario INNER JOIN anagraficapersonale ON calendario.Personale_Id = anagraficapersonale.Id SET calendario.Personale = [anagraficapersonale].[Cognome] & ' ' & [anagraficapersonale].[Nome] where anagraficapersonale.Id=1"),
        QStringLiteral("SELECT * FROM Occasionali where Cognome = 'Verdi'"),
    };
}

// The wrappers of the report viewer, the filter dialog and the export tool (Parts 8.2, 8.3,
// 9.1) around a record source.
inline QStringList wrappedQueries(const QString& query) {
    return {
        QStringLiteral("Select * from (") + query + QStringLiteral(")"),
        QStringLiteral("SELECT TOP 1 * FROM (") + query + QStringLiteral(")"),
    };
}

} // namespace translator_test
