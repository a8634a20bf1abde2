#pragma once

#include "common/controls/boundcontrol.h"

#include <QByteArray>
#include <QFrame>
#include <QImage>

namespace ui {

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
