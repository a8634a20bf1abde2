#include "common/paths.h"

#include "db/error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QSysInfo>

namespace common {

namespace {

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString absoluteClean(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

QString programFolder() {
    if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
    return absoluteClean(QDir::currentPath());
}

QString homeFolder() {
    const QString fromEnvironment = qEnvironmentVariable("VASTREL_HOME");
    if (!fromEnvironment.isEmpty()) return absoluteClean(fromEnvironment);

    const QString programs = programFolder();
    if (QFileInfo(programs).isWritable()) return absoluteClean(programs);

    // Not the application's own AppDataLocation: that differs per executable name, and all
    // the programs must land on the same folder.
    const QString perUser =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u"/Vastrel";
    if (!QDir().mkpath(perUser))
        throw db::DatabaseError(
            QStringLiteral("Impossibile creare la cartella %1").arg(native(perUser)));
    return absoluteClean(perUser);
}

DatabaseLocation locateDatabase(const QString& homeFolder, bool writeDefault) {
    const QDir home(absoluteClean(homeFolder));
    DatabaseLocation location;
    location.percorsoFile = home.filePath(PercorsoFileName.toString());
    const QFileInfo info(location.percorsoFile);

    if (info.isDir())
        throw db::DatabaseError(
            QStringLiteral("%1 è una cartella: deve essere un file di testo con il percorso del "
                           "database")
                .arg(native(location.percorsoFile)));

    if (info.exists()) {
        QFile file(location.percorsoFile);
        if (!file.open(QIODevice::ReadOnly))
            throw db::DatabaseError(QStringLiteral("Impossibile leggere %1: %2")
                                        .arg(native(location.percorsoFile), file.errorString()));
        QString text = QString::fromUtf8(file.readAll());
        if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1); // written by a Windows editor
        if (!text.trimmed().isEmpty()) {
            text.remove(u'\r');
            text.remove(u'\n');
            // Blanks around the path are typing slips, never part of a file name.
            text = text.trimmed();
            const bool relative = QDir::isRelativePath(text) && !text.contains(u"://");
            location.path = relative ? QDir::cleanPath(home.filePath(text)) : text;
            return location;
        }
    }

    location.path = home.filePath(DefaultDatabaseName.toString());
    if (writeDefault) {
        QFile file(location.percorsoFile);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write((location.path + u'\n').toUtf8()) < 0 || !file.flush())
            throw db::DatabaseError(QStringLiteral("Impossibile scrivere %1: %2")
                                        .arg(native(location.percorsoFile), file.errorString()));
        location.rewritten = true;
    }
    return location;
}

QString computerName() {
    const QString name = qEnvironmentVariableIsSet("VASTREL_COMPUTERNAME")
                             ? qEnvironmentVariable("VASTREL_COMPUTERNAME")
                             : QSysInfo::machineHostName();
    // NomeComputer holds the 15 characters of a Windows computer name.
    const QString cut = name.trimmed().left(15);
    return cut.isEmpty() ? QStringLiteral("SenzaNome") : cut;
}

} // namespace common
