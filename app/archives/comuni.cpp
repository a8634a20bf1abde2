#include "app/archives/comuni.h"

#include "app/archives/install.h"
#include "app/shell/form_db.h"
#include "common/controls/dialogs.h"
#include "common/text.h"
#include "db/dataset.h"

#include <QLineEdit>

namespace {

ListDescriptor grigliaComuni(Tform_DB& dm) {
    ListDescriptor d;
    d.objectName = QStringLiteral("frmGrigliaComuni");
    d.caption = QStringLiteral("Comuni");
    d.helpContext = 1700;
    d.query = &dm.Table7;
    d.searchCaption = QStringLiteral("Cerca Per:");
    d.boxes = {{"Edit2", "Descrizione", "Comune"},
               {"Edit3", "Codice Istat", "COD_ISTAT"},
               {"Edit1", "Codice Belfiore", "CODICE_F"},
               {"Edit4", "Provincia", "Provincia"},
               {"Edit5", "Prefisso", "PrefNaz"},
               {"txtCap", "Cap", "Cap"}};
    d.defaults = {{QStringLiteral("Cap"), [] { return QVariant(QStringLiteral("00000")); }}};
    d.deleteQuestion = QStringLiteral("Sei sicuro di voler eliminare il Comune ?");
    d.columns = {{QStringLiteral("Comune"), QStringLiteral("Comune"), 376},
                 {QStringLiteral("Provincia"), QStringLiteral("Prov."), 40},
                 {QStringLiteral("Cap"), QStringLiteral("Cap"), 80},
                 {QStringLiteral("COD_ISTAT"), QStringLiteral("Cod. Istat"), 80},
                 {QStringLiteral("CODICE_F"), QStringLiteral("Cod. Belfiore"), 80},
                 {QStringLiteral("PrefNaz"), QStringLiteral("Prefisso Tel."), 80}};
    d.gridName = QStringLiteral("frmGrigliaComuni");
    return d;
}

DetailDescriptor comuniDettaglio(Tform_DB& dm) {
    DetailDescriptor d;
    d.objectName = QStringLiteral("frmComuniDettaglio");
    d.caption = QStringLiteral("Comuni");
    d.helpContext = 1700;
    d.query = &dm.Table7;
    d.fields = {campoDi("DBEdit1", "Comune", QStringLiteral("Descrizione"), DetailField::Edit, 0, 0, 0),
                campoDi("DBEdit2", "Cap", QStringLiteral("Cap"), DetailField::Edit, 0, 0, 80),
                campoDi("DBEdit5", "COD_ISTAT", QStringLiteral("Codice Istat"), DetailField::Edit, 0, 0, 100),
                campoDi("DBEdit4", "Provincia", QStringLiteral("Provincia"), DetailField::Edit, 0, 0, 50),
                campoDi("DBEdit11", "CODICE_F", QStringLiteral("Codice Belfiore"), DetailField::Edit, 0, 0, 80),
                campoDi("DBEdit3", "PrefNaz", QStringLiteral("Prefisso Telefonico"), DetailField::Edit, 0, 0, 80),
                campoDi("DBEdit6", "Longitudine", QStringLiteral("Longitudine"), DetailField::Edit, 0, 0, 120),
                campoDi("DBEdit7", "Latitudine", QStringLiteral("Latitudine"), DetailField::Edit, 0, 0, 120)};
    const QString errore = QStringLiteral("Messaggio di errore");
    d.required = {{QStringLiteral("DBEdit4"), QStringLiteral("Attenzione manca la Provincia"), errore},
                  {QStringLiteral("DBEdit1"), QStringLiteral("Attenzione manca la Descrizione del Comune"), errore}};
    return d;
}

ListDescriptor trovaCap(Tform_DB& dm) {
    ListDescriptor d;
    d.objectName = QStringLiteral("frmTrovaCap");
    d.caption = QStringLiteral("Trova Cap");
    d.query = &dm.TableIndirizzi;
    d.key = QStringLiteral("id_cap");
    d.searchCaption = QStringLiteral("Cerca");
    d.boxes = {{"Edit1", "Frazione", "Frazione"},
               {"Edit2", "Indirizzo", "Indirizzo"}};
    d.columns = {{QStringLiteral("Frazione"), QStringLiteral("Frazione"), 273},
                 {QStringLiteral("Indirizzo"), QStringLiteral("Indirizzo"), 299},
                 {QStringLiteral("NumeroCivico"), QStringLiteral("Civico"), 169},
                 {QStringLiteral("Cap"), QStringLiteral("Cap"), 82}};
    d.gridName = QStringLiteral("frmTrovaCap");
    d.layoutNames = ui::LayoutMenuNames::trovaCap();
    d.pickerOnly = true;
    return d;
}

} // namespace

TfrmGrigliaComuni::TfrmGrigliaComuni(Tform_DB& dm, QWidget* parent)
    : ArchiveListForm(dm, grigliaComuni(dm), parent) {}

TfrmComuniDettaglio::TfrmComuniDettaglio(Tform_DB& dm, QWidget* parent)
    : ArchiveDetailForm(dm, comuniDettaglio(dm), parent) {}

TfrmTrovaCap::TfrmTrovaCap(Tform_DB& dm, QWidget* parent) : ArchiveListForm(dm, trovaCap(dm), parent) {
    connect(this, &QDialog::finished, this, [this](int result) { Annullato = result != QDialog::Accepted; });
}

bool cercaCap(Tform_DB& dm, TfrmTrovaCap& finder, QWidget* parent, const QString& comune, QString& cap) {
    if (comune.isEmpty()) {
        ui::dialogs().message(parent, QStringLiteral("Prima devi selezionare la Città !"),
                              QStringLiteral("Messaggio di avviso"), ui::MessageIcon::Information);
        return false;
    }
    const QString citta = common::QuotaFiltro(comune);
    db::Dataset postcodes(&dm.Connessione);
    postcodes.setSql(QStringLiteral("SELECT Indirizzi.CAP,Indirizzi.Frazione FROM Indirizzi INNER JOIN Comuni "
                                    "ON Indirizzi.Comune_ID = Comuni.ID where Comuni.Comune = '") +
                     citta + u'\'');
    postcodes.open();
    if (postcodes.recordCount() == 1) {
        cap = postcodes.value(QStringLiteral("CAP")).toString();
        return true;
    }

    db::Dataset& streets = dm.TableIndirizzi;
    streets.close();
    streets.setFilter(QString());
    streets.setSql(QStringLiteral("SELECT id_cap, Frazione, NumeroCivico, Indirizzi.Cap, Comune_ID, Indirizzo, "
                                  "Comuni.Comune FROM Indirizzi INNER JOIN Comuni ON Indirizzi.Comune_ID = "
                                  "Comuni.ID where Comune = '") +
                   citta + QStringLiteral("' order by Frazione, Indirizzo"));
    streets.open();
    finder.panel()->svuotaRicerca();
    finder.Annullato = true;
    finder.mostra();
    if (finder.Annullato || streets.position() < 0) return false;
    cap = streets.value(QStringLiteral("Cap")).toString();
    return true;
}

bool cercaCap(Tform_DB& dm, QWidget* parent, const QString& comune, QString& cap) {
    TfrmTrovaCap* finder = archivi().frmTrovaCap;
    if (!finder) return false;
    return cercaCap(dm, *finder, parent, comune, cap);
}
