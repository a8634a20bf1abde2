#include "common/paths.h"
#include "db/error.h"
#include "support/env.h"
#include "support/files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>

using namespace common;

namespace {

using testing_support::ScopedEnv;

class PercorsoTxt : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString home() const { return m_dir.path(); }
    QString percorso() const { return m_dir.filePath(QStringLiteral("percorso.txt")); }
    QString defaultDatabase() const { return m_dir.filePath(QStringLiteral("archivio.db")); }
    void writePercorso(const QByteArray& bytes) { ASSERT_TRUE(testing_support::writeFile(percorso(), bytes)); }
    QByteArray readPercorso() const { return testing_support::fileBytes(percorso()); }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(PercorsoTxt, MissingFileIsLeftMissingWhenWritingIsNotWanted) {
    const DatabaseLocation loc = locateDatabase(home(), false);
    EXPECT_EQ(loc.path, defaultDatabase());
    EXPECT_FALSE(loc.rewritten);
    EXPECT_FALSE(QFile::exists(percorso()));
    EXPECT_FALSE(QFile::exists(defaultDatabase()));
}

// A missing, empty or blank file is written with the default path on one line; the written
// file then reads back as the same database, unchanged.
TEST_F(PercorsoTxt, MissingEmptyOrBlankFileIsWrittenWithTheDefaultPathOnOneLine) {
    for (const std::optional<QByteArray>& content : {std::optional<QByteArray>(), std::optional(QByteArray()),
                                                     std::optional(QByteArray("  \r\n\t\n"))}) {
        SCOPED_TRACE(content ? content->toStdString() : "missing");
        if (content) writePercorso(*content);
        const DatabaseLocation loc = locateDatabase(home());
        EXPECT_EQ(loc.path, defaultDatabase());
        EXPECT_EQ(loc.percorsoFile, percorso());
        EXPECT_TRUE(loc.rewritten);
        EXPECT_EQ(readPercorso(), (defaultDatabase() + u'\n').toUtf8());
        const DatabaseLocation again = locateDatabase(home());
        EXPECT_EQ(again.path, defaultDatabase());
        EXPECT_FALSE(again.rewritten);
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
    const std::pair<const char*, const char*> cases[] = {
        {"Reception-Palestra-2", "Reception-Pales"}, {"Cassa2", "Cassa2"}, {"", "SenzaNome"}, {"   ", "SenzaNome"}};
    for (const auto& [name, expected] : cases) {
        ScopedEnv env("VASTREL_COMPUTERNAME", QByteArray(name));
        EXPECT_EQ(computerName(), QString::fromUtf8(expected)) << name;
    }
}
