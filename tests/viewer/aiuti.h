#pragma once

// Helpers of the viewer's tests: record sets read from a real database, layouts from text,
// files written into temporary folders; PDFs are read back with the shared pdftotext readers.

#include "db/connection.h"
#include "support/files.h"
#include "support/pdf.h"
#include "support/values.h"
#include "viewer/dati.h"
#include "viewer/layout.h"
#include "viewer/modello.h"

#include <QString>

namespace aiuti {

using testing_support::pdfPages;
using testing_support::pdfText;

inline stampa::RecordSet carica(db::Connection& c, const QString& sql,
                                const std::vector<stampa::Calcolato>& calcolati = {}) {
    db::RowStore s;
    c.load(sql, s);
    return stampa::RecordSet(std::move(s), calcolati);
}

inline void scrivi(const QString& percorso, const QByteArray& testo) {
    testing_support::writeFile(percorso, testo);
}

// A layout from its text, as if read from `percorso`.
inline stampa::Layout layout(const QString& testo, const QString& percorso = "/tmp/prova.rpt") {
    return stampa::leggiLayoutDaTesto(testo, percorso);
}

inline QString html(const stampa::Layout& l, const stampa::Sorgenti& s) {
    return QString::fromStdString(stampa::rendiReport(l, s).html);
}

} // namespace aiuti
