#pragma once

#include "viewer/documento.h"

#include <QFont>
#include <QFontMetricsF>
#include <array>
#include <memory>

class QPainter;
class QPaintDevice;

namespace stampa {

// Measures and paints the rows of list tables, in layout units (CSS pixels, 1/96 inch).
// Rows are as tall as their tallest cell; a text wraps at word boundaries.
class PittoreGriglia {
public:
    PittoreGriglia(const QFont& base, QPaintDevice* dispositivo);
    ~PittoreGriglia();

    // Column widths from the content: no column narrower than its longest word (dates are
    // one word, addresses break at "@" and "."), and as far as the others can spare, wide
    // enough for each line of its cells. The layout's widths are the starting point.
    void adattaLarghezze(Griglia& g, double larghezza) const;
    double altezzaRiga(const Griglia& g, const RigaGriglia& r, double larghezza) const;
    // Paints a row whose top-left corner is `origine`; `altezza` as altezzaRiga gave it.
    void disegnaRiga(QPainter& p, const Griglia& g, const RigaGriglia& r, QPointF origine,
                     double larghezza, double altezza, bool ultimaDiPagina) const;

private:
    struct Caratteri;
    struct Corsa;
    const Corsa& corsa(const QString& testo, const Caratteri& f) const;
    const Caratteri& caratteri(double scala, bool grassetto) const;
    int righe(const CellaGriglia& c, const Caratteri& f, double larghezza) const;

    QFont m_base;
    QPaintDevice* m_dispositivo;
    mutable std::vector<std::unique_ptr<Caratteri>> m_caratteri;
};

} // namespace stampa
