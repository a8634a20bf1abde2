// The options window on a real database: SMTP checks, the encryption position, the export
// format, the documents folder, the logo, and a missing options row.

#include "app/shell/frmopzioni.h"
#include "common/controls/dbedits.h"
#include "settings_support.h"
#include "support/env.h"
#include "support/files.h"
#include "support/saneconfig.h"

#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QImageReader>
#include <QKeyEvent>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QApplication>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

using testing_support::writeFile;

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
        writeFile(file(name), bytes + tail);
        return file(name);
    }
    QByteArray logo() const { return dm.TableDitta.value("Logo").toByteArray(); }
    static QSize sizeOf(const QByteArray& bytes) { return QImage::fromData(bytes).size(); }
};

TEST_F(Options, EncryptionIsStoredAsItsPositionAndShownAgain) {
    const QStringList items{"SSLv2", "SSLv23", "SSLv3", "TLSv1"};
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

TEST_F(Options, AuthenticationNeedsUserAndPasswordBeforeLeavingByIndietroOrEscape) {
    QTest::keyClicks(window.DBEdit2, "smtp.vastrel.it");
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
    QTest::keyClick(&window, Qt::Key_Escape); // Escape is Indietro, checks included
    EXPECT_EQ(dialogs.messages(), QStringList{"Attenzione inserire la password di autenticazione del Server !"});
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.PageControl1->currentWidget(), window.tabEmail);
    EXPECT_EQ(window.focusWidget(), window.DBEdit5);

    QTest::keyClicks(window.DBEdit5, "pw");
    dialogs.shown.clear();
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(testing_support::rows(data.tdb.connection(), "select SmtpHost, SmtpUserName, SmtpPassword, "
                                                           "SmtpAutenticazioneServer from opzioni"),
              (QList<QVariantList>{{"smtp.vastrel.it", "segreteria", "pw", true}}));
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
    const std::tuple<const char*, int, const char*> formats[] = {
        {"HTML (pagina web)", 2, "html"}, {"PDF (documento Acrobat)", 3, "pdf"}, {"ODT (documento OpenDocument)", 4, "odt"}};
    for (const auto& [description, numero, estensione] : formats) {
        const int row = combo->findText(description);
        ASSERT_GE(row, 0) << description;
        combo->activated(row);
        EXPECT_EQ(dm.TableOpzioni.value("TipoEsportazione").toInt(), numero);
        EXPECT_EQ(dm.TableOpzioni.value("EstensioneEsportazione").toString(), estensione);
    }
    window.spdIndietroClick();
    const QString stored = "select TipoEsportazione, EstensioneEsportazione from opzioni";
    EXPECT_EQ(testing_support::rows(data.tdb.connection(), stored), (QList<QVariantList>{{4LL, "odt"}}));

    for (Qt::Key key : {Qt::Key_Backspace, Qt::Key_Delete}) {
        reopen();
        combo->activated(combo->findText("CSV (valori separati, foglio di calcolo)"));
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(combo, &press);
        EXPECT_TRUE(dm.TableOpzioni.isNull("TipoEsportazione"));
        EXPECT_TRUE(dm.TableOpzioni.isNull("EstensioneEsportazione"));
        EXPECT_EQ(combo->currentIndex(), -1);
        window.spdIndietroClick();
        EXPECT_EQ(testing_support::rows(data.tdb.connection(), stored), (QList<QVariantList>{{QVariant(), QVariant()}}));
    }
}

TEST_F(Options, DocumentsFolderIsChosenAndOpenedOnlyWhenItIsThere) {
    testing_support::UrlSink desktop;
    window.DBEdit23->setText(QString());
    window.spdApriCartellaClick();
    EXPECT_EQ(dialogs.messages(), QStringList{"Attenzione manca la Cartella di Lavoro"});
    window.cartellaIniziale = [&] { return files.filePath("archivio.db"); };
    dialogs.files << files.path() << file("sparita"); // then a folder that is not there, then cancelled
    for (int i = 0; i < 3; ++i) window.spdScegliCartellaClick();
    EXPECT_EQ(dialogs.count("folder"), 3);
    const QString chosen = QDir::toNativeSeparators(files.path());
    EXPECT_EQ(dm.TableOpzioni.value("CartellaEsportazioneDocumenti").toString(), chosen);
    EXPECT_EQ(window.DBEdit23->text(), chosen);
    window.spdApriCartellaClick();
    ASSERT_EQ(desktop.opened.size(), 1);
    EXPECT_EQ(desktop.opened[0], QUrl::fromLocalFile(files.path()));

    const QString missing = file("non_qui");
    dm.TableOpzioni.setValue("CartellaEsportazioneDocumenti", missing);
    window.spdApriCartellaClick();
    EXPECT_EQ(dialogs.messages().last(), "la Cartella: " + missing + " non esiste più o non è raggiungibile!!!");
    EXPECT_EQ(dialogs.shown.last().caption, "Messaggio di errore");
    EXPECT_EQ(desktop.opened.size(), 1);
}

TEST_F(Options, LogoFilesAreReadByTheirExtensionAndAnythingElseLeavesTheLogoAlone) {
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
    ASSERT_TRUE(window.caricaLogo(bmp));
    EXPECT_EQ(logo(), testing_support::fileBytes(bmp));
    // "JPEG" in capitals picks the JPEG reader: PNG bytes under that name are refused, as is
    // anything that is no picture.
    picture("FINTO.JPEG", "PNG");
    writeFile(file("testo.jpg"), "questo non è un JPEG");
    writeFile(file("vuoto.png"), QByteArray());
    writeFile(file("vuoto.bmp"), QByteArray("BM"));
    const QByteArray before = logo();
    for (const char* name : {"FINTO.JPEG", "testo.jpg", "vuoto.png", "vuoto.bmp", "manca.png"}) {
        dialogs.shown.clear();
        EXPECT_FALSE(window.caricaLogo(file(name))) << name;
        ASSERT_EQ(dialogs.shown.size(), 1) << name;
        EXPECT_TRUE(dialogs.shown[0].text.startsWith("Impossibile leggere l'immagine " +
                                                     QDir::toNativeSeparators(file(name))));
        EXPECT_EQ(dialogs.shown[0].caption, "Messaggio di errore");
        EXPECT_EQ(logo(), before) << name;
    }
    // A huge picture is reduced with its proportions.
    {
        QImage huge(12000, 9000, QImage::Format_Grayscale8);
        huge.fill(128);
        ASSERT_TRUE(huge.save(file("enorme.jpg"), "JPG", 50));
    }
    ASSERT_TRUE(window.caricaLogo(file("enorme.jpg")));
    EXPECT_EQ(sizeOf(logo()), QSize(2048, 1536));
    // The file dialog offers the capital extensions too; the logo chosen is saved, and cleared.
    dialogs.files << picture("CAMERA.JPG", "JPG", 64, 48);
    window.btnCaricaClick();
    EXPECT_TRUE(dialogs.shown.last().text.contains("*.JPEG"));
    window.spdIndietroClick();
    EXPECT_EQ(sizeOf(data.stored("select Logo from Ditta").toByteArray()), QSize(64, 48));
    reopen();
    window.btnCancellaClick();
    EXPECT_FALSE(window.DBImage1->hasPicture());
    window.spdIndietroClick();
    EXPECT_FALSE(data.stored("select Logo from Ditta").isValid());
}

TEST_F(Options, TheLogoIsSavedAsJpegOnlyForAJpgNameAndEditedAsABitmap) {
    testing_support::UrlSink desktop;
    QTemporaryDir home;
    testing_support::ScopedEnv env("VASTREL_HOME", home.path().toLocal8Bit());
    window.btnSalvaImmagineClick(); // no logo: nothing asked, nothing to edit
    window.btnModificaLogoClick();
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_TRUE(desktop.opened.isEmpty());
    ASSERT_TRUE(window.caricaLogo(picture("logo.png", "PNG")));
    const std::tuple<const char*, const char*, const char*> saves[] = {
        {"copia.jpg", "copia.jpg", "jpeg"}, {"copia.bmp", "copia.bmp", "bmp"}, {"copia.JPEG", "copia.JPEG", "jpeg"},
        {"senza", "senza.jpg", "jpeg"},     {"altro.png", "altro.png", "bmp"}};
    for (const auto& [chosen, written, format] : saves) {
        dialogs.files << file(chosen);
        window.btnSalvaImmagineClick();
        QImageReader reader(file(written));
        EXPECT_EQ(reader.format(), format) << chosen;
        EXPECT_EQ(reader.size(), QSize(40, 30)) << chosen;
    }
    EXPECT_TRUE(dialogs.messages().isEmpty());
    dialogs.files << file("manca/copia.jpg");
    window.btnSalvaImmagineClick();
    EXPECT_TRUE(dialogs.messages().value(0).startsWith("Impossibile salvare l'immagine"));

    window.btnModificaLogoClick();
    const QString expected = QDir(home.path()).filePath("LogoVastrel.bmp");
    ASSERT_EQ(desktop.opened.size(), 1);
    EXPECT_EQ(desktop.opened[0], QUrl::fromLocalFile(expected));
    QImageReader reader(expected);
    EXPECT_EQ(reader.format(), "bmp");
    EXPECT_EQ(reader.size(), QSize(40, 30));
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
    for (const char* table : {"opzioni", "Ditta"}) data.tdb.connection().execute(QStringLiteral("delete * from ") + table);
    for (db::Dataset* q : {&dm.TableOpzioni, &dm.TableDitta}) q->requery();
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
