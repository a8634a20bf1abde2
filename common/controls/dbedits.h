#pragma once

#include "common/controls/boundcontrol.h"

#include <QByteArray>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QFrame>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>

class QAbstractListModel;

namespace ui {

// Data-aware edit controls. A dataset opened deferred is not
// read for a hidden control: it shows its value once shown. Each is bound to one column of a
// db::Dataset with setDataset() + setDataField() and follows the dataset's signals:
// the current row's value is shown, typing puts the row into edit mode, and the typed text
// is written into the row (Dataset::setText, Italian reading of numbers and dates) when the
// control is left or when the dataset posts. Unbound (no dataset) they behave as their plain
// Qt base class. A text that does not read as the column's type is an error: leaving the
// control shows it through the dialog service (caption "Errore") and the focus comes back;
// a post re-throws it to its caller after putting the focus back on the control.

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
    bool hasPendingText() const { return m_pending; }
    // Writes pending typed text into the row now. Throws db::DatabaseError when the text
    // does not read as the column's type (the text stays, still pending).
    void commit();
    // Shows the column's value again, dropping pending text.
    void refresh();

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
    void onTextEdited();
    void onRefresh(bool hard);
    void commitOnLeave();

    FieldLink m_link;
    bool m_pending = false;
    bool m_loading = false;
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
    bool hasPendingText() const { return m_pending; }
    void commit();
    void refresh();

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    void onTextChanged();
    void onRefresh(bool hard);

    FieldLink m_link;
    bool m_pending = false;
    bool m_loading = false;
};

// QCheckBox bound to a yes/no column; a click by the user writes at once. Null shows
// unchecked.
class DBCheckBox : public QCheckBox, public BoundControl {
    Q_OBJECT
public:
    explicit DBCheckBox(QWidget* parent = nullptr);
    DBCheckBox(db::Dataset* dataset, const QString& field, const QString& text,
               QWidget* parent = nullptr);

    void setDataset(db::Dataset* dataset) { m_link.setDataset(dataset); }
    db::Dataset* dataset() const override { return m_link.dataset(); }
    void setDataField(const QString& field) { m_link.setField(field); }
    QString dataField() const override { return m_link.field(); }
    void refresh();

protected:
    void nextCheckState() override;

private:
    FieldLink m_link;
};

// Drop-down list of fixed items ("M", "F") bound to a text column: choosing an item writes
// its text; a value that is not an item shows no text. Backspace or Delete clears the column
// (the row is put in edit first). With setEditable(true) the text is typed and written like
// a DBEdit's.
class DBComboBox : public QComboBox, public BoundControl {
    Q_OBJECT
public:
    explicit DBComboBox(QWidget* parent = nullptr);
    DBComboBox(db::Dataset* dataset, const QString& field, const QStringList& items,
               QWidget* parent = nullptr);

    void setDataset(db::Dataset* dataset) { m_link.setDataset(dataset); }
    db::Dataset* dataset() const override { return m_link.dataset(); }
    void setDataField(const QString& field) { m_link.setField(field); }
    QString dataField() const override { return m_link.field(); }
    void setItems(const QStringList& items);
    void refresh();

Q_SIGNALS:
    void choiceMade(const QString& text); // the user chose an item
    void cleared();                       // Backspace/Delete emptied the column

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void onActivated(int index);
    void onRefresh(bool hard);
    void writeTyped();

    FieldLink m_link;
    bool m_pending = false;
    bool m_loading = false;
};

// Look-up combo box (TDBLookupComboBox): bound to a key column of `dataset` (the data
// field), it lists the column `listField` of the visible rows of another dataset (the list
// source) keyed by its column `keyField`. Choosing an entry writes that row's key into the
// data field (the row is put in edit first), moves the list source to the chosen row (so a
// window can read its other columns) and emits choiceMade. Backspace or Delete clears the
// data field and emits cleared. A key that the list does not hold shows no text.
// Unbound (no data field), the control keeps the chosen key itself (keyValue()); clearing
// sets it to -1.
class DBLookupComboBox : public QComboBox, public BoundControl {
    Q_OBJECT
public:
    explicit DBLookupComboBox(QWidget* parent = nullptr);

    void setDataset(db::Dataset* dataset) { m_link.setDataset(dataset); }
    db::Dataset* dataset() const override { return m_link.dataset(); }
    void setDataField(const QString& field) { m_link.setField(field); }
    QString dataField() const override { return m_link.field(); }

    void setListSource(db::Dataset* list, const QString& keyField, const QString& listField);
    db::Dataset* listSource() const { return m_list; }
    const QString& keyField() const { return m_keyField; }
    const QString& listField() const { return m_listField; }

    // The key shown: the data field's value (bound) or the chosen key (unbound).
    QVariant keyValue() const;
    // Shows `key` (bound: writes it into the data field, putting the row in edit). No signal.
    void setKeyValue(const QVariant& key);
    // Row of the list source whose key is the key shown, -1 when none.
    int listRow() const;
    void refresh();

Q_SIGNALS:
    void choiceMade(const QVariant& key);
    void cleared();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void onActivated(int row);
    void showKey(const QVariant& key);
    bool bound() const { return !m_link.field().isEmpty() && m_link.dataset(); }

    FieldLink m_link;
    QPointer<db::Dataset> m_list;
    QString m_keyField, m_listField;
    QAbstractListModel* m_model = nullptr;
    QVariant m_key; // unbound mode
    QList<QMetaObject::Connection> m_listConnections;
};

// Picture bound to a binary column (JPEG, PNG or BMP bytes), shown proportionally: scaled
// to fit the box, aspect ratio kept, centred. Unbound it shows the bytes given to it.
class DBImage : public QFrame, public BoundControl {
    Q_OBJECT
public:
    explicit DBImage(QWidget* parent = nullptr);
    DBImage(db::Dataset* dataset, const QString& field, QWidget* parent = nullptr);

    void setDataset(db::Dataset* dataset) { m_link.setDataset(dataset); }
    db::Dataset* dataset() const override { return m_link.dataset(); }
    void setDataField(const QString& field) { m_link.setField(field); }
    QString dataField() const override { return m_link.field(); }

    // The stored bytes and the decoded picture (null when empty or not a picture).
    QByteArray pictureData() const { return m_bytes; }
    const QImage& picture() const { return m_image; }
    bool hasPicture() const { return !m_image.isNull(); }

    // Stores `bytes` as the picture (bound: into the column, row put in edit). Emits a
    // ChoiceEvent. Empty bytes clear.
    void setPictureData(const QByteArray& bytes);
    // Encodes `image` ("BMP", "JPG", "PNG") and stores it. Returns false when encoding fails.
    bool setPicture(const QImage& image, const char* format = "BMP");
    void clearPicture() { setPictureData(QByteArray()); }
    // The box the picture is fitted into, in pixels.
    QSize targetSize() const;
    // The rectangle the picture currently occupies inside the widget.
    QRect pictureRect() const;
    void refresh();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void showBytes(const QByteArray& bytes);
    FieldLink m_link;
    QByteArray m_bytes;
    QImage m_image;
};

} // namespace ui
