#include "common/controls/dbedits.h"

#include "common/controls/dialogs.h"
#include "db/error.h"

#include <QAbstractListModel>
#include <QAbstractItemView>
#include <QBuffer>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QListView>
#include <QPainter>
#include <QTimer>

namespace ui {

namespace {

// A text that did not read as the column's type, found when the control was left: the
// message goes through the dialog service and the focus comes back, once the focus change
// in progress is over. When a post meets the same text before that (the user left the
// control by clicking another row), the post's error is the one message shown.
template <class Control>
void reportLeaveError(Control* control, FieldLink& link, const QString& text) {
    QPointer<Control> guard(control);
    link.leaveErrorPending = true;
    QTimer::singleShot(0, control, [guard, &link, text] {
        if (!guard) return;
        const bool show = link.leaveErrorPending;
        link.leaveErrorPending = false;
        if (show) dialogs().message(guard->window(), text, QStringLiteral("Errore"), MessageIcon::Error);
        if (!guard) return;
        guard->setFocus(Qt::OtherFocusReason);
        if constexpr (std::is_base_of_v<QLineEdit, Control>) guard->selectAll();
    });
}

// A bad text met by a post: the focus goes back to the control and the error goes on to
// the post's caller (the default error handler shows it).
template <class Control>
[[noreturn]] void rethrowWriteError(Control* control, FieldLink& link) {
    link.leaveErrorPending = false;
    control->setFocus(Qt::OtherFocusReason);
    if constexpr (std::is_base_of_v<QLineEdit, Control>) control->selectAll();
    throw;
}

// Leaving for a pop-up (context menu) or another application is not leaving the field.
bool realLeave(const QFocusEvent* event) {
    return event->reason() != Qt::PopupFocusReason &&
           event->reason() != Qt::ActiveWindowFocusReason;
}

bool isNumber(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

bool sameKey(const QVariant& a, const QVariant& b) {
    if (!a.isValid() || !b.isValid() || a.isNull() || b.isNull()) return false;
    if (isNumber(a) && isNumber(b)) return a.toDouble() == b.toDouble();
    if (isNumber(a) || isNumber(b)) {
        // A number kept as text on one side ("12" in a text column).
        bool okA = false, okB = false;
        const double da = a.toString().toDouble(&okA), dbv = b.toString().toDouble(&okB);
        return okA && okB && da == dbv;
    }
    return a.toString().compare(b.toString(), Qt::CaseInsensitive) == 0;
}

} // namespace

// --- DBEdit --------------------------------------------------------------------------------

DBEdit::DBEdit(QWidget* parent) : QLineEdit(parent), m_link(this) {
    m_link.onRefresh = [this](bool hard) { onRefresh(hard); };
    m_link.onWrite = [this] {
        try {
            commit();
        } catch (const db::DatabaseError&) {
            rethrowWriteError(this, m_link); // the post stops; its caller shows the text
        }
    };
    connect(this, &QLineEdit::textEdited, this, &DBEdit::onTextEdited);
}

DBEdit::DBEdit(db::Dataset* dataset, const QString& field, QWidget* parent) : DBEdit(parent) {
    setDataField(field);
    setDataset(dataset);
}

QString DBEdit::textFromField(bool editing) const {
    const int c = m_link.column();
    if (c < 0 || m_link.dataset()->position() < 0) return QString();
    return editing ? m_link.dataset()->editText(c) : m_link.dataset()->displayText(c);
}

void DBEdit::writeToField(const QString& text) {
    m_link.dataset()->setText(m_link.column(), text);
}

void DBEdit::onRefresh(bool hard) {
    if (!hard && m_pending) return;
    m_pending = false;
    if (!m_link.dataset() || m_link.field().isEmpty()) return; // unbound: a plain line edit
    m_loading = true;
    const QString t = textFromField(hasFocus());
    if (t != text()) setText(t);
    m_loading = false;
}

void DBEdit::refresh() { onRefresh(true); }

void DBEdit::onTextEdited() {
    if (m_loading || !m_link.dataset() || m_link.field().isEmpty()) return;
    if (!m_link.hasRow()) { // nothing to edit: the text goes back
        refresh();
        return;
    }
    m_pending = true;
    m_link.ensureEdit();
}

void DBEdit::commit() {
    if (!m_pending) return;
    if (m_link.column() < 0 || !m_link.hasRow()) {
        m_pending = false;
        return;
    }
    m_link.ensureEdit();
    writeToField(text()); // throws on a bad text; it stays pending
    m_pending = false;
}

void DBEdit::commitOnLeave() {
    try {
        commit();
    } catch (const db::DatabaseError& e) {
        reportLeaveError(this, m_link, e.text());
    }
}

void DBEdit::focusInEvent(QFocusEvent* event) {
    if (!m_pending) onRefresh(true); // edit text ("1234,5") while focused
    QLineEdit::focusInEvent(event);
}

void DBEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (!realLeave(event)) return;
    commitOnLeave();
    if (!m_pending && m_link.dataset() && !m_link.field().isEmpty()) {
        m_loading = true;
        const QString t = textFromField(false);
        if (t != text()) setText(t);
        m_loading = false;
    }
}

// --- DateMaskEdit --------------------------------------------------------------------------

DateMaskEdit::DateMaskEdit(QWidget* parent) : DBEdit(parent) {
    setInputMask(QString::fromLatin1(Mask));
}

DateMaskEdit::DateMaskEdit(db::Dataset* dataset, const QString& field, QWidget* parent)
    : DateMaskEdit(parent) {
    setDataField(field);
    setDataset(dataset);
}

int DateMaskEdit::digitCount() const {
    int n = 0;
    for (QChar ch : displayText())
        if (ch.isDigit()) ++n;
    return n;
}

QDate DateMaskEdit::date() const {
    if (!isComplete()) return QDate();
    return QDate::fromString(displayText(), QStringLiteral("dd/MM/yyyy"));
}

void DateMaskEdit::setDate(const QDate& date) {
    if (date.isValid() && date.year() >= 1 && date.year() <= 9999)
        setText(date.toString(QStringLiteral("dd/MM/yyyy")));
    else
        clear();
}

QString DateMaskEdit::textFromField(bool) const {
    const int c = link().column();
    if (c < 0 || link().dataset()->position() < 0) return QString();
    const QVariant v = link().dataset()->value(c);
    if (!v.isValid() || v.isNull()) return QString();
    const QDate d = v.toDateTime().date();
    return d.isValid() ? d.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

void DateMaskEdit::writeToField(const QString&) {
    db::Dataset* ds = link().dataset();
    const int c = link().column();
    if (isBlank()) return ds->setValue(c, QVariant());
    if (!isComplete())
        throw db::DatabaseError(QStringLiteral("\"%1\" non è una data valida per il campo %2")
                                    .arg(displayText(), ds->field(c).name));
    ds->setText(c, displayText()); // dd/MM/yyyy; an impossible date (31/02) is refused there
}

// --- DBMemo --------------------------------------------------------------------------------

DBMemo::DBMemo(QWidget* parent) : QPlainTextEdit(parent), m_link(this) {
    setTabChangesFocus(true); // Tab leaves the memo (WantTabs off)
    m_link.onRefresh = [this](bool hard) { onRefresh(hard); };
    m_link.onWrite = [this] {
        try {
            commit();
        } catch (const db::DatabaseError&) {
            rethrowWriteError(this, m_link);
        }
    };
    connect(this, &QPlainTextEdit::textChanged, this, &DBMemo::onTextChanged);
}

DBMemo::DBMemo(db::Dataset* dataset, const QString& field, QWidget* parent) : DBMemo(parent) {
    setDataField(field);
    setDataset(dataset);
}

void DBMemo::onRefresh(bool hard) {
    if (!hard && m_pending) return;
    m_pending = false;
    if (!m_link.dataset() || m_link.field().isEmpty()) return;
    const int c = m_link.column();
    const QString t = (c >= 0 && m_link.dataset()->position() >= 0)
        ? m_link.dataset()->editText(c) : QString();
    if (t == toPlainText()) return;
    m_loading = true;
    setPlainText(t);
    m_loading = false;
}

void DBMemo::refresh() { onRefresh(true); }

void DBMemo::onTextChanged() {
    if (m_loading || !m_link.dataset() || m_link.field().isEmpty()) return;
    if (!m_link.hasRow()) {
        refresh();
        return;
    }
    m_pending = true;
    m_link.ensureEdit();
}

void DBMemo::commit() {
    if (!m_pending) return;
    if (!m_link.hasRow()) {
        m_pending = false;
        return;
    }
    m_link.ensureEdit();
    m_link.dataset()->setText(m_link.column(), toPlainText());
    m_pending = false;
}

void DBMemo::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    if (!realLeave(event)) return;
    try {
        commit();
    } catch (const db::DatabaseError& e) {
        reportLeaveError(this, m_link, e.text());
    }
}

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

DBComboBox::DBComboBox(QWidget* parent) : QComboBox(parent), m_link(this) {
    m_link.onRefresh = [this](bool hard) { onRefresh(hard); };
    m_link.onWrite = [this] {
        if (!isEditable()) return;
        try {
            writeTyped();
        } catch (const db::DatabaseError&) {
            rethrowWriteError(this, m_link);
        }
    };
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QComboBox::activated, this, &DBComboBox::onActivated);
    connect(this, &QComboBox::editTextChanged, this, [this] {
        if (m_loading || !isEditable() || !m_link.dataset() || m_link.field().isEmpty()) return;
        if (!lineEdit() || !lineEdit()->isModified()) return;
        if (!m_link.hasRow()) return refresh();
        m_pending = true;
        m_link.ensureEdit();
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
    m_loading = true;
    clear();
    addItems(items);
    m_loading = false;
    refresh();
}

void DBComboBox::onRefresh(bool hard) {
    if (!hard && m_pending) return;
    m_pending = false;
    if (!m_link.dataset() || m_link.field().isEmpty()) return;
    const int c = m_link.column();
    const QString t = (c >= 0 && m_link.dataset()->position() >= 0)
        ? m_link.dataset()->displayText(c) : QString();
    m_loading = true;
    if (isEditable()) {
        setEditText(t);
        if (lineEdit()) lineEdit()->setModified(false);
    } else {
        setCurrentIndex(t.isEmpty() ? -1 : findText(t, Qt::MatchFixedString));
    }
    m_loading = false;
}

void DBComboBox::refresh() { onRefresh(true); }

void DBComboBox::onActivated(int index) {
    if (m_loading) return;
    if (m_link.dataset() && !m_link.field().isEmpty()) {
        if (!m_link.hasRow()) return refresh();
        m_link.ensureEdit();
        m_link.dataset()->setText(m_link.column(), itemText(index));
        m_pending = false;
    }
    Q_EMIT choiceMade(itemText(index));
    notifyChoice(this);
}

void DBComboBox::writeTyped() {
    if (!m_pending) return;
    if (!m_link.hasRow()) {
        m_pending = false;
        return;
    }
    m_link.ensureEdit();
    m_link.dataset()->setText(m_link.column(), currentText());
    m_pending = false;
}

void DBComboBox::keyPressEvent(QKeyEvent* event) {
    if (!isEditable() && (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete)) {
        if (m_link.dataset() && !m_link.field().isEmpty()) {
            if (!m_link.hasRow()) return;
            m_link.ensureEdit();
            m_link.dataset()->setValue(m_link.column(), QVariant());
        }
        m_loading = true;
        setCurrentIndex(-1);
        m_loading = false;
        Q_EMIT cleared();
        notifyChoice(this);
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void DBComboBox::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    if (!isEditable() || !realLeave(event)) return;
    try {
        writeTyped();
    } catch (const db::DatabaseError& e) {
        reportLeaveError(this, m_link, e.text());
    }
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
    const int n = m_list->recordCount();
    for (int r = 0; r < n; ++r)
        if (sameKey(m_list->valueAt(r, kc), key)) return r;
    return -1;
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

// --- DBImage -------------------------------------------------------------------------------

DBImage::DBImage(QWidget* parent) : QFrame(parent), m_link(this) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    setMinimumSize(32, 32);
    m_link.onRefresh = [this](bool) { refresh(); };
}

DBImage::DBImage(db::Dataset* dataset, const QString& field, QWidget* parent) : DBImage(parent) {
    setDataField(field);
    setDataset(dataset);
}

void DBImage::refresh() {
    if (!m_link.dataset() || m_link.field().isEmpty()) return;
    const int c = m_link.column();
    QByteArray bytes;
    if (c >= 0 && m_link.dataset()->position() >= 0) {
        const QVariant v = m_link.dataset()->value(c);
        if (v.isValid() && !v.isNull()) bytes = v.toByteArray();
    }
    showBytes(bytes);
}

void DBImage::showBytes(const QByteArray& bytes) {
    if (bytes.isEmpty() && m_bytes.isEmpty() && m_image.isNull()) return;
    if (!bytes.isEmpty() && bytes == m_bytes) return;
    m_bytes = bytes;
    m_image = bytes.isEmpty() ? QImage() : QImage::fromData(bytes);
    update();
}

void DBImage::setPictureData(const QByteArray& bytes) {
    if (m_link.dataset() && !m_link.field().isEmpty()) {
        if (!m_link.hasRow()) return;
        m_link.ensureEdit();
        m_link.dataset()->setValue(m_link.column(), bytes.isEmpty() ? QVariant() : QVariant(bytes));
        refresh();
    } else {
        showBytes(bytes);
    }
    notifyChoice(this);
}

bool DBImage::setPicture(const QImage& image, const char* format) {
    if (image.isNull()) {
        clearPicture();
        return true;
    }
    QByteArray fmt = QByteArray(format).toUpper();
    if (fmt == "JPG") fmt = "JPEG";
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, fmt.constData())) return false;
    setPictureData(bytes);
    return true;
}

QSize DBImage::targetSize() const { return contentsRect().size(); }

QRect DBImage::pictureRect() const {
    if (m_image.isNull()) return QRect();
    const QRect box = contentsRect();
    const QSize size = m_image.size().scaled(box.size(), Qt::KeepAspectRatio);
    return QRect(box.x() + (box.width() - size.width()) / 2,
                 box.y() + (box.height() - size.height()) / 2, size.width(), size.height());
}

void DBImage::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (m_image.isNull()) return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(pictureRect(), m_image);
}

} // namespace ui
