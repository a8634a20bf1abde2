// Runs one of the programs' actions through their own code, for the fault tests to kill,
// starve of disk or run as several workstations at once:
//   faultdriver annulla|elimina|esporta|postazione DATABASE ARGUMENT
// Prints the error the user would see and exits 1 when the action fails.

#include "app/archives/clienti.h"
#include "app/shell/form_db.h"
#include "app/shell/frmutilita.h"
#include "common/controls/dbedits.h"
#include "common/controls/dialogs.h"
#include "common/records.h"
#include "db/error.h"
#include "export/scrittura.h"

#include <QApplication>
#include <cstdio>

namespace {

// One workstation's edits, four kinds in turn: a new client, a change to it, a row of this
// computer's own, and every second time that row deleted again.
void postazione(Tform_DB& dm, int edits) {
    const QString me = dm.nomeComputer;
    QString cliente;
    long long id = 0;
    for (int i = 0; i < edits; ++i) {
        if (i % 4 == 0) {
            dm.Table1.append();
            dm.Table1.setValue(QStringLiteral("Cognome"), cliente = me + u'-' + QString::number(i));
            common::SalvaRecord(dm.Table1, QStringLiteral("ID"));
            id = dm.Connessione.lastInsertId();
        }
        if (i % 4 == 1) dm.esegui(QStringLiteral("update anagraficaclienti set Nome = 'modificato' where Cognome = '") + cliente + u'\'');
        if (i % 4 == 2) {
            dm.TableTempAvvisiClienti.append();
            dm.TableTempAvvisiClienti.setValue(QStringLiteral("NomeComputer"), me);
            dm.TableTempAvvisiClienti.setValue(QStringLiteral("Cliente_ID"), id);
            dm.TableTempAvvisiClienti.post();
        }
        if (i % 8 == 7)
            dm.esegui(QStringLiteral("delete * from TempAvvisiClienti where NomeComputer = '") + me +
                      QStringLiteral("' and Cliente_ID = ") + QString::number(id));
    }
}

void esegui(const QString& azione, const QString& database, const QString& argomento) {
    if (azione == u"esporta") {
        db::Connection c;
        c.open(database);
        db::RowStore campi; // every column ticked
        c.load(QStringLiteral("select top 1 * from anagraficaclienti"), campi);
        QStringList colonne;
        for (const db::ColumnInfo& col : campi.columnInfos()) colonne << col.name;
        esportazioni::Esportazione(c, QStringLiteral("select * from anagraficaclienti"), colonne)
            .scrivi(argomento, esportazioni::Formato::Csv);
        return;
    }
    Tform_DB dm;
    dm.Connessione.open(database);
    dm.riapriQuery();
    dm.cmdFiltriClick();
    if (azione == u"annulla") {
        TfrmUtilita window(dm);
        window.DBLookupComboBox1->activated(window.DBLookupComboBox1->findText(argomento));
        window.SpeedButton10Click();
    } else if (azione == u"elimina") {
        dm.Table1.locate(QStringLiteral("ID"), argomento.toLongLong());
        eliminaCliente(dm);
    } else if (azione == u"postazione") {
        postazione(dm, argomento.toInt());
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ui::ScriptedDialogs dialogs; // the closing messages have no one to read them
    const QStringList a = app.arguments();
    if (a.size() != 4) return 2;
    try {
        esegui(a[1], a[2], a[3]);
    } catch (const db::DatabaseError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        return 1;
    } catch (const esportazioni::ErroreFile& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.testo()));
        return 1;
    }
    return 0;
}
