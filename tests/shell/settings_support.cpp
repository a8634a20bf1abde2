#include "settings_support.h"

namespace testing_support {

UrlSink::UrlSink(const QStringList& schemes) : m_schemes(schemes) {
    for (const QString& s : m_schemes) QDesktopServices::setUrlHandler(s, this, "open");
}
UrlSink::~UrlSink() {
    for (const QString& s : m_schemes) QDesktopServices::unsetUrlHandler(s);
}

} // namespace testing_support
