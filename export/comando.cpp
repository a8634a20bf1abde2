#include "export/comando.h"

#include "common/filterclause.h"
#include "common/paths.h"
#include "db/connection.h"
#include "db/error.h"
#include "export/definizioni.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace esportazioni {
namespace {

// The database of percorso.txt; false (and a message) when it cannot be opened.
bool apriArchivio(db::Connection& c, QTextStream& err) {
    const QString home = common::homeFolder();
    if (!QFileInfo::exists(QDir(home).filePath(common::PercorsoFileName.toString()))) {
        err << "esportazioni: Attenzione E' assente il file di configurazione percorso.txt in "
            << home << Qt::endl;
        return false;
    }
    c.open(common::locateDatabase(home, false).path);
    return true;
}

// ID and name of every definition, by name.
db::RowStore definizioni(db::Connection& c) {
    db::RowStore rs;
    c.load(QStringLiteral("select ID, NomeReport from DatiReportTestata order by NomeReport"), rs);
    return rs;
}

} // namespace

int elencaDefinizioni(QTextStream& out, QTextStream& err) {
    try {
        db::Connection c;
        if (!apriArchivio(c, err)) return Fallito;
        const db::RowStore rs = definizioni(c);
        for (int r = 0; r < rs.rowCount(); ++r)
            out << rs.value(r, 1).toString() << '\t'
                << leggiDefinizione(c, rs.integer(r, 0)).tabella.value_or(QString()) << '\n';
        out.flush();
        return Riuscito;
    } catch (const db::DatabaseError& e) {
        err << "esportazioni: " << e.text() << Qt::endl;
        return Fallito;
    }
}

int eseguiDefinizione(const RichiestaEsportazione& r, QTextStream& out, QTextStream& err) {
    const auto fallito = [&](const QString& testo, int stato = Fallito) {
        err << "esportazioni: " << testo << Qt::endl;
        return stato;
    };
    if (r.file.trimmed().isEmpty()) return fallito(QStringLiteral("manca il file da scrivere (--file)"), UsoErrato);
    const Formato formato = r.formato.value_or(
        r.file.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive) ? Formato::Xlsx : Formato::Csv);
    if (formato == Formato::Xlsx && !xlsxDisponibile())
        return fallito(QStringLiteral("il formato xlsx non è disponibile in questa installazione"));
    try {
        db::Connection c;
        if (!apriArchivio(c, err)) return Fallito;
        long long id = 0;
        QStringList nomi;
        const db::RowStore tutte = definizioni(c);
        for (int i = 0; i < tutte.rowCount(); ++i) {
            nomi << tutte.value(i, 1).toString();
            if (nomi.last().compare(r.definizione, Qt::CaseInsensitive) == 0) id = tutte.integer(i, 0);
        }
        if (id == 0)
            return fallito(QStringLiteral("l'esportazione \"%1\" non esiste; quelle salvate sono: %2")
                               .arg(r.definizione, nomi.isEmpty() ? QStringLiteral("nessuna")
                                                                  : nomi.join(QStringLiteral(", "))),
                           UsoErrato);
        const Definizione d = leggiDefinizione(c, id);
        db::RowStore sorgente;
        c.load(QStringLiteral("select Query from QueryCreazioneStampe where Descrizione = ?"),
               {d.tabella.value_or(QString())}, sorgente);
        if (!d.tabella || sorgente.rowCount() == 0)
            return fallito(QStringLiteral("la tabella \"%1\" dell'esportazione \"%2\" non è più "
                                          "presente").arg(d.tabella.value_or(QString()), d.nome));
        const QString query = sorgente.value(0, 0).toString();
        // The column list the main window ticks from, read the same way.
        const QStringList colonne = common::filterableColumns(c, query);
        const Posizioni p = leggiPosizioni(d.campi.value_or(QString()), int(colonne.size()));
        if (!p.scartate.isEmpty())
            return fallito(QStringLiteral("alcuni campi dell'esportazione \"%1\" non sono più "
                                          "presenti nella tabella (posizioni: %2)")
                               .arg(d.nome, p.scartate.join(QStringLiteral(", "))));
        QStringList spuntati;
        for (int i : p.valide) spuntati << colonne[i];
        if (spuntati.isEmpty()) return fallito(QStringLiteral("seleziona i campi da esportare !"));
        const QString filtro =
            r.filtro.trimmed().isEmpty() ? QString() : QStringLiteral(" Where (") + r.filtro + u')';
        Esportazione e(c, QStringLiteral("Select * from (") + query + u')' + filtro, spuntati);
        // An empty month still gives its file, with the header alone.
        if (e.vuota()) err << "esportazioni: recordset vuoto ! (scritta solo l'intestazione)" << Qt::endl;
        const qint64 righe = e.scrivi(r.file, formato);
        out << "Scritte " << righe << " righe in " << QFileInfo(r.file).absoluteFilePath() << Qt::endl;
        return Riuscito;
    } catch (const ErroreFile& e) {
        return fallito(e.testo());
    } catch (const db::DatabaseError& e) {
        return fallito(e.text());
    }
}

} // namespace esportazioni
