#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace stampa {

// A computed column of every row: a product or quotient of numeric columns and numbers,
// "KcalPorzione = QTA_GRAMMI * KC / 100". A Null operand gives Null.
struct Calcolato {
    QString nome;
    struct Fattore {
        bool dividi = false; // "/" before it
        QString campo;       // empty: a number
        double numero = 0;
    };
    std::vector<Fattore> fattori;
};

// A report layout file (reports/<Name>.rpt): a header block between two "---" lines, then
// the Mustache template that produces the report's HTML. See reports/README.md.
struct Layout {
    QString percorso;
    bool orizzontale = false; // orientamento: verticale | orizzontale
    QString titolo;           // shown in the page header; the file name when not given
    QStringList sottoreport;  // sections bound to sub-reports, in order
    QStringList parametri;    // parameters the layout takes ("Data")
    QStringList gruppo;       // columns whose values group the rows
    QStringList ordineGruppi; // columns that order the groups (query order when empty);
                              // "Giorno:settimana" orders Italian weekday names
    std::vector<Calcolato> calcolati;
    double carattere = 9; // body font size in points
    double margini = 12;  // page margins in millimetres
    // numerazione: documento. Pages are numbered within each document that a page break
    // starts (a letter per client); a one-page document shows no number.
    bool numeraDocumenti = false;
    QString modello;      // the template
    int rigaModello = 1;  // line of the file where the template starts

    bool haParametro(const QString& nome) const;
};

// Reads a layout file. Throws ErroreStampa naming the file and the line for a file that is
// missing or unreadable and for a header that cannot be read.
Layout leggiLayout(const QString& percorso);
// The same from text (the file name only names it in messages).
Layout leggiLayoutDaTesto(const QString& testo, const QString& percorso);

} // namespace stampa
