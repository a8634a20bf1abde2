-- Vastrel database schema in the Jet DDL dialect.
--
-- Run through the Jet-dialect translator (db/sql/translator.h) when a new database is
-- created, then the reference data of data/*.tsv is loaded. Statements end with ';';
-- lines beginning with "--" are comments and are stripped before splitting.
--
-- Storage conventions, the same in every engine:
--   * every table has an auto-number key (COUNTER), spelled as the programs spell it
--     (ID, Id, id, id_cap); the engine ignores the case of names;
--   * yes/no columns are YESNO (stored 0/1, never Null, default 0);
--   * dates are DATETIME; amounts CURRENCY; counts LONG; measures DOUBLE;
--   * long texts are MEMO; pictures stored in the row are LONGBINARY;
--   * per-workstation tables (Griglie, TempStampa, TempAvvisi, TempAvvisiClienti) carry
--     NomeComputer TEXT(15) and an auto-number key ID as well.
-- No declared foreign keys or cascades: the programs delete dependent rows themselves.

-- ---------------------------------------------------------------------------------------
-- Reference tables
-- ---------------------------------------------------------------------------------------

CREATE TABLE Stagione (
    ID COUNTER CONSTRAINT PK_Stagione PRIMARY KEY,
    Descrizione TEXT(100),
    DallaData DATETIME,
    AllaData DATETIME
);

CREATE TABLE GruppoSportivo (
    ID COUNTER CONSTRAINT PK_GruppoSportivo PRIMARY KEY,
    Descrizione TEXT(100)
);

CREATE TABLE ModPagamento (
    id COUNTER CONSTRAINT PK_ModPagamento PRIMARY KEY,
    Descrizione TEXT(100)
);

CREATE TABLE TipoPagamenti (
    Id COUNTER CONSTRAINT PK_TipoPagamenti PRIMARY KEY,
    Descrizione TEXT(100),
    ScadenzaMesi DOUBLE
);

CREATE TABLE OperazionePagamenti (
    ID COUNTER CONSTRAINT PK_OperazionePagamenti PRIMARY KEY,
    Descrizione TEXT(100),
    Importo CURRENCY
);

CREATE TABLE GruppiMuscolari (
    Id COUNTER CONSTRAINT PK_GruppiMuscolari PRIMARY KEY,
    Descrizione TEXT(100)
);

CREATE TABLE Esercizi (
    ID COUNTER CONSTRAINT PK_Esercizi PRIMARY KEY,
    Descrizione TEXT(255),
    ModalitaUso MEMO,
    Immagine LONGBINARY,
    GruppoMuscolare_ID LONG
);
CREATE INDEX IX_Esercizi_GruppoMuscolare_ID ON Esercizi (GruppoMuscolare_ID);

CREATE TABLE Alimenti (
    ID COUNTER CONSTRAINT PK_Alimenti PRIMARY KEY,
    Descrizione TEXT(255),
    [E%] DOUBLE,
    ACQ DOUBLE,
    PRO DOUBLE,
    GRA DOUBLE,
    CAR DOUBLE,
    FIB DOUBLE,
    KC DOUBLE
);

-- Ora is the time of the meal as text hh.mm (the timetable's convention), two
-- digits each, so that "order by Ora" orders the day.
CREATE TABLE Pasti (
    ID COUNTER CONSTRAINT PK_Pasti PRIMARY KEY,
    Descrizione TEXT(100),
    Ora TEXT(5)
);

CREATE TABLE Patologie (
    ID COUNTER CONSTRAINT PK_Patologie PRIMARY KEY,
    Descrizione TEXT(255),
    Cura MEMO
);

-- ---------------------------------------------------------------------------------------
-- Places
-- ---------------------------------------------------------------------------------------

CREATE TABLE Comuni (
    ID COUNTER CONSTRAINT PK_Comuni PRIMARY KEY,
    Comune TEXT(100),
    Provincia TEXT(10),
    Cap TEXT(10),
    CODICE_F TEXT(10),
    COD_ISTAT TEXT(10),
    PrefNaz TEXT(10),
    Latitudine DOUBLE,
    Longitudine DOUBLE
);
CREATE INDEX IX_Comuni_Comune ON Comuni (Comune);

CREATE TABLE Indirizzi (
    id_cap COUNTER CONSTRAINT PK_Indirizzi PRIMARY KEY,
    Comune_ID LONG,
    Frazione TEXT(100),
    Indirizzo TEXT(255),
    NumeroCivico TEXT(100),
    Cap TEXT(10)
);
CREATE INDEX IX_Indirizzi_Comune_ID ON Indirizzi (Comune_ID);

-- ---------------------------------------------------------------------------------------
-- People
-- ---------------------------------------------------------------------------------------

CREATE TABLE anagraficapersonale (
    ID COUNTER CONSTRAINT PK_anagraficapersonale PRIMARY KEY,
    Cognome TEXT(100),
    Nome TEXT(100),
    Via TEXT(255),
    Numero_civico TEXT(20),
    Cap TEXT(10),
    Citta TEXT(100),
    Provincia TEXT(50),
    Nato_a TEXT(100),
    Datanascita DATETIME,
    Sesso TEXT(10),
    Codfiscale TEXT(20),
    Tel TEXT(50),
    Cell TEXT(50),
    Fax TEXT(50),
    E_mail TEXT(255),
    Skype TEXT(100),
    Tessera TEXT(50),
    Note MEMO,
    Mansione TEXT(100),
    Dataavviorapporto DATETIME,
    Tariffa_ad_ora_euro CURRENCY,
    Immagine LONGBINARY,
    Annullato YESNO,
    PrivacyFirmata YESNO
);
CREATE INDEX IX_anagraficapersonale_Cognome ON anagraficapersonale (Cognome);

-- Immagine holds the path of the client's photo file not the picture.
CREATE TABLE anagraficaclienti (
    ID COUNTER CONSTRAINT PK_anagraficaclienti PRIMARY KEY,
    Cognome TEXT(100),
    Nome TEXT(100),
    NominativoDocumenti TEXT(255),
    NominativoVisualizzato TEXT(255),
    Via TEXT(255),
    Numero_civico TEXT(20),
    Cap TEXT(10),
    Citta TEXT(100),
    Provincia TEXT(50),
    Nato_a TEXT(100),
    Datanascita DATETIME,
    Sesso TEXT(10),
    Codfiscale TEXT(20),
    Tel TEXT(50),
    Cell TEXT(50),
    Fax TEXT(50),
    E_mail TEXT(255),
    Skype TEXT(100),
    Tessera TEXT(50),
    Immagine TEXT(255),
    Note MEMO,
    DataInserimento DATETIME,
    Annullato YESNO,
    Certificato_med YESNO,
    Scadenza_cert_medico DATETIME,
    Omaggi YESNO,
    PrivacyFirmata YESNO,
    DataScadenzaAbbonamento DATETIME,
    ScadenzaPagamento DATETIME,
    TipoPagamento_ID LONG,
    ModPagamento_Id LONG,
    Istruttore_ID LONG,
    GruppoSportivo_ID LONG,
    Stagione_ID LONG,
    Quietanza_Cognome TEXT(100),
    Quietanza_Nome TEXT(100),
    Quietanza_Datanascita DATETIME,
    Quietanza_Nato_a TEXT(100),
    Quietanza_Sesso TEXT(10),
    Quietanza_CodiceFiscale TEXT(20),
    Quietanza_PIva TEXT(20),
    Quietanza_Indirizzo TEXT(255),
    Quietanza_Residente TEXT(100),
    Quietanza_Residente_Numero_civico TEXT(20),
    Quietanza_Residente_Prov TEXT(50),
    Quietanza_Residente_cap TEXT(10)
);
CREATE INDEX IX_anagraficaclienti_NominativoVisualizzato ON anagraficaclienti (NominativoVisualizzato);
CREATE INDEX IX_anagraficaclienti_Cognome ON anagraficaclienti (Cognome);
CREATE INDEX IX_anagraficaclienti_TipoPagamento_ID ON anagraficaclienti (TipoPagamento_ID);
CREATE INDEX IX_anagraficaclienti_ModPagamento_Id ON anagraficaclienti (ModPagamento_Id);
CREATE INDEX IX_anagraficaclienti_Istruttore_ID ON anagraficaclienti (Istruttore_ID);
CREATE INDEX IX_anagraficaclienti_GruppoSportivo_ID ON anagraficaclienti (GruppoSportivo_ID);
CREATE INDEX IX_anagraficaclienti_Stagione_ID ON anagraficaclienti (Stagione_ID);

CREATE TABLE Occasionali (
    ID COUNTER CONSTRAINT PK_Occasionali PRIMARY KEY,
    Cognome TEXT(100),
    Nome TEXT(100),
    Note MEMO,
    Progressivo LONG,
    DataInserimento DATETIME,
    DataInizio DATETIME,
    Scadenza_cert_medico DATETIME,
    Stagione_ID LONG
);
CREATE INDEX IX_Occasionali_Stagione_ID ON Occasionali (Stagione_ID);

-- ---------------------------------------------------------------------------------------
-- Timetable and attendance (Parts 6.1, 6.2, 4.5)
-- ---------------------------------------------------------------------------------------

-- OrarioInizio and OrarioFine are texts of five characters hh.mm.
CREATE TABLE orari (
    Id COUNTER CONSTRAINT PK_orari PRIMARY KEY,
    Specialita TEXT(100),
    Corso TEXT(100),
    Giorno TEXT(20),
    OrarioInizio TEXT(5),
    OrarioFine TEXT(5),
    Istruttore_ID LONG
);
CREATE INDEX IX_orari_Istruttore_ID ON orari (Istruttore_ID);

CREATE TABLE ClienteOrari (
    ID COUNTER CONSTRAINT PK_ClienteOrari PRIMARY KEY,
    Cliente_ID LONG,
    Orario_ID LONG,
    OrarioInizio TEXT(5),
    OrarioFine TEXT(5)
);
CREATE INDEX IX_ClienteOrari_Cliente_ID ON ClienteOrari (Cliente_ID);
CREATE INDEX IX_ClienteOrari_Orario_ID ON ClienteOrari (Orario_ID);

CREATE TABLE Calendario (
    Id COUNTER CONSTRAINT PK_Calendario PRIMARY KEY,
    DataInizio DATETIME,
    DataFine DATETIME,
    Personale_Id LONG,
    Personale TEXT(255),
    Cliente_Id LONG,
    Cliente TEXT(255),
    Specialita TEXT(100),
    Note MEMO,
    DurataOre DOUBLE,
    DurataMinuti LONG,
    Concluso YESNO,
    Storico YESNO
);
CREATE INDEX IX_Calendario_DataInizio ON Calendario (DataInizio);
CREATE INDEX IX_Calendario_Personale_Id ON Calendario (Personale_Id);
CREATE INDEX IX_Calendario_Cliente_Id ON Calendario (Cliente_Id);

-- ---------------------------------------------------------------------------------------
-- Client programme, diet and health (Parts 4.2, 4.3, 4.4)
-- ---------------------------------------------------------------------------------------

CREATE TABLE ClienteEsercizi (
    ID COUNTER CONSTRAINT PK_ClienteEsercizi PRIMARY KEY,
    Cliente_ID LONG,
    Esercizio_ID LONG,
    EsercizioDescrizione TEXT(255),
    Serie LONG,
    Quantita LONG,
    Pausa LONG,
    Note TEXT(255)
);
CREATE INDEX IX_ClienteEsercizi_Cliente_ID ON ClienteEsercizi (Cliente_ID);
CREATE INDEX IX_ClienteEsercizi_Esercizio_ID ON ClienteEsercizi (Esercizio_ID);

CREATE TABLE ClienteDieta (
    ID COUNTER CONSTRAINT PK_ClienteDieta PRIMARY KEY,
    Cliente_ID LONG,
    ID_pasto LONG,
    ID_Alimento LONG,
    QTA_GRAMMI DOUBLE
);
CREATE INDEX IX_ClienteDieta_Cliente_ID ON ClienteDieta (Cliente_ID);
CREATE INDEX IX_ClienteDieta_ID_pasto ON ClienteDieta (ID_pasto);
CREATE INDEX IX_ClienteDieta_ID_Alimento ON ClienteDieta (ID_Alimento);

CREATE TABLE ClientePatologia (
    ID COUNTER CONSTRAINT PK_ClientePatologia PRIMARY KEY,
    Cliente_ID LONG,
    Patologia_ID LONG,
    DataInizio DATETIME,
    DataFine DATETIME,
    Note MEMO
);
CREATE INDEX IX_ClientePatologia_Cliente_ID ON ClientePatologia (Cliente_ID);
CREATE INDEX IX_ClientePatologia_Patologia_ID ON ClientePatologia (Patologia_ID);

-- ---------------------------------------------------------------------------------------
-- Payments and deadlines (Parts 5.1, 5.2, 5.3)
-- ---------------------------------------------------------------------------------------

CREATE TABLE Pagamenti (
    Id COUNTER CONSTRAINT PK_Pagamenti PRIMARY KEY,
    Cliente_ID LONG,
    Data DATETIME,
    Operazione TEXT(255),
    Importo CURRENCY,
    ModPagamento_Id LONG,
    Note TEXT(255)
);
CREATE INDEX IX_Pagamenti_Cliente_ID ON Pagamenti (Cliente_ID);
CREATE INDEX IX_Pagamenti_ModPagamento_Id ON Pagamenti (ModPagamento_Id);
CREATE INDEX IX_Pagamenti_Data ON Pagamenti (Data);

CREATE TABLE Scadenze (
    ID COUNTER CONSTRAINT PK_Scadenze PRIMARY KEY,
    Cliente_ID LONG,
    DataScadenza DATETIME,
    Operazione TEXT(255),
    Importo CURRENCY,
    DataPagamento DATETIME,
    Beneficiario TEXT(255),
    ModPagamento_Id LONG
);
CREATE INDEX IX_Scadenze_Cliente_ID ON Scadenze (Cliente_ID);
CREATE INDEX IX_Scadenze_ModPagamento_Id ON Scadenze (ModPagamento_Id);
CREATE INDEX IX_Scadenze_DataScadenza ON Scadenze (DataScadenza);

-- ---------------------------------------------------------------------------------------
-- Notices
-- ---------------------------------------------------------------------------------------

CREATE TABLE Avvisi (
    ID COUNTER CONSTRAINT PK_Avvisi PRIMARY KEY,
    Descrizione TEXT(255),
    Testo MEMO
);

CREATE TABLE TempAvvisi (
    ID COUNTER CONSTRAINT PK_TempAvvisi PRIMARY KEY,
    NomeComputer TEXT(15),
    Testo MEMO
);
CREATE INDEX IX_TempAvvisi_NomeComputer ON TempAvvisi (NomeComputer);

CREATE TABLE TempAvvisiClienti (
    ID COUNTER CONSTRAINT PK_TempAvvisiClienti PRIMARY KEY,
    NomeComputer TEXT(15),
    Cliente_ID LONG
);
CREATE INDEX IX_TempAvvisiClienti_NomeComputer ON TempAvvisiClienti (NomeComputer);
CREATE INDEX IX_TempAvvisiClienti_Cliente_ID ON TempAvvisiClienti (Cliente_ID);

-- ---------------------------------------------------------------------------------------
-- Printing and exports (Parts 8.1, 8.2, 9.1)
-- ---------------------------------------------------------------------------------------

-- The print job handed to the report viewer, one row per computer.
CREATE TABLE TempStampa (
    ID COUNTER CONSTRAINT PK_TempStampa PRIMARY KEY,
    NomeComputer TEXT(15),
    NomeProgramma TEXT(50),
    NomeReport TEXT(255),
    NomeReportLandscape TEXT(255),
    Query MEMO,
    Filtro YESNO,
    Parametro TEXT(255),
    PresenzaTestata YESNO,
    Setup YESNO,
    Esportazione YESNO,
    FileEsportazione TEXT(255),
    TipoEsportazione LONG,
    QuerySottoreport1 MEMO,
    QuerySottoreport2 MEMO,
    QuerySottoreport3 MEMO,
    QuerySottoreport4 MEMO,
    QuerySottoreport5 MEMO,
    QuerySottoreport6 MEMO,
    QuerySottoreport7 MEMO
);
CREATE INDEX IX_TempStampa_NomeComputer ON TempStampa (NomeComputer);

-- Export formats of the report engine; Numero is what opzioni.TipoEsportazione and
-- TempStampa.TipoEsportazione carry.
CREATE TABLE TipoEsportazioniCrystalReport (
    ID COUNTER CONSTRAINT PK_TipoEsportazioniCrystalReport PRIMARY KEY,
    Descrizione TEXT(100),
    Numero LONG,
    Estensione TEXT(10),
    Attivo YESNO
);

-- Sources of the export tool.
CREATE TABLE QueryCreazioneStampe (
    ID COUNTER CONSTRAINT PK_QueryCreazioneStampe PRIMARY KEY,
    Descrizione TEXT(100),
    Query MEMO
);

CREATE TABLE DatiReportTestata (
    ID COUNTER CONSTRAINT PK_DatiReportTestata PRIMARY KEY,
    NomeReport TEXT(100)
);

CREATE TABLE DatiReportRighe (
    ID COUNTER CONSTRAINT PK_DatiReportRighe PRIMARY KEY,
    TestataReport_ID LONG,
    Campo TEXT(50),
    Valore MEMO,
    Ordinamento LONG
);
CREATE INDEX IX_DatiReportRighe_TestataReport_ID ON DatiReportRighe (TestataReport_ID);

-- ---------------------------------------------------------------------------------------
-- Settings and layouts
-- ---------------------------------------------------------------------------------------

-- Banks, behind Ditta.Id_Banca.
CREATE TABLE Banche (
    Id COUNTER CONSTRAINT PK_Banche PRIMARY KEY,
    Banca TEXT(100)
);

-- The centre's own data, one row.
CREATE TABLE Ditta (
    ID COUNTER CONSTRAINT PK_Ditta PRIMARY KEY,
    RagSoc TEXT(255),
    Via TEXT(255),
    Numero TEXT(20),
    Comune TEXT(100),
    Cap TEXT(10),
    Provincia TEXT(50),
    Tel TEXT(50),
    Fax TEXT(50),
    Cell TEXT(50),
    Email TEXT(255),
    Pec TEXT(255),
    Internet TEXT(255),
    PIva TEXT(20),
    CodFisc TEXT(20),
    CodiceSdi TEXT(10),
    AltriDati TEXT(255),
    ResponsabileDati TEXT(255),
    Logo LONGBINARY,
    Id_Banca LONG,
    NomeDbOnline TEXT(100),
    UtenteDbOnline TEXT(100),
    PasswordDbOnline TEXT(100),
    NomeHostOnline TEXT(255),
    ServerAggiornamentoArticoliOnline YESNO
);

-- Program options, one row. SmtpCriptaggioTipo: 0 SSLv2, 1 SSLv23, 2 SSLv3,
-- 3 TLSv1. AzioneImportazioneVCard: 0 ask, 1 skip, other values overwrite.
CREATE TABLE opzioni (
    ID COUNTER CONSTRAINT PK_opzioni PRIMARY KEY,
    PasswordAmministratore TEXT(50),
    CartellaEsportazioneDocumenti TEXT(255),
    TipoEsportazione LONG,
    EstensioneEsportazione TEXT(10),
    StampaSchedeNoImmagine YESNO,
    StampanteDefault YESNO,
    EmailTestoDefault MEMO,
    SmtpHost TEXT(255),
    SmtpPorta LONG,
    SmtpUserName TEXT(255),
    SmtpPassword TEXT(255),
    SmtpMittenteEmail TEXT(255),
    SmtpAutenticazioneServer YESNO,
    SmtpCriptato YESNO,
    SmtpCriptaggioTipo LONG,
    AzioneImportazioneVCard LONG
);

-- Grid layouts per computer and grid; the lists are "|"-terminated texts.
CREATE TABLE Griglie (
    ID COUNTER CONSTRAINT PK_Griglie PRIMARY KEY,
    NomeComputer TEXT(15),
    NomeGriglia TEXT(100),
    CampiUtente MEMO,
    CaptionUtente MEMO,
    WidthUtente MEMO,
    CampiPredefiniti MEMO,
    CaptionPredefiniti MEMO,
    WidthPredefiniti MEMO,
    TotaleCampiPredefiniti LONG,
    CampoOrdinamento TEXT(255)
);
CREATE INDEX IX_Griglie_NomeComputer ON Griglie (NomeComputer, NomeGriglia);

-- Default values of new records. Tipo: "t" text, "n" integer, "f" real.
CREATE TABLE Personalizzazioni (
    ID COUNTER CONSTRAINT PK_Personalizzazioni PRIMARY KEY,
    NomeTabella TEXT(64),
    NomeCampo TEXT(64),
    Tipo TEXT(10),
    Valore TEXT(255)
);
CREATE INDEX IX_Personalizzazioni_NomeTabella ON Personalizzazioni (NomeTabella);
