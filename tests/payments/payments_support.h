#pragma once

// The payments windows on a few clients and payments of early 2024; print jobs are real.

#include "../archives/archives_support.h"

#include "app/archives/clienti.h"
#include "app/clients/clientidett.h"
#include "app/clients/install.h"
#include "app/payments/install.h"
#include "app/payments/pagamenti.h"
#include "app/payments/sceltaanno.h"
#include "app/payments/tabpagamenti.h"
#include "app/printing/scrittura.h"
#include "app/timetable/install.h"
#include "common/controls/dbedits.h"

#include <QLabel>

namespace payments_test {

using namespace archives_test;

class Payments : public Archives {
protected:
    Pagamenti p;
    TfrmClientiDett* record = nullptr;
    printing::Avvio avvio;
    long long rossi = 0, rossetti = 0, bianchi = 0, dangelo = 0;

    void SetUp() override {
        Archives::SetUp();
        avvio = printing::setAvvio([](const QString&) { return true; });
        dm.scriviStampa = [](Tform_DB& data, int report) { printing::scriviStampa(data, report); };
        p = creaPagamenti(dm, a, host.get());
        record = creaSchedaClienti(dm, a, creaOrari(dm, host.get()), host.get());
        other("insert into Stagione (ID, Descrizione) values (1, '2024/25')");
        other("insert into GruppoSportivo (ID, Descrizione) values (1, 'Amatori')");
        other("insert into ModPagamento (id, Descrizione) values (1, 'Contanti')");
        other("insert into ModPagamento (id, Descrizione) values (2, 'Bancomat')");
        other("insert into OperazionePagamenti (Descrizione, Importo) values ('Mensile', 45)");
        other("insert into OperazionePagamenti (Descrizione) values ('Iscrizione')");
        rossi = cliente("Rossi", "Anna");
        rossetti = cliente("Rossetti", "Luca");
        bianchi = cliente("Bianchi", "Marco");
        dangelo = cliente("D'Angelo", "Sara");
        pagamento(rossi, "2/10/2024", "Mensile", "45", 1);
        pagamento(rossi, "3/2/2024", "Mensile", "45", 2);
        pagamento(rossetti, "3/15/2024", "Iscrizione", "30.5", 1);
        pagamento(bianchi, "1/20/2024", "Mensile", "45", 2);
        pagamento(dangelo, "3/1/2024", "Iscrizione", "10.125", 1);
        for (db::Dataset* q : {&dm.Table1, &dm.TableStagione, &dm.TableGruppoSportivo, &dm.TableModPaga,
                               &dm.TableOperazionePagamenti, &dm.TableNominativi, &dm.TablePagamenti})
            q->requery();
    }
    void TearDown() override {
        printing::setAvvio(avvio);
        Archives::TearDown();
    }

    long long cliente(const QString& cognome, const QString& nome) {
        const QString q = QString(cognome).replace("'", "''");
        other("insert into anagraficaclienti (Cognome, Nome, NominativoDocumenti, NominativoVisualizzato, Sesso, Citta, "
              "Via, Stagione_ID, GruppoSportivo_ID, DataScadenzaAbbonamento) values ('" + q + "', '" + nome + "', '" +
              q + " " + nome + "', '" + q + " " + nome + "', 'F', 'Padova', 'Via Roma 1', 1, 1, #12/31/2099#)");
        return scalar("select max(ID) from anagraficaclienti").toLongLong();
    }
    void pagamento(long long cliente, const char* data, const char* operazione, const char* importo, int metodo) {
        other(QString("insert into Pagamenti (Cliente_ID, Data, Operazione, Importo, ModPagamento_Id) values "
                      "(%1, #%2#, '%3', %4, %5)").arg(cliente).arg(data, operazione, importo).arg(metodo));
    }
    long long payments(const QString& where = "1 = 1") {
        return scalar("select count(*) from Pagamenti where " + where).toLongLong();
    }
    TabPagamenti* tab() { return record->findChild<TabPagamenti*>(); }
    // The client record shown (not modally) on `client`, its lists following it.
    void recordOn(long long client) {
        dm.Table1.setFilter(QString());
        dm.Table1.locate("ID", client);
        record->caricaListe();
        record->show();
    }
    // Chooses an entry of a look-up as a click in its list does.
    static void choose(QWidget* w, const char* combo, const QString& text) {
        auto* c = child<ui::DBLookupComboBox>(w, combo);
        const int row = c->findText(text);
        ASSERT_GE(row, 0) << text.toStdString();
        c->setCurrentIndex(row);
        Q_EMIT c->activated(row);
    }
};

} // namespace payments_test
