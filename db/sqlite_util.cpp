#include "db/sqlite_util.h"

#include "db/collation.h"
#include "db/datetime.h"

#include <QRegularExpression>
#include <sqlite3.h>

namespace db {

Statement::Statement(sqlite3* h, const QString& sql) : m_h(h) {
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(h, utf8.constData(), int(utf8.size()), &m_st, nullptr);
    if (rc != SQLITE_OK) fail(rc);
}

Statement::~Statement() { sqlite3_finalize(m_st); }

QString engineMessage(sqlite3* h) { return italianMessage(QString::fromUtf8(sqlite3_errmsg(h))); }

QString italianMessage(const QString& engineText) {
    // The texts users meet: names after the colon are the table or column concerned.
    static const struct {
        const char* prefix;
        const char* italian;
    } known[] = {
        {"no such table: ", "Tabella inesistente: %1"},
        {"no such column: ", "Campo inesistente: %1"},
        {"no such function: ", "Funzione inesistente: %1"},
        {"ambiguous column name: ", "Il campo %1 è in più tabelle: indicare quale"},
        {"UNIQUE constraint failed: ", "Valore già presente in %1: deve essere unico"},
        {"NOT NULL constraint failed: ", "Il campo %1 non può restare vuoto"},
        {"CHECK constraint failed: ", "Valore non ammesso (%1)"},
        {"duplicate column name: ", "Campo già presente: %1"},
        {"FOREIGN KEY constraint failed", "Il record fa riferimento a un record che non esiste"},
        {"database is locked", "Il database è occupato da un'altra postazione: riprovare"},
        {"database table is locked", "Il database è occupato da un'altra postazione: riprovare"},
        {"file is not a database", "Il file non è un database"},
        {"database disk image is malformed", "Il database è danneggiato"},
        {"database or disk is full", "Il disco è pieno: impossibile scrivere il database"},
        {"disk I/O error", "Errore di lettura o scrittura sul disco"},
        {"attempt to write a readonly database", "Il database è in sola lettura"},
        {"unable to open database file", "Impossibile aprire il file del database"},
        {"interrupted", "Operazione interrotta"},
        {"out of memory", "Memoria insufficiente"},
    };
    for (const auto& k : known) {
        const QString prefix = QString::fromLatin1(k.prefix);
        if (engineText.startsWith(prefix))
            return QString::fromUtf8(k.italian).arg(engineText.mid(prefix.size()));
    }
    static const QRegularExpression tableExists(QStringLiteral(R"(^table (\S+) already exists$)"));
    static const QRegularExpression nearSyntax(QStringLiteral(R"re(^near "(.*)": syntax error$)re"));
    if (const auto m = tableExists.match(engineText); m.hasMatch())
        return QStringLiteral("La tabella %1 esiste già").arg(m.captured(1));
    if (const auto m = nearSyntax.match(engineText); m.hasMatch())
        return QStringLiteral("Errore di sintassi vicino a \"%1\"").arg(m.captured(1));
    return engineText;
}

void Statement::fail(int rc) const {
    const QString msg = engineMessage(m_h);
    const int primary = rc & 0xff;
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) throw BusyError(msg);
    // The engine rolls the statement back; the user must learn why and where, in Italian.
    if (primary == SQLITE_FULL)
        throw DatabaseError(QStringLiteral("Il disco è pieno: impossibile scrivere nel database %1")
                                .arg(QString::fromUtf8(sqlite3_db_filename(m_h, "main"))));
    throw DatabaseError(msg);
}

void Statement::bind(int index, const QVariant& v) {
    int rc;
    if (!v.isValid() || v.isNull()) {
        rc = sqlite3_bind_null(m_st, index);
    } else {
        switch (v.typeId()) {
        case QMetaType::Bool:
            rc = sqlite3_bind_int64(m_st, index, v.toBool() ? 1 : 0);
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Long:
        case QMetaType::ULong:
            rc = sqlite3_bind_int64(m_st, index, v.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(m_st, index, v.toDouble());
            break;
        case QMetaType::QDateTime: {
            const std::string s = formatStoredDate(civilFromQDateTime(v.toDateTime()));
            rc = sqlite3_bind_text(m_st, index, s.data(), int(s.size()), SQLITE_TRANSIENT);
            break;
        }
        case QMetaType::QDate: {
            const std::string s = formatStoredDate(civilFromQDate(v.toDate()));
            rc = sqlite3_bind_text(m_st, index, s.data(), int(s.size()), SQLITE_TRANSIENT);
            break;
        }
        case QMetaType::QByteArray: {
            const QByteArray b = v.toByteArray();
            rc = sqlite3_bind_blob(m_st, index, b.constData(), int(b.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray s = v.toString().toUtf8();
            rc = sqlite3_bind_text(m_st, index, s.constData(), int(s.size()), SQLITE_TRANSIENT);
        }
        }
    }
    if (rc != SQLITE_OK) fail(rc);
}

bool Statement::step() {
    const int rc = sqlite3_step(m_st);
    m_stepped = true;
    if (rc == SQLITE_ROW) return m_hasRow = true;
    m_hasRow = false;
    if (rc == SQLITE_DONE) return false;
    fail(rc);
}

void Statement::reset() {
    sqlite3_reset(m_st);
    sqlite3_clear_bindings(m_st);
    m_stepped = m_hasRow = false;
}

int Statement::columnCount() const { return sqlite3_column_count(m_st); }

QString Statement::text(int c) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_st, c));
    return p ? QString::fromUtf8(p, sqlite3_column_bytes(m_st, c)) : QString();
}

long long Statement::integer(int c) const { return sqlite3_column_int64(m_st, c); }
double Statement::real(int c) const { return sqlite3_column_double(m_st, c); }

std::string_view Statement::bytes(int c) const {
    if (sqlite3_column_type(m_st, c) == SQLITE_BLOB) {
        const auto* p = static_cast<const char*>(sqlite3_column_blob(m_st, c));
        return std::string_view(p, size_t(sqlite3_column_bytes(m_st, c)));
    }
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_st, c));
    return p ? std::string_view(p, size_t(sqlite3_column_bytes(m_st, c))) : std::string_view();
}
bool Statement::isNull(int c) const { return sqlite3_column_type(m_st, c) == SQLITE_NULL; }

std::vector<ColumnInfo> Statement::columnInfos(const QList<sql::ResultColumn>& jetColumns,
                                               const sql::Catalog& catalog) {
    const int n = columnCount();
    const bool useJet = jetColumns.size() == n;
    std::vector<ColumnInfo> out; out.resize(size_t(n));
    std::vector<int> unknown;
    for (int c = 0; c < n; ++c) {
        ColumnInfo& info = out[size_t(c)];
        info.name = useJet ? jetColumns[c].name : QString::fromUtf8(sqlite3_column_name(m_st, c));
        const char* table = sqlite3_column_table_name(m_st, c);
        const char* origin = sqlite3_column_origin_name(m_st, c);
        if (table && origin) {
            info.table = QString::fromUtf8(table);
            info.origin = QString::fromUtf8(origin);
            const char* decl = sqlite3_column_decltype(m_st, c);
            const QString declared = QString::fromUtf8(decl ? decl : "");
            info.type = sql::fieldTypeFromDeclared(declared);
            info.currency = sql::isCurrencyDeclared(declared);
            for (const auto& col : catalog.columns(info.table))
                if (col.name.compare(info.origin, Qt::CaseInsensitive) == 0) {
                    info.origin = col.name;
                    info.autoNumber = col.autoNumber;
                    break;
                }
        } else {
            unknown.push_back(c);
        }
    }
    if (!unknown.empty()) {
        // Computed values take the type of their first value that is not Null.
        const bool row = m_stepped ? m_hasRow : step();
        for (int c : unknown) {
            FieldType t = FieldType::Text;
            if (row) {
                switch (sqlite3_column_type(m_st, c)) {
                case SQLITE_INTEGER: t = FieldType::Integer; break;
                case SQLITE_FLOAT: t = FieldType::Double; break;
                case SQLITE_BLOB: t = FieldType::Blob; break;
                default: break;
                }
            }
            out[size_t(c)].type = t;
        }
    }
    return out;
}

void Statement::readAll(RowStore& store) {
    const int n = store.columnCount();
    std::vector<FieldType> types; types.resize(size_t(n));
    for (int c = 0; c < n; ++c) types[size_t(c)] = store.column(c).type;
    bool row = m_stepped ? m_hasRow : step();
    while (row) {
        const int r = store.appendRow();
        for (int c = 0; c < n; ++c) {
            const int st = sqlite3_column_type(m_st, c);
            if (st == SQLITE_NULL) continue;
            switch (types[size_t(c)]) {
            case FieldType::Integer:
            case FieldType::Bool:
                store.setInteger(r, c, sqlite3_column_int64(m_st, c));
                break;
            case FieldType::Double:
                store.setReal(r, c, sqlite3_column_double(m_st, c));
                break;
            case FieldType::Date: {
                const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_st, c));
                if (auto t = parseStoredDate(std::string_view(p, size_t(sqlite3_column_bytes(m_st, c)))))
                    store.setInteger(r, c, *t);
                break;
            }
            case FieldType::Blob: {
                const auto* p = static_cast<const char*>(sqlite3_column_blob(m_st, c));
                store.setText(r, c, std::string_view(p, size_t(sqlite3_column_bytes(m_st, c))));
                break;
            }
            default: {
                const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_st, c));
                store.setText(r, c, std::string_view(p, size_t(sqlite3_column_bytes(m_st, c))));
            }
            }
        }
        row = step();
    }
}

namespace {

std::string_view argText(sqlite3_value* v) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return p ? std::string_view(p, size_t(sqlite3_value_bytes(v))) : std::string_view();
}

bool isNumber(sqlite3_value* v) {
    const int t = sqlite3_value_type(v);
    return t == SQLITE_INTEGER || t == SQLITE_FLOAT;
}

// Jet `+`: numbers add, anything else concatenates; Null propagates.
void jetAdd(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    if (isNumber(argv[0]) && isNumber(argv[1])) {
        if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER &&
            sqlite3_value_type(argv[1]) == SQLITE_INTEGER)
            return sqlite3_result_int64(ctx, sqlite3_value_int64(argv[0]) + sqlite3_value_int64(argv[1]));
        return sqlite3_result_double(ctx, sqlite3_value_double(argv[0]) + sqlite3_value_double(argv[1]));
    }
    std::string s(argText(argv[0]));
    s.append(argText(argv[1]));
    sqlite3_result_text(ctx, s.data(), int(s.size()), SQLITE_TRANSIENT);
}

} // namespace

void registerFunctions(sqlite3* h) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    // Identifiers are always emitted in double quotes: a misspelt one must be an error, not
    // a string.
    sqlite3_db_config(h, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(h, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    int rc = sqlite3_create_collation_v2(h, "ITALIAN", SQLITE_UTF8, nullptr, text::sqliteCollate, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function(h, "like", 2, flags, nullptr, text::sqliteLike, nullptr, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_create_function(h, "jet_add", 2, flags, nullptr, jetAdd, nullptr, nullptr);
    if (rc != SQLITE_OK) throw DatabaseError(QString::fromUtf8(sqlite3_errmsg(h)));
}

} // namespace db
