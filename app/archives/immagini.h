#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

// Pictures of the exercises: every stored picture is fitted to the picture box.
namespace immagini {

// Size of a picture of `picture` pixels drawn into a box of `box` pixels keeping its
// proportions: a picture flatter than the box takes the box's width, any other its height;
// the other side is the integer part of the proportional length (never below 1 pixel).
QSize misuraInScatola(const QSize& picture, const QSize& box);

// The picture scaled (stretched) to misuraInScatola().
QImage adattaAllaScatola(const QImage& picture, const QSize& box);

// Reads a picture file already scaled to the box, so a very large photo is never decoded
// at full size. A name ending in "jpg" (any case) is read as JPEG, any other by its content
// (PNG, BMP, JPEG, GIF, ...). On failure returns a null image and sets `errore` to a text
// for the user (missing, empty, not a picture, too large).
QImage caricaInScatola(const QString& path, const QSize& box, QString* errore);

// Writes a picture: a name ending in "jpg" (any case) as JPEG, ".png" as PNG, any other
// as a bitmap. Returns false when the file cannot be written.
bool salva(const QImage& picture, const QString& path);

// The bytes stored in Esercizi.Immagine for a picture: PNG (lossless and compact).
QByteArray codifica(const QImage& picture);

} // namespace immagini
