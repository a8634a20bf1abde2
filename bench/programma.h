#pragma once

// The start of a window benchmark: offscreen with the programs' Italian locale, and the data
// module opened on a copy of the large database as the main program's start-up leaves it.

#include "app/shell/form_db.h"

#include <QLocale>
#include <QString>

namespace bench {

// Before the application object: windows are drawn offscreen unless a platform is chosen.
inline void preparaFinestre() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
}

inline void apriComeAllAvvio(Tform_DB& dm, const QString& path) {
    dm.Connessione.open(path);
    dm.riapriQuery();
    dm.cmdFiltriClick();
}

} // namespace bench
