#include "app/archives/immagini.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <algorithm>

namespace immagini {

namespace {

bool nomeJpg(const QString& path) { return path.right(3).toLower() == u"jpg"; }

// Pictures whose decoding would pass the reader's memory limit are refused before reading.
qint64 pixelMassimi() {
    const int mb = QImageReader::allocationLimit();
    return mb > 0 ? qint64(mb) * 1024 * 1024 / 4 : qint64(120'000'000);
}

} // namespace

QSize misuraInScatola(const QSize& picture, const QSize& box) {
    if (picture.isEmpty() || box.isEmpty()) return {};
    const qint64 pw = picture.width(), ph = picture.height();
    const qint64 bw = box.width(), bh = box.height();
    // height/width of the picture smaller than that of the box, without rounding
    if (ph * bw < bh * pw)
        return {int(bw), int(std::max<qint64>(1, bw * ph / pw))};
    return {int(std::max<qint64>(1, bh * pw / ph)), int(bh)};
}

QImage adattaAllaScatola(const QImage& picture, const QSize& box) {
    const QSize size = misuraInScatola(picture.size(), box);
    if (size.isEmpty()) return {};
    return picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage caricaInScatola(const QString& path, const QSize& box, QString* errore) {
    auto fail = [&](const QString& why) {
        if (errore)
            *errore = QStringLiteral("Impossibile caricare l'immagine %1:\n%2").arg(QFileInfo(path).fileName(), why);
        return QImage();
    };
    const QFileInfo info(path);
    if (!info.isFile()) return fail(QStringLiteral("il file non esiste."));
    if (info.size() == 0) return fail(QStringLiteral("il file è vuoto."));

    auto read = [&](const QByteArray& format, bool* tooLarge) -> QImage {
        QImageReader reader(path, format);
        reader.setDecideFormatFromContent(format.isEmpty());
        reader.setAutoTransform(true);
        const QSize size = reader.size();
        QSize target;
        if (size.isValid() && !size.isEmpty()) {
            target = misuraInScatola(size, box);
            // JPEG is decoded at up to an eighth of its size; every other format whole.
            const bool jpeg = reader.format() == "jpeg" || reader.format() == "jpg";
            const qint64 limit = jpeg ? pixelMassimi() * 64 : pixelMassimi();
            if (qint64(size.width()) * size.height() > limit) {
                *tooLarge = true;
                return {};
            }
            if (!target.isEmpty()) reader.setScaledSize(target);
        }
        QImage image = reader.read();
        if (image.isNull()) return {};
        if (target.isEmpty()) return adattaAllaScatola(image, box);
        if (image.size() != target)
            image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        return image;
    };

    bool tooLarge = false;
    QImage image;
    if (nomeJpg(path)) image = read("jpeg", &tooLarge);
    // Any other name, or a ".jpg" that is really another format: read by content.
    if (image.isNull() && !tooLarge) image = read(QByteArray(), &tooLarge);
    if (tooLarge) return fail(QStringLiteral("l'immagine è troppo grande."));
    if (image.isNull()) return fail(QStringLiteral("il file non contiene un'immagine leggibile."));
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}

bool salva(const QImage& picture, const QString& path) {
    if (picture.isNull()) return false;
    QByteArray format = "BMP";
    if (nomeJpg(path)) format = "JPEG";
    else if (path.right(4).toLower() == u".png") format = "PNG";
    QImageWriter writer(path, format);
    if (format == "JPEG") writer.setQuality(90);
    const QImage out = format == "PNG" ? picture : picture.convertToFormat(QImage::Format_RGB32);
    return writer.write(out);
}

QByteArray codifica(const QImage& picture) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG")) return {};
    return bytes;
}

} // namespace immagini
