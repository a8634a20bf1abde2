#include "common/controls/application.h"

#include "common/controls/dialogs.h"
#include "common/controls/formconventions.h"
#include "common/controls/help.h"
#include "db/error.h"

#include <QDebug>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace ui {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    loadQtTranslations();
    help().installF1();
    FormConventions::nameEveryWindow();
}

bool loadQtTranslations() {
    // "qt_it" gathers the translations of every Qt module the programs use.
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qt"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        qWarning("Traduzioni italiane di Qt non trovate: finestre standard in inglese");
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

QString Application::errorText(const std::exception& e) {
    if (auto* de = dynamic_cast<const db::DatabaseError*>(&e)) return de->text();
    return QString::fromLocal8Bit(e.what());
}

void Application::showError(const QString& text) {
    // An error raised while its own message is being shown (a paint handler failing again
    // behind the box) is only logged, so the boxes do not pile up.
    static bool showing = false;
    if (showing) {
        qWarning().noquote() << "Errore:" << text;
        return;
    }
    showing = true;
    try {
        dialogs().message(QApplication::activeWindow(), text, QStringLiteral("Errore"), MessageIcon::Error);
    } catch (...) {
        qWarning().noquote() << "Errore:" << text;
    }
    showing = false;
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        showError(errorText(e));
    } catch (...) {
        showError(QStringLiteral("Errore sconosciuto"));
    }
    return false;
}

} // namespace ui
