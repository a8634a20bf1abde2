#pragma once

#include <QList>
#include <QString>
#include <QTextLayout>
#include <memory>
#include <string>
#include <vector>

namespace stampa {

// A list table of the rendered report (<table class="elenco">), read into rows and cells so
// that the engine lays out thousands of rows itself: QTextDocument tables are far too slow
// for a payment list of a whole centre.
struct CellaGriglia {
    QString testo;                           // U+2028 where the cell had <br>
    QList<QTextLayout::FormatRange> formati; // bold and italic runs
    Qt::Alignment allineamento = Qt::AlignLeft;
    int colspan = 1;
    bool grassetto = false;
};

struct RigaGriglia {
    enum class Stile : unsigned char { Normale, Intestazione, Gruppo, Totale };
    std::vector<CellaGriglia> celle;
    Stile stile = Stile::Normale;
};

struct Griglia {
    std::vector<double> larghezze;         // fractions of the width, one per column
    std::vector<RigaGriglia> intestazione; // repeated at the top of every page
    std::vector<RigaGriglia> righe;
    double scala = 1.0; // "compatta": a smaller font
};

struct Segmento {
    enum class Tipo { Flusso, Griglia, SaltoPagina };
    Tipo tipo = Tipo::Flusso;
    QString html;                     // Flusso: an HTML fragment for QTextDocument
    std::shared_ptr<Griglia> griglia; // Griglia
};

// The rendered HTML cut into what the pages are made of: flowing HTML laid out by
// QTextDocument, list tables, and page breaks (an element whose style has
// "page-break-before: always"). `css` gathers the <style> blocks, given to every fragment.
struct DocumentoHtml {
    QString css;
    std::vector<Segmento> segmenti;
};

DocumentoHtml scomponi(const std::string& html);

// Decodes the character references of an HTML text (&amp;, &#39;, &egrave;, ...).
QString decodificaEntita(std::string_view testo);

} // namespace stampa
