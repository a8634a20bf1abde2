#include "app/timetable/install.h"

#include "app/shell/form1.h"
#include "app/shell/form_db.h"
#include "app/timetable/orari.h"
#include "db/dataset.h"

Orari& orari() {
    static Orari instances;
    return instances;
}

Orari creaOrari(Tform_DB& dm, QWidget* parent) {
    Orari o;
    o.frmOrari = new TfrmOrari(dm, parent);
    o.frmOrariDett = new TfrmOrariDett(dm, parent);
    o.frmOrari->setDetail(o.frmOrariDett);
    return o;
}

void installTimetable(TForm1& form1, Tform_DB& dm) {
    Orari& o = orari();
    o = creaOrari(dm, &form1);
    QPointer<TfrmOrari> form = o.frmOrari;
    form1.wire(QStringLiteral("btnOrari"), [form, &dm] {
        if (!form) return;
        form->panel()->scelta = false;
        dm.Table2.setFilter(QString());
        form->mostra();
        dm.Table2.setFilter(QString());
    });
}
