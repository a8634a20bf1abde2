// Acquisition through SANE, end to end against SANE's own "test" backend: each test writes
// the SANE configuration (only that backend listed) and starts a fresh SANE session.

#include "common/controls/dialogs.h"
#include "common/scanner/acquire.h"
#include "saneconfig.h"

#include <QDialog>
#include <QListWidget>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// Geometry of every scan below: 80 x 100 mm at 50 dpi.
constexpr int kWidth = 157;
constexpr int kHeight = 196;

class Acquisition : public ::testing::Test {
protected:
    ui::ScriptedDialogs dialogs;
    QWidget parent;

    void TearDown() override { resetAcquisition(); }
    void configure(int devices, const QStringList& settings = {}) {
        ASSERT_TRUE(testing_support::configureSaneTest(devices, settings));
    }
    QImage acquire() { return acquireImage(&parent); }
    int choicesShown() const {
        int n = 0;
        for (const auto& s : dialogs.shown) n += s.kind == u"exec" && s.text == u"frmSceltaSorgente";
        return n;
    }
    static bool uniform(const QImage& image, QRgb colour) {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != colour) return false;
        return true;
    }
};

TEST_F(Acquisition, OneDeviceGivesTheScannedPictureWithoutAsking) {
    configure(1, {QStringLiteral("mode Gray"), QStringLiteral("depth 8"),
                  QStringLiteral("test-picture \"Solid white\"")});
    const QImage image = acquire();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(kWidth, kHeight));
    EXPECT_TRUE(uniform(image, qRgb(255, 255, 255)));
    EXPECT_EQ(choicesShown(), 0);
    // Loaded once: a second acquisition works the same.
    EXPECT_EQ(acquire().size(), QSize(kWidth, kHeight));
}

// Every sample layout a device may deliver gives the same picture as the plain 8-bit one (the
// backend's colour pattern differs by depth, its grid does not).
TEST_F(Acquisition, EveryFrameLayoutReadsAsTheSamePicture) {
    struct Case {
        const char* what;
        QStringList settings;
        QStringList reference;
    };
    const Case cases[] = {
        {"one-bit gray is ink, not light",
         {"mode Gray", "depth 1", "test-picture \"Grid\""},
         {"mode Gray", "depth 8", "test-picture \"Grid\""}},
        {"sixteen-bit gray",
         {"mode Gray", "depth 16", "test-picture \"Grid\""},
         {"mode Gray", "depth 8", "test-picture \"Grid\""}},
        {"sixteen-bit colour",
         {"mode Color", "depth 16", "test-picture \"Grid\""},
         {"mode Color", "depth 8", "test-picture \"Grid\""}},
        {"three passes in the order green, blue, red",
         {"mode Color", "depth 8", "three-pass true", "three-pass-order GBR",
          "test-picture \"Color pattern\""},
         {"mode Color", "depth 8", "test-picture \"Color pattern\""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        configure(1, c.reference);
        const QImage expected = acquire().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(expected.size(), QSize(kWidth, kHeight));
        configure(1, c.settings);
        const QImage got = acquire().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(got.size(), expected.size());
        EXPECT_TRUE(got == expected);
    }
    // The grid is not one colour, so the comparisons above compared something.
    configure(1, {"mode Gray", "depth 1", "test-picture \"Grid\""});
    const QImage grid = acquire();
    EXPECT_FALSE(uniform(grid, grid.pixel(0, 0)));
    // A one-bit gray sample is ink (1 = black), a one-bit colour sample is light.
    configure(1, {"mode Gray", "depth 1", "test-picture \"Solid black\""});
    EXPECT_TRUE(uniform(acquire(), qRgb(0, 0, 0)));
    configure(1, {"mode Color", "depth 1", "test-picture \"Solid white\""});
    const QImage white = acquire();
    EXPECT_EQ(white.size(), QSize(kWidth, kHeight));
    EXPECT_TRUE(uniform(white, qRgb(255, 255, 255)));
}

TEST_F(Acquisition, HandScannerOfUnknownHeightGivesTheRowsItSent) {
    configure(1, {"mode Gray", "depth 8", "hand-scanner true"});
    const QImage image = acquire();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), 216); // the backend's fixed 11 cm
    EXPECT_GT(image.height(), 0);
}

// A device failing half-way is not driven here: cancelling the test backend's reader thread
// after a failed read can dead-lock inside that backend (its thread is cancelled while it
// holds the allocator's lock), which would hang the run rather than test our code.
TEST_F(Acquisition, NoDeviceGivesNoneAndSaysSo) {
    configure(0);
    EXPECT_TRUE(acquire().isNull());
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].startsWith("Nessuno scanner o fotocamera trovato"));
}

TEST_F(Acquisition, SeveralDevicesAreOfferedOncePerRun) {
    configure(3, {"mode Gray", "depth 8"});
    QStringList offered;
    dialogs.onExec = [&](QDialog* d) {
        auto* list = d->findChild<QListWidget*>("lstSorgenti");
        ASSERT_NE(list, nullptr);
        for (int i = 0; i < list->count(); ++i) offered << list->item(i)->text();
        list->setCurrentRow(2);
        d->accept();
    };
    EXPECT_EQ(acquire().size(), QSize(kWidth, kHeight));
    EXPECT_EQ(choicesShown(), 1);
    ASSERT_EQ(offered.size(), 3);
    EXPECT_TRUE(offered[2].contains("test:2")) << offered[2].toStdString();
    EXPECT_EQ(acquire().size(), QSize(kWidth, kHeight));
    EXPECT_EQ(choicesShown(), 1);
}

TEST_F(Acquisition, CancellingTheChoiceGivesNoneAndIsNotAskedAgain) {
    configure(2, {"mode Gray", "depth 8"});
    dialogs.onExec = [](QDialog* d) { d->reject(); };
    EXPECT_TRUE(acquire().isNull());
    EXPECT_EQ(choicesShown(), 1);
    EXPECT_TRUE(dialogs.messages().isEmpty()); // the user's own choice
    EXPECT_EQ(acquire().size(), QSize(kWidth, kHeight));
    EXPECT_EQ(choicesShown(), 1);
}

} // namespace
