#include "viewer/comando.h"

#include "app/printing/catalogo.h"
#include "common/paths.h"
#include "db/connection.h"
#include "db/error.h"
#include "viewer/form1.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace stampa {
namespace {

// Reports on one record take its key; receipts also take a year.
bool vuoleId(int n) { return (n >= 1 && n <= 6) || n == 16 || n == 17 || n == 21 || n == 22; }
bool vuoleAnno(int n) { return n == 21 || n == 22; }

bool soloCifre(const QString& s, int massimo) {
    if (s.isEmpty() || s.size() > massimo) return false;
    for (QChar c : s)
        if (!c.isDigit() || c.unicode() > 127) return false;
    return true;
}

} // namespace

QString controllaRichiesta(const RichiestaReport& r) {
    if (!printing::voceReport(r.numero, false))
        return QStringLiteral("Numero di report non valido: %1 (da 1 a 23)").arg(r.numero);
    if (r.pdf.trimmed().isEmpty()) return QStringLiteral("Manca il file PDF da scrivere (--pdf)");
    // The key and the year go into the report's SQL: digits only.
    if (vuoleId(r.numero) && !soloCifre(r.id, 18))
        return QStringLiteral("Il report %1 riguarda una sola scheda: indicarne il numero con "
                              "--id").arg(r.numero);
    if (vuoleAnno(r.numero) && !soloCifre(r.anno, 4))
        return QStringLiteral("Il report %1 riguarda un anno: indicarlo con --anno").arg(r.numero);
    return QString();
}

void scriviLavoro(db::Connection& c, const RichiestaReport& r) {
    db::RowStore opzioni;
    c.load(QStringLiteral("select StampaSchedeNoImmagine from opzioni"), opzioni);
    const bool noImmagine = opzioni.rowCount() > 0 && !opzioni.isNull(0, 0) &&
                            opzioni.integer(0, 0) != 0;
    const printing::VoceReport voce = *printing::voceReport(r.numero, noImmagine);
    printing::ContestoQuery contesto;
    contesto.id = vuoleId(r.numero) ? r.id : QString();
    contesto.anno = vuoleAnno(r.numero) ? r.anno : QString();
    contesto.noImmagine = noImmagine;
    contesto.nomeComputer = common::computerName();
    const QString cartella = QDir(common::programFolder()).filePath(QStringLiteral("reports")) + u'/';

    db::Transaction tx(c);
    c.execute(QStringLiteral("delete * from TempStampa where NomeComputer = ?"),
              QVariantList{contesto.nomeComputer});
    c.execute(QStringLiteral(
                  "insert into TempStampa (NomeProgramma, NomeReport, Query, Filtro, Setup, "
                  "NomeReportLandscape, PresenzaTestata, NomeComputer, Esportazione, "
                  "FileEsportazione, TipoEsportazione) values ('Vastrel', ?, ?, false, false, ?, "
                  "true, ?, true, ?, 3)"),
              QVariantList{QString(cartella + voce.file), printing::queryReport(r.numero, contesto),
                           QString(cartella + voce.fileLandscape), contesto.nomeComputer,
               QFileInfo(r.pdf).absoluteFilePath()});
    tx.commit();
}

int eseguiReport(const RichiestaReport& r, TForm1& form, QTextStream& err) {
    if (const QString errore = controllaRichiesta(r); !errore.isEmpty()) {
        err << "stampa: " << errore << Qt::endl;
        return UsoErrato;
    }
    const QString home = common::homeFolder();
    if (!QFileInfo::exists(QDir(home).filePath(common::PercorsoFileName.toString()))) {
        err << "stampa: manca il file di configurazione percorso.txt in " << home << Qt::endl;
        return Fallito;
    }
    try {
        db::Connection c;
        c.open(common::locateDatabase(home, false).path);
        scriviLavoro(c, r);
    } catch (const db::DatabaseError& e) {
        err << "stampa: " << e.text() << Qt::endl;
        return Fallito;
    }
    if (!r.filtro.trimmed().isEmpty()) form.filtroDato = QStringLiteral(" Where (") + r.filtro + u')';
    // The load reports its own errors through the dialog service.
    switch (form.FormLoad()) {
    case TForm1::Esito::Esportato:
        return Riuscito;
    case TForm1::Esito::Terminato:
        // Only another job of this computer written meanwhile can take ours away.
        err << "stampa: il lavoro di stampa di questo computer non è stato trovato" << Qt::endl;
        return Fallito;
    default:
        return Fallito;
    }
}

} // namespace stampa
