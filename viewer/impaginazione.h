#pragma once

#include "viewer/documento.h"
#include "viewer/flusso.h"
#include "viewer/griglia.h"
#include "viewer/layout.h"
#include "viewer/modello.h"
#include "viewer/odt.h"

#include <QDate>
#include <QImage>
#include <QPageLayout>
#include <QString>
#include <list>
#include <map>
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
    PaginaOdt paginaOdt() const;
    const QString& titolo() const { return m_titolo; }
    const ReportReso& reso() const { return m_reso; }
    // A first look at a long report, its opening pages only: the page count is not known.
    void setProvvisorio(bool p) { m_provvisorio = p; }
    bool provvisorio() const { return m_provvisorio; }
    // "pagina n di m" of the footer; empty for a one-page document of a layout numbered
    // by document.
    QString numeroDiPagina(int indice) const;

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
        // Repeated at the top: flowing text, an index of Flusso::riporti; list table, the
        // group heading row whose rows go on here.
        int riporto = -1;
    };
    struct Flusso {
        double altezza = 0;
        std::vector<Riporto> riporti;
    };

    void impagina();
    void impaginaGriglia(int s, double& y);
    QTextDocument* documento(int segmento) const;
    std::unique_ptr<QTextDocument> creaDocumento(const QString& html) const;
    void disegnaTestata(QPainter& p, int indice) const;
    void disegnaFlusso(QPainter& p, const Pezzo& pz) const;
    // A group heading with "(segue)" and its height.
    const std::pair<RigaGriglia, double>& rigaSegue(int segmento, int riga) const;
    void nuovaPagina(double& y);

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
    // Group headings repeated with "(segue)", by segment and row, with their height.
    mutable std::map<std::pair<int, int>, std::pair<RigaGriglia, double>> m_segue;
    std::vector<std::vector<Pezzo>> m_pagine;
    bool m_numeraDocumenti = false;
    bool m_provvisorio = false;
    std::vector<int> m_documento; // per page: the document (started by a page break) it is in
    // The last few flowing documents laid out, most recent first.
    mutable std::list<std::pair<int, std::unique_ptr<QTextDocument>>> m_cache;
};

// The layout unit: CSS pixels per millimetre.
constexpr double kPxPerMm = 96.0 / 25.4;

} // namespace stampa
