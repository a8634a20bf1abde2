#pragma once

#include "app/archives/listpanel.h"

#include <QDialog>
#include <optional>

namespace db {
class Record;
}

// The row a picker handed back: its key and a copy of its values, readable after the
// register it came from has been put back as it was.
struct Scelta {
    long long key = 0;
    db::Record riga;
};

// The window of a register: one list panel shown maximised and modally, left with
// "Indietro". Created once, hidden between uses (filter, sort, position and search texts
// stay).
class ArchiveListForm : public QDialog {
    Q_OBJECT
public:
    // `panel` is the member's own panel when it does more than the family; by default one
    // is made from the descriptor. The window takes it.
    ArchiveListForm(Tform_DB& dm, ListDescriptor descriptor, QWidget* parent = nullptr,
                    ListPanel* panel = nullptr);
    ~ArchiveListForm() override;

    ListPanel* panel() const { return m_panel; }
    const ListDescriptor& descriptor() const { return m_panel->descriptor(); }
    db::Dataset& query() const { return m_panel->query(); }
    ui::DBGrid* grid() const { return m_panel->grid(); }
    void setDetail(ArchiveDetailForm* detail) { m_panel->setDetail(detail); }

    // Shows the window modally (maximised) through the dialog service: QDialog::Accepted
    // when a row was chosen.
    int mostra();
    // Shows the register to choose a row: the chosen key and values, nothing when the user
    // left without choosing or the list was empty. The register is given back exactly as
    // it was: filter, sort, current row and search texts.
    std::optional<Scelta> pick();

protected:
    void reject() override; // Escape and the close button: as "Indietro"

    Tform_DB& m_dm;

private:
    ListPanel* m_panel;
};
