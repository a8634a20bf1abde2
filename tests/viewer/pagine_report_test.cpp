// The shipped layouts over many pages: rows are never cut between pages, a group heading
// never ends a page, and a group whose rows go on to the next page is headed there again
// with "(segue)". Rows come from a real database; pages are read back with pdftotext.

#include "aiuti.h"
#include "support/tempdb.h"
#include "viewer/errore.h"
#include "viewer/esporta.h"
#include "viewer/impaginazione.h"
#include "viewer/unionepdf.h"

#include <QBuffer>

#include <QPageSize>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace stampa;

namespace {

// Group "Gruppo07" holds rows whose first line reads "x07y03" and whose last "z07y03".
struct Caso {
    const char* file;
    const char* select;
    bool gruppi;
};

const Caso kCasi[] = {
    {"Pagamenti.rpt", "Gruppo AS Cliente, Testo AS Note, Data, Importo, 'Quota' AS Operazione", true},
    {"PagamentiLan.rpt", "Gruppo AS Cliente, Testo AS Note, Data, Importo, 'Quota' AS Operazione", true},
    {"Orari.rpt", "Gruppo AS Giorno, Testo AS Istruttore, 'Pilates' AS Specialita", true},
    {"ClientiOrari.rpt", "Gruppo AS Specialita, 'Lunedì' AS Giorno, '18.00' AS OrarioInizio, "
                         "'19.00' AS OrarioFine, 'Base' AS Corso, Testo AS Cliente", true},
    {"SchedaCliente.rpt", "Gruppo AS Descrizione, Testo AS EsercizioDescrizione, 3 AS Serie, "
                          "Lunga AS ModalitaUso", true},
    {"SchedaClienteNoImmagine.rpt", "Gruppo AS Descrizione, Testo AS EsercizioDescrizione, "
                                    "Lunga AS ModalitaUso", true},
    {"Clienti.rpt", "Testo AS Cliente, Gruppo AS Citta", false},
    {"Personale.rpt", "Testo AS Cognome, Gruppo AS Mansione", false},
    {"Patologie.rpt", "Testo AS Descrizione, Lunga AS Cura", false},
};

class PagineReport : public ::testing::Test {
protected:
    testing_support::TempDatabase tdb;
    QTemporaryDir dir;

    void SetUp() override {
        db::Connection& c = tdb.connection();
        c.execute("CREATE TABLE Righe (Ordine LONG, Gruppo TEXT(20), Testo MEMO, Lunga MEMO, "
                  "Data DATETIME, Importo DOUBLE)");
        c.refreshCatalog();
        // Groups of 1 to 13 rows, so that headings fall at every height of a page.
        int ordine = 0;
        for (int g = 1; g <= 40; ++g)
            for (int r = 1; r <= (g * 7) % 13 + 1; ++r) {
                const QString n = QStringLiteral("%1y%2").arg(g, 2, 10, QChar('0')).arg(r, 2, 10, QChar('0'));
                const QString testo = "x" + n + "\nz" + n;
                const QString lunga =
                    QString("Movimento lento e controllato, schiena in appoggio. ").repeated(g % 4 + 1) +
                    "z" + n;
                c.execute("INSERT INTO Righe VALUES (?, ?, ?, ?, #3/15/2024#, 10)",
                          {++ordine, QStringLiteral("Gruppo%1").arg(g, 2, 10, QChar('0')), testo, lunga});
            }
    }

    std::unique_ptr<DocumentoStampa> documento(const char* file, const char* select) {
        const Layout l = leggiLayout(QDir(qEnvironmentVariable("VASTREL_SOURCE_DIR"))
                                         .filePath(QStringLiteral("reports/") + file));
        rs = std::make_unique<RecordSet>(aiuti::carica(
            tdb.connection(), QStringLiteral("SELECT %1 FROM Righe ORDER BY Ordine").arg(select)));
        Sorgenti s;
        s.principale = rs.get();
        return std::make_unique<DocumentoStampa>(rendiReport(l, s), l, QPageSize(QPageSize::A4),
                                                 "Centro Prova", QDate(2024, 7, 1));
    }
    // Line by line as printed: list tables are read across their columns.
    QStringList pagine(const Caso& c) {
        esportaPdf(*documento(c.file, c.select), dir.filePath("p.pdf"));
        return testing_support::pdfPages(dir.filePath("p.pdf"), true);
    }
    std::unique_ptr<RecordSet> rs;
};

// Every row's first and last line are on one page, and every row is printed.
TEST_F(PagineReport, NoOrdinaryRowIsCutBetweenPages) {
    const QRegularExpression segno("([xz])(\\d\\dy\\d\\d)");
    for (const Caso& c : kCasi) {
        SCOPED_TRACE(c.file);
        const QStringList p = pagine(c);
        EXPECT_GE(p.size(), 3);
        QMap<QString, QSet<int>> dove[2];
        for (int k = 0; k < p.size(); ++k)
            for (auto it = segno.globalMatch(p[k]); it.hasNext();) {
                const auto m = it.next();
                dove[m.captured(1) == "z"][m.captured(2)].insert(k);
            }
        EXPECT_EQ(dove[0].size(), 281);
        for (auto it = dove[0].begin(); it != dove[0].end(); ++it)
            EXPECT_EQ(it.value(), dove[1].value(it.key())) << it.key().toStdString();
    }
}

TEST_F(PagineReport, GroupHeadingsStayWithTheirRowsAndAreRepeatedWhenTheyGoOn) {
    const QRegularExpression segno("(?<!Totale )Gruppo(\\d\\d)|\\(segue\\)|x(\\d\\d)y(\\d\\d)");
    for (const Caso& c : kCasi) {
        if (!c.gruppi) continue;
        SCOPED_TRACE(c.file);
        const QStringList p = pagine(c);
        EXPECT_GE(p.size(), 3);
        int seguiti = 0;
        QString gruppoPrima; // the group of the last row of the page before
        for (int k = 0; k < p.size(); ++k) {
            SCOPED_TRACE(k + 1);
            QString gruppo, ultimo;
            bool segue = false, primoVisto = false;
            for (auto it = segno.globalMatch(p[k]); it.hasNext();) {
                const auto m = it.next();
                if (m.captured(0) == "(segue)") {
                    segue = true;
                    continue;
                }
                if (!m.captured(1).isEmpty()) {
                    gruppo = m.captured(1);
                    segue = false;
                    ultimo = "titolo";
                    continue;
                }
                ultimo = "riga";
                if (!primoVisto) {
                    primoVisto = true;
                    // The page's first row is under its group's heading, marked when the
                    // group began on the page before.
                    EXPECT_EQ(gruppo, m.captured(2)) << p[k].left(400).toStdString();
                    EXPECT_EQ(segue, m.captured(2) == gruppoPrima && m.captured(3) != "01");
                    seguiti += segue;
                }
                gruppoPrima = m.captured(2);
            }
            EXPECT_EQ(ultimo, "riga") << "a heading ends the page: " << p[k].right(300).toStdString();
        }
        EXPECT_GE(seguiti, 1);
    }
}

// Painted in parts and joined, a PDF reads back like the one written whole, and poppler has
// nothing to repair; a part whose objects are not where its table says is refused.
TEST_F(PagineReport, PdfJoinedFromPartsReadsLikeTheWholeOne) {
    for (const Caso& c : {kCasi[0], kCasi[4]}) {
        SCOPED_TRACE(c.file);
        const auto doc = documento(c.file, c.select);
        const QString intero = dir.filePath("intero.pdf"), unito = dir.filePath("unito.pdf");
        esportaPdf(*doc, intero, 1);
        esportaPdf(*doc, unito, 3);
        const auto a = testing_support::pdfInfo(intero), b = testing_support::pdfInfo(unito);
        EXPECT_GE(a.pages, 3);
        EXPECT_EQ(std::tie(b.pages, b.width, b.height, b.pictures),
                  std::tie(a.pages, a.width, a.height, a.pictures));
        EXPECT_EQ(testing_support::pdfPages(unito, true), testing_support::pdfPages(intero, true));
        QProcess poppler;
        poppler.start("pdftotext", {unito, "/dev/null"});
        poppler.waitForFinished(60000);
        EXPECT_EQ(poppler.readAllStandardError().toStdString(), "");
        QByteArray spostato = testing_support::fileBytes(intero);
        spostato.insert(spostato.indexOf("endobj"), "% spostato\n");
        QBuffer b2;
        b2.open(QIODevice::WriteOnly);
        EXPECT_THROW(unisciPdf({testing_support::fileBytes(intero), spostato}, b2), ErroreStampa);
    }
}

// The ODT export read back by python3-odf: the page of the layout, its header and footer,
// and table widths in forms the ODF schema allows.
TEST_F(PagineReport, OdtCarriesThePageLayoutHeaderAndFooter) {
    const char* script = R"PY(
import sys
from odf.opendocument import load
from odf import style, text, teletype
d = load(sys.argv[1])
for m in d.masterstyles.getElementsByType(style.MasterPage):
    nome = m.getAttribute("pagelayoutname")
    for pl in d.automaticstyles.getElementsByType(style.PageLayout):
        if pl.getAttribute("name") == nome:
            p = pl.getElementsByType(style.PageLayoutProperties)[0]
            print("pagina", p.getAttribute("pagewidth"), p.getAttribute("pageheight"),
                  p.getAttribute("printorientation"), p.getAttribute("marginleft"))
    print("testata", "".join(teletype.extractText(t) for t in m.getElementsByType(style.Header)))
    print("piede", "".join(teletype.extractText(t) for t in m.getElementsByType(style.Footer)),
          len(m.getElementsByType(text.PageNumber)), len(m.getElementsByType(text.PageCount)))
for t in d.automaticstyles.getElementsByType(style.TableProperties):
    print("tabella", t.getAttribute("width"), t.getAttribute("relwidth"))
print("tab", len(d.body.getElementsByType(text.Tab)))
for t in d.automaticstyles.getElementsByType(style.TableColumnProperties):
    print("colonna", t.getAttribute("columnwidth"), t.getAttribute("relcolumnwidth"))
)PY";
    for (const char* file : {"Pagamenti.rpt", "PagamentiLan.rpt"}) {
        SCOPED_TRACE(file);
        const QString odt = dir.filePath("p.odt");
        esportaOdt(*documento(file, kCasi[0].select), odt);
        QProcess py;
        py.start("/usr/bin/python3", {"-c", script, odt});
        py.waitForFinished(60000);
        ASSERT_EQ(py.exitCode(), 0) << py.readAllStandardError().toStdString();
        const QStringList righe = QString::fromUtf8(py.readAllStandardOutput()).split('\n');
        EXPECT_TRUE(righe.contains(QString(file).contains("Lan") ? "pagina 297.0mm 210.0mm landscape 12.0mm"
                                       : "pagina 210.0mm 297.0mm portrait 12.0mm"))
            << righe.join('\n').toStdString();
        EXPECT_TRUE(righe.contains("testata Centro Prova\tPagamenti ricevuti"));
        EXPECT_TRUE(righe.contains("piede Stampato il 01/07/2024\tpagina 1 di 1 1 1"));
        // Widths the ODF schema allows: a table's as a length and a share, a column's as a
        // length or a relative width.
        const QRegularExpression valide("^(tabella [\\d.]+mm [\\d.]+%|colonna (\\S+mm \\S+|None \\d+\\*))$");
        int tabelle = 0;
        for (const QString& r : righe) {
            tabelle += r.startsWith("tabella ");
            if (r.startsWith("tabella ") || r.startsWith("colonna "))
                EXPECT_TRUE(valide.match(r).hasMatch()) << r.toStdString();
        }
        EXPECT_GE(tabelle, 1);
        EXPECT_TRUE(righe.contains("tab 0")) << "line breaks come without tab marks";
    }
}

} // namespace
