// The header block of a layout file.

#include "aiuti.h"
#include "viewer/errore.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace stampa;

namespace {

TEST(LayoutFile, HeaderKeysAndDefaults) {
    const Layout l = aiuti::layout("---\norientamento: Orizzontale\n# a comment\ntitolo: Elenco clienti\n"
                                   "sottoreport: Subreportx1, Pagamenti ,Orari\nparametri: Data\ngruppo: Cliente, Data\n"
                                   "ordine-gruppi: Giorno:settimana\ncalcola: K = A * 2,5 / B\ncarattere: 8,5\n"
                                   "margini: 10\n---\n<p>{{x}}</p>\n",
                                   "/r/Clienti.rpt");
    EXPECT_TRUE(l.orizzontale);
    EXPECT_EQ(l.titolo, "Elenco clienti");
    EXPECT_EQ(l.sottoreport, (QStringList{"Subreportx1", "Pagamenti", "Orari"}));
    EXPECT_TRUE(l.haParametro("data"));
    EXPECT_EQ(l.gruppo, (QStringList{"Cliente", "Data"}));
    EXPECT_EQ(l.ordineGruppi, QStringList{"Giorno:settimana"});
    ASSERT_EQ(l.calcolati.size(), 1u);
    const Calcolato& k = l.calcolati[0];
    EXPECT_EQ(k.nome, "K");
    ASSERT_EQ(k.fattori.size(), 3u);
    EXPECT_EQ(k.fattori[0].campo, "A");
    EXPECT_DOUBLE_EQ(k.fattori[1].numero, 2.5);
    EXPECT_TRUE(k.fattori[2].dividi);
    EXPECT_DOUBLE_EQ(l.carattere, 8.5);
    EXPECT_DOUBLE_EQ(l.margini, 10);
    EXPECT_EQ(l.modello, "<p>{{x}}</p>\n");
    EXPECT_EQ(l.rigaModello, 13);

    const Layout semplice = aiuti::layout("<p>solo il modello</p>", "/r/Scheda.rpt");
    EXPECT_FALSE(semplice.orizzontale);
    EXPECT_EQ(semplice.titolo, "Scheda");
    EXPECT_TRUE(semplice.sottoreport.isEmpty());
    EXPECT_FALSE(semplice.haParametro("Data"));
    EXPECT_EQ(semplice.modello, "<p>solo il modello</p>");
}

TEST(LayoutFile, HeaderMistakesNameTheLine) {
    const std::pair<const char*, const char*> casi[] = {
        {"---\norientamento: obliquo\n---\n", "riga 2"}, {"---\ntitolo: x\ncolore: rosso\n---\n", "riga 3"},
        {"---\ntitolo x\n---\n", "riga 2"}, {"---\ncarattere: grande\n---\n", "riga 2"},
        {"---\ncalcola: K = A * * B\n---\n", "riga 2"}, {"---\ncalcola: = A\n---\n", "riga 2"},
        {"\n---\ntitolo: mai chiuso\n", "riga 2"},
    };
    for (const auto& [testo, riga] : casi) {
        SCOPED_TRACE(testo);
        try {
            aiuti::layout(testo, "/r/Prova.rpt");
            ADD_FAILURE() << "accepted";
        } catch (const ErroreStampa& e) {
            EXPECT_TRUE(e.text().contains("Prova.rpt") && e.text().contains(riga)) << e.text().toStdString();
        }
    }
}

TEST(LayoutFile, MissingOrUnnamedFileIsAnError) {
    QTemporaryDir dir;
    EXPECT_THROW(leggiLayout(dir.filePath("Manca.rpt")), ErroreStampa);
    EXPECT_THROW(leggiLayout(QString()), ErroreStampa);
    aiuti::scrivi(dir.filePath("Va.rpt"), "---\r\ntitolo: Con a capo di Windows\r\n---\r\nx");
    EXPECT_EQ(leggiLayout(dir.filePath("Va.rpt")).titolo, "Con a capo di Windows");
}

} // namespace
