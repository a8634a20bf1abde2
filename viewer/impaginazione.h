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

    // What painting keeps for itself as the pages go by: fonts, shaped texts, the flowing
    // documents laid out last. Each thread that paints pages takes one of its own, made in
    // that thread: fonts and glyph runs belong to the thread that made them.
    class Pennello {
    public:
        explicit Pennello(double punti);
        ~Pennello();
        Pennello(const Pennello&) = delete;
        Pennello& operator=(const Pennello&) = delete;

    private:
        friend class DocumentoStampa;
        QImage dispositivo; // 96 dpi: the unit of every measure
        QFont font;
        PittoreGriglia pittore;
        // The last few flowing documents laid out, most recent first.
        std::list<std::pair<int, std::unique_ptr<QTextDocument>>> documenti;
    };
    std::unique_ptr<Pennello> nuovoPennello() const;

    // Paints page `indice` (0-based) with its top-left corner at the painter's origin, in
    // CSS pixels (scale the painter to the device first). Without a brush, the document's
    // own: for the thread that made the document.
    void disegnaPagina(QPainter& p, int indice) const { disegnaPagina(p, indice, *m_pennello); }
    void disegnaPagina(QPainter& p, int indice, Pennello& pn) const;

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
    QTextDocument* documento(int segmento, Pennello& pn) const;
    std::unique_ptr<QTextDocument> creaDocumento(const QString& html, Pennello& pn) const;
    void disegnaTestata(QPainter& p, int indice, Pennello& pn) const;
    void disegnaFlusso(QPainter& p, const Pezzo& pz, Pennello& pn) const;
    // A group heading with "(segue)" and its height, made while laying out.
    const std::pair<RigaGriglia, double>& rigaSegue(int segmento, int riga);
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
    double m_punti;                            // the font's size
    std::unique_ptr<Pennello> m_pennello;      // measures the layout; paints in this thread
    std::vector<Flusso> m_flussi;              // per segment (flowing ones)
    std::vector<std::vector<float>> m_altezze; // per segment (list tables): row heights
    std::vector<float> m_altezzaTesta;         // per segment: header rows' height
    // Group headings repeated with "(segue)", by segment and row, with their height.
    std::map<std::pair<int, int>, std::pair<RigaGriglia, double>> m_segue;
    std::vector<std::vector<Pezzo>> m_pagine;
    bool m_numeraDocumenti = false;
    bool m_provvisorio = false;
    std::vector<int> m_documento; // per page: the document (started by a page break) it is in
};

// The layout unit: CSS pixels per millimetre.
constexpr double kPxPerMm = 96.0 / 25.4;

} // namespace stampa
