// The main window on a real offscreen display: its bar, the start-up on activation, the
// history dates, "Lavora in Rete" and the help videos.

#include "app/shell/form1.h"
#include "app/shell/form_db.h"
#include "common/controls/dialogs.h"
#include "support/tempdb.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

// Receives the addresses the window asks the desktop to open.
class UrlSink : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public Q_SLOTS:
    void open(const QUrl& url) { opened << url; }
};

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

TEST_F(MainWindow, BarHasItsTabsInOrderAndOpensOnPrints) {
    auto* bar = form.findChild<QTabWidget*>("pgcBarra");
    ASSERT_NE(bar, nullptr);
    QStringList tabs;
    for (int i = 0; i < bar->count(); ++i) tabs << bar->tabText(i);
    EXPECT_EQ(tabs, (QStringList{"Archivio  ", "Attività", "Stampe  ", "  Storico  ", "Video"}));
    EXPECT_EQ(bar->currentIndex(), 2);
    EXPECT_EQ(form.windowTitle(), "Gestione attività Ginniche");
    for (const char* name : {"btnClienti", "btnAlimenti", "SpeedButton13", "btnEsportazioni",
                             "btnStampeConteggioClienti", "BitBtn1"})
        EXPECT_NE(form.button(name), nullptr) << name;
    // A button comes alive only when its window is wired in.
    EXPECT_FALSE(form.button("btnAlimenti")->isEnabled());
    int clicks = 0;
    form.wire("btnAlimenti", [&] { ++clicks; });
    ASSERT_TRUE(form.button("btnAlimenti")->isEnabled());
    form.button("btnAlimenti")->click();
    EXPECT_EQ(clicks, 1);
}

TEST_F(MainWindow, ActivationRunsTheStartUpOnceAndShowsThePath) {
    int started = 0;
    QObject::connect(&form, &TForm1::avviato, [&] { ++started; });
    start();
    form.FormActivate();
    EXPECT_EQ(started, 1);
    EXPECT_EQ(form.findChild<QPlainTextEdit*>("Memo1")->toPlainText().trimmed(),
              QDir(home.path()).filePath("archivio.db"));
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

TEST_F(MainWindow, LavoraInReteSwitchesDatabaseAndRemembersIt) {
    start();
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
    QFile f(QDir(home.path()).filePath("percorso.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), other.toUtf8() + "\n");
    EXPECT_EQ(form.findChild<QPlainTextEdit*>("Memo1")->toPlainText(), other);

    // A file that is not a database: error, and the program stays on the one it had.
    const QString bad = QDir(shared.path()).filePath("rotto.db");
    {
        QFile b(bad);
        ASSERT_TRUE(b.open(QIODevice::WriteOnly));
        b.write(QByteArray(1000, 'x'));
    }
    dialogs.files << bad;
    EXPECT_ANY_THROW(form.SpeedButton11Click());
    EXPECT_EQ(dm.Connessione.path(), other);
    EXPECT_TRUE(dm.Table1.isOpen());
}

TEST_F(MainWindow, VideosPlayLocallyWhenPresentElseFromTheWeb) {
    UrlSink sink;
    QDesktopServices::setUrlHandler("file", &sink, "open");
    QDesktopServices::setUrlHandler("https", &sink, "open");
    form.playVideo("Nessun_Video_Qui.mp4");
    ASSERT_EQ(sink.opened.size(), 1);
    EXPECT_TRUE(sink.opened[0].toString().endsWith("FilmatoLocale.php?Video=/Video/Nessun_Video_Qui.mp4"))
        << sink.opened[0].toString().toStdString();

    const QString local = QDir(QCoreApplication::applicationDirPath()).filePath("Prova_Locale.mp4");
    QFile f(local);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    form.playVideo("Prova_Locale.mp4");
    QFile::remove(local);
    ASSERT_EQ(sink.opened.size(), 2);
    EXPECT_EQ(sink.opened[1], QUrl::fromLocalFile(local));
    QDesktopServices::unsetUrlHandler("file");
    QDesktopServices::unsetUrlHandler("https");
}

} // namespace

#include "form1_test.moc"

namespace {

// The launch's timer, the first activation and the one after the error box closes all ask
// for the start-up: a failure is shown once, and retried when the user comes back.
TEST_F(MainWindow, AFailedStartUpShowsItsErrorOnceUntilTheUserComesBack) {
    {
        QFile f(QDir(home.path()).filePath("percorso.txt"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(QDir(home.path()).filePath("manca/archivio.db").toUtf8()) > 0);
    }
    form.FormActivate();
    QEvent activate(QEvent::WindowActivate), deactivate(QEvent::WindowDeactivate);
    QCoreApplication::sendEvent(&form, &activate);
    EXPECT_EQ(dialogs.messages().filter("archivio.db").size(), 1);
    QCoreApplication::sendEvent(&form, &deactivate);
    QCoreApplication::sendEvent(&form, &activate);
    EXPECT_EQ(dialogs.messages().filter("archivio.db").size(), 2);
}

} // namespace
