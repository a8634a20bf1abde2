#pragma once

#include "app/archives/detailform.h"
#include "common/controls/dbgrid.h"
#include "common/controls/gridlayout.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>
#include <QWidget>
#include <functional>

class QGroupBox;
class QHBoxLayout;
class QLabel;
class QMenu;
class QToolButton;
class QVBoxLayout;
class Tform_DB;
class ArchiveDetailForm;

namespace db {
class Dataset;
}

// One search box of a list and the condition it adds to the filter.
struct SearchBox {
    enum Kind {
        Prefix,   // Column like 'text*'
        Exact,    // Column = 'text'
        Number,   // Column = n, once the text reads as a number
        DateFrom, // Column >= #date#, once the mask holds a whole date
        DateTo,   // Column <= #date#
        Lookup,   // a drop-down of another query's texts: Column = the key of the chosen one
        Custom,   // whatever `condition` makes of the text
    };
    QString name{};         // "Edit1", "txtCap"
    QString label{};        // "Descrizione"
    QString column{};       // "Descrizione"
    Kind kind = Prefix;
    bool refilters = true;  // a change of the box runs the search at once
    // Lookup: the query listing the choices, its key column and the column shown.
    db::Dataset* list = nullptr;
    QString listKey{}, listField{};
    // Custom: the condition for a text that is neither empty nor "*" ("" adds none). A
    // Lookup box with one finds its key this way instead of in `list` (which then only
    // fills the drop-down).
    std::function<QString(const QString& text)> condition{};
};

// A value a new record receives before it is first saved.
struct FieldDefault {
    QString field;
    std::function<QVariant()> value;
};

// A toolbar button of a list: one of the family's actions, or the member's own.
struct ListTool {
    enum Action { Help, Reload, Back, Delete, Add, Open, Save, Custom };
    QString name; // "spdElimina", "SpeedButton3"
    QString caption;
    QString hint;
    Action action = Custom;
    std::function<void()> run; // Custom
    QString icon;              // a theme icon name; empty: the action's own
};

// The sum of one column over the rows the filter lets through, under the grid.
struct ListTotal {
    QString field;                                  // "Importo"
    QString caption = QStringLiteral("Totale");     // the group's title
    QString label = QStringLiteral("lblTotale");    // the label showing the sum
    QString button = QStringLiteral("btnTotali");   // recomputes on demand
};

// Everything that tells one list of the family from another.
struct ListDescriptor {
    QString objectName;      // "frmAlimenti", the instance of class TfrmAlimenti
    QString caption;
    int helpContext = 0;
    db::Dataset* query = nullptr; // a shared query of the data module
    QString key = QStringLiteral("Id");
    QString searchCaption = QStringLiteral("Filtri");
    QList<SearchBox> boxes;
    // Names of the boxes in the order their conditions join the filter; empty: as laid out.
    QStringList searchOrder;
    QList<FieldDefault> defaults;
    QString personalizzazioni;   // table name whose presets new records receive, if any
    bool blankDescription = false; // new records open with an empty required description
    QString deleteQuestion;      // empty: delete without asking
    QList<ui::GridColumn> columns;
    QString gridName;            // stored layout identifier
    QString gridObjectName = QStringLiteral("DBGrid1");
    bool layoutMenu = true;
    ui::LayoutMenuNames layoutNames;
    bool titleSort = true;
    bool pickable = false;
    bool addSetsModified = true;
    bool addShowsAnnulla = true;
    QString helpButton = QStringLiteral("SpeedButton1");
    bool pickerOnly = false;     // "Indietro" only; choosing a row is the window's purpose
    // The toolbar; empty gives the register's: help, reload, back, delete, add, open.
    QList<ListTool> tools;
    bool editable = false;       // cells typed into (sub-lists)
    bool multiSelect = false;
    // Background of a row; an invalid colour leaves the grid's own.
    std::function<QColor(const db::Dataset& query, int viewRow)> rowColour;
    bool hasTotal = false;
    ListTotal total;
    // Controls under the grid editing the current row (a sub-list's grams, dates, times).
    QList<DetailField> fields;
};

// The condition one search box adds to the filter, empty when it adds none: "" and "*"
// add nothing, a number box adds nothing until its text reads as a number ("," or "."),
// a date box nothing until its date is whole.
QString condizioneRicerca(const SearchBox& box, const QString& text);

// The core of every list of the program, a widget: toolbar, grid on a shared query of the
// data module, search boxes, an optional totals footer. A register window holds one
// (ArchiveListForm); a record window embeds others in its tabs. Records are edited in the
// member's detail window on the row that is current in the shared query.
class ListPanel : public QWidget {
    Q_OBJECT
public:
    ListPanel(Tform_DB& dm, ListDescriptor descriptor, QWidget* parent = nullptr);
    ~ListPanel() override;

    const ListDescriptor& descriptor() const { return m_d; }
    db::Dataset& query() const { return *m_d.query; }
    ui::DBGrid* grid() const { return m_grid; }
    QMenu* popup() const { return m_popup; }          // the grid's pop-up menu, if any
    QGroupBox* gruppoRicerca() const { return m_searchGroup; }
    // A member's own widget under the grid (a colour legend).
    void aggiungiSottoGriglia(QWidget* widget);
    QToolButton* tool(const QString& name) const { return m_tools.value(name); }
    void setDetail(ArchiveDetailForm* detail) { m_detail = detail; }
    ArchiveDetailForm* detail() const { return m_detail; }

    // While set (a caller picking a record), "Avanti" and a double click choose the current
    // row instead of opening it.
    bool scelta = false;

    // The part of the filter that is not the user's: "Cliente_ID = 7", a year, "not
    // cancelled". The boxes add to it; an empty text removes it. Filters again at once.
    void setBaseFilter(const QString& filter);
    const QString& baseFilter() const { return m_base; }

    QWidget* searchBox(const QString& name) const { return m_boxes.value(name); }
    QWidget* campo(const QString& name) const { return m_fields.value(name); }
    // Text of a search box (a date box's digits as shown), and setting it without searching.
    QString testoRicerca(const QString& name) const;
    void impostaRicerca(const QString& name, const QString& text);
    // Empties every search box and runs the search once.
    void svuotaRicerca();
    // The filter the base and the boxes give now.
    QString filtroRicerca() const;

    // The sum of the total's column over the visible rows, rounded to cents; shown in the
    // footer when the list has one.
    double totale() const;
    QLabel* etichettaTotale() const { return m_totalLabel; }

    // Handlers, as the windows name them.
    void Edit1Change();                          // search, from any refiltering box
    void DBGrid1TitleClick(const QString& field);
    void DBGrid1DblClick();
    void spdAvantiClick();
    void spdInserisciClick();
    void spdEliminaClick();
    void spdAggiornaClick();
    void spdSalvaClick();
    void SpeedButton1Click();                    // help
    void ricalcolaTotale();

Q_SIGNALS:
    void chosen();         // a row was chosen while picking
    void closeRequested(); // "Indietro"

protected:
    // What the toolbar's standard actions do; a member overrides the ones it does its way.
    virtual void inserisci();
    virtual void elimina();
    virtual void avanti();
    virtual void salva();
    virtual void aggiorna(); // "Ricarica": the shared query read again
    // Values of a new record: the member's defaults, then the presets of its table.
    virtual void valoriPredefiniti();
    void showEvent(QShowEvent* event) override;

    Tform_DB& m_dm;
    ListDescriptor m_d;

private:
    void buildTools(QHBoxLayout* bar);
    void buildSearch(QVBoxLayout* top);
    void buildTotal(QVBoxLayout* top);
    void runTool(const ListTool& tool);
    void scheduleTotal();

    ui::DBGrid* m_grid = nullptr;
    QVBoxLayout* m_top = nullptr;
    QMenu* m_popup = nullptr;
    ArchiveDetailForm* m_detail = nullptr;
    QGroupBox* m_searchGroup = nullptr;
    QHash<QString, QWidget*> m_boxes;
    QHash<QString, QWidget*> m_fields;
    QHash<QString, QToolButton*> m_tools;
    QString m_base;
    QLabel* m_totalLabel = nullptr;
    bool m_totalPending = false;
};
