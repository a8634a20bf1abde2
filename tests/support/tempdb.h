#pragma once

#include "db/connection.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace testing_support {

// A fresh database file with the full schema and reference data, in its own temporary
// folder, opened on a real connection. The first call in a process creates a template;
// later ones copy it, so every test starts from the same state quickly.
class TempDatabase {
public:
    TempDatabase();
    const QString& path() const { return m_path; }
    const QString& folder() const { return m_folderPath; }
    db::Connection& connection() { return *m_conn; }
    // A second, independent connection to the same file (another workstation or process).
    std::unique_ptr<db::Connection> openAnother() const;
    // Runs engine SQL outside the Jet dialect (a trigger that makes a write fail, a bulk
    // fill) on a connection of its own; the program's connection sees the result.
    void engineSql(const QString& sql) const;

private:
    QTemporaryDir m_dir;
    QString m_folderPath;
    QString m_path;
    std::unique_ptr<db::Connection> m_conn;
};

// Path of the template database (created on first use).
QString templateDatabasePath();

} // namespace testing_support
