#pragma once

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

class QWidget;
class QKeyEvent;

namespace ui {

// The keyboard and focus conventions of every form, as one event filter installed on the
// form and on all its descendants (present and future):
//  - an edit-like control (QLineEdit, QPlainTextEdit/QTextEdit, QComboBox, QAbstractSpinBox
//    and the DB* controls) turns aqua (0,255,255) while it has the focus, white when it
//    loses it;
//  - Enter or Down arrow moves the focus to the next control in tab order, Up arrow to the
//    previous one (line edits, combo boxes, spin boxes, check boxes). A multi-line memo keeps
//    its own Enter/Up/Down unless marked with setArrowNavigation(); an open combo pop-up and
//    grids keep theirs, and so does a control marked with setOwnEnter() (its Enter acts);
//  - a "." typed into a control marked as an amount becomes the locale's decimal
//    separator (",");
//  - with a modified callback: a key typed or a right mouse press into a bound control
//    (BoundControl, or a widget marked with setWatched()), and every choice a bound control
//    reports (look-up entry, combo item, check box, clearing), call it with the control;
//  - when the form is first shown: screen-reader names (nameControls) and a tab order that
//    follows the layout (orderTabs).
// Widgets marked with setExcluded() are left alone, and so are other windows opened over the
// form (a prompt, a file dialog): each window has its own conventions or none.
class FormConventions : public QObject {
    Q_OBJECT
public:
    static const QColor FocusColor; // aqua, RGB 0,255,255

    // Installs the conventions on `form` (idempotent: returns the one already installed).
    // The filter is a child of the form.
    static FormConventions* install(QWidget* form);
    static FormConventions* of(QWidget* form);

    void setModifiedCallback(std::function<void(QWidget* control)> callback) {
        m_modified = std::move(callback);
    }

    // Marks a control as an amount field: "." becomes the decimal separator.
    static void setAmount(QWidget* control, bool amount = true);
    static bool isAmount(const QWidget* control);
    // Marks a multi-line memo whose Up/Down arrows move the focus (Enter still makes a new
    // line).
    static void setArrowNavigation(QWidget* memo, bool on = true);
    // Marks a control whose Enter has an action of its own (a prompt's box that closes it).
    static void setOwnEnter(QWidget* control, bool on = true);
    // Treats an unbound control as bound for the modified callback.
    static void setWatched(QWidget* control, bool on = true);
    // Leaves a control out of every convention.
    static void setExcluded(QWidget* control, bool on = true);
    static bool isExcluded(const QWidget* control);

    // Focus moves used by Enter/Down and Up; public for windows that move it themselves.
    static QWidget* nextInTabOrder(QWidget* from, bool forward);
    static bool moveFocus(QWidget* from, bool forward);

    // Gives every control of `form` that has none an accessible name: the caption of the
    // label whose buddy it is ("&" removed, a trailing ":" trimmed); else of the label placed
    // right before it in its layout, or the title of its group box; a grid or a scroll area
    // gets its window's caption; anything else its tool tip. Check boxes and buttons keep
    // their own text.
    static void nameControls(QWidget* form);
    // Names the controls of every window of the program, forms with conventions or not, when
    // the window is first shown (the programs' application object calls it).
    static void nameEveryWindow();
    // Chains the tab order of `form` as it reads: top to bottom, then left to right within a
    // row band, container by container (a tab page's controls in turn, pages in tab order).
    static void orderTabs(QWidget* form);
    // The caption a label gives its buddy.
    static QString captionOf(const QString& labelText);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit FormConventions(QWidget* form);
    void watch(QWidget* widget);
    void arrange();
    bool handleKey(QWidget* w, QKeyEvent* event);
    void notifyModified(QWidget* control);
    void paintFocused(QWidget* w);

    QWidget* m_form;
    bool m_arranged = false; // names and tab order set (on the first show)
    std::function<void(QWidget*)> m_modified;
    QPointer<QWidget> m_painted; // the control shown aqua: one at a time
    QPointer<QWidget> m_lastPress;
    quint64 m_lastPressTime = 0;
};

} // namespace ui
