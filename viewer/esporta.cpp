#include "viewer/esporta.h"

#include "viewer/dati.h"
#include "viewer/errore.h"
#include "viewer/impaginazione.h"
#include "viewer/odt.h"
#include "viewer/unionepdf.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>
#include <QTextDocumentWriter>
#include <QThread>
#include <atomic>
#include <exception>

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

// Pages [da, a] on a device; with a brush of this thread's own, or the document's.
void disegna(const DocumentoStampa& doc, QPagedPaintDevice& device, int risoluzione, int da, int a,
             DocumentoStampa::Pennello* pn) {
    if (a < 0 || a >= doc.numeroPagine()) a = doc.numeroPagine() - 1;
    QPainter p;
    if (!p.begin(&device)) throw ErroreStampa(QStringLiteral("Impossibile iniziare la stampa."));
    const double scala = risoluzione / 96.0;
    for (int i = std::max(0, da); i <= a; ++i) {
        if (i > std::max(0, da) && !device.newPage())
            throw ErroreStampa(QStringLiteral("Impossibile iniziare una nuova pagina."));
        p.save();
        p.scale(scala, scala);
        if (pn)
            doc.disegnaPagina(p, i, *pn);
        else
            doc.disegnaPagina(p, i);
        p.restore();
    }
    p.end();
}

void scriviPdf(const DocumentoStampa& doc, QIODevice& d, int da, int a,
               DocumentoStampa::Pennello* pn) {
    QPdfWriter w(&d);
    w.setResolution(300);
    w.setPageLayout(doc.pageLayout());
    w.setTitle(doc.titolo());
    w.setCreator(QStringLiteral("Vastrel"));
    disegna(doc, w, 300, da, a, pn);
}

// Qt's PDF writer spends most of its time on each glyph it writes and on compressing the
// pages, on one core: long documents are written in parts at once, joined at the end.
// Parts rather than one per thread, so that a thread slowed by other work gets fewer.
int partiPdf(int pagine) {
    // Each part embeds its own font subsets (some 25 KB) and needs a writer of its own.
    constexpr int kPagineMinime = 60;
    const int fili = std::max(1, QThread::idealThreadCount());
    if (fili < 2 || pagine < 2 * kPagineMinime) return 1;
    return std::clamp(pagine / kPagineMinime, 2, 4 * fili);
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
    disegna(doc, device, risoluzione, da, a, nullptr);
}

void esportaPdf(const DocumentoStampa& doc, const QString& file, int parti) {
    const int pagine = doc.numeroPagine();
    parti = std::clamp(parti > 0 ? parti : partiPdf(pagine), 1, std::max(1, pagine));
    QSaveFile f(file);
    apri(f);
    if (parti == 1) {
        scriviPdf(doc, f, 0, -1, nullptr);
        chiudi(f);
        return;
    }
    std::vector<QByteArray> pdf(static_cast<size_t>(parti));
    std::atomic<int> prossima{0};
    const int fili = std::min(parti, std::max(1, QThread::idealThreadCount()));
    std::vector<std::exception_ptr> errori(static_cast<size_t>(fili));
    auto lavoro = [&](int filo) {
        try {
            // Made and dropped in this thread: its fonts and documents are this thread's.
            const std::unique_ptr<DocumentoStampa::Pennello> pn = doc.nuovoPennello();
            for (int k = prossima++; k < parti; k = prossima++) {
                QBuffer b(&pdf[size_t(k)]);
                b.open(QIODevice::WriteOnly);
                scriviPdf(doc, b, int(qint64(pagine) * k / parti),
                          int(qint64(pagine) * (k + 1) / parti) - 1, pn.get());
            }
        } catch (...) {
            errori[size_t(filo)] = std::current_exception();
            prossima = parti; // the others stop after their part
        }
    };
    // QThreads, not bare threads: the font cache starts a timer in the thread that uses it.
    std::vector<std::unique_ptr<QThread>> altri;
    for (int t = 1; t < fili; ++t) {
        altri.emplace_back(QThread::create(lavoro, t));
        altri.back()->start();
    }
    lavoro(0);
    for (const auto& t : altri)
        t->wait();
    for (const std::exception_ptr& e : errori)
        if (e) std::rethrow_exception(e);
    unisciPdf(pdf, f);
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
