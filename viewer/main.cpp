// stampa: the report viewer. Started by the main program with no arguments; it reads this
// computer's print job from the database that percorso.txt names.

#include "common/controls/application.h"
#include "common/controls/dialogs.h"
#include "common/controls/icons.h"
#include "viewer/anteprima.h"
#include "viewer/form1.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QLocale>
#include <QTextStream>
#include <QTimer>

int main(int argc, char** argv) {
    QElapsedTimer avvio;
    avvio.start();
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    ui::Application app(argc, argv);
    ui::setProgramIcon(QStringLiteral("vastrel-stampa"));
    QApplication::setApplicationName(QStringLiteral("Stampa"));
    QApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION_TEXT));
    QApplication::setApplicationDisplayName(QStringLiteral("Stampa"));

    QCommandLineParser args;
    args.setApplicationDescription(
        QStringLiteral("Stampa: mostra, stampa o esporta il report richiesto da Vastrel"));
    args.addHelpOption();
    args.addVersionOption();
    QCommandLineOption mostrata(
        QStringLiteral("exit-when-shown"),
        QStringLiteral("Termina appena la prima pagina è mostrata (misure)."));
    args.addOption(mostrata);
    args.process(app);

    // Automated runs answer messages on the console instead of waiting for a person.
    ui::ConsoleDialogs console;
    if (qEnvironmentVariableIsSet("VASTREL_NONINTERACTIVE")) ui::setDialogs(&console);

    stampa::TForm1 Form1;
    switch (Form1.FormLoad()) {
    case stampa::TForm1::Esito::Mostrato:
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
