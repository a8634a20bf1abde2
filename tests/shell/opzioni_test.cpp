// The options window on a real database: SMTP checks, the encryption position, the export
// format, the documents folder, the logo, and a missing options row.

#include "app/shell/frmopzioni.h"
#include "common/controls/dbedits.h"
#include "saneconfig.h"
#include "settings_support.h"

#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QKeyEvent>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QApplication>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class Options : public ::testing::Test {
protected:
    testing_support::DataModule data;
    Tform_DB& dm = data.dm;
    ui::ScriptedDialogs dialogs;
    TfrmOpzioni window{dm};
    QTemporaryDir files;

    void SetUp() override { window.show(); }
    void reopen() {
        window.hide();
        window.show();
    }
    QString file(const QString& name) const { return files.filePath(name); }
    // A picture of w x h written by Qt in `format`, plus `tail` bytes after it.
    QString picture(const QString& name, const char* format, int w = 40, int h = 30,
                    const QByteArray& tail = {}) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(qRgb(200, 30, 30));
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        EXPECT_TRUE(image.save(&buffer, format));
        writeFile(name, bytes + tail);
        return file(name);
    }
    void writeFile(const QString& name, const QByteArray& bytes) {
        QFile f(file(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray logo() const { return dm.TableDitta.value("Logo").toByteArray(); }
    static QSize sizeOf(const QByteArray& bytes) { return QImage::fromData(bytes).size(); }
};

TEST_F(Options, EncryptionIsStoredAsItsPositionAndShownAgain) {
    const QStringList items{"SSLv2", "SSLv23", "SSLv3", "TLSv1"};
    for (int i = 0; i < window.cmbSmtpCriptaggioTipo->count(); ++i)
        EXPECT_EQ(window.cmbSmtpCriptaggioTipo->itemText(i), items[i]);
    for (int position : {3, 0, 2, 1}) {
        window.cmbSmtpCriptaggioTipo->setCurrentIndex(position);
        window.spdIndietroClick();
        EXPECT_EQ(window.result(), QDialog::Accepted);
        EXPECT_EQ(data.stored("select SmtpCriptaggioTipo from opzioni").toInt(), position);
        window.cmbSmtpCriptaggioTipo->setCurrentIndex(-1);
        reopen();
        EXPECT_EQ(window.cmbSmtpCriptaggioTipo->currentText(), items[position]);
    }
    // A stored value that is no position shows no item.
    data.tdb.connection().execute("update opzioni set SmtpCriptaggioTipo = 9");
    dm.TableOpzioni.requery();
    reopen();
    EXPECT_EQ(window.cmbSmtpCriptaggioTipo->currentIndex(), -1);
}

TEST_F(Options, AuthenticationNeedsUserAndPasswordBeforeLeaving) {
    window.PageControl1->setCurrentWidget(window.tabGenerale);
    window.DBCheckBox3->click(); // "Autenticazione Server Necessaria"
    ASSERT_TRUE(window.DBCheckBox3->isChecked());
    window.spdIndietroClick();
    EXPECT_EQ(dialogs.messages(), QStringList{"Attenzione inserire l'Username di autenticazione del Server !"});
    EXPECT_EQ(dialogs.shown.last().caption, "Messaggio di errore");
    EXPECT_TRUE(window.isVisible());
    EXPECT_NE(window.result(), QDialog::Accepted);
    EXPECT_EQ(window.PageControl1->currentWidget(), window.tabEmail);
    EXPECT_EQ(window.focusWidget(), window.DBEdit4);
    EXPECT_EQ(data.stored("select SmtpAutenticazioneServer from opzioni").toInt(), 0);

    QTest::keyClicks(window.DBEdit4, "segreteria");
    window.PageControl1->setCurrentWidget(window.tabGenerale);
    dialogs.shown.clear();
    window.spdIndietroClick();
    EXPECT_EQ(dialogs.messages(), QStringList{"Attenzione inserire la password di autenticazione del Server !"});
    EXPECT_EQ(window.PageControl1->currentWidget(), window.tabEmail);
    EXPECT_EQ(window.focusWidget(), window.DBEdit5);

    QTest::keyClicks(window.DBEdit5, "pw");
    dialogs.shown.clear();
    window.spdIndietroClick();
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(data.stored("select SmtpUserName from opzioni").toString(), "segreteria");
    EXPECT_EQ(data.stored("select SmtpPassword from opzioni").toString(), "pw");
    EXPECT_EQ(data.stored("select SmtpAutenticazioneServer from opzioni").toInt(), 1);
}

TEST_F(Options, EscapeSavesLikeIndietroAndKeepsTheChecks) {
    QTest::keyClicks(window.DBEdit2, "smtp.vastrel.it");
    window.DBCheckBox3->click();
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(dialogs.messages().size(), 1);
    window.DBCheckBox3->click();
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(data.stored("select SmtpHost from opzioni").toString(), "smtp.vastrel.it");
}

TEST_F(Options, EnterGoesFromTheFolderToThePasswordInAqua) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window, 2000));
    window.DBEdit23->setFocus();
    QTest::keyClick(window.DBEdit23, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), window.DBEdit1); // not onto the folder buttons
    EXPECT_EQ(window.DBEdit1->palette().color(QPalette::Base), QColor(0, 255, 255));
}

TEST_F(Options, ExportFormatCopiesNumberAndExtension) {
    ui::DBLookupComboBox* combo = window.DBLookupComboBox18;
    struct Case {
        const char* description;
        int numero;
        const char* estensione;
    };
    for (const Case& c : {Case{"HTML (pagina web)", 2, "html"}, Case{"PDF (documento Acrobat)", 3, "pdf"},
                          Case{"ODT (documento OpenDocument)", 4, "odt"}}) {
        const int row = combo->findText(c.description);
        ASSERT_GE(row, 0) << c.description;
        combo->activated(row);
        EXPECT_EQ(dm.TableOpzioni.value("TipoEsportazione").toInt(), c.numero);
        EXPECT_EQ(dm.TableOpzioni.value("EstensioneEsportazione").toString(), c.estensione);
    }
    window.spdIndietroClick();
    EXPECT_EQ(data.stored("select TipoEsportazione from opzioni").toInt(), 4);
    EXPECT_EQ(data.stored("select EstensioneEsportazione from opzioni").toString(), "odt");

    for (Qt::Key key : {Qt::Key_Backspace, Qt::Key_Delete}) {
        reopen();
        combo->activated(combo->findText("CSV (valori separati, foglio di calcolo)"));
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(combo, &press);
        EXPECT_TRUE(dm.TableOpzioni.isNull("TipoEsportazione"));
        EXPECT_TRUE(dm.TableOpzioni.isNull("EstensioneEsportazione"));
        EXPECT_EQ(combo->currentIndex(), -1);
        window.spdIndietroClick();
        EXPECT_FALSE(data.stored("select TipoEsportazione from opzioni").isValid());
        EXPECT_FALSE(data.stored("select EstensioneEsportazione from opzioni").isValid());
    }
}

TEST_F(Options, DocumentsFolderIsChosenOnlyWhenItExists) {
    QString start;
    window.cartellaIniziale = [&] { return files.filePath("archivio.db"); };
    dialogs.files << files.path();
    window.spdScegliCartellaClick();
    EXPECT_EQ(dm.TableOpzioni.value("CartellaEsportazioneDocumenti").toString(),
              QDir::toNativeSeparators(files.path()));
    EXPECT_EQ(window.DBEdit23->text(), QDir::toNativeSeparators(files.path()));
    dialogs.files << file("sparita"); // a folder that is not there
    window.spdScegliCartellaClick();
    window.spdScegliCartellaClick(); // cancelled
    EXPECT_EQ(dm.TableOpzioni.value("CartellaEsportazioneDocumenti").toString(),
              QDir::toNativeSeparators(files.path()));
    EXPECT_EQ(dialogs.shown.size(), 3);
    EXPECT_EQ(dialogs.shown[0].kind, "folder");
}

TEST_F(Options, OpenFolderNeedsAFolderThatIsThere) {
    testing_support::UrlSink desktop;
    window.DBEdit23->setText(QString());
    window.spdApriCartellaClick();
    EXPECT_EQ(dialogs.messages(), QStringList{"Attenzione manca la Cartella di Lavoro"});
    const QString missing = file("non_qui");
    dm.TableOpzioni.setValue("CartellaEsportazioneDocumenti", missing);
    window.spdApriCartellaClick();
    EXPECT_EQ(dialogs.messages().value(1),
              "la Cartella: " + missing + " non esiste più o non è raggiungibile!!!");
    EXPECT_EQ(dialogs.shown.value(1).caption, "Messaggio di errore");
    EXPECT_TRUE(desktop.opened.isEmpty());
    dm.TableOpzioni.setValue("CartellaEsportazioneDocumenti", files.path());
    window.spdApriCartellaClick();
    ASSERT_EQ(desktop.opened.size(), 1);
    EXPECT_EQ(desktop.opened[0], QUrl::fromLocalFile(files.path()));
    EXPECT_EQ(dialogs.messages().size(), 2);
}

TEST_F(Options, LogoFilesAreReadByTheirExtension) {
    // JPEG and PNG become a bitmap; the extension is read without regard to case.
    for (const QString& name : {picture("logo.jpg", "JPG"), picture("LOGO.JPEG", "JPG"),
                                picture("logo.png", "PNG"), picture("Logo.Jpeg", "JPG")}) {
        window.btnCancellaClick();
        ASSERT_TRUE(window.caricaLogo(name)) << dialogs.messages().join("\n").toStdString();
        EXPECT_TRUE(logo().startsWith("BM")) << name.toStdString();
        EXPECT_EQ(sizeOf(logo()), QSize(40, 30));
    }
    // A bitmap is stored as the file holds it, bytes after the picture included.
    const QString bmp = picture("FOTO.BMP", "BMP", 40, 30, QByteArray("coda"));
    QFile f(bmp);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    ASSERT_TRUE(window.caricaLogo(bmp));
    EXPECT_EQ(logo(), f.readAll());
    // "JPEG" in capitals picks the JPEG reader: PNG bytes under that name are refused.
    const QByteArray before = logo();
    EXPECT_FALSE(window.caricaLogo(picture("FINTO.JPEG", "PNG")));
    EXPECT_EQ(logo(), before);
    EXPECT_TRUE(dialogs.messages().value(0).startsWith("Impossibile leggere l'immagine"));
    // The file dialog offers the capital extensions too.
    dialogs.files << picture("CAMERA.JPG", "JPG", 64, 48);
    window.btnCaricaClick();
    EXPECT_TRUE(dialogs.shown.last().text.contains("*.JPEG"));
    EXPECT_EQ(sizeOf(logo()), QSize(64, 48));
    window.spdIndietroClick();
    EXPECT_EQ(sizeOf(data.stored("select Logo from Ditta").toByteArray()), QSize(64, 48));
}

TEST_F(Options, ALogoThatIsNoPictureLeavesTheLogoAlone) {
    ASSERT_TRUE(window.caricaLogo(picture("buono.png", "PNG")));
    const QByteArray before = logo();
    writeFile("testo.jpg", "questo non è un JPEG");
    writeFile("vuoto.png", QByteArray());
    writeFile("vuoto.bmp", QByteArray("BM"));
    for (const char* name : {"testo.jpg", "vuoto.png", "vuoto.bmp", "manca.png"}) {
        dialogs.shown.clear();
        EXPECT_FALSE(window.caricaLogo(file(name))) << name;
        ASSERT_EQ(dialogs.shown.size(), 1) << name;
        EXPECT_TRUE(dialogs.shown[0].text.startsWith("Impossibile leggere l'immagine " +
                                                     QDir::toNativeSeparators(file(name))));
        EXPECT_EQ(dialogs.shown[0].caption, "Messaggio di errore");
        EXPECT_EQ(logo(), before) << name;
    }
}

TEST_F(Options, AHugePictureIsReducedWithItsProportions) {
    {
        QImage huge(12000, 9000, QImage::Format_Grayscale8);
        huge.fill(128);
        ASSERT_TRUE(huge.save(file("enorme.jpg"), "JPG", 50));
    }
    ASSERT_TRUE(window.caricaLogo(file("enorme.jpg")));
    EXPECT_EQ(sizeOf(logo()), QSize(2048, 1536));
}

TEST_F(Options, LogoIsSavedAsJpegOnlyForAJpgName) {
    window.btnSalvaImmagineClick(); // no logo: nothing asked
    EXPECT_TRUE(dialogs.shown.isEmpty());
    ASSERT_TRUE(window.caricaLogo(picture("logo.png", "PNG")));
    struct Case {
        const char* chosen;
        const char* written;
        const char* format;
    };
    for (const Case& c : {Case{"copia.jpg", "copia.jpg", "jpeg"}, Case{"copia.bmp", "copia.bmp", "bmp"},
                          Case{"copia.JPEG", "copia.JPEG", "jpeg"}, Case{"senza", "senza.jpg", "jpeg"},
                          Case{"altro.png", "altro.png", "bmp"}}) {
        dialogs.files << file(c.chosen);
        window.btnSalvaImmagineClick();
        QImageReader reader(file(c.written));
        EXPECT_EQ(reader.format(), c.format) << c.chosen;
        EXPECT_EQ(reader.size(), QSize(40, 30)) << c.chosen;
    }
    EXPECT_TRUE(dialogs.messages().isEmpty());
    dialogs.files << file("manca/copia.jpg");
    window.btnSalvaImmagineClick();
    EXPECT_TRUE(dialogs.messages().value(0).startsWith("Impossibile salvare l'immagine"));
}

TEST_F(Options, ClearingTheLogoEmptiesTheColumn) {
    ASSERT_TRUE(window.caricaLogo(picture("logo.png", "PNG")));
    window.spdIndietroClick();
    ASSERT_TRUE(data.stored("select Logo from Ditta").isValid());
    reopen();
    window.btnCancellaClick();
    EXPECT_FALSE(window.DBImage1->hasPicture());
    window.spdIndietroClick();
    EXPECT_FALSE(data.stored("select Logo from Ditta").isValid());
}

TEST_F(Options, EditingTheLogoHandsABitmapToTheDesktop) {
    testing_support::UrlSink desktop;
    QTemporaryDir home;
    const QByteArray previous = qgetenv("VASTREL_HOME");
    qputenv("VASTREL_HOME", home.path().toLocal8Bit());
    window.btnModificaLogoClick(); // no logo yet: nothing to edit
    EXPECT_TRUE(desktop.opened.isEmpty());
    ASSERT_TRUE(window.caricaLogo(picture("logo.jpg", "JPG", 50, 20)));
    window.btnModificaLogoClick();
    qputenv("VASTREL_HOME", previous);
    const QString expected = QDir(home.path()).filePath("LogoVastrel.bmp");
    ASSERT_EQ(desktop.opened.size(), 1);
    EXPECT_EQ(desktop.opened[0], QUrl::fromLocalFile(expected));
    QImageReader reader(expected);
    EXPECT_EQ(reader.format(), "bmp");
    EXPECT_EQ(reader.size(), QSize(50, 20));
}

TEST_F(Options, AcquiredLogoComesFromTheScanner) {
    ASSERT_TRUE(testing_support::configureSaneTest(1, {"mode Color", "depth 8"}));
    window.btnAcquisisciClick();
    EXPECT_TRUE(logo().startsWith("BM"));
    EXPECT_EQ(sizeOf(logo()), QSize(157, 196));
    // No device: the logo stays and the user is told why nothing happened.
    ASSERT_TRUE(testing_support::configureSaneTest(0));
    const QByteArray before = logo();
    window.btnAcquisisciClick();
    EXPECT_EQ(logo(), before);
    EXPECT_EQ(dialogs.count("message"), 1);
    resetAcquisition();
}

TEST_F(Options, AMissingOptionsRowIsCreatedAndSaid) {
    window.hide();
    data.tdb.connection().execute("delete * from opzioni");
    data.tdb.connection().execute("delete * from Ditta");
    dm.TableOpzioni.requery();
    dm.TableDitta.requery();
    window.show();
    ASSERT_EQ(dialogs.messages().size(), 2);
    EXPECT_TRUE(dialogs.messages()[0].startsWith("Le opzioni del programma non erano presenti"));
    EXPECT_TRUE(dialogs.messages()[1].startsWith("I dati della ditta non erano presenti"));
    EXPECT_EQ(data.count("select ID from opzioni"), 1);
    EXPECT_EQ(data.count("select ID from Ditta"), 1);
    QTest::keyClicks(window.DBEdit1, "segreta");
    ASSERT_TRUE(window.caricaLogo(picture("logo.png", "PNG")));
    window.spdIndietroClick();
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(data.stored("select PasswordAmministratore from opzioni").toString(), "segreta");
    EXPECT_TRUE(data.stored("select Logo from Ditta").isValid());
    // Shown again, nothing is missing any more.
    reopen();
    EXPECT_EQ(dialogs.messages().size(), 2);
    EXPECT_EQ(data.count("select ID from opzioni"), 1);
}

} // namespace
