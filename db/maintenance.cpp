// Upkeep of a database file: what makes it one of the system's, its integrity and a copy
// taken while the programs run.

#include "db/connection.h"
#include "db/error.h"
#include "db/sqlite_util.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>
#include <cstdio>
#include <sqlite3.h>

namespace db {

const QStringList& Connection::systemTables() {
    static const QStringList tables = [] {
        QFile f(QStringLiteral(":/db/schema.sql"));
        if (!f.open(QIODevice::ReadOnly)) return QStringList();
        static const QRegularExpression create(QStringLiteral(R"(CREATE\s+TABLE\s+\[?(\w+))"),
                                               QRegularExpression::CaseInsensitiveOption);
        QStringList names;
        for (const auto& m : create.globalMatch(QString::fromUtf8(f.readAll())))
            names << m.captured(1);
        return names;
    }();
    return tables;
}

QStringList Connection::integrityProblems() {
    sqlite3* h = engine();
    QStringList problems;
    withRetry([&] {
        problems.clear();
        Statement integrity(h, QStringLiteral("PRAGMA integrity_check"));
        while (integrity.step())
            if (integrity.text(0) != u"ok") problems << integrity.text(0);
        Statement keys(h, QStringLiteral("PRAGMA foreign_key_check"));
        while (keys.step())
            problems << QStringLiteral("Tabella %1, riga %2: riferimento a un record di %3 "
                                       "che non esiste")
                            .arg(keys.text(0))
                            .arg(keys.integer(1))
                            .arg(keys.text(2));
        return 0;
    });
    return problems;
}

void Connection::backup(const QString& target) {
    sqlite3* h = engine();
    const QFileInfo fi(target);
    const QString shown = QDir::toNativeSeparators(target);
    if (target.trimmed().isEmpty()) throw DatabaseError(QStringLiteral("Nessun file di copia indicato"));
    if (fi.absoluteFilePath() == QFileInfo(path()).absoluteFilePath())
        throw DatabaseError(QStringLiteral("La copia non può sostituire il database in uso (%1)").arg(shown));
    if (fi.isDir()) throw DatabaseError(QStringLiteral("%1 è una cartella").arg(shown));
    if (!fi.absoluteDir().exists())
        throw DatabaseError(QStringLiteral("La cartella %1 non esiste")
                                .arg(QDir::toNativeSeparators(fi.absolutePath())));

    // Written beside the target and renamed only when complete: an interrupted copy never
    // passes for a good one, and an older copy survives a failed one.
    const QString temp = fi.absoluteFilePath() + QStringLiteral(".parziale");
    QFile::remove(temp);
    sqlite3* out = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(temp).constData(), &out,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    QString error;
    if (rc == SQLITE_OK) {
        if (sqlite3_backup* b = sqlite3_backup_init(out, "main", h, "main")) {
            // One step copies every page under one read lock: a consistent snapshot. Writers
            // of other processes only make it wait.
            for (int attempt = 0;; ++attempt) {
                rc = sqlite3_backup_step(b, -1);
                if ((rc != SQLITE_BUSY && rc != SQLITE_LOCKED) || attempt >= 200) break;
                QThread::msleep(50);
            }
            sqlite3_backup_finish(b);
            if (rc != SQLITE_DONE) error = italianMessage(QString::fromUtf8(sqlite3_errstr(rc)));
        } else {
            error = engineMessage(out);
        }
    } else {
        error = engineMessage(out);
    }
    sqlite3_close(out);
    if (error.isEmpty() &&
        std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(fi.absoluteFilePath()).constData()) != 0)
        error = QStringLiteral("impossibile rinominare %1").arg(QDir::toNativeSeparators(temp));
    if (!error.isEmpty()) {
        QFile::remove(temp);
        throw DatabaseError(QStringLiteral("Copia del database in %1 non riuscita: %2").arg(shown, error));
    }
}

} // namespace db
