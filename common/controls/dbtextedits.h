#pragma once

#include "common/controls/boundcontrol.h"
#include "common/controls/pendingtext.h"

#include <QDate>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace ui {

// Data-aware controls the user types into. A dataset opened deferred is not read for a
// hidden control: it shows its value once shown. Each is bound to one column of a
// db::Dataset with setDataset() + setDataField() and follows the dataset's signals: the
// current row's value is shown, typing puts the row into edit mode, and the typed text is
// written into the row (Dataset::setText, Italian reading of numbers and dates) when the
// control is left or when the dataset posts (PendingText). Unbound (no dataset) they behave
// as their plain Qt base class. A text that does not read as the column's type is an error:
// leaving the control shows it through the dialog service (caption "Errore") and the focus
// comes back; a post re-throws it to its caller after putting the focus back on the control.

// QLineEdit bound to a column: display text while not focused ("1.234,5"), edit text while
// focused ("1234,5").
class DBEdit : public QLineEdit, public BoundControl {
    Q_OBJECT
public:
    explicit DBEdit(QWidget* parent = nullptr);
    DBEdit(db::Dataset* dataset, const QString& field, QWidget* parent = nullptr);

    void setDataset(db::Dataset* dataset) { m_link.setDataset(dataset); }
    db::Dataset* dataset() const override { return m_link.dataset(); }
    void setDataField(const QString& field) { m_link.setField(field); }
    QString dataField() const override { return m_link.field(); }

    // The user typed something that is not yet in the row.
    bool hasPendingText() const { return m_text.isPending(); }
    // Writes pending typed text into the row now. Throws db::DatabaseError when the text
    // does not read as the column's type (the text stays, still pending).
    void commit() { m_text.commit(); }
    // Shows the column's value again, dropping pending text.
    void refresh() { m_text.refresh(true); }

protected:
    // The text of the column for showing; `editing` while the control has the focus.
    virtual QString textFromField(bool editing) const;
    // Writes `text` into the column (the dataset is already in edit mode).
    virtual void writeToField(const QString& text);

    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    FieldLink& link() { return m_link; }
    const FieldLink& link() const { return m_link; }

private:
    FieldLink m_link;
    PendingText m_text;
};

// Mask edit for "!99/99/0000;1;_": day/month/year, eight digits, "_" as the blank. Unbound it
// is a date box for filters (isComplete(), date(), setDate()); bound to a date column it
// shows and writes the date part (all blanks store Null, an incomplete or impossible date
// is an error like any bad text).
class DateMaskEdit : public DBEdit {
    Q_OBJECT
public:
    static constexpr const char* Mask = "99/99/9999;_";

    explicit DateMaskEdit(QWidget* parent = nullptr);
    DateMaskEdit(db::Dataset* dataset, const QString& field, QWidget* parent = nullptr);

    int digitCount() const;              // digits typed, 0..8
    bool isComplete() const { return digitCount() == 8; }
    bool isBlank() const { return digitCount() == 0; }
    QDate date() const;                  // invalid unless complete and a real date
    void setDate(const QDate& date);     // an invalid date empties the box

protected:
    QString textFromField(bool editing) const override;
    void writeToField(const QString& text) override;
};

// A time of day kept as five characters of text, hours, a point and minutes ("09.30"): once
// the box holds two characters, the next character typed is written as the point whatever
// key it was, so that 0, 9, any key, 3, 0 gives 09.30. Five characters at most.
class TimeEdit : public DBEdit {
    Q_OBJECT
public:
    explicit TimeEdit(QWidget* parent = nullptr);
    TimeEdit(db::Dataset* dataset, const QString& field, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// QPlainTextEdit bound to a text or memo column. Tab leaves it.
class DBMemo : public QPlainTextEdit, public BoundControl {
    Q_OBJECT
public:
    explicit DBMemo(QWidget* parent = nullptr);
    DBMemo(db::Dataset* dataset, const QString& field, QWidget* parent = nullptr);

    void setDataset(db::Dataset* dataset) { m_link.setDataset(dataset); }
    db::Dataset* dataset() const override { return m_link.dataset(); }
    void setDataField(const QString& field) { m_link.setField(field); }
    QString dataField() const override { return m_link.field(); }

    QString text() const { return toPlainText(); }
    bool hasPendingText() const { return m_text.isPending(); }
    void commit() { m_text.commit(); }
    void refresh() { m_text.refresh(true); }

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    FieldLink m_link;
    PendingText m_text;
};

} // namespace ui
