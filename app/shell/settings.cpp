#include "app/shell/settings.h"

#include "app/shell/form1.h"
#include "app/shell/form_db.h"
#include "app/shell/frmditta.h"
#include "app/shell/frmopzioni.h"
#include "app/shell/frmutilita.h"
#include "common/controls/dialogs.h"
#include "common/records.h"
#include "db/dataset.h"

void installSettings(TForm1& form1, Tform_DB& dm) {
    auto* frmOpzioni = new TfrmOpzioni(dm, &form1);
    frmOpzioni->cartellaIniziale = [&form1] { return form1.databaseCopyPath(); };
    form1.wire(QStringLiteral("btnAttivitaOpzioni"), [frmOpzioni] { ui::dialogs().exec(frmOpzioni); });

    auto* frmUtilita = new TfrmUtilita(dm, &form1);
    form1.wire(QStringLiteral("SpeedButton13"), [frmUtilita] { ui::dialogs().exec(frmUtilita); });

    auto* frmDitta = new TfrmDitta(dm, &form1);
    form1.mostraDitta = [frmDitta] { frmDitta->mostra(); };
}

bool garantisciRigaUnica(db::Dataset& query, const QString& keyField, QWidget* parent,
                         const QString& message) {
    if (!query.isOpen() || !query.isEmpty()) return false;
    query.append();
    common::SalvaRecord(query, keyField);
    ui::dialogs().message(parent, message, QStringLiteral("Messaggio di Avviso"),
                          ui::MessageIcon::Warning);
    return true;
}
