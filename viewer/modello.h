#pragma once

#include "viewer/dati.h"
#include "viewer/layout.h"

#include <QByteArray>
#include <QDate>
#include <QImage>
#include <QString>
#include <optional>
#include <string>
#include <vector>

namespace stampa {

// A picture the report shows: the stored bytes (for the HTML export) and the decoded image.
struct Immagine {
    QByteArray dati;
    QImage immagine;
};

// A section of the layout that a sub-report feeds: the company header ("Subreportx…") or an
// ordinary sub-report. An unbound section has no rows.
struct Legame {
    QString nome;
    const RecordSet* righe = nullptr;
};

// What the template is rendered with.
struct Sorgenti {
    const RecordSet* principale = nullptr;
    std::vector<Legame> sezioni;
    std::optional<QString> parametroData; // the value given to the layout's "Data" parameter
    QDate oggi = QDate::currentDate();
    // > 0: "righe" and "gruppi" repeat at most this many times, for a first look at the
    // opening pages of a long report; counts and totals still cover every row.
    int limite = 0;
};

// The rendered report: HTML (UTF-8) whose pictures are addressed as "vastrel-img:<n>".
struct ReportReso {
    std::string html;
    std::vector<Immagine> immagini;
};

QString urlImmagine(int indice);
// The index of a "vastrel-img:<n>" address; -1 for any other.
int indiceImmagine(QStringView url);

// Renders a layout's template. Throws ErroreStampa with the template's line for a template
// that does not parse or a part ("{{> name}}") that does not exist.
ReportReso rendiReport(const Layout& layout, const Sorgenti& sorgenti);

} // namespace stampa
