#pragma once

#include "common/controls/dialogs.h"
#include "support/datamodule.h"

#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>

namespace testing_support {

// Receives what the windows hand to the desktop (folders, the logo for the image editor,
// the help videos) for the given URL schemes.
class UrlSink : public QObject {
    Q_OBJECT
public:
    explicit UrlSink(const QStringList& schemes = {QStringLiteral("file")});
    ~UrlSink() override;
    QList<QUrl> opened;
public Q_SLOTS:
    void open(const QUrl& url) { opened << url; }

private:
    QStringList m_schemes;
};

} // namespace testing_support
