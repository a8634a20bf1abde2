#include "viewer/dati.h"

#include "db/collation.h"
#include "db/datetime.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_map>

namespace stampa {
namespace {

std::string minuscolo(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return out;
}

const QLocale& italiano() {
    static const QLocale l(QLocale::Italian, QLocale::Italy);
    return l;
}

} // namespace

QString formattaImporto(double v) {
    if (v == 0) v = 0; // no "-0,00"
    return italiano().toString(v, 'f', 2);
}

QString formattaNumero(double v) {
    if (std::floor(v) == v && std::fabs(v) < 1e15) return italiano().toString(qint64(v));
    QString s = italiano().toString(v, 'f', 6);
    while (s.endsWith(u'0'))
        s.chop(1);
    if (s.endsWith(u',')) s.chop(1);
    return s;
}

QString formattaData(db::CivilTime t, bool conOra) {
    int y, mo, d, h, mi, s;
    db::civilToParts(t, y, mo, d, h, mi, s);
    QString out = QStringLiteral("%1/%2/%3")
                      .arg(d, 2, 10, QChar(u'0'))
                      .arg(mo, 2, 10, QChar(u'0'))
                      .arg(y, 4, 10, QChar(u'0'));
    if (conOra && (h || mi || s))
        out += QStringLiteral(" %1:%2").arg(h, 2, 10, QChar(u'0')).arg(mi, 2, 10, QChar(u'0'));
    return out;
}

QString formattaSiNo(bool v) {
    return v ? QStringLiteral("Sì") : QStringLiteral("No");
}

RecordSet::RecordSet(db::RowStore righe, const std::vector<Calcolato>& calcolati)
    : m_righe(std::move(righe)) {
    for (int c = 0; c < m_righe.columnCount(); ++c)
        m_indice.emplace(minuscolo(m_righe.column(c).name.toUtf8().toStdString()), c);
    for (const Calcolato& calc : calcolati) {
        Calcolo k;
        k.nome = calc.nome;
        for (const Calcolato::Fattore& f : calc.fattori) {
            const int c = f.campo.isEmpty() ? -1 : colonna(f.campo);
            if (!f.campo.isEmpty() && c < 0) {
                // An unknown column makes every value Null rather than a wrong number.
                k.fattori.clear();
                k.numeri.clear();
                k.fattori.push_back({false, -2});
                k.numeri.push_back(0);
                break;
            }
            k.fattori.push_back({f.dividi, c});
            k.numeri.push_back(f.numero);
        }
        m_indice.emplace(minuscolo(k.nome.toUtf8().toStdString()),
                         m_righe.columnCount() + int(m_calcolati.size()));
        m_calcolati.push_back(std::move(k));
    }
}

QString RecordSet::nome(int c) const {
    return calcolata(c) ? m_calcolati[size_t(c - m_righe.columnCount())].nome
                        : m_righe.column(c).name;
}

db::FieldType RecordSet::tipo(int c) const {
    return calcolata(c) ? db::FieldType::Double : m_righe.column(c).type;
}

int RecordSet::colonna(std::string_view nome) const {
    const auto it = m_indice.find(minuscolo(nome));
    return it == m_indice.end() ? -1 : it->second;
}

bool RecordSet::nullo(int riga, int c) const {
    if (calcolata(c)) return !numero(riga, c).has_value();
    return m_righe.isNull(riga, c);
}

std::optional<double> RecordSet::numero(int riga, int c) const {
    if (calcolata(c)) {
        const Calcolo& k = m_calcolati[size_t(c - m_righe.columnCount())];
        double v = 1;
        for (size_t i = 0; i < k.fattori.size(); ++i) {
            const auto [dividi, col] = k.fattori[i];
            if (col == -2) return std::nullopt;
            double x = k.numeri[i];
            if (col >= 0) {
                const std::optional<double> n = numero(riga, col);
                if (!n) return std::nullopt;
                x = *n;
            }
            if (dividi) {
                if (x == 0) return std::nullopt;
                v /= x;
            } else {
                v *= x;
            }
        }
        return v;
    }
    if (m_righe.isNull(riga, c)) return std::nullopt;
    switch (m_righe.column(c).type) {
    case db::FieldType::Integer:
    case db::FieldType::Bool:
        return double(m_righe.integer(riga, c));
    case db::FieldType::Double:
        return m_righe.real(riga, c);
    default:
        return std::nullopt;
    }
}

QString RecordSet::testo(int riga, int c) const {
    if (calcolata(c)) {
        const std::optional<double> n = numero(riga, c);
        return n ? formattaImporto(*n) : QString();
    }
    if (m_righe.isNull(riga, c)) return QString();
    switch (m_righe.column(c).type) {
    case db::FieldType::Integer:
        return QString::number(m_righe.integer(riga, c));
    case db::FieldType::Double:
        return formattaImporto(m_righe.real(riga, c));
    case db::FieldType::Bool:
        return formattaSiNo(m_righe.integer(riga, c) != 0);
    case db::FieldType::Date:
        return formattaData(m_righe.date(riga, c), true);
    case db::FieldType::Blob:
        return QString();
    default: {
        const std::string_view t = m_righe.text(riga, c);
        return QString::fromUtf8(t.data(), qsizetype(t.size()));
    }
    }
}

std::string_view RecordSet::bytes(int riga, int c) const {
    if (calcolata(c) || m_righe.isNull(riga, c)) return {};
    return m_righe.text(riga, c);
}

namespace {

int giornoSettimana(std::string_view testo) {
    static const char* const giorni[] = {"lunedi",  "martedi", "mercoledi", "giovedi",
                                         "venerdi", "sabato",  "domenica"};
    const std::string f = db::text::fold(testo);
    for (int i = 0; i < 7; ++i)
        if (f.rfind(giorni[i], 0) == 0) return i;
    return 7;
}

} // namespace

std::vector<std::vector<int>> raggruppa(const RecordSet& rs, const std::vector<int>& colonne,
                                        const std::vector<Ordine>& ordini) {
    std::vector<std::vector<int>> gruppi;
    std::unordered_map<std::string, size_t> indice;
    const int n = rs.conteggio();
    for (int r = 0; r < n; ++r) {
        std::string chiave;
        for (const int c : colonne) {
            if (rs.nullo(r, c))
                chiave += std::string(1, '\0');
            else if (!rs.calcolata(c) && db::isTextual(rs.tipo(c)))
                chiave += db::text::fold(rs.store().text(r, c));
            else
                chiave += rs.testo(r, c).toStdString();
            chiave += '\x1f';
        }
        auto [it, nuovo] = indice.try_emplace(std::move(chiave), gruppi.size());
        if (nuovo) gruppi.emplace_back();
        gruppi[it->second].push_back(r);
    }
    if (ordini.empty()) return gruppi;

    // Groups ordered by their first row: Null first, then by the column's type.
    auto confronta = [&](int ra, int rb, const Ordine& o) {
        const int c = o.colonna;
        const bool na = rs.nullo(ra, c), nb = rs.nullo(rb, c);
        if (na || nb) return int(nb) - int(na);
        const db::FieldType tipo = rs.tipo(c);
        if (!rs.calcolata(c) && db::isTextual(tipo)) {
            if (o.settimana) {
                const int ga = giornoSettimana(rs.store().text(ra, c));
                const int gb = giornoSettimana(rs.store().text(rb, c));
                if (ga != gb) return ga < gb ? -1 : 1;
            }
            return db::text::compare(rs.store().text(ra, c), rs.store().text(rb, c));
        }
        if (!rs.calcolata(c) && tipo == db::FieldType::Date) {
            const db::CivilTime a = rs.store().date(ra, c), b = rs.store().date(rb, c);
            return a < b ? -1 : (a > b ? 1 : 0);
        }
        const double a = rs.numero(ra, c).value_or(0), b = rs.numero(rb, c).value_or(0);
        return a < b ? -1 : (a > b ? 1 : 0);
    };
    std::stable_sort(gruppi.begin(), gruppi.end(),
                     [&](const std::vector<int>& a, const std::vector<int>& b) {
                         for (const Ordine& o : ordini)
                             if (const int d = confronta(a.front(), b.front(), o)) return d < 0;
                         return false;
                     });
    return gruppi;
}

} // namespace stampa
