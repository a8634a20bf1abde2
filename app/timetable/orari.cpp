#include "app/timetable/orari.h"

#include "app/shell/form_db.h"
#include "db/connection.h"
#include "db/dataset.h"

namespace {

const QString kErrore = QStringLiteral("Messaggio di errore");
const QString kInizio = QStringLiteral("OrarioInizio");
const QString kFine = QStringLiteral("OrarioFine");

// The instructor is typed or chosen by surname and filtered by key: the first staff member
// of that surname, cancelled or not; a surname nobody has adds nothing.
SearchBox istruttore(Tform_DB& dm) {
    SearchBox box{"ComboBox1", "Istruttore", "Istruttore_ID", SearchBox::Lookup};
    box.list = &dm.Table3;
    box.listKey = QStringLiteral("ID");
    box.listField = QStringLiteral("Cognome");
    db::Connection* c = &dm.Connessione;
    box.condition = [c](const QString& cognome) -> QString {
        db::RowStore rows;
        c->load(QStringLiteral("Select Id from anagraficapersonale where Cognome = ?"), {cognome}, rows);
        if (rows.rowCount() == 0 || rows.isNull(0, 0)) return QString();
        return QStringLiteral("Istruttore_ID = ") + QString::number(rows.integer(0, 0));
    };
    return box;
}

ListDescriptor lista(Tform_DB& dm) {
    ListDescriptor d;
    d.objectName = QStringLiteral("frmOrari");
    d.caption = QStringLiteral("orari / turni");
    d.helpContext = 270;
    d.query = &dm.Table2;
    d.gridName = QStringLiteral("frmOrari_Griglia");
    d.columns = {{QStringLiteral("Specialita"), QStringLiteral("Specialita"), 220},
                 {QStringLiteral("Giorno"), QStringLiteral("Giorno"), 110},
                 {kInizio, QStringLiteral("Ora Inizio"), 80},
                 {kFine, QStringLiteral("Ora Fine"), 80},
                 {QStringLiteral("Corso"), QStringLiteral("Corso"), 260}};
    d.boxes = {{"Edit1", "Specialità", "Specialita"}, {"Edit4", "Giorno", "Giorno"},
               {"Edit2", "Ora Inizio", "OrarioInizio"}, {"Edit5", "Ora Fine", "OrarioFine"},
               {"Edit3", "Corso", "Corso"}, istruttore(dm)};
    d.searchOrder = {QStringLiteral("Edit2"), QStringLiteral("Edit3"), QStringLiteral("Edit1"),
                     QStringLiteral("Edit4"), QStringLiteral("Edit5"), QStringLiteral("ComboBox1")};
    d.deleteQuestion = QStringLiteral("Sei Sicuro di voler eliminare l'Orario?");
    d.pickable = true;
    return d;
}

DetailDescriptor dettaglio(Tform_DB& dm) {
    DetailDescriptor d;
    d.objectName = QStringLiteral("frmOrariDett");
    d.caption = QStringLiteral("Orari");
    d.helpContext = 275;
    d.query = &dm.Table2;
    d.fields = {campoDi("DBEdit1", "Specialita", "Specialita"), campoDi("DBEdit2", "Giorno", "Giorno"),
                campoDi("DBEdit3", "OrarioInizio", "Dalle", DetailField::Time),
                campoDi("DBEdit4", "OrarioFine", "Alle", DetailField::Time), campoDi("DBEdit5", "Corso", "Corso"),
                sceltaDi("DBLookupComboBox1", "Istruttore_ID", "Istruttore", dm.Table3, "ID", "Cognome")};
    d.required = {{QStringLiteral("DBEdit1"), QStringLiteral("Attenzione manca la specialità"), kErrore},
                  {QStringLiteral("DBEdit2"), QStringLiteral("Attenzione manca il Giorno"), kErrore}};
    return d;
}

} // namespace

QString testoOra(const QTime& time) { return time.toString(QStringLiteral("hh.mm")); }

QString oraFine(const QTime& start) { return testoOra(start.addSecs(3600)); }

bool oraValida(const QString& text) {
    if (text.size() != 5 || text.at(2) != u'.') return false;
    for (int i : {0, 1, 3, 4})
        if (text.at(i) < u'0' || text.at(i) > u'9') return false;
    return text.left(2).toInt() <= 23 && text.mid(3).toInt() <= 59;
}

OrariPanel::OrariPanel(Tform_DB& dm, ListDescriptor descriptor) : ListPanel(dm, std::move(descriptor)) {}

void OrariPanel::valoriPredefiniti() {
    ListPanel::valoriPredefiniti();
    const QTime now = orologio();
    query().setValue(kInizio, testoOra(now));
    query().setValue(kFine, oraFine(now));
    query().setValue(QStringLiteral("Giorno"), QStringLiteral("Lunedì"));
}

TfrmOrari::TfrmOrari(Tform_DB& dm, QWidget* parent)
    : ArchiveListForm(dm, lista(dm), parent, new OrariPanel(dm, lista(dm))) {}

TfrmOrariDett::TfrmOrariDett(Tform_DB& dm, QWidget* parent) : ArchiveDetailForm(dm, dettaglio(dm), parent) {}

bool TfrmOrariDett::controlla(bool segnaErrore) {
    if (!ArchiveDetailForm::controlla(segnaErrore)) return false;
    query().updateRecord();
    const QString inizio = query().value(kInizio).toString(), fine = query().value(kFine).toString();
    const QString formato = QStringLiteral(
        "Attenzione il formato di ora non è corretto!! Utilizzare il punto per separare le ore dai minuti");
    // Both lengths first, then both formats.
    const RequiredField checks[] = {
        {QStringLiteral("DBEdit3"), QStringLiteral("Attenzione manca l'orario di inizio o non è scritto correttamente"), kErrore},
        {QStringLiteral("DBEdit4"), QStringLiteral("Attenzione manca l'orario di fine o non è scritto correttamente"), kErrore},
        {QStringLiteral("DBEdit3"), formato, kErrore},
        {QStringLiteral("DBEdit4"), formato, kErrore}};
    const bool fails[] = {inizio.size() < 5, fine.size() < 5, !oraValida(inizio), !oraValida(fine)};
    for (int i = 0; i < 4; ++i)
        if (fails[i]) {
            segnala(checks[i], segnaErrore);
            return false;
        }
    return true;
}
