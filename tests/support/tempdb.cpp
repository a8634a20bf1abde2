#include "support/tempdb.h"

#include <QDir>
#include <QFile>
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

} // namespace testing_support
