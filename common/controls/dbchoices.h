#pragma once

#include "common/controls/boundcontrol.h"
#include "common/controls/pendingtext.h"

#include <QCheckBox>
#include <QComboBox>

class QAbstractListModel;

namespace ui {

// Data-aware controls the user chooses a value with: each choice is written into the row at
// once (the row is put in edit first) and reported with notifyChoice. Binding as for the
// text edits (dbtextedits.h): setDataset() + setDataField(); unbound they behave as their
// plain Qt base class.

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
    void refresh() { m_text.refresh(true); }

Q_SIGNALS:
    void choiceMade(const QString& text); // the user chose an item
    void cleared();                       // Backspace/Delete emptied the column

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void onActivated(int index);
    void showField();

    FieldLink m_link;
    PendingText m_text; // typed text, when editable
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

} // namespace ui
