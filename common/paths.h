#pragma once

#include <QString>
#include <QStringView>

// Where the programs find their files: the home folder (percorso.txt and, by default, the
// database), the database named by percorso.txt, and this workstation's name. The main
// program, the report viewer, the export tool and vastrel-sql all resolve them the same way.
namespace common {

inline constexpr QStringView DefaultDatabaseName = u"archivio.db";
inline constexpr QStringView PercorsoFileName = u"percorso.txt";

// Folder of the running executables (report layouts and help pages live beside them).
QString programFolder();

// $VASTREL_HOME when set; otherwise the executables' folder when it is writable; otherwise
// the per-user data folder of Vastrel, created when missing. Without a trailing separator.
QString homeFolder();

struct DatabaseLocation {
    QString path;           // the database to open
    QString percorsoFile;   // percorso.txt that was read (or would have been)
    bool rewritten = false; // percorso.txt was missing or empty and got the default line
};

// Reads percorso.txt in `homeFolder`: its text without line breaks and surrounding blanks
// names the database; a relative name is taken from the home folder. When the file is
// missing or blank, the database is `homeFolder`/archivio.db, and with `writeDefault` that
// path is written back to percorso.txt as one line. Throws db::DatabaseError when
// percorso.txt cannot be read or written (a folder of that name, no permission).
DatabaseLocation locateDatabase(const QString& homeFolder, bool writeDefault = true);

// This workstation's name for per-workstation rows (NomeComputer): $VASTREL_COMPUTERNAME
// when set, else the host name; at most 15 characters, "SenzaNome" when empty.
QString computerName();

} // namespace common
