// Typing in the search boxes of the registers: every keystroke refilters the shared query
// and repaints the grid. Drives the real windows offscreen: the municipalities list (about
// 7,900 rows) and the foods list filled to 10,000 rows.
//
//   archives_bench [database]     (default: $VASTREL_BENCH_DB, else bench/out/large.db,
//                                  else a new database)
// The database is copied into a temporary folder; the copy gets foods up to 10,000 rows.

#include "app/archives/install.h"
#include "app/archives/listform.h"
#include "app/archives/members.h"
#include "app/archives/comuni.h"
#include "app/shell/form_db.h"
#include "common/controls/dialogs.h"
#include "db/connection.h"
#include "programma.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr double kTargetMs = 30.0;

// Counts the grid's paints, so a keystroke is timed until the grid has been drawn again.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
};

void fillFoods(db::Connection& c, int wanted) {
    db::RowStore rows;
    c.load(QStringLiteral("select count(*) from Alimenti"), rows);
    int have = rows.rowCount() ? rows.value(0, 0).toInt() : 0;
    const char* const bases[] = {"Pane", "Pasta", "Riso", "Formaggio", "Latte", "Yogurt", "Mela", "Pera",
                                 "Arancia", "Carne", "Pollo", "Tacchino", "Salmone", "Tonno", "Merluzzo",
                                 "Uova", "Fagioli", "Ceci", "Lenticchie", "Patate", "Zucchine", "Carote",
                                 "Spinaci", "Biscotti", "Cioccolato", "Olio", "Burro", "Prosciutto",
                                 "Bresaola", "Noci", "Mandorle", "Farro", "Orzo", "Avena", "Miele"};
    const char* const kinds[] = {"integrale", "biologico", "fresco", "secco", "light", "al forno",
                                 "bollito", "crudo", "cotto", "in scatola", "surgelato", "di montagna",
                                 "dell'orto", "tipo 00", "extra", "magro", "intero", "con sale"};
    c.begin();
    for (int i = 0; have < wanted; ++i, ++have) {
        const QString name = QStringLiteral("%1 %2 n. %3")
                                 .arg(QString::fromLatin1(bases[i % std::size(bases)]),
                                      QString::fromLatin1(kinds[(i / std::size(bases)) % std::size(kinds)]))
                                 .arg(i / (std::size(bases) * std::size(kinds)) + 1);
        c.execute(QStringLiteral("insert into Alimenti (Descrizione, KC, [E%], ACQ, PRO, GRA, CAR, FIB) "
                                 "values ('%1', %2, 100, %3, 5, 3, 20, 2)")
                      .arg(QString(name).replace(u'\'', QStringLiteral("''")))
                      .arg(50 + i % 700)
                      .arg(i % 90));
    }
    c.commit();
}

struct Figures {
    double median = 0, p95 = 0, max = 0;
    int keystrokes = 0;
};

// Types each word letter by letter, then deletes it letter by letter: the widest refilters
// (back to every row) are among the timed keystrokes.
Figures typeWords(ArchiveListForm& form, const char* box, const QStringList& words, int rounds) {
    auto* edit = qobject_cast<QLineEdit*>(form.panel()->searchBox(QString::fromLatin1(box)));
    QWidget* viewport = form.grid()->viewport();
    PaintCounter counter;
    viewport->installEventFilter(&counter);
    std::vector<double> times;
    auto timed = [&](auto&& keystroke) {
        const int before = counter.paints;
        QElapsedTimer t;
        t.start();
        keystroke();
        QApplication::processEvents();
        if (counter.paints == before) viewport->repaint(); // drawn now, not later
        times.push_back(double(t.nsecsElapsed()) / 1e6);
    };
    for (int r = 0; r < rounds; ++r)
        for (const QString& word : words) {
            for (QChar ch : word) timed([&] { QTest::keyClick(edit, ch.toLatin1()); });
            for (int i = 0; i < word.size(); ++i) timed([&] { QTest::keyClick(edit, Qt::Key_Backspace); });
        }
    viewport->removeEventFilter(&counter);
    std::sort(times.begin(), times.end());
    Figures f;
    f.keystrokes = int(times.size());
    f.median = times[times.size() / 2];
    f.p95 = times[std::min(times.size() - 1, size_t(times.size() * 0.95))];
    f.max = times.back();
    return f;
}

void report(const char* what, int rows, const Figures& f) {
    std::printf("%-44s %6d rows  %4d keystrokes  median %6.2f ms  p95 %6.2f ms  max %6.2f ms  target <= %.0f ms  %s\n",
                what, rows, f.keystrokes, f.median, f.p95, f.max, kTargetMs, f.p95 <= kTargetMs ? "PASS" : "MISS");
}

} // namespace

int main(int argc, char** argv) {
    bench::preparaFinestre();
    QApplication app(argc, argv);
    ui::ConsoleDialogs quiet;
    ui::setDialogs(&quiet);

    QString source = argc > 1 ? QString::fromLocal8Bit(argv[1]) : qEnvironmentVariable("VASTREL_BENCH_DB");
    if (source.isEmpty() && QFile::exists(QStringLiteral("bench/out/large.db"))) source = QStringLiteral("bench/out/large.db");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("archivio.db"));
    if (!source.isEmpty()) {
        if (!QFile::copy(source, path)) {
            std::fprintf(stderr, "archives_bench: cannot copy %s\n", qPrintable(source));
            return 2;
        }
    } else {
        db::Connection::createDatabase(path);
    }
    std::printf("database: %s\n", source.isEmpty() ? "new" : qPrintable(source));
    {
        db::Connection c;
        c.open(path);
        fillFoods(c, 10000);
    }

    Tform_DB dm;
    bench::apriComeAllAvvio(dm, path);
    QWidget host;
    QElapsedTimer creation;
    creation.start();
    Archivi a = creaArchivi(dm, &host);
    std::printf("creating the 21 register windows: %.1f ms\n", double(creation.nsecsElapsed()) / 1e6);
    for (ArchiveListForm* form : {static_cast<ArchiveListForm*>(a.frmGrigliaComuni.data()),
                                  static_cast<ArchiveListForm*>(a.frmAlimenti.data())}) {
        form->resize(1280, 800);
        form->show();
        QApplication::processEvents();
    }
    const int rounds = 5;
    const Figures comuni = typeWords(*a.frmGrigliaComuni, "Edit2",
                                     {"San Giovanni", "Castel", "Monte", "Padova", "Reggio"}, rounds);
    report("municipalities, box \"Descrizione\" (Edit2)", dm.Table7.store().rowCount(), comuni);
    const Figures province = typeWords(*a.frmGrigliaComuni, "Edit4", {"PD", "MI", "RM"}, rounds);
    report("municipalities, box \"Provincia\" (Edit4)", dm.Table7.store().rowCount(), province);
    const Figures foods = typeWords(*a.frmAlimenti, "Edit1",
                                    {"Pasta integrale", "Formaggio", "Yogurt", "Pane"}, rounds);
    report("foods, box \"Descrizione\" (Edit1)", dm.TableAlimenti.store().rowCount(), foods);
    return 0;
}
