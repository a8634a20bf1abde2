#include "common/controls/boundcontrol.h"

#include <QCoreApplication>
#include <QWidget>

namespace ui {

BoundControl* boundControlOf(QWidget* widget) {
    // A few levels up at most: viewport of a memo, line edit of a combo box.
    for (int depth = 0; widget && depth < 3; ++depth, widget = widget->parentWidget()) {
        if (auto* b = dynamic_cast<BoundControl*>(widget)) return b;
        if (widget->isWindow()) break;
    }
    return nullptr;
}

QEvent::Type ChoiceEvent::type() {
    static const QEvent::Type t = QEvent::Type(QEvent::registerEventType());
    return t;
}

void notifyChoice(QWidget* control) {
    if (!control) return;
    ChoiceEvent ev;
    QCoreApplication::sendEvent(control, &ev);
}

FieldLink::FieldLink(QWidget* owner) : QObject(owner), m_owner(owner) {
    if (owner) owner->installEventFilter(this);
}

bool FieldLink::eventFilter(QObject*, QEvent* event) {
    // Shown at last: a deferred dataset may now be read.
    if (event->type() == QEvent::Show && m_deferredSeen) {
        m_deferredSeen = false;
        refresh(true);
    }
    return false;
}

void FieldLink::setDataset(db::Dataset* dataset) {
    if (m_ds == dataset) return;
    for (const auto& c : m_connections) disconnect(c);
    m_connections.clear();
    m_ds = dataset;
    if (dataset) {
        m_connections << connect(dataset, &db::Dataset::layoutReset, this, [this] { refresh(true); });
        m_connections << connect(dataset, &db::Dataset::currentChanged, this, [this](int) { refresh(true); });
        m_connections << connect(dataset, &db::Dataset::rowChanged, this, [this](int row) {
            if (m_ds && row == m_ds->position()) refresh(false);
        });
        m_connections << connect(dataset, &db::Dataset::stateChanged, this,
                                 [this](db::Dataset::State s) {
                                     // Back to browsing: a cancel drops what was typed, a post
                                     // has already taken it.
                                     refresh(s == db::Dataset::State::Browse ||
                                             s == db::Dataset::State::Inactive);
                                 });
        m_connections << connect(dataset, &db::Dataset::updateRecordRequested, this, [this] {
            if (onWrite) onWrite();
        });
        m_connections << connect(dataset, &QObject::destroyed, this, [this] {
            m_ds = nullptr;
            refresh(true);
        });
    }
    refresh(true);
}

void FieldLink::setField(const QString& name) {
    if (m_field == name) return;
    m_field = name;
    refresh(true);
}

int FieldLink::column() const {
    if (!m_ds || !m_ds->isOpen() || m_field.isEmpty()) return -1;
    if (m_ds->deferred() && !(m_owner && m_owner->isVisible())) {
        m_deferredSeen = true;
        return -1;
    }
    return m_ds->fieldIndex(m_field);
}

bool FieldLink::hasRow() const { return column() >= 0 && m_ds->position() >= 0; }

bool FieldLink::ensureEdit() {
    if (!hasRow()) return false;
    if (m_ds->state() == db::Dataset::State::Browse) m_ds->edit();
    return true;
}

void FieldLink::refresh(bool hard) {
    if (m_ds && m_ds->controlsDisabled()) return; // controlsEnabled() resets everything
    if (onRefresh) onRefresh(hard);
}

} // namespace ui
