#include "app/clients/install.h"

#include "app/archives/clienti.h"
#include "app/archives/install.h"
#include "app/clients/clientidett.h"
#include "app/shell/form1.h"
#include "app/shell/form_db.h"
#include "app/timetable/install.h"

namespace {
QPointer<TfrmClientiDett>& instance() {
    static QPointer<TfrmClientiDett> record;
    return record;
}
} // namespace

TfrmClientiDett* frmClientiDett() { return instance(); }

TfrmClientiDett* creaSchedaClienti(Tform_DB& dm, Archivi& a, const Orari& corsi, QWidget* parent) {
    auto* record = new TfrmClientiDett(dm, a, corsi, a.frmClienti->clienti(), parent);
    a.frmClienti->clienti()->scheda = record;
    return record;
}

void installClients(TForm1& form1, Tform_DB& dm) {
    Archivi& a = archivi();
    instance() = creaSchedaClienti(dm, a, orari(), &form1);
    QPointer<TfrmClienti> list = a.frmClienti;
    form1.wire(QStringLiteral("btnClienti"), [list, &dm] {
        if (!list) return;
        // The per-client lists show whole tables while the register is open.
        auto clear = [&dm] {
            for (db::Dataset* q : {&dm.TableClienteOrari, &dm.TableClienteEsercizi, &dm.TableScadenziario,
                                   &dm.TableClienteDieta})
                q->setFilter(QString());
        };
        clear();
        list->mostra();
        clear();
        list->panel()->svuotaRicerca();
        dm.Table1.setFilter(QStringLiteral("Annullato = 0"));
    });
}
