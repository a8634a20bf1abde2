// The main window on a real offscreen display: its bar, the start-up on activation, the
// history dates, "Lavora in Rete" and the help videos.

#include "app/shell/form1.h"
#include "app/shell/form_db.h"
#include "settings_support.h"
#include "support/files.h"

#include <QDesktopServices>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

class MainWindow : public ::testing::Test {
protected:
    QTemporaryDir home;
    ui::ScriptedDialogs dialogs;
    Tform_DB dm;
    TForm1 form{dm, home.path()};

    void start() {
        form.FormActivate();
        ASSERT_TRUE(form.avvioCompletato()) << dialogs.messages().join("\n").toStdString();
    }
    QLineEdit* mask(const char* name) { return form.findChild<QLineEdit*>(name); }
};

TEST_F(MainWindow, BarOpensOnPrintsAndAButtonComesAliveWhenWiredByItsName) {
    auto* bar = form.findChild<QTabWidget*>("pgcBarra");
    QStringList tabs;
    for (int i = 0; i < bar->count(); ++i) tabs << bar->tabText(i);
    EXPECT_EQ(tabs, (QStringList{"Archivio  ", "Attività", "Stampe  ", "  Storico  ", "Video"}));
    EXPECT_EQ(bar->currentIndex(), 2);
    EXPECT_EQ(form.windowTitle(), "Gestione attività Ginniche");
    EXPECT_FALSE(form.button("btnAlimenti")->isEnabled());
    int clicks = 0;
    form.wire("btnAlimenti", [&] { ++clicks; });
    ASSERT_TRUE(form.button("btnAlimenti")->isEnabled());
    form.button("btnAlimenti")->click();
    EXPECT_EQ(clicks, 1);
    // A name the window does not have fails, naming it.
    try {
        form.wire("btnAlimentii", [&] { ++clicks; });
        FAIL() << "an unknown button was wired";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "Il pulsante \"btnAlimentii\" non esiste nella finestra principale");
    }
}

TEST_F(MainWindow, DallaDataFillsAnEmptyAllaDataWithTheEndOfItsYear) {
    auto* from = mask("maskDa");
    auto* to = mask("maskA");
    from->setText("15032024");
    form.maskDaExit();
    EXPECT_EQ(to->text(), "31/12/2024");

    to->setText("01022025");
    from->setText("20052023");
    form.maskDaExit();
    EXPECT_EQ(to->text(), "01/02/2025") << "a filled Alla data keeps its date";

    to->clear();
    from->setText("1503");
    form.maskDaExit();
    EXPECT_EQ(to->text().remove('/').trimmed(), "") << "an incomplete date fills nothing";
}

TEST_F(MainWindow, ActivationStartsOnceAndLavoraInReteSwitchesDatabaseAndRemembersIt) {
    int started = 0;
    QObject::connect(&form, &TForm1::avviato, [&] { ++started; });
    start();
    form.FormActivate();
    EXPECT_EQ(started, 1);
    EXPECT_EQ(form.findChild<QPlainTextEdit*>("Memo1")->toPlainText().trimmed(), QDir(home.path()).filePath("archivio.db"));
    QTemporaryDir shared;
    const QString other = QDir(shared.path()).filePath("archivio.db");
    ASSERT_TRUE(QFile::copy(testing_support::templateDatabasePath(), other));
    {
        db::Connection c;
        c.open(other);
        c.execute("insert into anagraficaclienti (Cognome, Nome) values ('Remoto', 'Cliente')");
    }
    EXPECT_EQ(dm.Table1.recordCount(), 0);

    dialogs.files << QString(); // cancelled: nothing changes
    form.SpeedButton11Click();
    EXPECT_EQ(dm.Connessione.path(), QDir(home.path()).filePath("archivio.db"));

    dialogs.files << other;
    form.SpeedButton11Click();
    EXPECT_EQ(dm.Connessione.path(), other);
    EXPECT_EQ(dm.Table1.recordCount(), 1);
    EXPECT_EQ(dm.Table1.filter(), "Annullato = 0") << "filters survive the switch";
    EXPECT_EQ(testing_support::fileBytes(QDir(home.path()).filePath("percorso.txt")), other.toUtf8() + "\n");
    EXPECT_EQ(form.findChild<QPlainTextEdit*>("Memo1")->toPlainText(), other);

    // A file that is not a database: error, and the program stays on the one it had.
    const QString bad = QDir(shared.path()).filePath("rotto.db");
    testing_support::writeFile(bad, QByteArray(1000, 'x'));
    dialogs.files << bad;
    EXPECT_ANY_THROW(form.SpeedButton11Click());
    EXPECT_EQ(dm.Connessione.path(), other);
    EXPECT_TRUE(dm.Table1.isOpen());
}

TEST_F(MainWindow, VideosPlayLocallyWhenPresentElseFromTheWeb) {
    testing_support::UrlSink sink({"file", "https"});
    form.playVideo("Nessun_Video_Qui.mp4");
    ASSERT_EQ(sink.opened.size(), 1);
    EXPECT_TRUE(sink.opened[0].toString().endsWith("FilmatoLocale.php?Video=/Video/Nessun_Video_Qui.mp4"))
        << sink.opened[0].toString().toStdString();

    const QString local = QDir(QCoreApplication::applicationDirPath()).filePath("Prova_Locale.mp4");
    testing_support::writeFile(local, {});
    form.playVideo("Prova_Locale.mp4");
    QFile::remove(local);
    ASSERT_EQ(sink.opened.size(), 2);
    EXPECT_EQ(sink.opened[1], QUrl::fromLocalFile(local));
    EXPECT_TRUE(dialogs.messages().isEmpty());
    // A desktop without a browser (a handler that cannot open) is said, not ignored.
    QDesktopServices::setUrlHandler("https", &sink, "nessunBrowser");
    form.playVideo("Griglie.mp4");
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].contains("Griglie.mp4"));
}

// The launch's timer, the first activation and the one after the error box closes all ask
// for the start-up: a failure is shown once, and retried when the user comes back.
TEST_F(MainWindow, AFailedStartUpShowsItsErrorOnceUntilTheUserComesBack) {
    testing_support::writeFile(QDir(home.path()).filePath("percorso.txt"), QDir(home.path()).filePath("manca/archivio.db").toUtf8());
    form.FormActivate();
    QEvent activate(QEvent::WindowActivate), deactivate(QEvent::WindowDeactivate);
    QCoreApplication::sendEvent(&form, &activate);
    EXPECT_EQ(dialogs.messages().filter("archivio.db").size(), 1);
    QCoreApplication::sendEvent(&form, &deactivate);
    QCoreApplication::sendEvent(&form, &activate);
    EXPECT_EQ(dialogs.messages().filter("archivio.db").size(), 2);
}

} // namespace
