#include "app/shell/startup.h"

#include "app/shell/form_db.h"
#include "common/controls/dialogs.h"
#include "common/paths.h"
#include "common/text.h"
#include "db/error.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

const QStringList kGriglieAvvio = {
    QStringLiteral("frmTrovaCap"),
    QStringLiteral("frmAlimenti_Griglia"),
    QStringLiteral("frmClienti_Griglia"),
    QStringLiteral("frmClientiDett_DBGrid1"),
    QStringLiteral("frmClientiDett_DBGrid2"),
    QStringLiteral("frmClientiDett_DBGrid3"),
    QStringLiteral("frmClientiDett_DBGrid4"),
    QStringLiteral("frmClientiDett_DBGrid5"),
    QStringLiteral("frmEsercizi_Griglia"),
    QStringLiteral("frmModPagam_Griglia"),
    QStringLiteral("frmOrari_Griglia"),
    QStringLiteral("frmPatologie_Griglia"),
    QStringLiteral("frmPersonale_Griglia"),
    QStringLiteral("frmScadenziario_Griglia"),
    QStringLiteral("frmPagamenti_Griglia"),
    QStringLiteral("frmGruppiMuscolari_Griglia"),
    QStringLiteral("frmGrigliaGruppiSportivi"),
    QStringLiteral("frmGrigliaOperazionePagamenti"),
    QStringLiteral("frmGrigliaStagioni"),
    QStringLiteral("frmGrigliaTipoAbbonamenti"),
    QStringLiteral("frmGrigliaComuni"),
    QStringLiteral("frmGrigliaOccasionali"),
    QStringLiteral("frmGrigliaCalendario"),
    QStringLiteral("frmGrigliaAvvisi"),
};

StartupSequence::StartupSequence(Tform_DB& dm, QString homeFolder, Hooks hooks)
    : m_dm(dm), m_home(std::move(homeFolder)), m_hooks(std::move(hooks)) {}

StartupSequence::Result StartupSequence::run(QWidget* parent) {
    bool quit = false;
    try {
        steps(parent, quit);
    } catch (const db::DatabaseError& e) {
        QApplication::restoreOverrideCursor();
        ui::dialogs().message(parent, e.text(), QStringLiteral("Errore"), ui::MessageIcon::Error);
        return Result::Failed;
    }
    QApplication::restoreOverrideCursor();
    return quit ? Result::Quit : Result::Ready;
}

int StartupSequence::applicaScript(Tform_DB& dm, const QString& script) {
    // Statements are the pieces before each ';'; text after the last one is not run. All of
    // them apply in one transaction, so a failing script leaves the database as it was and
    // can be run again from its first statement.
    const int count = script.count(u';');
    db::Transaction tx(dm.Connessione);
    for (int i = 1; i <= count; ++i) {
        const QString statement = common::EstraiToken(script, i, u';');
        if (statement.trimmed().isEmpty()) continue;
        dm.esegui(statement);
    }
    tx.commit();
    return count;
}

bool StartupSequence::databaseMancante(QWidget* parent) {
    const QString percorso = QDir::toNativeSeparators(databasePath);
    const QString titolo = QStringLiteral("Database non trovato");
    if (ui::dialogs().question(parent,
                               QStringLiteral("Il database %1 non esiste.\nSe si trova in una cartella di "
                                              "rete, controllare che il computer sia collegato.\n\n"
                                              "Scegliere un altro database (Lavora in Rete)?")
                                   .arg(percorso),
                               titolo)) {
        const QString scelto =
            ui::dialogs().openFile(parent, QStringLiteral("Lavora in Rete"),
                                   QFileInfo(databasePath).absolutePath(), QStringLiteral("Database (archivio.db)"));
        if (!scelto.isEmpty()) {
            databasePath = databaseCopyPath = scelto;
            return true;
        }
    } else if (ui::dialogs().question(parent,
                                      QStringLiteral("Creare un nuovo database vuoto in %1?\n"
                                                     "I dati già inseriti altrove non saranno visibili.")
                                          .arg(percorso),
                                      titolo)) {
        return false; // created by the connection
    }
    throw db::DatabaseError(QStringLiteral("Il database %1 non esiste").arg(percorso));
}

void StartupSequence::steps(QWidget* parent, bool& quit) {
    // 1. The path box starts empty; the year chooser shows this year.
    if (m_hooks.showPath) m_hooks.showPath(QString());
    if (m_hooks.setYear) m_hooks.setYear(today.year());

    // 2-3. The database named by percorso.txt (default written back when missing or empty).
    const common::DatabaseLocation where = common::locateDatabase(m_home, true);
    databasePath = where.path;
    if (m_hooks.showPath) {
        QFile f(where.percorsoFile);
        m_hooks.showPath(f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : databasePath);
    }
    if (where.rewritten) QThread::msleep(100);
    databaseCopyPath = QDir(QFileInfo(databasePath).absolutePath()).filePath(QStringLiteral("archivio.db"));

    // 4. Help beside the programs: a missing help only warns.
    helpPath = QDir(common::programFolder()).absoluteFilePath(QStringLiteral("help/index.html"));
    if (!QFileInfo::exists(helpPath))
        ui::dialogs().message(parent, QStringLiteral("File di Help non Trovato\n") + helpPath,
                              QStringLiteral("Vastrel"));

    // 6. History cut-off: 1 January of this year.
    const QString cutoff = QStringLiteral("01/01/") + QString::number(today.year());

    // 7-8. Connect. Only a first start creates its database unasked: a missing file anywhere
    // else is more likely a network folder not mounted today than a wish for an empty one.
    m_dm.chiudiQuery();
    m_dm.Connessione.close();
    const bool scelto = !where.rewritten && !QFileInfo::exists(databasePath) && databaseMancante(parent);
    m_dm.Connessione.open(databasePath, {.create = true});
    if (scelto) {
        QFile f(where.percorsoFile);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(databasePath.toUtf8() + '\n') < 0)
            throw db::DatabaseError(QStringLiteral("Impossibile scrivere %1").arg(where.percorsoFile));
        if (m_hooks.showPath) m_hooks.showPath(databasePath);
    }
    const QString dbFolder = QFileInfo(databasePath).absolutePath();

    // 9. One-time update script in the database's folder.
    const QString scriptPath = QDir(dbFolder).filePath(QStringLiteral("SQLAggio.sql"));
    if (QFileInfo::exists(scriptPath)) {
        QFile f(scriptPath);
        if (!f.open(QIODevice::ReadOnly))
            throw db::DatabaseError(QStringLiteral("Impossibile leggere %1").arg(scriptPath));
        const QString script = QString::fromUtf8(f.readAll());
        f.close();
        applicaScript(m_dm, script);
        if (!QFile::remove(scriptPath))
            throw db::DatabaseError(
                QStringLiteral("Lo script %1 è stato eseguito ma non si riesce a eliminarlo").arg(scriptPath));
        m_dm.Connessione.close();
        m_dm.Connessione.open(databasePath);
    }

    // 10-14.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    {
        // The history is moved and this workstation's scratch rows cleared wholly or not at
        // all: a failure here runs the whole step again at the next activation.
        db::Transaction tx(m_dm.Connessione);
        m_dm.esegui(QStringLiteral("UPDATE Calendario SET Storico = true where Concluso=true and DataInizio < #") + cutoff + u'#');
        m_dm.esegui(QStringLiteral("UPDATE Calendario SET Storico = false where DataInizio >= #") + cutoff + u'#');
        const QString me = common::QuotaFiltro(m_dm.nomeComputer);
        m_dm.esegui(QStringLiteral("delete * from TempAvvisi where NomeComputer ='") + me + u'\'');
        m_dm.esegui(QStringLiteral("delete * from TempAvvisiClienti where NomeComputer ='") + me + u'\'');
        tx.commit();
    }

    // 15. Administrator password: a wrong one ends the program without a word.
    m_dm.TableOpzioni.close();
    m_dm.TableOpzioni.open();
    const QString password = m_dm.TableOpzioni.value(QStringLiteral("PasswordAmministratore")).toString();
    if (!password.isEmpty()) {
        QApplication::restoreOverrideCursor();
        const QString typed = m_hooks.askPassword ? m_hooks.askPassword() : QString();
        if (typed != password) {
            quit = true;
            return;
        }
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }

    // 16-18.
    m_dm.riapriQuery();
    m_dm.cmdFiltriClick();
    if (m_hooks.loadGrid)
        for (const QString& name : kGriglieAvvio) m_hooks.loadGrid(name);
}
