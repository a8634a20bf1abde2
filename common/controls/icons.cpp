#include "common/controls/icons.h"

#include <QApplication>
#include <QStandardPaths>

namespace ui {

QIcon themeIcon(const QString& name) {
    static const bool themed = [] {
        // Platforms without a desktop theme (offscreen, a bare X server) know no icon
        // folders: the system's are added.
        QStringList paths = QIcon::themeSearchPaths();
        for (const QString& dir :
             QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"), QStandardPaths::LocateDirectory))
            if (!paths.contains(dir)) paths << dir;
        QIcon::setThemeSearchPaths(paths);
        QIcon::setThemeName(QStringLiteral("breeze"));
        QIcon::setFallbackThemeName(QStringLiteral("hicolor"));
        return true;
    }();
    Q_UNUSED(themed);
    return QIcon::fromTheme(name);
}

void setProgramIcon(const QString& name) {
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/") + name + QStringLiteral(".svg")));
}

} // namespace ui
