// "Selezione filtri" on a real database (the clause itself is tested with the common filter).

#include "aiuti.h"
#include "common/controls/dialogs.h"
#include "support/script.h"
#include "support/tempdb.h"
#include "viewer/frmfiltro.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace stampa;

namespace {

QStringList voci(const QComboBox* c) {
    QStringList out;
    for (int i = 0; i < c->count(); ++i) out << c->itemText(i);
    return out;
}

class Filtro : public ::testing::Test {
protected:
    testing_support::TempDatabase tdb;
    ui::ScriptedDialogs dialogs;
    Globali g;
    std::unique_ptr<TfrmFiltro> f;

    void SetUp() override {
        testing_support::runScript(tdb.connection(), R"(
insert into anagraficaclienti (ID, NominativoDocumenti, Datanascita, Omaggi, Tessera, GruppoSportivo_ID) values (1, 'O''Neil Sean', #3/15/2024 9:05:07#, true, '12', 3);
insert into anagraficaclienti (ID, NominativoDocumenti, Datanascita, Tessera) values (2, 'Bianchi Ugo', #12/30/1899#, '7');
insert into anagraficaclienti (ID, NominativoDocumenti, Datanascita) values (3, 'Rossi Anna', #12/31/1899#);
insert into anagraficaclienti (ID, NominativoDocumenti, Datanascita) values (4, 'Verdi Carlo', #1/2/1900#);
insert into anagraficaclienti (ID, NominativoDocumenti) values (5, Null);)");
        g.connessione = &tdb.connection();
        g.query = "SELECT anagraficaclienti.ID, anagraficaclienti.NominativoDocumenti AS Cliente, "
                  "anagraficaclienti.Datanascita, anagraficaclienti.Omaggi, anagraficaclienti.GruppoSportivo_ID, "
                  "anagraficaclienti.Annullato, anagraficaclienti.ID AS ID_Alimento, anagraficaclienti.ID AS "
                  "Cliente_ID, anagraficaclienti.Tessera AS NumeroTessera, Pagamenti.Importo FROM anagraficaclienti LEFT JOIN "
                  "Pagamenti ON Pagamenti.Cliente_ID = anagraficaclienti.ID";
        apri();
    }
    void apri() {
        g.confermato = true;
        f = std::make_unique<TfrmFiltro>(g);
        f->show();
    }
    void scegli(const QString& colonna) {
        const QList<QListWidgetItem*> it = f->lstCampiFiltro->findItems(colonna, Qt::MatchExactly);
        ASSERT_EQ(it.size(), 1) << colonna.toStdString();
        f->lstCampiFiltro->setCurrentItem(it[0]);
        Q_EMIT f->lstCampiFiltro->itemClicked(it[0]);
    }
    // The values typed with the keyboard, then "Aggiungi".
    void aggiungi(const QString& da, const QString& a, bool conAnd = true) {
        for (auto [box, testo] : {std::pair{f->cmbDA, da}, std::pair{f->cmbA, a}}) {
            box->setCurrentText(QString());
            QTest::keyClicks(box, testo);
        }
        f->chkAnd->setChecked(conAnd);
        f->Command2->click();
    }
};

TEST_F(Filtro, OffersColumnsButNotKeysOrAnnullatoWithTheValuesOfEachType) {
    EXPECT_EQ(f->windowTitle(), "Selezione filtri");
    QStringList colonne;
    for (int i = 0; i < f->lstCampiFiltro->count(); ++i) colonne << f->lstCampiFiltro->item(i)->text();
    EXPECT_EQ(colonne, (QStringList{"Cliente", "Datanascita", "Omaggi", "Numero tessera", "Importo"}));
    EXPECT_FALSE(g.confermato); // activation resets it

    scegli("Omaggi");
    EXPECT_EQ(voci(f->cmbA), (QStringList{"Si", "No"}));
    scegli("Datanascita"); // the empty dates of the old calendar are not offered
    EXPECT_EQ(voci(f->cmbDA), (QStringList{"02/01/1900", "15/03/2024 09:05:07"}));
    scegli("Cliente");
    const QStringList clienti{"Bianchi Ugo", "O'Neil Sean", "Rossi Anna", "Verdi Carlo"};
    EXPECT_EQ(voci(f->cmbDA), clienti);
    f->cmbDA->setCurrentIndex(2);
    Q_EMIT f->cmbDA->activated(2);
    EXPECT_EQ(voci(f->cmbA), (QStringList{"Rossi Anna", "Verdi Carlo"}));
    EXPECT_EQ(f->cmbDA->currentText(), "Rossi Anna");
    EXPECT_EQ(voci(f->cmbDA), clienti);

    // A query that does not run, or none: nothing offered, nothing said.
    for (const QString& q : {QString("SELECT Inesistente FROM anagraficaclienti"), QString()}) {
        g.query = q;
        apri();
        EXPECT_EQ(f->lstCampiFiltro->count(), 0);
    }
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(Filtro, ConditionsMessagesAzzeraAndConferma) {
    f->Command2->click();
    scegli("Cliente");
    aggiungi("O'Neil Sean", "Rossi Anna", false);
    EXPECT_EQ(g.filtro, " Where [Cliente] >= 'O''Neil Sean' OR [Cliente] <= 'Rossi Anna'");
    EXPECT_EQ(f->txtFiltro->text(), " Da O'Neil Sean fino a Rossi Anna");
    EXPECT_EQ(f->cmbDA->currentText(), "");
    EXPECT_EQ(f->cmbA->currentText(), "");
    aggiungi("", "");
    scegli("Datanascita");
    aggiungi("31/02/2024", ""); // not a date: refused, nothing added
    aggiungi("14/03/2024", "");
    EXPECT_EQ(g.filtro, " Where [Cliente] >= 'O''Neil Sean' OR [Cliente] <= 'Rossi Anna'"
                        " AND [Datanascita] >= #3/14/2024 0.0.0#");
    EXPECT_EQ(f->txtFiltro->text(), " Da O'Neil Sean fino a Rossi Anna e  e  Da 14/03/2024");
    ASSERT_EQ(dialogs.shown.size(), 3);
    EXPECT_EQ(dialogs.messages().mid(0, 2), QStringList({"Attenzione è necessario selezionare una voce dall'elenco prima di "
                                                         "aggiungere... ", "Attenzione è necessario selezionare una voce prima di aggiungerla... "}));
    EXPECT_EQ(dialogs.shown[1].caption, "Messaggio di Errore");
    EXPECT_TRUE(dialogs.shown[2].text.contains("31/02/2024"));

    // "Azzera" empties the clause and keeps the lists; "Conferma" accepts what is left.
    f->Command1->click();
    EXPECT_EQ(g.filtro, "");
    EXPECT_EQ(f->txtFiltro->text(), "");
    EXPECT_EQ(f->lstCampiFiltro->count(), 5);
    EXPECT_EQ(f->cmbDA->count(), 2);
    scegli("Numero tessera"); // the column's caption; the clause names the column
    aggiungi("", "30");
    f->Command3->click();
    EXPECT_TRUE(g.confermato);
    EXPECT_EQ(g.filtro, " Where [NumeroTessera] <= '30'"); // an upper value alone starts with Where
    EXPECT_EQ(f->result(), QDialog::Accepted);
    // Closed any other way (Escape on the keyboard): not confirmed.
    apri();
    QTest::keyClick(f->lstCampiFiltro, Qt::Key_Escape);
    EXPECT_FALSE(f->isVisible());
    EXPECT_FALSE(g.confermato);
}

} // namespace
