#pragma once

#include <QStringList>

namespace db {

// Splits a script into statements at ';' outside quotes, brackets and #dates#; lines that
// start with "--" are comments; blank statements are dropped; text after the last ';' is
// kept as a final statement only when `keepTail` is set.
QStringList splitScript(const QString& script, bool keepTail = true);

} // namespace db
