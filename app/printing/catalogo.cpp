#include "app/printing/catalogo.h"

#include "common/text.h"

// Each query exactly as the layouts expect it; the pieces are joined with nothing between
// them, and a key or a year follows its piece directly (" WHERE anagraficaclienti.ID =" + "42").
namespace printing {
namespace {

const char* const kR1_1 =
    "SELECT anagraficaclienti.NominativoDocumenti, anagraficaclienti.Via, "
    "anagraficaclienti.Citta, anagraficaclienti.Codfiscale, "
    "anagraficaclienti.Numero_civico, anagraficaclienti.Nato_a, anagraficaclienti.Fax, "
    "anagraficaclienti.Cell, anagraficaclienti.Provincia, anagraficaclienti.Tessera, "
    "ClienteEsercizi.Note, ClienteEsercizi.Serie, ClienteEsercizi.Pausa, "
    "ClienteEsercizi.Quantita, ClienteEsercizi.EsercizioDescrizione, "
    "Esercizi.Immagine, Esercizi.ModalitaUso, GruppiMuscolari.Descrizione";
const char* const kR1_2 =
    " FROM ((ClienteEsercizi LEFT JOIN Esercizi ON ClienteEsercizi.Esercizio_ID = "
    "Esercizi.ID) RIGHT JOIN anagraficaclienti ON ClienteEsercizi.Cliente_ID = "
    "anagraficaclienti.ID) LEFT JOIN GruppiMuscolari ON Esercizi.GruppoMuscolare_ID = "
    "GruppiMuscolari.Id WHERE anagraficaclienti.ID =";
const char* const kR1_3 = " ORDER BY GruppiMuscolari.Descrizione";
const char* const kR2_1 =
    "SELECT anagraficaclienti.NominativoDocumenti, anagraficaclienti.Via, "
    "anagraficaclienti.Citta, anagraficaclienti.Codfiscale, "
    "anagraficaclienti.Numero_civico, anagraficaclienti.Nato_a, anagraficaclienti.Fax, "
    "anagraficaclienti.Cell, anagraficaclienti.Provincia, anagraficaclienti.Immagine, "
    "anagraficaclienti.Tessera, orari.Giorno, ClienteOrari.OrarioInizio, "
    "orari.Specialita, ClienteOrari.OrarioFine FROM (ClienteOrari RIGHT JOIN "
    "anagraficaclienti ON ClienteOrari.Cliente_ID = anagraficaclienti.ID) LEFT JOIN "
    "orari ON ClienteOrari.Orario_ID = orari.Id";
const char* const kR2_2 = " WHERE anagraficaclienti.ID =";
const char* const kR2_3 = " ORDER BY orari.Giorno, ClienteOrari.OrarioInizio, orari.Specialita";
const char* const kR3_1 =
    "SELECT anagraficaclienti.NominativoDocumenti, anagraficaclienti.Via, "
    "anagraficaclienti.Citta, anagraficaclienti.Codfiscale, "
    "anagraficaclienti.Numero_civico, anagraficaclienti.Nato_a, anagraficaclienti.Fax, "
    "anagraficaclienti.Cell, anagraficaclienti.Provincia, anagraficaclienti.Immagine, "
    "anagraficaclienti.Tessera, ClienteDieta.QTA_GRAMMI, Alimenti.[E%], Alimenti.ACQ, "
    "Alimenti.PRO, Alimenti.GRA, Alimenti.CAR, Alimenti.FIB, Alimenti.KC, "
    "Pasti.Descrizione, Pasti.Ora, Alimenti.Descrizione FROM ((ClienteDieta RIGHT JOIN "
    "anagraficaclienti ON ClienteDieta.Cliente_ID = anagraficaclienti.ID) LEFT JOIN "
    "Alimenti ON ClienteDieta.ID_Alimento = Alimenti.ID) LEFT JOIN Pasti ON "
    "ClienteDieta.ID_pasto = Pasti.ID";
const char* const kR3_2 = " WHERE anagraficaclienti.ID =";
const char* const kR3_3 = " ORDER BY Pasti.Ora, Alimenti.Descrizione";
const char* const kR4_1 =
    "SELECT Pagamenti.Operazione, Pagamenti.Data, Pagamenti.Importo, Pagamenti.Note, "
    "anagraficaclienti.NominativoDocumenti as Cliente, anagraficaclienti.Via as "
    "ClienteIndirizzo, anagraficaclienti.Citta as ClienteCitta, "
    "anagraficaclienti.Codfiscale as ClienteCodiceFiscale, "
    "anagraficaclienti.Numero_civico as ClienteNumeroCivico, anagraficaclienti.Nato_a "
    "as ClienteNato_A, anagraficaclienti.Fax as ClienteFax, anagraficaclienti.Cell as "
    "ClienteCellulare, anagraficaclienti.Provincia as ClienteProvincia, "
    "anagraficaclienti.Tessera as ClienteTessera, ModPagamento.Descrizione AS "
    "ModalitaPagamento, Stagione.Descrizione AS Stagione, GruppoSportivo.Descrizione "
    "AS GruppoSportivo FROM (Pagamenti LEFT JOIN ((anagraficaclienti LEFT JOIN "
    "GruppoSportivo ON anagraficaclienti.GruppoSportivo_ID = GruppoSportivo.ID) LEFT "
    "JOIN Stagione ON anagraficaclienti.Stagione_ID = Stagione.ID) ON "
    "Pagamenti.Cliente_ID = anagraficaclienti.ID) LEFT JOIN ModPagamento ON "
    "Pagamenti.ModPagamento_Id = ModPagamento.id";
const char* const kR4_2 = " WHERE anagraficaclienti.ID =";
const char* const kR4_3 = " ORDER BY Pagamenti.Data";
const char* const kR5_1 =
    "SELECT anagraficaclienti.NominativoDocumenti, anagraficaclienti.Via, "
    "anagraficaclienti.Citta, anagraficaclienti.Codfiscale, "
    "anagraficaclienti.Numero_civico, anagraficaclienti.Nato_a, anagraficaclienti.Fax, "
    "anagraficaclienti.Cell, anagraficaclienti.Provincia, anagraficaclienti.Immagine, "
    "anagraficaclienti.Tessera, ClientePatologia.DataInizio, "
    "ClientePatologia.DataFine, ClientePatologia.Note, Patologie.Descrizione, "
    "Patologie.Cura FROM (ClientePatologia LEFT JOIN Patologie ON "
    "ClientePatologia.Patologia_ID = Patologie.ID) RIGHT JOIN anagraficaclienti ON "
    "ClientePatologia.Cliente_ID = anagraficaclienti.ID";
const char* const kR5_2 = " WHERE anagraficaclienti.ID =";
const char* const kR5_3 = " ORDER BY ClientePatologia.DataInizio";
const char* const kR6_1 =
    "SELECT anagraficaclienti.NominativoDocumenti, anagraficaclienti.Via, "
    "anagraficaclienti.Datanascita, anagraficaclienti.Cap, anagraficaclienti.Citta, "
    "anagraficaclienti.Codfiscale, anagraficaclienti.Scadenza_cert_medico, "
    "anagraficaclienti.Numero_civico, anagraficaclienti.Nato_a, anagraficaclienti.Tel, "
    "anagraficaclienti.Fax, anagraficaclienti.Cell, anagraficaclienti.E_mail, "
    "anagraficaclienti.Provincia, anagraficaclienti.Sesso, anagraficaclienti.Note, "
    "anagraficaclienti.Tessera, anagraficaclienti.DataScadenzaAbbonamento as "
    "ScadenzaIscrizione, ModPagamento.Descrizione AS ModalitaPagamento, "
    "GruppoSportivo.Descrizione AS GruppoSportivo, Stagione.Descrizione AS Stagione, "
    "anagraficapersonale.Cognome & ' ' & anagraficapersonale.Nome AS Istruttore, "
    "TipoPagamenti.Descrizione as TipoAbbonamento, anagraficaclienti.ScadenzaPagamento "
    "as ScadenzaAbbonamento";
const char* const kR6_2 =
    " FROM ((((anagraficaclienti LEFT JOIN ModPagamento ON "
    "anagraficaclienti.ModPagamento_Id = ModPagamento.id) LEFT JOIN GruppoSportivo ON "
    "anagraficaclienti.GruppoSportivo_ID = GruppoSportivo.ID) LEFT JOIN Stagione ON "
    "anagraficaclienti.Stagione_ID = Stagione.ID) LEFT JOIN anagraficapersonale ON "
    "anagraficaclienti.Istruttore_ID = anagraficapersonale.ID) LEFT JOIN TipoPagamenti "
    "ON anagraficaclienti.TipoPagamento_ID = TipoPagamenti.Id";
const char* const kR6_3 = " WHERE anagraficaclienti.Annullato = false and anagraficaclienti.ID =";
const char* const kR7_1 =
    "SELECT anagraficaclienti.NominativoDocumenti as Cliente, anagraficaclienti.Citta, "
    "anagraficaclienti.Tel AS Telefono, anagraficaclienti.Cell AS Cellulare, "
    "anagraficaclienti.Sesso, anagraficaclienti.Tessera, ModPagamento.Descrizione AS "
    "ModalitaPagamento, anagraficapersonale.Cognome & ' ' & anagraficapersonale.Nome "
    "AS Istruttore, Stagione.Descrizione AS Stagione, GruppoSportivo.Descrizione AS "
    "GruppoSportivo, anagraficaclienti.DataScadenzaAbbonamento AS ScadenzaIscrizione, "
    "anagraficaclienti.Note, TipoPagamenti.Descrizione AS TipoAbbonamento, "
    "anagraficaclienti.ScadenzaPagamento AS ScadenzaAbbonamento, "
    "anagraficaclienti.Omaggi, anagraficaclienti.Certificato_med, "
    "anagraficaclienti.Scadenza_cert_medico";
const char* const kR7_2 =
    " FROM ((((anagraficaclienti LEFT JOIN ModPagamento ON "
    "anagraficaclienti.ModPagamento_Id = ModPagamento.id) LEFT JOIN "
    "anagraficapersonale ON anagraficaclienti.Istruttore_ID = anagraficapersonale.ID) "
    "LEFT JOIN GruppoSportivo ON anagraficaclienti.GruppoSportivo_ID = "
    "GruppoSportivo.ID) LEFT JOIN Stagione ON anagraficaclienti.Stagione_ID = "
    "Stagione.ID) LEFT JOIN TipoPagamenti ON anagraficaclienti.TipoPagamento_ID = "
    "TipoPagamenti.Id WHERE (((anagraficaclienti.Annullato)=False)) ORDER BY "
    "anagraficaclienti.NominativoDocumenti";
const char* const kR8_1 =
    "SELECT anagraficapersonale.Cognome, anagraficapersonale.Nome, "
    "anagraficapersonale.Datanascita, anagraficapersonale.Via, "
    "anagraficapersonale.Cap, anagraficapersonale.Citta, "
    "anagraficapersonale.Codfiscale, anagraficapersonale.Numero_civico, "
    "anagraficapersonale.Nato_a, anagraficapersonale.Tel, anagraficapersonale.Fax, "
    "anagraficapersonale.Cell, anagraficapersonale.E_mail, "
    "anagraficapersonale.Provincia, anagraficapersonale.Mansione, "
    "anagraficapersonale.Note, anagraficapersonale.Tessera FROM anagraficapersonale "
    "ORDER BY anagraficapersonale.Cognome, anagraficapersonale.Nome";
const char* const kR9_1 =
    "SELECT anagraficapersonale.Cognome AS Istruttore, orari.Specialita, orari.Giorno, "
    "orari.OrarioInizio, orari.OrarioFine, orari.Corso FROM orari LEFT JOIN "
    "anagraficapersonale ON orari.Istruttore_ID = anagraficapersonale.ID ORDER BY "
    "orari.Giorno, orari.OrarioInizio";
const char* const kR11_1 =
    "SELECT Alimenti.Descrizione, Alimenti.[E%] as PercentualeEdibile, Alimenti.ACQ as "
    "Acqua, Alimenti.PRO as Proteine, Alimenti.GRA as Grassi, Alimenti.CAR as "
    "Carboidrati, Alimenti.FIB as Fibre, Alimenti.KC as KiloCalorie FROM Alimenti "
    "ORDER BY Alimenti.Descrizione";
const char* const kR12_1 = "SELECT Patologie.Descrizione, Patologie.Cura FROM Patologie ORDER BY "
                           "Patologie.Descrizione";
const char* const kR14_1 =
    "SELECT ModPagamento.Descrizione AS ModalitaPagamento, Scadenze.DataScadenza, "
    "Scadenze.Operazione, Scadenze.DataPagamento, Scadenze.Importo, "
    "Scadenze.Beneficiario FROM Scadenze LEFT JOIN ModPagamento ON "
    "Scadenze.ModPagamento_Id = ModPagamento.id";
const char* const kR14_2 = " ORDER BY Scadenze.DataScadenza";
const char* const kR15_1 =
    "SELECT anagraficaclienti.NominativoDocumenti as Cliente, anagraficaclienti.Citta, "
    "anagraficaclienti.Tel AS Telefono, anagraficaclienti.Cell AS Cellulare, "
    "anagraficaclienti.Sesso, anagraficaclienti.Tessera, Stagione.Descrizione AS "
    "Stagione, GruppoSportivo.Descrizione AS GruppoSportivo, "
    "anagraficaclienti.DataScadenzaAbbonamento AS ScadenzaIscrizione, "
    "anagraficaclienti.Note, anagraficaclienti.ScadenzaPagamento AS "
    "ScadenzaAbbonamento, anagraficaclienti.Omaggi, anagraficaclienti.Certificato_med, "
    "anagraficaclienti.Scadenza_cert_medico, orari.Specialita, orari.Giorno, "
    "orari.Corso, ClienteOrari.OrarioInizio, ClienteOrari.OrarioFine, "
    "TipoPagamenti.Descrizione as TipoAbbonamento";
const char* const kR15_2 =
    " FROM ((ClienteOrari LEFT JOIN orari ON ClienteOrari.Orario_ID = orari.Id) RIGHT "
    "JOIN ((anagraficaclienti LEFT JOIN GruppoSportivo ON "
    "anagraficaclienti.GruppoSportivo_ID = GruppoSportivo.ID) LEFT JOIN Stagione ON "
    "anagraficaclienti.Stagione_ID = Stagione.ID) ON ClienteOrari.Cliente_ID = "
    "anagraficaclienti.ID) LEFT JOIN TipoPagamenti ON "
    "anagraficaclienti.TipoPagamento_ID = TipoPagamenti.Id";
const char* const kR15_3 =
    " WHERE (((anagraficaclienti.Annullato)=False)) ORDER BY anagraficaclienti.Cognome";
const char* const kR16_1 =
    "SELECT anagraficaclienti.NominativoDocumenti, anagraficaclienti.Via, "
    "anagraficaclienti.Cap, anagraficaclienti.Citta, anagraficaclienti.Codfiscale, "
    "anagraficaclienti.Numero_civico, anagraficaclienti.Tel, anagraficaclienti.Fax, "
    "anagraficaclienti.Cell, anagraficaclienti.Provincia, anagraficaclienti.E_mail, "
    "anagraficaclienti.Sesso";
const char* const kR16_2 = " FROM anagraficaclienti WHERE Id = ";
const char* const kR17_1 =
    "SELECT anagraficapersonale.Cognome, anagraficapersonale.Nome, "
    "anagraficapersonale.Via, anagraficapersonale.Cap, anagraficapersonale.Citta, "
    "anagraficapersonale.Codfiscale, anagraficapersonale.Numero_civico, "
    "anagraficapersonale.Tel, anagraficapersonale.Fax, anagraficapersonale.Cell, "
    "anagraficapersonale.E_mail, anagraficapersonale.Provincia";
const char* const kR17_2 = " FROM anagraficapersonale WHERE Id = ";
const char* const kR18_1 =
    "SELECT anagraficaclienti.ID, Pagamenti.Data, "
    "anagraficaclienti.NominativoDocumenti as Cliente, anagraficaclienti.Tessera FROM "
    "Pagamenti INNER JOIN anagraficaclienti ON Pagamenti.Cliente_ID = "
    "anagraficaclienti.ID";
const char* const kR18_2 = " ORDER BY anagraficaclienti.ID";
const char* const kR19_1 =
    "SELECT Occasionali.Cognome, Occasionali.Nome, Occasionali.Scadenza_cert_medico, "
    "Occasionali.DataInserimento, Occasionali.Progressivo, Occasionali.DataInizio, "
    "Occasionali.Note, Stagione.Descrizione AS Stagione FROM Occasionali LEFT JOIN "
    "Stagione ON Occasionali.Stagione_ID = Stagione.ID";
const char* const kR19_2 = "  ORDER BY Occasionali.Cognome, Occasionali.Nome";
const char* const kR20_1 =
    "SELECT Calendario.Id, Calendario.DataInizio,  Calendario.DataFine, "
    "Calendario.Note, Calendario.Personale, Calendario.Cliente, Calendario.DurataOre "
    "as NumeroOre, Calendario.Specialita FROM Calendario ORDER BY "
    "Calendario.DataInizio, Calendario.Personale";
// Receipts also read the season's dates: a receipt names the season only when every payment
// of its year falls within them.
const char* const kR21_1 =
    "SELECT Pagamenti.Operazione, Pagamenti.Data, Pagamenti.Importo, Pagamenti.Note, "
    "anagraficaclienti.Quietanza_Cognome & ' ' & anagraficaclienti.Quietanza_Nome AS "
    "Cliente, anagraficaclienti.Quietanza_Indirizzo AS ClienteIndirizzo, "
    "anagraficaclienti.Quietanza_Residente AS ClienteCitta, "
    "anagraficaclienti.Quietanza_CodiceFiscale AS ClienteCodiceFiscale, "
    "anagraficaclienti.Quietanza_Residente_Numero_civico AS ClienteNumeroCivico, "
    "anagraficaclienti.Quietanza_Nato_a AS ClienteNato_A, "
    "anagraficaclienti.Quietanza_Residente_Prov AS ClienteProvincia, "
    "Stagione.Descrizione AS Stagione, GruppoSportivo.Descrizione AS GruppoSportivo, "
    "anagraficaclienti.Quietanza_Datanascita AS ClienteDataNascita, "
    "Stagione.DallaData AS StagioneDal, Stagione.AllaData AS StagioneAl, "
    "anagraficaclienti.Quietanza_Sesso as ClienteSesso,  "
    "anagraficaclienti.NominativoDocumenti AS MinoreNominativo, "
    "anagraficaclienti.Nato_a AS MinoreNato_A, anagraficaclienti.Datanascita AS "
    "MinoreDataNascita,anagraficaclienti.Citta as MinoreCittaResidenza , "
    "anagraficaclienti.Via as MinoreIndirizzo , anagraficaclienti.Numero_civico as "
    "MinoreCivico,  anagraficaclienti.sesso as MinoreSesso FROM (Pagamenti LEFT JOIN "
    "((anagraficaclienti LEFT JOIN GruppoSportivo ON "
    "anagraficaclienti.GruppoSportivo_ID = GruppoSportivo.ID) LEFT JOIN Stagione ON "
    "anagraficaclienti.Stagione_ID = Stagione.ID) ON Pagamenti.Cliente_ID = "
    "anagraficaclienti.ID) LEFT JOIN ModPagamento ON Pagamenti.ModPagamento_Id = "
    "ModPagamento.id";
const char* const kR21_2 = " WHERE anagraficaclienti.ID =";
const char* const kR21_3 = " and Pagamenti.Data>=#01/01/";
const char* const kR21_4 = "# and Pagamenti.Data<=#12/31/";
const char* const kR21_5 = " 23.59.59#";
const char* const kR21_6 = " ORDER BY Pagamenti.Data";
const char* const kR23_1 =
    "SELECT anagraficaclienti.NominativoDocumenti, anagraficaclienti.Via AS Indirizzo, "
    "anagraficaclienti.Tel, anagraficaclienti.Cell, anagraficaclienti.Citta AS "
    "ClienteComune, anagraficaclienti.Provincia, anagraficaclienti.Cap, "
    "anagraficaclienti.Codfiscale, anagraficaclienti.Numero_civico, TempAvvisi.Testo "
    "FROM (TempAvvisiClienti INNER JOIN anagraficaclienti ON "
    "TempAvvisiClienti.Cliente_ID = anagraficaclienti.Id) INNER JOIN TempAvvisi ON "
    "TempAvvisiClienti.NomeComputer = TempAvvisi.NomeComputer";
// Only this computer's notice clients: two workstations printing notices at once must not
// get each other's.
const char* const kR23_Computer = " WHERE TempAvvisiClienti.NomeComputer = '";
const char* const kR23_2 = " ORDER BY anagraficaclienti.NominativoDocumenti";
const char* const kR10_NoImmagine =
    "SELECT Esercizi.Descrizione, Esercizi.ModalitaUso FROM Esercizi ORDER BY "
    "Esercizi.Descrizione";
const char* const kR10_ConImmagine =
    "SELECT Esercizi.Descrizione, Esercizi.ModalitaUso, Esercizi.Immagine FROM "
    "Esercizi ORDER BY Esercizi.Descrizione";
const char* const kR13_2 = " Where anagraficaclienti.Annullato = false ORDER BY Pagamenti.Data";
const char* const kR22_1 =
    "SELECT Pagamenti.Operazione, Pagamenti.Data, Pagamenti.Importo, Pagamenti.Note, "
    "anagraficaclienti.NominativoDocumenti AS Cliente,anagraficaclienti.Via AS "
    "ClienteIndirizzo, anagraficaclienti.Citta AS ClienteCitta, "
    "anagraficaclienti.Codfiscale AS ClienteCodiceFiscale, "
    "anagraficaclienti.Numero_civico AS ClienteNumeroCivico, anagraficaclienti.Nato_a "
    "AS ClienteNato_A, anagraficaclienti.Provincia AS ClienteProvincia, "
    "Stagione.Descrizione AS Stagione, GruppoSportivo.Descrizione AS GruppoSportivo, "
    "Stagione.DallaData AS StagioneDal, Stagione.AllaData AS StagioneAl, "
    "anagraficaclienti.Datanascita AS ClienteDataNascita, anagraficaclienti.Sesso as "
    "ClienteSesso FROM (Pagamenti LEFT JOIN ((anagraficaclienti LEFT JOIN "
    "GruppoSportivo ON anagraficaclienti.GruppoSportivo_ID = GruppoSportivo.ID) LEFT "
    "JOIN Stagione ON anagraficaclienti.Stagione_ID = Stagione.ID) ON "
    "Pagamenti.Cliente_ID = anagraficaclienti.ID) LEFT JOIN ModPagamento ON "
    "Pagamenti.ModPagamento_Id = ModPagamento.id";

QString L(const char* text) {
    return QString::fromLatin1(text);
}

struct File {
    const char* file;
    const char* landscape;
    bool filtro;
};

// Numbers 1 to 23; entries 1 and 10 depend on the exercise-picture option.
const File kFiles[] = {
    {"SchedaCliente.rpt", "SchedaClienteLan.rpt", false},
    {"OrariCliente.rpt", "OrariClienteLan.rpt", false},
    {"DietaCliente.rpt", "DietaClienteLan.rpt", false},
    {"PagamentiCliente.rpt", "PagamentiClienteLan.rpt", false},
    {"PatologieCliente.rpt", "PatologieClienteLan.rpt", false},
    {"GeneraleCliente.rpt", "GeneraleClienteLan.rpt", false},
    {"Clienti.rpt", "ClientiLan.rpt", true},
    {"Personale.rpt", "PersonaleLan.rpt", true},
    {"Orari.rpt", "OrariLan.rpt", true},
    {"EserciziConImmagine.rpt", "EserciziConImmagineLan.rpt", true},
    {"Alimenti.rpt", "AlimentiLan.rpt", true},
    {"Patologie.rpt", "PatologieLan.rpt", true},
    {"Pagamenti.rpt", "PagamentiLan.rpt", true},
    {"Scadenze.rpt", "ScadenzeLan.rpt", true},
    {"ClientiOrari.rpt", "ClientiOrariLan.rpt", true},
    {"PrivacyClienti.rpt", "PrivacyClientiLan.rpt", false},
    {"PrivacyPersonale.rpt", "PrivacyPersonaleLan.rpt", false},
    {"ConteggioCliente.rpt", "ConteggioClienteLan.rpt", true},
    {"Occasionali.rpt", "OccasionaliLan.rpt", false},
    {"Calendario.rpt", "CalendarioLan.rpt", true},
    {"QuietanzaMinore.rpt", "QuietanzaMinoreLan.rpt", false},
    {"QuietanzaCliente.rpt", "QuietanzaClienteLan.rpt", false},
    {"Avvisi.rpt", "AvvisiLan.rpt", false},
};

} // namespace

std::optional<VoceReport> voceReport(int numero, bool noImmagine) {
    if (numero < 1 || numero > 23) return std::nullopt;
    const File& f = kFiles[numero - 1];
    VoceReport v{numero, L(f.file), L(f.landscape), f.filtro};
    if (noImmagine && numero == 1)
        v = {1, QStringLiteral("SchedaClienteNoImmagine.rpt"),
             QStringLiteral("SchedaClienteNoImmagineLan.rpt"), false};
    if (noImmagine && numero == 10)
        v = {10, QStringLiteral("EserciziNoImmagine.rpt"),
             QStringLiteral("EserciziNoImmagineLan.rpt"), true};
    return v;
}

QString queryReport(int numero, const ContestoQuery& c) {
    switch (numero) {
    case 1:
        return L(kR1_1) + L(kR1_2) + c.id + L(kR1_3);
    case 2:
        return L(kR2_1) + L(kR2_2) + c.id + L(kR2_3);
    case 3:
        return L(kR3_1) + L(kR3_2) + c.id + L(kR3_3);
    case 4:
        return L(kR4_1) + L(kR4_2) + c.id + L(kR4_3);
    case 5:
        return L(kR5_1) + L(kR5_2) + c.id + L(kR5_3);
    case 6:
        return L(kR6_1) + L(kR6_2) + L(kR6_3) + c.id;
    case 7:
        return L(kR7_1) + L(kR7_2);
    case 8:
        return L(kR8_1);
    case 9:
        return L(kR9_1);
    case 10:
        return L(c.noImmagine ? kR10_NoImmagine : kR10_ConImmagine);
    case 11:
        return L(kR11_1);
    case 12:
        return L(kR12_1);
    case 13:
        return L(kR4_1) + L(kR13_2); // report 4's select list and FROM clause
    case 14:
        return L(kR14_1) + L(kR14_2);
    case 15:
        return L(kR15_1) + L(kR15_2) + L(kR15_3);
    case 16:
        return L(kR16_1) + L(kR16_2) + c.id;
    case 17:
        return L(kR17_1) + L(kR17_2) + c.id;
    case 18:
        return L(kR18_1) + L(kR18_2);
    case 19:
        return L(kR19_1) + L(kR19_2);
    case 20:
        return L(kR20_1);
    case 21:
        return L(kR21_1) + L(kR21_2) + c.id + L(kR21_3) + c.anno + L(kR21_4) + c.anno + L(kR21_5) +
               L(kR21_6);
    case 22: // the same tail as report 21
        return L(kR22_1) + L(kR21_2) + c.id + L(kR21_3) + c.anno + L(kR21_4) + c.anno + L(kR21_5) +
               L(kR21_6);
    case 23:
        return L(kR23_1) + L(kR23_Computer) + common::QuotaFiltro(c.nomeComputer) + u'\'' +
               L(kR23_2);
    default:
        return QString();
    }
}

} // namespace printing
