#include "viewer/impaginazione.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QPainter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QUrl>

namespace stampa {
namespace {

constexpr double kTestata = 26; // page header band
constexpr double kPiede = 22;   // page footer band
constexpr double kDopoTabella = 8;
constexpr size_t kDocumentiInMemoria = 24;

const QRegularExpression& reImmagine() {
    static const QRegularExpression re(QStringLiteral("vastrel-img:(\\d+)"));
    return re;
}

// One line of text in a rectangle, elided when too long.
void testo(QPainter& p, QPaintDevice* d, const QFont& f, const QString& t, const QRectF& r,
           Qt::Alignment a, const QColor& colore) {
    const QString riga = QFontMetricsF(f, d).elidedText(t, Qt::ElideRight, r.width());
    QTextLayout l(riga, f, d);
    QTextOption o(a);
    o.setWrapMode(QTextOption::NoWrap);
    o.setUseDesignMetrics(true);
    l.setTextOption(o);
    l.beginLayout();
    QTextLine line = l.createLine();
    line.setLineWidth(r.width());
    l.endLayout();
    p.setPen(colore);
    l.draw(&p, QPointF(r.left(), r.top() + (r.height() - line.height()) / 2));
}

QByteArray mime(const QByteArray& b) {
    if (b.startsWith("\xFF\xD8")) return "image/jpeg";
    if (b.startsWith("\x89PNG")) return "image/png";
    if (b.startsWith("GIF8")) return "image/gif";
    return QByteArray();
}

} // namespace

DocumentoStampa::DocumentoStampa(ReportReso reso, const Layout& layout, const QPageSize& formato,
                                 QString centro, QDate oggi)
    : m_reso(std::move(reso)), m_titolo(layout.titolo), m_centro(std::move(centro)), m_oggi(oggi),
      m_formato(formato), m_orizzontale(layout.orizzontale), m_margine(layout.margini * kPxPerMm),
      m_punti(layout.carattere), m_pennello(nuovoPennello()),
      m_numeraDocumenti(layout.numeraDocumenti) {

    QSizeF mm = formato.size(QPageSize::Millimeter);
    if (m_orizzontale != (mm.width() > mm.height())) mm.transpose();
    m_pagina = mm * kPxPerMm;
    m_corpo = QRectF(m_margine, m_margine + kTestata, m_pagina.width() - 2 * m_margine,
                     m_pagina.height() - 2 * m_margine - kTestata - kPiede);
    m_doc = scomponi(m_reso.html);
    impagina();
}

DocumentoStampa::~DocumentoStampa() = default;

namespace {

QImage dispositivo96() {
    QImage d(1, 1, QImage::Format_RGB32);
    d.setDotsPerMeterX(qRound(96 / 0.0254));
    d.setDotsPerMeterY(qRound(96 / 0.0254));
    return d;
}

// A font of its own, never a copy: a copy shares the font engines of the thread that used it.
QFont carattere(double punti) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSizeF(punti);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

} // namespace

DocumentoStampa::Pennello::Pennello(double punti)
    : dispositivo(dispositivo96()), font(carattere(punti)), pittore(font, &dispositivo) {}

DocumentoStampa::Pennello::~Pennello() = default;

std::unique_ptr<DocumentoStampa::Pennello> DocumentoStampa::nuovoPennello() const {
    return std::make_unique<Pennello>(m_punti);
}

QPageLayout DocumentoStampa::pageLayout() const {
    return QPageLayout(m_formato, m_orizzontale ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0));
}

PaginaOdt DocumentoStampa::paginaOdt() const {
    PaginaOdt p;
    const QSizeF mm = m_formato.size(QPageSize::Millimeter);
    p.larghezza = mm.width();
    p.altezza = mm.height();
    p.orizzontale = m_orizzontale;
    p.margine = m_margine / kPxPerMm;
    p.centro = m_centro;
    p.titolo = m_titolo;
    p.data = m_oggi.toString(QStringLiteral("dd/MM/yyyy"));
    return p;
}

std::unique_ptr<QTextDocument> DocumentoStampa::creaDocumento(const QString& html,
                                                              Pennello& pn) const {
    auto d = std::make_unique<QTextDocument>();
    d->documentLayout()->setPaintDevice(&pn.dispositivo);
    d->setUseDesignMetrics(true);
    d->setDocumentMargin(0);
    d->setDefaultFont(pn.font);
    d->setDefaultStyleSheet(m_doc.css);
    auto it = reImmagine().globalMatch(html);
    while (it.hasNext()) {
        const int n = it.next().captured(1).toInt();
        if (n >= 0 && n < int(m_reso.immagini.size()))
            d->addResource(QTextDocument::ImageResource, QUrl(urlImmagine(n)),
                           m_reso.immagini[size_t(n)].immagine);
    }
    d->setHtml(html);
    d->setTextWidth(m_corpo.width());
    return d;
}

QTextDocument* DocumentoStampa::documento(int segmento, Pennello& pn) const {
    auto& cache = pn.documenti;
    for (auto it = cache.begin(); it != cache.end(); ++it) {
        if (it->first != segmento) continue;
        if (it != cache.begin()) cache.splice(cache.begin(), cache, it);
        return cache.front().second.get();
    }
    cache.emplace_front(segmento, creaDocumento(m_doc.segmenti[size_t(segmento)].html, pn));
    while (cache.size() > kDocumentiInMemoria)
        cache.pop_back();
    return cache.front().second.get();
}

void DocumentoStampa::nuovaPagina(double& y) {
    m_pagine.emplace_back();
    m_documento.push_back(m_documento.back());
    y = 0;
}

void DocumentoStampa::impagina() {
    const size_t n = m_doc.segmenti.size();
    m_flussi.assign(n, Flusso{});
    m_altezze.assign(n, {});
    m_altezzaTesta.assign(n, 0);
    const double alto = m_corpo.height();
    m_pagine.emplace_back();
    m_documento.assign(1, 0);
    double y = 0;

    for (size_t s = 0; s < n; ++s) {
        const Segmento& seg = m_doc.segmenti[s];
        switch (seg.tipo) {
        case Segmento::Tipo::SaltoPagina:
            if (!m_pagine.back().empty()) nuovaPagina(y);
            if (m_pagine.size() > 1 || !m_pagine.back().empty()) ++m_documento.back();
            break;
        case Segmento::Tipo::Flusso: {
            auto d = creaDocumento(seg.html, *m_pennello);
            const double h = d->documentLayout()->documentSize().height();
            Flusso& f = m_flussi[s];
            f.altezza = h;
            if (h <= alto) {
                // Kept together: to the next page when it does not fit below.
                if (y > 0 && y + h > alto) nuovaPagina(y);
                m_pagine.back().push_back({int(s), y, h, 0, 0, 0, -1});
                y += h;
                break;
            }
            // Taller than a page: cut between lines and table rows.
            TagliFlusso t = tagliaFlusso(*d, y > 0 ? alto - y : 0, alto);
            f.riporti = std::move(t.riporti);
            bool inizio = true;
            for (const Fetta& ft : t.fette) {
                if (ft.a <= ft.da) {
                    nuovaPagina(y);
                    continue;
                }
                if (!inizio) nuovaPagina(y);
                inizio = false;
                const double sopra =
                    ft.riporto >= 0 ? f.riporti[size_t(ft.riporto)].altezza() : 0;
                m_pagine.back().push_back({int(s), y, sopra + ft.a - ft.da, ft.da, 0, 0, ft.riporto});
                y += sopra + ft.a - ft.da;
            }
            break;
        }
        case Segmento::Tipo::Griglia:
            impaginaGriglia(int(s), y);
            break;
        }
    }
    if (m_pagine.size() > 1 && m_pagine.back().empty()) {
        m_pagine.pop_back();
        m_documento.pop_back();
    }
}

QString DocumentoStampa::numeroDiPagina(int indice) const {
    if (m_provvisorio) return QStringLiteral("pagina %1 di …").arg(indice + 1);
    if (!m_numeraDocumenti)
        return QStringLiteral("pagina %1 di %2").arg(indice + 1).arg(numeroPagine());
    const auto inizio = std::lower_bound(m_documento.begin(), m_documento.end(),
                                         m_documento[size_t(indice)]);
    const auto fine = std::upper_bound(inizio, m_documento.end(), m_documento[size_t(indice)]);
    if (fine - inizio < 2) return QString();
    return QStringLiteral("pagina %1 di %2")
        .arg(indice - int(inizio - m_documento.begin()) + 1)
        .arg(fine - inizio);
}

void DocumentoStampa::impaginaGriglia(int s, double& y) {
    const double alto = m_corpo.height();
    const double largo = m_corpo.width();
    Griglia& g = *m_doc.segmenti[size_t(s)].griglia;
    const PittoreGriglia& pittore = m_pennello->pittore;
    pittore.adattaLarghezze(g, largo);
    double testa = 0;
    for (const RigaGriglia& r : g.intestazione)
        testa += pittore.altezzaRiga(g, r, largo);
    m_altezzaTesta[size_t(s)] = float(testa);
    std::vector<float>& altezze = m_altezze[size_t(s)];
    altezze.reserve(g.righe.size());
    for (const RigaGriglia& r : g.righe)
        altezze.push_back(float(pittore.altezzaRiga(g, r, largo)));
    const int n = int(altezze.size());
    using Stile = RigaGriglia::Stile;
    // A group heading needs room for itself and its first rows (two at most).
    auto richiesto = [&](int r) {
        double h = altezze[size_t(r)];
        if (g.righe[size_t(r)].stile != Stile::Gruppo) return h;
        for (int k = r + 1; k < n && k <= r + 2 && g.righe[size_t(k)].stile != Stile::Gruppo; ++k)
            h += altezze[size_t(k)];
        return h;
    };

    if (y > 0 && y + testa + (n ? richiesto(0) : 0) > alto) nuovaPagina(y);
    Pezzo pezzo{s, y, testa, 0, 0, 0, -1};
    y += testa;
    int aperto = -1; // the heading of the group whose rows are being laid out
    for (int r = 0; r < n; ++r) {
        const Stile stile = g.righe[size_t(r)].stile;
        if (stile == Stile::Gruppo) aperto = r;
        const double serve = richiesto(r);
        if (y + std::max<double>(serve, altezze[size_t(r)]) > alto && pezzo.a > pezzo.da &&
            (serve + testa <= alto || y + altezze[size_t(r)] > alto)) {
            m_pagine.back().push_back(pezzo);
            nuovaPagina(y);
            pezzo = Pezzo{s, 0, testa, 0, r, r, -1};
            y = testa;
            if (aperto >= 0 && aperto != r) {
                pezzo.riporto = aperto;
                const double hs = rigaSegue(s, aperto).second;
                pezzo.alto += hs;
                y += hs;
            }
        }
        y += altezze[size_t(r)];
        pezzo.alto += altezze[size_t(r)];
        pezzo.a = r + 1;
        // Rows after a group's total belong to no group (the grand total).
        if (stile == Stile::Totale) aperto = -1;
    }
    m_pagine.back().push_back(pezzo);
    y = std::min(alto, y + kDopoTabella);
}

const std::pair<RigaGriglia, double>& DocumentoStampa::rigaSegue(int segmento, int riga) {
    auto it = m_segue.find({segmento, riga});
    if (it == m_segue.end()) {
        const Griglia& g = *m_doc.segmenti[size_t(segmento)].griglia;
        RigaGriglia r = g.righe[size_t(riga)];
        if (!r.celle.empty()) r.celle.front().testo += QStringLiteral(" (segue)");
        const double h = m_pennello->pittore.altezzaRiga(g, r, m_corpo.width());
        it = m_segue.emplace(std::make_pair(segmento, riga), std::make_pair(std::move(r), h)).first;
    }
    return it->second;
}

void DocumentoStampa::disegnaTestata(QPainter& p, int indice, Pennello& pn) const {
    QFont f = pn.font;
    f.setPointSizeF(7.5);
    QFont g = f;
    g.setBold(true);
    const QColor grigio(0x55, 0x5b, 0x61);
    const double l = m_margine, r = m_pagina.width() - m_margine;
    const QRectF testata(l, m_margine, r - l, kTestata - 8);
    testo(p, &pn.dispositivo, g, m_centro, testata.adjusted(0, 0, -testata.width() / 2, 0),
          Qt::AlignLeft, grigio);
    testo(p, &pn.dispositivo, f, m_titolo, testata.adjusted(testata.width() / 2, 0, 0, 0),
          Qt::AlignRight, grigio);
    p.setPen(QPen(QColor(0x9a, 0xa0, 0xa6), 0.6));
    p.drawLine(QPointF(l, testata.bottom() + 2), QPointF(r, testata.bottom() + 2));

    const double yp = m_pagina.height() - m_margine - kPiede;
    p.drawLine(QPointF(l, yp + 6), QPointF(r, yp + 6));
    const QRectF piede(l, yp + 8, r - l, kPiede - 8);
    testo(p, &pn.dispositivo, f,
          QStringLiteral("Stampato il ") + m_oggi.toString(QStringLiteral("dd/MM/yyyy")),
          piede.adjusted(0, 0, -piede.width() / 2, 0), Qt::AlignLeft, grigio);
    testo(p, &pn.dispositivo, f, numeroDiPagina(indice), piede.adjusted(piede.width() / 2, 0, 0, 0),
          Qt::AlignRight, grigio);
}

void DocumentoStampa::disegnaFlusso(QPainter& p, const Pezzo& pz, Pennello& pn) const {
    QTextDocument* d = documento(pz.segmento, pn);
    const double largo = m_corpo.width();
    QAbstractTextDocumentLayout::PaintContext ctx;
    ctx.palette.setColor(QPalette::Text, QColor(0x1a, 0x1a, 0x1a));
    // Draws the document's range [da, a) at `y` of the body.
    auto regione = [&](double da, double a, double y) {
        if (a <= da) return;
        p.save();
        p.setClipRect(QRectF(m_corpo.left() - 2, m_corpo.top() + y, largo + 4, a - da + 1),
                      Qt::IntersectClip);
        p.translate(m_corpo.left(), m_corpo.top() + y - da);
        // Lines touching the range's edges belong to the neighbouring page: QTextLayout
        // draws a line whose top equals the clip's bottom.
        ctx.clip = QRectF(0, da + 1, largo, std::max(0.0, a - da - 2));
        d->documentLayout()->draw(&p, ctx);
        p.restore();
    };
    double y = pz.y;
    if (pz.riporto >= 0) {
        const Riporto& r = m_flussi[size_t(pz.segmento)].riporti[size_t(pz.riporto)];
        regione(r.titoloDa, r.titoloA, y);
        if (r.titoloA > r.titoloDa)
            testo(p, &pn.dispositivo, r.carattere, QStringLiteral(" (segue)"),
                  QRectF(m_corpo.left() + r.xSegue, m_corpo.top() + y + r.ySegue,
                         std::max(10.0, largo - r.xSegue), r.altezzaSegue),
                  Qt::AlignLeft, QColor(0x1a, 0x1a, 0x1a));
        y += r.titoloA - r.titoloDa;
        regione(r.testaDa, r.testaA, y);
        y += r.testaA - r.testaDa;
    }
    regione(pz.inizio, pz.inizio + pz.alto - (y - pz.y), y);
}

void DocumentoStampa::disegnaPagina(QPainter& p, int indice, Pennello& pn) const {
    if (indice < 0 || indice >= numeroPagine()) return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    disegnaTestata(p, indice, pn);
    const double largo = m_corpo.width();
    for (const Pezzo& pz : m_pagine[size_t(indice)]) {
        const Segmento& seg = m_doc.segmenti[size_t(pz.segmento)];
        if (seg.tipo == Segmento::Tipo::Flusso) {
            disegnaFlusso(p, pz, pn);
        } else if (seg.tipo == Segmento::Tipo::Griglia) {
            // A row taller than a page is cut at the body's edge, never drawn on the footer.
            p.save();
            p.setClipRect(m_corpo.adjusted(-2, -2, 2, 2), Qt::IntersectClip);
            const Griglia& g = *seg.griglia;
            const std::vector<float>& altezze = m_altezze[size_t(pz.segmento)];
            double y = m_corpo.top() + pz.y;
            for (const RigaGriglia& r : g.intestazione) {
                const double h = pn.pittore.altezzaRiga(g, r, largo);
                pn.pittore.disegnaRiga(p, g, r, QPointF(m_corpo.left(), y), largo, h, false);
                y += h;
            }
            if (pz.riporto >= 0) {
                const auto& [riga, h] = m_segue.at({pz.segmento, pz.riporto});
                pn.pittore.disegnaRiga(p, g, riga, QPointF(m_corpo.left(), y), largo, h, false);
                y += h;
            }
            for (int r = pz.da; r < pz.a; ++r) {
                const double h = altezze[size_t(r)];
                pn.pittore.disegnaRiga(p, g, g.righe[size_t(r)], QPointF(m_corpo.left(), y), largo,
                                       h, r + 1 == pz.a && r + 1 == int(g.righe.size()));
                y += h;
            }
            p.restore();
        }
    }
    p.restore();
}

std::unique_ptr<QTextDocument> DocumentoStampa::documentoUnico() const {
    auto d = std::make_unique<QTextDocument>();
    d->setDefaultFont(m_pennello->font);
    for (size_t i = 0; i < m_reso.immagini.size(); ++i)
        d->addResource(QTextDocument::ImageResource, QUrl(urlImmagine(int(i))),
                       m_reso.immagini[i].immagine);
    d->setHtml(QString::fromUtf8(m_reso.html.data(), qsizetype(m_reso.html.size())));
    return d;
}

QByteArray DocumentoStampa::htmlCompleto() const {
    QByteArray out;
    out.reserve(qsizetype(m_reso.html.size()));
    const std::string& h = m_reso.html;
    const std::string prefisso = "vastrel-img:";
    size_t i = 0;
    while (true) {
        const size_t p = h.find(prefisso, i);
        if (p == std::string::npos) {
            out.append(h.data() + i, qsizetype(h.size() - i));
            break;
        }
        out.append(h.data() + i, qsizetype(p - i));
        size_t e = p + prefisso.size();
        int n = 0;
        bool cifre = false;
        while (e < h.size() && h[e] >= '0' && h[e] <= '9') {
            n = n * 10 + (h[e++] - '0');
            cifre = true;
        }
        if (!cifre || n >= int(m_reso.immagini.size())) {
            out.append(h.data() + p, qsizetype(e - p));
        } else {
            const Immagine& im = m_reso.immagini[size_t(n)];
            QByteArray tipo = mime(im.dati), dati = im.dati;
            if (tipo.isEmpty()) {
                QBuffer b(&dati);
                dati.clear();
                b.open(QIODevice::WriteOnly);
                im.immagine.save(&b, "PNG");
                tipo = "image/png";
            }
            out += "data:" + tipo + ";base64," + dati.toBase64();
        }
        i = e;
    }
    return out;
}

} // namespace stampa
