#pragma once

#include "common/controls/boundcontrol.h"

#include <QString>
#include <functional>

class QFocusEvent;
class QWidget;

namespace ui {

// Text the user typed into a bound control that is not yet in the row: the one copy of that
// logic, shared by DBEdit, DBMemo and the editable DBComboBox.
//  - typing marks the text pending and puts the row in edit (with no row to edit, the
//    column's value comes back instead);
//  - the text is written when the control is left or when the dataset posts;
//  - a soft refresh (values of the current row changed) keeps it; a hard one (another row,
//    new rows, back to browsing) drops it and shows the column's value;
//  - a text that does not read as the column's type stays pending: leaving shows the error
//    once through the dialog service and brings the focus back; a post gets it as an
//    exception after the focus is back on the control.
// It takes over the link's onRefresh and onWrite hooks.
class PendingText {
public:
    struct Hooks {
        std::function<QString()> text;             // what the control holds now
        std::function<void(const QString&)> write; // into the column, row in edit; may throw
        std::function<void()> show;                // shows the column's value
    };

    PendingText(QWidget* control, FieldLink& link, Hooks hooks);

    bool isPending() const { return m_pending; }
    // Bound to a dataset and a field (unbound controls behave as their Qt base class).
    bool isBound() const { return m_link.dataset() && !m_link.field().isEmpty(); }
    // True while the control's text is set by us rather than typed.
    bool isLoading() const { return m_loading; }

    // The user changed the text.
    void typed();
    // Writes the pending text into the row now; throws db::DatabaseError on a bad text.
    void commit();
    // Shows the column's value; `hard` drops pending text, a soft refresh keeps it.
    void refresh(bool hard);
    // The control lost the focus: commits unless it went to a pop-up or another window,
    // reporting a bad text. Returns whether it was a real leave.
    bool leave(const QFocusEvent* event);
    // The text was written by other means (a combo item chosen).
    void written() { m_pending = false; }
    // Runs `change` as a change of ours, not typing.
    void quietly(const std::function<void()>& change);

private:
    void reportLeaveError(const QString& text);

    QWidget* m_control;
    FieldLink& m_link;
    Hooks m_hooks;
    bool m_pending = false;
    bool m_loading = false;
    // A bad text found on leaving whose message is still to be shown. A post that meets the
    // same text first reports it itself (one message, not two).
    bool m_leaveErrorPending = false;
};

} // namespace ui
