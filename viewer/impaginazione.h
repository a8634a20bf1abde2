#pragma once

#include "viewer/documento.h"
#include "viewer/griglia.h"
#include "viewer/layout.h"
#include "viewer/modello.h"

#include <QDate>
#include <QImage>
#include <QPageLayout>
#include <QString>
#include <list>
#include <memory>
#include <vector>

class QPainter;
class QTextDocument;

namespace stampa {

// A rendered report cut into pages. Everything is measured in CSS pixels (1/96 inch) on a
// page of the chosen size; painting scales to the device (screen, PDF at 300 dpi, printer).
// Every page gets the page header (centre, title) and footer (date, "pagina n di m").
class DocumentoStampa {
public:
    DocumentoStampa(ReportReso reso, const Layout& layout, const QPageSize& formato, QString centro,
                    QDate oggi = QDate::currentDate());
    ~DocumentoStampa();
    DocumentoStampa(const DocumentoStampa&) = delete;
    DocumentoStampa& operator=(const DocumentoStampa&) = delete;

    int numeroPagine() const { return int(m_pagine.size()); }
    QSizeF dimensione() const { return m_pagina; } // CSS pixels
    QPageLayout pageLayout() const;
    const QString& titolo() const { return m_titolo; }
    const ReportReso& reso() const { return m_reso; }

    // Paints page `indice` (0-based) with its top-left corner at the painter's origin, in
    // CSS pixels (scale the painter to the device first).
    void disegnaPagina(QPainter& p, int indice) const;

    // The whole report as one QTextDocument (for ODT), pictures included.
    std::unique_ptr<QTextDocument> documentoUnico() const;
    // The HTML with pictures written into it as data: addresses.
    QByteArray htmlCompleto() const;

private:
    struct Pezzo {
        int segmento = 0;
        double y = 0; // top within the page body
        double alto = 0;
        double inizio = 0; // flowing text: top of the slice within its document
        int da = 0, a = 0; // list table: rows [da, a)
    };
    struct Flusso {
        bool paginato = false;
        double altezza = 0;
        int pagine = 1;
    };

    void impagina();
    QTextDocument* documento(int segmento) const;
    std::unique_ptr<QTextDocument> creaDocumento(const QString& html, bool paginato) const;
    void disegnaTestata(QPainter& p, int indice) const;

    ReportReso m_reso;
    DocumentoHtml m_doc;
    QString m_titolo, m_centro;
    QDate m_oggi;
    QPageSize m_formato;
    bool m_orizzontale = false;
    double m_margine = 45; // px
    QSizeF m_pagina;
    QRectF m_corpo;
    QFont m_font;
    std::unique_ptr<QImage> m_dispositivo; // 96 dpi: the unit of every measure
    std::unique_ptr<PittoreGriglia> m_pittore;
    std::vector<Flusso> m_flussi;              // per segment (flowing ones)
    std::vector<std::vector<float>> m_altezze; // per segment (list tables): row heights
    std::vector<float> m_altezzaTesta;         // per segment: header rows' height
    std::vector<std::vector<Pezzo>> m_pagine;
    // The last few flowing documents laid out, most recent first.
    mutable std::list<std::pair<int, std::unique_ptr<QTextDocument>>> m_cache;
};

// The layout unit: CSS pixels per millimetre.
constexpr double kPxPerMm = 96.0 / 25.4;

} // namespace stampa
