// Exercises: pictures fitted to the picture box, and the muscle group.

#include "archives_support.h"

#include "app/archives/immagini.h"
#include "common/controls/dbedits.h"
#include "common/scanner/acquire.h"
#include "support/files.h"
#include "support/saneconfig.h"

#include <QImageWriter>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>

using namespace archives_test;

namespace {

QImage pattern(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.fillRect(0, 0, w / 2, h, Qt::red);
    return img;
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
        other("insert into GruppiMuscolari (ID, Descrizione) values (1, 'Dorsali')");
        other("insert into GruppiMuscolari (ID, Descrizione) values (2, 'Pettorali')");
        for (const char* e : {"'Panca piana', 2", "'Trazioni', 1", "'Plank', Null"})
            other(QStringLiteral("insert into Esercizi (Descrizione, GruppoMuscolare_ID) values (%1)").arg(e));
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
        {{1, 100000}, {320, 240}, {1, 240}}, {{0, 10}, {320, 240}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(immagini::misuraInScatola(c.picture, c.box), c.expected)
            << c.picture.width() << "x" << c.picture.height();
}

TEST_F(Exercises, LoadedPictureFillsTheBoxKeepingItsProportionsAndIsStoredAsPng) {
    ASSERT_TRUE(pattern(800, 200).save(file("largo.png")));
    ASSERT_TRUE(pattern(300, 600).save(file("ALTO.JPG"), "JPEG")); // upper case still JPEG
    {
        // Read scaled, never decoded whole.
        QImage huge(12000, 9000, QImage::Format_Grayscale8);
        huge.fill(90);
        QImageWriter w(file("enorme.jpg"), "jpeg");
        w.setQuality(20);
        ASSERT_TRUE(w.write(huge));
    }
    const QSize box = d().DBImage1->targetSize();
    const std::tuple<const char*, const char*, QSize> loads[] = {
        {"Panca piana", "largo.png", {box.width(), box.width() * 200 / 800}},
        {"Trazioni", "ALTO.JPG", {box.height() * 300 / 600, box.height()}},
        {"Plank", "enorme.jpg", immagini::misuraInScatola({12000, 9000}, box)},
    };
    for (const auto& [exercise, name, size] : loads) {
        SCOPED_TRACE(name);
        open(exercise, [&] {
            dialogs.files = {file(name)};
            d().Modificato = false;
            click(&d(), "Button6");
            EXPECT_TRUE(d().Modificato);
            EXPECT_EQ(dm.TableEsercizi.state(), db::Dataset::State::Edit);
        });
        EXPECT_EQ(storedSize(picture(exercise)), size);
        EXPECT_TRUE(picture(exercise).toByteArray().startsWith("\x89PNG"));
    }
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(Exercises, UnreadableFilesChangeNothingAndSaySo) {
    ASSERT_TRUE(pattern(100, 100).save(file("buona.png")));
    testing_support::writeFile(file("testo.jpg"), "questo non è un'immagine\n");
    testing_support::writeFile(file("vuoto.png"), {});
    // A picture announcing 30000 x 30000 pixels, with no pixels after the header.
    testing_support::writeFile(file("enorme.ppm"), "P6\n30000 30000\n255\n");
    open("Panca piana", [&] {
        dialogs.files = {file("buona.png")};
        click(&d(), "Button6");
    });
    const QByteArray before = picture("Panca piana").toByteArray();
    ASSERT_FALSE(before.isEmpty());
    const std::pair<const char*, const char*> bad[] = {
        {"testo.jpg", "non contiene un'immagine"}, {"vuoto.png", "vuoto"}, {"enorme.ppm", "troppo grande"},
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

TEST_F(Exercises, ClearRemovesThePictureResizeAllStretchesEveryPictureAndSaveWritesItsFormat) {
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

    // Saving writes JPEG or bitmap by the name, and without a picture asks nothing.
    open("Plank", [&] { click(&d(), "Button8"); });
    for (const auto& s : dialogs.shown) EXPECT_NE(s.kind, "save");
    open("Plank", [&] {
        dialogs.files = {file("p.png"), file("uscita.JPG"), file("uscita.bmp"), "/nessuna/cartella/x.jpg"};
        click(&d(), "Button6");
        for (int i = 0; i < 3; ++i) click(&d(), "Button8");
    });
    EXPECT_TRUE(testing_support::fileBytes(file("uscita.JPG")).startsWith("\xff\xd8\xff"));
    EXPECT_TRUE(testing_support::fileBytes(file("uscita.bmp")).startsWith("BM"));
    EXPECT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().value(0).startsWith("Impossibile salvare l'immagine"));
}

TEST_F(Exercises, MuscleGroupChosenAndEdited) {
    // Without a group there is nothing to edit.
    open("Plank", [&] { click(&d(), "Button4"); });
    EXPECT_EQ(dialogs.messages(), QStringList{"L'esercizio non ha un gruppo muscolare da modificare"});
    open("Plank", [&] {
        d().Modificato = false;
        auto* combo = d().DBLookupComboBox1;
        ASSERT_EQ(combo->count(), 2);
        Q_EMIT combo->activated(combo->findText("Dorsali"));
        EXPECT_TRUE(d().Modificato);
    });
    EXPECT_EQ(scalar("select GruppoMuscolare_ID from Esercizi where Descrizione = 'Plank'").toInt(), 1);

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
}

TEST_F(Exercises, AcquiredPictureFromTheScannerIsFittedToTheBox) {
    // No device at all: nothing changes, and the user is told why.
    ASSERT_TRUE(testing_support::configureSaneTest(0));
    open("Plank", [&] {
        d().Modificato = false;
        click(&d(), "Button7");
        EXPECT_FALSE(d().Modificato);
    });
    EXPECT_TRUE(picture("Plank").isNull());
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].startsWith("Nessuno scanner"));
    dialogs.shown.clear();
    // One device (no choice to make): 157 x 196 pixels, taller than the box.
    ASSERT_TRUE(testing_support::configureSaneTest(1, {"mode Color", "depth 8"}));
    const QSize box = d().DBImage1->targetSize();
    open("Plank", [&] { click(&d(), "Button7"); });
    resetAcquisition();
    EXPECT_EQ(storedSize(picture("Plank")), immagini::misuraInScatola({157, 196}, box));
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

} // namespace
