#pragma once

#include <QPixmap>
#include <QScrollArea>

namespace stampa {

class DocumentoStampa;

// The report's pages on screen, one at a time, at a zoom where 100 means the paper's own
// size on this screen.
class AnteprimaReport : public QScrollArea {
    Q_OBJECT
public:
    explicit AnteprimaReport(QWidget* parent = nullptr);

    void setDocumento(const DocumentoStampa* doc, int pagina = 0); // not owned
    const DocumentoStampa* documento() const { return m_doc; }

    int pagina() const { return m_pagina; } // 0-based
    int numeroPagine() const;
    void vaiA(int pagina); // clamped to the pages there are
    int zoom() const { return m_zoom; }
    void setZoom(int percento); // 10 to 400

    // The current page as the screen shows it (for tests and the first-page timing).
    QImage immagine() const;

Q_SIGNALS:
    void paginaCambiata(int pagina);
    void pagineDisegnate(); // the current page was painted on screen

private:
    class Foglio;
    void aggiorna();
    const DocumentoStampa* m_doc = nullptr;
    Foglio* m_foglio;
    int m_pagina = 0;
    int m_zoom = 100;
};

} // namespace stampa
