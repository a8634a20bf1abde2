#include "common/personalizzazioni.h"

#include "common/text.h"
#include "db/dataset.h"
#include "db/error.h"
#include "db/values.h"

#include <optional>

namespace common {

namespace {

QString testoValore(const db::Dataset& presets) {
    const QVariant v = presets.value(QStringLiteral("Valore"));
    return v.isNull() ? QString() : v.toString();
}

// Leaves the presets query unfiltered however the application ends.
class FiltroVuoto {
public:
    explicit FiltroVuoto(db::Dataset& q) : m_q(q) {}
    ~FiltroVuoto() {
        try {
            m_q.setFilter(QString());
        } catch (...) {
        }
    }
    FiltroVuoto(const FiltroVuoto&) = delete;
    FiltroVuoto& operator=(const FiltroVuoto&) = delete;

private:
    db::Dataset& m_q;
};

} // namespace

void ApplicaPersonalizzazioni(const QString& tabella, db::Dataset& record,
                              db::Dataset& personalizzazioni) {
    personalizzazioni.setFiltered(true);
    // Quoted, so a name with an apostrophe cannot break the filter.
    personalizzazioni.setFilter(QStringLiteral("NomeTabella = '") + QuotaFiltro(tabella) + u'\'');
    FiltroVuoto restore(personalizzazioni);

    record.edit();
    for (personalizzazioni.first(); !personalizzazioni.eof(); personalizzazioni.next()) {
        const QString tipo = personalizzazioni.value(QStringLiteral("Tipo")).toString();
        const QString campo = personalizzazioni.value(QStringLiteral("NomeCampo")).toString();
        const QString valore = testoValore(personalizzazioni);
        if (tipo == u"t") {
            const int c = record.fieldIndex(campo);
            if (c < 0) record.setValue(campo, valore); // raises the missing field's error
            // A text for a date or number column reads as the user would type it.
            else if (db::isTextual(record.field(c).type)) record.setValue(c, valore);
            else record.setText(c, valore);
        } else if (tipo == u"n") {
            const std::optional<long long> n = db::readInteger(valore);
            if (!n)
                throw db::DatabaseError(QStringLiteral("'%1' non è un valore intero valido (campo %2)")
                                            .arg(valore, campo));
            record.setValue(campo, qlonglong(*n));
        } else if (tipo == u"f") {
            // The workstation's decimal separator, the comma, and no other.
            const std::optional<double> x = db::readNumber(valore, db::Separators::CommaOnly);
            if (!x)
                throw db::DatabaseError(
                    QStringLiteral("'%1' non è un valore in virgola mobile valido (campo %2)")
                        .arg(valore, campo));
            record.setValue(campo, *x);
        }
    }
}

} // namespace common
