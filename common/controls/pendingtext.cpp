#include "common/controls/pendingtext.h"

#include "common/controls/dialogs.h"
#include "db/error.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

namespace ui {

namespace {

// Back on the control with its text selected, so the user retypes it.
void focusBack(QWidget* control) {
    control->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) edit->selectAll();
}

} // namespace

PendingText::PendingText(QWidget* control, FieldLink& link, Hooks hooks)
    : m_control(control), m_link(link), m_hooks(std::move(hooks)) {
    if (!m_hooks.write)
        m_hooks.write = [this](const QString& text) { m_link.dataset()->setText(m_link.column(), text); };
    m_link.onRefresh = [this](bool hard) { refresh(hard); };
    m_link.onWrite = [this] {
        try {
            commit();
        } catch (const db::DatabaseError&) {
            // The post stops; its caller shows the text.
            m_leaveErrorPending = false;
            focusBack(m_control);
            throw;
        }
    };
}

void PendingText::typed() {
    if (m_loading || !isBound()) return;
    if (!m_link.hasRow()) { // nothing to edit: the text goes back
        refresh(true);
        return;
    }
    m_pending = true;
    m_link.ensureEdit();
}

void PendingText::commit() {
    if (!m_pending) return;
    if (!m_link.hasRow()) {
        m_pending = false;
        return;
    }
    m_link.ensureEdit();
    // While it is written the text is still pending, so the row's change signal does not
    // overwrite it; a bad text throws and stays pending.
    m_hooks.write(m_hooks.text());
    m_pending = false;
}

void PendingText::refresh(bool hard) {
    if (!hard && m_pending) return;
    m_pending = false;
    if (!isBound()) return;
    quietly(m_hooks.show);
}

bool PendingText::leave(const QFocusEvent* event) {
    // Leaving for a pop-up (context menu) or another application is not leaving the field.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return false;
    try {
        commit();
    } catch (const db::DatabaseError& e) {
        reportLeaveError(e.text());
    }
    return true;
}

void PendingText::quietly(const std::function<void()>& change) {
    struct Restore {
        bool& flag;
        bool was;
        ~Restore() { flag = was; }
    } restore{m_loading, m_loading};
    m_loading = true;
    change();
}

// The message waits until the focus change in progress is over. When a post meets the same
// text before that (the user left by clicking another row), the post's error is the one
// message shown.
void PendingText::reportLeaveError(const QString& text) {
    QPointer<QWidget> guard(m_control);
    m_leaveErrorPending = true;
    QTimer::singleShot(0, m_control, [this, guard, text] {
        if (!guard) return;
        const bool show = m_leaveErrorPending;
        m_leaveErrorPending = false;
        if (show) dialogs().message(guard->window(), text, QStringLiteral("Errore"), MessageIcon::Error);
        if (guard) focusBack(guard);
    });
}

} // namespace ui
