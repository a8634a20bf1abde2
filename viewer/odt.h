#pragma once

#include <QByteArray>
#include <QString>
#include <map>

namespace stampa {

// The members of a zip archive, by name; nullopt-like empty map for a file that is not one.
std::map<QString, QByteArray> leggiZip(const QByteArray& zip);
// A zip archive of the members in the given order; "mimetype" is stored first and
// uncompressed, as OpenDocument wants.
QByteArray scriviZip(const std::map<QString, QByteArray>& membri);

// The page of an ODT document: size and margins in millimetres, header and footer texts.
struct PaginaOdt {
    double larghezza = 210, altezza = 297, margine = 12;
    bool orizzontale = false;
    QString centro, titolo, data; // header left and right, footer date (dd/MM/yyyy)
};

// Completes the text document QTextDocumentWriter wrote: a styles.xml with the page size,
// margins, header and footer (page n of m), table widths in the forms ODF allows, and no
// tab marks where the HTML only had line breaks and indentation.
QByteArray completaOdt(const QByteArray& odt, const PaginaOdt& pagina);

} // namespace stampa
