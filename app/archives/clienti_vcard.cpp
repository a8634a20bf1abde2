// The client list's exchange with address books: the chosen clients written as vCards, and a
// vCard file read into the register.

#include "app/archives/clienti.h"

#include "app/shell/form_db.h"
#include "common/controls/dialogs.h"
#include "common/records.h"
#include "common/text.h"
#include "common/vcard.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/error.h"

#include <QFileInfo>
#include <optional>

namespace {

const QString kVcf = QStringLiteral("Vcard (*.vcf)");
const QString kPrefisso = QStringLiteral("Vastrel");

// One row of the clients read for the export.
struct Riga {
    const db::RowStore& rows;
    int r;
    QString testo(const char* field) const {
        const int c = rows.findColumn(QString::fromLatin1(field));
        return c < 0 || rows.isNull(r, c) ? QString() : rows.value(r, c).toString();
    }
    QString data(const char* field) const {
        const int c = rows.findColumn(QString::fromLatin1(field));
        return c < 0 || rows.isNull(r, c) ? QString() : common::DataIso(rows.value(r, c).toDateTime());
    }
};

common::ContattoVCard contattoDi(const Riga& r) {
    common::ContattoVCard v;
    v.cognome = r.testo("Cognome");
    v.nome = r.testo("Nome");
    v.telCasa[0] = r.testo("Tel");
    v.cellCasa[0] = r.testo("Cell");
    v.faxCasa = r.testo("Fax");
    v.emailCasa[0] = r.testo("e_mail");
    v.viaCasa = r.testo("Via");
    v.civicoCasa = r.testo("Numero_civico");
    v.localitaCasa = r.testo("Citta");
    v.regioneCasa = r.testo("Cap");
    v.nota = r.testo("Note");
    const long long id = r.testo("ID").toLongLong();
    if (id > 0) v.identificativo = kPrefisso + QString::number(id);
    v.compleanno = r.data("DataNascita");
    v.revisione = r.data("DataInserimento");
    return v;
}

// The key a contact written by this program carries ("Vastrel42"); none for any other
// identifier, such as "Vastrel-x" or another program's, which is then matched by name.
std::optional<long long> chiaveDi(const QString& uid) {
    if (!uid.startsWith(kPrefisso)) return std::nullopt;
    bool ok = false;
    const long long id = uid.mid(kPrefisso.size()).toLongLong(&ok);
    return ok && id > 0 ? std::optional<long long>(id) : std::nullopt;
}

// Makes the existing client current; false when there is none.
bool trova(db::Dataset& clients, const common::ContattoVCard& v) {
    clients.setFilter(QString());
    if (const auto id = chiaveDi(v.identificativo)) return clients.locate(QStringLiteral("ID"), *id);
    QString filter = QStringLiteral("Cognome = '") + common::QuotaFiltro(v.cognome) + u'\'';
    if (!v.nome.isEmpty()) filter += QStringLiteral(" and Nome = '") + common::QuotaFiltro(v.nome) + u'\'';
    clients.setFilter(filter);
    const bool found = !clients.isEmpty();
    const long long key = found ? clients.keyValue(QStringLiteral("ID")) : 0;
    clients.setFilter(QString());
    return found && clients.locate(QStringLiteral("ID"), key);
}

void scrivi(db::Dataset& c, const char* field, const QString& value) {
    if (!value.isEmpty()) c.setValue(QString::fromLatin1(field), value);
}

void scriviContatto(db::Dataset& c, const common::ContattoVCard& v) {
    scrivi(c, "Cognome", v.cognome);
    scrivi(c, "Nome", v.nome);
    const QString documenti = v.cognome + u' ' + v.nome;
    c.setValue(QStringLiteral("NominativoDocumenti"), documenti);
    c.setValue(QStringLiteral("NominativoVisualizzato"),
               v.compleanno.isEmpty() ? documenti : documenti + QStringLiteral(" - ") + v.compleanno);
    scrivi(c, "Tel", v.telCasa[0]);
    scrivi(c, "Cell", v.cellCasa[0]);
    scrivi(c, "e_mail", v.emailCasa[0]);
    scrivi(c, "Via", v.viaCasa);
    scrivi(c, "Cap", v.regioneCasa);
    scrivi(c, "Numero_civico", v.civicoCasa);
    scrivi(c, "Citta", v.localitaCasa);
    scrivi(c, "Fax", v.faxCasa);
    scrivi(c, "Note", v.nota);
    // A date the reader could not make sense of is left out rather than stored wrong.
    for (const auto& [field, text] : {std::pair{"DataNascita", v.compleanno}, std::pair{"DataInserimento", v.revisione}}) {
        const QString day = text.section(u'T', 0, 0);
        const QDate d = day.size() == 10 ? common::LeggiDataIso(day) : QDate();
        if (d.isValid()) c.setValue(QString::fromLatin1(field), d);
    }
}

} // namespace

void ClientiPanel::btEsportaVCardClick() {
    const QList<QVariant> keys = grid()->selectedKeys();
    if (keys.isEmpty()) {
        ui::dialogs().message(this, QStringLiteral("Attenzione devi selezionare i contatti da Esportare"),
                              QStringLiteral("Messaggio di errore"), ui::MessageIcon::Error);
        return;
    }
    // The clients as the database holds them now, read in one pass, taken in the list's order.
    db::RowStore rows;
    m_dm.Connessione.load(QStringLiteral("SELECT * from anagraficaclienti"), rows);
    const int idColumn = rows.findColumn(QStringLiteral("ID"));
    QHash<long long, int> byKey;
    for (int r = 0; r < rows.rowCount(); ++r) byKey.insert(rows.integer(r, idColumn), r);
    QString text;
    for (const QVariant& key : keys) {
        const auto it = byKey.constFind(key.toLongLong());
        if (it != byKey.constEnd()) text += common::ScriviVCard(contattoDi(Riga{rows, *it}));
    }
    QString file = ui::dialogs().saveFile(this, QStringLiteral("Esporta Vcard"), QString(), kVcf);
    if (file.isEmpty()) return;
    if (QFileInfo(file).suffix().isEmpty()) file += QStringLiteral(".vcf");
    common::ScriviFileTesto(file, text);
}

void ClientiPanel::btImportaVCardClick() {
    const QString file = ui::dialogs().openFile(this, QStringLiteral("Importa Vcard"), QString(), kVcf);
    if (file.isEmpty()) return;
    const QList<common::ContattoVCard> contatti = common::LeggiVCard(file);
    db::Dataset& clients = query();
    const int azione = m_dm.TableOpzioni.isOpen() && !m_dm.TableOpzioni.isEmpty()
                           ? m_dm.TableOpzioni.value(QStringLiteral("AzioneImportazioneVCard")).toInt()
                           : 0;
    clients.disableControls();
    // Matched against the register as it is now, other workstations' changes included.
    clients.requery();
    struct Resume {
        db::Dataset& q;
        ~Resume() {
            try {
                q.setFilter(QString());
            } catch (...) {
            }
            q.enableControls();
        }
    } resume{clients};
    for (const common::ContattoVCard& v : contatti) {
        if (v.cognome.isEmpty() && v.nome.isEmpty()) continue;
        if (trova(clients, v)) {
            if (azione == 1) continue;
            if (azione == 0 &&
                ui::dialogs().question(this,
                                       QStringLiteral("Il contatto :") + v.cognome + QStringLiteral(" - ") + v.nome +
                                           QStringLiteral(" e' già presente in archivio: Come si vuole procedere ? "
                                                          "Salto il contatto ?"),
                                       QStringLiteral("Messaggio di avviso")))
                continue;
            clients.edit();
        } else {
            clients.append();
        }
        try {
            scriviContatto(clients, v);
            common::SalvaRecord(clients, QStringLiteral("Id"));
        } catch (...) {
            clients.cancel(); // the contact that failed leaves nothing half-written
            throw;
        }
    }
}
