// The client register and the client record on real windows over a real database.

#include "../archives/archives_support.h"

#include "app/archives/clienti.h"
#include "app/clients/clientidett.h"
#include "app/clients/install.h"
#include "app/timetable/install.h"
#include "common/codicefiscale.h"
#include "common/controls/dbedits.h"
#include "common/scadenze.h"
#include "common/vcard.h"
#include "db/error.h"
#include "support/files.h"

#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTemporaryDir>

using namespace archives_test;

namespace {

class Clients : public Archives {
protected:
    TfrmClientiDett* record = nullptr;
    ClientiPanel* list() { return a.frmClienti->clienti(); }

    void SetUp() override {
        Archives::SetUp();
        record = creaSchedaClienti(dm, a, creaOrari(dm, host.get()), host.get());
        other("insert into Stagione (ID, Descrizione) values (1, '2026/27')");
        other("insert into GruppoSportivo (ID, Descrizione) values (1, 'Amatori')");
        other("update Comuni set CODICE_F = Null where Comune = 'Vo'");
        for (db::Dataset* q : {&dm.TableStagione, &dm.TableGruppoSportivo, &dm.Table7}) q->requery();
    }
    // A client complete enough to pass every check of the record.
    long long cliente(const QString& surname, const QString& more = QString()) {
        other("insert into anagraficaclienti (Cognome, Nome, Sesso, Citta, Stagione_ID, GruppoSportivo_ID, "
              "DataScadenzaAbbonamento, ScadenzaPagamento, Certificato_med, Scadenza_cert_medico) values ('" +
              QString(surname).replace("'", "''") + "', 'Anna', 'F', 'Padova', 1, 1, #12/31/2099#, #12/31/2099#, "
              "true, #12/31/2099#)");
        const long long id = scalar("select max(ID) from anagraficaclienti").toLongLong();
        if (!more.isEmpty()) other(QString("update anagraficaclienti set %1 where ID = %2").arg(more).arg(id));
        dm.Table1.setFilter(QString());
        dm.Table1.requery();
        dm.Table1.locate("ID", id);
        return id;
    }
    // Columns of one client, read from the file.
    QVariantList row(long long id, const QString& columns) {
        return testing_support::rows(tdb.connection(), QString("select %1 from anagraficaclienti where ID = %2").arg(columns).arg(id)).value(0);
    }
    // Opens the record on the current client and runs `inside` while it is shown.
    void inRecord(std::function<void(TfrmClientiDett*)> inside) {
        when("frmClientiDett", [inside](QDialog* d) { inside(static_cast<TfrmClientiDett*>(d)); });
        click(a.frmClienti, "spdAvanti");
    }
};

TEST_F(Clients, RowColoursFollowTheExpiriesInTheirOrderOfPrecedence) {
    const QDate today(2026, 12, 7);
    const struct {
        const char* what;
        const char* columns;
        QColor colour;
    } cases[] = {
        {"all in order", "", Qt::white},
        {"certificate expiring today", "Scadenza_cert_medico = #12/7/2026#", Qt::white},
        {"no certificate", "Certificato_med = false", QColor(0, 255, 255)},
        {"certificate expired", "Scadenza_cert_medico = #12/6/2026#", QColor(0, 255, 255)},
        {"certificate without date", "Scadenza_cert_medico = Null", QColor(0, 255, 255)},
        {"subscription expired over the certificate", "ScadenzaPagamento = #1/1/2020#, Certificato_med = false",
         QColor(255, 0, 255)},
        {"enrolment without date over everything", "DataScadenzaAbbonamento = Null, ScadenzaPagamento = #1/1/2020#",
         QColor(255, 0, 0)},
        {"cancelled, whatever expired", "Annullato = true, DataScadenzaAbbonamento = #1/1/2020#", QColor(128, 128, 128)},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        cliente(k.what, k.columns);
        EXPECT_EQ(coloreCliente(dm.Table1, dm.Table1.position(), today), k.colour);
    }
}

TEST_F(Clients, SearchBoxesNarrowByPrefixAndTheCardExactly) {
    cliente("D'Angelo", "Tessera = '12', Citta = 'Padova'");
    cliente("Rossi", "Tessera = '123', Citta = 'Abano Terme'");
    const std::pair<const char*, QString> boxes[][2] = {
        {{"Edit1", "d'a"}, {"Edit4", ""}}, {{"Edit3", "12"}, {"Edit1", ""}}, {{"Edit3", "123"}, {"Edit1", "ro"}},
        {{"Edit4", "aba"}, {"Edit3", ""}},
    };
    const QStringList expected[] = {{"D'Angelo"}, {"D'Angelo"}, {"Rossi"}, {"Rossi"}};
    for (int i = 0; i < 4; ++i) {
        list()->svuotaRicerca();
        for (const auto& [box, text] : boxes[i]) qobject_cast<QLineEdit*>(list()->searchBox(box))->setText(text);
        EXPECT_EQ(displayed(dm.Table1, "Cognome"), expected[i]) << dm.Table1.filter().toStdString();
    }
}

// The front desk's path: a new client from the list, typed in the record, saved, and seen in
// the list with its colour.
TEST_F(Clients, ANewClientGoesFromTheListThroughTheRecordBackToTheList) {
    bool shownNew = false;
    when("frmClientiDett", [&](QDialog* d) {
        auto* r = static_cast<TfrmClientiDett*>(d);
        shownNew = !r->spdAnnulla->isHidden() && r->Modificato;
        type(d, "DBEdit1", "Luca");
        type(d, "DBEdit20", "Niccolo");
        dm.Table1.setValue("Sesso", "M");
        dm.Table1.setValue("Citta", "Padova");
        dm.Table1.setValue("GruppoSportivo_ID", 1);
        dm.Table1.setValue("Stagione_ID", 1);
        click(d, "spdIndietro");
        EXPECT_EQ(d->result(), QDialog::Accepted);
    });
    click(a.frmClienti, "spdInserisci");
    EXPECT_TRUE(shownNew) << "with Annulla, modified";
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join(", ").toStdString();
    const long long id = scalar("select max(ID) from anagraficaclienti").toLongLong();
    const QDate today = QDate::currentDate();
    EXPECT_EQ(row(id, "Tessera, ScadenzaPagamento, NominativoVisualizzato"),
              (QVariantList{QString::number(id), QDateTime(common::AggiungiMesi(today, 1), QTime(0, 0)), "Luca Niccolo"}));
    ASSERT_EQ(dm.Table1.keyValue("ID"), id);
    EXPECT_EQ(coloreCliente(dm.Table1, dm.Table1.position(), today), QColor(0, 255, 255)); // no certificate yet
}

TEST_F(Clients, TheSevenChecksInOrderOnEveryWayOutOfTheFirstTab) {
    cliente("Rossi");
    struct Case {
        const char* field;
        QVariant value;
        const char* message;
        const char* focus;
    };
    const Case cases[] = {
        {"Cognome", QVariant(), "Attenzione manca il cognome", "DBEdit1"},
        {"Nome", QVariant(), "Attenzione manca il Nome", "DBEdit20"},
        {"DataScadenzaAbbonamento", QVariant(), "Attenzione manca la Scadenza Iscrizione", "DBEdit24"},
        {"GruppoSportivo_ID", 99, "Attenzione manca il gruppo Sportivo", "DBLookupComboBox7"},
        {"Citta", "Nessun Paese", "Attenzione manca la Residenza", "DBLookupComboBox1"},
        {"Sesso", QVariant(), "Attenzione manca il Sesso", "DBComboBox1"},
        {"Stagione_ID", QVariant(), "Attenzione manca la Stagione", "DBLookupComboBox6"},
    };
    inRecord([&](TfrmClientiDett* r) {
        for (const Case& k : cases) {
            SCOPED_TRACE(k.field);
            const QVariant kept = dm.Table1.value(k.field);
            dm.Table1.setValue(k.field, k.value);
            r->Modificato = true;
            r->Errore = false;
            dialogs.shown.clear();
            r->pagine()->setCurrentIndex(4); // a tab change: message, back to the first tab, no error flag
            EXPECT_EQ(dialogs.messages(), QStringList{k.message});
            EXPECT_EQ(r->pagine()->currentIndex(), 0);
            EXPECT_FALSE(r->Errore);
            dialogs.shown.clear();
            click(r, "spdIndietro"); // "Indietro": the same, with the error flag
            EXPECT_EQ(dialogs.messages(), QStringList{k.message});
            EXPECT_TRUE(r->Errore);
            EXPECT_EQ(r->focusWidget(), r->control(k.focus));
            dm.Table1.setValue(k.field, kept);
        }
        click(r, "spdIndietro");
        EXPECT_EQ(r->result(), QDialog::Accepted);
    });
}

TEST_F(Clients, SavingComposesTheNamesAndRenamesTheClientInTheCalendarOnlyWhenTheNameChanged) {
    struct Case {
        const char* what;
        std::function<void(TfrmClientiDett*)> typing;
        const char* shown;    // NominativoVisualizzato
        const char* calendar; // Calendario.Cliente
    };
    const Case cases[] = {
        {"phone only", [](TfrmClientiDett* r) { type(r, "DBEdit7", "049 1"); }, "vecchio", "Rossi vecchio"},
        {"name, no tax code, no birth date", [](TfrmClientiDett* r) { type(r, "DBEdit20", "Bea"); }, "Rossi Bea",
         "Rossi Bea"},
        {"birth date typed", [](TfrmClientiDett* r) { type(r, "DBEdit2", "05032001"); }, "Rossi Anna - 05/03/2001",
         "Rossi Anna"},
        {"tax code over the birth date",
         [](TfrmClientiDett* r) {
             type(r, "DBEdit2", "05032001");
             type(r, "DBEdit13", "RSSNNA01C45G224X");
         },
         "Rossi Anna - RSSNNA01C45G224X", "Rossi Anna"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        const long long id = cliente("Rossi", "NominativoVisualizzato = 'vecchio'");
        other(QString("insert into Calendario (Cliente_Id, Cliente) values (%1, 'Rossi vecchio')").arg(id));
        inRecord([&](TfrmClientiDett* r) {
            k.typing(r);
            click(r, "spdIndietro");
        });
        EXPECT_EQ(scalar(QString("select NominativoVisualizzato from anagraficaclienti where ID = %1").arg(id)).toString(),
                  k.shown);
        EXPECT_EQ(scalar(QString("select Cliente from Calendario where Cliente_Id = %1").arg(id)).toString(), k.calendar);
    }
}

// Choosing a town or a subscription type fills their columns; the tax code is computed, or
// the missing piece is named, and a duplicate is reported.
TEST_F(Clients, ChoicesFillTheirColumnsAndTheTaxCodeIsComputedOrWhatIsMissingNamed) {
    other("insert into TipoPagamenti (Descrizione, ScadenzaMesi) values ('Trimestrale', 3)");
    dm.TableTipoPagamenti.requery();
    // The rule itself is checked against published codes in the common library's tests.
    const QString code = common::CodiceFiscale("Rossi", "Anna", QDate(2001, 3, 5), "F", "G224");
    cliente("Altro", "Codfiscale = '" + code + "'");
    const long long id = cliente("Rossi", "Cap = Null, Provincia = Null, Nato_a = 'Padova', Datanascita = #3/5/2001#");
    inRecord([&](TfrmClientiDett* r) {
        auto* citta = static_cast<ui::DBLookupComboBox*>(r->control("DBLookupComboBox1"));
        Q_EMIT citta->activated(dm.Table7.findRow(dm.Table7.fieldIndex("Comune"), "Abano Terme"));
        auto* tipo = static_cast<ui::DBLookupComboBox*>(r->control("DBLookupComboBox8"));
        Q_EMIT tipo->activated(0);
        EXPECT_TRUE(r->Modificato);
        r->Modificato = false;
        click(r, "Button5");
        EXPECT_EQ(dm.Table1.value("Codfiscale").toString(), code);
        EXPECT_TRUE(r->Modificato);
        dm.Table1.setValue("Nato_a", "Vo"); // a town without its cadastral code
        click(r, "Button5");
        dm.Table1.setValue("Sesso", QVariant());
        click(r, "Button5");
        dm.Table1.setValue("Sesso", "F");
        type(r, "DBEdit13", "D'ARTAGNAN"); // typed by hand: quoted in the duplicate query
        r->DBEdit13Exit();
        click(r, "spdIndietro");
    });
    EXPECT_EQ(dialogs.messages(),
              (QStringList{"Attenzione il Codice fiscale " + code + " è già presente in altri 1 Record.",
                           "Attenzione questa funzione non può calcolare il codice fiscale per il comune di nascita "
                           "selezionato",
                           "Attenzione controlla che non manchi:il cognome, o il nome, o la data di nascita, o il "
                           "luogo di nascita o il sesso"}));
    EXPECT_EQ(row(id, "Cap, Provincia, ScadenzaPagamento, Codfiscale"),
              (QVariantList{"35031", "PD", QDateTime(common::AggiungiMesi(QDate::currentDate(), 3), QTime(0, 0)),
                            "D'ARTAGNAN"}));
}

TEST_F(Clients, DeletingAClientTakesItsSixListsWithItOrNothingAtAll) {
    const char* const tables[] = {"ClienteOrari", "Scadenze", "ClienteEsercizi", "ClienteDieta", "ClientePatologia",
                                  "Pagamenti"};
    auto rows = [&](long long id) {
        int n = scalar(QString("select count(*) from anagraficaclienti where ID = %1").arg(id)).toInt();
        for (const char* t : tables) n += scalar(QString("select count(*) from %1 where Cliente_ID = %2").arg(t).arg(id)).toInt();
        return n;
    };
    const long long id = cliente("Rossi");
    for (const char* t : tables) other(QString("insert into %1 (Cliente_ID) values (%2)").arg(t).arg(id));
    tdb.engineSql("CREATE TRIGGER no_delete BEFORE DELETE ON Pagamenti BEGIN SELECT RAISE(ABORT, 'bloccato'); END");
    dialogs.answers = {true, true};
    EXPECT_THROW(click(a.frmClienti, "spdElimina"), db::DatabaseError);
    EXPECT_EQ(rows(id), 7);
    EXPECT_EQ(dm.Table1.keyValue("ID"), id); // still listed and current
    tdb.engineSql("DROP TRIGGER no_delete");
    click(a.frmClienti, "spdElimina");
    EXPECT_EQ(rows(id), 0);

    // "Annulla" of a new client asks its own question and deletes without the list's.
    dialogs.shown.clear();
    when("frmClientiDett", [&](QDialog* d) {
        dialogs.answers = {true};
        click(d, "spdAnnulla");
    });
    click(a.frmClienti, "spdInserisci");
    EXPECT_EQ(scalar("select count(*) from anagraficaclienti").toInt(), 0);
    ASSERT_EQ(questions(), 1);
}

TEST_F(Clients, CopiedAddressesAreTheSelectedClientsWithAnEmail) {
    click(a.frmClienti, "spdCopyEmail");
    EXPECT_EQ(dialogs.messages(), QStringList{"Attenzione devi selezionare i contatti da copiare le email"});
    cliente("Rossi", "e_mail = 'rossi@example.it'");
    cliente("Bianchi");
    cliente("Verdi", "e_mail = 'verdi@example.it'");
    QString copied;
    when("frmIndirizziEmail", [&](QDialog* d) { copied = child<QPlainTextEdit>(d, "Memo1")->toPlainText(); });
    list()->SelezionatutteleEmail1Click();
    EXPECT_EQ(list()->grid()->selectedRowCount(), 2);
    click(a.frmClienti, "spdCopyEmail");
    EXPECT_EQ(copied, "rossi@example.it, \nverdi@example.it, ");
}

TEST_F(Clients, VCardsGoOutAndComeBackMatchedByIdentifierThenByName) {
    const long long rossi = cliente("Rossi", "Tel = '049 1', Via = 'Via Roma', Numero_civico = '3', Datanascita = #4/12/1985#");
    cliente("Bianchi");
    QTemporaryDir dir;
    const QString file = dir.filePath("clienti"); // no extension: ".vcf" is added
    list()->SelezionaTutti1Click();
    dialogs.files = {file};
    click(a.frmClienti, "btEsportaVCard");
    const QList<common::ContattoVCard> cards = common::LeggiVCard(file + ".vcf");
    ASSERT_EQ(cards.size(), 2);

    // Back in: Rossi by its identifier (renamed meanwhile), a stranger by name, one new.
    other(QString("update anagraficaclienti set Cognome = 'Rossi Rinominato', Tel = Null where ID = %1").arg(rossi));
    ASSERT_TRUE(testing_support::writeFile(file + ".vcf",
                                           "BEGIN:VCARD\nVERSION:4.0\nN:Bianchi;Anna;;;\nUID:Vastrel-x\nTEL;HOME;VOICE:333\n"
                                           "END:VCARD\nBEGIN:VCARD\nVERSION:4.0\nN:Nuovi;Nina;;;\nEND:VCARD\n", true));
    other("update opzioni set AzioneImportazioneVCard = 2");
    dm.TableOpzioni.requery();
    dialogs.files = {file + ".vcf"};
    click(a.frmClienti, "btImportaVCard");
    EXPECT_EQ(scalar("select count(*) from anagraficaclienti").toInt(), 3);
    EXPECT_EQ(row(rossi, "Cognome, Tel, Via, Datanascita"),
              (QVariantList{"Rossi", "049 1", "Via Roma N°3", QDateTime(QDate(1985, 4, 12), QTime(0, 0))}));
    EXPECT_EQ(scalar("select Tel from anagraficaclienti where Cognome = 'Bianchi'").toString(), "333");
    EXPECT_EQ(dm.Table1.filter(), "");

    // "Skip" leaves existing clients alone and still adds the others.
    other("delete * from anagraficaclienti where Cognome = 'Nuovi'");
    other("update opzioni set AzioneImportazioneVCard = 1");
    dm.TableOpzioni.requery();
    other("update anagraficaclienti set Tel = 'mio' where Cognome = 'Bianchi'");
    dialogs.files = {file + ".vcf"};
    click(a.frmClienti, "btImportaVCard");
    EXPECT_EQ(scalar("select Tel from anagraficaclienti where Cognome = 'Bianchi'").toString(), "mio");
    EXPECT_EQ(scalar("select count(*) from anagraficaclienti where Cognome = 'Nuovi'").toInt(), 1);
}

// The record as a person uses it: keys on the real widgets.
TEST_F(Clients, TheRecordTakesRealKeysEnterMovesOnBackspaceClearsALookUp) {
    cliente("Rossi");
    inRecord([&](TfrmClientiDett* r) {
        QWidget* surname = r->control("DBEdit1");
        surname->setFocus();
        QTest::keyClick(surname, Qt::Key_Return);
        EXPECT_EQ(r->focusWidget(), r->control("DBEdit20"));
        QTest::keyClicks(r->focusWidget(), "x");
        EXPECT_TRUE(r->NomeCambiato);
        QWidget* stagione = r->control("DBLookupComboBox6");
        stagione->setFocus();
        QTest::keyClick(stagione, Qt::Key_Backspace);
        EXPECT_TRUE(dm.Table1.isNull("Stagione_ID"));
        QTest::keyClick(r->control("DBEdit1"), Qt::Key_Escape); // the record is left only by its buttons
        EXPECT_TRUE(r->isVisible());
        dm.Table1.setValue("Stagione_ID", 1);
        click(r, "spdIndietro");
        EXPECT_FALSE(r->isVisible());
    });
    EXPECT_EQ(scalar("select Nome from anagraficaclienti where Cognome = 'Rossi'").toString(), "x"); // entering a box selects its text
}

} // namespace
