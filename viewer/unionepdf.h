#pragma once

#include <QByteArray>
#include <vector>

class QIODevice;

namespace stampa {

// Joins PDFs written by QPdfWriter into one, their pages in order: the first part's catalogue
// and document information, one page tree, one cross-reference table. From the other parts
// only the pages and what they use (contents, fonts, pictures) are kept, renumbered after the
// first part's objects. Streams are copied as they are. Throws ErroreStampa when a part is
// not a PDF of that plain kind (one cross-reference table, no object streams, a flat page
// tree) or the device refuses a write.
void unisciPdf(const std::vector<QByteArray>& parti, QIODevice& uscita);

} // namespace stampa
