#include "common/controls/formconventions.h"

#include "common/controls/boundcontrol.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QChildEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace ui {

const QColor FormConventions::FocusColor(0, 255, 255);

namespace {

const char* const PropAmount = "vastrelAmount";
const char* const PropArrows = "vastrelArrowNavigation";
const char* const PropWatched = "vastrelWatched";
const char* const PropExcluded = "vastrelExcluded";
const char* const PropInstalled = "vastrelFormConventions";
const char* const PropOwnEnter = "vastrelOwnEnter";

bool isMemo(const QWidget* w) {
    return qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QTextEdit*>(w);
}

// The line edit inside a combo or spin box belongs to it: its events are the owner's.
bool isInnerEdit(const QWidget* w) {
    const QWidget* p = w->parentWidget();
    return qobject_cast<const QLineEdit*>(w) && p &&
           (qobject_cast<const QComboBox*>(p) || qobject_cast<const QAbstractSpinBox*>(p));
}

bool isEditLike(const QWidget* w) {
    if (isInnerEdit(w)) return false;
    return qobject_cast<const QLineEdit*>(w) || isMemo(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QAbstractSpinBox*>(w);
}

// Controls where Enter/Down/Up move the focus.
bool navigates(const QWidget* w, int key) {
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && w->property(PropOwnEnter).toBool()) return false;
    if (isMemo(w)) return key != Qt::Key_Return && key != Qt::Key_Enter && w->property(PropArrows).toBool();
    if (auto* combo = qobject_cast<const QComboBox*>(w)) return !combo->view()->isVisible();
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
           qobject_cast<const QCheckBox*>(w);
}

bool inPopup(const QWidget* w) { return w->window()->windowType() == Qt::Popup; }

// A grid and the cell editors it opens keep their own keys.
bool inItemView(const QWidget* w) {
    for (; w && !w->isWindow(); w = w->parentWidget())
        if (qobject_cast<const QAbstractItemView*>(w)) return true;
    return false;
}

void paintBase(QWidget* w, const QColor& color) {
    QPalette p = w->palette();
    p.setColor(QPalette::Base, color);
    if (auto* combo = qobject_cast<QComboBox*>(w); combo && !combo->isEditable())
        p.setColor(QPalette::Button, color);
    w->setPalette(p);
}

// A key that types into the control: characters, Backspace, control
// characters such as Ctrl+V; not Enter, Tab or Escape. Delete changes the text too.
bool typesSomething(const QKeyEvent* e) {
    if (e->key() == Qt::Key_Delete) return true;
    const QString t = e->text();
    if (t.isEmpty()) return false;
    const QChar c = t.at(0);
    return c != u'\r' && c != u'\n' && c != u'\t' && c != QChar(0x1b);
}

} // namespace

FormConventions::FormConventions(QWidget* form) : QObject(form), m_form(form) {}

FormConventions* FormConventions::of(QWidget* form) {
    if (!form) return nullptr;
    return form->findChild<FormConventions*>(QString(), Qt::FindDirectChildrenOnly);
}

FormConventions* FormConventions::install(QWidget* form) {
    if (FormConventions* existing = of(form)) return existing;
    auto* fc = new FormConventions(form);
    fc->watch(form);
    if (form->isVisible()) fc->arrange();
    if (QWidget* f = QApplication::focusWidget(); f && form->isAncestorOf(f) && isEditLike(f))
        fc->paintFocused(f);
    return fc;
}

void FormConventions::watch(QWidget* widget) {
    if (widget->property(PropInstalled).value<QObject*>() == this) return;
    widget->setProperty(PropInstalled, QVariant::fromValue<QObject*>(this));
    widget->installEventFilter(this);
    for (QObject* child : widget->children())
        if (auto* w = qobject_cast<QWidget*>(child)) watch(w);
}

void FormConventions::setAmount(QWidget* control, bool amount) { control->setProperty(PropAmount, amount); }
bool FormConventions::isAmount(const QWidget* control) { return control->property(PropAmount).toBool(); }
void FormConventions::setArrowNavigation(QWidget* memo, bool on) { memo->setProperty(PropArrows, on); }
void FormConventions::setOwnEnter(QWidget* control, bool on) { control->setProperty(PropOwnEnter, on); }
void FormConventions::setWatched(QWidget* control, bool on) { control->setProperty(PropWatched, on); }
void FormConventions::setExcluded(QWidget* control, bool on) { control->setProperty(PropExcluded, on); }
bool FormConventions::isExcluded(const QWidget* control) { return control->property(PropExcluded).toBool(); }

QWidget* FormConventions::nextInTabOrder(QWidget* from, bool forward) {
    if (!from) return nullptr;
    QWidget* window = from->window();
    QWidget* w = from;
    for (int guard = 0; guard < 100000; ++guard) {
        w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
        if (!w || w == from) return nullptr;
        if (w->window() != window || w->focusProxy()) continue;
        if (!(w->focusPolicy() & Qt::TabFocus) || !w->isEnabled()) continue;
        if (!w->isVisibleTo(window) && w != window) continue;
        if (w == window) continue;
        return w;
    }
    return nullptr;
}

bool FormConventions::moveFocus(QWidget* from, bool forward) {
    QWidget* next = nextInTabOrder(from, forward);
    if (!next) return false;
    next->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

void FormConventions::arrange() {
    if (m_arranged) return;
    m_arranged = true;
    nameControls(m_form);
    orderTabs(m_form);
}

void FormConventions::paintFocused(QWidget* w) {
    // A window that moved the focus while a message box was active (a failed check) never
    // told the control it left: that one turns white here.
    if (m_painted && m_painted != w) paintBase(m_painted, Qt::white);
    m_painted = w;
    paintBase(w, FocusColor);
}

void FormConventions::notifyModified(QWidget* control) {
    if (m_modified) m_modified(control);
}

static QWidget* watchedControl(QWidget* w) {
    // The bound control a widget belongs to (itself, a memo's viewport, a combo's line edit).
    for (int depth = 0; w && depth < 3; ++depth, w = w->parentWidget()) {
        if (dynamic_cast<BoundControl*>(w) || w->property(PropWatched).toBool()) return w;
        if (w->isWindow()) break;
    }
    return nullptr;
}

bool FormConventions::handleKey(QWidget* w, QKeyEvent* event) {
    const int key = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;

    // Enter / Down: next control; Up: previous one.
    if (mods == Qt::NoModifier &&
        (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down || key == Qt::Key_Up) &&
        navigates(w, key)) {
        moveFocus(w, key != Qt::Key_Up);
        return true;
    }

    // "." in an amount field: the decimal separator of the locale.
    if (isAmount(w) && event->text() == QStringLiteral(".")) {
        const QString sep = QLocale().decimalPoint();
        if (sep != QStringLiteral(".")) {
            QKeyEvent replaced(event->type(), sep == QStringLiteral(",") ? Qt::Key_Comma : Qt::Key_unknown,
                               event->modifiers(), sep, event->isAutoRepeat(), ushort(event->count()));
            QCoreApplication::sendEvent(w, &replaced);
            return true;
        }
    }

    // Typing into a bound control: the form's record is modified.
    if (typesSomething(event))
        if (QWidget* control = watchedControl(w)) notifyModified(control);
    return false;
}

bool FormConventions::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType()) return false;
    auto* w = static_cast<QWidget*>(watched);

    if (event->type() == QEvent::ChildAdded) {
        if (auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child())) watch(child);
        return false;
    }
    // Shown: its children are laid out and shown too.
    if (event->type() == QEvent::Show && w == m_form) arrange();
    if (w->property(PropExcluded).toBool() || inItemView(w) || w->window() != m_form->window()) return false;

    switch (event->type()) {
    case QEvent::FocusIn:
        if (isEditLike(w)) paintFocused(w);
        break;
    case QEvent::FocusOut: {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // A pop-up (context menu, combo list) or another window is not leaving the control.
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason && isEditLike(w)) {
            paintBase(w, Qt::white);
            if (m_painted == w) m_painted = nullptr;
        }
        break;
    }
    case QEvent::KeyPress:
        if (inPopup(w) || isInnerEdit(w)) break;
        return handleKey(w, static_cast<QKeyEvent*>(event));
    case QEvent::MouseButtonPress: {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() != Qt::RightButton || inPopup(w)) break;
        // A press a viewport ignores goes on to its scroll area: count it once.
        if (QWidget* control = watchedControl(w)) {
            if (control == m_lastPress && me->timestamp() == m_lastPressTime) break;
            m_lastPress = control;
            m_lastPressTime = me->timestamp();
            notifyModified(control);
        }
        break;
    }
    default:
        if (event->type() == ChoiceEvent::type())
            if (QWidget* control = watchedControl(w)) notifyModified(control);
        break;
    }
    return false;
}

} // namespace ui
