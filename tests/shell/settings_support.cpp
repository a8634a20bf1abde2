#include "settings_support.h"

#include "db/rowstore.h"

namespace testing_support {


UrlSink::UrlSink() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
UrlSink::~UrlSink() { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

} // namespace testing_support
