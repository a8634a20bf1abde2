#include "viewer/flusso.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>
#include <algorithm>

namespace stampa {
namespace {

constexpr double kEps = 0.01;

struct Intervallo {
    double da, a;
};

// A table that continues on the next page repeats its heading and header rows.
struct Tabella {
    double corpo, fine;
    int riporto;
};

class Raccolta {
public:
    explicit Raccolta(QTextDocument& d) : m_d(d), m_l(d.documentLayout()) {}

    void leggi() {
        QTextFrame* radice = m_d.rootFrame();
        for (auto it = radice->begin(); !it.atEnd(); ++it) {
            if (QTextFrame* f = it.currentFrame()) {
                if (auto* t = qobject_cast<QTextTable*>(f))
                    tabella(*t);
                else
                    unita(m_l->frameBoundingRect(f).top(), m_l->frameBoundingRect(f).bottom());
                m_titolo = false;
            } else {
                blocco(it.currentBlock());
            }
        }
    }

    std::vector<Intervallo> unitaList;
    std::vector<Tabella> tabelle;
    std::vector<Riporto> riporti;

private:
    // A range no page may cut; the first one after a heading also holds the heading.
    void unita(double da, double a) {
        unitaList.push_back({da, a});
        if (m_tieni >= 0) {
            unitaList.push_back({m_tieni, a});
            m_tieni = -1;
        }
    }

    void blocco(const QTextBlock& b) {
        const QRectF r = m_l->blockBoundingRect(b);
        const QTextLayout* tl = b.layout();
        const bool titolo = b.blockFormat().headingLevel() > 0;
        const double tieni = titolo ? r.top() : -1;
        if (!tl || tl->lineCount() == 0) {
            unita(r.top(), r.bottom());
        } else {
            for (int i = 0; i < tl->lineCount(); ++i) {
                const QTextLine line = tl->lineAt(i);
                unita(r.top() + line.y(), r.top() + line.y() + line.height());
            }
        }
        m_titolo = titolo;
        if (!titolo) return;
        m_tieni = tieni;
        m_riportoTitolo = Riporto{};
        m_riportoTitolo.titoloDa = r.top();
        m_riportoTitolo.titoloA = r.bottom();
        if (tl && tl->lineCount() > 0) {
            const QTextLine ultima = tl->lineAt(tl->lineCount() - 1);
            m_riportoTitolo.xSegue = r.left() + ultima.x() + ultima.naturalTextWidth();
            m_riportoTitolo.ySegue = ultima.y();
            m_riportoTitolo.altezzaSegue = ultima.height();
        }
        QFont f = m_d.defaultFont();
        if (!b.begin().atEnd()) f = b.begin().fragment().charFormat().font().resolve(f);
        m_riportoTitolo.carattere = f;
    }

    void tabella(QTextTable& t) {
        const QRectF fr = m_l->frameBoundingRect(&t);
        const int righe = t.rows();
        if (righe == 0) {
            unita(fr.top(), fr.bottom());
            return;
        }
        std::vector<double> sopra(size_t(righe), fr.bottom()), sotto(size_t(righe), fr.top());
        for (int r = 0; r < righe; ++r)
            for (int c = 0; c < t.columns(); ++c) {
                const QTextTableCell cella = t.cellAt(r, c);
                if (cella.row() != r || cella.column() != c) continue;
                const QRectF primo = m_l->blockBoundingRect(cella.firstCursorPosition().block());
                const QRectF ultimo = m_l->blockBoundingRect(cella.lastCursorPosition().block());
                sopra[size_t(r)] = std::min(sopra[size_t(r)], primo.top());
                sotto[size_t(r)] = std::max(sotto[size_t(r)], ultimo.bottom());
            }
        // Rows meet halfway between one row's text and the next one's.
        std::vector<double> bordo(size_t(righe) + 1);
        bordo[0] = fr.top();
        bordo[size_t(righe)] = fr.bottom();
        for (int r = 1; r < righe; ++r)
            bordo[size_t(r)] = std::clamp((sotto[size_t(r - 1)] + sopra[size_t(r)]) / 2,
                                          bordo[size_t(r - 1)], fr.bottom());
        const int testa = std::clamp(t.format().headerRowCount(), 0, righe - 1);
        const double tieni = m_titolo ? m_tieni : -1;
        m_tieni = -1;
        for (int r = 0; r < righe; ++r) {
            int fine = r + 1;
            for (int c = 0; c < t.columns(); ++c) {
                const QTextTableCell cella = t.cellAt(r, c);
                if (cella.row() == r) fine = std::max(fine, std::min(righe, r + cella.rowSpan()));
            }
            unitaList.push_back({bordo[size_t(r)], bordo[size_t(fine)]});
        }
        // The header rows and the heading above stay with the first row of the body.
        const double primaRiga = bordo[size_t(std::min(righe, testa + 1))];
        unitaList.push_back({tieni >= 0 ? tieni : fr.top(), primaRiga});
        if (testa == 0 && !m_titolo) return;
        Riporto rp = m_titolo ? m_riportoTitolo : Riporto{};
        rp.testaDa = bordo[0];
        rp.testaA = bordo[size_t(testa)];
        riporti.push_back(rp);
        tabelle.push_back({bordo[size_t(testa)], fr.bottom(), int(riporti.size()) - 1});
    }

    QTextDocument& m_d;
    QAbstractTextDocumentLayout* m_l;
    bool m_titolo = false;
    double m_tieni = -1;
    Riporto m_riportoTitolo;
};

} // namespace

TagliFlusso tagliaFlusso(QTextDocument& d, double primo, double alto) {
    Raccolta r(d);
    r.leggi();
    TagliFlusso out;
    out.riporti = std::move(r.riporti);
    const double fine = d.documentLayout()->documentSize().height();

    // Breaks are the ends of the ranges that no other range covers.
    std::vector<Intervallo>& u = r.unitaList;
    std::sort(u.begin(), u.end(), [](const Intervallo& a, const Intervallo& b) { return a.da < b.da; });
    std::vector<double> tagli;
    double coperto = 0;
    for (const Intervallo& i : u) {
        if (i.da >= coperto - kEps) tagli.push_back(i.da);
        coperto = std::max(coperto, i.a);
        tagli.push_back(i.a);
    }
    // An end inside a later range is no break.
    std::vector<double> validi;
    {
        std::vector<Intervallo> fusi;
        for (const Intervallo& i : u) {
            if (!fusi.empty() && i.da < fusi.back().a - kEps)
                fusi.back().a = std::max(fusi.back().a, i.a);
            else
                fusi.push_back(i);
        }
        std::sort(tagli.begin(), tagli.end());
        size_t k = 0;
        for (const double t : tagli) {
            while (k < fusi.size() && fusi[k].a <= t + kEps)
                ++k;
            if (k < fusi.size() && fusi[k].da < t - kEps) continue;
            if (validi.empty() || t > validi.back() + kEps) validi.push_back(t);
        }
    }

    double s = 0;
    double spazio = primo > 0 ? primo : alto;
    int riporto = -1;
    bool primaFetta = true;
    while (s < fine - 0.5) {
        const double limite = s + spazio;
        double b = fine;
        if (limite < fine) {
            auto it = std::upper_bound(validi.begin(), validi.end(), limite + kEps);
            b = -1;
            if (it != validi.begin() && *std::prev(it) > s + 0.5) b = *std::prev(it);
            if (b < 0 && primaFetta && primo > 0) {
                // Nothing fits below what the page already holds: start on a new page.
                out.fette.push_back({0, 0, -1});
                primaFetta = false;
                spazio = alto;
                continue;
            }
            if (b < 0) b = limite; // a line or row taller than a page is cut
        }
        out.fette.push_back({s, b, riporto});
        primaFetta = false;
        riporto = -1;
        for (const Tabella& t : r.tabelle)
            if (b > t.corpo + kEps && b < t.fine - 0.5) riporto = t.riporto;
        spazio = alto;
        if (riporto >= 0) {
            if (out.riporti[size_t(riporto)].altezza() > alto / 2)
                riporto = -1;
            else
                spazio -= out.riporti[size_t(riporto)].altezza();
        }
        s = b;
    }
    return out;
}

} // namespace stampa
