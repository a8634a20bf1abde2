#pragma once

#include "db/connection.h"
#include "db/dataset.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <functional>
#include <vector>

class QWidget;
namespace ui {
class DBGrid;
}

// The data module of the main program: the one connection, the command object, the shared
// queries every window binds to (so a list and its record window share the current row),
// the picture dialogs, and the workstation's name. Never shown.
class Tform_DB : public QObject {
    Q_OBJECT
public:
    explicit Tform_DB(QObject* parent = nullptr);
    ~Tform_DB() override;

    db::Connection Connessione;

    // Shared queries, in the order the connection reopens them.
    db::Dataset Table1, Table2, Table3, Table7, TableDitta, TableOpzioni, TableModPaga,
        TablePasti, TableScadenziario, TableEsercizi, TableClienteEsercizi, TableClienteOrari,
        TableClienteDieta, TableAlimenti, TableClientePatologie, TablePatologie,
        TableGruppiMuscolari, TablePagamenti, TableNominativi, TableGruppoSportivo,
        TablePersonalizzazioni, TableStagione, TableTipoPagamenti, TableOperazionePagamenti,
        TableTipoEsportazioniCrystalReport, TableOccasionali, TableCalendario, TableIndirizzi,
        TableAvvisi, TableTempStampa, TableGriglie, TableTempAvvisi, TableTempAvvisiClienti;

    // The workstation's name (at most 15 characters, "SenzaNome" when unknown).
    QString nomeComputer;
    // Folder of the main program (where stampa and esportazioni are started from).
    QString cartellaProgramma;

    // Runs a statement that returns no rows through the command object `Comando`.
    int esegui(const QString& jetSql);

    // Every shared query with its name, for the generic passes (close, reopen, filters).
    struct Shared {
        const char* name;
        db::Dataset* query;
    };
    const std::vector<Shared>& sharedQueries() const { return m_shared; }
    db::Dataset* query(const QString& name) const;

    // Closes every shared query, reopens them in order, and points the per-workstation
    // queries at this computer's rows (one TempAvvisi row guaranteed).
    void riapriQuery();
    void chiudiQuery();
    // The standard filters: cancelled clients and staff hidden, every other filter cleared.
    void cmdFiltriClick();

    // Display text of a memo in a grid: its first 100 characters.
    static QString ConvertiMemo(const QString& text);

    // The picture dialogs: "Carica immagine.." and "Salva Immagine con nome.." with the
    // JPEG and bitmap filters. Empty when cancelled.
    QString OpenPictureDialog(QWidget* parent) const;
    QString SavePictureDialog(QWidget* parent) const;

    // The grids whose saved layouts the start-up restores, by their stored name; each
    // window module registers its own.
    QHash<QString, ui::DBGrid*> griglie;

    // Print job: the caller sets the report kind, then calls Button2Click. The writer is
    // installed by the printing module.
    int tipoReport = 0;
    std::function<void(Tform_DB&, int)> scriviStampa;
    void Button2Click();

private:
    std::vector<Shared> m_shared;
};
