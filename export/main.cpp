#include "common/controls/application.h"
#include "common/controls/dialogs.h"
#include "common/controls/formconventions.h"
#include "db/error.h"
#include "export/comando.h"
#include "export/form1.h"
#include "export/form_db.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>
#include <QLocale>
#include <cstdio>
#include <cstring>

namespace {

// Last line of defence: an error no window caught is shown, and the tool stays open.
class Applicazione : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const db::DatabaseError& e) {
            ui::dialogs().message(nullptr, e.text(), QStringLiteral("Messaggio di errore"),
                                  ui::MessageIcon::Error);
        } catch (const std::exception& e) {
            ui::dialogs().message(nullptr, QString::fromLocal8Bit(e.what()),
                                  QStringLiteral("Messaggio di errore"), ui::MessageIcon::Error);
        }
        return false;
    }
};

} // namespace

namespace {

const char* const Aiuto =
    "Uso: esportazioni\n"
    "     esportazioni --elenco\n"
    "     esportazioni --definizione NOME --file PERCORSO [--formato csv|xlsx] [--filtro TESTO]\n"
    "\n"
    "Esporta le colonne scelte di una delle tabelle di QueryCreazioneStampe,\n"
    "con un filtro facoltativo, in un file csv (UTF-8, separatore ';') o xlsx.\n"
    "Il database è quello indicato da percorso.txt nella cartella del programma\n"
    "(o in $VASTREL_HOME). Senza opzioni apre la finestra \"Esportazioni\".\n\n"
    "  --elenco               elenca le esportazioni salvate (nome, tabulazione, tabella)\n"
    "  --definizione NOME     esegue l'esportazione salvata con quel nome, senza finestre\n"
    "  --file PERCORSO        il file da scrivere (sostituito se esiste)\n"
    "  --formato csv|xlsx     il formato; se manca, xlsx per un file .xlsx, altrimenti csv\n"
    "  --filtro TESTO         condizione sulle colonne, per esempio \"[Importo] >= 50\"\n"
    "  --help                 mostra questo aiuto\n"
    "  --version              mostra la versione\n\n"
    "Uscita: 0 file scritto per intero, 1 errore, 2 richiesta non valida\n"
    "(per esempio un'esportazione che non esiste).\n";

// The command line, without windows; the exit status.
int senzaFinestre(int argc, char** argv) {
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Esportazioni"));
    QTextStream out(stdout), err(stderr);
    QCommandLineParser args;
    const QCommandLineOption elenco(QStringLiteral("elenco"));
    const QCommandLineOption definizione(QStringLiteral("definizione"), QString(), QStringLiteral("NOME"));
    const QCommandLineOption file(QStringLiteral("file"), QString(), QStringLiteral("PERCORSO"));
    const QCommandLineOption formato(QStringLiteral("formato"), QString(), QStringLiteral("csv|xlsx"));
    const QCommandLineOption filtro(QStringLiteral("filtro"), QString(), QStringLiteral("TESTO"));
    args.addOptions({elenco, definizione, file, formato, filtro});
    if (!args.parse(QCoreApplication::arguments()) || !args.positionalArguments().isEmpty()) {
        err << "esportazioni: "
            << (args.errorText().isEmpty() ? QStringLiteral("argomento non previsto: ") +
                                                 args.positionalArguments().join(u' ')
                                           : args.errorText())
            << "\n\n" << Aiuto;
        return esportazioni::UsoErrato;
    }
    if (args.isSet(elenco)) return esportazioni::elencaDefinizioni(out, err);
    esportazioni::RichiestaEsportazione r;
    r.definizione = args.value(definizione);
    r.file = args.value(file);
    r.filtro = args.value(filtro);
    if (args.isSet(formato)) {
        const QString f = args.value(formato).toLower();
        if (f == u"csv") r.formato = esportazioni::Formato::Csv;
        else if (f == u"xlsx") r.formato = esportazioni::Formato::Xlsx;
        else {
            err << "esportazioni: formato non previsto: " << f << " (csv o xlsx)" << Qt::endl;
            return esportazioni::UsoErrato;
        }
    }
    return esportazioni::eseguiDefinizione(r, out, err);
}

} // namespace

int main(int argc, char** argv) {
    // Answered before any window system is needed.
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            std::fputs(Aiuto, stdout);
            return 0;
        }
        if (!std::strcmp(argv[i], "--version") || !std::strcmp(argv[i], "-v")) {
            std::printf("esportazioni %s\n", VASTREL_VERSION);
            return 0;
        }
    }
    for (int i = 1; i < argc; ++i)
        if (!std::strncmp(argv[i], "--elenco", 8) || !std::strncmp(argv[i], "--definizione", 13))
            return senzaFinestre(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    Applicazione app(argc, argv);
    ui::loadQtTranslations();
    ui::FormConventions::nameEveryWindow(); // screen-reader names, as in the other programs
    QApplication::setApplicationName(QStringLiteral("Esportazioni"));
    QApplication::setApplicationVersion(QStringLiteral(VASTREL_VERSION));

    esportazioni::Tform_DB form_DB;
    esportazioni::TForm1 Form1(form_DB);
    Form1.show();
    if (!Form1.FormActivate()) return 0;
    return app.exec();
}
