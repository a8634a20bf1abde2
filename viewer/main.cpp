// stampa: the report viewer. Started by the main program with no arguments; it reads this
// computer's print job from the database that percorso.txt names. With --report it writes
// that job itself and exports the report to PDF, with no screen needed.

#include "common/controls/application.h"
#include "common/controls/dialogs.h"
#include "viewer/anteprima.h"
#include "viewer/comando.h"
#include "viewer/form1.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QLocale>
#include <QTextStream>
#include <QTimer>
#include <cstring>

int main(int argc, char** argv) {
    QElapsedTimer avvio;
    avvio.start();
    // A scheduled export needs no screen, whatever the session offers; a run without any
    // screen starts all the same and says what it cannot do instead of aborting.
    bool senzaSchermo = qEnvironmentVariableIsEmpty("DISPLAY") &&
                        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    for (int i = 1; i < argc; ++i)
        if (!std::strncmp(argv[i], "--report", 8)) senzaSchermo = true;
    if (senzaSchermo && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    ui::Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Stampa"));
    QApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION_TEXT));
    QApplication::setApplicationDisplayName(QStringLiteral("Stampa"));

    QCommandLineParser args;
    args.setApplicationDescription(QStringLiteral(
        "Stampa: mostra, stampa o esporta il report richiesto da Vastrel.\n"
        "Senza opzioni legge il lavoro di stampa di questo computer (TempStampa).\n"
        "Con --report esporta in PDF senza finestre, per le esecuzioni pianificate:\n"
        "  stampa --report N [--filtro TESTO] --pdf PERCORSO\n"
        "Uscita: 0 file scritto per intero, 1 errore, 2 richiesta non valida."));
    args.addHelpOption();
    args.addVersionOption();
    const QCommandLineOption report(QStringLiteral("report"),
                                    QStringLiteral("Numero del report da esportare (1-23)."),
                                    QStringLiteral("N"));
    const QCommandLineOption filtro(
        QStringLiteral("filtro"),
        QStringLiteral("Condizione sulle colonne del report, per esempio \"[Citta] = 'Torino'\"."),
        QStringLiteral("TESTO"));
    const QCommandLineOption pdf(QStringLiteral("pdf"), QStringLiteral("File PDF da scrivere."),
                                 QStringLiteral("PERCORSO"));
    const QCommandLineOption id(QStringLiteral("id"),
                                QStringLiteral("Numero (ID) del cliente, o del collaboratore per "
                                               "il report 17, nei report di una sola scheda."),
                                QStringLiteral("ID"));
    const QCommandLineOption anno(QStringLiteral("anno"),
                                  QStringLiteral("Anno delle quietanze (report 21 e 22)."),
                                  QStringLiteral("AAAA"));
    const QCommandLineOption mostrata(
        QStringLiteral("exit-when-shown"),
        QStringLiteral("Termina appena la prima pagina è mostrata (misure)."));
    args.addOptions({report, filtro, pdf, id, anno, mostrata});
    QTextStream err(stderr);
    if (!args.parse(QApplication::arguments())) {
        err << "stampa: " << args.errorText() << Qt::endl;
        return stampa::UsoErrato;
    }
    if (args.isSet(QStringLiteral("help"))) args.showHelp();
    if (args.isSet(QStringLiteral("version"))) args.showVersion();

    // Automated runs answer messages on the console instead of waiting for a person, and so
    // does a run where no window could reach one.
    ui::ConsoleDialogs console;
    if (qEnvironmentVariableIsSet("VASTREL_NONINTERACTIVE") || !ui::screenAvailable())
        ui::setDialogs(&console);

    stampa::TForm1 Form1;
    if (args.isSet(report)) {
        ui::setDialogs(&console);
        stampa::RichiestaReport r;
        bool ok = false;
        r.numero = args.value(report).toInt(&ok);
        if (!ok) r.numero = 0;
        r.filtro = args.value(filtro);
        r.pdf = args.value(pdf);
        r.id = args.value(id);
        r.anno = args.value(anno);
        return stampa::eseguiReport(r, Form1, err);
    }
    switch (Form1.FormLoad()) {
    case stampa::TForm1::Esito::Mostrato:
        // Nobody would ever close a preview shown on no screen.
        if (!ui::screenAvailable() && !args.isSet(mostrata)) {
            err << "stampa: il report non può essere mostrato senza schermo; per esportarlo "
                   "usare stampa --report N --pdf PERCORSO"
                << Qt::endl;
            return stampa::Fallito;
        }
        break;
    case stampa::TForm1::Esito::Errore:
        return 1;
    default:
        return 0;
    }
    if (args.isSet(mostrata)) {
        QObject::connect(Form1.CRViewer1, &stampa::AnteprimaReport::pagineDisegnate, &app, [&] {
            QTextStream(stdout) << "prima pagina mostrata dopo " << avvio.elapsed() << " ms, "
                                << Form1.CRViewer1->numeroPagine() << " pagine\n";
            QTimer::singleShot(0, &app, &QApplication::quit);
        });
    }
    return app.exec();
}
