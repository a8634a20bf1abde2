// The client record's lists, picked from their registers.

#include "../archives/archives_support.h"

#include "app/archives/clienti.h"
#include "app/clients/clientidett.h"
#include "app/clients/install.h"
#include "app/clients/tabcliente.h"
#include "app/timetable/install.h"
#include "app/timetable/orari.h"
#include "support/script.h"

#include <QTabWidget>
#include <QTemporaryDir>

using namespace archives_test;

namespace {

class Tabs : public Archives {
protected:
    TfrmClientiDett* record = nullptr;
    Orari o;
    long long client = 0;
    void SetUp() override {
        Archives::SetUp();
        o = creaOrari(dm, host.get());
        record = creaSchedaClienti(dm, a, o, host.get());
        testing_support::runScript(tdb.connection(), R"(
insert into Stagione (ID, Descrizione) values (1, '2026/27');
insert into GruppoSportivo (ID, Descrizione) values (1, 'Amatori');
insert into anagraficaclienti (Cognome, Nome, Sesso, Citta, Stagione_ID, GruppoSportivo_ID, DataScadenzaAbbonamento) values ('Rossi', 'Anna', 'F', 'Padova', 1, 1, #12/31/2099#);
delete * from Alimenti;
insert into Alimenti (Descrizione, KC) values ('Mela', 52);
insert into Alimenti (Descrizione, KC) values ('Lattuga', 10);
insert into Alimenti (Descrizione) values ('Acqua');
insert into Esercizi (Descrizione) values ('Panca');
insert into Patologie (Descrizione) values ('Lombalgia');
insert into anagraficapersonale (Cognome) values ('Bianchi');
insert into orari (Specialita, Giorno, OrarioInizio, OrarioFine, Corso, Istruttore_ID) select 'Yoga', 'Lunedì', '09.00', '10.00', 'Base', max(ID) from anagraficapersonale;
)");
        for (db::Dataset* q : {&dm.Table1, &dm.TableStagione, &dm.TableGruppoSportivo, &dm.TableAlimenti,
                               &dm.TableEsercizi, &dm.TablePatologie, &dm.Table2, &dm.Table3})
            q->requery();
        client = dm.Table1.keyValue("ID");
        record->caricaListe();
        record->show();
    }
    long long count(const char* table) {
        return scalar(QString("select count(*) from %1 where Cliente_ID = %2").arg(table).arg(client)).toLongLong();
    }
};

TEST_F(Tabs, EachListAddsThePickedRowWithItsDefaultsAndDeletesWithoutAsking) {
    struct Case {
        TabCliente* tab;
        ArchiveListForm* registro;
        const char* table;
        const char* picked;
        QStringList defaults; // "Column=value" as stored
    };
    const QString today = QDateTime(QDate::currentDate(), QTime(0, 0)).toString(Qt::ISODateWithMs);
    const Case cases[] = {
        {record->esercizi, a.frmEsercizi, "ClienteEsercizi", "Panca",
         {"EsercizioDescrizione=Panca", "Quantita=10", "Serie=3", "Pausa=30"}},
        {record->dieta, a.frmAlimenti, "ClienteDieta", "Mela", {"QTA_GRAMMI=100", "ID_pasto="}},
        {record->patologie, a.frmPatologie, "ClientePatologia", "Lombalgia",
         {"DataInizio=" + today, "DataFine=" + today}},
        {record->orari, o.frmOrari, "ClienteOrari", "Yoga", {"OrarioInizio=09.00", "OrarioFine=10.00"}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.table);
        // Left without a choice: nothing added.
        when(k.registro->objectName(), [&](QDialog* d) { click(d, "spdIndietro"); });
        k.tab->spdInserisciClick();
        EXPECT_EQ(count(k.table), 0);
        // The register had a search of its own: it gets it back.
        auto* search = qobject_cast<QLineEdit*>(k.registro->panel()->searchBox("Edit1"));
        search->setText("x");
        when(k.registro->objectName(), [&](QDialog* d) {
            type(d, "Edit1", k.picked);
            Q_EMIT k.registro->grid()->dblClicked();
        });
        k.tab->spdInserisciClick();
        EXPECT_EQ(search->text(), "x");
        ASSERT_EQ(count(k.table), 1);
        for (const QString& d : k.defaults) {
            const QString column = d.section('=', 0, 0), value = d.section('=', 1);
            EXPECT_EQ(scalar(QString("select %1 from %2 where Cliente_ID = %3").arg(column, k.table).arg(client)).toString(),
                      value) << column.toStdString();
        }
        EXPECT_EQ(k.tab->query().recordCount(), 1); // shown at once
        dialogs.shown.clear();
        k.tab->spdEliminaClick();
        k.tab->spdEliminaClick(); // on an empty list: nothing
        EXPECT_EQ(count(k.table), 0);
        EXPECT_EQ(questions(), 0);
    }
}

TEST_F(Tabs, CourseHoursTakeTypedTimesAllowDuplicatesAndHideDeletedSlots) {
    when("frmOrari", [&](QDialog* d) { click(d, "spdAvanti"); });
    record->orari->spdInserisciClick();
    record->orari->spdInserisciClick(); // the same hour again
    db::Dataset& q = record->orari->query();
    ASSERT_EQ(q.recordCount(), 2);
    EXPECT_EQ(displayed(q, "Istruttore"), QStringList({"Bianchi", "Bianchi"}));
    EXPECT_EQ(displayed(q, "Corso"), QStringList({"Base", "Base"}));
    EXPECT_FALSE(o.frmOrari->panel()->scelta);

    // 0, 9, a colon, 3, 0 typed into "Inizio"; "Salva" stores it.
    record->pagine()->setCurrentIndex(2);
    type(record, "DBEdit12", "09:30");
    EXPECT_EQ(child<QLineEdit>(record, "DBEdit12")->text(), "09.30");
    click(record, "SpeedButton7");
    const long long row = q.keyValue("ID");
    EXPECT_EQ(scalar(QString("select OrarioInizio from ClienteOrari where ID = %1").arg(row)).toString(), "09.30");

    // The slot is deleted from the timetable: the client's rows stay but are no longer listed.
    dialogs.answers = {true};
    click(o.frmOrari, "spdElimina");
    EXPECT_EQ(dialogs.shown.last().text, "Sei Sicuro di voler eliminare l'Orario?");
    EXPECT_EQ(scalar("select count(*) from orari").toInt(), 0);
    record->caricaListe();
    EXPECT_EQ(q.recordCount(), 0);
    EXPECT_EQ(count("ClienteOrari"), 2);
}

TEST_F(Tabs, TheDietTotalCountsGramsOfFoodsWithTheirCaloriesAndThePhotoTabShowsItsFile) {
    for (const auto& [food, grams] : {std::pair{"Mela", 150}, std::pair{"Lattuga", 33}, std::pair{"Acqua", 500}})
        other(QString("insert into ClienteDieta (Cliente_ID, ID_Alimento, QTA_GRAMMI) select %1, ID, %2 from Alimenti "
                      "where Descrizione = '%3'").arg(client).arg(grams).arg(food));
    EXPECT_DOUBLE_EQ(totaleDieta(dm.Connessione, client), 81.3);
    EXPECT_DOUBLE_EQ(totaleDieta(dm.Connessione, client + 1), 0.0);
    EXPECT_EQ(record->lblTotaleDieta->text(), "Totale : ");
    record->pagine()->setCurrentIndex(5);
    EXPECT_EQ(record->lblTotaleDieta->text(), "Totale Kilo Calorie: 81,3");

    // The photo tab shows the file, or says it is gone and keeps the picture shown.
    QTemporaryDir dir;
    const QString file = dir.filePath("foto.png");
    QImage picture(40, 60, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(file));
    dialogs.files = {file};
    click(record, "Button6");
    EXPECT_TRUE(record->Modificato);
    EXPECT_EQ(dm.Table1.value("Immagine").toString(), file);
    record->Image1->clear();
    record->mostraFoto();
    EXPECT_FALSE(record->Image1->pixmap().isNull());
    QFile::remove(file);
    record->mostraFoto();
    EXPECT_EQ(dialogs.messages(), QStringList{"L'immagine non esiste"});
    EXPECT_FALSE(record->Image1->pixmap().isNull());
}

} // namespace
