#pragma once

#include <QDialog>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class QFormLayout;
class QGridLayout;
class QHBoxLayout;
class QTabWidget;
class QToolButton;
class QVBoxLayout;
class Tform_DB;

namespace db {
class Dataset;
}

// One data-bound field of a detail window and the control that edits it.
struct DetailField {
    enum Kind {
        Edit,     // one line of text or a number
        Memo,     // several lines
        Date,     // day/month/year mask; all blanks store nothing
        Amount,   // a number where "." typed becomes the decimal comma
        Time,     // a time of day as text hh.mm: the third character typed becomes the point
        Check,    // yes/no, the label is the box's own text
        List,     // drop-down of fixed items ("M", "F")
        Lookup,   // a key chosen by a text of another query
        Picture,  // picture bytes
        ReadOnly, // shown, never typed into
    };
    QString control; // "DBEdit1"
    QString field;   // "Descrizione"
    QString label;
    Kind kind = Edit;
    int width = 0;   // fixed width in pixels, 0 for the full row
    int page = 0;    // the tab that holds it, when the window has tabs
    int column = 0;  // 0: left column of the page, 1: right column
    QStringList items; // List
    // Lookup: the query listing the choices, its key column and the column shown, and the
    // names of the buttons beside it ("show the referenced row", "add a new row"); the
    // member wires them.
    db::Dataset* list = nullptr;
    QString listKey, listField;
    QString showButton, addButton;
    // A button with a caption at the right of the field ("crea", "..."), wired by the member.
    QString button, buttonCaption;
};

// A field by its control, column and label; the other settings as given or their defaults.
DetailField campoDi(const QString& control, const QString& field, const QString& label,
                    DetailField::Kind kind = DetailField::Edit, int page = 0, int column = 0, int width = 0);
// A lookup field: the rows of `list` shown by `shown`, the field storing their `key`; `show`
// and `add` name the buttons that show the referenced row and add a new one (none if empty).
DetailField sceltaDi(const QString& control, const QString& field, const QString& label, db::Dataset& list,
                     const QString& key, const QString& shown, int page = 0, int column = 0,
                     const QString& show = {}, const QString& add = {});

// The control that edits a field of `query`, by the field's kind, with its name and
// conventions (the decimal key of amounts); its label is the caller's.
QWidget* creaCampo(const DetailField& f, db::Dataset* query, QWidget* parent);

// A field that must hold a value when the record is saved. Judged on the value in the
// record, not on a widget's text: a blank date, an empty drop-down or a key the look-up no
// longer lists are missing.
struct RequiredField {
    QString control;
    QString message;
    QString caption;
};

struct DetailDescriptor {
    QString objectName; // "frmAlimentiDett", the instance of class TfrmAlimentiDett
    QString caption;
    int helpContext = 0;
    db::Dataset* query = nullptr;
    QString key = QStringLiteral("Id");
    QList<DetailField> fields;
    QList<RequiredField> required; // checked in this order
    QStringList pages;             // tab captions; empty: the fields in one column, no tabs
};

// The record window of every register: edits the current row of its list's shared query,
// validates and saves it on "Indietro" when something changed, and takes back a new record
// with "Annulla". Left only through its buttons. A record with child rows or tabs extends it
// through the virtual steps below: saving and taking back run in one transaction with the
// member's own statements, so nothing is ever half-written.
class ArchiveDetailForm : public QDialog {
    Q_OBJECT
public:
    ArchiveDetailForm(Tform_DB& dm, DetailDescriptor descriptor, QWidget* parent = nullptr);
    ~ArchiveDetailForm() override;
    // Opens at least 460 pixels wide; never narrower than its fields need.
    QSize sizeHint() const override;

    const DetailDescriptor& descriptor() const { return m_d; }
    db::Dataset& query() const { return *m_d.query; }
    QWidget* control(const QString& name) const { return m_controls.value(name); }
    // Text the control shows (line edit, memo or combo box).
    QString testo(const QString& controlName) const;
    QTabWidget* pagine() const { return m_tabs; }
    // The page of a tab, for a member's own content (sub-lists, buttons).
    QWidget* pagina(int index) const;

    // Something changed since the last save (set by the list for a new record).
    bool Modificato = false;
    // The last save attempt stopped at a missing field.
    bool Errore = false;

    QToolButton* spdAnnulla = nullptr;
    QToolButton* spdSalva = nullptr;
    QToolButton* spdHelp = nullptr;
    QToolButton* spdIndietro = nullptr;

    void spdSalvaClick();
    void spdIndietroClick();
    void spdAnnullaClick();
    void spdHelpClick();

    // Whether the required field has no value now (pending typing included).
    bool manca(const RequiredField& required);
    // The required checks in order; the first that fails shows its message, switches to
    // the tab of its field and focuses it. `segnaErrore` also sets Errore.
    virtual bool controlla(bool segnaErrore);

protected:
    // Writes the record; runs inside the save's transaction. The default saves the row with
    // SalvaRecord and then salvaFigli().
    virtual void salva();
    // The member's own statements of a save (child rows, copies kept in other tables).
    virtual void salvaFigli() {}
    // After the save's transaction is committed (flags of what was saved).
    virtual void salvato() {}
    // Saves what changed without the checks, in one transaction (prints, tab changes).
    void salvaModifiche();
    // A control was typed into, right-clicked or given a choice; the default marks the
    // record modified.
    virtual void controlloModificato(QWidget* control);
    // A toolbar button of the member, placed before "Aiuto".
    QToolButton* aggiungiPulsante(const QString& name, const QString& caption, const QString& hint);
    // Takes back a new record; runs inside a transaction. The default deletes the row after
    // eliminaFigli().
    virtual void annulla();
    virtual void eliminaFigli() {}
    // A move to another tab. The default, for any page but the first: the checks (without
    // Errore) and a save of what changed; false keeps the user where the check sent them.
    virtual bool cambioPagina(int index);

    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;
    // Controls of the fields of a window without tabs are in this form layout; members add
    // their own rows.
    QFormLayout* campi() const { return m_fields; }
    QVBoxLayout* corpo() const { return m_body; }
    // Marks the record changed (commands that change it without typing).
    void segnaModificato() { Modificato = true; }
    // Shows a required field's message on its tab with the focus on its control.
    void segnala(const RequiredField& required, bool segnaErrore);
    // Selects a tab without running the tab-change step.
    void mostraPagina(int index);

    Tform_DB& m_dm;
    DetailDescriptor m_d;

private:
    QToolButton* addTool(QHBoxLayout* bar, const QString& name, const QString& caption,
                         const QString& hint, const QString& icon);
    void posiziona(const DetailField& f, QWidget* control);
    const DetailField* campo(const QString& controlName) const;
    void onPageChanged(int index);

    QHash<QString, QWidget*> m_controls;
    QFormLayout* m_fields = nullptr;
    QVBoxLayout* m_body = nullptr;
    QTabWidget* m_tabs = nullptr;
    QList<QGridLayout*> m_pageGrids;
    QHash<qint64, int> m_nextRow; // page * 2 + column -> next free row
    QHBoxLayout* m_bar = nullptr;
    bool m_switching = false;
    int m_page = 0;
};
