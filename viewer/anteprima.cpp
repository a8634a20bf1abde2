#include "viewer/anteprima.h"

#include "viewer/impaginazione.h"

#include <QPainter>
#include <QScreen>
#include <QScrollBar>

namespace stampa {

// The white sheet: paints the current page into a cached picture of its size.
class AnteprimaReport::Foglio : public QWidget {
public:
    explicit Foglio(AnteprimaReport* a) : QWidget(a), m_a(a) {}

    double scala() const { return m_a->m_zoom / 100.0 * logicalDpiX() / 96.0; }

    QImage disegna() const {
        const DocumentoStampa* doc = m_a->m_doc;
        if (!doc || doc->numeroPagine() == 0) return QImage();
        const QSizeF lato = doc->dimensione() * scala();
        QImage im(lato.toSize().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
        im.fill(Qt::white);
        QPainter p(&im);
        p.scale(scala(), scala());
        doc->disegnaPagina(p, m_a->m_pagina);
        return im;
    }

    void invalida() {
        m_cache = QImage();
        const DocumentoStampa* doc = m_a->m_doc;
        resize(doc ? (doc->dimensione() * scala()).toSize() : QSize(0, 0));
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (m_cache.isNull()) m_cache = disegna();
        QPainter p(this);
        p.drawImage(0, 0, m_cache);
        Q_EMIT m_a->pagineDisegnate();
    }

private:
    AnteprimaReport* m_a;
    QImage m_cache;
};

AnteprimaReport::AnteprimaReport(QWidget* parent) : QScrollArea(parent) {
    setObjectName(QStringLiteral("CRViewer1"));
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setBackgroundRole(QPalette::Dark);
    m_foglio = new Foglio(this);
    setWidget(m_foglio);
}

void AnteprimaReport::setDocumento(const DocumentoStampa* doc, int pagina) {
    m_doc = doc;
    m_pagina = std::clamp(pagina, 0, std::max(0, numeroPagine() - 1));
    aggiorna();
}

int AnteprimaReport::numeroPagine() const {
    return m_doc ? m_doc->numeroPagine() : 0;
}

void AnteprimaReport::vaiA(int pagina) {
    pagina = std::clamp(pagina, 0, std::max(0, numeroPagine() - 1));
    if (pagina == m_pagina) return;
    m_pagina = pagina;
    aggiorna();
    Q_EMIT paginaCambiata(m_pagina);
}

void AnteprimaReport::setZoom(int percento) {
    m_zoom = std::clamp(percento, 10, 400);
    aggiorna();
}

QImage AnteprimaReport::immagine() const {
    return m_foglio->disegna();
}

void AnteprimaReport::aggiorna() {
    m_foglio->invalida();
    verticalScrollBar()->setValue(0);
}

} // namespace stampa
