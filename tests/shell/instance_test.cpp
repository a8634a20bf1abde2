// The real program, started twice on one home folder: the second start says so and ends,
// the first keeps running.

#include "support/tempdb.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

QProcess* launch(const QString& home, const QStringList& args = {}) {
    auto* p = new QProcess;
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert("VASTREL_HOME", home);
    env.insert("VASTREL_NONINTERACTIVE", "1");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p->setProcessEnvironment(env);
    p->start(qEnvironmentVariable("VASTREL_BIN_DIR") + "/vastrel", args);
    return p;
}

TEST(Program, ASecondStartOnTheSameFolderEndsWithItsMessage) {
    if (!QFile::exists(qEnvironmentVariable("VASTREL_BIN_DIR") + "/vastrel")) GTEST_SKIP() << "vastrel not built";
    QTemporaryDir home;
    std::unique_ptr<QProcess> first(launch(home.path()));
    ASSERT_TRUE(first->waitForStarted(10000));
    // Ready once the start-up has created the database and written percorso.txt.
    for (int i = 0; i < 200 && !QFile::exists(QDir(home.path()).filePath("percorso.txt")); ++i)
        QThread::msleep(50);
    QThread::msleep(300);
    ASSERT_EQ(first->state(), QProcess::Running) << first->readAllStandardError().toStdString();

    std::unique_ptr<QProcess> second(launch(home.path()));
    ASSERT_TRUE(second->waitForFinished(20000));
    EXPECT_NE(second->exitCode(), 0);
    const QString err = QString::fromUtf8(second->readAllStandardError());
    EXPECT_TRUE(err.contains("Messaggio di Avviso !: Vastrel e' già in esecuzione")) << err.toStdString();
    EXPECT_EQ(first->state(), QProcess::Running);

    // Another home folder is another front desk: it starts.
    QTemporaryDir otherHome;
    std::unique_ptr<QProcess> other(launch(otherHome.path(), {"--exit-when-ready"}));
    ASSERT_TRUE(other->waitForFinished(30000));
    EXPECT_EQ(other->exitCode(), 0) << other->readAllStandardError().toStdString();
    EXPECT_TRUE(QString::fromUtf8(other->readAllStandardOutput()).contains("ready after"));

    first->kill();
    first->waitForFinished(5000);
}

} // namespace
