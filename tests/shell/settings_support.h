#pragma once

#include "common/controls/dialogs.h"
#include "support/datamodule.h"

#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QUrl>
#include <QVariant>

namespace testing_support {

// Receives what the windows hand to the desktop (folders, the logo for the image editor).
class UrlSink : public QObject {
    Q_OBJECT
public:
    UrlSink();
    ~UrlSink() override;
    QList<QUrl> opened;
public Q_SLOTS:
    void open(const QUrl& url) { opened << url; }
};

} // namespace testing_support
