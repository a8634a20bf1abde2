#include "common/controls/gridlayout.h"

#include "common/controls/dbgrid.h"
#include "common/text.h"
#include "db/dataset.h"

#include <QAction>
#include <QMenu>
#include <QPointer>

namespace ui {

namespace {

const QChar Sep = u'|';

// Step 1 of both operations: the Griglie query shows this computer's row of this grid.
void filtraRiga(db::Dataset& griglie, const QString& nomeComputer, const QString& nomeGriglia) {
    griglie.setFiltered(true);
    griglie.setFilter(FiltroGriglia(nomeComputer, nomeGriglia));
}

QString testo(const db::Dataset& ds, const QString& field) {
    const QVariant v = ds.value(field);
    return (!v.isValid() || v.isNull()) ? QString() : v.toString();
}

} // namespace

QString SqlGriglie(const QString& nomeComputer) {
    return QStringLiteral("select * from Griglie where NomeComputer ='") +
           common::QuotaFiltro(nomeComputer) + QStringLiteral("'");
}

QString FiltroGriglia(const QString& nomeComputer, const QString& nomeGriglia) {
    return QStringLiteral("NomeComputer = '") + common::QuotaFiltro(nomeComputer) +
           QStringLiteral("' and NomeGriglia = '") + common::QuotaFiltro(nomeGriglia) +
           QStringLiteral("'");
}

void SalvaGriglia(const QString& nomeGriglia, DBGrid& griglia, db::Dataset& griglie,
                  bool forzaPredefiniti, const QString& nomeComputer) {
    // 1. The row: a new one when this computer has none for this grid.
    filtraRiga(griglie, nomeComputer, nomeGriglia);
    if (griglie.recordCount() == 0) {
        griglie.setFilter(QString());
        griglie.append();
    } else {
        griglie.first();
        griglie.edit();
    }

    // 2. The three lists, in display order, every entry followed by "|".
    QString widths, fields, captions;
    const QList<GridColumn> cols = griglia.columns();
    for (const GridColumn& c : cols) {
        widths += QString::number(c.width) + Sep;
        fields += c.field + Sep;
        captions += c.title + Sep;
    }

    // 3. No columns: nothing is written (the row opened in step 1 is dropped again).
    if (widths.isEmpty()) {
        griglie.cancel();
        griglie.setFilter(QString());
        return;
    }

    try {
        // 4. The user layout.
        griglie.setValue(QStringLiteral("NomeGriglia"), nomeGriglia);
        griglie.setValue(QStringLiteral("CampiUtente"), fields);
        griglie.setValue(QStringLiteral("WidthUtente"), widths);
        griglie.setValue(QStringLiteral("NomeComputer"), nomeComputer);
        griglie.setValue(QStringLiteral("CaptionUtente"), captions);

        // 5. The default layout, when forced or still missing.
        if (forzaPredefiniti || griglie.isNull(QStringLiteral("CampiPredefiniti"))) {
            griglie.setValue(QStringLiteral("CampiPredefiniti"), fields);
            griglie.setValue(QStringLiteral("WidthPredefiniti"), widths);
            griglie.setValue(QStringLiteral("TotaleCampiPredefiniti"), qlonglong(cols.size()));
            griglie.setValue(QStringLiteral("CaptionPredefiniti"), captions);
        }

        // 6. Post, and show every row again.
        griglie.post();
    } catch (...) {
        griglie.cancel();
        griglie.setFilter(QString());
        throw;
    }
    griglie.setFilter(QString());
}

void CaricaGriglia(const QString& nomeGriglia, DBGrid& griglia, db::Dataset& griglie,
                   bool ripristinaPredefiniti, const QString& nomeComputer) {
    // 1. The row.
    filtraRiga(griglie, nomeComputer, nomeGriglia);

    // 2. First use on this computer: the design becomes both layouts.
    if (griglie.recordCount() == 0) {
        griglie.setFilter(QString());
        SalvaGriglia(nomeGriglia, griglia, griglie, true, nomeComputer);
        return;
    }
    griglie.first();

    // 3. A row that does not fit the grid's current columns is rewritten from them.
    const QVariant totale = griglie.value(QStringLiteral("TotaleCampiPredefiniti"));
    const qlonglong totaleCampi = (!totale.isValid() || totale.isNull()) ? 0 : totale.toLongLong();
    if (totaleCampi != griglia.columnCount() || griglie.isNull(QStringLiteral("WidthUtente")) ||
        griglie.isNull(QStringLiteral("CampiUtente"))) {
        griglie.setFilter(QString());
        SalvaGriglia(nomeGriglia, griglia, griglie, true, nomeComputer);
        return;
    }

    // 4. The three lists of the layout asked for.
    const QString suffix = ripristinaPredefiniti ? QStringLiteral("Predefiniti") : QStringLiteral("Utente");
    const QString widths = testo(griglie, QStringLiteral("Width") + suffix);
    const QString fields = testo(griglie, QStringLiteral("Campi") + suffix);
    const QString captions = testo(griglie, QStringLiteral("Caption") + suffix);
    // A layout the user saved wins over widths fitted to titles and contents; the design's
    // own layout does not.
    const bool disegno = ripristinaPredefiniti ||
                         (widths == testo(griglie, QStringLiteral("WidthPredefiniti")) &&
                          fields == testo(griglie, QStringLiteral("CampiPredefiniti")));

    // 5-6. The columns, entry by entry. A width entry that is not a decimal number stops
    // the load at that column: the column has been added with its field name, but gets
    // neither its width nor its caption.
    QList<GridColumn> built;
    bool failed = false;
    const int n = common::ContaToken(fields, Sep);
    for (int i = 1; i <= n; ++i) {
        GridColumn col;
        col.field = common::EstraiToken(fields, i, Sep);
        bool ok = false;
        const int width = common::EstraiToken(widths, i, Sep).toInt(&ok, 10);
        if (!ok) {
            col.title = QString();
            built << col;
            failed = true;
            break;
        }
        col.width = width;
        col.title = common::EstraiToken(captions, i, Sep);
        built << col;
    }
    griglia.setAutoFit(disegno && !failed);
    griglia.setColumns(built);
    griglie.setFilter(QString());

    // 7. A failed load stores the columns as they stand, as both layouts; the next load at
    // start-up finds the count changed and goes back to the design.
    if (failed) SalvaGriglia(nomeGriglia, griglia, griglie, true, nomeComputer);
}

// --- pop-up commands ------------------------------------------------------------------------

LayoutMenuNames LayoutMenuNames::trovaCap() {
    LayoutMenuNames n;
    n.elimina = QStringLiteral("eliminacolonna1");
    n.reset = QStringLiteral("ResetColonne1");
    n.eliminaCaption = QStringLiteral("Elimina colonna");
    n.resetCaption = QStringLiteral("Reset Colonne");
    return n;
}

LayoutMenuNames LayoutMenuNames::items(const QString& menu, const QString& salva,
                                       const QString& elimina, const QString& reset) {
    LayoutMenuNames n;
    n.menu = menu;
    n.salva = salva;
    n.elimina = elimina;
    n.reset = reset;
    return n;
}

void EliminaColonna(DBGrid& griglia) {
    const int c = griglia.selectedColumn();
    if (c >= 0) griglia.removeColumn(c);
}

void ResetGriglia(const QString& nomeGriglia, DBGrid& griglia, db::Dataset& griglie,
                  const QString& nomeComputer) {
    CaricaGriglia(nomeGriglia, griglia, griglie, true, nomeComputer);
    SalvaGriglia(nomeGriglia, griglia, griglie, false, nomeComputer);
}

LayoutActions addLayoutActions(QMenu& menu, DBGrid& griglia, const QString& nomeGriglia,
                               db::Dataset& griglie, const QString& nomeComputer,
                               const LayoutMenuNames& names) {
    QPointer<DBGrid> grid(&griglia);
    QPointer<db::Dataset> table(&griglie);
    LayoutActions a;
    a.salva = menu.addAction(names.salvaCaption);
    a.salva->setObjectName(names.salva);
    QObject::connect(a.salva, &QAction::triggered, &griglia, [=] {
        if (grid && table) SalvaGriglia(nomeGriglia, *grid, *table, false, nomeComputer);
    });
    a.elimina = menu.addAction(names.eliminaCaption);
    a.elimina->setObjectName(names.elimina);
    QObject::connect(a.elimina, &QAction::triggered, &griglia, [=] {
        if (grid) EliminaColonna(*grid);
    });
    a.reset = menu.addAction(names.resetCaption);
    a.reset->setObjectName(names.reset);
    QObject::connect(a.reset, &QAction::triggered, &griglia, [=] {
        if (grid && table) ResetGriglia(nomeGriglia, *grid, *table, nomeComputer);
    });
    return a;
}

QMenu* attachLayoutMenu(DBGrid& griglia, const QString& nomeGriglia, db::Dataset& griglie,
                        const QString& nomeComputer, const LayoutMenuNames& names) {
    auto* menu = new QMenu(&griglia);
    menu->setObjectName(names.menu);
    addLayoutActions(*menu, griglia, nomeGriglia, griglie, nomeComputer, names);
    griglia.setPopupMenu(menu);
    return menu;
}

} // namespace ui
