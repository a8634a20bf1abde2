#include "export/definizioni.h"

#include "common/text.h"
#include "db/connection.h"
#include "db/rowstore.h"

namespace esportazioni {

QString scriviPosizioni(const QList<int>& posizioni) {
    QString out;
    for (int p : posizioni) out += QString::number(p) + u' ';
    return out;
}

Posizioni leggiPosizioni(const QString& campi, int colonne) {
    Posizioni out;
    const int n = common::ContaToken(campi, u' ');
    for (int i = 1; i <= n; ++i) {
        const QString voce = common::EstraiToken(campi, i, u' ');
        if (voce.isEmpty()) continue; // two spaces in a hand-edited line
        bool ok = false;
        const int p = voce.toInt(&ok);
        if (ok && p >= 0 && p < colonne)
            out.valide.append(p);
        else
            out.scartate.append(voce);
    }
    return out;
}

namespace {

QString literal(const QString& text) {
    return u'\'' + common::QuotaFiltro(text) + u'\'';
}

} // namespace

long long salvaDefinizione(db::Connection& c, const QString& nome, const QString& tabella,
                           const QList<int>& posizioni) {
    db::Transaction tx(c);
    db::RowStore trovata;
    c.load(QStringLiteral("select ID from DatiReportTestata where NomeReport = ") + literal(nome),
           trovata);
    long long id = 0;
    if (trovata.rowCount() > 0) {
        id = trovata.integer(0, 0);
    } else {
        c.execute(QStringLiteral("insert into DatiReportTestata (NomeReport) values (") +
                  literal(nome) + u')');
        id = c.lastInsertId();
    }
    const QString ids = QString::number(id);
    c.execute(QStringLiteral("delete * from DatiReportRighe where TestataReport_ID = ") + ids);
    const QString insert = QStringLiteral(
        "insert into DatiReportRighe (TestataReport_ID, Campo, Valore, Ordinamento) values (");
    c.execute(insert + ids + QStringLiteral(", 'Tabella2', ") + literal(tabella) +
              QStringLiteral(", 0)"));
    c.execute(insert + ids + QStringLiteral(", 'Campi', ") + literal(scriviPosizioni(posizioni)) +
              QStringLiteral(", 1)"));
    tx.commit();
    return id;
}

Definizione leggiDefinizione(db::Connection& c, long long id) {
    Definizione d;
    const QString ids = QString::number(id);
    db::RowStore testata;
    c.load(QStringLiteral("select ID, NomeReport from DatiReportTestata where ID = ") + ids,
           testata);
    if (testata.rowCount() == 0) return d;
    d.id = id;
    d.nome = testata.value(0, 1).toString();
    db::RowStore righe;
    c.load(QStringLiteral("select Campo, Valore from DatiReportRighe where TestataReport_ID = ") +
               ids + QStringLiteral(" order by Ordinamento"),
           righe);
    for (int r = 0; r < righe.rowCount(); ++r) {
        const QString campo = righe.value(r, 0).toString();
        const QString valore = righe.value(r, 1).toString();
        if (campo == u"Tabella2" && !d.tabella) d.tabella = valore;
        else if (campo == u"Campi" && !d.campi) d.campi = valore;
    }
    return d;
}

void eliminaDefinizione(db::Connection& c, long long id) {
    const QString ids = QString::number(id);
    db::Transaction tx(c);
    c.execute(QStringLiteral("delete * from DatiReportRighe where TestataReport_ID = ") + ids);
    c.execute(QStringLiteral("delete * from DatiReportTestata where ID = ") + ids);
    tx.commit();
}

} // namespace esportazioni
