#include "common/scadenze.h"

#include <cmath>

namespace common {

namespace {
constexpr int kUltimoAnno = 9999;
}

QDate AggiungiMesi(const QDate& data, int mesi) {
    if (!data.isValid() || mesi < 0) return {};
    // Whole years are carried as often as needed, so every number of months gives a real
    // month (a single carry would leave month 25 for two years and more).
    const long long mese0 = (long long)(data.month() - 1) + mesi;
    const long long anno = data.year() + mese0 / 12;
    const int mese = int(mese0 % 12) + 1;
    if (anno > kUltimoAnno) return {};
    const int giorniMese = QDate(int(anno), mese, 1).daysInMonth();
    return QDate(int(anno), mese, std::min(data.day(), giorniMese));
}

std::optional<QDate> ScadenzaAbbonamento(const QDate& oggi, const QVariant& scadenzaMesi) {
    if (!scadenzaMesi.isValid() || scadenzaMesi.isNull()) return std::nullopt;
    bool ok = false;
    const double mesi = scadenzaMesi.toDouble(&ok);
    if (!ok || !std::isfinite(mesi) || !(mesi > 0)) return std::nullopt;
    const double interi = std::trunc(mesi);
    if (interi > 12.0 * kUltimoAnno) return std::nullopt;
    const QDate scadenza = AggiungiMesi(oggi, int(interi));
    if (!scadenza.isValid()) return std::nullopt;
    return scadenza;
}

} // namespace common
