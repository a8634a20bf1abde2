#pragma once

#include <QDir>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>

#include "common/scanner/acquire.h"
#include "support/files.h"

// SANE reads SANE_CONFIG_DIR once per process, so every test of the process shares one
// configuration folder and rewrites its files. It lists only SANE's own "test" backend.
namespace testing_support {

inline QString saneConfigFolder() {
    static QTemporaryDir folder;
    static const bool set = [] {
        qputenv("SANE_CONFIG_DIR", QDir::toNativeSeparators(folder.path()).toLocal8Bit());
        return true;
    }();
    (void)set;
    return folder.path();
}

// `devices` virtual devices of the test backend (none: the backend is not listed), each
// scanning 80 x 100 mm at 50 dpi (157 x 196 pixels) with the extra `settings` (one per
// line of test.conf). The next acquisition starts a fresh SANE session.
inline bool configureSaneTest(int devices, const QStringList& settings = {}) {
    const QDir dir(saneConfigFolder());
    QString text = QStringLiteral("number_of_devices %1\nresolution 50.0\ntl_x 0.0\ntl_y 0.0\nbr_x 80.0\nbr_y 100.0\n")
                       .arg(std::max(devices, 1));
    for (const QString& s : settings) text += s + u'\n';
    const bool written = writeFile(dir.filePath(QStringLiteral("dll.conf")), devices > 0 ? "test\n" : "") &&
                         writeFile(dir.filePath(QStringLiteral("test.conf")), text.toUtf8());
    resetAcquisition();
    return written;
}

} // namespace testing_support
