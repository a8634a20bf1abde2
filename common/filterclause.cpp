#include "common/filterclause.h"

#include "common/text.h"
#include "db/connection.h"
#include "db/datetime.h"
#include "db/error.h"
#include "db/rowstore.h"
#include "db/values.h"

namespace common {

FilterOptions FilterOptions::reportViewer() {
    FilterOptions o;
    o.noColumnText = QStringLiteral(
        "Attenzione è necessario selezionare una voce dall'elenco prima di aggiungere... ");
    o.noColumnCaption = QStringLiteral("Messaggio di Errore");
    o.noValueText =
        QStringLiteral("Attenzione è necessario selezionare una voce prima di aggiungerla... ");
    o.noValueCaption = QStringLiteral("Messaggio di Errore");
    return o;
}

FilterOptions FilterOptions::exportTool() {
    FilterOptions o;
    o.offeredDates = OfferedDates::YearAfter1901;
    o.dateBounds = DateBounds::DayAndEndMinute;
    o.numberBounds = NumberBounds::AsTyped;
    o.spaceBeforeTextQuote = false;
    o.spaceAfterYesNoEquals = false;
    o.noColumnText = QStringLiteral("Attenzione non e' stato selezionato alcun campo !");
    o.noColumnCaption = QStringLiteral("Messaggio di Avviso");
    o.noValueText =
        QStringLiteral("Attenzione è necessario selezionare una voce prima di aggiungerla...");
    o.noValueCaption = QStringLiteral("Messaggio di Avviso");
    o.noColumnErrorIcon = false;
    return o;
}

// --- columns and values ------------------------------------------------------------------

bool isFilterableColumn(const QString& name) {
    const QString up = name.toUpper();
    return up != u"ID" && !up.contains(u"ID_") && !up.contains(u"_ID") &&
           !up.contains(u"HYPER_ID") && up != u"ANNULLATO";
}

QStringList filterableColumns(db::Connection& connection, const QString& query) {
    QStringList out;
    if (query.trimmed().isEmpty()) return out;
    db::RowStore store;
    connection.load(QStringLiteral("SELECT TOP 1 * FROM (") + query + u')', store);
    for (int c = 0; c < store.columnCount(); ++c)
        if (isFilterableColumn(store.column(c).name)) out.append(store.column(c).name);
    return out;
}

namespace {

bool dateOffered(db::CivilTime t, FilterOptions::OfferedDates which) {
    int y, mo, d, h, mi, s;
    db::civilToParts(t, y, mo, d, h, mi, s);
    if (which == FilterOptions::OfferedDates::YearAfter1901) return y > 1901;
    return t > db::civilFromParts(1900, 1, 1);
}

} // namespace

DistinctValues distinctValues(db::Connection& connection, const QString& query,
                              const QString& column, const FilterOptions& options) {
    DistinctValues out;
    db::RowStore store;
    connection.load(QStringLiteral("select distinct [") + column + QStringLiteral("] from (") +
                        query + u')' + QStringLiteral(" ORDER BY [") + column + u']',
                    store);
    if (store.columnCount() < 1) return out;
    out.type = store.column(0).type;
    if (out.type == db::FieldType::Bool) {
        out.items = {QStringLiteral("Si"), QStringLiteral("No")};
        return out;
    }
    for (int r = 0; r < store.rowCount(); ++r) {
        if (store.isNull(r, 0)) continue;
        switch (out.type) {
        case db::FieldType::Date:
            if (dateOffered(store.date(r, 0), options.offeredDates))
                out.items.append(db::displayDate(store.date(r, 0)));
            break;
        case db::FieldType::Integer:
            out.items.append(QString::number(store.integer(r, 0)));
            break;
        case db::FieldType::Double:
            out.items.append(db::displayNumber(store.real(r, 0), db::Grouping::None));
            break;
        case db::FieldType::Blob: // pictures have no text to offer
            break;
        default: {
            const std::string_view t = store.text(r, 0);
            out.items.append(QString::fromUtf8(t.data(), qsizetype(t.size())));
        }
        }
    }
    return out;
}

QStringList upperChoices(const QStringList& items, int chosenIndex) {
    if (chosenIndex < 0 || chosenIndex >= items.size()) return items;
    return items.mid(chosenIndex);
}

std::optional<QDateTime> readDateTime(const QString& text) {
    const std::optional<db::CivilTime> t = db::readDate(text, db::DateOrder::DayFirst);
    if (!t) return std::nullopt;
    return db::qDateTimeFromCivil(*t);
}

// --- the clause ----------------------------------------------------------------------------

namespace {

// A number bound as typed for the export, only when it reads as a number: never raw text
// into the statement.
QString typedNumber(const QString& value) {
    const std::optional<double> v = db::readNumber(value);
    if (!v)
        throw db::DatabaseError(
            QStringLiteral("Attenzione il valore \"%1\" non è un numero valido").arg(value));
    return db::numberLiteral(*v);
}

QDateTime requireDate(const QString& value) {
    const std::optional<QDateTime> dt = readDateTime(value);
    if (!dt)
        throw db::DatabaseError(
            QStringLiteral("Attenzione il valore \"%1\" non è una data valida").arg(value));
    return *dt;
}

QString dateParts(const QDate& d) {
    return QString::number(d.month()) + u'/' + QString::number(d.day()) + u'/' +
           QString::number(d.year());
}

} // namespace

FilterClause::FilterClause(FilterOptions options) : m_options(std::move(options)) {}

void FilterClause::clear() {
    m_clause.clear();
    m_description.clear();
}

QString FilterClause::confirmedClause() const {
    return m_clause.size() <= 6 ? QString() : m_clause;
}

QString FilterClause::connector(bool first, bool useAnd) const {
    if (first) return QStringLiteral(" Where ");
    return useAnd ? QStringLiteral(" AND ") : QStringLiteral(" OR ");
}

QString FilterClause::bound(const QString& column, db::FieldType type, const QString& value,
                            bool upper) const {
    const QString name = u'[' + column + u']';
    const QString op = upper ? QStringLiteral(" <=") : QStringLiteral(" >=");
    const bool report = m_options.numberBounds == FilterOptions::NumberBounds::LeadingNumber;
    switch (type) {
    case db::FieldType::Text:
    case db::FieldType::Memo:
        // Quotes doubled in both windows: O'Neil must not end the literal.
        return name + op + (m_options.spaceBeforeTextQuote ? QStringLiteral(" '") : QStringLiteral("'")) +
               QuotaFiltro(value) + u'\'';
    case db::FieldType::Bool:
        return name + (m_options.spaceAfterYesNoEquals ? QStringLiteral(" = ") : QStringLiteral(" =")) +
               (value == u"Si" ? QStringLiteral("True") : QStringLiteral("False"));
    case db::FieldType::Date: {
        const QDateTime dt = requireDate(value);
        const QTime t = dt.time();
        if (m_options.dateBounds == FilterOptions::DateBounds::ValueTime)
            return name + op + QStringLiteral(" #") + dateParts(dt.date()) + u' ' +
                   QString::number(t.hour()) + u'.' + QString::number(t.minute()) + u'.' +
                   QString::number(t.second()) + u'#';
        if (!upper) return name + op + u'#' + dateParts(dt.date()) + u'#';
        return name + op + u'#' + dateParts(dt.date()) + u' ' + QString::number(t.hour()) +
               u'.' + QString::number(t.minute()) + QStringLiteral(".59#");
    }
    case db::FieldType::Integer:
    case db::FieldType::Double:
        if (report) return name + op + u' ' + db::numberLiteral(db::leadingNumber(value));
        return name + op + (upper ? QStringLiteral(" ") : QString()) + typedNumber(value);
    default:
        if (report) return name + op + u' ' + db::numberLiteral(db::leadingNumber(value));
        return name + op + u' ' + typedNumber(value);
    }
}

FilterClause::Outcome FilterClause::add(const QString& column, std::optional<db::FieldType> type,
                                        const QString& lower, const QString& upper,
                                        bool useAnd) {
    if (column.isEmpty() || !type) return Outcome::NoColumn;
    // Both bounds are written before anything changes, so a bad value leaves no trace.
    const QString lowerCond = lower.isEmpty() ? QString() : bound(column, *type, lower, false);
    const QString upperCond = upper.isEmpty() ? QString() : bound(column, *type, upper, true);

    if (!m_description.isEmpty()) m_description += useAnd ? QStringLiteral(" e ") : QStringLiteral(" o ");
    if (lower.isEmpty() && upper.isEmpty()) return Outcome::NoValue;

    if (!lower.isEmpty()) {
        m_clause += connector(m_clause.isEmpty(), useAnd) + lowerCond;
        m_description += QStringLiteral(" Da ") + lower;
    }
    if (!upper.isEmpty()) {
        m_clause += connector(m_clause.isEmpty() && lower.isEmpty(), useAnd) + upperCond;
        m_description += QStringLiteral(" fino a ") + upper;
    }
    return Outcome::Added;
}

} // namespace common
