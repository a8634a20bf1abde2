#include "app/printing/scrittura.h"

#include "app/printing/catalogo.h"
#include "app/shell/form_db.h"
#include "common/controls/dialogs.h"
#include "common/paths.h"
#include "common/text.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QThread>
#include <QWidget>

namespace printing {
namespace {

bool avvioPredefinito(const QString& program) {
    return QFileInfo(program).isExecutable() &&
           QProcess::startDetached(program, {}, QFileInfo(program).absolutePath());
}

Avvio& avvioCorrente() {
    static Avvio avvio = avvioPredefinito;
    return avvio;
}

bool valoreSiNo(const db::Dataset& q, const QString& field) {
    if (!q.isOpen() || q.isEmpty() || !q.hasField(field) || q.isNull(field)) return false;
    return q.value(field).toBool();
}

QString chiave(const db::Dataset& q) {
    if (!q.isOpen() || q.isEmpty() || q.isNull(QStringLiteral("ID"))) return QString();
    return QString::number(q.value(QStringLiteral("ID")).toLongLong());
}

} // namespace

QString cartellaReport() {
    return QDir(common::programFolder()).filePath(QStringLiteral("reports")) + u'/';
}

QString annoScelto() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() != u"frmSceltaAnno") continue;
        if (auto* box = w->findChild<QLineEdit*>(QStringLiteral("txtAnno"))) return box->text();
    }
    return QString();
}

Avvio setAvvio(Avvio avvio) {
    Avvio previous = avvioCorrente();
    avvioCorrente() = avvio ? std::move(avvio) : Avvio(avvioPredefinito);
    return previous;
}

void scriviStampa(Tform_DB& dm, int tipoReport) {
    // 1. This computer's rows only, whatever the query held before the start-up pointed it.
    db::Dataset& job = dm.TableTempStampa;
    job.setSql(QStringLiteral("select * from TempStampa where NomeComputer ='") +
               common::QuotaFiltro(dm.nomeComputer) + u'\'');
    job.open();
    // The old job goes and the new one comes in one step: the viewer never finds neither.
    db::Transaction tx(dm.Connessione);
    // 2. Every earlier job of this computer goes.
    while (!job.isEmpty()) {
        job.first();
        job.remove();
    }
    // 3-4.
    job.append();
    job.setValue(QStringLiteral("NomeProgramma"), QStringLiteral("Vastrel"));
    // 5-6.
    const QString cartella = cartellaReport();
    const bool noImmagine = valoreSiNo(dm.TableOpzioni, QStringLiteral("StampaSchedeNoImmagine"));
    QString landscape;
    if (const std::optional<VoceReport> voce = voceReport(tipoReport, noImmagine)) {
        ContestoQuery contesto;
        contesto.id = chiave(tipoReport == 17 ? dm.Table3 : dm.Table1);
        if (tipoReport == 21 || tipoReport == 22) contesto.anno = annoScelto();
        contesto.noImmagine = noImmagine;
        contesto.nomeComputer = dm.nomeComputer;
        job.setValue(QStringLiteral("NomeReport"), QString(cartella + voce->file));
        landscape = cartella + voce->fileLandscape;
        job.setValue(QStringLiteral("Query"), queryReport(tipoReport, contesto));
        job.setValue(QStringLiteral("Filtro"), voce->filtro);
    }
    // 7. Ask for the printer unless the user chose the default one.
    job.setValue(QStringLiteral("Setup"),
                 !valoreSiNo(dm.TableOpzioni, QStringLiteral("StampanteDefault")));
    // 8-9.
    job.setValue(QStringLiteral("NomeReportLandscape"), landscape);
    job.setValue(QStringLiteral("PresenzaTestata"), true);
    job.setValue(QStringLiteral("NomeComputer"), dm.nomeComputer);
    job.post();
    tx.commit();
    // 10-11. The viewer reads the row at its own start; it is not waited for.
    QThread::msleep(150);
    const QString program = QDir(common::programFolder()).filePath(QStringLiteral("stampa"));
    if (!avvioCorrente()(program))
        ui::dialogs().message(QApplication::activeWindow(),
                              QStringLiteral("Impossibile avviare il programma:\n") + program,
                              QStringLiteral("Messaggio di errore"), ui::MessageIcon::Error);
}

} // namespace printing
