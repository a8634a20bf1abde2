#pragma once

// Files written and read whole by the tests.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

namespace testing_support {

// Writes `bytes` to `path` (after what is there when `append`), making its folder first.
inline bool writeFile(const QString& path, const QByteArray& bytes, bool append = false) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(append ? QIODevice::Append : QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The whole file; empty when it cannot be read.
inline QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace testing_support
