#pragma once
// A fixture's rows written as one Jet script, a statement after each ';'.
#include "db/connection.h"
#include "db/script.h"

namespace testing_support {
inline void runScript(db::Connection& c, const QString& script) {
    for (const QString& statement : db::splitScript(script)) c.execute(statement);
}
} // namespace testing_support
