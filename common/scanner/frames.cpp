#include "common/scanner/frames.h"

#include <cstring>

namespace scanner {

namespace {

// Sample `index` of a row, scaled to 0..255. One-bit gray is ink (1 = black); one-bit colour
// is light (1 = full intensity).
inline uchar sample(const uchar* row, qsizetype index, int depth, bool inkIsOne) {
    switch (depth) {
    case 8:
        return row[index];
    case 16: {
        quint16 v;
        std::memcpy(&v, row + index * 2, sizeof v);
        return uchar(v >> 8);
    }
    default: {
        const bool bit = (row[index / 8] >> (7 - index % 8)) & 1;
        return (bit != inkIsOne) ? 255 : 0;
    }
    }
}

bool usable(const Frame& f, int channels) {
    if (f.depth != 1 && f.depth != 8 && f.depth != 16) return false;
    if (f.pixelsPerLine <= 0 || f.lines <= 0) return false;
    const qint64 bits = qint64(f.pixelsPerLine) * channels * f.depth;
    if (qint64(f.bytesPerLine) * 8 < bits) return false;
    return f.data.size() >= qint64(f.bytesPerLine) * f.lines;
}

} // namespace

QImage assemble(const std::vector<Frame>& frames) {
    if (frames.empty()) return {};
    const Frame& first = frames.front();

    if (frames.size() == 1 && (first.kind == Frame::Kind::Gray || first.kind == Frame::Kind::Rgb)) {
        const bool gray = first.kind == Frame::Kind::Gray;
        const int channels = gray ? 1 : 3;
        if (!usable(first, channels)) return {};
        QImage image(first.pixelsPerLine, first.lines,
                     gray ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
        if (image.isNull()) return {};
        const auto* data = reinterpret_cast<const uchar*>(first.data.constData());
        for (int y = 0; y < first.lines; ++y) {
            const uchar* row = data + qsizetype(y) * first.bytesPerLine;
            uchar* out = image.scanLine(y);
            const qsizetype samples = qsizetype(first.pixelsPerLine) * channels;
            for (qsizetype i = 0; i < samples; ++i) out[i] = sample(row, i, first.depth, gray);
        }
        return image;
    }

    // Three-pass: one frame per colour, same size and depth.
    if (frames.size() != 3) return {};
    const Frame* byColour[3] = {nullptr, nullptr, nullptr};
    for (const Frame& f : frames) {
        int c = -1;
        if (f.kind == Frame::Kind::Red) c = 0;
        else if (f.kind == Frame::Kind::Green) c = 1;
        else if (f.kind == Frame::Kind::Blue) c = 2;
        if (c < 0 || byColour[c] || !usable(f, 1) || f.depth != first.depth ||
            f.pixelsPerLine != first.pixelsPerLine)
            return {};
        byColour[c] = &f;
    }
    int lines = first.lines;
    for (const Frame* f : byColour) lines = std::min(lines, f->lines);
    QImage image(first.pixelsPerLine, lines, QImage::Format_RGB888);
    if (image.isNull()) return {};
    for (int c = 0; c < 3; ++c) {
        const Frame& f = *byColour[c];
        const auto* data = reinterpret_cast<const uchar*>(f.data.constData());
        for (int y = 0; y < lines; ++y) {
            const uchar* row = data + qsizetype(y) * f.bytesPerLine;
            uchar* out = image.scanLine(y);
            for (int x = 0; x < f.pixelsPerLine; ++x) out[x * 3 + c] = sample(row, x, f.depth, false);
        }
    }
    return image;
}

} // namespace scanner
