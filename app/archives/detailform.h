#pragma once

#include <QDialog>
#include <QHash>
#include <QList>
#include <QString>

class QFormLayout;
class QHBoxLayout;
class QToolButton;
class QVBoxLayout;
class Tform_DB;

namespace db {
class Dataset;
}

// One data-bound field of a detail window.
struct DetailField {
    enum Kind { Edit, Memo };
    QString control; // "DBEdit1"
    QString field;   // "Descrizione"
    QString label;
    Kind kind = Edit;
    bool amount = false; // "." typed becomes the decimal separator
    int width = 0;       // fixed width in pixels, 0 for the full row
};

// A field that must not be empty when the record is saved.
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
};

// The record window of every register: edits the current row of its list's shared query,
// validates and saves it on "Indietro" when something changed, and takes back a new record
// with "Annulla". Left only through its buttons.
class ArchiveDetailForm : public QDialog {
    Q_OBJECT
public:
    ArchiveDetailForm(Tform_DB& dm, DetailDescriptor descriptor, QWidget* parent = nullptr);
    ~ArchiveDetailForm() override;

    const DetailDescriptor& descriptor() const { return m_d; }
    db::Dataset& query() const { return *m_d.query; }
    QWidget* control(const QString& name) const { return m_controls.value(name); }
    // Text the control shows (line edit or memo).
    QString testo(const QString& controlName) const;

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

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;
    // Controls of the fields are added here (label, control); members add their own rows.
    QFormLayout* campi() const { return m_fields; }
    QVBoxLayout* corpo() const { return m_body; }
    // Marks the record changed (commands that change it without typing).
    void segnaModificato() { Modificato = true; }

    Tform_DB& m_dm;
    DetailDescriptor m_d;

private:
    QToolButton* addTool(QHBoxLayout* bar, const QString& name, const QString& caption,
                         const QString& hint, int icon);

    QHash<QString, QWidget*> m_controls;
    QFormLayout* m_fields = nullptr;
    QVBoxLayout* m_body = nullptr;
};
