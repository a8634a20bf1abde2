// "Selezione filtri" on a real database: the columns offered, the values of each type, the
// upper list narrowed by the lower value, the clause and its description, the messages,
// "Azzera" and "Conferma".

#include "aiuti.h"
#include "common/controls/dialogs.h"
#include "support/tempdb.h"
#include "viewer/frmfiltro.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace stampa;

namespace {

QStringList voci(const QComboBox* c) {
    QStringList out;
    for (int i = 0; i < c->count(); ++i)
        out << c->itemText(i);
    return out;
}

class Filtro : public ::testing::Test {
protected:
    testing_support::TempDatabase tdb;
    ui::ScriptedDialogs dialogs;
    Globali g;
    std::unique_ptr<TfrmFiltro> f;

    void SetUp() override {
        esegui("insert into anagraficaclienti (ID, NominativoDocumenti, Datanascita, Omaggi, "
               "Tessera, GruppoSportivo_ID, Annullato) "
               "values (1, 'O''Neil Sean', #3/15/2024 9:05:07#, true, '12', 3, false)");
        esegui("insert into anagraficaclienti (ID, NominativoDocumenti, Datanascita, Omaggi, "
               "Tessera) values "
               "(2, 'Bianchi Ugo', #12/30/1899#, false, '7')");
        esegui("insert into anagraficaclienti (ID, NominativoDocumenti, Datanascita, Tessera) "
               "values (3, 'Rossi Anna', #12/31/1899#, '30')");
        esegui("insert into anagraficaclienti (ID, NominativoDocumenti, Datanascita) values (4, "
               "'Verdi Carlo', #1/2/1900#)");
        esegui("insert into anagraficaclienti (ID, NominativoDocumenti) values (5, Null)");
        g.connessione = &tdb.connection();
        g.query = "SELECT anagraficaclienti.ID, anagraficaclienti.NominativoDocumenti AS Cliente, "
                  "anagraficaclienti.Datanascita, anagraficaclienti.Omaggi, "
                  "anagraficaclienti.GruppoSportivo_ID, "
                  "anagraficaclienti.Annullato, anagraficaclienti.ID AS ID_Alimento, "
                  "anagraficaclienti.ID AS Cliente_ID, "
                  "anagraficaclienti.Tessera AS NumeroTessera, Pagamenti.Importo "
                  "FROM anagraficaclienti LEFT JOIN Pagamenti ON Pagamenti.Cliente_ID = "
                  "anagraficaclienti.ID";
        apri();
    }
    void esegui(const QString& sql) { tdb.connection().execute(sql); }
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
    void aggiungi(const QString& da, const QString& a, bool conAnd = true) {
        f->cmbDA->setCurrentText(da);
        f->cmbA->setCurrentText(a);
        f->chkAnd->setChecked(conAnd);
        f->Command2->click();
    }
};

TEST_F(Filtro, OffersColumnsButNotKeysOrAnnullato) {
    EXPECT_EQ(f->windowTitle(), "Selezione filtri");
    QStringList colonne;
    for (int i = 0; i < f->lstCampiFiltro->count(); ++i)
        colonne << f->lstCampiFiltro->item(i)->text();
    EXPECT_EQ(colonne, (QStringList{"Cliente", "Datanascita", "Omaggi", "Numero tessera", "Importo"}));
    EXPECT_FALSE(g.confermato); // activation resets it

    g.query = "SELECT Inesistente FROM anagraficaclienti";
    apri();
    EXPECT_EQ(f->lstCampiFiltro->count(), 0);
    g.query.clear();
    apri();
    EXPECT_EQ(f->lstCampiFiltro->count(), 0);
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(Filtro, ValuesByTypeAndTheUpperListFromTheLowerChoice) {
    scegli("Omaggi");
    EXPECT_EQ(voci(f->cmbDA), (QStringList{"Si", "No"}));
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
}

TEST_F(Filtro, ConditionsJoinedByTheConnectorsTypedByColumnType) {
    scegli("Cliente");
    aggiungi("O'Neil Sean", "Rossi Anna", false);
    EXPECT_EQ(g.filtro, " Where [Cliente] >= 'O''Neil Sean' OR [Cliente] <= 'Rossi Anna'");
    EXPECT_EQ(f->txtFiltro->text(), " Da O'Neil Sean fino a Rossi Anna");
    EXPECT_EQ(f->cmbDA->currentText(), "");
    EXPECT_EQ(f->cmbA->currentText(), "");
    scegli("Omaggi");
    aggiungi("Si", "No");
    scegli("Datanascita");
    aggiungi("15/03/2024", "");
    scegli("Numero tessera");
    aggiungi("", "30");
    scegli("Importo");
    aggiungi("circa 10", "12,5");
    EXPECT_EQ(g.filtro, " Where [Cliente] >= 'O''Neil Sean' OR [Cliente] <= 'Rossi Anna'"
                        " AND [Omaggi] = True AND [Omaggi] = False"
                        " AND [Datanascita] >= #3/15/2024 0.0.0#"
                        " AND [NumeroTessera] <= '30'"
                        " AND [Importo] >= 0 AND [Importo] <= 12.5");
    // Connector and " Da " each bring their blank.
    EXPECT_EQ(f->txtFiltro->text(),
              " Da O'Neil Sean fino a Rossi Anna e  Da Si fino a No e  Da 15/03/2024"
              " e  fino a 30 e  Da circa 10 fino a 12,5");
    // The clause runs on the database.
    db::RowStore righe;
    EXPECT_NO_THROW(tdb.connection().load("Select * from (" + g.query + ")" + g.filtro, righe));
}

TEST_F(Filtro, OnlyAnUpperValueStartsTheClauseWithWhere) {
    scegli("Cliente");
    aggiungi("", "Bianchi Ugo");
    EXPECT_EQ(g.filtro, " Where [Cliente] <= 'Bianchi Ugo'");
}

TEST_F(Filtro, MessagesWithoutAColumnOrWithoutValues) {
    f->Command2->click();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text,
              "Attenzione è necessario selezionare una voce dall'elenco prima di aggiungere... ");
    EXPECT_EQ(dialogs.shown[0].caption, "Messaggio di Errore");
    scegli("Cliente");
    aggiungi("Bianchi Ugo", "");
    aggiungi("", "", false);
    ASSERT_EQ(dialogs.shown.size(), 2);
    EXPECT_EQ(dialogs.shown[1].text,
              "Attenzione è necessario selezionare una voce prima di aggiungerla... ");
    EXPECT_EQ(dialogs.shown[1].caption, "Messaggio di Errore");
    EXPECT_EQ(f->txtFiltro->text(), " Da Bianchi Ugo o "); // the connector stays
    EXPECT_EQ(g.filtro, " Where [Cliente] >= 'Bianchi Ugo'");
    // A date that does not read as one is refused here, with nothing added.
    scegli("Datanascita");
    aggiungi("31/02/2024", "");
    ASSERT_EQ(dialogs.shown.size(), 3);
    EXPECT_TRUE(dialogs.shown[2].text.contains("31/02/2024"));
    EXPECT_EQ(g.filtro, " Where [Cliente] >= 'Bianchi Ugo'");
}

TEST_F(Filtro, AzzeraAndConferma) {
    scegli("Cliente");
    aggiungi("Bianchi Ugo", "");
    f->Command1->click();
    EXPECT_EQ(g.filtro, "");
    EXPECT_EQ(f->txtFiltro->text(), "");
    EXPECT_EQ(f->lstCampiFiltro->count(), 5); // the lists stay
    EXPECT_EQ(f->cmbDA->count(), 4);
    f->Command3->click();
    EXPECT_TRUE(g.confermato);
    EXPECT_EQ(g.filtro, "");
    EXPECT_EQ(f->result(), QDialog::Accepted);

    apri();
    scegli("Numero tessera");
    aggiungi("12", "");
    f->Command3->click();
    EXPECT_EQ(g.filtro, " Where [NumeroTessera] >= '12'");

    // Closed any other way: not confirmed.
    apri();
    f->reject();
    EXPECT_FALSE(g.confermato);
}

} // namespace
