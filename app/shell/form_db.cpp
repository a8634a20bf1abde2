#include "app/shell/form_db.h"

#include "common/controls/dialogs.h"
#include "common/paths.h"
#include "common/text.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

// Each shared query's SQL, exactly as the windows rely on it.
const char* const kTableClienteOrari =
    "SELECT top 1 orari.Specialita, orari.Giorno,orari.corso, anagraficapersonale.Cognome AS "
    "Istruttore, ClienteOrari.ID, ClienteOrari.Cliente_ID, ClienteOrari.Orario_ID, "
    "ClienteOrari.OrarioInizio, ClienteOrari.OrarioFine FROM (ClienteOrari INNER JOIN orari ON "
    "ClienteOrari.Orario_ID = orari.Id) LEFT JOIN anagraficapersonale ON orari.Istruttore_ID = "
    "anagraficapersonale.ID Order by orari.Giorno, ClienteOrari.OrarioInizio";
const char* const kTableClienteDieta =
    "SELECT top 1 Pasti.Descrizione, Alimenti.Descrizione, ClienteDieta.* FROM (ClienteDieta "
    "LEFT JOIN Pasti ON ClienteDieta.ID_pasto = Pasti.ID) INNER JOIN Alimenti ON "
    "ClienteDieta.ID_Alimento = Alimenti.ID ORDER BY Pasti.Ora, Alimenti.Descrizione";
const char* const kTableClientePatologie =
    "SELECT top 1 Patologie.Descrizione, Patologie.Cura, ClientePatologia.* FROM "
    "ClientePatologia INNER JOIN Patologie ON ClientePatologia.Patologia_ID = Patologie.ID "
    "ORDER BY Patologie.Descrizione";

} // namespace

Tform_DB::Tform_DB(QObject* parent)
    : QObject(parent), nomeComputer(common::computerName()),
      cartellaProgramma(common::programFolder()) {
    setObjectName(QStringLiteral("form_DB"));
    m_shared = {
        {"TableIndirizzi", &TableIndirizzi},
        {"Table1", &Table1},
        {"Table2", &Table2},
        {"Table3", &Table3},
        {"Table7", &Table7},
        {"TableDitta", &TableDitta},
        {"TableOpzioni", &TableOpzioni},
        {"TableModPaga", &TableModPaga},
        {"TablePasti", &TablePasti},
        {"TableScadenziario", &TableScadenziario},
        {"TableEsercizi", &TableEsercizi},
        {"TableClienteEsercizi", &TableClienteEsercizi},
        {"TableClienteOrari", &TableClienteOrari},
        {"TableClienteDieta", &TableClienteDieta},
        {"TableAlimenti", &TableAlimenti},
        {"TableClientePatologie", &TableClientePatologie},
        {"TablePatologie", &TablePatologie},
        {"TableGruppiMuscolari", &TableGruppiMuscolari},
        {"TablePagamenti", &TablePagamenti},
        {"TableNominativi", &TableNominativi},
        {"TableGruppoSportivo", &TableGruppoSportivo},
        {"TablePersonalizzazioni", &TablePersonalizzazioni},
        {"TableStagione", &TableStagione},
        {"TableTipoPagamenti", &TableTipoPagamenti},
        {"TableOperazionePagamenti", &TableOperazionePagamenti},
        {"TableTipoEsportazioniCrystalReport", &TableTipoEsportazioniCrystalReport},
        {"TableOccasionali", &TableOccasionali},
        {"TableCalendario", &TableCalendario},
        {"TableAvvisi", &TableAvvisi},
        {"TableTempStampa", &TableTempStampa},
        {"TableGriglie", &TableGriglie},
        {"TableTempAvvisiClienti", &TableTempAvvisiClienti},
        {"TableTempAvvisi", &TableTempAvvisi},
    };
    for (const auto& s : m_shared) {
        s.query->setObjectName(QString::fromLatin1(s.name));
        s.query->setParent(nullptr);
        s.query->setConnection(&Connessione);
    }

    Table1.setSql(QStringLiteral("SELECT *, Cognome + \"  \" + Nome as Nominativo FROM anagraficaclienti order by NominativoVisualizzato"));
    Table2.setSql(QStringLiteral("select * from orari order by Specialita, Giorno, OrarioInizio"));
    Table3.setSql(QStringLiteral("select *,Cognome + \"  \" + Nome as Nominativo from anagraficapersonale order by Cognome,Nome"));
    Table7.setSql(QStringLiteral("select * from Comuni"));
    TableDitta.setSql(QStringLiteral("select * from Ditta"));
    TableOpzioni.setSql(QStringLiteral("SELECT * from opzioni"));
    TableModPaga.setSql(QStringLiteral("select * from modPagamento"));
    TableScadenziario.setSql(QStringLiteral("select * from Scadenze order by DataScadenza Desc"));
    TableEsercizi.setSql(QStringLiteral("select * from Esercizi order by Descrizione"));
    TableClienteEsercizi.setSql(QStringLiteral("select top 1 * from ClienteEsercizi"));
    TableClienteOrari.setSql(QString::fromLatin1(kTableClienteOrari));
    TableAlimenti.setSql(QStringLiteral("select * from Alimenti order by Descrizione"));
    TableClienteDieta.setSql(QString::fromLatin1(kTableClienteDieta));
    TableClientePatologie.setSql(QString::fromLatin1(kTableClientePatologie));
    TablePatologie.setSql(QStringLiteral("select * from Patologie order by Descrizione"));
    TablePasti.setSql(QStringLiteral("select * from Pasti order by Ora"));
    TableGruppiMuscolari.setSql(QStringLiteral("select * from GruppiMuscolari order by Descrizione"));
    TablePagamenti.setSql(QStringLiteral("select * from Pagamenti order by Data Desc"));
    TableNominativi.setSql(QStringLiteral("SELECT NominativoDocumenti,NominativoVisualizzato, ID\nFROM anagraficaclienti order by Cognome,Nome;"));
    TableGruppoSportivo.setSql(QStringLiteral("select * from GruppoSportivo order by Descrizione"));
    TablePersonalizzazioni.setSql(QStringLiteral("select * from Personalizzazioni"));
    TableStagione.setSql(QStringLiteral("select * from Stagione order by Descrizione"));
    TableTipoPagamenti.setSql(QStringLiteral("select * from TipoPagamenti order by Descrizione"));
    TableOperazionePagamenti.setSql(QStringLiteral("select * from OperazionePagamenti order by Descrizione"));
    TableTempStampa.setSql(QStringLiteral("select * from TempStampa"));
    TableGriglie.setSql(QStringLiteral("select * from Griglie"));
    TableTipoEsportazioniCrystalReport.setSql(QStringLiteral("select * from TipoEsportazioniCrystalReport where Attivo=true Order by Descrizione"));
    TableOccasionali.setSql(QStringLiteral("select * from Occasionali order by Cognome,Nome"));
    TableCalendario.setSql(QStringLiteral("SELECT * from Calendario where Storico=false order by DataInizio desc,Personale"));
    TableIndirizzi.setSql(QStringLiteral("SELECT top 1 id_cap, Frazione, NumeroCivico, Indirizzi.Cap, Comune_ID, Indirizzo, Comuni.Comune FROM Indirizzi INNER JOIN Comuni ON Indirizzi.Comune_ID = Comuni.ID order by Frazione, Indirizzo"));
    TableAvvisi.setSql(QStringLiteral("select * from Avvisi Order by Descrizione"));
    TableTempAvvisi.setSql(QStringLiteral("select top 1 * from TempAvvisi "));
    TableTempAvvisiClienti.setSql(QStringLiteral("select top 1 * from TempAvvisiClienti"));
}

Tform_DB::~Tform_DB() {
    chiudiQuery();
    Connessione.close();
}

int Tform_DB::esegui(const QString& jetSql) {
    db::Command Comando(Connessione);
    Comando.setText(jetSql);
    return Comando.execute();
}

db::Dataset* Tform_DB::query(const QString& name) const {
    for (const auto& s : m_shared)
        if (name.compare(QLatin1String(s.name), Qt::CaseInsensitive) == 0) return s.query;
    return nullptr;
}

void Tform_DB::chiudiQuery() {
    for (const auto& s : m_shared) s.query->close();
}

void Tform_DB::riapriQuery() {
    chiudiQuery();
    for (const auto& s : m_shared) {
        if (s.query == &TableTempStampa || s.query == &TableGriglie ||
            s.query == &TableTempAvvisi || s.query == &TableTempAvvisiClienti)
            continue;
        // Years of payments, deadlines and attendances are read when first used, not at
        // every start.
        if (s.query == &TablePagamenti || s.query == &TableScadenziario || s.query == &TableCalendario)
            s.query->openDeferred();
        else
            s.query->open();
    }
    // The computer name is quoted: a host name may hold an apostrophe.
    const QString me = common::QuotaFiltro(nomeComputer);
    TableTempStampa.setSql(QStringLiteral("select * from TempStampa where NomeComputer ='") + me + u'\'');
    TableGriglie.setSql(QStringLiteral("select * from Griglie where NomeComputer ='") + me + u'\'');
    TableTempAvvisiClienti.setSql(QStringLiteral("select * from TempAvvisiClienti where NomeComputer ='") + me + u'\'');
    TableTempAvvisi.setSql(QStringLiteral("select top 1 * from TempAvvisi where NomeComputer ='") + me + u'\'');
    TableTempStampa.open();
    TableGriglie.open();
    TableTempAvvisiClienti.open();
    TableTempAvvisi.open();
    if (TableTempAvvisi.isEmpty()) {
        TableTempAvvisi.append();
        TableTempAvvisi.setValue(QStringLiteral("NomeComputer"), nomeComputer);
        TableTempAvvisi.post();
    }
}

void Tform_DB::cmdFiltriClick() {
    Table1.setFiltered(true);
    Table1.setFilter(QStringLiteral("Annullato = 0"));
    Table3.setFiltered(true);
    Table3.setFilter(QStringLiteral("Annullato = 0"));
    for (db::Dataset* q : {&Table2, &Table7, &TableModPaga, &TableDitta, &TableGruppiMuscolari,
                           &TableScadenziario, &TableEsercizi, &TableClienteEsercizi,
                           &TableClienteOrari, &TableClienteDieta, &TableClientePatologie,
                           &TablePatologie, &TableAlimenti, &TablePasti, &TableGruppoSportivo,
                           &TablePersonalizzazioni, &TablePagamenti, &TableNominativi,
                           &TableStagione, &TableTipoPagamenti, &TableOperazionePagamenti}) {
        q->setFiltered(true);
        q->setFilter(QString());
    }
}

QString Tform_DB::ConvertiMemo(const QString& text) { return text.left(100); }

// File names are case-sensitive here: offer every spelling a camera or scanner writes.
static const char* const kPictureFilter =
    "JPEG Images (*.jpg *.JPG *.jpeg *.JPEG);; Bitmap Images (*.bmp *.BMP)";

QString Tform_DB::OpenPictureDialog(QWidget* parent) const {
    return ui::dialogs().openFile(parent, QStringLiteral("Carica immagine.."), cartellaProgramma,
                                  QString::fromLatin1(kPictureFilter));
}

QString Tform_DB::SavePictureDialog(QWidget* parent) const {
    QString name = ui::dialogs().saveFile(parent, QStringLiteral("Salva Immagine con nome.."),
                                          cartellaProgramma, QString::fromLatin1(kPictureFilter));
    // Default extension "JPG" when the user typed none.
    if (!name.isEmpty() && common::EstensioneFile(QFileInfo(name).fileName()).isEmpty())
        name += QStringLiteral(".jpg");
    return name;
}

void Tform_DB::Button2Click() {
    if (scriviStampa) scriviStampa(*this, tipoReport);
}
