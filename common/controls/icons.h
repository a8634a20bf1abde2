#pragma once

#include <QIcon>
#include <QString>

namespace ui {

// The icons of the three programs come from one theme, Breeze (Debian breeze-icon-theme,
// LGPL-3, SVG drawn through libqt6svg6), looked up by their freedesktop names
// ("document-save", "go-previous"). The first call makes Breeze the programs' theme.
// A name the theme does not have gives a null icon, which the window tests catch.
QIcon themeIcon(const QString& name);

// Sets the program's own icon ("vastrel", "vastrel-stampa", "vastrel-esportazioni": the
// files of data/icons, built into the programs) as the icon of all its windows.
void setProgramIcon(const QString& name);

} // namespace ui
