#pragma once

#include <QFont>
#include <vector>

class QTextDocument;

namespace stampa {

// What a page repeats at its top when a table of flowing text goes on from the page before:
// the heading just above the table (marked "(segue)") and the table's header rows. Ranges
// are heights within the document; an empty range repeats nothing.
struct Riporto {
    double titoloDa = 0, titoloA = 0;
    double testaDa = 0, testaA = 0;
    QFont carattere;       // the heading's font, for "(segue)"
    double xSegue = 0;     // where "(segue)" starts on the heading's last line
    double ySegue = 0;     // top of that line, from titoloDa
    double altezzaSegue = 0;
    double altezza() const { return (titoloA - titoloDa) + (testaA - testaDa); }
};

// A flowing document cut into page slices: no line and no table row is cut unless it is
// taller than a page, and a heading stays with what follows it.
struct Fetta {
    double da = 0, a = 0; // range of the document
    int riporto = -1;     // index into TagliFlusso::riporti, drawn above the slice
};

struct TagliFlusso {
    std::vector<Fetta> fette;
    std::vector<Riporto> riporti;
};

// Cuts a document laid out at its text width. The first slice gets `primo` of height
// (0: it starts on a new page), the others `alto`, less what they repeat.
TagliFlusso tagliaFlusso(QTextDocument& d, double primo, double alto);

} // namespace stampa
