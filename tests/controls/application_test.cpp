// The default error handler: an exception escaping an event handler is shown in a box
// captioned "Errore" and the program goes on. A QApplication subclass must be the
// application object, so the check runs in a child process of this test program: the
// child starts before main() (see ChildRunner) with a ui::Application of its own.

#include "common/controls/application.h"
#include "common/controls/dialogs.h"
#include "db/dataset.h"
#include "db/error.h"
#include "common/controls/dbedits.h"
#include "common/controls/dbgrid.h"
#include "db/connection.h"
#include "support/tempdb.h"

#include <QLocale>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QVBoxLayout>
#include <QTest>
#include <cstdlib>
#include <gtest/gtest.h>
#include <iostream>
#include <stdexcept>

// The child runs before main(): the database layer's built-in schema is registered by hand.
static void initDatabaseResources() { Q_INIT_RESOURCE(dbdata); }

namespace {

const char* const ChildVariable = "VASTREL_CONTROLS_ERROR_HANDLER_CHILD";

int childMain() {
    static int argc = 1;
    static char name[] = "controls_tests";
    static char* argv[] = {name, nullptr};
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    int clicks = 0;
    {
        ui::Application app(argc, argv);
        ui::ScriptedDialogs dialogs;

        QPushButton dbButton("Salva"), stdButton("Altro"), sqlButton("Query"), okButton("Ok");
        QObject::connect(&dbButton, &QPushButton::clicked, [] {
            throw db::DatabaseError(QStringLiteral("Il record è bloccato da un'altra postazione"));
        });
        QObject::connect(&stdButton, &QPushButton::clicked, [] { throw std::runtime_error("guasto generico"); });
        QObject::connect(&sqlButton, &QPushButton::clicked, [&] {
            // (Run before main(): no database resources yet, so the database layer fails
            // on a file that is not there.)
            db::Connection conn;
            conn.open(QStringLiteral("/nonexistent-folder/archivio.db"));
            ++clicks; // never reached
        });
        QObject::connect(&okButton, &QPushButton::clicked, [&] { ++clicks; });
        for (QPushButton* b : {&dbButton, &stdButton, &sqlButton, &okButton}) {
            b->show();
            if (!QTest::qWaitForWindowExposed(b)) return 3;
            QTest::mouseClick(b, Qt::LeftButton);
            QApplication::processEvents();
        }
        QTest::mouseClick(&okButton, Qt::LeftButton);

        // A bad date typed into a record's box, then a click on another row of the list:
        // the row cannot be left; one message; the list and the record stay where they were.
        initDatabaseResources();
        testing_support::TempDatabase tdb;
        tdb.connection().execute("insert into Stagione (Descrizione, DallaData) values ('A', #9/1/2024#)");
        tdb.connection().execute("insert into Stagione (Descrizione, DallaData) values ('B', #9/1/2025#)");
        db::Dataset seasons(&tdb.connection());
        seasons.setSql("select * from Stagione order by Descrizione");
        seasons.open();
        QWidget form;
        auto* layout = new QVBoxLayout(&form);
        auto* grid = new ui::DBGrid;
        grid->setDataset(&seasons);
        grid->setColumns({{"Descrizione", "Descrizione", 100}, {"DallaData", "Dalla data", 100}});
        auto* date = new ui::DBEdit(&seasons, "DallaData");
        layout->addWidget(grid);
        layout->addWidget(date);
        form.show();
        QApplication::setActiveWindow(&form);
        if (!QTest::qWaitForWindowActive(&form)) return 4;
        date->setFocus();
        date->selectAll();
        QTest::keyClicks(date, "31/02/2024");
        const int before = int(dialogs.shown.size());
        const QRect second = grid->visualRect(grid->model()->index(1, 0));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, second.center());
        for (int i = 0; i < 5; ++i) QApplication::processEvents();
        std::cout << "GRIDCLICK\t" << (int(dialogs.shown.size()) - before) << "\t" << seasons.position() << "\t"
                  << grid->currentIndex().row() << "\t" << (QApplication::focusWidget() == date) << "\t"
                  << int(seasons.state()) << std::endl;

        for (const auto& s : dialogs.shown)
            std::cout << "SHOWN\t" << s.kind.toStdString() << "\t" << s.caption.toStdString() << "\t"
                      << s.text.toStdString() << std::endl;
        std::cout << "CLICKS\t" << clicks << std::endl;
    }
    return 0;
}

// Runs the child's scenario instead of the test program when the variable is set.
struct ChildRunner {
    ChildRunner() {
        if (qEnvironmentVariableIsSet(ChildVariable)) std::exit(childMain());
    }
} childRunner;

TEST(DefaultErrorHandler, ShowsEscapingExceptionsAndTheProgramGoesOn) {
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(ChildVariable, "1");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {});
    ASSERT_TRUE(child.waitForFinished(60000));
    const QString out = QString::fromUtf8(child.readAllStandardOutput());
    ASSERT_EQ(child.exitStatus(), QProcess::NormalExit) << out.toStdString();
    ASSERT_EQ(child.exitCode(), 0) << out.toStdString() << child.readAllStandardError().toStdString();

    QStringList shown;
    for (const QString& line : out.split('\n'))
        if (line.startsWith("SHOWN\t")) shown << line.mid(6);
    ASSERT_EQ(shown.size(), 4) << out.toStdString();
    EXPECT_EQ(shown[0], "message\tErrore\tIl record è bloccato da un'altra postazione");
    EXPECT_EQ(shown[1], "message\tErrore\tguasto generico");
    EXPECT_TRUE(shown[2].startsWith("message\tErrore\t")) << shown[2].toStdString();
    EXPECT_TRUE(shown[2].contains("/nonexistent-folder/archivio.db")) << shown[2].toStdString();
    EXPECT_TRUE(out.contains("CLICKS\t2")) << out.toStdString(); // the program went on
    // The grid click with a bad date pending: one message, still on the first row, the
    // focus back in the box, the row still being edited.
    EXPECT_TRUE(shown[3].startsWith("message\tErrore\t")) << shown[3].toStdString();
    EXPECT_TRUE(shown[3].contains("31/02/2024")) << shown[3].toStdString();
    const int state = int(db::Dataset::State::Edit);
    EXPECT_TRUE(out.contains(QStringLiteral("GRIDCLICK\t1\t0\t0\t1\t%1").arg(state))) << out.toStdString();
}

TEST(DefaultErrorHandler, ErrorTextOfDatabaseAndOtherExceptions) {
    EXPECT_EQ(ui::Application::errorText(db::DatabaseError("testo del motore")), "testo del motore");
    EXPECT_EQ(ui::Application::errorText(std::runtime_error("altro")), "altro");
    ui::ScriptedDialogs dialogs;
    EXPECT_FALSE(ui::runGuarded([] { throw db::SyntaxError("Testo non valido", 4); }));
    EXPECT_TRUE(ui::runGuarded([] {}));
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.shown[0].caption, "Errore");
    EXPECT_EQ(dialogs.messages()[0], "Testo non valido (posizione 5)");
}

} // namespace
