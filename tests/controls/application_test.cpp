// The default error handler: an exception escaping an event handler is shown in a box
// captioned "Errore" and the program goes on. The programs' application object must be the
// only one, so the scenario runs in a child process of this test program started with it.

#include "common/controls/application.h"
#include "common/controls/dbedits.h"
#include "common/controls/dbgrid.h"
#include "common/controls/dialogs.h"
#include "controls_support.h"
#include "db/error.h"

#include <QProcess>
#include <QPushButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace controls_test;

namespace {

TEST(DefaultErrorHandler, ShowsEscapingExceptionsAndTheProgramGoesOn) {
    const char* const variable = "VASTREL_TEST_PROGRAM_APPLICATION";
    if (!qEnvironmentVariableIsSet(variable)) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(variable, "1");
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {"--gtest_filter=DefaultErrorHandler.ShowsEscapingExceptionsAndTheProgramGoesOn"});
        ASSERT_TRUE(child.waitForFinished(60000));
        const QString out = QString::fromUtf8(child.readAll());
        EXPECT_EQ(child.exitCode(), 0) << out.toStdString();
        EXPECT_TRUE(out.contains("[       OK ] DefaultErrorHandler.")) << out.toStdString();
        return;
    }
    ASSERT_NE(qobject_cast<ui::Application*>(qApp), nullptr);
    ui::ScriptedDialogs dialogs;
    int clicks = 0;
    QPushButton dbButton("Salva"), stdButton("Altro"), okButton("Ok");
    QObject::connect(&dbButton, &QPushButton::clicked,
                     [] { throw db::DatabaseError(QStringLiteral("Il record è bloccato da un'altra postazione")); });
    QObject::connect(&stdButton, &QPushButton::clicked, [] { throw std::runtime_error("guasto generico"); });
    QObject::connect(&okButton, &QPushButton::clicked, [&] { ++clicks; });
    for (QPushButton* b : {&dbButton, &stdButton, &okButton, &okButton}) {
        b->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(b));
        QTest::mouseClick(b, Qt::LeftButton);
        settle();
    }
    EXPECT_EQ(clicks, 2); // the program went on
    EXPECT_EQ(dialogs.messages(), (QStringList{"Il record è bloccato da un'altra postazione", "guasto generico"}));

    // A bad date typed into a record's box, then a click on another row of the list: the row
    // cannot be left; one message; the list and the record stay where they were.
    testing_support::TempDatabase tdb;
    for (const char* season : {"'A', #9/1/2024#", "'B', #9/1/2025#"})
        tdb.connection().execute(QStringLiteral("insert into Stagione (Descrizione, DallaData) values (%1)").arg(season));
    auto seasons = openDataset(tdb.connection(), "select * from Stagione order by Descrizione");
    QWidget form;
    auto* layout = new QVBoxLayout(&form);
    auto* grid = new ui::DBGrid;
    grid->setDataset(seasons.get());
    grid->setColumns({{"Descrizione", "Descrizione", 100}, {"DallaData", "Dalla data", 100}});
    auto* date = new ui::DBEdit(seasons.get(), "DallaData");
    layout->addWidget(grid);
    layout->addWidget(date);
    ASSERT_TRUE(showActive(&form));
    date->setFocus();
    date->selectAll();
    QTest::keyClicks(date, "31/02/2024");
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, grid->visualRect(grid->model()->index(1, 0)).center());
    settle();
    ASSERT_EQ(dialogs.messages().size(), 3);
    EXPECT_TRUE(dialogs.messages()[2].contains("31/02/2024")) << dialogs.messages()[2].toStdString();
    for (const auto& shown : dialogs.shown) EXPECT_EQ(shown.caption, "Errore");
    EXPECT_EQ(seasons->position(), 0);
    EXPECT_EQ(grid->currentIndex().row(), 0);
    EXPECT_EQ(QApplication::focusWidget(), date);
    EXPECT_EQ(seasons->state(), db::Dataset::State::Edit);
}

TEST(DefaultErrorHandler, GuardedCallShowsASyntaxErrorWithItsPosition) {
    ui::ScriptedDialogs dialogs;
    EXPECT_FALSE(ui::runGuarded([] { throw db::SyntaxError("Testo non valido", 4); }));
    EXPECT_TRUE(ui::runGuarded([] {}));
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.shown[0].caption, "Errore");
    EXPECT_EQ(dialogs.messages()[0], "Testo non valido (posizione 5)");
}

} // namespace
