#include "db/rowstore.h"

#include "db/error.h"
#include "db/values.h"

#include <QDate>

namespace db {

RowStore::RowStore(std::vector<ColumnInfo> columns) {
    m_columns.reserve(columns.size());
    for (auto& info : columns) {
        Column c;
        c.info = std::move(info);
        m_columns.push_back(std::move(c));
    }
}

const std::vector<ColumnInfo> RowStore::columnInfos() const {
    std::vector<ColumnInfo> out;
    out.reserve(m_columns.size());
    for (const auto& c : m_columns) out.push_back(c.info);
    return out;
}

int RowStore::findColumn(QStringView name) const {
    for (size_t i = 0; i < m_columns.size(); ++i)
        if (name.compare(m_columns[i].info.name, Qt::CaseInsensitive) == 0) return int(i);
    return -1;
}

std::string_view RowStore::text(int row, int c) const {
    const Column& col = m_columns[size_t(c)];
    return std::string_view(col.arena.data() + col.offsets[size_t(row)],
                            col.lengths[size_t(row)]);
}

double RowStore::number(int row, int c) const {
    const Column& col = m_columns[size_t(c)];
    if (col.info.type == FieldType::Double) return col.reals[size_t(row)];
    if (col.isText()) return readNumber(QString::fromUtf8(text(row, c))).value_or(0);
    return double(col.ints[size_t(row)]);
}

QVariant RowStore::value(int row, int c) const {
    const Column& col = m_columns[size_t(c)];
    if (col.nulls[size_t(row)]) return QVariant();
    switch (col.info.type) {
    case FieldType::Integer:
        return QVariant(qlonglong(col.ints[size_t(row)]));
    case FieldType::Bool:
        return QVariant(col.ints[size_t(row)] != 0);
    case FieldType::Double:
        return QVariant(col.reals[size_t(row)]);
    case FieldType::Date:
        return QVariant(qDateTimeFromCivil(col.ints[size_t(row)]));
    case FieldType::Text:
    case FieldType::Memo: {
        const auto t = text(row, c);
        return QVariant(QString::fromUtf8(t.data(), qsizetype(t.size())));
    }
    case FieldType::Blob: {
        const auto t = text(row, c);
        return QVariant(QByteArray(t.data(), qsizetype(t.size())));
    }
    }
    return QVariant();
}

namespace {

[[noreturn]] void conversionError(const ColumnInfo& info, const QVariant& v) {
    throw DatabaseError(QStringLiteral("Il valore \"%1\" non è valido per il campo %2")
                            .arg(v.toString(), info.name));
}

double toDouble(const ColumnInfo& info, const QVariant& v) {
    bool ok = false;
    double d = 0;
    if (v.typeId() == QMetaType::QString) {
        const std::optional<double> n = readNumber(v.toString());
        ok = n.has_value();
        d = n.value_or(0);
    } else if (v.typeId() == QMetaType::Bool) {
        d = v.toBool() ? 1 : 0;
        ok = true;
    } else {
        d = v.toDouble(&ok);
    }
    if (!ok) conversionError(info, v);
    return d;
}

long long toInteger(const ColumnInfo& info, const QVariant& v) {
    bool ok = false;
    long long n = 0;
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = v.toDouble();
        n = (long long)(d < 0 ? d - 0.5 : d + 0.5);
        ok = true;
        break;
    }
    case QMetaType::Bool:
        n = v.toBool() ? 1 : 0;
        ok = true;
        break;
    case QMetaType::QString: {
        // Exact for whole numbers beyond a double's 53 bits; other numbers round.
        if (const std::optional<long long> i = readInteger(v.toString())) return *i;
        const double d = toDouble(info, v);
        n = (long long)(d < 0 ? d - 0.5 : d + 0.5);
        ok = true;
        break;
    }
    default:
        n = v.toLongLong(&ok);
    }
    if (!ok) conversionError(info, v);
    return n;
}

bool toBool(const ColumnInfo& info, const QVariant& v) {
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed().toLower();
        if (s == u"true" || s == u"vero" || s == u"si" || s == u"sì" || s == u"-1" || s == u"1")
            return true;
        if (s == u"false" || s == u"falso" || s == u"no" || s == u"0") return false;
        conversionError(info, v);
    }
    return toInteger(info, v) != 0;
}

CivilTime toDate(const ColumnInfo& info, const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::QDateTime: {
        const QDateTime dt = v.toDateTime();
        if (!dt.isValid()) conversionError(info, v);
        return civilFromQDateTime(dt);
    }
    case QMetaType::QDate: {
        const QDate d = v.toDate();
        if (!d.isValid()) conversionError(info, v);
        return civilFromQDate(d);
    }
    default: {
        // The stored form "yyyy-mm-dd hh:mm:ss" or a date as typed ("15/03/2024").
        if (auto t = readDate(v.toString(), DateOrder::DayFirst)) return *t;
        conversionError(info, v);
    }
    }
}

} // namespace

void RowStore::setValue(int row, int c, const QVariant& v) {
    Column& col = m_columns[size_t(c)];
    if (!v.isValid() || v.isNull()) {
        setNull(row, c);
        return;
    }
    switch (col.info.type) {
    case FieldType::Integer:
        setInteger(row, c, toInteger(col.info, v));
        break;
    case FieldType::Bool:
        setInteger(row, c, toBool(col.info, v) ? 1 : 0);
        break;
    case FieldType::Double:
        setReal(row, c, toDouble(col.info, v));
        break;
    case FieldType::Date:
        setInteger(row, c, toDate(col.info, v));
        break;
    case FieldType::Text:
    case FieldType::Memo: {
        QString s;
        if (v.typeId() == QMetaType::QDateTime)
            s = QString::fromStdString(formatStoredDate(civilFromQDateTime(v.toDateTime())));
        else
            s = v.toString();
        const QByteArray utf8 = s.toUtf8();
        setText(row, c, std::string_view(utf8.constData(), size_t(utf8.size())));
        break;
    }
    case FieldType::Blob: {
        const QByteArray bytes = v.toByteArray();
        setText(row, c, std::string_view(bytes.constData(), size_t(bytes.size())));
        break;
    }
    }
}

int RowStore::appendRow() {
    for (auto& col : m_columns) {
        col.nulls.push_back(1);
        if (col.isText()) {
            col.offsets.push_back(0);
            col.lengths.push_back(0);
        } else if (col.info.type == FieldType::Double) {
            col.reals.push_back(0);
        } else {
            col.ints.push_back(0);
        }
    }
    m_dead.push_back(0);
    return m_rows++;
}

void RowStore::setNull(int row, int c) {
    Column& col = m_columns[size_t(c)];
    col.nulls[size_t(row)] = 1;
    if (col.isText())
        col.lengths[size_t(row)] = 0;
    else if (col.info.type == FieldType::Double)
        col.reals[size_t(row)] = 0;
    else
        col.ints[size_t(row)] = 0;
}

void RowStore::setInteger(int row, int c, long long v) {
    Column& col = m_columns[size_t(c)];
    col.nulls[size_t(row)] = 0;
    if (col.info.type == FieldType::Double)
        col.reals[size_t(row)] = double(v);
    else
        col.ints[size_t(row)] = v;
}

void RowStore::setReal(int row, int c, double v) {
    Column& col = m_columns[size_t(c)];
    col.nulls[size_t(row)] = 0;
    if (col.info.type == FieldType::Double)
        col.reals[size_t(row)] = v;
    else
        col.ints[size_t(row)] = (long long)(v < 0 ? v - 0.5 : v + 0.5);
}

void RowStore::setText(int row, int c, std::string_view utf8) {
    Column& col = m_columns[size_t(c)];
    col.nulls[size_t(row)] = 0;
    // Edits append: the old bytes stay in the arena until the next load.
    col.offsets[size_t(row)] = uint32_t(col.arena.size());
    col.lengths[size_t(row)] = uint32_t(utf8.size());
    col.arena.append(utf8);
}

void RowStore::reserve(int rows) {
    for (auto& col : m_columns) {
        col.nulls.reserve(size_t(rows));
        if (col.isText()) {
            col.offsets.reserve(size_t(rows));
            col.lengths.reserve(size_t(rows));
        } else if (col.info.type == FieldType::Double) {
            col.reals.reserve(size_t(rows));
        } else {
            col.ints.reserve(size_t(rows));
        }
    }
    m_dead.reserve(size_t(rows));
}

void RowStore::clear() {
    for (auto& col : m_columns) {
        col.nulls.clear();
        col.ints.clear();
        col.reals.clear();
        col.offsets.clear();
        col.lengths.clear();
        col.arena.clear();
    }
    m_dead.clear();
    m_rows = 0;
}

size_t RowStore::memoryBytes() const {
    size_t n = m_dead.capacity();
    for (const auto& col : m_columns) {
        n += col.nulls.capacity() + col.ints.capacity() * sizeof(long long) +
             col.reals.capacity() * sizeof(double) + col.offsets.capacity() * 4 +
             col.lengths.capacity() * 4 + col.arena.capacity();
    }
    return n;
}

} // namespace db
