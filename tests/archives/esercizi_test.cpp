// Exercises: pictures fitted to the picture box (load, acquire, save, clear, resize all),
// unreadable or huge files, and the muscle group.

#include "archives_support.h"

#include "app/archives/immagini.h"
#include "common/controls/dbedits.h"

#include <QBuffer>
#include <QComboBox>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>

#ifdef VASTREL_HAS_SCANNER
#include "common/scanner/acquire.h"
#endif

using namespace archives_test;

namespace {

QImage pattern(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.fillRect(0, 0, w / 2, h, Qt::red);
    return img;
}

quint32 crc32(const QByteArray& data) {
    quint32 crc = 0xffffffffu;
    for (char ch : data) {
        crc ^= quint8(ch);
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QSize storedSize(const QVariant& bytes) { return QImage::fromData(bytes.toByteArray()).size(); }

class Exercises : public Archives {
protected:
    QTemporaryDir files;
    QString file(const QString& name) const { return files.filePath(name); }

    void SetUp() override {
        Archives::SetUp();
        other("delete * from Esercizi");
        other("delete * from GruppiMuscolari");
        other("insert into GruppiMuscolari (Descrizione) values ('Dorsali')");
        other("insert into GruppiMuscolari (Descrizione) values ('Pettorali')");
        other("insert into Esercizi (Descrizione, GruppoMuscolare_ID) values ('Panca piana', 2)");
        other("insert into Esercizi (Descrizione, GruppoMuscolare_ID) values ('Trazioni', 1)");
        other("insert into Esercizi (Descrizione) values ('Plank')");
        dm.TableGruppiMuscolari.requery();
        dm.TableEsercizi.requery();
    }
    TfrmEserciziDett& d() { return *a.frmEserciziDett; }
    // Opens the exercise named `name` and runs `inside`; Indietro afterwards.
    void open(const QString& name, std::function<void()> inside) {
        ASSERT_TRUE(dm.TableEsercizi.locate("Descrizione", name));
        when("frmEserciziDett", [&, inside](QDialog* w) {
            inside();
            click(w, "spdIndietro");
        });
        click(a.frmEsercizi, "spdAvanti");
    }
    QVariant picture(const QString& name) {
        return scalar(QStringLiteral("select Immagine from Esercizi where Descrizione = '%1'").arg(name));
    }
};

TEST(PictureBox, ProportionsRule) {
    struct Case {
        QSize picture, box, expected;
    };
    const Case cases[] = {
        {{640, 120}, {320, 240}, {320, 60}},   // twice (and more) as wide as the box: full width
        {{640, 240}, {320, 240}, {320, 120}},  // exactly twice as wide: half the height
        {{100, 400}, {320, 240}, {60, 240}},   // tall: full height
        {{320, 240}, {320, 240}, {320, 240}},  // same proportions: the height rule
        {{1000, 751}, {320, 240}, {319, 240}}, // integer part, not rounding
        {{12000, 9000}, {320, 240}, {320, 240}},
        {{100000, 1}, {320, 240}, {320, 1}},   // never a picture without height
        {{1, 100000}, {320, 240}, {1, 240}},
        {{0, 10}, {320, 240}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(immagini::misuraInScatola(c.picture, c.box), c.expected)
            << c.picture.width() << "x" << c.picture.height();
}

TEST_F(Exercises, LoadedPictureFillsTheBoxKeepingItsProportions) {
    ASSERT_TRUE(pattern(800, 200).save(file("largo.png")));
    ASSERT_TRUE(pattern(300, 600).save(file("ALTO.JPG"), "JPEG"));
    const QSize box = d().DBImage1->targetSize();
    open("Panca piana", [&] {
        dialogs.files = {file("largo.png")};
        d().Modificato = false;
        click(&d(), "Button6");
        EXPECT_TRUE(d().Modificato);
        EXPECT_EQ(dm.TableEsercizi.state(), db::Dataset::State::Edit);
    });
    const QSize wide = storedSize(picture("Panca piana"));
    EXPECT_EQ(wide, QSize(box.width(), box.width() * 200 / 800));
    EXPECT_LE(wide.height(), box.height() / 2);
    // Stored as PNG.
    EXPECT_TRUE(picture("Panca piana").toByteArray().startsWith("\x89PNG"));

    // An upper-case JPG is read as JPEG.
    open("Trazioni", [&] {
        dialogs.files = {file("ALTO.JPG")};
        click(&d(), "Button6");
    });
    EXPECT_EQ(storedSize(picture("Trazioni")), QSize(box.height() * 300 / 600, box.height()));
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(Exercises, UnreadableFilesChangeNothingAndSaySo) {
    ASSERT_TRUE(pattern(100, 100).save(file("buona.png")));
    QFile text(file("testo.jpg"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("questo non è un'immagine\n");
    text.close();
    QFile(file("vuoto.png")).open(QIODevice::WriteOnly);
    // A PNG announcing 30000 x 30000 pixels, with no pixels after the header.
    auto chunk = [](const QByteArray& type, const QByteArray& data) {
        QByteArray out;
        for (int i = 3; i >= 0; --i) out.append(char((quint32(data.size()) >> (8 * i)) & 0xff));
        const quint32 crc = crc32(type + data);
        out += type + data;
        for (int i = 3; i >= 0; --i) out.append(char((crc >> (8 * i)) & 0xff));
        return out;
    };
    QByteArray header;
    for (quint32 v : {30000u, 30000u}) for (int i = 3; i >= 0; --i) header.append(char((v >> (8 * i)) & 0xff));
    header.append("\x08\x02\x00\x00\x00", 5);
    const QByteArray png = QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("IDAT", {}) +
                           chunk("IEND", {});
    QFile big(file("enorme.png"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write(png);
    big.close();

    open("Panca piana", [&] {
        dialogs.files = {file("buona.png")};
        click(&d(), "Button6");
    });
    const QByteArray before = picture("Panca piana").toByteArray();
    ASSERT_FALSE(before.isEmpty());
    const std::pair<const char*, const char*> bad[] = {
        {"testo.jpg", "non contiene un'immagine"},
        {"vuoto.png", "vuoto"},
        {"enorme.png", "troppo grande"},
        {"manca.png", "non esiste"},
    };
    for (const auto& [name, why] : bad) {
        SCOPED_TRACE(name);
        dialogs.shown.clear();
        open("Panca piana", [&] {
            dialogs.files = {file(name)};
            d().Modificato = false;
            click(&d(), "Button6");
            EXPECT_FALSE(d().Modificato);
        });
        ASSERT_EQ(dialogs.messages().size(), 1);
        EXPECT_TRUE(dialogs.messages().first().contains(why)) << dialogs.messages().first().toStdString();
        EXPECT_EQ(dialogs.shown.last().caption, "Messaggio di errore");
        EXPECT_EQ(picture("Panca piana").toByteArray(), before);
    }
}

TEST_F(Exercises, HugeJpegIsReadScaledWithoutDecodingItWhole) {
    {
        QImage huge(12000, 9000, QImage::Format_Grayscale8);
        huge.fill(90);
        QImageWriter w(file("enorme.jpg"), "jpeg");
        w.setQuality(20);
        ASSERT_TRUE(w.write(huge));
    }
    const QSize box = d().DBImage1->targetSize();
    open("Plank", [&] {
        dialogs.files = {file("enorme.jpg")};
        click(&d(), "Button6");
    });
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_EQ(storedSize(picture("Plank")), immagini::misuraInScatola({12000, 9000}, box));
}

TEST_F(Exercises, SaveWritesJpegOrBitmapAndDoesNothingWithoutAPicture) {
    open("Plank", [&] { click(&d(), "Button8"); });
    for (const auto& s : dialogs.shown) EXPECT_NE(s.kind, "save"); // no dialog at all

    ASSERT_TRUE(pattern(200, 100).save(file("p.png")));
    open("Plank", [&] {
        dialogs.files = {file("p.png"), file("uscita.JPG"), file("uscita.bmp"), "/nessuna/cartella/x.jpg"};
        click(&d(), "Button6");
        click(&d(), "Button8");
        click(&d(), "Button8");
        click(&d(), "Button8");
    });
    QFile jpg(file("uscita.JPG")), bmp(file("uscita.bmp"));
    ASSERT_TRUE(jpg.open(QIODevice::ReadOnly));
    ASSERT_TRUE(bmp.open(QIODevice::ReadOnly));
    EXPECT_TRUE(jpg.read(3) == QByteArray("\xff\xd8\xff"));
    EXPECT_TRUE(bmp.read(2) == QByteArray("BM"));
    EXPECT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().value(0).startsWith("Impossibile salvare l'immagine"));
}

TEST_F(Exercises, ClearRemovesThePictureAndResizeAllStretchesEveryPicture) {
    ASSERT_TRUE(pattern(400, 100).save(file("p.png")));
    for (const char* name : {"Panca piana", "Trazioni"})
        open(name, [&] {
            dialogs.files = {file("p.png")};
            click(&d(), "Button6");
        });
    open("Trazioni", [&] {
        d().Modificato = false;
        click(&d(), "Button9");
        EXPECT_TRUE(d().Modificato);
    });
    EXPECT_TRUE(picture("Trazioni").isNull());

    const QSize box = d().DBImage1->targetSize();
    open("Plank", [&] {
        EXPECT_TRUE(d().Button1->isHidden());
        d().Button1Click();
        EXPECT_EQ(dm.TableEsercizi.value("Descrizione").toString(), "Plank");
    });
    EXPECT_EQ(storedSize(picture("Panca piana")), box);
    EXPECT_TRUE(picture("Trazioni").isNull()); // no blank picture for an exercise without one
    EXPECT_TRUE(picture("Plank").isNull());
}

TEST_F(Exercises, MuscleGroupChosenClearedAndEdited) {
    open("Plank", [&] {
        d().Modificato = false;
        auto* combo = d().DBLookupComboBox1;
        ASSERT_EQ(combo->count(), 2);
        Q_EMIT combo->activated(combo->findText("Dorsali"));
        EXPECT_TRUE(d().Modificato);
    });
    EXPECT_EQ(scalar("select GruppoMuscolare_ID from Esercizi where Descrizione = 'Plank'").toInt(), 1);

    open("Panca piana", [&] {
        d().Modificato = false;
        QTest::keyClick(d().DBLookupComboBox1, Qt::Key_Backspace);
        EXPECT_TRUE(d().Modificato);
    });
    EXPECT_TRUE(scalar("select GruppoMuscolare_ID from Esercizi where Descrizione = 'Panca piana'").isNull());

    // "....." edits the exercise's own group; the list of groups is read again after.
    when("frmGruppiMuscolariDett", [&](QDialog* g) {
        EXPECT_EQ(dm.TableGruppiMuscolari.value("Descrizione").toString(), "Dorsali");
        type(g, "DBEdit1", "Dorsali e trapezio");
        click(g, "spdIndietro");
    });
    open("Trazioni", [&] {
        click(&d(), "Button4");
        EXPECT_EQ(d().DBLookupComboBox1->currentText(), "Dorsali e trapezio");
    });
    EXPECT_EQ(execs("frmGruppiMuscolariDett"), 1);
    // Without a group there is nothing to edit.
    open("Panca piana", [&] { click(&d(), "Button4"); });
    EXPECT_EQ(execs("frmGruppiMuscolariDett"), 1);
    EXPECT_EQ(dialogs.messages(), QStringList{"L'esercizio non ha un gruppo muscolare da modificare"});
}

#ifdef VASTREL_HAS_SCANNER
TEST_F(Exercises, AcquiredPictureFromTheScannerIsFittedToTheBox) {
    // SANE's own test backend, one device (no choice to make).
    QTemporaryDir sane;
    auto write = [&](const char* name, const char* text) {
        QFile f(sane.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    };
    write("test.conf", "number_of_devices 1\n");
    const QByteArray previous = qgetenv("SANE_CONFIG_DIR");
    qputenv("SANE_CONFIG_DIR", sane.path().toLocal8Bit());
    // No device at all: nothing changes, nothing is said.
    write("dll.conf", "");
    resetAcquisition();
    open("Plank", [&] {
        d().Modificato = false;
        click(&d(), "Button7");
        EXPECT_FALSE(d().Modificato);
    });
    EXPECT_TRUE(picture("Plank").isNull());

    write("dll.conf", "test\n");
    resetAcquisition();
    const QSize box = d().DBImage1->targetSize();
    open("Plank", [&] { click(&d(), "Button7"); });
    resetAcquisition();
    qputenv("SANE_CONFIG_DIR", previous);
    const QSize stored = storedSize(picture("Plank"));
    ASSERT_TRUE(stored.isValid());
    EXPECT_TRUE(stored.width() == box.width() || stored.height() == box.height());
    EXPECT_LE(stored.width(), box.width());
    EXPECT_LE(stored.height(), box.height());
    EXPECT_TRUE(dialogs.messages().isEmpty());
}
#endif

} // namespace
