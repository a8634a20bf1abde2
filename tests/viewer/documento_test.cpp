// The rendered HTML cut into flowing text, list tables and page breaks.

#include "aiuti.h"
#include "viewer/documento.h"

#include <gtest/gtest.h>

using namespace stampa;

namespace {

TEST(Documento, StylesFlowListTablesAndPageBreaks) {
    const DocumentoHtml d = scomponi(
        "<html><head><title>t</title><style>h1 { color: red; }</style></head><body>\n<h1>Titolo</h1>\n"
        "<table class=\"elenco compatta\"><tr><th>A</th></tr><tr><td>1</td></tr></table>\n   \n"
        "<div style=\"color: blue; PAGE-BREAK-BEFORE: Always\"><p>Seconda pagina</p></div>\n"
        "<table class=\"dati\"><tr><td>non è un elenco</td></tr></table>\n</body></html>");
    EXPECT_TRUE(d.css.contains("h1 { color: red; }"));
    std::vector<Segmento::Tipo> tipi;
    for (const Segmento& s : d.segmenti) tipi.push_back(s.tipo);
    using enum Segmento::Tipo;
    ASSERT_EQ(tipi, (std::vector{Flusso, Griglia, SaltoPagina, Flusso}));
    EXPECT_EQ(d.segmenti[0].html.trimmed(), "<h1>Titolo</h1>");
    EXPECT_DOUBLE_EQ(d.segmenti[1].griglia->scala, 0.88);
    EXPECT_TRUE(d.segmenti[3].html.contains("Seconda pagina"));
    EXPECT_TRUE(d.segmenti[3].html.contains("non è un elenco")); // other tables flow
}

TEST(Documento, ListTableRowsCellsAndWidths) {
    const DocumentoHtml d =
        scomponi("<table class=\"elenco\">"
                 "<thead><tr><th width=\"20%\">Data</th><th colspan=\"2\" width=\"50%\">Cliente e "
                 "note</th><th align=\"right\">Euro</th></tr></thead>"
                 "<tr class=\"gruppo\"><td colspan=\"4\">  Rossi   Anna </td></tr>\n"
                 "<tr><td>15/03/2024</td><td><b>Mensile</b><br>  seconda &amp; riga "
                 "</td><td>R&amp;D &lt;x&gt; &egrave; &#8364; &#x41;</td>"
                 "<td style=\"text-align: right\">45,00</td></tr>"
                 "<tr class=\"totale\"><td colspan=\"3\">Totale <i>parziale</i></td><td align=right>45,00</td></tr>"
                 "</table>");
    ASSERT_EQ(d.segmenti.size(), 1u);
    const Griglia& g = *d.segmenti[0].griglia;
    ASSERT_EQ(g.larghezze.size(), 4u);
    const double larghezze[] = {0.20, 0.25, 0.25, 0.30}; // the last what the others leave
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(g.larghezze[i], larghezze[i], 1e-9) << i;
    ASSERT_EQ(g.intestazione.size(), 1u);
    EXPECT_TRUE(g.intestazione[0].celle[0].grassetto);
    EXPECT_EQ(g.intestazione[0].celle[2].allineamento, Qt::AlignRight);
    ASSERT_EQ(g.righe.size(), 3u);
    EXPECT_EQ(g.righe[0].stile, RigaGriglia::Stile::Gruppo);
    EXPECT_EQ(g.righe[0].celle[0].testo, "Rossi Anna");
    EXPECT_EQ(g.righe[0].celle[0].colspan, 4);
    const RigaGriglia& r = g.righe[1];
    EXPECT_EQ(r.stile, RigaGriglia::Stile::Normale);
    EXPECT_EQ(r.celle[1].testo, QString("Mensile") + QChar::LineSeparator + "seconda & riga");
    ASSERT_EQ(r.celle[1].formati.size(), 1);
    EXPECT_EQ(r.celle[1].formati[0].start, 0);
    EXPECT_EQ(r.celle[1].formati[0].length, 7);
    EXPECT_EQ(r.celle[2].testo, "R&D <x> è € A");
    EXPECT_EQ(r.celle[3].allineamento, Qt::AlignRight);
    EXPECT_EQ(g.righe[2].stile, RigaGriglia::Stile::Totale);
    EXPECT_EQ(g.righe[2].celle[0].testo, "Totale parziale");
    EXPECT_EQ(g.righe[2].celle[1].allineamento, Qt::AlignRight);
}

TEST(Documento, HeaderRowsWithoutTheadEntitiesAndBrokenMarkup) {
    DocumentoHtml d =
        scomponi("<table class='elenco'><tr><th>A</th><th>B</th></tr><tr><th>a</th><th>b</th></tr>"
                 "<tr><td>1</td><td>2</td></tr><tr><td>3</td></tr></table><p>dopo</p>");
    ASSERT_EQ(d.segmenti.size(), 2u);
    const Griglia& g = *d.segmenti[0].griglia;
    EXPECT_EQ(g.intestazione.size(), 2u);
    ASSERT_EQ(g.righe.size(), 2u);
    EXPECT_EQ(g.righe[1].celle.size(), 1u);
    EXPECT_NEAR(g.larghezze[0], 0.5, 1e-9);
    EXPECT_EQ(d.segmenti[1].html, "<p>dopo</p>");

    EXPECT_EQ(decodificaEntita("a &amp; b &lt;c&gt; &quot;d&quot; &#39;e&#39; &nbsp;"),
              QString("a & b <c> \"d\" 'e' ") + QChar(0xa0));
    EXPECT_EQ(decodificaEntita("&sconosciuta; & &#xZZ; &#0;"), "&sconosciuta; & &#xZZ; &#0;");
    // A lone "<" and a table never closed end the table at the end of the text.
    d = scomponi("<table class=\"elenco\"><tr><td>1 < 2</td></tr>");
    ASSERT_EQ(d.segmenti.size(), 1u);
    ASSERT_EQ(d.segmenti[0].griglia->righe.size(), 1u);
    EXPECT_EQ(d.segmenti[0].griglia->righe[0].celle[0].testo, "1 < 2");
}

} // namespace
