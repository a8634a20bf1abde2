#pragma once

#include <QString>
#include <optional>

class QPagedPaintDevice;
class QPrinter;

namespace stampa {

class DocumentoStampa;
class RecordSet;

// The export formats, by the number TipoEsportazioniCrystalReport gives them.
enum class Formato { CSV = 1, HTML = 2, PDF = 3, ODT = 4 };
std::optional<Formato> formatoDaNumero(int numero);

// Each writes the whole file or nothing (a temporary file renamed at the end) and throws
// ErroreStampa naming the file when it cannot be written.
// A long document is painted in `parti` parts at once (0: as many as the pages and the
// cores make worth it), each a PDF of its own, joined into one.
void esportaPdf(const DocumentoStampa& doc, const QString& file, int parti = 0);
void esportaHtml(const DocumentoStampa& doc, const QString& file);
void esportaOdt(const DocumentoStampa& doc, const QString& file);
// The main rows as they are: UTF-8 with BOM, ";" between fields, quotes as RFC 4180 wants,
// CRLF line ends; values in Italian (dates dd/mm/yyyy, decimals with ","). Pictures are
// left out.
void esportaCsv(const RecordSet& righe, const QString& file);
void esporta(Formato formato, const DocumentoStampa& doc, const RecordSet& righe,
             const QString& file);

// Paints every page on a PDF writer or a printer, scaled from CSS pixels to its resolution.
void disegnaPagine(const DocumentoStampa& doc, QPagedPaintDevice& device, int risoluzione,
                   int da = 0, int a = -1);

} // namespace stampa
