#pragma once

// The schema as a Jet-dialect DDL script, for the
// translator's tests: every table and column that the quoted statements name.

#include "support/rawsqlite.h"

#include <QStringList>

namespace translator_test {

inline const char* kCorpusSchema = R"JET(
CREATE TABLE anagraficaclienti (ID COUNTER CONSTRAINT PrimaryKey PRIMARY KEY,
  Cognome TEXT(50), Nome TEXT(50), NominativoDocumenti TEXT(100), NominativoVisualizzato TEXT(100),
  Via TEXT(100), Numero_civico TEXT(10), Cap TEXT(5), Citta TEXT(50), Provincia TEXT(2),
  Nato_a TEXT(50), Datanascita DATETIME, Sesso TEXT(1), Codfiscale TEXT(16), Tel TEXT(30),
  Cell TEXT(30), Fax TEXT(30), E_mail TEXT(100), Skype TEXT(50), Tessera TEXT(20),
  Immagine TEXT(255), Note MEMO, DataInserimento DATETIME, Annullato YESNO,
  Certificato_med YESNO, Scadenza_cert_medico DATETIME, Omaggi YESNO, PrivacyFirmata BIT,
  DataScadenzaAbbonamento DATETIME, ScadenzaPagamento DATETIME, TipoPagamento_ID LONG,
  ModPagamento_Id LONG, Istruttore_ID LONG, GruppoSportivo_ID LONG, Stagione_ID LONG,
  Quietanza_Cognome TEXT(50), Quietanza_Nome TEXT(50), Quietanza_Datanascita DATETIME,
  Quietanza_Nato_a TEXT(50), Quietanza_Sesso TEXT(1), Quietanza_CodiceFiscale TEXT(16),
  Quietanza_PIva TEXT(11), Quietanza_Indirizzo TEXT(100), Quietanza_Residente TEXT(50),
  Quietanza_Residente_Numero_civico TEXT(10), Quietanza_Residente_Prov TEXT(2),
  Quietanza_Residente_cap TEXT(5));
CREATE TABLE anagraficapersonale (ID AUTOINCREMENT PRIMARY KEY, Cognome VARCHAR(50),
  Nome VARCHAR(50), Via TEXT(100), Numero_civico TEXT(10), Cap TEXT(5), Citta TEXT(50),
  Provincia TEXT(2), Nato_a TEXT(50), Datanascita DATE, Sesso TEXT(1), Codfiscale TEXT(16),
  Tel TEXT(30), Cell TEXT(30), Fax TEXT(30), E_mail TEXT(100), Skype TEXT(50), Tessera TEXT(20),
  Note LONGTEXT, Mansione TEXT(50), Dataavviorapporto DATETIME, Tariffa_ad_ora_euro CURRENCY,
  Immagine LONGBINARY, Annullato YESNO, PrivacyFirmata YESNO);
CREATE TABLE Occasionali (ID COUNTER, Cognome TEXT(50), Nome TEXT(50), Note MEMO,
  Progressivo LONG, DataInserimento DATETIME, DataInizio DATETIME,
  Scadenza_cert_medico DATETIME, Stagione_ID LONG, CONSTRAINT pk PRIMARY KEY (ID));
CREATE TABLE orari (Id COUNTER, Specialita TEXT(50), Corso TEXT(50), Giorno TEXT(20),
  OrarioInizio TEXT(5), OrarioFine TEXT(5), Istruttore_ID LONG);
CREATE TABLE ClienteOrari (ID COUNTER, Cliente_ID LONG, Orario_ID LONG, OrarioInizio TEXT(5),
  OrarioFine TEXT(5));
CREATE TABLE Calendario (Id COUNTER, DataInizio DATETIME, DataFine DATETIME,
  Personale_Id LONG, Personale TEXT(100), Cliente_Id LONG, Cliente TEXT(100),
  Specialita TEXT(50), Note MEMO, DurataOre DOUBLE, DurataMinuti LONG, Concluso YESNO,
  Storico YESNO);
CREATE TABLE Esercizi (ID COUNTER, Descrizione TEXT(100), ModalitaUso MEMO, Immagine LONGBINARY,
  GruppoMuscolare_ID LONG);
CREATE TABLE GruppiMuscolari (Id COUNTER, Descrizione TEXT(50));
CREATE TABLE ClienteEsercizi (ID COUNTER, Cliente_ID LONG, Esercizio_ID LONG,
  EsercizioDescrizione TEXT(100), Serie TEXT(20), Quantita TEXT(20), Pausa TEXT(20), Note MEMO);
CREATE TABLE Alimenti (ID COUNTER, Descrizione TEXT(100), [E%] DOUBLE, ACQ DOUBLE, PRO DOUBLE,
  GRA DOUBLE, CAR DOUBLE, FIB DOUBLE, KC DOUBLE);
CREATE TABLE Pasti (ID COUNTER, Descrizione TEXT(50), Ora TEXT(5));
CREATE TABLE ClienteDieta (ID COUNTER, Cliente_ID LONG, ID_pasto LONG, ID_Alimento LONG,
  QTA_GRAMMI DOUBLE);
CREATE TABLE Patologie (ID COUNTER, Descrizione TEXT(100), Cura MEMO);
CREATE TABLE ClientePatologia (ID COUNTER, Cliente_ID LONG, Patologia_ID LONG,
  DataInizio DATETIME, DataFine DATETIME, Note MEMO);
CREATE TABLE Pagamenti (Id COUNTER, Cliente_ID LONG, Data DATETIME, Operazione TEXT(100),
  Importo CURRENCY, ModPagamento_Id LONG, Note MEMO);
CREATE TABLE Scadenze (ID COUNTER, Cliente_ID LONG, DataScadenza DATETIME, Operazione TEXT(100),
  Importo CURRENCY, DataPagamento DATETIME, Beneficiario TEXT(100), ModPagamento_Id LONG);
CREATE TABLE ModPagamento (id COUNTER, Descrizione TEXT(50));
CREATE TABLE TipoPagamenti (Id COUNTER, Descrizione TEXT(50), ScadenzaMesi LONG);
CREATE TABLE OperazionePagamenti (ID COUNTER, Descrizione TEXT(50), Importo CURRENCY);
CREATE TABLE Stagione (ID COUNTER, Descrizione TEXT(50), DallaData DATETIME, AllaData DATETIME);
CREATE TABLE GruppoSportivo (ID COUNTER, Descrizione TEXT(50));
CREATE TABLE Comuni (ID COUNTER, Comune TEXT(100), Provincia TEXT(2), Cap TEXT(5),
  CODICE_F TEXT(4), COD_ISTAT TEXT(6), PrefNaz TEXT(6), Latitudine DOUBLE, Longitudine DOUBLE);
CREATE TABLE Indirizzi (id_cap COUNTER, Comune_ID LONG, Frazione TEXT(100), Indirizzo TEXT(100),
  NumeroCivico TEXT(50), Cap TEXT(5));
CREATE TABLE Avvisi (ID COUNTER, Descrizione TEXT(100), Testo MEMO);
CREATE TABLE TempAvvisi (NomeComputer TEXT(15), Testo MEMO);
CREATE TABLE TempAvvisiClienti (NomeComputer TEXT(15), Cliente_ID LONG);
CREATE TABLE TempStampa (NomeComputer TEXT(15), NomeProgramma TEXT(50), NomeReport TEXT(255),
  NomeReportLandscape TEXT(255), Query MEMO, Filtro YESNO, Parametro TEXT(50),
  PresenzaTestata YESNO, Setup YESNO, Esportazione YESNO, FileEsportazione TEXT(255),
  TipoEsportazione LONG);
CREATE TABLE TipoEsportazioniCrystalReport (Descrizione TEXT(50), Numero LONG,
  Estensione TEXT(10), Attivo YESNO);
CREATE TABLE QueryCreazioneStampe (Descrizione TEXT(100), Query MEMO);
CREATE TABLE DatiReportTestata (ID COUNTER, NomeReport TEXT(100));
CREATE TABLE DatiReportRighe (ID COUNTER, TestataReport_ID LONG, Campo TEXT(50),
  Valore MEMO, Ordinamento LONG);
CREATE TABLE Ditta (RagSoc TEXT(100), Via TEXT(100), Numero TEXT(10), Comune TEXT(50),
  Cap TEXT(5), Provincia TEXT(2), Tel TEXT(30), Fax TEXT(30), Cell TEXT(30), Email TEXT(100),
  Pec TEXT(100), Internet TEXT(100), PIva TEXT(11), CodFisc TEXT(16), CodiceSdi TEXT(7),
  AltriDati MEMO, ResponsabileDati TEXT(100), Logo LONGBINARY, Id_Banca LONG);
CREATE TABLE opzioni (PasswordAmministratore TEXT(50), StampaSchedeNoImmagine YESNO,
  StampanteDefault YESNO, EmailTestoDefault MEMO, SmtpHost TEXT(100), SmtpPorta LONG);
CREATE TABLE Griglie (NomeComputer TEXT(15), NomeGriglia TEXT(50), CampiUtente MEMO,
  CaptionUtente MEMO, WidthUtente MEMO, CampiPredefiniti MEMO, CaptionPredefiniti MEMO,
  WidthPredefiniti MEMO, TotaleCampiPredefiniti LONG, CampoOrdinamento TEXT(50));
CREATE TABLE Personalizzazioni (NomeTabella TEXT(50), NomeCampo TEXT(50), Tipo TEXT(20),
  Valore TEXT(255));
)JET";

// Runs a ';'-separated Jet script statement by statement through the translator.
inline void runJetScript(testsupport::RawSqlite& db, const QString& script) {
    for (const QString& piece : script.split(u';')) {
        if (!piece.trimmed().isEmpty())
            db.jet(piece);
    }
}

inline void createCorpusSchema(testsupport::RawSqlite& db) {
    runJetScript(db, QString::fromUtf8(kCorpusSchema));
}

} // namespace translator_test
