#include "common/controls/dbchoices.h"

#include <QAbstractListModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>

namespace ui {


// --- DBCheckBox ----------------------------------------------------------------------------

DBCheckBox::DBCheckBox(QWidget* parent) : QCheckBox(parent), m_link(this) {
    m_link.onRefresh = [this](bool) { refresh(); };
}

DBCheckBox::DBCheckBox(db::Dataset* dataset, const QString& field, const QString& text,
                       QWidget* parent)
    : DBCheckBox(parent) {
    setText(text);
    setDataField(field);
    setDataset(dataset);
}

void DBCheckBox::refresh() {
    if (!m_link.dataset() || m_link.field().isEmpty()) return;
    const int c = m_link.column();
    bool on = false;
    if (c >= 0 && m_link.dataset()->position() >= 0) {
        const QVariant v = m_link.dataset()->value(c);
        on = v.isValid() && !v.isNull() && v.toBool();
    }
    if (isChecked() != on) setChecked(on);
}

void DBCheckBox::nextCheckState() {
    if (!m_link.dataset() || m_link.field().isEmpty()) {
        QCheckBox::nextCheckState();
        return;
    }
    if (!m_link.hasRow()) return; // nothing to tick
    const bool on = !isChecked();
    m_link.ensureEdit();
    m_link.dataset()->setValue(m_link.column(), on);
    setChecked(on);
    notifyChoice(this);
}

// --- DBComboBox ----------------------------------------------------------------------------

DBComboBox::DBComboBox(QWidget* parent)
    : QComboBox(parent), m_link(this),
      m_text(this, m_link, {[this] { return currentText(); }, {}, [this] { showField(); }}) {
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QComboBox::activated, this, &DBComboBox::onActivated);
    connect(this, &QComboBox::editTextChanged, this, [this] {
        // Typed by the user, not set by a refresh or a chosen item.
        if (isEditable() && lineEdit() && lineEdit()->isModified()) m_text.typed();
    });
}

DBComboBox::DBComboBox(db::Dataset* dataset, const QString& field, const QStringList& items,
                       QWidget* parent)
    : DBComboBox(parent) {
    setItems(items);
    setDataField(field);
    setDataset(dataset);
}

void DBComboBox::setItems(const QStringList& items) {
    m_text.quietly([&] {
        clear();
        addItems(items);
    });
    refresh();
}

void DBComboBox::showField() {
    const int c = m_link.column();
    const QString t = (c >= 0 && m_link.dataset()->position() >= 0)
        ? m_link.dataset()->displayText(c) : QString();
    if (isEditable()) {
        setEditText(t);
        if (lineEdit()) lineEdit()->setModified(false);
    } else {
        setCurrentIndex(t.isEmpty() ? -1 : findText(t, Qt::MatchFixedString));
    }
}

void DBComboBox::onActivated(int index) {
    if (m_text.isLoading()) return;
    if (m_link.dataset() && !m_link.field().isEmpty()) {
        if (!m_link.hasRow()) return refresh();
        m_link.ensureEdit();
        m_link.dataset()->setText(m_link.column(), itemText(index));
        m_text.written();
    }
    Q_EMIT choiceMade(itemText(index));
    notifyChoice(this);
}

void DBComboBox::keyPressEvent(QKeyEvent* event) {
    if (!isEditable() && (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete)) {
        if (m_link.dataset() && !m_link.field().isEmpty()) {
            if (!m_link.hasRow()) return;
            m_link.ensureEdit();
            m_link.dataset()->setValue(m_link.column(), QVariant());
        }
        m_text.quietly([this] { setCurrentIndex(-1); });
        Q_EMIT cleared();
        notifyChoice(this);
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void DBComboBox::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    if (isEditable()) m_text.leave(event);
}

void DBComboBox::wheelEvent(QWheelEvent* event) {
    if (!hasFocus()) return event->ignore(); // scrolling the form, not changing the value
    QComboBox::wheelEvent(event);
}

// --- DBLookupComboBox ----------------------------------------------------------------------

namespace {

// The entries of a look-up: one column of the visible rows of the list source, read on
// demand (no copy).
class LookupModel : public QAbstractListModel {
public:
    explicit LookupModel(QWidget* combo) : QAbstractListModel(combo), m_combo(combo) {}

    bool deferredSeen = false;

    void reset(db::Dataset* list, const QString& listField) {
        beginResetModel();
        m_list = list;
        bool open = list && list->isOpen();
        if (open && list->deferred() && !m_combo->isVisible()) {
            deferredSeen = true; // read when the combo is shown
            open = false;
        }
        m_rows = open ? list->recordCount() : 0;
        m_col = open ? list->fieldIndex(listField) : -1;
        endResetModel();
    }
    bool readable() const { return m_list && m_list->isOpen() && !(m_list->deferred() && !m_combo->isVisible()); }
    void rowChanged(int row) {
        if (row >= 0 && row < m_rows) Q_EMIT dataChanged(index(row), index(row));
    }
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : m_rows;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
        if (!m_list || m_col < 0 || !m_list->isOpen()) return QString();
        if (index.row() >= m_list->recordCount()) return QString();
        return m_list->displayTextAt(index.row(), m_col);
    }

private:
    QWidget* m_combo;
    QPointer<db::Dataset> m_list;
    int m_rows = 0;
    int m_col = -1;
};

} // namespace

DBLookupComboBox::DBLookupComboBox(QWidget* parent) : QComboBox(parent), m_link(this) {
    m_model = new LookupModel(this);
    setModel(m_model);
    if (auto* lv = qobject_cast<QListView*>(view())) lv->setUniformItemSizes(true);
    setFocusPolicy(Qt::StrongFocus);
    m_link.onRefresh = [this](bool) { refresh(); };
    connect(this, &QComboBox::activated, this, &DBLookupComboBox::onActivated);
}

void DBLookupComboBox::setListSource(db::Dataset* list, const QString& keyField,
                                     const QString& listField) {
    for (const auto& c : m_listConnections) disconnect(c);
    m_listConnections.clear();
    m_list = list;
    m_keyField = keyField;
    m_listField = listField;
    auto* model = static_cast<LookupModel*>(m_model);
    if (list) {
        m_listConnections << connect(list, &db::Dataset::layoutReset, this, [this, model] {
            model->reset(m_list, m_listField);
            refresh();
        });
        m_listConnections << connect(list, &db::Dataset::rowChanged, this, [this, model](int row) {
            model->rowChanged(row);
            refresh();
        });
        m_listConnections << connect(list, &QObject::destroyed, this, [this, model] {
            m_list = nullptr;
            model->reset(nullptr, m_listField);
        });
    }
    model->reset(list, listField);
    refresh();
}

QVariant DBLookupComboBox::keyValue() const {
    if (!bound()) return m_key;
    const int c = m_link.column();
    if (c < 0 || m_link.dataset()->position() < 0) return QVariant();
    return m_link.dataset()->value(c);
}

void DBLookupComboBox::setKeyValue(const QVariant& key) {
    if (bound()) {
        if (!m_link.hasRow()) return;
        m_link.ensureEdit();
        m_link.dataset()->setValue(m_link.column(), key);
    } else {
        m_key = key;
    }
    refresh();
}

int DBLookupComboBox::listRow() const {
    if (!static_cast<LookupModel*>(m_model)->readable()) return -1;
    const QVariant key = keyValue();
    if (!m_list || !m_list->isOpen() || !key.isValid() || key.isNull()) return -1;
    const int kc = m_list->fieldIndex(m_keyField);
    if (kc < 0) return -1;
    // The list's index answers: a grid scrolling through thousands of rows repaints this
    // combo on every row, and a scan of 7,900 municipalities each time shows.
    return m_list->findRow(kc, key);
}

void DBLookupComboBox::showKey(const QVariant&) {
    const int row = listRow();
    if (currentIndex() != row) setCurrentIndex(row);
}

void DBLookupComboBox::refresh() {
    if (m_link.dataset() && m_link.dataset()->controlsDisabled()) return;
    showKey(keyValue());
}

void DBLookupComboBox::onActivated(int row) {
    if (!m_list || !m_list->isOpen() || row < 0 || row >= m_list->recordCount()) return;
    const int kc = m_list->fieldIndex(m_keyField);
    if (kc < 0) return;
    const QVariant key = m_list->valueAt(row, kc);
    if (bound()) {
        if (!m_link.hasRow()) return refresh();
        m_link.ensureEdit();
        m_link.dataset()->setValue(m_link.column(), key);
    } else {
        m_key = key;
    }
    // The list source follows the choice, so the window can read the chosen row.
    if (m_list != m_link.dataset() && m_list->position() != row) m_list->setPosition(row);
    refresh();
    Q_EMIT choiceMade(key);
    notifyChoice(this);
}

void DBLookupComboBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) {
        if (bound()) {
            if (!m_link.hasRow()) return;
            m_link.ensureEdit();
            m_link.dataset()->setValue(m_link.column(), QVariant());
        } else {
            m_key = qlonglong(-1);
        }
        setCurrentIndex(-1);
        Q_EMIT cleared();
        notifyChoice(this);
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void DBLookupComboBox::showEvent(QShowEvent* event) {
    QComboBox::showEvent(event);
    auto* model = static_cast<LookupModel*>(m_model);
    if (model->deferredSeen) {
        model->deferredSeen = false;
        model->reset(m_list, m_listField);
        refresh();
    }
}

void DBLookupComboBox::wheelEvent(QWheelEvent* event) {
    if (!hasFocus()) return event->ignore();
    QComboBox::wheelEvent(event);
}

} // namespace ui
