// Acquisition through SANE, end to end against SANE's own "test" backend: each test writes
// the SANE configuration (only that backend listed) and starts a fresh SANE session.

#include "common/controls/dialogs.h"
#include "common/scanner/acquire.h"
#include "support/saneconfig.h"

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
    int choicesShown() const { return dialogs.execs("frmSceltaSorgente"); }
    static bool uniform(const QImage& image, QRgb colour) {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != colour) return false;
        return true;
    }
};

TEST_F(Acquisition, NoDeviceGivesNoneAndSaysSoAndOneGivesItsPictureWithoutAsking) {
    configure(0);
    EXPECT_TRUE(acquire().isNull());
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].startsWith("Nessuno scanner o fotocamera trovato"));
    configure(1, {"mode Gray", "depth 8", "test-picture \"Solid white\""});
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
        const char* mode;
        const char* depth;
        const char* picture;
        QStringList extra;
    };
    const Case cases[] = {
        {"one-bit gray is ink, not light", "Gray", "1", "Grid", {}}, {"sixteen-bit gray", "Gray", "16", "Grid", {}},
        {"sixteen-bit colour", "Color", "16", "Grid", {}},
        {"three passes in the order green, blue, red", "Color", "8", "Color pattern",
         {"three-pass true", "three-pass-order GBR"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QStringList common{QStringLiteral("mode %1").arg(c.mode), QStringLiteral("test-picture \"%1\"").arg(c.picture)};
        configure(1, common + QStringList{"depth 8"});
        const QImage expected = acquire().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(expected.size(), QSize(kWidth, kHeight));
        configure(1, common + QStringList{QStringLiteral("depth %1").arg(c.depth)} + c.extra);
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
    // A hand scanner of unknown height gives the rows it sent, 11 cm wide.
    configure(1, {"mode Gray", "depth 8", "hand-scanner true"});
    const QImage hand = acquire();
    EXPECT_EQ(hand.width(), 216);
    EXPECT_GT(hand.height(), 0);
}

// A device failing half-way is not driven here: cancelling the test backend's reader thread
// after a failed read can dead-lock inside that backend (its thread is cancelled while it
// holds the allocator's lock), which would hang the run rather than test our code.
TEST_F(Acquisition, SeveralDevicesAreOfferedOncePerSessionAndACancelGivesNone) {
    configure(2, {"mode Gray", "depth 8"});
    dialogs.onExec = [](QDialog* d) { d->reject(); };
    EXPECT_TRUE(acquire().isNull());
    EXPECT_EQ(choicesShown(), 1);
    EXPECT_TRUE(dialogs.messages().isEmpty()); // the user's own choice: nothing to say
    EXPECT_EQ(acquire().size(), QSize(kWidth, kHeight)); // not asked again
    EXPECT_EQ(choicesShown(), 1);

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
    EXPECT_EQ(acquire().size(), QSize(kWidth, kHeight));
    EXPECT_EQ(choicesShown(), 2);
    ASSERT_EQ(offered.size(), 3);
    EXPECT_TRUE(offered[2].contains("test:2")) << offered[2].toStdString();
}

} // namespace
