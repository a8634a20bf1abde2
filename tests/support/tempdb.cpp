#include "support/tempdb.h"

#include <QDir>
#include <QFile>
#include <sqlite3.h>
#include <stdexcept>

namespace testing_support {

QString templateDatabasePath() {
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = dir.filePath(QStringLiteral("template.db"));
        db::Connection::createDatabase(p);
        return p;
    }();
    return path;
}

TempDatabase::TempDatabase() {
    if (!m_dir.isValid()) throw std::runtime_error("no temporary folder");
    m_folderPath = m_dir.path();
    m_path = m_dir.filePath(QStringLiteral("archivio.db"));
    if (!QFile::copy(templateDatabasePath(), m_path))
        throw std::runtime_error("cannot copy the template database");
    QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    m_conn = std::make_unique<db::Connection>();
    m_conn->open(m_path);
}

std::unique_ptr<db::Connection> TempDatabase::openAnother() const {
    auto c = std::make_unique<db::Connection>();
    c->open(m_path);
    return c;
}

void TempDatabase::engineSql(const QString& sql) const {
    sqlite3* h = nullptr;
    if (sqlite3_open(QFile::encodeName(m_path).constData(), &h) != SQLITE_OK) {
        sqlite3_close(h);
        throw std::runtime_error("cannot open the database for engine SQL");
    }
    sqlite3_busy_timeout(h, 5000);
    char* err = nullptr;
    const int rc = sqlite3_exec(h, sql.toUtf8().constData(), nullptr, nullptr, &err);
    const std::string message = err ? err : "";
    sqlite3_free(err);
    sqlite3_close(h);
    if (rc != SQLITE_OK) throw std::runtime_error("engine SQL failed: " + message);
}

} // namespace testing_support
