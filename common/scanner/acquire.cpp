#include "common/scanner/acquire.h"

#include "common/controls/dialogs.h"
#include "common/controls/sourcechoice.h"
#include "common/scanner/frames.h"

#include <QCoreApplication>

#include <sane/sane.h>

#include <array>

namespace {

// Larger scans than this are refused rather than risking the memory of the program.
constexpr qint64 kMaxFrameBytes = qint64(512) * 1024 * 1024;

struct Device {
    QByteArray name;
    QString label;
};

// Process-wide: SANE loaded or not, and the device choice of this run.
struct Session {
    bool loaded = false;
    bool choiceOffered = false;
    QByteArray chosen; // empty: the first device found
};

Session& session() {
    static Session s;
    return s;
}

void unload() {
    Session& s = session();
    if (s.loaded) sane_exit();
    s.loaded = false;
}

bool load() {
    Session& s = session();
    if (s.loaded) return true;
    SANE_Int version = 0;
    if (sane_init(&version, nullptr) != SANE_STATUS_GOOD) return false;
    s.loaded = true;
    static bool hooked = false;
    if (!hooked) {
        qAddPostRoutine(unload);
        hooked = true;
    }
    return true;
}

std::vector<Device> listDevices() {
    const SANE_Device** list = nullptr;
    std::vector<Device> out;
    if (sane_get_devices(&list, SANE_FALSE) != SANE_STATUS_GOOD || !list) return out;
    for (int i = 0; list[i]; ++i) {
        const SANE_Device& d = *list[i];
        if (!d.name) continue;
        QString label = QString::fromUtf8(d.vendor) + u' ' + QString::fromUtf8(d.model);
        label = label.trimmed() + QStringLiteral(" (") + QString::fromUtf8(d.name) + u')';
        out.push_back({QByteArray(d.name), label});
    }
    return out;
}

scanner::Frame::Kind kindOf(SANE_Frame format) {
    switch (format) {
    case SANE_FRAME_GRAY: return scanner::Frame::Kind::Gray;
    case SANE_FRAME_RGB: return scanner::Frame::Kind::Rgb;
    case SANE_FRAME_RED: return scanner::Frame::Kind::Red;
    case SANE_FRAME_GREEN: return scanner::Frame::Kind::Green;
    case SANE_FRAME_BLUE: return scanner::Frame::Kind::Blue;
    }
    return scanner::Frame::Kind::Gray;
}

bool knownFormat(SANE_Frame format) {
    return format == SANE_FRAME_GRAY || format == SANE_FRAME_RGB || format == SANE_FRAME_RED ||
           format == SANE_FRAME_GREEN || format == SANE_FRAME_BLUE;
}

// Reads the frame the device has started, to its end. False on any failure.
bool readFrame(SANE_Handle h, const SANE_Parameters& p, scanner::Frame& frame) {
    if (!knownFormat(p.format) || p.bytes_per_line <= 0 || p.pixels_per_line <= 0) return false;
    frame.kind = kindOf(p.format);
    frame.depth = p.depth;
    frame.pixelsPerLine = p.pixels_per_line;
    frame.bytesPerLine = p.bytes_per_line;
    if (p.lines > 0) {
        const qint64 expected = qint64(p.lines) * p.bytes_per_line;
        if (expected > kMaxFrameBytes) return false;
        frame.data.reserve(qsizetype(expected));
    }
    std::array<SANE_Byte, 64 * 1024> buffer;
    int idle = 0;
    for (;;) {
        SANE_Int length = 0;
        const SANE_Status status = sane_read(h, buffer.data(), SANE_Int(buffer.size()), &length);
        if (status == SANE_STATUS_EOF) break;
        if (status != SANE_STATUS_GOOD) return false;
        // Blocking mode returns data or an end; a device that keeps answering with nothing
        // is given up on.
        if (length <= 0) {
            if (++idle > 10000) return false;
            continue;
        }
        idle = 0;
        frame.data.append(reinterpret_cast<const char*>(buffer.data()), length);
        if (frame.data.size() > kMaxFrameBytes) return false;
    }
    // A hand scanner does not know its height; a device may also stop early.
    frame.lines = int(frame.data.size() / p.bytes_per_line);
    if (p.lines > 0 && frame.lines > p.lines) frame.lines = p.lines;
    return frame.lines > 0;
}

// One image from an open device: every frame of one scan (three for a three-pass scanner).
QImage readImage(SANE_Handle h) {
    std::vector<scanner::Frame> frames;
    for (;;) {
        if (sane_start(h) != SANE_STATUS_GOOD) return {};
        SANE_Parameters p{};
        if (sane_get_parameters(h, &p) != SANE_STATUS_GOOD) return {};
        scanner::Frame frame;
        if (!readFrame(h, p, frame)) return {};
        frames.push_back(std::move(frame));
        if (p.last_frame) break;
        if (frames.size() >= 3) return {};
    }
    return scanner::assemble(frames);
}

QImage scan(const QByteArray& deviceName) {
    SANE_Handle h = nullptr;
    if (sane_open(deviceName.constData(), &h) != SANE_STATUS_GOOD || !h) return {};
    const QImage image = readImage(h);
    // Ends the job: the further pages of a feeder are not read.
    sane_cancel(h);
    sane_close(h);
    return image;
}

void tell(QWidget* parent, const QString& text) {
    ui::dialogs().message(parent, text, QStringLiteral("Messaggio di Avviso"), ui::MessageIcon::Warning);
}

} // namespace

QImage acquireImage(QWidget* parent) {
    const std::vector<Device> devices = load() ? listDevices() : std::vector<Device>();
    if (devices.empty()) {
        tell(parent, QStringLiteral("Nessuno scanner o fotocamera trovato: collegare il dispositivo "
                                    "(e verificare che sia riconosciuto dal sistema) e riprovare."));
        return {};
    }
    Session& s = session();

    int current = 0;
    for (int i = 0; i < int(devices.size()); ++i)
        if (devices[size_t(i)].name == s.chosen) current = i;

    if (!s.choiceOffered) {
        s.choiceOffered = true;
        if (devices.size() > 1) {
            QStringList labels;
            for (const Device& d : devices) labels << d.label;
            const int row = ui::chooseSource(parent, labels, current);
            if (row < 0) return {};
            current = row;
            s.chosen = devices[size_t(row)].name;
        }
    }
    const QImage image = scan(devices[size_t(current)].name);
    if (image.isNull())
        tell(parent, QStringLiteral("Acquisizione non riuscita da ") + devices[size_t(current)].label +
                         QStringLiteral(": controllare il dispositivo e riprovare."));
    return image;
}

void resetAcquisition() {
    unload();
    session().choiceOffered = false;
    session().chosen.clear();
}
