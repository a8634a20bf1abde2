#pragma once

#include "db/dataset.h"

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QWidget;

namespace ui {

// What every data-aware control of common/controls offers: the query and the column it is
// bound to. FormConventions recognises bound controls through this interface.
class BoundControl {
public:
    virtual ~BoundControl() = default;
    virtual db::Dataset* dataset() const = 0;
    virtual QString dataField() const = 0;
};

// The bound control behind a widget: the widget itself, or the control it belongs to (the
// viewport of a memo, the line edit of a combo box). nullptr when none.
BoundControl* boundControlOf(QWidget* widget);

// Sent (not posted) by a bound control to itself when the user made a choice that changes
// the record without typing: a look-up entry, a combo item, a check box click, clearing a
// combo with Backspace/Delete, picking a picture. FormConventions turns it into the form's
// "modified" callback.
class ChoiceEvent : public QEvent {
public:
    ChoiceEvent() : QEvent(type()) {}
    static QEvent::Type type();
};
// Sends a ChoiceEvent to `control`.
void notifyChoice(QWidget* control);

// The link of one control to one column of a dataset: follows the dataset's signals and
// calls the control back. Not a widget; owned by the control. A dataset opened deferred
// (Dataset::openDeferred) is not read for a control that is not visible: the control shows
// nothing until it is shown.
class FieldLink : public QObject {
    Q_OBJECT
public:
    explicit FieldLink(QWidget* owner);

    void setDataset(db::Dataset* dataset);
    db::Dataset* dataset() const { return m_ds; }
    void setField(const QString& name);
    const QString& field() const { return m_field; }

    // Column index in the dataset, -1 when unbound, closed, missing, or not yet read while
    // the control is hidden.
    int column() const;
    // The dataset is open, the column exists and there is a current row.
    bool hasRow() const;
    // Puts the dataset into edit mode when browsing. False (nothing changed) when there is
    // no row to edit; db errors reach the caller.
    bool ensureEdit();

    // Called when the value shown may have changed. `hard` is true when the current row or
    // the rows as a whole changed (pending typed text must be dropped); false when only the
    // values of the current row or the state changed.
    std::function<void(bool hard)> onRefresh;
    // Called when the dataset asks the bound controls to hand over pending values (post).
    std::function<void()> onWrite;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh(bool hard);

    QWidget* m_owner;
    mutable bool m_deferredSeen = false;
    QPointer<db::Dataset> m_ds;
    QString m_field;
    QList<QMetaObject::Connection> m_connections;
};

} // namespace ui
