#include "common/controls/dbtextedits.h"

#include "db/values.h"

#include "db/error.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace ui {

// --- DBEdit --------------------------------------------------------------------------------

DBEdit::DBEdit(QWidget* parent)
    : QLineEdit(parent), m_link(this),
      m_text(this, m_link,
             {[this] { return text(); }, [this](const QString& t) { writeToField(t); },
              [this] {
                  const QString t = textFromField(hasFocus());
                  if (t != text()) setText(t);
              }}) {
    connect(this, &QLineEdit::textEdited, this, [this] { m_text.typed(); });
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

void DBEdit::focusInEvent(QFocusEvent* event) {
    if (!m_text.isPending()) m_text.refresh(true); // edit text ("1234,5") while focused
    QLineEdit::focusInEvent(event);
}

void DBEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // Written: the display text ("1.234,5") again.
    if (m_text.leave(event) && !m_text.isPending()) m_text.refresh(true);
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
    const std::optional<db::CivilTime> t = db::readDate(displayText(), db::DateOrder::DayFirst);
    return t ? db::qDateTimeFromCivil(*t).date() : QDate();
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

// --- TimeEdit ------------------------------------------------------------------------------

TimeEdit::TimeEdit(QWidget* parent) : DBEdit(parent) { setMaxLength(5); }

TimeEdit::TimeEdit(db::Dataset* dataset, const QString& field, QWidget* parent) : TimeEdit(parent) {
    setDataField(field);
    setDataset(dataset);
}

void TimeEdit::keyPressEvent(QKeyEvent* event) {
    // Only a character that would be inserted: Backspace, shortcuts and a typed-over
    // selection keep their own meaning.
    const QString typed = event->text();
    const bool character = typed.size() == 1 && typed.at(0).isPrint() &&
                           !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (character && text().size() == 2 && !hasSelectedText()) {
        QKeyEvent point(event->type(), Qt::Key_Period, event->modifiers(), QStringLiteral("."),
                        event->isAutoRepeat(), ushort(event->count()));
        DBEdit::keyPressEvent(&point);
        event->setAccepted(point.isAccepted());
        return;
    }
    DBEdit::keyPressEvent(event);
}

// --- DBMemo --------------------------------------------------------------------------------

DBMemo::DBMemo(QWidget* parent)
    : QPlainTextEdit(parent), m_link(this),
      m_text(this, m_link,
             {[this] { return toPlainText(); }, {},
              [this] {
                  const int c = m_link.column();
                  const QString t = (c >= 0 && m_link.dataset()->position() >= 0)
                      ? m_link.dataset()->editText(c) : QString();
                  if (t != toPlainText()) setPlainText(t);
              }}) {
    setTabChangesFocus(true); // Tab leaves the memo (WantTabs off)
    connect(this, &QPlainTextEdit::textChanged, this, [this] { m_text.typed(); });
}

DBMemo::DBMemo(db::Dataset* dataset, const QString& field, QWidget* parent) : DBMemo(parent) {
    setDataField(field);
    setDataset(dataset);
}

void DBMemo::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    m_text.leave(event);
}

} // namespace ui
