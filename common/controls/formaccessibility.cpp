// What a screen reader and the Tab key see of a form: names from the labels, and a tab order
// that follows the layout rather than the order the controls were created in.

#include "common/controls/formconventions.h"

#include "common/controls/dbgrid.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPointer>
#include <QScrollArea>
#include <QSet>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTextDocumentFragment>
#include <algorithm>

namespace ui {

namespace {

// Widgets that hold controls rather than being one, even when they take the focus
// themselves (a checkable group box, a scroll area).
bool isContainer(const QWidget* w) {
    return qobject_cast<const QGroupBox*>(w) || qobject_cast<const QScrollArea*>(w) ||
           qobject_cast<const QTabWidget*>(w) || qobject_cast<const QStackedWidget*>(w) ||
           qobject_cast<const QSplitter*>(w) || !(w->focusPolicy() & Qt::TabFocus);
}

// A page of a stack that has never been current has never been laid out: give it the
// current page's box and lay it out now, so its controls have their real places.
void layOutHiddenPages(QWidget* form) {
    for (QStackedWidget* stack : form->findChildren<QStackedWidget*>()) {
        const QRect box = stack->currentWidget() ? stack->currentWidget()->geometry() : stack->rect();
        for (int i = 0; i < stack->count(); ++i) {
            QWidget* page = stack->widget(i);
            if (page == stack->currentWidget()) continue;
            page->setGeometry(box);
            QList<QWidget*> inner{page};
            inner += page->findChildren<QWidget*>();
            for (QWidget* w : inner) // parents first: each layout sees its box already set
                if (QLayout* l = w->layout()) {
                    l->invalidate();
                    l->activate();
                }
        }
    }
}

// Items read in row bands: sorted by top, an item joins the band while its top is above the
// middle of every item already in it (a tall grid beside a column of edits does not swallow
// the column); left to right within a band.
void sortAsRead(QList<QWidget*>& items) {
    std::stable_sort(items.begin(), items.end(), [](QWidget* a, QWidget* b) {
        return a->geometry().top() < b->geometry().top();
    });
    QList<QWidget*> out;
    for (int i = 0; i < items.size();) {
        int limit = items[i]->geometry().center().y();
        int j = i + 1;
        for (; j < items.size() && items[j]->geometry().top() < limit; ++j)
            limit = std::min(limit, items[j]->geometry().center().y());
        QList<QWidget*> band = items.mid(i, j - i);
        std::stable_sort(band.begin(), band.end(), [](QWidget* a, QWidget* b) {
            const QRect ra = a->geometry(), rb = b->geometry();
            return ra.left() != rb.left() ? ra.left() < rb.left() : ra.top() < rb.top();
        });
        out += band;
        i = j;
    }
    items = out;
}

void collectInReadingOrder(QWidget* container, QList<QWidget*>& order) {
    auto* stack = qobject_cast<QStackedWidget*>(container);
    QList<QWidget*> items;
    if (stack) { // pages in their own order, all of them: they are reached later
        for (int i = 0; i < stack->count(); ++i) items << stack->widget(i);
    } else {
        for (QObject* child : container->children()) {
            auto* w = qobject_cast<QWidget*>(child);
            if (w && !w->isWindow() && !w->isHidden()) items << w;
        }
        sortAsRead(items);
    }
    for (QWidget* w : items) {
        if (FormConventions::isExcluded(w)) continue;
        if (!isContainer(w)) {
            order << w;
            continue;
        }
        // A checkable group box is a stop before its controls; a tab widget hands the focus
        // to its tab bar, found among its children.
        if ((w->focusPolicy() & Qt::TabFocus) && !w->focusProxy()) order << w;
        collectInReadingOrder(w, order);
    }
}

// Tab stops of `form` a screen reader announces by themselves: not the inner edit of a combo
// or spin box, not a widget that hands its focus on.
bool reachedByTab(QWidget* w, QWidget* form) {
    if (!(w->focusPolicy() & Qt::TabFocus) || w->focusProxy() || w->window() != form->window()) return false;
    QWidget* owner = w->parentWidget();
    return !(qobject_cast<QLineEdit*>(w) && owner &&
             (qobject_cast<QComboBox*>(owner) || qobject_cast<QAbstractSpinBox*>(owner)));
}

// Where `w` sits: the layouts from the outermost to the one holding it, with the index of
// the next level (or of `w`) in each. Empty when no layout holds it.
bool findInLayout(QLayout* layout, QWidget* w, QList<QPair<QLayout*, int>>& path) {
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        path.append({layout, i});
        if (item->widget() == w) return true;
        if (item->layout() && findInLayout(item->layout(), w, path)) return true;
        path.removeLast();
    }
    return false;
}

QLabel* plainLabel(QLayoutItem* item) {
    auto* label = item ? qobject_cast<QLabel*>(item->widget()) : nullptr;
    return label && !label->buddy() && !label->isHidden() ? label : nullptr;
}

// A label without a buddy placed right before a control is its caption, as a sighted user
// reads it: the item before it in a box layout, the cell to its left (else above it) in a
// grid, the label of its form row. A control that opens a nested layout (an edit with its
// buttons) looks before that layout.
QLabel* labelBefore(QWidget* w) {
    QWidget* parent = w->parentWidget();
    QList<QPair<QLayout*, int>> path;
    if (!parent || !parent->layout() || !findInLayout(parent->layout(), w, path)) return nullptr;
    for (int level = int(path.size()) - 1; level >= 0; --level) {
        auto [layout, index] = path[level];
        if (auto* form = qobject_cast<QFormLayout*>(layout)) {
            int row = -1;
            QFormLayout::ItemRole role;
            form->getItemPosition(index, &row, &role);
            return role == QFormLayout::FieldRole ? plainLabel(form->itemAt(row, QFormLayout::LabelRole)) : nullptr;
        }
        if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
            int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
            grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
            if (QLabel* left = column > 0 ? plainLabel(grid->itemAtPosition(row, column - 1)) : nullptr) return left;
            return row > 0 ? plainLabel(grid->itemAtPosition(row - 1, column)) : nullptr;
        }
        if (index > 0) {
            // Spacing and stretches between a label and its control do not separate them.
            int before = index - 1;
            while (before > 0 && layout->itemAt(before)->spacerItem()) --before;
            return plainLabel(layout->itemAt(before));
        }
    }
    return nullptr;
}

// Names the controls of every window when it is first shown.
class WindowNamer : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto* w = static_cast<QWidget*>(watched);
            if (w->isWindow() && !w->property(PropNamed).toBool()) {
                w->setProperty(PropNamed, true);
                FormConventions::nameControls(w);
            }
        }
        return false;
    }
    static constexpr const char* PropNamed = "vastrelControlsNamed";
};

} // namespace

void FormConventions::nameEveryWindow() {
    static QPointer<WindowNamer> namer;
    if (namer || !qApp) return;
    namer = new WindowNamer(qApp);
    qApp->installEventFilter(namer);
}

QString FormConventions::captionOf(const QString& labelText) {
    QString text = Qt::mightBeRichText(labelText) ? QTextDocumentFragment::fromHtml(labelText).toPlainText()
                                                  : labelText;
    // "&&" is a literal ampersand; a single "&" only marks the mnemonic.
    static const QChar marker(0xE000);
    text.replace(QStringLiteral("&&"), QString(marker)).remove(u'&').replace(marker, u'&');
    text = text.simplified();
    while (text.endsWith(u':')) text.chop(1);
    return text.trimmed();
}

void FormConventions::nameControls(QWidget* form) {
    // Blanks that pad a tab's caption are not read out.
    for (QTabBar* bar : form->findChildren<QTabBar*>())
        for (int i = 0; i < bar->count(); ++i)
            if (bar->accessibleTabName(i).isEmpty() && bar->tabText(i) != bar->tabText(i).trimmed())
                bar->setAccessibleTabName(i, captionOf(bar->tabText(i)));
    QSet<QLabel*> used;
    for (QLabel* label : form->findChildren<QLabel*>()) {
        QWidget* buddy = label->buddy();
        if (!buddy) continue;
        used << label;
        if (!buddy->accessibleName().isEmpty() || qobject_cast<QAbstractButton*>(buddy)) continue;
        const QString caption = captionOf(label->text());
        if (!caption.isEmpty()) buddy->setAccessibleName(caption);
    }
    for (QWidget* w : form->findChildren<QWidget*>()) {
        if (!reachedByTab(w, form) || !w->accessibleName().isEmpty()) continue;
        QString name;
        if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            if (!button->text().isEmpty()) continue; // its own text speaks for it
        } else if (qobject_cast<DBGrid*>(w)) {
            name = w->window()->windowTitle(); // the records the window is about
        } else if (QLabel* label = labelBefore(w); label && !used.contains(label)) {
            used << label;
            name = captionOf(label->text());
        } else if (auto* box = qobject_cast<QGroupBox*>(w->parentWidget())) {
            name = captionOf(box->title());
        }
        // A grid or a scrolled page is the window's body.
        if (name.isEmpty() && (qobject_cast<QAbstractItemView*>(w) || qobject_cast<QScrollArea*>(w)))
            name = w->window()->windowTitle();
        if (name.isEmpty()) name = w->toolTip();
        if (!name.isEmpty()) w->setAccessibleName(name);
    }
}

void FormConventions::orderTabs(QWidget* form) {
    layOutHiddenPages(form);
    QList<QWidget*> order;
    collectInReadingOrder(form, order);
    for (int i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

} // namespace ui
