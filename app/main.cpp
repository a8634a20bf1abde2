// vastrel: the main program.

#include "app/install.h"
#include "app/shell/form1.h"
#include "app/shell/form_db.h"
#include "common/controls/application.h"
#include "common/controls/dialogs.h"
#include "common/controls/help.h"
#include "common/controls/icons.h"
#include "common/paths.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QLocale>
#include <QLockFile>
#include <QPainter>
#include <QSplashScreen>
#include <QStandardPaths>
#include <QTextStream>
#include <QTimer>

namespace {

QPixmap splashPicture() {
    QPixmap pm(420, 220);
    pm.fill(QColor(0x1f, 0x4e, 0x79));
    QPainter p(&pm);
    p.setPen(Qt::white);
    QFont big = p.font();
    big.setPointSize(30);
    big.setBold(true);
    p.setFont(big);
    p.drawText(QRect(0, 40, 420, 80), Qt::AlignCenter, QStringLiteral("Vastrel"));
    QFont small = p.font();
    small.setPointSize(12);
    small.setBold(false);
    p.setFont(small);
    p.drawText(QRect(0, 140, 420, 40), Qt::AlignCenter, QStringLiteral("sto Caricando..."));
    return pm;
}

// One instance per home folder (the database set a front desk works on).
QString lockPath(const QString& home) {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    const QByteArray hash = QCryptographicHash::hash(QDir(home).absolutePath().toUtf8(),
                                                     QCryptographicHash::Sha1).toHex().left(12);
    return QDir(dir).filePath(QStringLiteral("vastrel-") + QString::fromLatin1(hash) + QStringLiteral(".lock"));
}

} // namespace

int main(int argc, char** argv) {
    QElapsedTimer launched;
    launched.start();
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    ui::Application app(argc, argv); // shows an escaping error and goes on; F1 opens help
    ui::setProgramIcon(QStringLiteral("vastrel"));
    QApplication::setApplicationName(QStringLiteral("Vastrel"));
    QApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION_TEXT));
    QApplication::setApplicationDisplayName(QStringLiteral("Vastrel"));

    QCommandLineParser args;
    args.setApplicationDescription(QStringLiteral("Vastrel: gestione di palestre e centri fitness"));
    args.addHelpOption();
    args.addVersionOption();
    QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                  QStringLiteral("Salva un'immagine della finestra principale e termina."),
                                  QStringLiteral("file"));
    QCommandLineOption whenReady(QStringLiteral("exit-when-ready"),
                                 QStringLiteral("Termina appena la finestra principale è pronta (misure)."));
    args.addOption(screenshot);
    args.addOption(whenReady);
    args.process(app);

    // Automated runs answer messages on the console instead of waiting for a person.
    ui::ConsoleDialogs console;
    if (qEnvironmentVariableIsSet("VASTREL_NONINTERACTIVE")) ui::setDialogs(&console);

    const QString home = common::homeFolder();
    QLockFile lock(lockPath(home));
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0)) {
        ui::dialogs().message(nullptr, QStringLiteral("Vastrel e' già in esecuzione"),
                              QStringLiteral("Messaggio di Avviso !"), ui::MessageIcon::Warning);
        return 1;
    }

    QSplashScreen splash(splashPicture());
    splash.setObjectName(QStringLiteral("SplashForm"));
    splash.show();
    app.processEvents();

    Tform_DB dm;
    TForm1 form1(dm, home);
    // A window that cannot be wired is a broken build: say so and stop rather than run a
    // program with dead buttons.
    try {
        installModules(form1, dm);
    } catch (const std::exception& e) {
        splash.close();
        ui::Application::showError(ui::Application::errorText(e));
        return 2;
    }

    // --exit-when-ready and --screenshot act once the start-up is done, which may happen
    // before the event loop runs (the first activation can come while the splash waits).
    bool ready = false;
    bool looping = false;
    auto finishRun = [&] {
        if (args.isSet(screenshot)) form1.grab().save(args.value(screenshot));
        if (looping) QApplication::exit(0);
    };
    QObject::connect(&form1, &TForm1::avviato, &form1, [&] {
        ready = true;
        if (args.isSet(whenReady))
            QTextStream(stdout) << "ready after " << launched.elapsed() << " ms\n";
        if (args.isSet(whenReady) || args.isSet(screenshot))
            QTimer::singleShot(args.isSet(screenshot) ? 300 : 0, &form1, finishRun);
    });

    // Show the main window first: finish() waits until that window is on screen.
    form1.show();
    splash.finish(&form1);
    form1.activateWindow();
    // Some platforms never report the activation of the first window: start anyway.
    QTimer::singleShot(0, &form1, [&] { form1.FormActivate(); });
    if (ready && args.isSet(whenReady) && !args.isSet(screenshot)) return 0;
    looping = true;
    return app.exec();
}
