#pragma once

#include "common/controls/dbgrid.h"
#include "common/controls/gridlayout.h"

#include <QDialog>
#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>
#include <functional>

class QGroupBox;
class QHBoxLayout;
class QLineEdit;
class QMenu;
class QToolButton;
class Tform_DB;
class ArchiveDetailForm;

namespace db {
class Dataset;
}

// One search box of a list window and the column it narrows.
struct SearchBox {
    QString name;           // "Edit1", "txtCap"
    QString label;          // "Descrizione"
    QString column;         // "Descrizione"
    bool numeric = false;   // column = number, instead of a prefix like
    bool refilters = true;  // a change of the box runs the search at once
};

// A value a new record receives before it is first saved.
struct FieldDefault {
    QString field;
    std::function<QVariant()> value;
};

// Everything that tells one list window of the family from another.
struct ListDescriptor {
    QString objectName;      // "frmAlimenti", the instance of class TfrmAlimenti
    QString caption;
    int helpContext = 0;
    db::Dataset* query = nullptr; // a shared query of the data module
    QString key = QStringLiteral("Id");
    QString searchCaption = QStringLiteral("Filtri");
    QList<SearchBox> boxes;
    QList<FieldDefault> defaults;
    QString personalizzazioni;   // table name whose presets new records receive, if any
    bool blankDescription = false; // new records open with an empty required description
    QString deleteQuestion;
    QList<ui::GridColumn> columns;
    QString gridName;            // stored layout identifier
    bool layoutMenu = true;
    ui::LayoutMenuNames layoutNames;
    bool titleSort = true;
    bool pickable = false;
    bool addSetsModified = true;
    bool addShowsAnnulla = true;
    QString helpButton = QStringLiteral("SpeedButton1");
    bool pickerOnly = false;     // toolbar with "Indietro" only, no title-bar buttons
};

// The condition one search box adds to the filter, empty when it adds none: "" and "*"
// add nothing, a numeric box adds nothing until its text reads as a number ("," or ".").
QString condizioneRicerca(const SearchBox& box, const QString& text);

// The list window of every register: toolbar, read-only grid on a shared query of the data
// module, search boxes. Records are edited in the member's detail window on the row that is
// current in the shared query. Created once, hidden between uses (filter, sort, position and
// search texts stay).
class ArchiveListForm : public QDialog {
    Q_OBJECT
public:
    ArchiveListForm(Tform_DB& dm, ListDescriptor descriptor, QWidget* parent = nullptr);
    ~ArchiveListForm() override;

    const ListDescriptor& descriptor() const { return m_d; }
    db::Dataset& query() const { return *m_d.query; }
    ui::DBGrid* grid() const { return DBGrid1; }
    void setDetail(ArchiveDetailForm* detail) { m_detail = detail; }
    ArchiveDetailForm* detail() const { return m_detail; }

    // Set by a caller that uses the window to pick a record: "Avanti" then closes the window
    // and the caller reads the shared query's current row.
    bool scelta = false;

    // Shows the window modally (maximised) through the dialog service: QDialog::Accepted
    // when a picker was left by choosing a record.
    int mostra();

    QLineEdit* searchBox(const QString& name) const { return m_boxes.value(name); }
    // Empties every search box and runs the search once.
    void svuotaRicerca();
    // The filter the boxes give now.
    QString filtroRicerca() const;

    // Handlers, as the windows name them.
    void Edit1Change();                          // search, from any refiltering box
    void DBGrid1TitleClick(const QString& field);
    virtual void DBGrid1DblClick();
    void spdAvantiClick();
    void spdInserisciClick();
    void spdEliminaClick();
    void spdAggiornaClick();
    virtual void spdIndietroClick();
    void SpeedButton1Click();                    // help

protected:
    // Values of a new record: the member's defaults, then the presets of its table.
    virtual void valoriPredefiniti();
    QGroupBox* searchGroup() const { return m_searchGroup; }

    Tform_DB& m_dm;
    ListDescriptor m_d;
    ui::DBGrid* DBGrid1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QToolButton* spdIndietro = nullptr;

private:
    QToolButton* addTool(QHBoxLayout* bar, const QString& name, const QString& caption,
                         const QString& hint, int icon);
    void buildSearch();

    ArchiveDetailForm* m_detail = nullptr;
    QGroupBox* m_searchGroup = nullptr;
    QHash<QString, QLineEdit*> m_boxes;
};
