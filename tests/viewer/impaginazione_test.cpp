// Pages: headers and footers, list tables across pages, page breaks, orientation.

#include "aiuti.h"
#include "viewer/esporta.h"
#include "viewer/impaginazione.h"

#include <QPageSize>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace stampa;

namespace {

class Impaginazione : public ::testing::Test {
protected:
    QTemporaryDir dir;
    // Lays out some HTML as a report of the "Centro Prova" and writes it to PDF.
    QStringList pagine(const QString& html,
                       const QString& intestazione = "---\ntitolo: Prova\n---\n",
                       int* numero = nullptr, QSizeF* lato = nullptr) {
        ReportReso r;
        r.html = html.toStdString();
        const Layout l = aiuti::layout(intestazione + "x");
        DocumentoStampa doc(std::move(r), l, QPageSize(QPageSize::A4), "Centro Prova",
                            QDate(2024, 7, 1));
        if (numero) *numero = doc.numeroPagine();
        if (lato) *lato = doc.dimensione();
        const QString pdf = dir.filePath("p.pdf");
        esportaPdf(doc, pdf);
        return aiuti::pdfPages(pdf);
    }
};

TEST_F(Impaginazione, ListHeaderRepeatsAndRowsAreNeverCut) {
    QString html = "<h1>Elenco lungo</h1><table class=\"elenco\"><thead><tr><th>Colonna "
                   "Alfa</th><th>Colonna Beta</th></tr></thead>";
    for (int i = 1; i <= 150; ++i)
        html += QStringLiteral("<tr><td>Riga %1<br>seconda %1</td><td>valore %1</td></tr>").arg(i);
    html += "</table><p>Fine elenco</p>";
    int numero = 0;
    const QStringList p = pagine(html, "---\ntitolo: Prova\n---\n", &numero);
    ASSERT_GE(p.size(), 3);
    EXPECT_EQ(p.size(), numero);
    QSet<int> visti;
    for (int k = 0; k < p.size(); ++k) {
        SCOPED_TRACE(k + 1);
        for (const QString& t : {QString("Colonna Alfa"), QString("Colonna Beta"), QString("Centro Prova"),
                                 QString("Stampato il 01/07/2024"), QStringLiteral("pagina %1 di %2").arg(k + 1).arg(p.size())})
            EXPECT_TRUE(p[k].contains(t)) << t.toStdString();
        for (int i = 1; i <= 150; ++i) {
            const bool prima = p[k].contains(QStringLiteral("Riga %1 ").arg(i));
            const bool seconda = p[k].contains(QStringLiteral("seconda %1 ").arg(i));
            EXPECT_EQ(prima, seconda) << "row " << i << " cut across pages";
            if (prima) visti.insert(i);
        }
    }
    EXPECT_EQ(visti.size(), 150);
    EXPECT_TRUE(p.first().contains("Elenco lungo"));
    EXPECT_FALSE(p[1].contains("Elenco lungo"));
    EXPECT_TRUE(p.last().contains("Fine elenco"));
}

TEST_F(Impaginazione, FlowingTextLongerThanAPageGoesOnAcrossPages) {
    QString html;
    for (int i = 1; i <= 120; ++i)
        html +=
            QStringLiteral("<p>Paragrafo %1 del regolamento interno della palestra.</p>").arg(i);
    const QStringList p = pagine(html);
    ASSERT_GE(p.size(), 2);
    const QString tutto = p.join(' ');
    for (int i = 1; i <= 120; ++i)
        EXPECT_EQ(tutto.count(QStringLiteral("Paragrafo %1 del").arg(i)), 1) << i;
}

TEST_F(Impaginazione, PageBreaksAndBlocksKeptTogether) {
    // A break at the top of the first page makes no empty page.
    EXPECT_EQ(pagine("<div style=\"page-break-before: always\">uno</div>"
                     "<div style=\"page-break-before: always\">due</div>")
                  .size(),
              2);
    // A block that no longer fits below the list goes whole to the next page: lengthen the
    // list until the block leaves the first page, and it must leave it whole.
    bool spostato = false;
    for (int righe = 30; righe < 60 && !spostato; ++righe) {
        QString html = "<table class=\"elenco\"><tr><th>T</th></tr>";
        for (int i = 0; i < righe; ++i)
            html += "<tr><td>riga</td></tr>";
        html += "</table><p>Blocco A<br>Blocco B<br>Blocco C<br>Blocco D<br>Blocco E<br>Blocco F<br>Blocco G</p>";
        const QStringList p = pagine(html);
        if (p.size() < 2) continue;
        spostato = true;
        EXPECT_EQ(p.size(), 2);
        EXPECT_FALSE(p[0].contains("Blocco")) << righe;
        for (const char* riga : {"Blocco A", "Blocco D", "Blocco G"})
            EXPECT_TRUE(p[1].contains(riga)) << riga;
    }
    EXPECT_TRUE(spostato);
}

// An empty report on a landscape layout: one wide A4 page with its footer.
TEST_F(Impaginazione, AnEmptyLandscapeReportHasOneWidePage) {
    int numero = 0;
    QSizeF lato;
    const QStringList p = pagine("", "---\norientamento: orizzontale\n---\n", &numero, &lato);
    EXPECT_NEAR(lato.width(), 297 * kPxPerMm, 1);
    EXPECT_NEAR(lato.height(), 210 * kPxPerMm, 1);
    const testing_support::PdfInfo info = testing_support::pdfInfo(dir.filePath("p.pdf"));
    EXPECT_NEAR(info.width, 842, 1);
    EXPECT_NEAR(info.height, 595, 1);
    EXPECT_EQ(numero, 1);
    ASSERT_EQ(p.size(), 1);
    EXPECT_TRUE(p[0].contains("pagina 1 di 1"));
}

TEST_F(Impaginazione, LettersAreNumberedEachOnItsOwn) {
    QString lunga;
    for (int i = 1; i <= 90; ++i)
        lunga += QStringLiteral("<p>Riga %1 della lettera lunga.</p>").arg(i);
    const QString html = "<div style=\"page-break-before: always\">Lettera uno</div>"
                         "<div style=\"page-break-before: always\">" + lunga + "</div>"
                         "<div style=\"page-break-before: always\">Lettera tre</div>";
    const QStringList p = pagine(html, "---\nnumerazione: documento\n---\n");
    ASSERT_GE(p.size(), 4);
    EXPECT_FALSE(p.first().contains("pagina")) << p.first().toStdString();
    EXPECT_FALSE(p.last().contains("pagina"));
    const int lettera = int(p.size()) - 2;
    for (int k = 1; k <= lettera; ++k)
        EXPECT_TRUE(p[k].contains(QStringLiteral("pagina %1 di %2").arg(k).arg(lettera))) << k;
}

// Widths from the content: a date column declared far too narrow still holds its dates on
// one line, and an address breaks only after "@" or ".".
TEST_F(Impaginazione, ColumnsFitTheirDatesAndBreakAddressesOnlyAtTheirDots) {
    QString html = "<table class=\"elenco\"><thead><tr><th width=\"4%\">Data</th><th width=\"4%\">"
                   "Posta</th><th width=\"92%\">Note</th></tr></thead>";
    for (int i = 1; i <= 20; ++i)
        html += QStringLiteral("<tr><td>%1/03/2024</td><td>nome.cognome%1@esempio-lungo.it</td>"
                               "<td>nota</td></tr>").arg(i + 9);
    const QString t = pagine(html + "</table>").join(' ');
    QString unito = t;
    unito.replace(QRegularExpression("([@.]) "), "\\1");
    for (int i = 10; i <= 29; ++i) {
        EXPECT_TRUE(t.contains(QStringLiteral("%1/03/2024").arg(i))) << t.toStdString();
        EXPECT_TRUE(unito.contains(QStringLiteral("nome.cognome%1@esempio-lungo.it").arg(i)))
            << t.toStdString();
    }
}

} // namespace
