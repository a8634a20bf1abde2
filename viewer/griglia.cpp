#include "viewer/griglia.h"

#include <QGlyphRun>
#include <QHash>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace stampa {
namespace {

constexpr double kPadX = 4;
constexpr double kPadY = 2.5;

const QColor kTesto(0x1a, 0x1a, 0x1a);
const QColor kFondoTesta(0xe4, 0xe8, 0xec);
const QColor kFondoGruppo(0xf1, 0xf3, 0xf5);
const QColor kFilo(0xc4, 0xc8, 0xcc);
const QColor kFiloScuro(0x44, 0x4a, 0x50);

} // namespace

struct PittoreGriglia::Corsa {
    QList<QGlyphRun> glifi;
    double larghezza = 0;
};

// A font, its metrics and a table of character advances for the quick "fits on one line"
// test, which decides most cells without laying text out.
struct PittoreGriglia::Caratteri {
    double scala;
    bool grassetto;
    QFont font;
    QFontMetricsF metriche;
    double riga;
    mutable std::array<float, 0x300> avanzi;
    // Shaped one-line texts: list tables repeat the same dates, operations and amounts on
    // thousands of rows, and shaping is most of the cost of painting them.
    mutable QHash<QString, Corsa> corse;

    Caratteri(const QFont& f, double s, bool g, QPaintDevice* d)
        : scala(s), grassetto(g), font(f), metriche(f, d), riga(metriche.lineSpacing()) {
        avanzi.fill(-1);
    }
    // At least the width of the text on one line (kerning only narrows it).
    double stima(QStringView t) const {
        double w = 0;
        for (const QChar ch : t) {
            const char16_t u = ch.unicode();
            if (u < avanzi.size()) {
                if (avanzi[u] < 0) avanzi[u] = float(metriche.horizontalAdvance(ch));
                w += avanzi[u];
            } else {
                w += metriche.horizontalAdvance(ch);
            }
        }
        return w;
    }
};

PittoreGriglia::PittoreGriglia(const QFont& base, QPaintDevice* dispositivo)
    : m_base(base), m_dispositivo(dispositivo) {}

PittoreGriglia::~PittoreGriglia() = default;

const PittoreGriglia::Caratteri& PittoreGriglia::caratteri(double scala, bool grassetto) const {
    for (const auto& c : m_caratteri)
        if (c->scala == scala && c->grassetto == grassetto) return *c;
    QFont f = m_base;
    f.setPointSizeF(m_base.pointSizeF() * scala);
    f.setBold(grassetto);
    m_caratteri.push_back(std::make_unique<Caratteri>(f, scala, grassetto, m_dispositivo));
    return *m_caratteri.back();
}

const PittoreGriglia::Corsa& PittoreGriglia::corsa(const QString& t, const Caratteri& f) const {
    auto it = f.corse.constFind(t);
    if (it != f.corse.constEnd()) return *it;
    if (f.corse.size() > 40000) f.corse.clear();
    QTextLayout l(t, f.font, m_dispositivo);
    QTextOption o;
    o.setWrapMode(QTextOption::NoWrap);
    o.setUseDesignMetrics(true);
    l.setTextOption(o);
    l.beginLayout();
    QTextLine line = l.createLine();
    line.setPosition(QPointF(0, 0));
    l.endLayout();
    Corsa c;
    c.larghezza = line.naturalTextWidth();
    c.glifi = l.glyphRuns();
    return *f.corse.insert(t, std::move(c));
}

int PittoreGriglia::righe(const CellaGriglia& c, const Caratteri& f, double larghezza) const {
    if (c.testo.isEmpty()) return 1;
    // Lines that each fit need no layout: most cells are a few short lines.
    if (c.formati.isEmpty()) {
        int n = 0;
        bool entrano = true;
        for (const QStringView parte : QStringView(c.testo).split(QChar::LineSeparator)) {
            ++n;
            if (f.stima(parte) * 1.01 > larghezza) {
                entrano = false;
                break;
            }
        }
        if (entrano) return n;
    }
    QTextLayout l(c.testo, f.font, m_dispositivo);
    QTextOption o;
    o.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    o.setUseDesignMetrics(true);
    l.setTextOption(o);
    l.setFormats(c.formati);
    l.beginLayout();
    int n = 0;
    for (QTextLine line = l.createLine(); line.isValid(); line = l.createLine()) {
        line.setLineWidth(larghezza);
        ++n;
    }
    l.endLayout();
    return std::max(n, 1);
}

void PittoreGriglia::adattaLarghezze(Griglia& g, double larghezza) const {
    const size_t n = g.larghezze.size();
    if (n < 2 || larghezza <= 0) return;
    std::vector<double> minimo(n, 0), ideale(n, 0);
    std::vector<std::vector<float>> righe(n); // per column: the width of each line
    auto misura = [&](const RigaGriglia& r, bool righeIntere) {
        const bool grassetta = r.stile != RigaGriglia::Stile::Normale;
        size_t col = 0;
        for (const CellaGriglia& c : r.celle) {
            if (c.colspan == 1 && col < n && !c.testo.isEmpty()) {
                const Caratteri& f =
                    caratteri(g.scala, c.grassetto || grassetta || !c.formati.isEmpty());
                for (const QStringView riga : QStringView(c.testo).split(QChar::LineSeparator)) {
                    if (righeIntere) righe[col].push_back(float(f.stima(riga)));
                    qsizetype da = 0;
                    for (qsizetype i = 0; i <= riga.size(); ++i)
                        if (i == riga.size() || riga[i] == u' ' || riga[i] == QChar(0x200B)) {
                            minimo[col] = std::max(minimo[col], f.stima(riga.mid(da, i - da)));
                            da = i + 1;
                        }
                }
            }
            col += size_t(c.colspan);
        }
    };
    for (const RigaGriglia& r : g.intestazione)
        misura(r, false);
    // A sample is enough for long lists: their columns repeat the same kinds of values.
    const size_t passo = std::max<size_t>(1, g.righe.size() / 4000);
    for (size_t r = 0; r < g.righe.size(); r += passo)
        misura(g.righe[r], true);

    // Wide enough for nineteen lines in twenty: a rare long value may wrap.
    for (size_t c = 0; c < n; ++c) {
        std::vector<float>& v = righe[c];
        if (v.empty()) continue;
        const auto k = v.begin() + qsizetype(v.size() * 95 / 100);
        std::nth_element(v.begin(), k, v.end());
        ideale[c] = *k;
    }
    const double margine = 2 * kPadX + 1;
    std::vector<double> w(n);
    double somma = 0, libero = 0;
    for (size_t c = 0; c < n; ++c) {
        minimo[c] += margine;
        ideale[c] = std::max(ideale[c] + margine, minimo[c]);
        w[c] = std::max(g.larghezze[c] * larghezza, minimo[c]);
        somma += w[c];
        libero += w[c] - minimo[c];
    }
    // Over the width: the columns above their minimum give back in proportion.
    if (somma > larghezza && libero > 0) {
        const double k = std::min(1.0, (somma - larghezza) / libero);
        for (size_t c = 0; c < n; ++c)
            w[c] -= (w[c] - minimo[c]) * k;
    }
    // Columns whose lines would wrap take what the others have beyond their widest line.
    double chiede = 0, offre = 0;
    for (size_t c = 0; c < n; ++c) {
        chiede += std::max(0.0, ideale[c] - w[c]);
        offre += std::max(0.0, w[c] - ideale[c]);
    }
    const double dato = std::min(chiede, offre);
    if (dato > 0)
        for (size_t c = 0; c < n; ++c) {
            if (w[c] < ideale[c])
                w[c] += (ideale[c] - w[c]) / chiede * dato;
            else
                w[c] -= (w[c] - ideale[c]) / offre * dato;
        }
    double totale = 0;
    for (const double x : w)
        totale += x;
    for (size_t c = 0; c < n; ++c)
        g.larghezze[c] = w[c] / totale;
}

double PittoreGriglia::altezzaRiga(const Griglia& g, const RigaGriglia& r, double larghezza) const {
    const bool rigaGrassetta = r.stile != RigaGriglia::Stile::Normale;
    double alta = caratteri(g.scala, false).riga;
    size_t col = 0;
    for (const CellaGriglia& c : r.celle) {
        double w = 0;
        for (int k = 0; k < c.colspan && col < g.larghezze.size(); ++k)
            w += g.larghezze[col++];
        const Caratteri& f = caratteri(g.scala, c.grassetto || rigaGrassetta);
        const double interna = std::max(8.0, w * larghezza - 2 * kPadX);
        alta = std::max(alta, righe(c, f, interna) * f.riga);
    }
    return std::ceil(alta + 2 * kPadY);
}

void PittoreGriglia::disegnaRiga(QPainter& p, const Griglia& g, const RigaGriglia& r,
                                 QPointF origine, double larghezza, double altezza,
                                 bool ultimaDiPagina) const {
    const QRectF area(origine, QSizeF(larghezza, altezza));
    const bool testa = r.stile == RigaGriglia::Stile::Intestazione;
    if (testa)
        p.fillRect(area, kFondoTesta);
    else if (r.stile == RigaGriglia::Stile::Gruppo)
        p.fillRect(area, kFondoGruppo);

    const bool rigaGrassetta = r.stile != RigaGriglia::Stile::Normale;
    size_t col = 0;
    double x = origine.x();
    p.setPen(kTesto);
    // The row's shaped lines become one run per font: the PDF writer spends as much on each
    // run it starts (state, font, text matrix) as on a dozen glyphs.
    struct Unione {
        QRawFont font;
        QList<quint32> glifi;
        QList<QPointF> posizioni;
    };
    std::vector<Unione> unioni;
    auto aggiungi = [&](const QGlyphRun& run, QPointF dove) {
        auto u = std::find_if(unioni.begin(), unioni.end(),
                              [&](const Unione& k) { return k.font == run.rawFont(); });
        if (u == unioni.end()) u = unioni.insert(unioni.end(), Unione{run.rawFont(), {}, {}});
        u->glifi += run.glyphIndexes();
        for (const QPointF& q : run.positions())
            u->posizioni.append(q + dove);
    };
    for (const CellaGriglia& c : r.celle) {
        double w = 0;
        for (int k = 0; k < c.colspan && col < g.larghezze.size(); ++k)
            w += g.larghezze[col++];
        const double wc = w * larghezza;
        const Caratteri& f = caratteri(g.scala, c.grassetto || rigaGrassetta);
        const double interna = std::max(8.0, wc - 2 * kPadX);
        bool fatto = c.testo.isEmpty();
        if (!fatto && c.formati.isEmpty()) {
            // Each line shaped once for the whole report, when every line fits.
            std::vector<Corsa> corse;
            for (const QStringView parte : QStringView(c.testo).split(QChar::LineSeparator)) {
                corse.push_back(corsa(parte.toString(), f));
                if (corse.back().larghezza > interna) break;
            }
            fatto = std::all_of(corse.begin(), corse.end(),
                                [&](const Corsa& k) { return k.larghezza <= interna; });
            for (size_t i = 0; fatto && i < corse.size(); ++i) {
                double dx = 0;
                if (c.allineamento & Qt::AlignRight)
                    dx = interna - corse[i].larghezza;
                else if (c.allineamento & Qt::AlignHCenter)
                    dx = (interna - corse[i].larghezza) / 2;
                for (const QGlyphRun& run : corse[i].glifi)
                    aggiungi(run,
                             QPointF(x + kPadX + dx, origine.y() + kPadY + double(i) * f.riga));
            }
        }
        if (!fatto) {
            QTextLayout l(c.testo, f.font, m_dispositivo);
            QTextOption o;
            o.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            o.setUseDesignMetrics(true);
            o.setAlignment(c.allineamento);
            l.setTextOption(o);
            if (!c.formati.isEmpty()) l.setFormats(c.formati);
            l.beginLayout();
            double y = 0;
            for (QTextLine line = l.createLine(); line.isValid(); line = l.createLine()) {
                line.setLineWidth(interna);
                line.setPosition(QPointF(0, y));
                y += f.riga;
            }
            l.endLayout();
            l.draw(&p, QPointF(x + kPadX, origine.y() + kPadY));
        }
        x += wc;
    }
    p.setPen(kTesto);
    for (const Unione& u : unioni) {
        QGlyphRun run;
        run.setRawFont(u.font);
        run.setGlyphIndexes(u.glifi);
        run.setPositions(u.posizioni);
        p.drawGlyphRun(QPointF(0, 0), run);
    }

    // Rules: a dark one under the header and above totals, a light one between rows.
    if (testa || ultimaDiPagina) {
        p.setPen(QPen(kFiloScuro, 0.8));
        p.drawLine(area.bottomLeft(), area.bottomRight());
    } else {
        p.setPen(QPen(kFilo, 0.5));
        p.drawLine(area.bottomLeft(), area.bottomRight());
    }
    if (r.stile == RigaGriglia::Stile::Totale) {
        p.setPen(QPen(kFiloScuro, 0.8));
        p.drawLine(area.topLeft(), area.topRight());
    }
    if (testa) {
        p.setPen(QPen(kFiloScuro, 0.8));
        p.drawLine(area.topLeft(), area.topRight());
    }
}

} // namespace stampa
