#include "common/controls/dbimage.h"

#include <QBuffer>
#include <QPainter>

namespace ui {

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
