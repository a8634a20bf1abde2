#pragma once

#include <QByteArray>
#include <QImage>
#include <vector>

namespace scanner {

// One frame as a device delivered it: rows of `bytesPerLine` bytes, samples of `depth` bits
// (1, 8 or 16, 16-bit samples in the machine's byte order).
struct Frame {
    enum class Kind { Gray, Rgb, Red, Green, Blue };
    Kind kind = Kind::Gray;
    int depth = 8;
    int pixelsPerLine = 0;
    int bytesPerLine = 0;
    int lines = 0; // whole rows held in `data`
    QByteArray data;
};

// The picture of a scan: one gray or RGB frame, or the red, green and blue frames of a
// three-pass scan in any order. Null when the frames do not make a picture (unknown depth,
// rows shorter than their pixels, passes of different sizes or a colour missing).
QImage assemble(const std::vector<Frame>& frames);

} // namespace scanner
