#include "common/paths.h"
#include "db/error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>

using namespace common;

namespace {

// Sets or removes an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<QByteArray> value) : m_name(name) {
        if (qEnvironmentVariableIsSet(name)) m_old = qgetenv(name);
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
    ~ScopedEnv() {
        if (m_old)
            qputenv(m_name, *m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<QByteArray> m_old;
};

class PercorsoTxt : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString home() const { return m_dir.path(); }
    QString percorso() const { return m_dir.filePath(QStringLiteral("percorso.txt")); }
    QString defaultDatabase() const { return m_dir.filePath(QStringLiteral("archivio.db")); }
    void writePercorso(const QByteArray& bytes) {
        QFile f(percorso());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray readPercorso() const {
        QFile f(percorso());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(PercorsoTxt, MissingFileIsWrittenWithTheDefaultPathOnOneLine) {
    const DatabaseLocation loc = locateDatabase(home());
    EXPECT_EQ(loc.path, defaultDatabase());
    EXPECT_EQ(loc.percorsoFile, percorso());
    EXPECT_TRUE(loc.rewritten);
    EXPECT_EQ(readPercorso(), (defaultDatabase() + u'\n').toUtf8());
    // The written file reads back as the same database, unchanged.
    const DatabaseLocation again = locateDatabase(home());
    EXPECT_EQ(again.path, defaultDatabase());
    EXPECT_FALSE(again.rewritten);
}

TEST_F(PercorsoTxt, MissingFileIsLeftMissingWhenWritingIsNotWanted) {
    const DatabaseLocation loc = locateDatabase(home(), false);
    EXPECT_EQ(loc.path, defaultDatabase());
    EXPECT_FALSE(loc.rewritten);
    EXPECT_FALSE(QFile::exists(percorso()));
    EXPECT_FALSE(QFile::exists(defaultDatabase()));
}

TEST_F(PercorsoTxt, EmptyOrBlankFileIsRewritten) {
    for (const QByteArray& content : {QByteArray(), QByteArray("  \r\n\t\n")}) {
        SCOPED_TRACE(content.toStdString());
        writePercorso(content);
        const DatabaseLocation loc = locateDatabase(home());
        EXPECT_EQ(loc.path, defaultDatabase());
        EXPECT_TRUE(loc.rewritten);
        EXPECT_EQ(readPercorso(), (defaultDatabase() + u'\n').toUtf8());
    }
}

TEST_F(PercorsoTxt, LineBreaksAndBlanksAroundThePathAreDropped) {
    for (const QByteArray& content :
         {QByteArray("/srv/palestra/archivio.db\n"), QByteArray("/srv/palestra/archivio.db\r\n"),
          QByteArray("/srv/palestra/archivio.db"),
          QByteArray("  /srv/palestra/archivio.db \r\n\r\n"),
          QByteArray("\xEF\xBB\xBF/srv/palestra/archivio.db\r\n")}) {
        SCOPED_TRACE(content.toStdString());
        writePercorso(content);
        const DatabaseLocation loc = locateDatabase(home());
        EXPECT_EQ(loc.path, QStringLiteral("/srv/palestra/archivio.db"));
        EXPECT_FALSE(loc.rewritten);
        EXPECT_EQ(readPercorso(), content); // never rewritten when it names a database
    }
}

TEST_F(PercorsoTxt, RelativePathIsTakenFromTheHomeFolder) {
    writePercorso(QStringLiteral("dati/Attività 2024.db\n").toUtf8());
    EXPECT_EQ(locateDatabase(home()).path, m_dir.filePath(QStringLiteral("dati/Attività 2024.db")));
}

TEST_F(PercorsoTxt, FolderNamedLikeTheFileIsAClearError) {
    ASSERT_TRUE(QDir(home()).mkdir(QStringLiteral("percorso.txt")));
    try {
        locateDatabase(home());
        FAIL() << "no error";
    } catch (const db::DatabaseError& e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("percorso.txt"))) << e.what();
        EXPECT_TRUE(e.text().contains(QStringLiteral("cartella"))) << e.what();
    }
}

TEST_F(PercorsoTxt, UnwritableHomeFolderIsAClearError) {
    const QString missing = m_dir.filePath(QStringLiteral("non/esiste"));
    EXPECT_THROW(locateDatabase(missing), db::DatabaseError);
    EXPECT_NO_THROW(locateDatabase(missing, false));
}

TEST(HomeFolder, EnvironmentVariableWins) {
    QTemporaryDir dir;
    ScopedEnv env("VASTREL_HOME", (dir.path() + QStringLiteral("/./")).toUtf8());
    EXPECT_EQ(homeFolder(), dir.path());
}

TEST(HomeFolder, ProgramsFolderWhenWritableAndNoVariable) {
    ScopedEnv env("VASTREL_HOME", std::nullopt);
    // The test binaries live in a writable build folder.
    EXPECT_EQ(homeFolder(), QDir::cleanPath(QCoreApplication::applicationDirPath()));
    EXPECT_EQ(programFolder(), QCoreApplication::applicationDirPath());
}

TEST(ComputerName, OverrideIsUsedCutToFifteenCharacters) {
    ScopedEnv env("VASTREL_COMPUTERNAME", QByteArray("Reception-Palestra-2"));
    EXPECT_EQ(computerName(), QStringLiteral("Reception-Pales"));
    ScopedEnv shortName("VASTREL_COMPUTERNAME", QByteArray("Cassa2"));
    EXPECT_EQ(computerName(), QStringLiteral("Cassa2"));
}

TEST(ComputerName, EmptyNameIsSenzaNome) {
    ScopedEnv env("VASTREL_COMPUTERNAME", QByteArray(""));
    EXPECT_EQ(computerName(), QStringLiteral("SenzaNome"));
    ScopedEnv blank("VASTREL_COMPUTERNAME", QByteArray("   "));
    EXPECT_EQ(computerName(), QStringLiteral("SenzaNome"));
}
