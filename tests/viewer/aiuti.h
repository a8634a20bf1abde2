#pragma once

#include "support/values.h"

// Helpers of the viewer's tests: record sets read from a real database, layouts from text,
// files written into temporary folders, PDFs read back with pdftotext.

#include "db/connection.h"
#include "viewer/dati.h"
#include "viewer/layout.h"
#include "viewer/modello.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <ostream>


namespace aiuti {

inline stampa::RecordSet carica(db::Connection& c, const QString& sql,
                                const std::vector<stampa::Calcolato>& calcolati = {}) {
    db::RowStore s;
    c.load(sql, s);
    return stampa::RecordSet(std::move(s), calcolati);
}

inline void scrivi(const QString& percorso, const QByteArray& testo) {
    QDir().mkpath(QFileInfo(percorso).absolutePath());
    QFile f(percorso);
    f.open(QIODevice::WriteOnly);
    f.write(testo);
}

// A layout from its text, as if read from `percorso`.
inline stampa::Layout layout(const QString& testo, const QString& percorso = "/tmp/prova.rpt") {
    return stampa::leggiLayoutDaTesto(testo, percorso);
}

inline QString html(const stampa::Layout& l, const stampa::Sorgenti& s) {
    return QString::fromStdString(stampa::rendiReport(l, s).html);
}

// pdftotext of a file, whitespace collapsed and ligatures read as letters.
inline QString testoPdf(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {pdf, "-"});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput())
        .normalized(QString::NormalizationForm_KC)
        .simplified();
}

// The text of each page, in order; `righe`: line by line as printed (-layout).
inline QStringList paginePdf(const QString& pdf, bool righe = false) {
    QProcess p;
    p.start("pdftotext", righe ? QStringList{"-layout", pdf, "-"} : QStringList{pdf, "-"});
    p.waitForFinished(60000);
    QStringList pagine = QString::fromUtf8(p.readAllStandardOutput()).split(QChar(u'\f'));
    if (!pagine.isEmpty() && pagine.last().trimmed().isEmpty()) pagine.removeLast();
    for (QString& t : pagine)
        t = t.normalized(QString::NormalizationForm_KC).simplified();
    return pagine;
}

} // namespace aiuti
