#include "app/install.h"

#include "app/archives/install.h"
#include "app/clients/install.h"
#include "app/printing/install.h"
#include "app/shell/form1.h"
#include "app/shell/form_db.h"
#include "app/shell/frmpass.h"
#include "app/shell/settings.h"
#include "app/timetable/install.h"
#include "common/controls/dialogs.h"
#include "common/paths.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace {

// Starts a companion program from the main program's folder, without waiting for it.
void avvia(QWidget* parent, const QString& program) {
    const QString path = QDir(common::programFolder()).filePath(program);
    if (!QFileInfo(path).isExecutable() || !QProcess::startDetached(path, {}, common::programFolder()))
        ui::dialogs().message(parent, QStringLiteral("Impossibile avviare il programma:\n") + path,
                              QStringLiteral("Messaggio di errore"), ui::MessageIcon::Error);
}

} // namespace

void installModules(TForm1& form1, Tform_DB& dm) {
    installSettings(form1, dm);
    installArchives(form1, dm);
    installTimetable(form1, dm);
    installClients(form1, dm);
    installPrinting(form1, dm);
    auto* realizzazione = new TfrmRealizzazione(&form1);
    form1.wire(QStringLiteral("btnUtilityRealizzazione"), [realizzazione] {
        realizzazione->show();
        realizzazione->raise();
    });
    form1.wire(QStringLiteral("btnEsportazioni"),
               [&form1] { avvia(&form1, QStringLiteral("esportazioni")); });
}
