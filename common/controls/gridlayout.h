#pragma once

#include <QString>

class QAction;
class QMenu;

namespace db {
class Dataset;
}

// Grid layouts kept per workstation and per grid in the table Griglie.
namespace ui {

class DBGrid;

// The SQL text of the shared query TableGriglie for this computer:
// "select * from Griglie where NomeComputer ='" + name + "'" (the name quoted).
QString SqlGriglie(const QString& nomeComputer);

// The filter text selecting one grid's row:
// "NomeComputer = '" + computer + "' and NomeGriglia = '" + grid + "'" (both quoted).
QString FiltroGriglia(const QString& nomeComputer, const QString& nomeGriglia);

// Stores the grid's columns (display order: field names, widths in pixels, title captions,
// each entry followed by "|") as the user layout of this computer and grid, and also as the
// default layout when `forzaPredefiniti` is set or no default layout exists yet. A grid with
// no columns writes nothing. The Griglie query is left unfiltered. Database errors reach the
// caller (the pending row is cancelled first).
void SalvaGriglia(const QString& nomeGriglia, DBGrid& griglia, db::Dataset& griglie,
                  bool forzaPredefiniti, const QString& nomeComputer);

// Rebuilds the grid's columns from the stored user layout (or the default layout with
// `ripristinaPredefiniti`). Creates the row from the grid's current columns when there is
// none, and rewrites it (both layouts) when its default column count differs from the grid's
// current column count, when a user list is missing, or when a width entry is not a number.
// Shows no message.
void CaricaGriglia(const QString& nomeGriglia, DBGrid& griglia, db::Dataset& griglie,
                   bool ripristinaPredefiniti, const QString& nomeComputer);

// The three pop-up commands of a grid.
struct LayoutMenuNames {
    QString menu = QStringLiteral("PopupMenu1");
    QString salva = QStringLiteral("SalvaGriglia1");
    QString elimina = QStringLiteral("EliminaColonna1");
    QString reset = QStringLiteral("ResetGriglia1");
    QString salvaCaption = QStringLiteral("Salva Griglia");
    QString eliminaCaption = QStringLiteral("Elimina Colonna");
    QString resetCaption = QStringLiteral("Reset Griglia");

    static LayoutMenuNames standard() { return {}; }
    // TfrmTrovaCap: "Salva Griglia", "Elimina colonna", "Reset Colonne".
    static LayoutMenuNames trovaCap();
    // Explicit item names (TfrmClientiDett's MenuItem1 ... MenuItem12), standard captions.
    static LayoutMenuNames items(const QString& menu, const QString& salva, const QString& elimina,
                                 const QString& reset);
};

struct LayoutActions {
    QAction* salva = nullptr;   // SalvaGriglia with force defaults clear
    QAction* elimina = nullptr; // removes the selected column (nothing written)
    QAction* reset = nullptr;   // CaricaGriglia restoring defaults, then SalvaGriglia
};

// Adds the three commands, in order, to `menu` for `griglia` stored as `nomeGriglia`.
// `griglie` (the shared TableGriglie query) must outlive the menu.
LayoutActions addLayoutActions(QMenu& menu, DBGrid& griglia, const QString& nomeGriglia,
                               db::Dataset& griglie, const QString& nomeComputer,
                               const LayoutMenuNames& names = {});

// Creates the grid's pop-up menu (child of the grid, named `names.menu`, "PopupMenu1" by
// default) with the three commands and attaches it to the grid.
QMenu* attachLayoutMenu(DBGrid& griglia, const QString& nomeGriglia, db::Dataset& griglie,
                        const QString& nomeComputer, const LayoutMenuNames& names = {});

// The commands themselves, for windows that build their own menu.
void EliminaColonna(DBGrid& griglia);
void ResetGriglia(const QString& nomeGriglia, DBGrid& griglia, db::Dataset& griglie,
                  const QString& nomeComputer);

} // namespace ui
