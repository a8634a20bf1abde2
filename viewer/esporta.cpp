#include "viewer/esporta.h"

#include "viewer/dati.h"
#include "viewer/errore.h"
#include "viewer/impaginazione.h"
#include "viewer/odt.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>
#include <QTextDocumentWriter>

namespace stampa {
namespace {

[[noreturn]] void nonScritto(const QString& file, const QString& perche) {
    throw ErroreStampa(
        QStringLiteral("Impossibile scrivere il file di esportazione %1: %2").arg(file, perche));
}

void apri(QSaveFile& f) {
    if (!f.open(QIODevice::WriteOnly)) nonScritto(f.fileName(), f.errorString());
}

void chiudi(QSaveFile& f) {
    if (!f.commit()) nonScritto(f.fileName(), f.errorString());
}

QByteArray campoCsv(const QString& v) {
    QByteArray b = v.toUtf8();
    if (b.contains(';') || b.contains('"') || b.contains('\n') || b.contains('\r')) {
        b.replace("\"", "\"\"");
        b = '"' + b + '"';
    }
    return b;
}

// A browser or screen reader needs the document type and the page's language: a layout may
// have left them out.
QByteArray conTipoELingua(QByteArray html) {
    qsizetype i = 0;
    while (i < html.size() && std::isspace(static_cast<unsigned char>(html[i])))
        ++i;
    if (!html.mid(i, 9).toLower().startsWith("<!doctype")) html.insert(i, "<!DOCTYPE html>\n");
    const qsizetype tag = html.toLower().indexOf("<html");
    if (tag >= 0) {
        const qsizetype fine = html.indexOf('>', tag);
        if (fine > 0 && !html.mid(tag, fine - tag).toLower().contains(" lang="))
            html.insert(tag + 5, " lang=\"it\"");
    }
    return html;
}

} // namespace

std::optional<Formato> formatoDaNumero(int numero) {
    switch (numero) {
    case 1:
        return Formato::CSV;
    case 2:
        return Formato::HTML;
    case 3:
        return Formato::PDF;
    case 4:
        return Formato::ODT;
    default:
        return std::nullopt;
    }
}

void disegnaPagine(const DocumentoStampa& doc, QPagedPaintDevice& device, int risoluzione, int da,
                   int a) {
    if (a < 0 || a >= doc.numeroPagine()) a = doc.numeroPagine() - 1;
    QPainter p;
    if (!p.begin(&device)) throw ErroreStampa(QStringLiteral("Impossibile iniziare la stampa."));
    const double scala = risoluzione / 96.0;
    for (int i = std::max(0, da); i <= a; ++i) {
        if (i > std::max(0, da) && !device.newPage())
            throw ErroreStampa(QStringLiteral("Impossibile iniziare una nuova pagina."));
        p.save();
        p.scale(scala, scala);
        doc.disegnaPagina(p, i);
        p.restore();
    }
    p.end();
}

void esportaPdf(const DocumentoStampa& doc, const QString& file) {
    QSaveFile f(file);
    apri(f);
    {
        QPdfWriter w(&f);
        w.setResolution(300);
        w.setPageLayout(doc.pageLayout());
        w.setTitle(doc.titolo());
        w.setCreator(QStringLiteral("Vastrel"));
        disegnaPagine(doc, w, 300);
    }
    chiudi(f);
}

void esportaHtml(const DocumentoStampa& doc, const QString& file) {
    QSaveFile f(file);
    apri(f);
    if (f.write(conTipoELingua(doc.htmlCompleto())) < 0) nonScritto(file, f.errorString());
    chiudi(f);
}

void esportaOdt(const DocumentoStampa& doc, const QString& file) {
    // The ODF writer closes its device at the end, which a QSaveFile does not allow.
    QByteArray odt;
    {
        QBuffer b(&odt);
        b.open(QIODevice::WriteOnly);
        const std::unique_ptr<QTextDocument> unico = doc.documentoUnico();
        QTextDocumentWriter w(&b, "odf");
        if (!w.write(unico.get())) nonScritto(file, QStringLiteral("formato ODT non disponibile"));
    }
    odt = completaOdt(odt, doc.paginaOdt());
    QSaveFile f(file);
    apri(f);
    if (f.write(odt) < 0) nonScritto(file, f.errorString());
    chiudi(f);
}

void esportaCsv(const RecordSet& righe, const QString& file) {
    QSaveFile f(file);
    apri(f);
    const db::RowStore& s = righe.store();
    std::vector<int> colonne;
    for (int c = 0; c < s.columnCount(); ++c)
        if (s.column(c).type != db::FieldType::Blob) colonne.push_back(c);
    QByteArray riga = "\xEF\xBB\xBF";
    for (size_t k = 0; k < colonne.size(); ++k) {
        if (k) riga += ';';
        riga += campoCsv(s.column(colonne[k]).name);
    }
    riga += "\r\n";
    f.write(riga);
    for (int r = 0; r < s.rowCount(); ++r) {
        riga.clear();
        for (size_t k = 0; k < colonne.size(); ++k) {
            if (k) riga += ';';
            riga += campoCsv(righe.testo(r, colonne[k]));
        }
        riga += "\r\n";
        if (f.write(riga) < 0) nonScritto(file, f.errorString());
    }
    chiudi(f);
}

void esporta(Formato formato, const DocumentoStampa& doc, const RecordSet& righe,
             const QString& file) {
    switch (formato) {
    case Formato::PDF:
        esportaPdf(doc, file);
        break;
    case Formato::HTML:
        esportaHtml(doc, file);
        break;
    case Formato::ODT:
        esportaOdt(doc, file);
        break;
    case Formato::CSV:
        esportaCsv(righe, file);
        break;
    }
}

} // namespace stampa
