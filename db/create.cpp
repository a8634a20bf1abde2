// Creation of a new database: the schema script and the reference data built into the
// library, written to a temporary file that takes the final name only when complete.

#include "db/connection.h"
#include "db/datetime.h"
#include "db/error.h"
#include "db/sqlite_util.h"
#include "db/script.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace db {

namespace {

QString readResource(const QString& name) {
    QFile f(name);
    if (!f.open(QIODevice::ReadOnly))
        throw DatabaseError(QStringLiteral("Risorsa mancante: %1").arg(name));
    return QString::fromUtf8(f.readAll());
}

QString unescapeField(QStringView field) {
    if (!field.contains(u'\\')) return field.toString();
    QString out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const QChar c = field[i];
        if (c == u'\\' && i + 1 < field.size()) {
            const QChar n = field[++i];
            out += n == u't' ? QChar(u'\t') : n == u'n' ? QChar(u'\n') : n;
        } else {
            out += c;
        }
    }
    return out;
}

QVariant tsvValue(const QString& text, FieldType type) {
    if (text.isEmpty()) return QVariant();
    switch (type) {
    case FieldType::Integer:
    case FieldType::Bool:
        return QVariant(text.toLongLong());
    case FieldType::Double:
        return QVariant(text.toDouble());
    case FieldType::Blob:
        return QVariant(QByteArray::fromBase64(text.toLatin1()));
    default:
        return QVariant(text);
    }
}

class RawDb {
public:
    explicit RawDb(const QString& path) {
        const QByteArray p = QFile::encodeName(path);
        if (sqlite3_open_v2(p.constData(), &h, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                            nullptr) != SQLITE_OK) {
            const QString msg = QString::fromUtf8(sqlite3_errmsg(h));
            sqlite3_close(h);
            h = nullptr;
            throw DatabaseError(msg);
        }
        registerFunctions(h);
    }
    ~RawDb() { sqlite3_close(h); }
    void exec(const QString& sql) {
        Statement st(h, sql);
        while (st.step()) {
        }
    }
    sqlite3* h = nullptr;
};

void loadTable(RawDb& raw, const QString& table, const QString& content) {
    QList<sql::CatalogColumn> catalogCols;
    {
        Statement info(raw.h, QStringLiteral("PRAGMA table_info(\"%1\")").arg(table));
        while (info.step()) {
            sql::CatalogColumn c;
            c.name = info.text(1);
            c.type = sql::fieldTypeFromDeclared(info.text(2));
            catalogCols << c;
        }
    }
    if (catalogCols.isEmpty())
        throw DatabaseError(QStringLiteral("Dati di riferimento per una tabella sconosciuta: %1").arg(table));

    const QStringList lines = content.split(u'\n');
    if (lines.isEmpty()) return;
    const QStringList header = lines.first().trimmed().split(u'\t');
    std::vector<FieldType> types;
    QStringList quoted, marks;
    for (const QString& h : header) {
        auto it = std::find_if(catalogCols.begin(), catalogCols.end(), [&](const auto& c) {
            return c.name.compare(h, Qt::CaseInsensitive) == 0;
        });
        if (it == catalogCols.end())
            throw DatabaseError(QStringLiteral("Colonna %1 sconosciuta nella tabella %2").arg(h, table));
        types.push_back(it->type);
        quoted << QStringLiteral("\"%1\"").arg(it->name);
        marks << QStringLiteral("?");
    }
    Statement ins(raw.h, QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                             .arg(table, quoted.join(u','), marks.join(u',')));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        QStringView line(lines[i]);
        if (line.endsWith(u'\r')) line.chop(1);
        if (line.isEmpty()) continue;
        const auto fields = line.split(u'\t');
        if (fields.size() != header.size())
            throw DatabaseError(QStringLiteral("%1.tsv, riga %2: %3 campi invece di %4")
                                    .arg(table).arg(i + 1).arg(fields.size()).arg(header.size()));
        for (qsizetype f = 0; f < fields.size(); ++f)
            ins.bind(int(f + 1), tsvValue(unescapeField(fields[f]), types[size_t(f)]));
        ins.step();
        ins.reset();
    }
}

} // namespace

void Connection::createDatabase(const QString& path) {
    const QFileInfo fi(path);
    if (fi.exists())
        throw DatabaseError(QStringLiteral("Il file %1 esiste già").arg(QDir::toNativeSeparators(path)));
    if (!fi.absoluteDir().exists())
        throw DatabaseError(QStringLiteral("La cartella %1 non esiste")
                                .arg(QDir::toNativeSeparators(fi.absolutePath())));
    const QString temp = fi.absoluteFilePath() + QStringLiteral(".creating");
    QFile::remove(temp);
    try {
        {
            RawDb raw(temp);
            raw.exec(QStringLiteral("BEGIN"));
            for (const QString& statement : splitScript(readResource(QStringLiteral(":/db/schema.sql"))))
                raw.exec(sql::translate(statement, nullptr).sql);
            const QDir data(QStringLiteral(":/data"));
            for (const QString& file : data.entryList({QStringLiteral("*.tsv")}, QDir::Files, QDir::Name))
                loadTable(raw, QFileInfo(file).completeBaseName(), readResource(data.filePath(file)));
            raw.exec(QStringLiteral("COMMIT"));
        }
        if (!QFile::rename(temp, fi.absoluteFilePath()))
            throw DatabaseError(QStringLiteral("Impossibile creare il file %1")
                                    .arg(QDir::toNativeSeparators(path)));
    } catch (const DatabaseError& e) {
        QFile::remove(temp);
        throw DatabaseError(QStringLiteral("Creazione del database %1 non riuscita: %2")
                                .arg(QDir::toNativeSeparators(path), e.text()));
    }
}

} // namespace db
