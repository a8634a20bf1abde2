#include "common/controls/dialogs.h"
#include "common/controls/formconventions.h"
#include "common/controls/icons.h"
#include "db/error.h"
#include "export/form1.h"
#include "export/form_db.h"

#include <QApplication>
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

int main(int argc, char** argv) {
    // Answered before any window system is needed.
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            std::printf("Uso: esportazioni\n\n"
                        "Esporta le colonne scelte di una delle tabelle di QueryCreazioneStampe,\n"
                        "con un filtro facoltativo, in un file csv (UTF-8, separatore ';') o xlsx.\n"
                        "Il database è quello indicato da percorso.txt nella cartella del programma\n"
                        "(o in $VASTREL_HOME).\n\n"
                        "  --help     mostra questo aiuto\n"
                        "  --version  mostra la versione\n");
            return 0;
        }
        if (!std::strcmp(argv[i], "--version") || !std::strcmp(argv[i], "-v")) {
            std::printf("esportazioni %s\n", VASTREL_VERSION);
            return 0;
        }
    }
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    Applicazione app(argc, argv);
    ui::FormConventions::nameEveryWindow(); // screen-reader names, as in the other programs
    ui::setProgramIcon(QStringLiteral("vastrel-esportazioni"));
    QApplication::setApplicationName(QStringLiteral("Esportazioni"));
    QApplication::setApplicationVersion(QStringLiteral(VASTREL_VERSION));

    esportazioni::Tform_DB form_DB;
    esportazioni::TForm1 Form1(form_DB);
    Form1.show();
    if (!Form1.FormActivate()) return 0;
    return app.exec();
}
