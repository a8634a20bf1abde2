// The client list on the large database (10,000 clients), offscreen on the real window:
// opening it, typing in its search boxes, scrolling the coloured grid from top to bottom, and
// exporting every client to vCard. Each figure beside a reference of the same run.
//
//   clients_bench [database]   (default: $VASTREL_BENCH_DB, else bench/out/large.db)

#include "app/archives/clienti.h"
#include "app/archives/install.h"
#include "app/clients/clientidett.h"
#include "app/clients/install.h"
#include "app/timetable/install.h"
#include "app/shell/form_db.h"
#include "common/controls/dialogs.h"
#include "db/dataset.h"
#include "programma.h"
#include "timing.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using bench::ms;

// Repaints the grid page by page from the top to the bottom; the time of the whole scroll.
double scroll(ui::DBGrid* grid) {
    QScrollBar* bar = grid->verticalScrollBar();
    QElapsedTimer t;
    t.start();
    for (int v = 0; v <= bar->maximum(); v += std::max(1, bar->pageStep())) {
        bar->setValue(v);
        grid->viewport()->repaint();
    }
    return ms(t);
}

} // namespace

int main(int argc, char** argv) {
    bench::preparaFinestre();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = bench::copiaDatabase(argc, argv, dir, "clients_bench");
    if (path.isEmpty()) return 2;
    ui::ScriptedDialogs dialogs;
    dialogs.onExec = [](QDialog*) {};
    Tform_DB dm;
    bench::apriComeAllAvvio(dm, path);
    QWidget host;
    Archivi a = creaArchivi(dm, &host);
    TfrmClienti& form = *a.frmClienti;
    ClientiPanel& list = *form.clienti();
    form.resize(1280, 800);
    std::printf("%d clients\n", dm.Table1.store().rowCount());

    // --- opening: the register shown on every client, as the list's search leaves it.
    std::vector<double> opening;
    for (int i = 0; i < 5; ++i) {
        form.hide();
        dm.Table1.setFilter(QStringLiteral("Annullato = 0"));
        QElapsedTimer t;
        t.start();
        list.svuotaRicerca();
        form.show();
        QApplication::processEvents();
        opening.push_back(ms(t));
    }
    std::printf("%-52s median %7.2f ms | target <= 30 ms %s\n", "opening the list (filter, first paint)",
                bench::summarise(opening).median, bench::summarise(opening).median <= 30 ? "PASS" : "MISS");

    // --- each keystroke in the surname box, until the grid is painted again.
    std::vector<double> keys;
    auto* edit1 = qobject_cast<QLineEdit*>(list.searchBox(QStringLiteral("Edit1")));
    for (const char* word : {"Rossi", "Bianchi", "D'Angelo", "Esposito", "Romano"})
        for (int round = 0; round < 3; ++round) {
            for (const char* c = word; *c; ++c) {
                QElapsedTimer t;
                t.start();
                edit1->setText(edit1->text() + QLatin1Char(*c));
                list.grid()->viewport()->repaint();
                keys.push_back(ms(t));
            }
            while (!edit1->text().isEmpty()) {
                QElapsedTimer t;
                t.start();
                edit1->setText(edit1->text().chopped(1));
                list.grid()->viewport()->repaint();
                keys.push_back(ms(t));
            }
        }
    const bench::Times k = bench::summarise(keys);
    std::printf("%-52s median %7.2f ms  p95 %7.2f ms (%zu keys) | target <= 30 ms %s\n",
                "a keystroke in \"Cognome\", grid repainted", k.median, k.p95, keys.size(), k.p95 <= 30 ? "PASS" : "MISS");

    // --- a full scroll of the coloured grid, beside the same grid without colours.
    const double coloured = scroll(list.grid());
    auto styler = std::function<void(ui::CellStyle&)>();
    list.grid()->setCellStyler(styler);
    const double plain = scroll(list.grid());
    const int pages = list.grid()->verticalScrollBar()->maximum() / std::max(1, list.grid()->verticalScrollBar()->pageStep()) + 1;
    std::printf("%-52s %8.1f ms (%d pages, %.2f ms a page) | without colours %8.1f ms\n",
                "scrolling the whole list, coloured", coloured, pages, coloured / pages, plain);

    // --- the client record opened on a client: its five lists read for it, shown, closed.
    {
        Orari orari = creaOrari(dm, &host);
        TfrmClientiDett* record = creaSchedaClienti(dm, a, orari, &host);
        record->resize(1280, 800);
        dm.Table1.setFilter(QString());
        dialogs.when(QStringLiteral("frmClientiDett"), [](QDialog* d) { QApplication::processEvents(); d->done(QDialog::Accepted); });
        std::vector<double> opens;
        for (int i = 0; i < 30; ++i) {
            dm.Table1.setPosition(i * 311 % dm.Table1.recordCount());
            QElapsedTimer t;
            t.start();
            record->apri(false);
            opens.push_back(bench::ms(t));
        }
        const bench::Times o = bench::summarise(opens);
        std::printf("%-52s median %7.2f ms  p95 %7.2f ms | target <= 100 ms %s\n",
                    "opening the client record (five lists read)", o.median, o.p95, o.p95 <= 100 ? "PASS" : "MISS");
    }

    // --- every client exported to vCard, the file written.
    list.SelezionaTutti1Click();
    dialogs.files = {dir.filePath(QStringLiteral("tutti.vcf"))};
    QElapsedTimer t;
    t.start();
    list.btEsportaVCardClick();
    const double exported = ms(t);
    std::printf("%-52s %8.1f ms (%d clients, %.1f MB) | target <= 2000 ms %s\n", "exporting every client to vCard",
                exported, list.grid()->selectedRowCount(),
                double(QFile(dir.filePath(QStringLiteral("tutti.vcf"))).size()) / 1e6, exported <= 2000 ? "PASS" : "MISS");
    return 0;
}
